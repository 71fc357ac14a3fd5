#include "Table.h"

#include <QHash>
#include <QSet>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <cmath>
#include <unordered_map>

#include "Database.h"
#include "DbInternal.h"
#include "FilterText.h"
#include "KeyedTable.h"

namespace quen {

// ---- value conversion -----------------------------------------------------------

namespace {

bool isTextType(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }

QString generalFormat(double v)
{
    // Shortest text with at most 15 significant digits, no trailing zeros.
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        s = s.toUpper();
        s.replace(QLatin1String("E+"), QLatin1String("E"));
    }
    return s;
}

// The fields of the key a refused row duplicates, from the database's error
// text (SQLite: "UNIQUE constraint failed: Climate.Station Name"; a server
// names the index: "Climate$StaNameIndex", "Climate$primary",
// "QuenJob_pkey"); the primary key when the text names none of them.
QList<int> violatedKeyFields(const TableDef& def, const QString& errorText)
{
    QList<int> out;
    static const QRegularExpression sqlite(QStringLiteral("UNIQUE constraint failed: ([^\n]+)"));
    static const QRegularExpression server(QStringLiteral("unique constraint \"([^\"]+)\""));
    auto fieldsOf = [&](const QStringList& names) {
        QList<int> r;
        for (const QString& n : names) {
            const int i = def.fieldIndex(n);
            if (i < 0)
                return QList<int>();
            r << i;
        }
        return r;
    };
    if (const auto m = sqlite.match(errorText); m.hasMatch()) {
        QStringList names;
        for (const QString& part : m.captured(1).trimmed().split(QLatin1String(", ")))
            names << part.section(QLatin1Char('.'), 1);   // "Table.Field": the table's base name has no dot
        out = fieldsOf(names);
    } else if (const auto m2 = server.match(errorText); m2.hasMatch()) {
        const QString name = m2.captured(1);
        const QString index = name.section(QLatin1Char('$'), 1);
        if (index == QLatin1String("primary") || name.endsWith(QLatin1String("_pkey"))) {
            out = fieldsOf(def.primaryKey);
            if (out.isEmpty())
                for (int i = 0; i < def.fields.size(); ++i)
                    if (def.fields[i].type == FieldType::AutoInc)
                        out << i;
        } else if (const IndexDef* ix = def.index(index)) {
            out = fieldsOf(ix->fields);
        }
    }
    if (out.isEmpty())
        out = fieldsOf(def.primaryKey);
    return out;
}

// A value of a refused row as the message shows it.
QString shownKeyValue(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("(empty)");
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: return QLatin1Char('\'') + v.toString() + QLatin1Char('\'');
    case FieldType::Float: return generalFormat(v.toDouble());
    case FieldType::Logical: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return QString::number(v.toLongLong());
    }
}

// "Key violation." followed by what was refused: the table, the key's
// field(s) and the value(s) of the row, e.g.
//   Key violation. "Climate.DB" already holds a record with "Station Name" 'Apple Creek'.
// valueOf gives the refused row's stored value of a field (by position).
QString keyViolationMessage(const TableDef& def, const QString& errorText, const std::function<QVariant(int)>& valueOf)
{
    const QList<int> key = violatedKeyFields(def, errorText);
    if (key.isEmpty())
        return QStringLiteral("Key violation. \"%1\" already holds a record with the same key.").arg(def.name);
    QStringList parts;
    for (int i : key)
        parts << QStringLiteral("\"%1\" %2").arg(def.fields[i].name, shownKeyValue(def.fields[i], valueOf(i)));
    return QStringLiteral("Key violation. \"%1\" already holds a record with %2.")
        .arg(def.name, parts.join(QLatin1String(" and ")));
}

// Stored form (as kept in a row buffer) of a value written to field f.
QVariant toStored(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const int tid = v.typeId();
    const bool isString = tid == QMetaType::QString || tid == QMetaType::QByteArray || tid == QMetaType::QChar;
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QString s = tid == QMetaType::Double || tid == QMetaType::Float ? generalFormat(v.toDouble())
                  : tid == QMetaType::Bool ? (v.toBool() ? QStringLiteral("True") : QStringLiteral("False"))
                                           : v.toString();
        if (f.type == FieldType::Text && s.size() > f.size)
            s.truncate(f.size);                 // cut to the width without a message
        if (s.isEmpty())
            return QVariant();                   // an empty text is an empty field
        return s;
    }
    case FieldType::Float: {
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            double d = QLocale::c().toDouble(s, &ok);
            if (!ok)
                d = QLocale().toDouble(s, &ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'.").arg(s, f.name));
            return d;
        }
        if (tid == QMetaType::Bool)
            return v.toBool() ? 1.0 : 0.0;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'.").arg(v.toString(), f.name));
        return d;
    }
    case FieldType::Short: {
        qlonglong n = 0;
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            n = s.toLongLong(&ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(s, f.name));
        } else if (tid == QMetaType::Double || tid == QMetaType::Float) {
            const double d = v.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > 1e9)
                throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                                  .arg(generalFormat(d), f.name));
            n = qRound64(d);
        } else {
            n = v.toLongLong();
        }
        if (n < -32768 || n > 32767)
            throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                              .arg(n).arg(f.name));
        return int(n);
    }
    case FieldType::Logical: {
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            for (const char* t : {"T", "True", "Y", "Yes", "1"})
                if (s.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                    return true;
            for (const char* t : {"F", "False", "N", "No", "0"})
                if (s.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                    return false;
            throw DbError(QStringLiteral("'%1' is not a valid boolean value for field '%2'.").arg(s, f.name));
        }
        return v.toBool() || (tid == QMetaType::Double && v.toDouble() != 0.0);
    }
    case FieldType::AutoInc:
        return v.toLongLong();
    }
    return QVariant();
}

// Value bound to SQL for a row buffer value.
QVariant toSql(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid())
        return QVariant(f.type == FieldType::Float ? QMetaType(QMetaType::Double)
                        : isTextType(f.type)       ? QMetaType(QMetaType::QString)
                                                   : QMetaType(QMetaType::Int));
    if (f.type == FieldType::Logical)
        return v.toBool() ? 1 : 0;
    return v;
}

// Value bound for a key, a range bound, a locate or a filter value on field f.
QVariant keyToSql(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const int tid = v.typeId();
        if (tid == QMetaType::Double || tid == QMetaType::Float)
            return generalFormat(v.toDouble());
        return v.toString();
    }
    case FieldType::Float:
    case FieldType::Short:
    case FieldType::AutoInc: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = QLocale::c().toDouble(v.toString().trimmed(), &ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid value for field '%2'.").arg(v.toString(), f.name));
            return d;
        }
        return v.toDouble();
    }
    case FieldType::Logical:
        return toStored(f, v).toBool() ? 1 : 0;
    }
    return v;
}

} // namespace

// ---- TTable::Impl ---------------------------------------------------------------
//
// A handle keeps its position: the rowid, key values and fields of its
// current row. Moves are keyset queries on the current order (index fields,
// then rowid) through statements prepared once per connection; each reads the
// whole row it lands on, so that reading fields costs nothing more. While a
// row predicate is active, moves step until the predicate accepts a row.
//
// Every statement is a round trip on a server, so a handle saves them: open
// and first() leave the position pending ("on the first visible row, if
// any") and only read that row when something needs it (eof, fields, next,
// recNo, edit...); a search or move right after them replaces that read. The
// usual lookup (open, findNearest or findKey, read fields, close) is thus one
// statement.
//
// Scratch tables live in the private database of the program run; their
// statements go there, always in SQLite's dialect.

struct TTable::Impl {
    TTable* q = nullptr;
    QString tableName;
    QString databaseName = QStringLiteral("Quenpm");
    const TableDef* def = nullptr;
    const QHash<QString, int>* fieldPos = nullptr;   // of def, see tableSql
    QString base;          // quoted SQL table name
    QString selectAll;     // "SELECT rowid, <every field> FROM t"
    QString rowByRowid;    // selectAll + " WHERE rowid = ?"
    QString insertSql;     // every field but AutoInc ones

    QString indexName;
    QList<int> keyFields;        // field positions of the current order
    QList<bool> keyNoCase;

