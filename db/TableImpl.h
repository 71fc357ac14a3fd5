// The state of a table handle (TTable::Impl) and the pieces its units share:
// Table.cpp (the handle's calls, moves and fields), TableCursor.cpp (finding
// rows: the keyset statements, visibility, position) and TableWrite.cpp
// (posts, deletes and the bulk writes). Not for use outside db/.
#pragma once

#include <QHash>
#include <QSet>
#include <functional>
#include <unordered_map>

#include "DbInternal.h"
#include "FilterText.h"
#include "Table.h"
#include "TableValues.h"

namespace quen {

namespace dbi {

// Statement texts of a table definition, built once per process (the
// definitions are fixed).
// Only definitions of the schema (static) are kept.
struct TableSql {
    QString base, selectAll, rowByRowid, insertSql;
    QHash<QString, int> fieldPos;   // field position by exact name
};
const TableSql& tableSql(const TableDef& def);

// The shape of a statement of a move or a search, as its cache key.
enum SigKind : quint64 { kFirst = 1, kTuple = 2, kFindKey = 3, kLocate = 4, kRowid = 5, kNone = 6 };
inline quint64 sig(SigKind kind, quint64 n = 0, quint64 mask = 0, quint64 flags = 0, quint64 field = 0)
{
    return kind | (n << 4) | (flags << 12) | (mask << 16) | (field << 40);
}

} // namespace dbi

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

} // namespace quen
