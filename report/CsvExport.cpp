#include "CsvExport.h"

#include "OutputFile.h"

namespace quen::report {

namespace {

QString cell(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))
        && !s.contains(QLatin1Char('\r')) && s.trimmed() == s)
        return s;
    QString q = s;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString line(const QStringList& cells)
{
    QStringList out;
    out.reserve(cells.size());
    for (const QString& c : cells)
        out << cell(c);
    return out.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

} // namespace

QString csvText(const QList<CsvTable>& tables)
{
    QString text;
    for (qsizetype i = 0; i < tables.size(); ++i) {
        const CsvTable& t = tables.at(i);
        if (tables.size() > 1) {
            if (i > 0)
                text += QLatin1String("\r\n");
            text += line({t.name});
        }
        text += line(t.header);
        for (const QStringList& r : t.rows)
            text += line(r);
    }
    return text;
}

bool writeCsv(const QList<CsvTable>& tables, const QString& path, QString* error)
{
    const QByteArray data = csvText(tables).toUtf8();
    OutputFile f(path);
    QString why;
    if (f.open(&why) && f.device()->write(data) == data.size() && f.commit(&why))
        return true;
    if (why.isEmpty())
        why = f.device()->errorString();
    if (error)
        *error = OutputFile::failureMessage(path, why);
    return false;
}

} // namespace quen::report
