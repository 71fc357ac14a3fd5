#include "Database.h"
#include "DatabaseFiles.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <QUrl>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <libpq-fe.h>
#include <sys/stat.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <unordered_map>

#include "DbError.h"
#include "DbInternal.h"
#include "CsvLoader.h"
#include "DbState.h"
#include "PgConnection.h"
#include "SqliteConnection.h"
#include "Dialect.h"
#include "MarkQuery.h"
#include "Table.h"

namespace quen {

using dbi::DbState;
using dbi::st;
using dbi::configureSqlite;
using dbi::ensureOneRowTables;
using dbi::loadDirectory;
using dbi::loadTableFile;
using dbi::namedLocation;
using dbi::refuseQuotedStrings;
using dbi::removeDatabaseFiles;
using dbi::rollbackQuietly;

namespace {

const QString kConnectionName = QStringLiteral("quenpm-db");
const QString kSchemaTable = QStringLiteral("QuenpmSchema");

QSqlDatabase rawConnection() { return QSqlDatabase::database(kConnectionName, false); }

void execOrThrow(QSqlDatabase&, const QString& sql) { dbi::execSql(sql); }

} // namespace

namespace dbi {

void rollbackQuietly()
{
    try {
        dbi::execSql(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
    }
}

} // namespace dbi

namespace {

// The parts of a server URI that hold a secret: the password of the user
// part ("user:secret@host") and every parameter whose name (percent-decoded,
// any case) contains "password" ("password", "sslpassword"). Each is given
// as [start, end) in the URI.
QList<QPair<int, int>> secretSpans(const QString& uri)
{
    QList<QPair<int, int>> spans;
    const int scheme = uri.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return spans;
    const int begin = scheme + 3;
    int query = uri.indexOf(QLatin1Char('?'), begin);
    if (query < 0)
        query = uri.size();
    // The user part ends at the last "@" before the parameters; a password
    // holding "@" or "/" unencoded is still covered whole.
    const int at = uri.lastIndexOf(QLatin1Char('@'), query - 1);
    if (at >= begin) {
        const int colon = uri.indexOf(QLatin1Char(':'), begin);
        if (colon >= 0 && colon < at)
            spans.append({colon + 1, at});
    }
    int i = query + 1;
    while (i < uri.size()) {
        int end = uri.indexOf(QLatin1Char('&'), i);
        if (end < 0)
            end = uri.size();
        const int eq = uri.indexOf(QLatin1Char('='), i);
        if (eq >= 0 && eq < end) {
            const QString key = QUrl::fromPercentEncoding(uri.mid(i, eq - i).toUtf8()).trimmed().toLower();
            if (key.contains(QLatin1String("password")))
                spans.append({eq + 1, end});
        }
        i = end + 1;
    }
    return spans;
}

// A location as shown in messages and windows: a server URI with every
// secret (the password of the user part, every password parameter) replaced
// by "***" and its scheme as libpq reads it; a file path as it is.
QString shownLocation(const QString& location)
{
    if (!dbi::isServerLocation(location))
        return location;
    QString s = dbi::connectionUri(location);
    const QList<QPair<int, int>> spans = secretSpans(s);
    for (qsizetype k = spans.size() - 1; k >= 0; --k)
        s.replace(spans[k].first, spans[k].second - spans[k].first, QStringLiteral("***"));
    return s;
}

// A text from the server's client library (a failed connection) without the
// secrets of the URI it was given, raw or percent-decoded.
QString withoutSecrets(QString text, const QString& location)
{
    const QString uri = dbi::connectionUri(location);
    for (const auto& span : secretSpans(uri)) {
        const QString raw = uri.mid(span.first, span.second - span.first);
        for (const QString& secret : {raw, QUrl::fromPercentEncoding(raw.toUtf8())})
            if (!secret.isEmpty())
                text.replace(secret, QStringLiteral("***"));
    }
    return text;
}

// ---- Attachment to the database file ---------------------------------------------
//
// SQLite coordinates the programs that share a file through POSIX locks: in
// WAL mode each connection holds, for its whole life, a shared lock on the
// database file and one on the "DMS" byte (offset 128) of the -shm file. The
// last connection to close (the one that can lock the file exclusively)
// checkpoints the WAL into the file and deletes the -wal and -shm files.
// POSIX locks belong to the process and inode, and closing ANY descriptor of
// the file drops all of the process's locks on it: code that opens the file
// or a side file outside SQLite (a file dialog learning a type, an import
// reading the wrong file) and closes it again silently leaves the program
// without locks. The next program to open the database then believes it is
// alone, deletes the side files, and this program goes on writing into
// deleted files (lost saves, and a checkpoint of stale pages at exit).
//
// Nothing of the programs opens those files (the file dialogs of ui/
// FileDialog.h never read a file and refuse the database's own files). As a
// second line, before each write of the shared file (each post outside a
// transaction, each Database::transaction, each mark statement) the check
// below makes sure the program is still attached, and refuses the write
// when it is not:
//   - the main file has not moved (SQLITE_FCNTL_HAS_MOVED: the file at the
//     path is still the one SQLite has open);
//   - <db>-wal and <db>-shm are still the inodes that were at their paths
//     when the database was opened (SQLite keeps the same ones open for the
//     connection's life), found by stat() alone;
//   - /proc/locks still lists this process's lock on the DMS byte of the
//     -shm inode and on the shared-lock range of the database inode (by
//     device and inode; by inode alone where an overlay file system lists
//     the locks under another device). This part is used only when the
//     listing showed those locks when the database was opened (a file
//     system or a system without the listing keeps the other two parts).
// stat() and reading /proc/locks never open the database files. Once found
// detached the state sticks until the database is closed, and the close
// skips SQLite's checkpoint at close, which would copy pages of a deleted
// or stale WAL over what other programs wrote. The check costs a few system
// calls per write transaction of the shared file; the private working
// database and a server are not checked.

constexpr qint64 kShmDmsByte = 128;                 // SQLite's unix VFS: UNIX_SHM_BASE + SQLITE_SHM_NLOCK
constexpr qint64 kSharedFirst = 0x40000000LL + 2;   // PENDING_BYTE + 2: the readers' shared range

DbState::FileId fileIdOf(const QString& path)
{
    DbState::FileId id;
    struct stat sb;
    if (::stat(QFile::encodeName(path).constData(), &sb) == 0) {
        id.valid = true;
        id.dev = sb.st_dev;
        id.ino = sb.st_ino;
    }
    return id;
}

// Whether this process holds a POSIX lock covering byte offset on each file
// (file, offset) asked: read from /proc/locks, which opens nothing of them.
// false when the listing cannot be read.
// byInode: the inode number alone identifies a file (an overlay file system
// lists the locks under the device of the layer below the one stat() names).
bool holdsLocks(const QList<QPair<DbState::FileId, qint64>>& wanted, bool byInode, bool* readable = nullptr)
{
    if (readable)
        *readable = false;
    const int fd = ::open("/proc/locks", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    QByteArray text;
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, int(n));
    }
    ::close(fd);
    if (readable)
        *readable = true;
    const QByteArray pid = QByteArray::number(qint64(::getpid()));
    QList<bool> found(wanted.size(), false);
    // "1: POSIX  ADVISORY  READ 1234 fe:00:10953123 128 128"; waiting
    // requests ("1: -> POSIX ...") are not held.
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> w = line.simplified().split(' ');
        if (w.size() < 8 || w[1] != "POSIX" || w[4] != pid)
            continue;
        const QList<QByteArray> id = w[5].split(':');
        if (id.size() != 3)
            continue;
        bool ok1 = false, ok2 = false, ok3 = false, ok4 = false;
        const uint maj = id[0].toUInt(&ok1, 16);
        const uint min = id[1].toUInt(&ok2, 16);
        const qulonglong ino = id[2].toULongLong(&ok3);
        const qint64 start = w[6].toLongLong(&ok4);
        const qint64 end = w[7] == "EOF" ? std::numeric_limits<qint64>::max() : w[7].toLongLong();
        if (!ok1 || !ok2 || !ok3 || !ok4)
            continue;
        for (int i = 0; i < wanted.size(); ++i) {
            const DbState::FileId& f = wanted[i].first;
            if (f.valid && qulonglong(f.ino) == ino && (byInode || (major(f.dev) == maj && minor(f.dev) == min))
                && start <= wanted[i].second && wanted[i].second <= end)
                found[i] = true;
        }
    }
    return !found.contains(false);
}

QList<QPair<DbState::FileId, qint64>> wantedLocks()
{
    const auto& a = st().attach;
    return {{a.db, kSharedFirst}, {a.shm, kShmDmsByte}};
}

// Right after a SQLite file was opened (so attached): the files and locks to
// compare with later.
void armAttachmentCheck(const QString& path)
{
    auto& a = st().attach;
    a = DbState::Attachment();
    if (!st().native)
        return;
    a.db = fileIdOf(path);
    a.walFile = fileIdOf(path + QLatin1String("-wal"));
    a.shm = fileIdOf(path + QLatin1String("-shm"));
    a.wal = a.walFile.valid && a.shm.valid;
    a.armed = a.db.valid;
    a.locks = a.wal && holdsLocks(wantedLocks(), false);
    if (a.wal && !a.locks)
        a.locks = a.byInode = holdsLocks(wantedLocks(), true);
}

bool stillAttached()
{
    const auto& a = st().attach;
    int moved = 0;
    if (sqlite3_file_control(st().native, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
        return false;
    const QString& path = st().path;
    if (!(fileIdOf(path) == a.db))
        return false;
    if (a.wal && (!(fileIdOf(path + QLatin1String("-wal")) == a.walFile)
                  || !(fileIdOf(path + QLatin1String("-shm")) == a.shm)))
        return false;
    if (a.locks) {
        bool readable = false;
        if (!holdsLocks(wantedLocks(), a.byInode, &readable) && readable)
            return false;
    }
    return true;
}

} // namespace

namespace dbi {

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace dbi

namespace {

// The connection and its statements go before the application does.
void closeBeforeApplicationEnds()
{
    static bool registered = false;
    if (!registered && QCoreApplication::instance()) {
        registered = true;
        qAddPostRoutine([] {
            try {
                Database::close();
            } catch (...) {
            }
        });
    }
}

// Before SQLite's first connection: no memory statistics (they take a
// mutex on every allocation and nothing here reads them).
} // namespace

namespace dbi {

void configureSqlite()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);   // refused, harmlessly, once SQLite is running
        return true;
    }();
    (void)configured;
}

} // namespace dbi

