// Internal services of the database layer shared by its units (the alias
// and the open in Database.cpp, the table handles, the loader, the copy, the
// data modules); not for use outside db/ (but statementCount, which tests
// and benches read).
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

#include "DbError.h"
#include "Connection.h"
#include "Dialect.h"
#include "Schema.h"

namespace quen::dbi {

// Throws DbError when no database is open: the programs, commands, tests
// and benches open theirs explicitly (Database::open, openReadOnly) before
// any table or statement; nothing opens one on its own.
void requireOpen();

bool isServer();                                   // the shared database is a PostgreSQL server
bool isServerLocation(const QString& location);    // postgresql:// or postgres://
QString connectionUri(const QString& location);    // a server location as the client library takes it (scheme in lower case)

// Cached statement on the shared connection, or with scratch on the private
// one, whose text is in that connection's dialect (dialect(scratch)); throws
// DbError when no database is open or the statement cannot be prepared.
Stmt& stmt(const QString& sql, bool scratch = false);

// Runs a cached native statement with positional values; throws DbError
// ("Key violation." for a duplicate key). Returns it for reading.
Stmt& exec(const QString& sql, const QVariantList& values, bool scratch = false);

// Prepared, forward-only statement cached on the shared connection.
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

// The dialect of the shared connection (SQLite's when none is open), or
// with scratch of the private one (always SQLite's).
const Dialect& dialect(bool scratch = false);

} // namespace quen::dbi