    bool open = false;
    State state = State::Inactive;

    bool pendingFirst = false;   // on the first visible row, not read yet
    bool hasRow = false;
    qint64 rowid = 0;
    QVariantList keys;           // key values of the current row
    bool rowLoaded = false;
    QVariantList row;            // current row as stored (when loaded)
    bool fieldsRead = false;     // a field of the current row was read (a walk reads ahead)
    QVariantList buf;            // pending row (edit / insert)
    QList<bool> modified;
    bool eof = true;
    bool bof = true;
    int pos = 0;                 // known 1-based position, 0 when unknown

    bool hasRange = false;
    QVariantList rangeStart, rangeEnd;

    QString filterText;
    QList<FilterCondition> conds;
    bool filtered = false;
    std::function<bool(TTable&)> predicate;

    // Memo of statement texts by shape; cleared when order, range or
    // filters change.
    struct Shape {
        QString sql;
        dbi::Stmt* stmt = nullptr;
        quint64 generation = 0;    // of dbi::statementGeneration when stmt was taken
    };
    QHash<quint64, Shape> memo;
    // The statement of a text shape (key): built by build once, kept per
    // handle while order, range and filters stay, and shared by every handle
    // of the table on the same order while the text depends on the order
    // alone (no range, filter text or row predicate).
    dbi::Stmt& shapeStmt(quint64 key, const std::function<QString()>& build);
    bool visValid = false;
    QString visText;
    QVariantList visValues;

    struct Hit {
        qint64 rid = 0;
        QVariantList keys;
        QVariantList row;
        bool loaded = false;
    };
    // Whole rows after the current one, read in one statement while the
    // caller walks forward reading fields; dropped by any other move.
    QList<Hit> ahead;

    const TableDef& needDef() const
    {
        if (!def)
            throw DbError(QStringLiteral("Table '%1' does not exist.").arg(tableName));
        return *def;
    }
    void needOpen() const
    {
        if (!open)
            throw DbError(QStringLiteral("Cannot perform this operation on a closed table ('%1').").arg(tableName));
    }
    bool predicateActive() const { return filtered && bool(predicate); }
    bool scratch() const { return def && def->scratch; }
    // The dialect of the connection the table is on: a server's only for
    // user tables of a server database.
    const dbi::Dialect& dialect() const { return dbi::dialect(scratch()); }
    bool serverDialect() const { return dialect().isServer(); }
    dbi::Stmt& stmt(const QString& sql) const { return dbi::stmt(sql, scratch()); }
    dbi::Stmt& exec(const QString& sql, const QVariantList& values) const { return dbi::exec(sql, values, scratch()); }
    void invalidate()
    {
        memo.clear();
        visValid = false;
        ahead.clear();
        pos = 0;
    }

    void resolveIndex();
    QVariantList emptyRow() const { return QVariantList(def->fields.size()); }
    QVariantList readRow(const dbi::Stmt& qq) const
    {
        QVariantList r;
        const int n = def->fields.size();
        r.reserve(n);
        for (int i = 0; i < n; ++i)
            r << qq.fieldValue(i + 1, def->fields[i].type);
        return r;
    }
    QVariantList keysOf(const QVariantList& r) const
    {
        QVariantList k;
        k.reserve(keyFields.size());
        for (int f : keyFields)
            k << r[f];
        return k;
    }
    QString col(int field, bool noCase) const
    {
        const QString c = dbi::quoteId(def->fields[field].name);
        return noCase ? dialect().noCase(c) : c;
    }
    // "col op value" for a key field (the value compared as the column is).
    QString cmp(int field, bool noCase, QLatin1String op) const
    {
        return col(field, noCase) + QLatin1Char(' ') + op + QLatin1Char(' ')
            + (noCase ? dialect().noCaseValue() : QStringLiteral("?"));
    }

    void ensureVisibility();
    QString orderBy(bool descending) const;
    // Lexicographic comparison of the first n key fields (then rowid when
    // withRowid) with vals. Appends the bound values; builds the text only
    // when text is given.
    void tupleCompare(int n, const QVariantList& vals, bool withRowid, qint64 rid, bool greater, bool orEqual,
                      QString* text, QVariantList& values) const;
    static quint64 nullMask(const QVariantList& vals, int n)
    {
        quint64 m = 0;
        for (int i = 0; i < n && i < 16; ++i)
            if (!vals[i].isValid() || vals[i].isNull())
                m |= quint64(1) << i;
        return m;
    }

    // First visible row (in order or reverse order) that also meets an extra
    // condition; sig identifies the condition's shape, buildExtra writes its
    // text (called only when the shape is new).
    bool fetch(quint64 sig, const std::function<QString()>& buildExtra, const QVariantList& extraValues,
               bool descending, Hit* out, int batch = 0, QList<Hit>* more = nullptr);
    int countVisible(quint64 sig, const std::function<QString()>& buildExtra, const QVariantList& extraValues);
    bool acceptsRow(const QVariantList& candidate, qint64 rid);

    void setCurrent(Hit&& h)
    {
        ahead.clear();
        pos = 0;
        pendingFirst = false;
        fieldsRead = false;
        hasRow = true;
        rowid = h.rid;
        keys = std::move(h.keys);
        rowLoaded = h.loaded;
        if (h.loaded) {
            row = std::move(h.row);
            takeStamp();
        }
    }
    // A private table's row as read now (see dbi::scratchStamp).
    quint64 stamp = 0;
    void takeStamp() { stamp = scratch() ? dbi::scratchStamp(def) : 0; }
    bool rowUnchangedSinceRead() const { return scratch() && rowLoaded && stamp == dbi::scratchStamp(def); }
    void setNoRow()
    {
        ahead.clear();
        pos = 0;
        pendingFirst = false;
        fieldsRead = false;
        hasRow = false;
        rowid = 0;
        keys.clear();
        rowLoaded = true;
        row.clear();   // no row: every field reads empty (see valueAt, rowValues)
    }
    void ensureRow();
    // Reads the pending first row: positions on it (bof, and eof when there
    // is none), as open did.
    void resolve()
    {
        if (!pendingFirst)
            return;
        const bool any = moveFirst(false);
        bof = true;
        eof = !any;
        pos = any ? 1 : 0;
    }
    // Open and first(): the position is the first visible row, read later.
    void setPendingFirst()
    {
        setNoRow();
        pendingFirst = true;
        bof = true;
        eof = false;
    }

    bool moveFirst(bool descending);
    bool moveFrom(bool forward);       // next / prior from the current key
    bool fetchAdjacent(const QVariantList& fromKeys, qint64 fromRid, bool forward, Hit* out,
                       QList<Hit>* more = nullptr);
    void repositionAfterLoss(const QVariantList& oldKeys, qint64 oldRid);
};

namespace {
enum SigKind : quint64 { kFirst = 1, kTuple = 2, kFindKey = 3, kLocate = 4, kRowid = 5, kNone = 6 };
quint64 sig(SigKind kind, quint64 n = 0, quint64 mask = 0, quint64 flags = 0, quint64 field = 0)
{
    return kind | (n << 4) | (flags << 12) | (mask << 16) | (field << 40);
}
} // namespace

void TTable::Impl::resolveIndex()
{
    keyFields.clear();
    keyNoCase.clear();
    invalidate();
    if (!def)
        return;
    QStringList fields;
    bool ci = false;
    if (indexName.isEmpty()) {
        fields = def->primaryKey;
        ci = def->primaryCaseInsensitive;
    } else if (const IndexDef* ix = def->index(indexName)) {
        fields = ix->fields;
        ci = ix->caseInsensitive;
    } else {
        throw DbError(QStringLiteral("Index '%1' not found in table '%2'.").arg(indexName, def->name));
    }
    for (const QString& f : fields) {
        const int i = def->fieldIndex(f);
        keyFields << i;
        keyNoCase << (ci && isTextType(def->fields[i].type));
    }
}

