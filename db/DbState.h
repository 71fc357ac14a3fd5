// The state of the database layer for the program run: the connections,
// their statement caches and counters, the transaction and attachment
// bookkeeping. Shared by the units of db/ (the connection kinds, the loader,
// the copy); not for use outside db/.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <sqlite3.h>
#include <sys/types.h>
#include <unordered_map>

#include "DbInternal.h"

struct pg_conn;
typedef struct pg_conn PGconn;

namespace quen {

class TTable;

namespace dbi {

struct QStringHash {
    size_t operator()(const QString& s) const noexcept { return qHash(s); }
};

struct DbState {
    bool open = false;
    bool readOnly = false;       // opened by Database::openReadOnly
    QString path;
    QString dataDir = QStringLiteral(":/quenpm/data/tables");
    sqlite3* native = nullptr;   // the connection's own SQLite handle
    PGconn* pg = nullptr;        // set instead when the alias names a PostgreSQL server
    quint64 pgSession = 1;       // changes whenever the server connection is made again (see serverBeforeStatement)
    bool pgTxnOpen = false;      // a transaction was open on the server after the last statement
    bool pgTxnLost = false;      // the connection dropped inside a transaction that has not ended yet
    int pgStatements = 0;        // names of prepared statements on the server
    QStringList outerSavepoints; // savepoints that began the server transaction
    std::unordered_map<QString, std::unique_ptr<Stmt>, QStringHash> nativeStatements;
    // The shared connection behind the statements' interface (a
    // SqliteConnection over native or a PgConnection over pg), and the
    // private one over scratch.
    std::unique_ptr<Connection> sharedConnection;
    std::unique_ptr<Connection> scratchConnection;
    // The private in-memory database of this program run that holds the
    // scratch tables, whichever kind the shared database is.
    sqlite3* scratch = nullptr;
    std::unordered_map<QString, std::unique_ptr<Stmt>, QStringHash> scratchStatements;
    quint64 statements[2] = {0, 0};   // executed on the shared / the private connection
    quint64 roundTrips = 0;           // requests sent to a server and answered (see dbi::serverRoundTrips)
    quint64 statementGeneration = 1;  // changes whenever cached statements are finalized
    // Writes to each private table, and rollbacks of the private database:
    // see dbi::scratchStamp.
    QHash<const TableDef*, quint64> scratchWrites;
    quint64 scratchEpoch = 0;
    QList<TTable*> handles;
    bool userTxn = false;        // inside Database::transaction
    quint64 readSnapshot = 0;    // the ReadSnapshot holding a read transaction of the shared SQLite file (0: none)
    quint64 readSnapshots = 0;   // ReadSnapshots begun
    // The files SQLite holds for the shared file (see "Attachment" below).
    struct FileId {
        bool valid = false;
        dev_t dev = 0;
        ino_t ino = 0;
        bool operator==(const FileId& o) const { return valid == o.valid && dev == o.dev && ino == o.ino; }
    };
    struct Attachment {
        bool armed = false;      // a SQLite file is open and was attached when opened
        bool wal = false;        // in WAL mode: -wal and -shm held for the connection's life
        bool locks = false;      // /proc/locks showed this process's locks on the file and the -shm
        bool byInode = false;    // ... listed under another device than stat() gives (an overlay)
        bool detached = false;   // found detached once: stays so until closed
        FileId db, walFile, shm;
    } attach;
};

DbState& st();

// A text from the server's client library (a failed connection) without the
// secrets of the URI it was given, raw or percent-decoded.
QString redacted(const QString& text, const QString& location);

// Used by the open, the loader and the copy (defined in Database.cpp).
void rollbackQuietly();                               // ROLLBACK on the shared connection, errors ignored
void removeDatabaseFiles(const QString& path);        // the file and its -wal, -shm, -journal
void configureSqlite();                               // before SQLite's first connection
void refuseQuotedStrings(sqlite3* db);                // a double-quoted name is never a text
QString namedLocation(const QString& location);       // refuses an empty or blank location (DbError)

} // namespace dbi

// With QUENPM_TEST_SERVER set, a file location as a schema of that server.
QString testServerLocation(const QString& location);

} // namespace quen