namespace {

// A double-quoted name that is no column is an error, never the text of the
// name: a table that lacks a field must not read as one holding its name.
} // namespace

namespace dbi {

void refuseQuotedStrings(sqlite3* db)
{
    if (!db)
        return;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

} // namespace dbi

namespace {

void openConnection(const QString& path, bool readOnly = false)
{
    configureSqlite();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                  : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const QString err = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnectionName);
        throw DbError(QStringLiteral("The database %1 cannot be opened: %2").arg(path, err));
    }
    const QVariant handle = db.driver()->handle();
    st().native = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                      ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    refuseQuotedStrings(st().native);
    st().sharedConnection = std::make_unique<dbi::SqliteConnection>(st().native, false, kConnectionName);
    st().open = true;
    st().readOnly = readOnly;
    st().path = path;
    closeBeforeApplicationEnds();
}

void openServerConnection(const QString& uri, bool readOnly = false)
{
    PGconn* conn = PQconnectdb(dbi::connectionUri(uri).toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString err = withoutSecrets(QString::fromUtf8(PQerrorMessage(conn)).trimmed(), uri);
        PQfinish(conn);
        throw DbError(QStringLiteral("The database %1 cannot be opened: %2").arg(shownLocation(uri), err));
    }
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    st().pg = conn;
    st().sharedConnection = std::make_unique<dbi::PgConnection>();
    st().open = true;
    st().readOnly = readOnly;
    st().path = uri;
    closeBeforeApplicationEnds();
    dbi::execSql(QStringLiteral("SET client_encoding = 'UTF8'"));
    dbi::execSql(QStringLiteral("SET client_min_messages = warning"));
    if (readOnly)
        dbi::execSql(QStringLiteral("SET default_transaction_read_only = on"));
    // The schema named first on the search path (an office may keep the
    // tables in a schema of their own) is created when it is missing.
    dbi::Stmt& cur = dbi::run(QStringLiteral("SELECT current_schema()"), {});
    const bool hasSchema = cur.next() && cur.value(0).isValid();
    cur.finish();
    if (!hasSchema) {
        dbi::Stmt& sp = dbi::run(QStringLiteral("SELECT current_setting('search_path')"), {});
        QString first = sp.next() ? sp.value(0).toString().section(QLatin1Char(','), 0, 0).trimmed() : QString();
        sp.finish();
        if (first.startsWith(QLatin1Char('"')))
            first = first.mid(1, first.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
        if (first.isEmpty() || first.startsWith(QLatin1Char('$')))
            throw DbError(QStringLiteral("The database %1 has no schema to hold the tables.").arg(shownLocation(uri)));
        if (readOnly)
            throw DbError(QStringLiteral("There is no Quenpm database at %1.").arg(shownLocation(uri)));
        dbi::execSql(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(dbi::quoteId(first)));
    }
}

// The serials of auto-increment fields continue after the highest value
// loaded.
void syncServerSequences()
{
    for (const TableDef& t : schemaTables())
        for (const FieldDef& f : t.fields)
            if (f.type == FieldType::AutoInc && !t.scratch) {
                const QString base = dbi::quoteId(tableBaseName(t.name));
                dbi::run(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), COALESCE(MAX(%1), 0) + 1, false) FROM %2")
                             .arg(dbi::quoteId(f.name), base),
                         {base, f.name}).finish();
            }
}

