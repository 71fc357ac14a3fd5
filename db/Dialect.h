// The SQL each kind of database speaks. The layer builds its statements
// from these pieces, so that each text is already in the dialect of the
// connection it runs on: SQLite's for a database file and for the private
// database of the working tables, PostgreSQL's for a server. Not for use
// outside db/.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "Schema.h"

namespace quen::dbi {

class Dialect {
public:
    virtual ~Dialect() = default;

    virtual bool isServer() const = 0;

    // "name" for SQL (the same in both dialects).
    static QString quoteId(const QString& identifier);

    // The column type of a field.
    virtual QString typeName(FieldType t) const = 0;

    // A text key column (quoted) ordered and compared without regard to
    // case, and the value it is compared with: SQLite's NOCASE collation;
    // on a server lower() on both sides (ASCII folding under the "C"
    // collation of the text columns, as NOCASE).
    virtual QString noCase(const QString& column) const = 0;
    virtual QString noCaseValue() const = 0;

    // After an ORDER BY term: empty values first in ascending order, as
    // SQLite sorts them (a server sorts them last unless told).
    virtual QString nullsOrder(bool descending) const = 0;

    // After a column: "equals the value, empty equal to empty".
    virtual QString sameAsValue() const = 0;

    // After an INSERT: what makes the new row's rowid readable as the
    // statement's lastInsertId (nothing on SQLite, which keeps it).
    virtual QString returningRowid() const = 0;

    // BEGIN of a user transaction (SQLite takes the write lock at once).
    virtual QString beginWrite() const = 0;

    // The DDL of a table and of its indexes. privateDb: the table of the
    // private database, whose row key field (if any) is SQLite's row key.
    virtual QString createTable(const TableDef& t, bool privateDb = false) const = 0;
    virtual QStringList createIndexes(const TableDef& t, bool privateDb = false) const = 0;

    // The statement text as the client library takes it: the layer writes
    // positional "?" markers; a server numbers them "$1", "$2", ... (a
    // marker inside a quoted name or string is left as it is).
    virtual QByteArray positional(const QString& sql) const = 0;

protected:
    virtual QString indexColumns(const TableDef& t, const QStringList& fields, bool ci) const = 0;
};

const Dialect& sqliteDialect();
const Dialect& serverDialect();

} // namespace quen::dbi
