#include "Dialect.h"

#include <functional>

namespace quen::dbi {

namespace {

bool isText(const TableDef& t, const QString& field)
{
    const int i = t.fieldIndex(field);
    return i >= 0 && (t.fields[i].type == FieldType::Text || t.fields[i].type == FieldType::Memo);
}

bool primaryIsAutoInc(const TableDef& t)
{
    return t.primaryKey.size() == 1 && t.fieldIndex(t.primaryKey[0]) >= 0
        && t.fields[t.fieldIndex(t.primaryKey[0])].type == FieldType::AutoInc;
}

// The indexes both dialects declare alike: the primary key's unique index
// (unless the key is the row key) and the named ones.
QStringList commonIndexes(const TableDef& t, bool skipPrimary,
                          const std::function<QString(const QStringList&, bool)>& columns)
{
    QStringList out;
    const QString base = tableBaseName(t.name);
    if (!t.primaryKey.isEmpty() && !skipPrimary)
        out << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                   .arg(Dialect::quoteId(base + QLatin1String("$primary")), Dialect::quoteId(base),
                        columns(t.primaryKey, t.primaryCaseInsensitive));
    for (const IndexDef& ix : t.indexes)
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(ix.unique ? QLatin1String("UNIQUE ") : QLatin1String(""),
                        Dialect::quoteId(base + QLatin1Char('$') + ix.name), Dialect::quoteId(base),
                        columns(ix.fields, ix.caseInsensitive));
    return out;
}

class SqliteDialect final : public Dialect {
public:
    bool isServer() const override { return false; }
    QString typeName(FieldType t) const override
    {
        switch (t) {
        case FieldType::Text:
        case FieldType::Memo: return QStringLiteral("TEXT");
        case FieldType::Float: return QStringLiteral("REAL");
        case FieldType::Short:
        case FieldType::Logical:
        case FieldType::AutoInc: return QStringLiteral("INTEGER");
        }
        return QStringLiteral("BLOB");
    }
    QString noCase(const QString& column) const override { return column + QLatin1String(" COLLATE NOCASE"); }
    QString noCaseValue() const override { return QStringLiteral("?"); }
    QString nullsOrder(bool) const override { return QString(); }
    QString sameAsValue() const override { return QStringLiteral(" IS ?"); }
    QString returningRowid() const override { return QString(); }
    QString beginWrite() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString createTable(const TableDef& t, bool privateDb) const override
    {
        QStringList cols;
        const int rowKey = privateDb ? t.rowKeyField() : -1;
        for (int i = 0; i < t.fields.size(); ++i) {
            const FieldDef& f = t.fields[i];
            QString c = quoteId(f.name) + QLatin1Char(' ') + typeName(f.type);
            if (f.type == FieldType::AutoInc)
                c += QLatin1String(" PRIMARY KEY AUTOINCREMENT");
            else if (i == rowKey)
                c += QLatin1String(" PRIMARY KEY");
            cols << c;
        }
        return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteId(tableBaseName(t.name)), cols.join(QLatin1String(", ")));
    }
    QStringList createIndexes(const TableDef& t, bool privateDb) const override
    {
        const bool pkIsRowKey = privateDb && t.rowKeyField() >= 0;
        return commonIndexes(t, primaryIsAutoInc(t) || pkIsRowKey,
                             [&](const QStringList& f, bool ci) { return indexColumns(t, f, ci); });
    }
    QByteArray positional(const QString& sql) const override { return sql.toUtf8(); }

protected:
    QString indexColumns(const TableDef& t, const QStringList& fields, bool ci) const override
    {
        QStringList parts;
        for (const QString& f : fields)
            parts << (ci && isText(t, f) ? noCase(quoteId(f)) : quoteId(f));
        return parts.join(QLatin1String(", "));
    }
};

class ServerDialect final : public Dialect {
public:
    bool isServer() const override { return true; }
    QString typeName(FieldType t) const override
    {
        // Texts compare by code point (SQLite's BINARY) whatever the
        // server's locale; numbers are 64-bit as in SQLite.
        switch (t) {
        case FieldType::Text:
        case FieldType::Memo: return QStringLiteral("text COLLATE \"C\"");
        case FieldType::Float: return QStringLiteral("double precision");
        case FieldType::Short:
        case FieldType::Logical:
        case FieldType::AutoInc: return QStringLiteral("bigint");
        }
        return QStringLiteral("BLOB");
    }
    QString noCase(const QString& column) const override { return QLatin1String("lower(") + column + QLatin1Char(')'); }
    QString noCaseValue() const override { return QStringLiteral("lower(?::text)"); }
    QString nullsOrder(bool descending) const override
    {
        return descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
    }
    QString sameAsValue() const override { return QStringLiteral(" IS NOT DISTINCT FROM ?"); }
    QString returningRowid() const override { return QStringLiteral(" RETURNING rowid"); }
    QString beginWrite() const override { return QStringLiteral("BEGIN"); }
    // Every table has a "rowid" column like SQLite's: the auto-increment
    // field itself where there is one (a stored copy of it), a serial
    // otherwise.
    QString createTable(const TableDef& t, bool) const override
    {
        QStringList cols;
        QString autoInc;
        for (const FieldDef& f : t.fields) {
            QString c = quoteId(f.name) + QLatin1Char(' ');
            if (f.type == FieldType::AutoInc) {
                c += QLatin1String("bigserial PRIMARY KEY");
                autoInc = f.name;
            } else {
                c += typeName(f.type);
            }
            cols << c;
        }
        cols.prepend(autoInc.isEmpty()
                         ? QStringLiteral("rowid bigserial PRIMARY KEY")
                         : QStringLiteral("rowid bigint GENERATED ALWAYS AS (%1) STORED").arg(quoteId(autoInc)));
        return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteId(tableBaseName(t.name)), cols.join(QLatin1String(", ")));
    }
    QStringList createIndexes(const TableDef& t, bool) const override
    {
        const bool pkIsAutoInc = primaryIsAutoInc(t);
        QStringList out = commonIndexes(t, pkIsAutoInc,
                                        [&](const QStringList& f, bool ci) { return indexColumns(t, f, ci); });
        if (pkIsAutoInc) {
            const QString base = tableBaseName(t.name);
            out << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (rowid)")
                       .arg(quoteId(base + QLatin1String("$rowid")), quoteId(base));
        }
        return out;
    }
    QByteArray positional(const QString& sql) const override
    {
        QString out;
        out.reserve(sql.size() + 16);
        int n = 0;
        QChar quote;
        for (const QChar c : sql) {
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                out += c;
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
                out += c;
            } else if (c == QLatin1Char('?')) {
                out += QLatin1Char('$') + QString::number(++n);
            } else {
                out += c;
            }
        }
        return out.toUtf8();
    }

protected:
    // Empty values first, as the handles walk them.
    QString indexColumns(const TableDef& t, const QStringList& fields, bool ci) const override
    {
        QStringList parts;
        for (const QString& f : fields)
            parts << (ci && isText(t, f) ? noCase(quoteId(f)) : quoteId(f)) + QLatin1String(" NULLS FIRST");
        return parts.join(QLatin1String(", "));
    }
};

} // namespace

QString Dialect::quoteId(const QString& identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

const Dialect& sqliteDialect()
{
    static const SqliteDialect d;
    return d;
}

const Dialect& serverDialect()
{
    static const ServerDialect d;
    return d;
}

} // namespace quen::dbi