// The private database of the program run: the scratch tables with their
// indexes (SQLite's layout and collations, as in a file), in memory, on a
// connection of their own. No other program sees their rows, and their
// writes touch neither the disk nor the server.
void openScratchDatabase()
{
    configureSqlite();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const QString err = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbError(QStringLiteral("The working tables cannot be created: %1").arg(err));
    }
    st().scratch = db;
    st().scratchConnection = std::make_unique<dbi::SqliteConnection>(db, true);
    refuseQuotedStrings(db);
    // Pages of 8 KiB: a crop run's daily rows take fewer pages to split and walk.
    dbi::execSql(QStringLiteral("PRAGMA page_size = 8192"), true);
    for (const TableDef& t : schemaTables())
        if (t.scratch) {
            dbi::execSql(dbi::sqliteDialect().createTable(t, true), true);
            for (const QString& s : dbi::sqliteDialect().createIndexes(t, true))
                dbi::execSql(s, true);
        }
    // One transaction for the whole run: nobody else reads this database,
    // so it never needs committing, and each write skips a commit of its
    // own. Database::transaction and the batches nest savepoints in it.
    dbi::execSql(QStringLiteral("BEGIN"), true);
}

void closeScratchDatabase()
{
    st().scratchStatements.clear();   // finalized before their connection closes
    ++st().statementGeneration;
    ++st().scratchEpoch;
    st().scratchConnection.reset();
    if (st().scratch) {
        sqlite3_close_v2(st().scratch);
        st().scratch = nullptr;
    }
}

