#include "CsvLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <cmath>
#include <limits>

#include "DbError.h"
#include "DbInternal.h"
#include "Schema.h"

namespace quen::dbi {

namespace {

struct CsvRecord {
    int line = 0;
    QStringList cells;
};

[[noreturn]] void csvFail(const QString& file, int line, const QString& what)
{
    throw DbError(QStringLiteral("%1, line %2: %3").arg(file, QString::number(line), what));
}

QList<CsvRecord> readCsv(const QString& fileLabel, const QString& text)
{
    QList<CsvRecord> out;
    const int n = text.size();
    int i = 0;
    int line = 1;
    if (n > 0 && text[0] == QChar(0xFEFF))
        i = 1;
    while (i < n) {
        // Start of a record.
        const QChar c0 = text[i];
        if (c0 == QLatin1Char('#')) {   // comment line
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
            ++i;
            ++line;
            continue;
        }
        if (c0 == QLatin1Char('\n') || (c0 == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))) {
            i += c0 == QLatin1Char('\r') ? 2 : 1;   // blank line
            ++line;
            continue;
        }
        CsvRecord rec;
        rec.line = line;
        QString cell;
        bool endOfRecord = false;
        while (!endOfRecord) {
            cell.clear();
            if (i < n && text[i] == QLatin1Char('"')) {
                const int startLine = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text[i];
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            cell += QLatin1Char('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == QLatin1Char('\n'))
                        ++line;
                    cell += c;
                    ++i;
                }
                if (!closed)
                    csvFail(fileLabel, startLine, QStringLiteral("a quoted value is not closed"));
                if (i < n && text[i] == QLatin1Char('\r'))
                    ++i;
                if (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n'))
                    csvFail(fileLabel, line, QStringLiteral("text follows the closing quote of a value"));
                cell.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            } else {
                while (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n')) {
                    if (text[i] == QLatin1Char('"'))
                        csvFail(fileLabel, line, QStringLiteral("a quote inside an unquoted value"));
                    cell += text[i];
                    ++i;
                }
                if (cell.endsWith(QLatin1Char('\r')))
                    cell.chop(1);
            }
            rec.cells << cell;
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == QLatin1Char(',')) {
                ++i;
            } else {   // newline
                ++i;
                ++line;
                endOfRecord = true;
            }
        }
        out << rec;
    }
    return out;
}

// Converts one CSV cell to the stored value of its field; throws on a value
// that does not fit.
QVariant csvValue(const FieldDef& f, const QString& cell, const QString& file, int line)
{
    if (cell.isEmpty())
        return QVariant();
    auto bad = [&](const QString& what) {
        csvFail(file, line, QStringLiteral("field '%1': %2").arg(f.name, what));
    };
    switch (f.type) {
    case FieldType::Text:
        if (cell.size() > f.size)
            bad(QStringLiteral("'%1' is longer than the field's width of %2 characters").arg(cell, QString::number(f.size)));
        return cell;
    case FieldType::Memo:
        return cell;
    case FieldType::Float: {
        static const QLocale strictC = [] {
            QLocale l = QLocale::c();
            l.setNumberOptions(QLocale::RejectGroupSeparator);
            return l;
        }();
        bool ok = false;
        const double d = strictC.toDouble(cell.trimmed(), &ok);
        if (!ok)
            bad(QStringLiteral("'%1' is not a number").arg(cell));
        return d;
    }
    case FieldType::Short: {
        bool ok = false;
        const int v = cell.trimmed().toInt(&ok);
        if (!ok || v < -32768 || v > 32767)
            bad(QStringLiteral("'%1' is not a whole number from -32768 to 32767").arg(cell));
        return v;
    }
    case FieldType::AutoInc: {
        bool ok = false;
        const qlonglong v = cell.trimmed().toLongLong(&ok);
        if (!ok || v < 1 || v > 2147483647LL)
            bad(QStringLiteral("'%1' is not a positive whole number").arg(cell));
        return v;
    }
    case FieldType::Logical:
        if (cell == QLatin1String("T"))
            return 1;
        if (cell == QLatin1String("F"))
            return 0;
        bad(QStringLiteral("'%1' is neither T nor F").arg(cell));
    }
    return QVariant();
}

void loadCsvFile(const QString& path)
{
    const QFileInfo fi(path);
    const QString label = fi.fileName();
    const QString tableName = label.left(label.size() - 4);   // drop ".csv"
    const TableDef* def = findTableDef(tableName);
    if (!def || tableBaseName(tableName) != tableBaseName(def->name))
        csvFail(label, 1, QStringLiteral("there is no table \"%1\"").arg(tableName));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("%1: cannot be read (%2)").arg(label, file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder dec(QStringDecoder::Utf8);
    const QString text = dec(bytes);
    if (dec.hasError())
        throw DbError(QStringLiteral("%1: the file is not UTF-8 text").arg(label));

    const QList<CsvRecord> records = readCsv(label, text);
    if (records.isEmpty())
        return;   // nothing but comments: an empty table

    const CsvRecord& header = records.first();
    QList<int> columns;
    for (const QString& rawName : header.cells) {
        const QString name = rawName;
        const int fi2 = def->fieldIndex(name);
        if (fi2 < 0)
            csvFail(label, header.line, QStringLiteral("table \"%1\" has no field \"%2\"").arg(def->name, name));
        if (columns.contains(fi2))
            csvFail(label, header.line, QStringLiteral("field \"%1\" is named twice").arg(name));
        columns << fi2;
    }
    QStringList cols, marks;
    for (int c : columns) {
        cols << dbi::quoteId(def->fields[c].name);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(dbi::quoteId(tableBaseName(def->name)), cols.join(QLatin1String(", ")),
                                 marks.join(QLatin1String(", ")));
    dbi::Stmt& q = dbi::query(sql);
    for (int r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        if (rec.cells.size() != columns.size())
            csvFail(label, rec.line, QStringLiteral("%1 values where the header names %2 fields")
                                         .arg(rec.cells.size()).arg(columns.size()));
        for (int c = 0; c < columns.size(); ++c)
            q.bindValue(c, csvValue(def->fields[columns[c]], rec.cells[c], label, rec.line));
        if (!q.exec()) {
            if (q.isKeyViolation())
                csvFail(label, rec.line, QStringLiteral("key violation (the key of this row is already in the table)"));
            csvFail(label, rec.line, q.errorText());
        }
    }
}

} // namespace

void loadDirectory(const QString& dir)
{
    QDir d(dir);
    if (!d.exists())
        return;
    const QStringList files = d.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        loadCsvFile(d.filePath(f));
}

void loadTableFile(const QString& dir, const QString& tableName)
{
    const QString path = QDir(dir).filePath(tableName + QStringLiteral(".csv"));
    if (QFileInfo::exists(path))
        loadCsvFile(path);
}

bool tableIsEmpty(const QString& base)
{
    dbi::Stmt& q = dbi::run(QStringLiteral("SELECT COUNT(*) FROM %1").arg(dbi::quoteId(base)), {});
    const bool empty = q.next() && q.value(0).toLongLong() == 0;
    q.finish();
    return empty;
}

// A new database always has one row in each one-row table. When the shipped
// data hold none, these documented rows are written:
//   "SystemDefaults.db": "ET Method" ANY, carry-over 0 % in spring and fall,
//      no elevation correction, empty password, peak ET method 0 (TR21);
//   "LocalDefaults.db": every field empty but "Sensitive" and "MetricUnits"
//      false (customary units);
//   "Report.db": "ReportNo" 1.
void ensureOneRowTables()
{
    if (tableIsEmpty(QStringLiteral("SystemDefaults")))
        dbi::run(QStringLiteral("INSERT INTO \"SystemDefaults\" (\"ET Method\", \"Spring Carryover %\", "
                                "\"Fall Carryover %\", \"Elevation Correction\", \"Password\", \"Peak ET Method\") "
                                "VALUES ('ANY', 0, 0, 0, NULL, 0)"), {});
    if (tableIsEmpty(QStringLiteral("LocalDefaults")))
        dbi::run(QStringLiteral("INSERT INTO \"LocalDefaults\" (\"Sensitive\", \"MetricUnits\") VALUES (0, 0)"), {});
    if (tableIsEmpty(QStringLiteral("Report")))
        dbi::run(QStringLiteral("INSERT INTO \"Report\" (\"ReportNo\") VALUES (1)"), {});
}

} // namespace quen::dbi