QString TTable::Impl::orderBy(bool descending) const
{
    QStringList parts;
    const QLatin1String dir = descending ? QLatin1String(" DESC") : QLatin1String("");
    // Empty values sort first, as in SQLite (a server sorts them last unless told).
    const QString nulls = dialect().nullsOrder(descending);
    for (int i = 0; i < keyFields.size(); ++i)
        parts << col(keyFields[i], keyNoCase[i]) + dir + nulls;
    parts << QLatin1String("rowid") + dir;
    return QLatin1String(" ORDER BY ") + parts.join(QLatin1String(", "));
}

void TTable::Impl::tupleCompare(int n, const QVariantList& vals, bool withRowid, qint64 rid, bool greater,
                                bool orEqual, QString* text, QVariantList& values) const
{
    // The values in the order of the text built below: the leading bound,
    // then for each field (outermost first) its value twice.
    QVariantList conv;
    conv.reserve(n);
    for (int i = 0; i < n; ++i)
        conv << keyToSql(def->fields[keyFields[i]], vals[i]);
    const bool leading = n > 0 && greater && conv[0].isValid();
    if (leading)
        values << conv[0];
    for (int i = 0; i < n; ++i)
        if (conv[i].isValid())
            values << conv[i] << conv[i];
    if (withRowid)
        values << rid;
    if (!text)
        return;

    // Text, from the innermost term outwards.
    QString inner;
    if (withRowid)
        inner = greater ? (orEqual ? QStringLiteral("rowid >= ?") : QStringLiteral("rowid > ?"))
                        : (orEqual ? QStringLiteral("rowid <= ?") : QStringLiteral("rowid < ?"));
    else
        inner = orEqual ? QStringLiteral("1=1") : QStringLiteral("1=0");
    for (int i = n - 1; i >= 0; --i) {
        const QString name = dbi::quoteId(def->fields[keyFields[i]].name);
        const int f = keyFields[i];
        const bool nc = keyNoCase[i];
        if (conv[i].isValid()) {
            const QString strict = greater ? cmp(f, nc, QLatin1String(">"))
                                           : QLatin1String("(") + cmp(f, nc, QLatin1String("<")) + QLatin1String(" OR ") + name + QLatin1String(" IS NULL)");
            inner = QStringLiteral("(%1 OR (%2 AND %3))").arg(strict, cmp(f, nc, QLatin1String("=")), inner);
        } else {
            const QString strict = greater ? name + QLatin1String(" IS NOT NULL") : QStringLiteral("1=0");
            inner = QStringLiteral("(%1 OR (%2 IS NULL AND %3))").arg(strict, name, inner);
        }
    }
    // A leading bound on the first field lets the index seek.
    if (leading)
        inner = QStringLiteral("%1 AND %2").arg(cmp(keyFields[0], keyNoCase[0], QLatin1String(">=")), inner);
    *text = inner;
}

void TTable::Impl::ensureVisibility()
{
    if (visValid)
        return;
    QStringList parts;
    QVariantList values;
    if (hasRange) {
        const int ns = qMin(rangeStart.size(), keyFields.size());
        const int ne = qMin(rangeEnd.size(), keyFields.size());
        QString t;
        if (ns > 0) {
            tupleCompare(ns, rangeStart, false, 0, true, true, &t, values);
            parts << t;
        }
        if (ne > 0) {
            tupleCompare(ne, rangeEnd, false, 0, false, true, &t, values);
            parts << t;
        }
    }
    if (filtered) {
        for (const FilterCondition& c : conds) {
            const int fi = def->fieldIndex(c.field);
            if (fi < 0)
                throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(c.field, def->name));
            const FieldDef& f = def->fields[fi];
            const QString name = dbi::quoteId(f.name);
            QVariant v;
            if (isTextType(f.type))
                v = c.value.typeId() == QMetaType::Double ? QVariant(generalFormat(c.value.toDouble())) : QVariant(c.value.toString());
            else
                v = keyToSql(f, c.value.typeId() == QMetaType::QString && c.value.toString().isEmpty() ? QVariant() : c.value);
            const bool blank = !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
            if (blank && (c.op == QLatin1String("=") || c.op == QLatin1String("<>"))) {
                // An empty value compares with empty fields.
                parts << (c.op == QLatin1String("=") ? name + QLatin1String(" IS NULL") : name + QLatin1String(" IS NOT NULL"));
                continue;
            }
            if (c.op == QLatin1String("<>"))   // an empty field differs from any value
                parts << QLatin1Char('(') + name + QLatin1String(" <> ? OR ") + name + QLatin1String(" IS NULL)");
            else
                parts << name + QLatin1Char(' ') + c.op + QLatin1String(" ?");
            values << v;
        }
    }
    visText = parts.join(QLatin1String(" AND "));
    visValues = values;
    visValid = true;
}