bool serverTableExists(const QString& base)
{
    dbi::Stmt& q = dbi::run(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"), {dbi::quoteId(base)});
    const bool exists = q.next() && q.value(0).toString() == QLatin1String("t");
    q.finish();
    return exists;
}

void dropConnection()
{
    // A detached program must not checkpoint at close: its WAL and index
    // may be deleted files or stale copies of what others wrote since.
    auto& a = st().attach;
    if (a.armed && st().native) {
        if (!a.detached && !stillAttached())
            a.detached = true;
        if (a.detached)
            sqlite3_db_config(st().native, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    a = DbState::Attachment();
    closeScratchDatabase();
    st().nativeStatements.clear();
    ++st().statementGeneration;
    st().sharedConnection.reset();
    st().native = nullptr;
    if (st().pg) {
        PQfinish(st().pg);
        st().pg = nullptr;
    }
    st().outerSavepoints.clear();
    {
        QSqlDatabase db = rawConnection();
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
    st().open = false;
    st().readOnly = false;
    st().pgTxnOpen = false;
    st().pgTxnLost = false;
    st().userTxn = false;
    st().readSnapshot = 0;
    st().path.clear();
}

void setPragmas(QSqlDatabase& db)
{
    if (dbi::isServer())
        return;
    // WAL with a flush on every commit: a post is on disk when it returns and
    // a crash never leaves a damaged file.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        throw DbError(q.lastError().text());
    q.finish();
    execOrThrow(db, QStringLiteral("PRAGMA synchronous=FULL"));
}

void createSchema(QSqlDatabase& db)
{
    // The scratch tables live in the private database of each run.
    for (const TableDef& t : schemaTables()) {
        if (t.scratch)
            continue;
        execOrThrow(db, dbi::dialect().createTable(t));
        for (const QString& s : dbi::dialect().createIndexes(t))
            execOrThrow(db, s);
    }
    execOrThrow(db, QStringLiteral("CREATE TABLE %1 (\"Version\" INTEGER NOT NULL)").arg(dbi::quoteId(kSchemaTable)));
    execOrThrow(db, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(dbi::quoteId(kSchemaTable)).arg(kSchemaVersion));
}

int readSchemaVersion(QSqlDatabase&)
{
    if (dbi::isServer() && !serverTableExists(kSchemaTable))
        return -1;
    try {
        dbi::Stmt& q = dbi::run(QStringLiteral("SELECT \"Version\" FROM %1").arg(dbi::quoteId(kSchemaTable)), {});
        const int v = q.next() ? q.value(0).toInt() : -1;
        q.finish();
        return v;
    } catch (const DbError&) {
        return -1;
    }
}

// Brings an older database up to the current layout: tables missing from it
// are created empty (with their indexes). Scratch tables are not: an older
// file may still hold them, unused.
void upgrade(QSqlDatabase& db, int fromVersion)
{
    Q_UNUSED(fromVersion);
    execOrThrow(db, QStringLiteral("BEGIN"));
    try {
        for (const TableDef& t : schemaTables()) {
            if (t.scratch)
                continue;
            bool exists = false;
            if (dbi::isServer()) {
                exists = serverTableExists(tableBaseName(t.name));
            } else {
                QSqlQuery q(db);
                q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?"));
                q.addBindValue(tableBaseName(t.name));
                q.exec();
                exists = q.next();
                q.finish();
            }
            if (!exists) {
                execOrThrow(db, dbi::dialect().createTable(t));
                for (const QString& s : dbi::dialect().createIndexes(t))
                    execOrThrow(db, s);
                // A table new to this layout gets its shipped rows (the
                // application efficiencies, the salinity thresholds).
                loadTableFile(st().dataDir, t.name);
            }
        }
        execOrThrow(db, QStringLiteral("UPDATE %1 SET \"Version\" = %2").arg(dbi::quoteId(kSchemaTable)).arg(kSchemaVersion));
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (...) {
        rollbackQuietly();
        throw;
    }
}

} // namespace

// ---- internal services -----------------------------------------------------------

namespace dbi {

void requireOpen()
{
    if (!st().open)
        throw DbError(QStringLiteral("No database is open: the program opens its database when it starts."));
}

void ensureAttached()
{
    auto& a = st().attach;
    if (!st().open || !a.armed || !st().native || st().userTxn)
        return;
    if (!a.detached && !stillAttached())
        a.detached = true;
    if (a.detached)
        throw DbError(QStringLiteral(
            "The database %1 was detached from this program: the program no longer holds the database file's "
            "locks, so another program may have removed the files this program writes to.\\n"
            "The change was not saved; nothing was written. What you entered is still on screen: note it, "
            "close the program, start it again and enter it again.").arg(QDir::toNativeSeparators(st().path)));
}

DbState& st()
{
    static DbState s;
    return s;
}

QString redacted(const QString& text, const QString& location) { return withoutSecrets(text, location); }

QString quoteId(const QString& identifier) { return Dialect::quoteId(identifier); }

const Dialect& dialect(bool scratch)
{
    return !scratch && st().pg ? serverDialect() : sqliteDialect();
}

Stmt& query(const QString& sql) { return stmt(sql); }

Stmt& run(const QString& sql, const QVariantList& values) { return exec(sql, values); }

void execSql(const QString& sql, bool scratch)
{
    requireOpen();
    ++st().statements[scratch ? 1 : 0];
    Connection* c = scratch ? st().scratchConnection.get() : st().sharedConnection.get();
    if (!c)
        throw DbError(scratch ? QStringLiteral("Database error: the working tables are not open")
                              : QStringLiteral("Database error: no SQLite connection"));
    c->execute(sql);
}

bool isServer() { return st().pg != nullptr; }

bool isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString connectionUri(const QString& location)
{
    // The client library reads the scheme in lower case only.
    const int n = location.indexOf(QLatin1String("://"));
    if (n < 0 || !isServerLocation(location))
        return location;
    return location.left(n).toLower() + location.mid(n);
}

Stmt& stmt(const QString& sql, bool scratch)
{
    requireOpen();
    auto& cache = scratch ? st().scratchStatements : st().nativeStatements;
    auto it = cache.find(sql);
    if (it != cache.end())
        return *it->second;
    Connection* c = scratch ? st().scratchConnection.get() : st().sharedConnection.get();
    if (!c)
        throw DbError(scratch ? QStringLiteral("Database error: the working tables are not open")
                              : QStringLiteral("Database error: no SQLite connection"));
    std::unique_ptr<Stmt> p = c->prepare(sql);
    Stmt& ref = *p;
    cache.emplace(sql, std::move(p));
    return ref;
}

Stmt& exec(const QString& sql, const QVariantList& values, bool scratch)
{
    Stmt& q = stmt(sql, scratch);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        if (q.isKeyViolation())
            throw DbError(QStringLiteral("Key violation."));
        throw DbError(QStringLiteral("Database error: %1").arg(q.errorText()));
    }
    return q;
}


quint64 statementCount(bool scratch) { return st().statements[scratch ? 1 : 0]; }

quint64 serverRoundTrips() { return st().roundTrips; }

quint64 statementGeneration() { return st().statementGeneration; }

quint64 scratchStamp(const TableDef* def) { return st().scratchEpoch + st().scratchWrites.value(def); }

void scratchRolledBack() { ++st().scratchEpoch; }

void scratchWritten(const TableDef* def)
{
    if (def && def->scratch)
        ++st().scratchWrites[def];
}

} // namespace dbi

// ---- Database ------------------------------------------------------------------------

QString Database::settingsFile()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QLatin1String("/.config");
    return QDir(dir).filePath(QStringLiteral("Quenpm/Quenpm.conf"));
}

QString Database::resolveAlias(const QString& alias)
{
    if (alias.compare(QLatin1String("Quenpm"), Qt::CaseInsensitive) != 0
        && alias.compare(QLatin1String("Quen"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("Unknown database alias: %1").arg(alias));
    const QByteArray env = qgetenv("QUENPM_DB");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    // The planner's own settings file may name it (e.g. the office server).
    const QString settings = settingsFile();
    QFile file(settings);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // "Database=<file path or postgresql:// URI>", taken as written.
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.section(QLatin1Char('='), 0, 0).trimmed().compare(QLatin1String("Database"), Qt::CaseInsensitive) == 0) {
                const QString named = line.section(QLatin1Char('='), 1).trimmed();
                if (!named.isEmpty())
                    return named;
            }
        }
    }
    // One location for all three programs, whatever their application names:
    // <generic data location>/Quenpm/Quenpm.sqlite.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QLatin1String("/.local/share");
    return QDir(dir).filePath(QStringLiteral("Quenpm/Quenpm.sqlite"));
}

namespace {

// A read-only open changes nothing, so it takes only the current layout.
void refuseOtherLayout(const QString& location, int version)
{
    if (version < 0)
        throw DbError(QStringLiteral("There is no Quenpm database at %1.").arg(shownLocation(location)));
    if (version > kSchemaVersion)
        throw DbError(QStringLiteral("The database %1 was written by a newer version of Quenpm (layout %2).")
                          .arg(shownLocation(location), QString::number(version)));
    if (version < kSchemaVersion)
        throw DbError(QStringLiteral("The database %1 has an older layout (%2): start Quenpm on it once to bring it "
                                     "up to date. Nothing was changed.")
                          .arg(shownLocation(location), QString::number(version)));
}

// Every saved table of the open database has exactly the fields of the
// schema: a missing or foreign column is refused by name before any row is
// read (a damaged or hand-made table would otherwise be read wrongly).
void checkColumns(const QString& location)
{
    QHash<QString, QStringList> found;   // base name -> column names
    if (dbi::isServer()) {
        dbi::Stmt& q = dbi::run(QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                                               "WHERE table_schema = current_schema() ORDER BY ordinal_position"), {});
        while (q.next())
            found[q.value(0).toString()] << q.value(1).toString();
    } else {
        for (const TableDef& t : schemaTables()) {
            if (t.scratch)
                continue;
            const QString base = tableBaseName(t.name);
            dbi::Stmt& q = dbi::run(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {base});
            while (q.next())
                found[base] << q.value(0).toString();
        }
    }
    const QString where = shownLocation(location);
    for (const TableDef& t : schemaTables()) {
        if (t.scratch)
            continue;
        const QString base = tableBaseName(t.name);
        QStringList cols = found.value(base);
        if (dbi::isServer())
            cols.removeAll(QStringLiteral("rowid"));
        if (cols.isEmpty())
            throw DbError(QStringLiteral("The database %1 has no table \"%2\".").arg(where, t.name));
        for (const FieldDef& f : t.fields)
            if (!cols.contains(f.name))
                throw DbError(QStringLiteral("The table \"%1\" of the database %2 has no field \"%3\".")
                                  .arg(t.name, where, f.name));
        for (const QString& c : cols)
            if (t.fieldIndex(c) < 0)
                throw DbError(QStringLiteral("The table \"%1\" of the database %2 has a field \"%3\" that is not one "
                                             "of its fields.").arg(t.name, where, c));
    }
}

// A server database: created (every table, the shipped data, the one-row
// tables and the layout version) by the first program that finds it empty,
// under a lock so that two programs starting at once do it once.
void openServer(const QString& uri, bool readOnly = false)
{
    openServerConnection(uri, readOnly);
    QSqlDatabase none;
    try {
        dbi::execSql(QStringLiteral("BEGIN"));
        dbi::execSql(QStringLiteral("SELECT pg_advisory_xact_lock(7261001)"));
        const int version = readSchemaVersion(none);
        if (readOnly)
            refuseOtherLayout(uri, version);
        if (version < 0) {
            if (serverTableExists(QStringLiteral("QuenJob")))
                throw DbError(QStringLiteral("The database %1 is not a Quenpm database.").arg(shownLocation(uri)));
            try {
                createSchema(none);
                loadDirectory(st().dataDir);
                syncServerSequences();
                ensureOneRowTables();
            } catch (const DbError& e) {
                throw DbError(QStringLiteral("The database %1 could not be created: %2").arg(shownLocation(uri), e.message()));
            }
        } else if (version > kSchemaVersion) {
            throw DbError(QStringLiteral("The database %1 was written by a newer version of Quenpm (layout %2).")
                              .arg(shownLocation(uri), QString::number(version)));
        }
        dbi::execSql(QStringLiteral("COMMIT"));
        if (version >= 0 && version < kSchemaVersion)
            upgrade(none, version);
        checkColumns(uri);
        openScratchDatabase();
    } catch (...) {
        rollbackQuietly();
        dropConnection();
        throw;
    }
}

// A location a caller names: never empty or blank (that is not the alias,
// and no file).
} // namespace

