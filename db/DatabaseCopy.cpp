// Database::copyDatabase: every table but the scratch tables from one
// location to another (file or server, either way) in one transaction.
#include "Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "CsvLoader.h"
#include "DbError.h"
#include "DbInternal.h"
#include "DbState.h"
#include "PgConnection.h"
#include "Schema.h"

namespace quen {

using dbi::configureSqlite;
using dbi::namedLocation;
using dbi::redacted;
using dbi::refuseQuotedStrings;
using dbi::removeDatabaseFiles;
using dbi::rollbackQuietly;
using dbi::st;
using dbi::tableIsEmpty;

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
                                  .arg(redacted(QString::fromUtf8(PQerrorMessage(m_pg)).trimmed(), location)));
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
        return redacted(QString::fromUtf8(PQerrorMessage(m_pg)).trimmed(), m_location);
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

} // namespace quen