bool TTable::Impl::acceptsRow(const QVariantList& candidate, qint64 rid)
{
    // The predicate reads the candidate as the current row.
    const bool savedHas = hasRow, savedLoaded = rowLoaded, savedPending = pendingFirst, savedRead = fieldsRead;
    const qint64 savedRid = rowid;
    QVariantList savedRow = std::move(row);
    QVariantList savedKeys = std::move(keys);
    const State savedState = state;
    hasRow = true;
    rowLoaded = true;
    pendingFirst = false;
    rowid = rid;
    row = candidate;
    state = State::Browse;
    auto restore = [&] {
        hasRow = savedHas;
        rowLoaded = savedLoaded;
        pendingFirst = savedPending;
        fieldsRead = savedRead;
        rowid = savedRid;
        row = std::move(savedRow);
        keys = std::move(savedKeys);
        state = savedState;
    };
    bool ok = false;
    try {
        ok = predicate(*q);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return ok;
}

namespace {
struct SharedShapeKey {
    const TableDef* def;
    QString index;
    bool serverDialect;
    quint64 key;
    bool operator==(const SharedShapeKey& o) const
    {
        return def == o.def && key == o.key && serverDialect == o.serverDialect && index == o.index;
    }
};
size_t qHash(const SharedShapeKey& k, size_t seed = 0)
{
    return qHashMulti(seed, quintptr(k.def), k.index, k.serverDialect, k.key);
}
} // namespace

dbi::Stmt& TTable::Impl::shapeStmt(quint64 key, const std::function<QString()>& build)
{
    static QHash<SharedShapeKey, Shape> shared;
    Shape* shape = nullptr;
    if (visText.isEmpty() && !predicateActive()) {
        shape = &shared[SharedShapeKey{def, indexName, serverDialect(), key}];
    } else {
        auto it = memo.find(key);
        if (it == memo.end())
            it = memo.insert(key, Shape());
        shape = &*it;
    }
    if (shape->sql.isEmpty())
        shape->sql = build();
    const quint64 generation = dbi::statementGeneration();
    if (!shape->stmt || shape->generation != generation) {
        shape->stmt = &stmt(shape->sql);
        shape->generation = generation;
    }
    return *shape->stmt;
}

bool TTable::Impl::fetch(quint64 s, const std::function<QString()>& buildExtra, const QVariantList& extraValues,
                         bool descending, Hit* out, int batch, QList<Hit>* more)
{
    ensureVisibility();
    const bool pred = predicateActive();
    const quint64 key = s ^ (descending ? (quint64(1) << 62) : 0) ^ (quint64(batch) << 52);
    dbi::Stmt& qq = shapeStmt(key, [&] {
        QString where = visText;
        const QString extra = buildExtra ? buildExtra() : QString();
        if (!extra.isEmpty())
            where = where.isEmpty() ? extra : QLatin1Char('(') + where + QLatin1String(") AND ") + extra;
        QString sql = selectAll;
        if (!where.isEmpty())
            sql += QLatin1String(" WHERE ") + where;
        sql += orderBy(descending);
        if (!pred)
            sql += QStringLiteral(" LIMIT %1").arg(batch > 0 ? batch : 1);
        return sql;
    });
    int b = 0;
    for (const QVariant& v : visValues)
        qq.bindValue(b++, v);
    for (const QVariant& v : extraValues)
        qq.bindValue(b++, v);
    if (!qq.exec())
        throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
    bool found = false;
    try {
        while (qq.next()) {
            QVariantList r = readRow(qq);
            const qint64 rid = qq.value(0).toLongLong();
            if (!pred || acceptsRow(r, rid)) {
                Hit h;
                h.rid = rid;
                h.keys = keysOf(r);
                h.row = std::move(r);
                h.loaded = true;
                if (!found) {
                    *out = std::move(h);
                    found = true;
                    if (!more)
                        break;
                } else {
                    more->append(std::move(h));
                }
            }
        }
    } catch (...) {
        qq.finish();
        throw;
    }
    qq.finish();
    return found;
}

int TTable::Impl::countVisible(quint64 s, const std::function<QString()>& buildExtra, const QVariantList& extraValues)
{
    ensureVisibility();
    const bool full = predicateActive();
    const quint64 key = s ^ (quint64(1) << 61);
    dbi::Stmt& qq = shapeStmt(key, [&] {
        QString where = visText;
        const QString extra = buildExtra ? buildExtra() : QString();
        if (!extra.isEmpty())
            where = where.isEmpty() ? extra : QLatin1Char('(') + where + QLatin1String(") AND ") + extra;
        QString sql = full ? selectAll : QLatin1String("SELECT COUNT(*) FROM ") + base;
        if (!where.isEmpty())
            sql += QLatin1String(" WHERE ") + where;
        return sql;
    });
    int b = 0;
    for (const QVariant& v : visValues)
        qq.bindValue(b++, v);
    for (const QVariant& v : extraValues)
        qq.bindValue(b++, v);
    if (!qq.exec())
        throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
    int n = 0;
    try {
        if (!full) {
            n = qq.next() ? qq.value(0).toInt() : 0;
        } else {
            while (qq.next())
                if (acceptsRow(readRow(qq), qq.value(0).toLongLong()))
                    ++n;
        }
    } catch (...) {
        qq.finish();
        throw;
    }
    qq.finish();
    return n;
}

void TTable::Impl::ensureRow()
{
    if (!hasRow || rowLoaded)
        return;
    dbi::Stmt& qq = exec(rowByRowid, {rowid});
    if (qq.next())
        row = readRow(qq);
    else
        row = emptyRow();   // removed behind this handle's back
    qq.finish();
    rowLoaded = true;
    takeStamp();
}

bool TTable::Impl::moveFirst(bool descending)
{
    Hit h;
    if (fetch(sig(kFirst), nullptr, {}, descending, &h)) {
        setCurrent(std::move(h));
        return true;
    }
    setNoRow();
    return false;
}

bool TTable::Impl::fetchAdjacent(const QVariantList& fromKeys, qint64 fromRid, bool forward, Hit* out,
                                 QList<Hit>* more)
{
    const int n = keyFields.size();
    QVariantList values;
    tupleCompare(n, fromKeys, true, fromRid, forward, false, nullptr, values);
    auto build = [&]() {
        QString t;
        QVariantList dummy;
        tupleCompare(n, fromKeys, true, fromRid, forward, false, &t, dummy);
        return t;
    };
    const quint64 mask = nullMask(fromKeys, n);
    if (forward)
        return fetch(sig(kTuple, n, mask, 1), build, values, false, out, more ? 48 : 0, more);
    // Backwards: rows up to the current first-field value through the index
    // (an upper bound it can seek on), then the empty ones, which sort first.
    const QVariant first = n > 0 ? keyToSql(def->fields[keyFields[0]], fromKeys[0]) : QVariant();
    if (!first.isValid())
        return fetch(sig(kTuple, n, mask, 2), build, values, true, out);
    QVariantList bounded{first};
    bounded << values;
    auto buildBounded = [&]() { return cmp(keyFields[0], keyNoCase[0], QLatin1String("<=")) + QLatin1String(" AND ") + build(); };
    if (fetch(sig(kTuple, n, mask, 4), buildBounded, bounded, true, out))
        return true;
    auto buildNull = [&]() { return dbi::quoteId(def->fields[keyFields[0]].name) + QLatin1String(" IS NULL"); };
    return fetch(sig(kTuple, 0, 0, 5), buildNull, {}, true, out);
}

bool TTable::Impl::moveFrom(bool forward)
{
    if (!hasRow)
        return false;
    const int oldPos = pos;
    Hit h;
    if (forward && !ahead.isEmpty()) {
        h = ahead.takeFirst();
        QList<Hit> rest = std::move(ahead);
        setCurrent(std::move(h));
        ahead = std::move(rest);
    } else {
        // A caller that read the fields of this row will read the next ones:
        // read a run of whole rows at once.
        const bool readAhead = forward && fieldsRead && !predicateActive();
        QList<Hit> more;
        if (!fetchAdjacent(keys, rowid, forward, &h, readAhead ? &more : nullptr))
            return false;
        setCurrent(std::move(h));
        ahead = std::move(more);
    }
    pos = oldPos > 0 ? oldPos + (forward ? 1 : -1) : 0;
    return true;
}

// The current row vanished (deleted, or no longer visible): go to the next
// visible row in order, else the one before, else nothing.
void TTable::Impl::repositionAfterLoss(const QVariantList& oldKeys, qint64 oldRid)
{
    Hit h;
    if (fetchAdjacent(oldKeys, oldRid, true, &h) || fetchAdjacent(oldKeys, oldRid, false, &h)) {
        setCurrent(std::move(h));
        eof = bof = false;
    } else {
        setNoRow();
        eof = bof = true;
    }
}

namespace {

// Statement texts of a table definition, built once per process (the
// definitions are fixed).
// Only definitions of the schema (static) are kept.
struct TableSql {
    QString base, selectAll, rowByRowid, insertSql;
    QHash<QString, int> fieldPos;   // field position by exact name
};

const TableSql& tableSql(const TableDef& def)
{
    static std::unordered_map<const TableDef*, TableSql> cache;
    auto it = cache.find(&def);
    if (it != cache.end())
        return it->second;
    TableSql t;
    for (int i = def.fields.size() - 1; i >= 0; --i)   // the first of equal names wins
        t.fieldPos.insert(def.fields[i].name, i);
    t.base = dbi::quoteId(tableBaseName(def.name));
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef& f : def.fields)
        cols << dbi::quoteId(f.name);
    t.selectAll = QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1String(", ")), t.base);
    t.rowByRowid = t.selectAll + QLatin1String(" WHERE rowid = ?");
    QStringList ins, marks;
    for (const FieldDef& f : def.fields) {
        if (f.type == FieldType::AutoInc)
            continue;
        ins << dbi::quoteId(f.name);
        marks << QStringLiteral("?");
    }
    t.insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(t.base, ins.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    return cache.emplace(&def, std::move(t)).first->second;
}