namespace dbi {

QString namedLocation(const QString& location)
{
    if (location.trimmed().isEmpty())
        throw DbError(QStringLiteral("No database was named: an empty or blank path is not a database location."));
    return location;
}

} // namespace dbi

namespace {

void openAt(const QString& given, bool readOnly);

} // namespace

// Test runs on a server: with QUENPM_TEST_SERVER naming a server URI, every
// file location becomes a schema of its own on that server (named from the
// path), so that one suite runs unchanged on both kinds of database.
QString testServerLocation(const QString& location)
{
    const QByteArray server = qgetenv("QUENPM_TEST_SERVER");
    if (server.isEmpty() || dbi::isServerLocation(location))
        return location;
    const QString abs = QFileInfo(location).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(abs.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    const QString uri = QString::fromLocal8Bit(server);
    return uri + (uri.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?'))
        + QLatin1String("options=-csearch_path%3Dt") + QString::fromLatin1(hash);
}

void Database::open() { openAt(resolveAlias(), false); }

void Database::open(const QString& path) { openAt(namedLocation(path), false); }

void Database::openReadOnly(const QString& path) { openAt(namedLocation(path), true); }

namespace {

void openAt(const QString& given, bool readOnly)
{
    const QString location = testServerLocation(namedLocation(given));
    if (dbi::isServerLocation(location)) {
        if (st().open) {
            if (st().path == location && st().readOnly == readOnly)
                return;
            Database::close();
        }
        openServer(location, readOnly);
        return;
    }
    const QString path = QFileInfo(location).absoluteFilePath();
    if (st().open) {
        if (st().path == path && st().readOnly == readOnly)
            return;
        Database::close();
    }
    const QFileInfo fi(path);
    // Only a path where no file is becomes a new database: an empty file is
    // somebody's (or a damaged) file, never filled.
    const bool fresh = !fi.exists();
    if (fresh && readOnly)
        throw DbError(QStringLiteral("There is no database at %1.").arg(path));
    if (!fresh && !fi.isFile())
        throw DbError(QStringLiteral("%1 is not a database file.").arg(path));
    if (!fresh && fi.size() == 0)
        throw DbError(QStringLiteral("The file %1 is empty: it is not a Quenpm database. Nothing was written to it.")
                          .arg(path));
    if (!fresh && !readOnly) {
        // Saving needs the file and, for its journal, its folder writable.
        if (!fi.isWritable())
            throw DbError(QStringLiteral("The database file %1 is read-only: nothing can be saved to it "
                                         "(make it writable, or use a copy of it).").arg(path));
        if (!QFileInfo(fi.absolutePath()).isWritable())
            throw DbError(QStringLiteral("The folder of the database %1 is read-only: nothing can be saved to it "
                                         "(make the folder writable, or use a copy of the database).").arg(path));
    }
    if (fresh && !QDir().mkpath(fi.absolutePath()))
        throw DbError(QStringLiteral("The folder %1 cannot be created.").arg(fi.absolutePath()));

    openConnection(path, readOnly);
    QSqlDatabase db = rawConnection();
    if (fresh) {
        try {
            setPragmas(db);
            execOrThrow(db, QStringLiteral("BEGIN"));
            createSchema(db);
            loadDirectory(st().dataDir);
            ensureOneRowTables();
            execOrThrow(db, QStringLiteral("COMMIT"));
        } catch (const DbError& e) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db = QSqlDatabase();
            dropConnection();
            removeDatabaseFiles(path);
            throw DbError(QStringLiteral("The database %1 could not be created: %2").arg(path, e.message()));
        }
        try {
            openScratchDatabase();
        } catch (...) {
            db = QSqlDatabase();
            dropConnection();
            throw;
        }
        armAttachmentCheck(path);
        return;
    }

    try {
        if (!readOnly && st().native && sqlite3_db_readonly(st().native, "main") == 1)
            throw DbError(QStringLiteral("The database file %1 is read-only: nothing can be saved to it "
                                         "(make it writable, or use a copy of it).").arg(path));
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
            const int code = probe.lastError().nativeErrorCode().toInt() & 0xff;   // SQLite's primary result code
            if ((code == SQLITE_READONLY || code == SQLITE_CANTOPEN) && !QFileInfo(fi.absolutePath()).isWritable())
                throw DbError(QStringLiteral("The database %1 cannot be read here: its folder is read-only, and reading "
                                             "it needs a shared-memory file (%2) beside it. Make the folder writable, "
                                             "or use a copy of the database.")
                                  .arg(path, fi.fileName() + QLatin1String("-shm")));
            throw DbError(QStringLiteral("The database %1 is damaged or is not a Quenpm database (%2).")
                              .arg(path, probe.lastError().text()));
        }
        probe.finish();
        const int version = readSchemaVersion(db);
        if (readOnly)
            refuseOtherLayout(path, version);
        if (version < 0)
            throw DbError(QStringLiteral("The file %1 is not a Quenpm database.").arg(path));
        if (version > kSchemaVersion)
            throw DbError(QStringLiteral("The database %1 was written by a newer version of Quenpm (layout %2).")
                              .arg(path, QString::number(version)));
        if (!readOnly)
            setPragmas(db);
        if (version < kSchemaVersion)
            upgrade(db, version);
        checkColumns(path);
        openScratchDatabase();
    } catch (...) {
        db = QSqlDatabase();
        dropConnection();
        throw;
    }
    armAttachmentCheck(path);
}

} // namespace

