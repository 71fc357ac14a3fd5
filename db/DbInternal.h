// Internal services of the database layer shared by Database.cpp and
// Table.cpp; not for use outside db/ (but statementCount, which tests and
// benches read).
//
// Two connections: the shared one (the embedded file or the PostgreSQL
// server of the alias) and the private in-memory SQLite database of the
// program run that holds the scratch tables ("QuenWkCrop.DB", "ETKc.db",
// "StationList.db", "DownloadCounty.DB"). Every service below takes the
// connection by a scratch flag (TableDef::scratch of the table at hand).
#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

#include "Schema.h"

struct pg_conn;
struct pg_result;

namespace quen::dbi {

// A statement prepared straight on a connection's SQLite handle, for the
// table handles' hot paths: binding and reading skip the per-value work of
// QSqlQuery (placeholder names, value copies). Same connection, same
// transactions, same error classes. Cached per connection (see stmt()) and
// finalized before the connection closes. A statement is reset when it ran
// to its end, by finish(), and before new values are bound.
//
// On a PostgreSQL server the same statement text is translated once ("?" to
// "$n", COLLATE NOCASE to lower(), RETURNING rowid on inserts) and prepared
// on the server; a write inside an open transaction runs under a statement
// savepoint so that a refused row leaves the transaction usable, as SQLite
// does. A SAVEPOINT outside any transaction begins one, and releasing it
// commits, as in SQLite. The handles' row reads ("SELECT rowid, ...") take
// their rows in binary form, which spares the server and the client the
// formatting and parsing of every number.
class Stmt {
public:
    Stmt(sqlite3_stmt* s, bool scratch) : m_stmt(s), m_scratch(scratch) {}
    Stmt(pg_conn* conn, const QByteArray& name, const QByteArray& sql, bool simple, bool insert);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    void bindValue(int index, const QVariant& v);   // 0-based; null or invalid binds NULL
    // The same for a number, without a QVariant; on SQLite between runs
    // (the bulk appends' rows) straight into the statement.
    void bindDouble(int index, double v)
    {
        if (m_conn || m_active)
            bindValue(index, v);
        else
            sqlite3_bind_double(m_stmt, index + 1, v);
    }
    void bindInt64(int index, qint64 v)
    {
        if (m_conn || m_active)
            bindValue(index, v);
        else
            sqlite3_bind_int64(m_stmt, index + 1, v);
    }
    bool exec();                                    // false on failure: see errorText, isKeyViolation
    bool next();                                    // the next result row, false at the end; throws DbError on a read error
    QVariant value(int column) const;               // of the current row; NULL is a null QVariant
    // The same, as a table handle keeps a field of type t: QString, double,
    // int or bool (one conversion straight from SQLite's value).
    QVariant fieldValue(int column, FieldType t) const;
    qint64 lastInsertId() const { return m_lastInsertId; }
    void finish();
    QString errorText() const { return m_error; }
    bool isKeyViolation() const;
    int rowsAffected() const { return m_rowsAffected; }

private:
    void reset();
    bool execPg();
    bool runPgControl();
    sqlite3_stmt* m_stmt = nullptr;
    bool m_scratch = false;     // on the private scratch database
    bool m_active = false;      // stepped and not reset
    bool m_rowPending = false;  // exec read a row that next() has not handed out yet
    int m_errorCode = 0;        // extended result code of the last failure
    QString m_error;
    qint64 m_lastInsertId = 0;
    int m_rowsAffected = 0;
    // PostgreSQL
    pg_conn* m_conn = nullptr;
    QByteArray m_name;        // server-side prepared name; empty for a simple statement
    QByteArray m_sql;
    bool m_insert = false;
    bool m_binary = false;    // rows come in binary form (the handles' row reads: no number formatting)
    bool m_write = false;
    QList<QByteArray> m_params;
    QList<bool> m_paramNull;
    pg_result* m_res = nullptr;
    int m_row = -1;
    QList<unsigned> m_types;
    QByteArray m_sqlState;
    quint64 m_session = 0;    // the server connection it was prepared on (see serverBeforeStatement)
};

bool isServer();                                   // the shared database is a PostgreSQL server
bool isServerLocation(const QString& location);    // postgresql:// or postgres://
QString connectionUri(const QString& location);    // a server location as the client library takes it (scheme in lower case)
QString translateForServer(const QString& sql);    // SQLite dialect of the layer to PostgreSQL

// Cached native statement on the shared connection, or with scratch on the
// private one, whose text is always in SQLite's dialect (opens the alias
// location when nothing is open yet); throws DbError when it cannot be
// prepared.
Stmt& stmt(const QString& sql, bool scratch = false);

// Runs a cached native statement with positional values; throws DbError
// ("Key violation." for a duplicate key). Returns it for reading.
Stmt& exec(const QString& sql, const QVariantList& values, bool scratch = false);

// Prepared, forward-only statement cached on the shared connection (opens
// the alias location when nothing is open yet).
Stmt& query(const QString& sql);

// Runs a cached statement with positional values on the shared connection;
// throws DbError on failure. Returns the statement for reading.
Stmt& run(const QString& sql, const QVariantList& values);

// Runs a statement without values or results (DDL, BEGIN, COMMIT) on the
// shared connection, or with scratch on the private one; throws DbError.
void execSql(const QString& sql, bool scratch = false);

// Statements executed so far on the shared connection (each one a round trip
// on a server: prepared runs, plain statements, the statement savepoints
// around writes inside a transaction), or with scratch on the private one.
// A running count over the process: callers take differences.
quint64 statementCount(bool scratch);

// Requests sent to a PostgreSQL server and answered so far, on any
// connection of the layer (the shared one, a copy's target): a running count
// over the process, for benches.
quint64 serverRoundTrips();

// The private connection, for a write that goes to a keyed table's rows
// without a statement (counted as one); opens the alias location when
// nothing is open yet.
sqlite3* scratchConnection();

// Changes whenever the cached statements are finalized (a connection closes):
// a Stmt reference kept beyond one call is valid while this stays the same.
quint64 statementGeneration();

// Changes whenever a private (scratch) table may have changed: a write to it
// through any handle, or a rollback of the private database. A handle whose
// row was read at the same stamp knows the row is still as it read it.
quint64 scratchStamp(const TableDef* def);
void scratchRolledBack();
void scratchWritten(const TableDef* def);   // every write statement of a table calls it

// Before a write of the shared SQLite file (a post outside a transaction, the
// start of Database::transaction, a mark statement): throws DbError, writing
// nothing, when the program was detached from the file (its SQLite locks
// lost, or the -wal / -shm files replaced; see "Attachment" in Database.cpp).
// Does nothing on a server, inside Database::transaction (checked when it
// began) or when no file is open.
void ensureAttached();

// Writes: a user-table write runs on its own (autocommit, flushed to disk
// when it returns) unless inside Database::transaction or a savepoint. The
// private database stays in one transaction from open to close (nobody else
// reads it, so it is never committed); Database::transaction and the batches
// nest savepoints in it, so scratch writes are dropped with a rollback.

QString quoteId(const QString& identifier);       // "name" for SQL
QString sqlTypeName(FieldType t);                 // in the shared database's dialect
QString sqlTypeName(FieldType t, bool server);

} // namespace quen::dbi