// Stores count new rows through multi-row statements (at most 64 rows and
// 999 values each), inside a savepoint so that a refused row leaves
// nothing behind (throws DbError). bindRow binds the perRow values of row r
// from position b on. Returns the rowid of the last row.
// A key violation names the first refused row: found, after the rollback,
// by storing the rows one by one (inside a savepoint rolled back as well);
// valueOf(r, i) gives field i of row r as stored.
qint64 insertChunked(const TableDef& def, const QString& insertSql, int perRowIn, int count, bool scratch,
                     const std::function<void(dbi::Stmt&, int, int&)>& bindRow,
                     const std::function<QVariant(int, int)>& valueOf)
{
    const int perRow = qMax(1, perRowIn);
    QString keyError;   // set when a row is refused for its key
    if (!scratch)
        dbi::ensureAttached();
    dbi::exec(QStringLiteral("SAVEPOINT quen_rows"), {}, scratch);
    qint64 rid = 0;
    try {
        // Full statements of the largest size, then one of the rows left.
        const int largest = qMax(1, qMin(64, 999 / perRow));
        int at = 0;
        while (at < count) {
            const int chunk = qMin(largest, count - at);
            // Statement text by row count, built once, and its prepared
            // statement (taken again after the connections changed).
            struct Chunk {
                QString sql;
                dbi::Stmt* stmt = nullptr;
                quint64 generation = 0;
            };
            static QHash<QPair<QString, int>, Chunk> chunks;   // by text, row count and connection
            const dbi::Dialect& dialect = dbi::dialect(scratch);
            Chunk& c = chunks[qMakePair(insertSql, chunk * 4 + (dialect.isServer() ? 2 : 0) + (scratch ? 1 : 0))];
            if (c.sql.isEmpty()) {
                // On the private database a refused row fails the statement
                // without a statement journal of its own: the savepoint
                // around all of them takes back the rows stored before it.
                c.sql = scratch && insertSql.startsWith(QLatin1String("INSERT INTO "))
                    ? QLatin1String("INSERT OR FAIL INTO ") + insertSql.mid(12)
                    : insertSql;
                const QString marks = c.sql.mid(c.sql.lastIndexOf(QLatin1String(" VALUES ")) + 8);
                for (int k = 1; k < chunk; ++k)
                    c.sql += QLatin1String(", ") + marks;
                c.sql += dialect.returningRowid();
            }
            if (!c.stmt || c.generation != dbi::statementGeneration()) {
                c.stmt = &dbi::stmt(c.sql, scratch);
                c.generation = dbi::statementGeneration();
            }
            dbi::Stmt& qq = *c.stmt;
            while (count - at >= chunk) {
                int b = 0;
                for (int k = 0; k < chunk; ++k, ++at)
                    bindRow(qq, at, b);
                if (!qq.exec()) {
                    if (qq.isKeyViolation()) {
                        keyError = qq.errorText();
                        throw DbError(QStringLiteral("Key violation."));
                    }
                    throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
                }
                rid = qq.lastInsertId();
            }
        }
        dbi::exec(QStringLiteral("RELEASE quen_rows"), {}, scratch);
        return rid;
    } catch (...) {
        try {
            dbi::exec(QStringLiteral("ROLLBACK TO quen_rows"), {}, scratch);
            dbi::exec(QStringLiteral("RELEASE quen_rows"), {}, scratch);
        } catch (...) {
        }
        if (keyError.isNull())
            throw;
    }
    // The refused row, for the message; nothing of the search is kept.
    int refused = -1;
    try {
        dbi::exec(QStringLiteral("SAVEPOINT quen_rows"), {}, scratch);
        dbi::Stmt& one = dbi::stmt(insertSql + dbi::dialect(scratch).returningRowid(), scratch);
        for (int r = 0; r < count && refused < 0; ++r) {
            int b = 0;
            bindRow(one, r, b);
            if (!one.exec()) {
                refused = r;
                if (one.isKeyViolation())
                    keyError = one.errorText();
            }
        }
        dbi::exec(QStringLiteral("ROLLBACK TO quen_rows"), {}, scratch);
        dbi::exec(QStringLiteral("RELEASE quen_rows"), {}, scratch);
    } catch (const DbError&) {
    }
    if (refused < 0)
        throw DbError(QStringLiteral("Key violation. \"%1\" already holds a record with the same key.").arg(def.name));
    throw DbError(keyViolationMessage(def, keyError, [&](int i) { return valueOf(refused, i); }));
}

} // namespace

// ---- TTable -------------------------------------------------------------------------

TTable::TTable(QObject* parent) : QObject(parent), d(new Impl)
{
    d->q = this;
    Database::registerHandle(this);
}

TTable::TTable(const QString& tableName, QObject* parent) : TTable(parent)
{
    setTableName(tableName);
}

TTable::~TTable()
{
    Database::unregisterHandle(this);
}

void TTable::setDatabaseName(const QString& name)
{
    if (d->open)
        throw DbError(QStringLiteral("Cannot change the database of an open table."));
    d->databaseName = name;
}

QString TTable::databaseName() const { return d->databaseName; }

void TTable::setTableName(const QString& name)
{
    if (d->open)
        throw DbError(QStringLiteral("Cannot change the table name of an open table."));
    d->tableName = name;
    d->def = findTableDef(name);
    if (d->def) {
        const TableSql& sql = tableSql(*d->def);
        d->base = sql.base;
        d->selectAll = sql.selectAll;
        d->rowByRowid = sql.rowByRowid;
        d->insertSql = sql.insertSql;
        d->fieldPos = &sql.fieldPos;
        d->row.clear();   // no row yet: fields read empty
        if (d->def->index(d->indexName) == nullptr)
            d->indexName.clear();
    }
}

QString TTable::tableName() const { return d->tableName; }

const TableDef& TTable::definition() const { return d->needDef(); }

void TTable::setIndexName(const QString& name)
{
    if (d->def && !name.isEmpty() && !d->def->index(name))
        throw DbError(QStringLiteral("Index '%1' not found in table '%2'.").arg(name, d->def->name));
    if (!d->open) {
        d->indexName = name;
        d->hasRange = false;
        return;
    }
    if (name == d->indexName)
        return;
    if (d->state != State::Browse)
        post();
    d->resolve();
    d->ensureRow();
    d->indexName = name;
    d->hasRange = false;
    d->resolveIndex();
    // Stay on the same row where it is still visible.
    if (d->hasRow) {
        d->keys = d->keysOf(d->row);
        Impl::Hit h;
        if (d->fetch(sig(kRowid), [] { return QStringLiteral("rowid = ?"); }, {d->rowid}, false, &h)) {
            h.row = d->row;
            h.loaded = true;
            d->setCurrent(std::move(h));
        } else {
            d->eof = d->bof = !d->moveFirst(false);
        }
    } else {
        d->eof = d->bof = !d->moveFirst(false);
    }
    emit afterScroll();
}

QString TTable::indexName() const { return d->indexName; }

void TTable::open()
{
    if (d->open)
        return;
    const TableDef& def = d->needDef();
    if (d->databaseName.compare(QLatin1String("Quenpm"), Qt::CaseInsensitive) != 0
        && d->databaseName.compare(QLatin1String("Quen"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("Unknown database alias: %1").arg(d->databaseName));
    Q_UNUSED(def);
    d->resolveIndex();
    dbi::requireOpen();
    d->open = true;
    d->state = State::Browse;
    d->setPendingFirst();   // read when first needed
    emit afterOpen();
    emit stateChanged();
    emit afterScroll();
}

void TTable::close()
{
    if (!d->open)
        return;
    emit beforeClose();
    // A pending row is dropped, as the desktop table does on close.
    d->buf.clear();
    d->open = false;
    d->state = State::Inactive;
    d->hasRange = false;
    d->setNoRow();
    d->eof = d->bof = true;
    emit stateChanged();
}

bool TTable::isOpen() const { return d->open; }

TTable::State TTable::state() const { return d->state; }

void TTable::first()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->setPendingFirst();   // read when first needed
    emit afterScroll();
}

void TTable::last()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const bool any = d->moveFirst(true);
    d->eof = true;
    d->bof = !any;
    emit afterScroll();
}

void TTable::next()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->resolve();
    if (d->moveFrom(true)) {
        d->eof = d->bof = false;
        emit afterScroll();
    } else {
        d->eof = true;
    }
}

void TTable::prior()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->resolve();
    if (d->moveFrom(false)) {
        d->eof = d->bof = false;
        emit afterScroll();
    } else {
        d->bof = true;
    }
}

bool TTable::eof() const
{
    d->resolve();
    return d->eof;
}

bool TTable::bof() const { return d->bof; }   // true while the first row is pending

int TTable::recordCount() const
{
    d->needOpen();
    return d->countVisible(sig(kNone), nullptr, {});
}

bool TTable::isEmpty() const
{
    d->needOpen();
    if (d->pendingFirst) {
        d->resolve();
        return !d->hasRow;
    }
    if (d->hasRow)
        return false;
    Impl::Hit h;
    return !d->fetch(sig(kFirst), nullptr, {}, false, &h);
}

