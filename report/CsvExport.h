// Tables a report offers for "Export CSV" in the preview: the report's
// monthly table(s) as plain values, so that planners can take the numbers
// into a spreadsheet. The header row names each column with its unit
// ("Total Monthly ET (inches)").
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quen::report {

struct CsvTable {
    QString name;                // written above the table when a file holds several
    QStringList header;          // column names with their units
    QList<QStringList> rows;     // cell texts as printed
};

// The tables as CSV text (RFC 4180 quoting, CRLF line ends). One table is
// written alone; several are written one after another, each under a line
// with its name, separated by an empty line.
QString csvText(const QList<CsvTable>& tables);

// Writes csvText(tables) as UTF-8. On failure returns false with a message.
bool writeCsv(const QList<CsvTable>& tables, const QString& path, QString* error = nullptr);

} // namespace quen::report