bool Database::exists() { return exists(resolveAlias()); }

bool Database::exists(const QString& locationIn)
{
    const QString location = testServerLocation(namedLocation(locationIn));
    if (!dbi::isServerLocation(location))
        return QFileInfo(location).isFile();
    PGconn* conn = PQconnectdb(dbi::connectionUri(location).toUtf8().constData());
    bool found = false;
    if (PQstatus(conn) == CONNECTION_OK) {
        ++st().roundTrips;
        PGresult* r = PQexec(conn, "SELECT to_regclass('\"QuenpmSchema\"') IS NOT NULL");
        found = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 && PQgetvalue(r, 0, 0)[0] == 't';
        PQclear(r);
    }
    PQfinish(conn);
    return found;
}

bool Database::isServerLocation(const QString& location) { return dbi::isServerLocation(location); }

QString Database::shownLocation(const QString& location) { return quen::shownLocation(location); }

bool Database::isDatabaseFile(const QString& path) { return quen::isDatabaseFile(path); }

bool Database::isOpen() { return st().open; }

QString Database::path() { return st().path; }

void Database::close()
{
    if (!st().open)
        return;
    // Open handles are closed first: they hold statements of this connection.
    const QList<TTable*> handles = st().handles;
    for (TTable* t : handles)
        if (t->isOpen())
            t->close();
    dropConnection();   // the private scratch database goes with it
}