int TTable::recNo() const
{
    d->needOpen();
    d->resolve();
    if (!d->hasRow)
        return 0;
    if (d->pos > 0)
        return d->pos;
    const int n = d->keyFields.size();
    QVariantList values;
    d->tupleCompare(n, d->keys, true, d->rowid, false, false, nullptr, values);
    auto build = [&]() {
        QString t;
        QVariantList dummy;
        d->tupleCompare(n, d->keys, true, d->rowid, false, false, &t, dummy);
        return t;
    };
    const quint64 mask = Impl::nullMask(d->keys, n);
    const QVariant first = n > 0 ? keyToSql(d->def->fields[d->keyFields[0]], d->keys[0]) : QVariant();
    int before = 0;
    if (!first.isValid()) {
        before = d->countVisible(sig(kTuple, n, mask, 2), build, values);
    } else {
        // Rows up to the first-field value (an index range), plus the empty ones.
        QVariantList bounded{first};
        bounded << values;
        const int f0 = d->keyFields[0];
        const bool nc = d->keyNoCase[0];
        before = d->countVisible(sig(kTuple, n, mask, 4),
                                 [&] { return d->cmp(f0, nc, QLatin1String("<=")) + QLatin1String(" AND ") + build(); }, bounded)
               + d->countVisible(sig(kTuple, 0, 0, 5),
                                 [&] { return dbi::quoteId(d->def->fields[f0].name) + QLatin1String(" IS NULL"); }, {});
    }
    d->pos = before + 1;
    return d->pos;
}

bool TTable::findKey(const QVariantList& key)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    if (d->keyFields.isEmpty())
        throw DbError(QStringLiteral("Table '%1' has no index for a key search.").arg(d->tableName));
    const int n = qMin(key.size(), d->keyFields.size());
    QVariantList values;
    quint64 mask = 0;
    for (int i = 0; i < n; ++i) {
        const QVariant v = keyToSql(d->def->fields[d->keyFields[i]], key[i]);
        if (v.isValid())
            values << v;
        else
            mask |= quint64(1) << i;
    }
    auto build = [&]() {
        QStringList parts;
        for (int i = 0; i < n; ++i) {
            if (mask & (quint64(1) << i))
                parts << dbi::quoteId(d->def->fields[d->keyFields[i]].name) + QLatin1String(" IS NULL");
            else
                parts << d->cmp(d->keyFields[i], d->keyNoCase[i], QLatin1String("="));
        }
        return parts.isEmpty() ? QStringLiteral("1=1") : parts.join(QLatin1String(" AND "));
    };
    Impl::Hit h;
    if (!d->fetch(sig(kFindKey, n, mask), build, values, false, &h))
        return false;
    d->setCurrent(std::move(h));
    d->eof = d->bof = false;
    emit afterScroll();
    return true;
}

void TTable::findNearest(const QVariantList& key)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const int n = qMin(key.size(), d->keyFields.size());
    QVariantList values;
    d->tupleCompare(n, key, false, 0, true, true, nullptr, values);
    auto build = [&]() {
        QString t;
        QVariantList dummy;
        d->tupleCompare(n, key, false, 0, true, true, &t, dummy);
        return t;
    };
    Impl::Hit h;
    if (d->fetch(sig(kTuple, n, Impl::nullMask(key, n), 3), build, values, false, &h)
        || d->fetch(sig(kFirst), nullptr, {}, true, &h)) {
        d->setCurrent(std::move(h));
        d->eof = d->bof = false;
        emit afterScroll();
    } else if (d->pendingFirst) {   // no rows at all: what reading the first row would find
        d->setNoRow();
        d->eof = d->bof = true;
    }
}

bool TTable::locate(const QString& fieldName, const QVariant& value)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const int fi = d->def->fieldIndex(fieldName);
    if (fi < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(fieldName, d->def->name));
    const FieldDef& f = d->def->fields[fi];
    QVariant v = keyToSql(f, value);
    if (isTextType(f.type) && v.isValid() && v.toString().isEmpty())
        v = QVariant();
    const bool isNull = !v.isValid();
    auto build = [&]() {
        return dbi::quoteId(f.name) + (isNull ? QLatin1String(" IS NULL") : QLatin1String(" = ?"));
    };
    Impl::Hit h;
    if (!d->fetch(sig(kLocate, 0, isNull ? 1 : 0, 0, quint64(fi)), build, isNull ? QVariantList() : QVariantList{v}, false, &h))
        return false;
    d->setCurrent(std::move(h));
    d->eof = d->bof = false;
    emit afterScroll();
    return true;
}

void TTable::setRange(const QVariantList& startKey, const QVariantList& endKey)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->hasRange = true;
    d->rangeStart = startKey;
    d->rangeEnd = endKey;
    d->invalidate();
    first();
}

void TTable::cancelRange()
{
    if (!d->hasRange)
        return;
    d->hasRange = false;
    d->invalidate();
    if (d->open)
        first();
}

void TTable::setFilter(const QString& filterText)
{
    QList<FilterCondition> conds = parseFilterText(filterText);
    if (d->def)
        for (const FilterCondition& c : conds)
            if (d->def->fieldIndex(c.field) < 0)
                throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(c.field, d->def->name));
    d->filterText = filterText;
    d->conds = conds;
    d->invalidate();
    if (d->open && d->filtered)
        first();
}

QString TTable::filter() const { return d->filterText; }

void TTable::setFiltered(bool on)
{
    if (d->filtered == on)
        return;
    if (d->open && d->state != State::Browse)
        post();
    d->filtered = on;
    d->invalidate();
    if (d->open)
        first();
}

bool TTable::filtered() const { return d->filtered; }

void TTable::setOnFilterRecord(std::function<bool(TTable&)> accept)
{
    d->predicate = std::move(accept);
    d->invalidate();
    if (d->open && d->filtered)
        first();
}

// ---- editing ------------------------------------------------------------------------

void TTable::append()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->buf = d->emptyRow();
    // A required flag starts false on a new row, as the desktop table's
    // default: the user is never refused for a mark nobody set.
    for (int i = 0; i < d->def->fields.size(); ++i)
        if (d->def->fields[i].required && d->def->fields[i].type == FieldType::Logical)
            d->buf[i] = false;
    d->modified = QList<bool>(d->def->fields.size(), false);
    d->state = State::Insert;
    emit stateChanged();
    emit dataChanged(-1);
}

void TTable::edit()
{
    d->needOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    d->resolve();
    if (!d->hasRow) {   // nothing to edit: start a new row
        append();
        return;
    }
    d->ensureRow();
    d->buf = d->row;
    d->modified = QList<bool>(d->def->fields.size(), false);
    d->state = State::Edit;
    emit stateChanged();
}

