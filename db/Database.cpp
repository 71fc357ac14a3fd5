#include "Database.h"
#include "DatabaseFiles.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>
#include <cmath>
#include <cstring>
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
#include "DbState.h"
#include "PgConnection.h"
#include "SqliteConnection.h"
#include "Dialect.h"
#include "KeyedTable.h"
#include "MarkQuery.h"
#include "Table.h"

namespace quen {

using dbi::DbState;
using dbi::st;

namespace {

const QString kConnectionName = QStringLiteral("quenpm-db");
const QString kSchemaTable = QStringLiteral("QuenpmSchema");

QSqlDatabase rawConnection() { return QSqlDatabase::database(kConnectionName, false); }

void execOrThrow(QSqlDatabase&, const QString& sql) { dbi::execSql(sql); }

void rollbackQuietly()
{
    try {
        dbi::execSql(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
    }
}

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

// ---- CSV reading ---------------------------------------------------------------

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

void loadDirectory(const QString& dir)
{
    QDir d(dir);
    if (!d.exists())
        return;
    const QStringList files = d.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        loadCsvFile(d.filePath(f));
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

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

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
void configureSqlite()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);   // refused, harmlessly, once SQLite is running
        return true;
    }();
    (void)configured;
}

// A double-quoted name that is no column is an error, never the text of the
// name: a table that lacks a field must not read as one holding its name.
void refuseQuotedStrings(sqlite3* db)
{
    if (!db)
        return;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

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
    dbi::registerKeyedTables(db);
    for (const TableDef& t : schemaTables())
        if (dbi::isKeyedTable(t)) {
            dbi::execSql(dbi::createKeyedTableSql(t), true);
        } else if (t.scratch) {
            dbi::execSql(dbi::sqliteDialect().createTable(t, true), true);
            for (const QString& s : dbi::sqliteDialect().createIndexes(t, true))
                dbi::execSql(s, true);
        }
    // One transaction for the whole run: nobody else reads this database,
    // so it never needs committing, and each write skips a commit of its
    // own. Database::transaction and the batches nest savepoints in it.
    dbi::execSql(QStringLiteral("BEGIN"), true);
    // The keyed tables take part in it from the start (a write statement
    // brings them in), so its savepoints reach their bulk writes too.
    for (const TableDef& t : schemaTables())
        if (dbi::isKeyedTable(t))
            dbi::execSql(QStringLiteral("DELETE FROM %1").arg(dbi::quoteId(tableBaseName(t.name))), true);
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

sqlite3* scratchConnection()
{
    requireOpen();
    ++st().statements[1];
    return st().scratch;
}

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
QString namedLocation(const QString& location)
{
    if (location.trimmed().isEmpty())
        throw DbError(QStringLiteral("No database was named: an empty or blank path is not a database location."));
    return location;
}

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

namespace {

// What a server database is: the server (its system identifier, or where it
// was reached when the identifier cannot be read), the database and the
// schema the URI reaches. Empty when it cannot be reached.
QString serverIdentity(const QString& uri)
{
    PGconn* conn = PQconnectdb(dbi::connectionUri(uri).toUtf8().constData());
    QString id;
    if (PQstatus(conn) == CONNECTION_OK) {
        ++st().roundTrips;
        PGresult* r = PQexec(conn, "SELECT current_database(), current_schema()");
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
            id = QString::fromUtf8(PQgetvalue(r, 0, 0)) + QLatin1Char('\n') + QString::fromUtf8(PQgetvalue(r, 0, 1));
        PQclear(r);
        ++st().roundTrips;
        r = PQexec(conn, "SELECT system_identifier::text FROM pg_control_system()");
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
            id += QLatin1Char('\n') + QString::fromUtf8(PQgetvalue(r, 0, 0));
        else
            id += QLatin1Char('\n') + QString::fromUtf8(PQhost(conn)) + QLatin1Char(':') + QString::fromUtf8(PQport(conn));
        PQclear(r);
    }
    PQfinish(conn);
    return id;
}

// Whether two locations name one database: files by device and inode (a
// symbolic or hard link, or another spelling of the path, is the same file;
// stat() opens nothing), server databases by what they are.
bool sameDatabase(const QString& a, const QString& b)
{
    const bool serverA = dbi::isServerLocation(a), serverB = dbi::isServerLocation(b);
    if (serverA != serverB)
        return false;
    if (serverA) {
        if (a == b)
            return true;
        const QString ia = serverIdentity(a);
        return !ia.isEmpty() && ia == serverIdentity(b);
    }
    const QString pa = QFileInfo(a).absoluteFilePath(), pb = QFileInfo(b).absoluteFilePath();
    if (QDir::cleanPath(pa) == QDir::cleanPath(pb))
        return true;
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(pa).constData(), &sa) != 0 || ::stat(QFile::encodeName(pb).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

qint64 countRows(const QString& base)
{
    dbi::Stmt& q = dbi::run(QStringLiteral("SELECT COUNT(*) FROM %1").arg(dbi::quoteId(base)), {});
    const qint64 n = q.next() ? q.value(0).toLongLong() : -1;
    q.finish();
    return n;
}

} // namespace

namespace {

// The target of a copy, written on a connection of its own while the source
// is read on the shared one: rows go in as they are read, so memory holds
// one batch at a time. A server target takes each table as one COPY stream
// (a few round trips per table, whatever its rows); a file target takes
// prepared inserts. Everything happens in one transaction, committed only
// after every table's row count is checked.
class CopyTarget {
public:
    explicit CopyTarget(const QString& location) : m_location(location) {}
    // Connects and begins the transaction.
    void start()
    {
        const QString& location = m_location;
        if (dbi::isServerLocation(location)) {
            m_pg = PQconnectdb(dbi::connectionUri(location).toUtf8().constData());
            if (PQstatus(m_pg) != CONNECTION_OK)
                throw DbError(QStringLiteral("the target cannot be opened: %1")
                                  .arg(withoutSecrets(QString::fromUtf8(PQerrorMessage(m_pg)).trimmed(), location)));
            PQsetNoticeProcessor(m_pg, [](void*, const char*) {}, nullptr);
            exec("SET client_encoding = 'UTF8'");
            exec("SET client_min_messages = warning");
            exec("BEGIN");
            exec("SELECT pg_advisory_xact_lock(7261002)");   // one writer at a time, as every transaction
        } else {
            configureSqlite();
            const QString path = QFileInfo(location).absoluteFilePath();
            if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_lite, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
                throw DbError(QStringLiteral("the target cannot be opened: %1").arg(liteError()));
            refuseQuotedStrings(m_lite);
            sqlite3_busy_timeout(m_lite, 5000);
            exec("PRAGMA synchronous=FULL");
            exec("BEGIN IMMEDIATE");
        }
    }
    ~CopyTarget()
    {
        if (m_open)
            rollback();
        for (sqlite3_stmt* s : std::as_const(m_inserts))
            sqlite3_finalize(s);
        if (m_lite)
            sqlite3_close_v2(m_lite);
        if (m_pg)
            PQfinish(m_pg);
    }

    void beginTable(const TableDef& t)
    {
        m_table = &t;
        const QString base = dbi::quoteId(tableBaseName(t.name));
        exec(QStringLiteral("DELETE FROM %1").arg(base).toUtf8());
        QStringList cols, marks;
        for (const FieldDef& f : t.fields) {
            cols << dbi::quoteId(f.name);
            marks << QStringLiteral("?");
        }
        if (m_pg) {
            ++dbi_statements();
            ++st().roundTrips;
            PGresult* r = PQexec(m_pg, QStringLiteral("COPY %1 (%2) FROM STDIN").arg(base, cols.join(QLatin1String(", ")))
                                           .toUtf8().constData());
            const bool ok = PQresultStatus(r) == PGRES_COPY_IN;
            const QString err = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
            PQclear(r);
            if (!ok)
                throw DbError(err.isEmpty() ? serverFailure() : err);
            m_buffer.clear();
        } else {
            const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(base, cols.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare16_v2(m_lite, sql.utf16(), int(sql.size() * sizeof(QChar)), &s, nullptr) != SQLITE_OK)
                throw DbError(liteError());
            m_inserts << s;
            m_insert = s;
        }
    }

    // One row, its values in the order of the table's fields.
    void addRow(const dbi::Stmt& source)
    {
        const TableDef& t = *m_table;
        if (m_pg) {
            for (int c = 0; c < t.fields.size(); ++c) {
                if (c)
                    m_buffer += '\t';
                appendCopyValue(m_buffer, source.value(c), t.fields[c].type);
            }
            m_buffer += '\n';
            if (m_buffer.size() >= 256 * 1024)
                flush();
            return;
        }
        for (int c = 0; c < t.fields.size(); ++c) {
            const QVariant v = source.value(c);
            const int i = c + 1;
            if (!v.isValid() || v.isNull()) {
                sqlite3_bind_null(m_insert, i);
                continue;
            }
            switch (v.typeId()) {
            case QMetaType::LongLong:
            case QMetaType::Int:
            case QMetaType::Bool: sqlite3_bind_int64(m_insert, i, v.toLongLong()); break;
            case QMetaType::Double: sqlite3_bind_double(m_insert, i, v.toDouble()); break;
            default: {
                const QString text = v.toString();
                sqlite3_bind_text16(m_insert, i, text.utf16(), int(text.size() * sizeof(QChar)), SQLITE_TRANSIENT);
            }
            }
        }
        const int rc = sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
        if (rc != SQLITE_DONE)
            throw DbError(liteError());
    }

    void endTable()
    {
        if (!m_pg)
            return;
        flush();
        ++dbi_statements();
        ++st().roundTrips;
        if (PQputCopyEnd(m_pg, nullptr) != 1)
            throw DbError(serverFailure());
        PGresult* r = PQgetResult(m_pg);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        const QString err = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        while ((r = PQgetResult(m_pg)) != nullptr)
            PQclear(r);
        if (!ok)
            throw DbError(err.isEmpty() ? serverFailure() : err);
    }

    qint64 count(const TableDef& t)
    {
        const QByteArray sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(dbi::quoteId(tableBaseName(t.name))).toUtf8();
        if (m_pg) {
            ++dbi_statements();
            ++st().roundTrips;
            PGresult* r = PQexec(m_pg, sql.constData());
            const qint64 n = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1
                                 ? QByteArray(PQgetvalue(r, 0, 0)).toLongLong() : -1;
            PQclear(r);
            return n;
        }
        sqlite3_stmt* s = nullptr;
        qint64 n = -1;
        if (sqlite3_prepare_v2(m_lite, sql.constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            n = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        return n;
    }

    void commit()
    {
        if (m_pg) {
            // The serials of auto-increment fields continue after the highest value copied.
            for (const TableDef& t : schemaTables())
                for (const FieldDef& f : t.fields)
                    if (f.type == FieldType::AutoInc && !t.scratch) {
                        const QString base = dbi::quoteId(tableBaseName(t.name));
                        exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), COALESCE(MAX(%3), 0) + 1, false) FROM %4")
                                 .arg(QString(base).replace(QLatin1Char('\''), QLatin1String("''")),
                                      QString(f.name).replace(QLatin1Char('\''), QLatin1String("''")),
                                      dbi::quoteId(f.name), base)
                                 .toUtf8());
                    }
        }
        exec("COMMIT");
        m_open = false;
    }

private:
    static quint64& dbi_statements() { return st().statements[0]; }

    void exec(const QByteArray& sql)
    {
        if (m_pg) {
            ++dbi_statements();
            ++st().roundTrips;
            PGresult* r = PQexec(m_pg, sql.constData());
            const ExecStatusType rc = PQresultStatus(r);
            const QString err = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
            PQclear(r);
            if (rc != PGRES_COMMAND_OK && rc != PGRES_TUPLES_OK)
                throw DbError(err.isEmpty() ? serverFailure() : err);
        } else {
            char* msg = nullptr;
            if (sqlite3_exec(m_lite, sql.constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
                const QString err = QString::fromUtf8(msg ? msg : sqlite3_errmsg(m_lite));
                sqlite3_free(msg);
                throw DbError(err);
            }
        }
        if (sql.startsWith("BEGIN"))
            m_open = true;
    }

    void rollback()
    {
        m_open = false;
        if (m_pg) {
            if (PQtransactionStatus(m_pg) == PQTRANS_ACTIVE) {   // inside a COPY
                PQputCopyEnd(m_pg, "copy abandoned");
                while (PGresult* r = PQgetResult(m_pg))
                    PQclear(r);
            }
            PQclear(PQexec(m_pg, "ROLLBACK"));
        } else {
            sqlite3_exec(m_lite, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }

    void flush()
    {
        if (!m_buffer.isEmpty() && PQputCopyData(m_pg, m_buffer.constData(), int(m_buffer.size())) != 1)
            throw DbError(serverFailure());
        m_buffer.clear();
    }

    QString serverFailure() const
    {
        return withoutSecrets(QString::fromUtf8(PQerrorMessage(m_pg)).trimmed(), m_location);
    }
    QString liteError() const { return m_lite ? QString::fromUtf8(sqlite3_errmsg(m_lite)) : QStringLiteral("out of memory"); }

    // A value in PostgreSQL's COPY text form.
    static void appendCopyValue(QByteArray& out, const QVariant& v, FieldType type)
    {
        if (!v.isValid() || v.isNull()) {
            out += "\\N";
            return;
        }
        switch (v.typeId()) {
        case QMetaType::Double: {
            const double d = v.toDouble();
            if (std::isnan(d))
                out += "NaN";
            else if (std::isinf(d))
                out += d > 0 ? "Infinity" : "-Infinity";
            else if (type != FieldType::Float && d == std::floor(d) && std::fabs(d) < 9e15)
                out += QByteArray::number(qint64(d));
            else
                out += QByteArray::number(d, 'g', 17);
            return;
        }
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::Bool:
            out += QByteArray::number(v.toLongLong());
            return;
        default:
            break;
        }
        const QByteArray text = v.toString().toUtf8();
        for (const char c : text) {
            switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
            }
        }
    }

    QString m_location;
    PGconn* m_pg = nullptr;
    sqlite3* m_lite = nullptr;
    bool m_open = false;
    const TableDef* m_table = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    QList<sqlite3_stmt*> m_inserts;
    QByteArray m_buffer;
};

} // namespace

void Database::copyDatabase(const QString& fromIn, const QString& toIn, bool replace)
{
    const QString from = testServerLocation(namedLocation(fromIn));
    const QString to = testServerLocation(namedLocation(toIn));
    const bool toFile = !dbi::isServerLocation(to);
    if (sameDatabase(from, to))
        throw DbError(QStringLiteral("The database cannot be copied onto itself."));
    if (!exists(from))
        throw DbError(QStringLiteral("There is no database at %1.").arg(shownLocation(from)));
    close();

    // The source is checked (layout, fields) before anything is made.
    try {
        openReadOnly(from);
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Nothing was copied to %1: %2").arg(shownLocation(to), e.message()));
    }
    close();

    // The target: a new one is made with empty tables (the shipped data
    // would only be replaced); an existing one must be empty or replaced.
    const bool existed = exists(to);
    if (!existed) {
        QTemporaryDir none;
        const QString keep = st().dataDir;
        st().dataDir = none.path();
        try {
            open(to);
        } catch (...) {
            st().dataDir = keep;
            throw;
        }
        st().dataDir = keep;
    } else {
        open(to);
        if (!replace) {
            bool empty = true;
            for (const TableDef& t : schemaTables())
                if (!t.scratch
                    && !QStringList({QStringLiteral("SystemDefaults"), QStringLiteral("LocalDefaults"), QStringLiteral("Report")})
                            .contains(tableBaseName(t.name))
                    && !tableIsEmpty(tableBaseName(t.name)))
                    empty = false;
            if (!empty) {
                close();
                throw DbError(QStringLiteral("The database %1 is not empty: nothing was copied (replace it to overwrite it).")
                                  .arg(shownLocation(to)));
            }
        }
    }
    close();

    // Every user table of the source, rows in their stored order, one batch
    // at a time, straight into the target.
    try {
        openReadOnly(from);
        const bool serverSource = dbi::isServer();
        // One state of the source: the counts and the rows agree.
        dbi::execSql(serverSource ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY") : QStringLiteral("BEGIN"));
        CopyTarget target(to);
        target.start();
        for (const TableDef& t : schemaTables()) {
            if (t.scratch)
                continue;
            QStringList cols;
            for (const FieldDef& f : t.fields)
                cols << dbi::quoteId(f.name);
            const QString select = QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                       .arg(cols.join(QLatin1String(", ")), dbi::quoteId(tableBaseName(t.name)));
            target.beginTable(t);
            qint64 read = 0;
            if (serverSource) {
                // A cursor: the server hands the rows over a batch at a time.
                dbi::execSql(QStringLiteral("DECLARE quen_copy NO SCROLL CURSOR FOR ") + select);
                dbi::PgStmt fetch(st().pg, QByteArray(), QByteArrayLiteral("FETCH 5000 FROM quen_copy"), true, false);
                for (;;) {
                    if (!fetch.exec())
                        throw DbError(QStringLiteral("Database error: %1").arg(fetch.errorText()));
                    qint64 batch = 0;
                    while (fetch.next()) {
                        target.addRow(fetch);
                        ++batch;
                    }
                    read += batch;
                    if (batch < 5000)
                        break;
                }
                dbi::execSql(QStringLiteral("CLOSE quen_copy"));
            } else {
                dbi::Stmt& q = dbi::run(select, {});
                while (q.next()) {   // a read error throws: never taken for the end
                    target.addRow(q);
                    ++read;
                }
            }
            target.endTable();
            const qint64 n = countRows(tableBaseName(t.name));
            if (n != read)
                throw DbError(QStringLiteral("the table \"%1\" of %2 holds %3 rows but %4 could be read")
                                  .arg(t.name, shownLocation(from), QString::number(n), QString::number(read)));
            // Checked whole before it is kept: the target holds what was read.
            const qint64 written = target.count(t);
            if (written != read)
                throw DbError(QStringLiteral("the table \"%1\" holds %2 rows after the copy where %3 were read")
                                  .arg(t.name, QString::number(written), QString::number(read)));
        }
        target.commit();
        rollbackQuietly();
    } catch (const DbError& e) {
        close();
        if (!existed && toFile)
            removeDatabaseFiles(QFileInfo(to).absoluteFilePath());
        throw DbError(QStringLiteral("Nothing was copied to %1: %2").arg(shownLocation(to), e.message()));
    }
    close();
}

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
    if (!st().open)
        open();
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