QSqlDatabase Database::connection()
{
    dbi::requireOpen();
    return rawConnection();
}

void Database::setDataDirectory(const QString& dir) { st().dataDir = dir; }

QString Database::dataDirectory() { return st().dataDir; }

void Database::loadDataDirectory(const QString& dir)
{
    dbi::requireOpen();
    dbi::ensureAttached();
    dbi::execSql(QStringLiteral("BEGIN"));
    try {
        loadDirectory(dir);
        if (dbi::isServer())
            syncServerSequences();
        dbi::execSql(QStringLiteral("COMMIT"));
    } catch (...) {
        rollbackQuietly();
        throw;
    }
    for (const TableDef& t : schemaTables())
        notifyTableChanged(tableBaseName(t.name), nullptr);
}

namespace {

void endReadSnapshot()
{
    if (!st().readSnapshot)
        return;
    st().readSnapshot = 0;
    if (!st().open || !st().native || sqlite3_get_autocommit(st().native))
        return;
    try {
        dbi::execSql(QStringLiteral("COMMIT"));
    } catch (const DbError&) {
        rollbackQuietly();
    }
}

} // namespace

ReadSnapshot::ReadSnapshot()
{
    if (!st().open || st().readSnapshot || st().userTxn || dbi::isServer() || !st().native
        || !sqlite3_get_autocommit(st().native))
        return;
    dbi::execSql(QStringLiteral("BEGIN"));
    m_id = st().readSnapshot = ++st().readSnapshots;
}