void TTable::post()
{
    d->needOpen();
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    const TableDef& def = *d->def;
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].required && !d->buf[i].isValid())
            throw DbError(QStringLiteral("Field '%1' must have a value.").arg(def.fields[i].name));

    qint64 rid = d->rowid;
    if (d->state == State::Insert) {
        if (!d->scratch())
            dbi::ensureAttached();
        dbi::Stmt& qq = d->stmt(d->insertSql + d->dialect().returningRowid());
        int b = 0;
        for (int i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type != FieldType::AutoInc)
                qq.bindValue(b++, toSql(def.fields[i], d->buf[i]));
        if (!qq.exec()) {
            if (qq.isKeyViolation())
                throw DbError(keyViolationMessage(def, qq.errorText(), [&](int i) { return d->buf.value(i); }));
            throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
        }
        rid = qq.lastInsertId();
        for (int i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type == FieldType::AutoInc)
                d->buf[i] = int(rid);
    } else {
        QVariantList values;
        const int nf = def.fields.size();
        QByteArray shape(nf + 1, '0');   // the changed fields, then the dialect
        for (int i = 0; i < nf; ++i) {
            if (!d->modified.value(i))
                continue;
            shape[i] = '1';
            values << toSql(def.fields[i], d->buf[i]);
        }
        if (!values.isEmpty() && !d->scratch())
            dbi::ensureAttached();
        if (!values.isEmpty()) {
            // Written only over the row as it was read: a row another user
            // changed (or removed) since then is not overwritten. A private
            // table's row nothing has written to since it was read is
            // written by its rowid alone.
            values << rid;
            const bool plain = d->rowUnchangedSinceRead();
            if (!plain)
                for (int i = 0; i < nf; ++i)
                    values << toSql(def.fields[i], d->row.value(i));
            const bool server = d->serverDialect();
            shape[nf] = plain ? 'p' : server ? 's' : 'f';
            // The statement text of each set of changed fields is built once.
            static std::unordered_map<const TableDef*, QHash<QByteArray, QString>> updates;
            QHash<QByteArray, QString>& known = updates[&def];
            auto it = known.constFind(shape);
            if (it == known.constEnd()) {
                QStringList sets;
                for (int i = 0; i < nf; ++i)
                    if (shape[i] == '1')
                        sets << dbi::quoteId(def.fields[i].name) + QLatin1String(" = ?");
                QString where = QStringLiteral("rowid = ?");
                const QString same = d->dialect().sameAsValue();
                if (!plain)
                    for (int i = 0; i < nf; ++i)
                        where += QLatin1String(" AND ") + dbi::quoteId(def.fields[i].name) + same;
                it = known.insert(shape, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(d->base, sets.join(QLatin1String(", ")), where));
            }
            dbi::Stmt& qq = d->stmt(*it);
            for (int i = 0; i < values.size(); ++i)
                qq.bindValue(i, values[i]);
            if (!qq.exec()) {
                if (qq.isKeyViolation())
                    throw DbError(keyViolationMessage(def, qq.errorText(), [&](int i) { return d->buf.value(i); }));
                throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
            }
            const int changed = qq.rowsAffected();
            qq.finish();
            if (changed == 0) {
                d->buf.clear();
                d->state = State::Browse;
                d->rowLoaded = false;
                emit stateChanged();
                refresh();   // shows the row as it is now
                throw DbError(QStringLiteral("This record was changed by another user."));
            }
            // A changed row key moves the row to the new rowid.
            const int rowKey = def.rowKeyField();
            if (rowKey >= 0 && shape[rowKey] == '1')
                rid = toSql(def.fields[rowKey], d->buf[rowKey]).toLongLong();
        }
    }
    dbi::scratchWritten(&def);
    Impl::Hit h;
    h.rid = rid;
    h.keys = d->keysOf(d->buf);
    h.row = std::move(d->buf);
    h.loaded = true;
    d->setCurrent(std::move(h));
    d->buf.clear();
    d->state = State::Browse;
    d->eof = d->bof = false;
    emit stateChanged();
    emit afterPost();
    emit dataChanged(-1);
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::appendRecord(const QVariantList& values)
{
    append();
    const int n = qMin(values.size(), d->def->fields.size());
    try {
        for (int i = 0; i < n; ++i)
            if (d->def->fields[i].type != FieldType::AutoInc && values[i].isValid())
                setValueAt(i, values[i]);
    } catch (...) {
        cancel();
        throw;
    }
    post();
}

void TTable::appendRows(const QList<QVariantList>& rows)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    if (rows.isEmpty())
        return;
    const TableDef& def = *d->def;
    const int nf = def.fields.size();

    // Every row is converted and checked before anything is written.
    QList<QVariantList> stored;
    stored.reserve(rows.size());
    for (const QVariantList& values : rows) {
        QVariantList r = d->emptyRow();
        for (int i = 0; i < nf; ++i) {
            const FieldDef& f = def.fields[i];
            if (f.type == FieldType::AutoInc)
                continue;
            if (i < values.size() && values[i].isValid())
                r[i] = toStored(f, values[i]);
            else if (f.required && f.type == FieldType::Logical)
                r[i] = false;
        }
        for (int i = 0; i < nf; ++i)
            if (def.fields[i].required && !r[i].isValid())
                throw DbError(QStringLiteral("Field '%1' must have a value.").arg(def.fields[i].name));
        stored << std::move(r);
    }

    QList<int> cols;
    for (int i = 0; i < nf; ++i)
        if (def.fields[i].type != FieldType::AutoInc)
            cols << i;
    const qint64 rid = insertChunked(
        def, d->insertSql, int(cols.size()), int(stored.size()), d->scratch(),
        [&](dbi::Stmt& qq, int r, int& b) {
            for (int i : cols)
                qq.bindValue(b++, toSql(def.fields[i], stored[r][i]));
        },
        [&](int r, int i) { return stored[r].value(i); });
    dbi::scratchWritten(&def);

    QVariantList last = std::move(stored.last());
    landOnAppendedRow(std::move(last), rid);
}

void TTable::landOnAppendedRow(QVariantList last, qint64 rid)
{
    const TableDef& def = *d->def;
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].type == FieldType::AutoInc)
            last[i] = int(rid);
    Impl::Hit h;
    h.rid = rid;
    h.keys = d->keysOf(last);
    h.row = std::move(last);
    h.loaded = true;
    d->setCurrent(std::move(h));
    d->eof = d->bof = false;
    emit afterPost();
    emit dataChanged(-1);
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::appendColumns(const QList<int>& fields, const QList<const double*>& columns, int rowCount)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const TableDef& def = *d->def;
    const int nf = def.fields.size();
    if (fields.size() != columns.size())
        throw DbError(QStringLiteral("Database error: %1 fields and %2 columns given for '%3'.")
                          .arg(fields.size()).arg(columns.size()).arg(d->tableName));
    if (rowCount <= 0)
        return;
    QList<bool> given(nf, false);
    for (int k = 0; k < fields.size(); ++k) {
        const int i = fields[k];
        if (i < 0 || i >= nf)
            throw DbError(QStringLiteral("Database error: no field at position %1 in table '%2'.").arg(i).arg(d->tableName));
        const FieldDef& f = def.fields[i];
        if (isTextType(f.type) || f.type == FieldType::AutoInc || given[i])
            throw DbError(QStringLiteral("Field '%1' cannot be given as a column of numbers.").arg(f.name));
        given[i] = true;
    }
    // A required field not given: a logical one starts false, any other refuses the rows.
    QList<int> falseFields;
    for (int i = 0; i < nf; ++i) {
        if (given[i] || !def.fields[i].required)
            continue;
        if (def.fields[i].type != FieldType::Logical)
            throw DbError(QStringLiteral("Field '%1' must have a value.").arg(def.fields[i].name));
        falseFields << i;
    }
    // Shorts are checked before anything is written, as toStored checks them.
    for (int k = 0; k < fields.size(); ++k) {
        const FieldDef& f = def.fields[fields[k]];
        if (f.type != FieldType::Short || !columns[k])
            continue;
        for (int r = 0; r < rowCount; ++r) {
            const double v = columns[k][r];
            const bool finite = std::isfinite(v) && std::fabs(v) <= 1e9;
            const qint64 n = finite ? qRound64(v) : 0;
            if (!finite || n < -32768 || n > 32767)
                throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                                  .arg(generalFormat(v), f.name));
        }
    }

    auto stored = [&](int k, int r) -> QVariant {
        const double v = columns[k] ? columns[k][r] : 0.0;
        switch (def.fields[fields[k]].type) {
        case FieldType::Short: return int(qRound64(v));
        case FieldType::Logical: return v != 0.0;
        default: return v;
        }
    };
    // Field i of row r as stored, for a key violation's message.
    auto columnValue = [&](int i, int r) -> QVariant {
        const int k = int(fields.indexOf(i));
        if (k >= 0)
            return stored(k, r);
        return falseFields.contains(i) ? QVariant(false) : QVariant();
    };
    auto landOnLast = [&](qint64 rid) {
        QVariantList last = d->emptyRow();
        for (int k = 0; k < fields.size(); ++k)
            last[fields[k]] = stored(k, rowCount - 1);
        for (int i : falseFields)
            last[i] = false;
        landOnAppendedRow(std::move(last), rid);
    };

    // A keyed private table takes the rows into its array, all or nothing.
    if (dbi::KeyedRows* keyed = dbi::keyedRowsForBulk(def)) {
        std::int64_t lastKey = 0;
        if (!dbi::keyedAppend(*keyed, def, fields.constData(), columns.constData(), int(fields.size()),
                              falseFields.constData(), int(falseFields.size()), rowCount, &lastKey)) {
            // The first row whose key is given twice or already held.
            const int key = def.rowKeyField();
            const int k = int(fields.indexOf(key));
            int refused = -1;
            QSet<qint64> seen;
            for (int r = 0; r < rowCount && refused < 0 && k >= 0; ++r) {
                const qint64 v = qRound64(columns[k] ? columns[k][r] : 0.0);
                dbi::Stmt& q = dbi::exec(QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(d->base), {v}, true);
                const bool held = q.next();
                q.finish();
                if (held || seen.contains(v))
                    refused = r;
                seen.insert(v);
            }
            if (refused < 0)
                throw DbError(QStringLiteral("Key violation. \"%1\" already holds a record with the same key.").arg(def.name));
            throw DbError(keyViolationMessage(def, QString(), [&](int i) { return columnValue(i, refused); }));
        }
        dbi::scratchWritten(&def);
        landOnLast(lastKey);
        return;
    }

    // Zeros (null columns, false logicals) are part of the statement text:
    // only the given numbers are bound.
    QStringList names, marks;
    struct Bound {
        const double* values;
        FieldType type;
    };
    std::vector<Bound> bound;
    for (int k = 0; k < fields.size(); ++k) {
        const FieldDef& f = def.fields[fields[k]];
        names << dbi::quoteId(f.name);
        if (columns[k]) {
            marks << QStringLiteral("?");
            bound.push_back({columns[k], f.type});
        } else {
            marks << (f.type == FieldType::Float ? QStringLiteral("0.0") : QStringLiteral("0"));
        }
    }
    for (int i : falseFields) {
        names << dbi::quoteId(def.fields[i].name);
        marks << QStringLiteral("0");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(d->base, names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    const qint64 rid = insertChunked(
        def, sql, int(bound.size()), rowCount, d->scratch(),
        [&](dbi::Stmt& qq, int r, int& b) {
            for (const Bound& c : bound) {
                const double v = c.values[r];
                switch (c.type) {
                case FieldType::Short: qq.bindInt64(b++, qRound64(v)); break;
                case FieldType::Logical: qq.bindInt64(b++, v != 0.0 ? 1 : 0); break;
                default: qq.bindDouble(b++, v); break;
                }
            }
        },
        [&](int r, int i) { return columnValue(i, r); });
    dbi::scratchWritten(&def);
    landOnLast(rid);
}

void TTable::cancel()
{
    if (!d->open || d->state == State::Browse)
        return;
    d->buf.clear();
    d->state = State::Browse;
    emit stateChanged();
    emit dataChanged(-1);
}

void TTable::remove()
{
    d->needOpen();
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    if (d->state == State::Edit)
        cancel();
    d->resolve();
    if (!d->hasRow)
        throw DbError(QStringLiteral("Cannot perform this operation on an empty table ('%1').").arg(d->tableName));
    if (!d->scratch())
        dbi::ensureAttached();
    dbi::Stmt& qq = d->exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->base), {d->rowid});
    qq.finish();
    dbi::scratchWritten(d->def);
    d->repositionAfterLoss(d->keys, d->rowid);
    emit afterDelete();
    emit afterScroll();
    Database::notifyTableChanged(tableBaseName(d->def->name), this);
}

