// A connection to a database and the statements prepared on it, whatever
// kind of database it is: an embedded SQLite file, the private in-memory
// SQLite database of the working tables, or a PostgreSQL server (see
// SqliteConnection.h and PgConnection.h). Not for use outside db/ (tests and
// benches of the layer aside).
//
// A statement is prepared once on its connection and cached (see stmt() in
// DbInternal.h); binding and reading skip the per-value work of QSqlQuery
// (placeholder names, value copies). Same connection, same transactions,
// same error classes. Statements are finalized before their connection
// closes. A statement is reset when it ran to its end, by finish(), and
// before new values are bound. Texts are in the dialect of the connection
// (Dialect.h) with positional "?" markers.
#pragma once

#include <QString>
#include <QVariant>
#include <memory>

#include "Schema.h"

namespace quen::dbi {

class Dialect;

class Stmt {
public:
    virtual ~Stmt() = default;
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    virtual void bindValue(int index, const QVariant& v) = 0;   // 0-based; null or invalid binds NULL
    // The same for a number, without a QVariant where the connection can
    // take it straight (the bulk appends' rows).
    virtual void bindDouble(int index, double v) { bindValue(index, v); }
    virtual void bindInt64(int index, qint64 v) { bindValue(index, v); }
    virtual bool exec() = 0;                        // false on failure: see errorText, isKeyViolation
    virtual bool next() = 0;                        // the next result row, false at the end; throws DbError on a read error
    virtual QVariant value(int column) const = 0;   // of the current row; NULL is a null QVariant
    // The same, as a table handle keeps a field of type t: QString, double,
    // int or bool.
    virtual QVariant fieldValue(int column, FieldType t) const;
    virtual void finish() = 0;
    virtual bool isKeyViolation() const = 0;
    qint64 lastInsertId() const { return m_lastInsertId; }
    QString errorText() const { return m_error; }
    int rowsAffected() const { return m_rowsAffected; }

protected:
    Stmt() = default;
    QString m_error;
    qint64 m_lastInsertId = 0;
    int m_rowsAffected = 0;
};

// A value read from a database as a handle keeps a field of type t.
QVariant asFieldValue(const QVariant& v, FieldType t);

class Connection {
public:
    virtual ~Connection() = default;
    virtual const Dialect& dialect() const = 0;
    // A statement of sql; throws DbError when it cannot be prepared.
    virtual std::unique_ptr<Stmt> prepare(const QString& sql) = 0;
    // Runs a statement without values or results (DDL, BEGIN, COMMIT);
    // throws DbError.
    virtual void execute(const QString& sql) = 0;
};

} // namespace quen::dbi