ReadSnapshot::~ReadSnapshot()
{
    if (m_id && st().readSnapshot == m_id)
        endReadSnapshot();
}

void Database::transaction(const std::function<void()>& work, const QStringList& touched)
{
    if (st().userTxn)
        throw DbError(QStringLiteral("Database error: a transaction is already running."));
    if (!st().open)
        open();
    endReadSnapshot();
    dbi::ensureAttached();
    dbi::execSql(dbi::dialect().beginWrite());
    st().userTxn = true;
    bool scratchBegun = false;
    try {
        // The private scratch database joins: its writes made inside are
        // kept or dropped with the shared ones.
        dbi::execSql(QStringLiteral("SAVEPOINT quen_transaction"), true);
        scratchBegun = true;
        // One writing transaction at a time, as SQLite's immediate
        // transactions: two planners saving the same job name do not interleave.
        if (dbi::isServer())
            dbi::execSql(QStringLiteral("SELECT pg_advisory_xact_lock(7261002)"));
        work();
        st().userTxn = false;
        dbi::execSql(QStringLiteral("COMMIT"));
        dbi::execSql(QStringLiteral("RELEASE quen_transaction"), true);
        scratchBegun = false;
    } catch (...) {
        st().userTxn = false;
        rollbackQuietly();
        dbi::scratchRolledBack();
        if (scratchBegun) {
            try {
                dbi::execSql(QStringLiteral("ROLLBACK TO quen_transaction"), true);
                dbi::execSql(QStringLiteral("RELEASE quen_transaction"), true);
            } catch (const DbError&) {
            }
        }
        for (const QString& name : touched)
            notifyTableChanged(tableBaseName(name), nullptr);
        throw;
    }
}

int Database::execMarkStatement(const QString& statement, const QString& newValue)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*update\\s+(\\S+)\\s+set\\s+(\\S+?)\\s*=\\s*:\\s*(\\w+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(statement);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("Cannot read the statement \"%1\".").arg(statement));
    const TableDef* def = findTableDef(m.captured(1));
    if (!def)
        throw DbError(QStringLiteral("Table '%1' does not exist.").arg(m.captured(1)));
    const int fi = def->fieldIndex(m.captured(2));
    if (fi < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(m.captured(2), def->name));
    if (m.captured(3).compare(QLatin1String("NewValue"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("Unknown parameter ':%1'.").arg(m.captured(3)));
    const FieldDef& f = def->fields[fi];
    QVariant v;
    const QString nv = newValue.trimmed();
    if (f.type == FieldType::Logical) {
        if (nv.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0 || nv.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            v = 1;
        else if (nv.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0 || nv.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            v = 0;
        else
            throw DbError(QStringLiteral("'%1' is not a valid value for field '%2'.").arg(newValue, f.name));
    } else {
        v = newValue;
    }
    const QString base = tableBaseName(def->name);
    if (!def->scratch)
        dbi::ensureAttached();
    dbi::Stmt& q = dbi::exec(QStringLiteral("UPDATE %1 SET %2 = ?").arg(dbi::quoteId(base), dbi::quoteId(f.name)), {v},
                             def->scratch);
    dbi::scratchWritten(def);
    const int n = q.rowsAffected();
    q.finish();
    notifyTableChanged(base, nullptr);
    return n;
}

int Database::schemaVersion()
{
    if (!st().open)
        open();
    QSqlDatabase db = rawConnection();
    return readSchemaVersion(db);
}

void Database::registerHandle(TTable* t)
{
    if (!st().handles.contains(t))
        st().handles.append(t);
}

void Database::unregisterHandle(TTable* t) { st().handles.removeAll(t); }

void Database::notifyTableChanged(const QString& baseName, TTable* source)
{
    const QList<TTable*> handles = st().handles;
    // Handles name their table in any spelling of its base name; a known
    // table is matched by its definition without building names.
    const TableDef* def = findTableDef(baseName);
    for (TTable* t : handles) {
        if (t == source || !t->isOpen() || t->state() != TTable::State::Browse)
            continue;
        if (def ? &t->definition() == def : tableBaseName(t->tableName()) == baseName)
            t->refresh();
    }
}

int TMarkQuery::execSQL() { return Database::execMarkStatement(sqlText(), m_newValue); }

} // namespace quen