void TTable::emptyTable()
{
    const TableDef& def = d->needDef();
    if (d->open && d->state != State::Browse)
        cancel();
    if (dbi::KeyedRows* keyed = dbi::keyedRowsForBulk(def)) {
        dbi::keyedClear(*keyed);
    } else {
        if (!def.scratch)
            dbi::ensureAttached();
        dbi::Stmt& qq = d->exec(QStringLiteral("DELETE FROM %1").arg(d->base), {});
        qq.finish();
    }
    dbi::scratchWritten(&def);
    if (d->open) {
        d->setNoRow();
        d->eof = d->bof = true;
        emit afterScroll();
    }
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::refresh()
{
    if (!d->open || d->state != State::Browse)
        return;
    if (d->pendingFirst) {
        // Not read yet: it is read as it is now when first needed.
    } else if (d->hasRow) {
        const QVariantList oldKeys = d->keys;
        const qint64 oldRid = d->rowid;
        Impl::Hit h;
        if (d->fetch(sig(kRowid), [] { return QStringLiteral("rowid = ?"); }, {oldRid}, false, &h))
            d->setCurrent(std::move(h));   // re-read on the next field access
        else
            d->repositionAfterLoss(oldKeys, oldRid);
    } else {
        const bool any = d->moveFirst(false);
        d->eof = d->bof = !any;
    }
    emit dataChanged(-1);
    emit afterScroll();
}

// ---- fields ---------------------------------------------------------------------------

int TTable::fieldCount() const { return d->needDef().fields.size(); }

TField TTable::field(int index)
{
    if (index < 0 || index >= fieldCount())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    return TField(this, index);
}

TField TTable::field(const QString& name)
{
    d->needDef();
    const int i = d->fieldPos->value(name, -1);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(name, d->def->name));
    return TField(this, i);
}

bool TTable::hasField(const QString& name) const { return d->def && d->fieldPos->contains(name); }

QString TTable::fieldName(int index) const
{
    const TableDef& def = d->needDef();
    if (index < 0 || index >= def.fields.size())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    return def.fields[index].name;
}

QVariantList TTable::rowValues() const
{
    d->needOpen();
    if (d->state == State::Browse) {
        d->resolve();
        d->ensureRow();
        d->fieldsRead = true;
    }
    if (d->state != State::Browse)
        return d->buf;
    return d->row.isEmpty() && d->def ? d->emptyRow() : d->row;
}

QVariant TTable::valueAt(int index) const
{
    d->needOpen();
    if (d->state == State::Browse) {
        d->resolve();
        d->ensureRow();
        d->fieldsRead = true;
    }
    const QVariantList& r = d->state == State::Browse ? d->row : d->buf;
    if (r.isEmpty() && d->def && index >= 0 && index < d->def->fields.size())
        return QVariant();   // no current row
    if (index < 0 || index >= r.size())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    return r[index];
}

void TTable::setValueAt(int index, const QVariant& v)
{
    d->needOpen();
    const TableDef& def = *d->def;
    if (index < 0 || index >= def.fields.size())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    const FieldDef& f = def.fields[index];
    if (f.type == FieldType::AutoInc)
        throw DbError(QStringLiteral("Field '%1' cannot be modified.").arg(f.name));
    if (d->state != State::Edit && d->state != State::Insert)
        throw DbError(QStringLiteral("Table '%1' is not in edit or insert mode.").arg(d->tableName));
    d->buf[index] = toStored(f, v);
    d->modified[index] = true;
    emit dataChanged(index);
}

// ---- TField ---------------------------------------------------------------------------------

QString TField::name() const { return m_table->fieldName(m_index); }

FieldType TField::type() const { return m_table->definition().fields[m_index].type; }

int TField::size() const { return m_table->definition().fields[m_index].size; }

bool TField::isNull() const { return !m_table->valueAt(m_index).isValid(); }

QVariant TField::value() const { return m_table->valueAt(m_index); }

QString TField::asString() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return QString();
    switch (type()) {
    case FieldType::Float: return generalFormat(v.toDouble());
    case FieldType::Logical: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

int TField::asInteger() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return 0;
    switch (type()) {
    case FieldType::Float: return int(qRound64(v.toDouble()));
    case FieldType::Logical: return v.toBool() ? 1 : 0;
    case FieldType::Text:
    case FieldType::Memo: {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid integer value.").arg(v.toString()));
        return n;
    }
    default: return v.toInt();
    }
}

double TField::asFloat() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return 0.0;
    switch (type()) {
    case FieldType::Logical: return v.toBool() ? 1.0 : 0.0;
    case FieldType::Text:
    case FieldType::Memo: {
        bool ok = false;
        const double x = QLocale::c().toDouble(v.toString().trimmed(), &ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value.").arg(v.toString()));
        return x;
    }
    default: return v.toDouble();
    }
}

bool TField::asBoolean() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return false;
    switch (type()) {
    case FieldType::Logical: return v.toBool();
    case FieldType::Text:
    case FieldType::Memo: {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0;
    }
    default: return v.toDouble() != 0.0;
    }
}

void TField::setValue(const QVariant& v) { m_table->setValueAt(m_index, v); }
void TField::setAsString(const QString& v) { m_table->setValueAt(m_index, v); }
void TField::setAsInteger(int v) { m_table->setValueAt(m_index, v); }
void TField::setAsFloat(double v) { m_table->setValueAt(m_index, v); }
void TField::setAsBoolean(bool v) { m_table->setValueAt(m_index, v); }
void TField::clear() { m_table->setValueAt(m_index, QVariant()); }

} // namespace quen
