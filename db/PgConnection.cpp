#include "PgConnection.h"

#include <cstdlib>
#include <cstring>
#include <libpq-fe.h>

#include "Database.h"
#include "DbError.h"
#include "DbState.h"
#include "Dialect.h"

namespace quen::dbi {

namespace {

enum class ServerStatementKind { Other, Begins, Commits, RollsBack };

// ---- a server connection that drops ----------------------------------------------
//
// A server restart (or a network cut) ends the connection; the statements
// prepared on it are gone with it. The next statement finds the connection
// closed and makes it again (the prepared statements are prepared anew when
// they next run), so the program goes on where it was. When the connection
// dropped inside a transaction, that transaction's work is lost: its
// statements fail, saying so, until the transaction ends (its rollback is
// then a success with nothing to undo), so nothing of it is ever stored in
// part.

ServerStatementKind serverStatementKind(const QByteArray& sqlIn)
{
    const QByteArray sql = sqlIn.trimmed().toUpper();
    if (sql.startsWith("BEGIN"))
        return ServerStatementKind::Begins;
    if (sql.startsWith("COMMIT") || sql.startsWith("END"))
        return ServerStatementKind::Commits;
    if (sql.startsWith("ROLLBACK"))
        return ServerStatementKind::RollsBack;
    return ServerStatementKind::Other;
}

QString serverReason(PGconn* conn)
{
    QString why = QString::fromUtf8(PQerrorMessage(conn)).trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    if (why.isEmpty())
        why = QStringLiteral("no answer from the server");
    return redacted(why, st().path);
}

// The text of a statement that failed because the connection dropped while
// it ran: what happened and whether the change was kept.
QString connectionLostText(PGconn* conn, bool wrote, bool inTransaction)
{
    const QString head = QStringLiteral("The connection to the database server %1 was lost (%2).")
                             .arg(Database::shownLocation(st().path), serverReason(conn));
    if (inTransaction)
        return head + QStringLiteral(" The change was not saved. The next action connects again.");
    if (wrote)
        return head + QStringLiteral(" It is not known whether the last change was saved: the next action connects "
                                     "again; check the change then.");
    return head + QStringLiteral(" Nothing was changed. The next action connects again.");
}

// After each statement: whether a transaction is open now.
void noteServerTransaction(PGconn* conn)
{
    if (PQstatus(conn) == CONNECTION_OK)
        st().pgTxnOpen = PQtransactionStatus(conn) != PQTRANS_IDLE;
}

bool reconnectServer()
{
    PGconn* conn = st().pg;
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK)
        return false;
    ++st().pgSession;
    st().outerSavepoints.clear();
    st().pgTxnOpen = false;
    st().pgTxnLost = false;
    const char* setup[] = {"SET client_encoding = 'UTF8'", "SET client_min_messages = warning",
                           "SET default_transaction_read_only = on"};
    for (int i = 0; i < (st().readOnly ? 3 : 2); ++i) {
        ++st().statements[0];
        ++st().roundTrips;
        PGresult* r = PQexec(conn, setup[i]);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok)
            return false;
    }
    return true;
}

// Before a statement on the server. Returns false when the statement must
// not run: a rollback of a transaction the drop already ended (nothing left
// to undo). Throws DbError when the statement cannot run.
bool serverBeforeStatement(ServerStatementKind kind)
{
    PGconn* conn = st().pg;
    if (PQstatus(conn) == CONNECTION_OK && !st().pgTxnLost) {
        // A drop the server announced while the program was idle (its
        // goodbye is waiting on the socket): read without waiting.
        if (PQconsumeInput(conn) == 1 && PQstatus(conn) == CONNECTION_OK)
            return true;
    }
    if (st().pgTxnOpen)
        st().pgTxnLost = true;   // the drop ended the transaction: its work is gone
    if (st().pgTxnLost) {
        if (kind == ServerStatementKind::Other)
            throw DbError(connectionLostText(conn, true, true));
        // The program ends the transaction here: what the drop ended is over.
        st().pgTxnLost = st().pgTxnOpen = false;
        st().outerSavepoints.clear();
        if (kind == ServerStatementKind::RollsBack) {
            reconnectServer();   // when the server is still away, the next action says so
            return false;        // nothing left to undo
        }
        if (kind == ServerStatementKind::Commits) {
            reconnectServer();
            throw DbError(QStringLiteral("The connection to the database server %1 was lost before the change was "
                                         "stored. The change was not saved.").arg(Database::shownLocation(st().path)));
        }
    }
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString why = serverReason(conn);
        if (!reconnectServer())
            throw DbError(QStringLiteral("The database server %1 cannot be reached (%2). Nothing was saved; try again "
                                         "when the server is back.").arg(Database::shownLocation(st().path), why));
    }
    return true;
}

} // namespace

PgStmt::PgStmt(pg_conn* conn, const QByteArray& name, const QByteArray& sql, bool simple, bool insert)
    : m_conn(conn), m_name(simple ? QByteArray() : name), m_sql(sql), m_insert(insert), m_session(st().pgSession)
{
    const QByteArray head = sql.left(7).toUpper();
    m_write = head.startsWith("INSERT") || head.startsWith("UPDATE") || head.startsWith("DELETE");
    // Only the handles' row reads, whose columns are rowid and table fields
    // (bigint, double precision, text), are read in binary form.
    m_binary = !m_name.isEmpty() && sql.startsWith("SELECT rowid, ");
}

PgStmt::~PgStmt()
{
    if (m_res)
        PQclear(m_res);
}

void PgStmt::reset()
{
    if (m_res) {
        PQclear(m_res);
        m_res = nullptr;
    }
    m_row = -1;
    m_active = false;
    m_rowPending = false;
}

void PgStmt::bindValue(int index, const QVariant& v)
{
    reset();
    while (m_params.size() <= index) {
        m_params << QByteArray();
        m_paramNull << true;
    }
    if (!v.isValid() || v.isNull()) {
        m_paramNull[index] = true;
        return;
    }
    m_paramNull[index] = false;
    switch (v.typeId()) {
    case QMetaType::Bool: m_params[index] = v.toBool() ? "1" : "0"; break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::LongLong: m_params[index] = QByteArray::number(v.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: m_params[index] = QByteArray::number(v.toDouble(), 'g', 17); break;
    default: m_params[index] = v.toString().toUtf8(); break;
    }
}

// Transaction statements on a server: a SAVEPOINT outside any transaction
// begins one and releasing (or rolling back to) it ends it, as in SQLite.
bool PgStmt::runControl()
{
    const QByteArray up = m_sql.trimmed().toUpper();
    QByteArray sql = m_sql;
    auto& outer = st().outerSavepoints;
    {
        // A connection that dropped: made again, or this ends what it lost.
        auto outerName = [&](int from) {
            return QString::fromUtf8(up.mid(from).trimmed()).remove(QLatin1String("SAVEPOINT "));
        };
        ServerStatementKind kind = ServerStatementKind::Other;
        if (up.startsWith("SAVEPOINT ") && !st().pgTxnOpen)
            kind = ServerStatementKind::Begins;
        else if (up.startsWith("RELEASE ") && outer.contains(outerName(8)))
            kind = ServerStatementKind::Commits;
        else if (up.startsWith("ROLLBACK TO ") && outer.contains(outerName(12)))
            kind = ServerStatementKind::RollsBack;
        try {
            if (!serverBeforeStatement(kind))
                return true;
        } catch (const DbError& e) {
            m_error = e.message();
            return false;
        }
    }
    const bool inTransaction = st().pgTxnOpen;
    const PGTransactionStatusType ts = PQtransactionStatus(m_conn);
    if (up.startsWith("SAVEPOINT ")) {
        if (ts == PQTRANS_IDLE) {
            outer << QString::fromUtf8(up.mid(10).trimmed());
            // Begun as Database::transaction begins (one writer at a time).
            sql = "BEGIN; SELECT pg_advisory_xact_lock(7261002)";
        }
    } else if (up.startsWith("RELEASE ")) {
        const QString name = QString::fromUtf8(up.mid(8).trimmed()).remove(QLatin1String("SAVEPOINT "));
        if (outer.contains(name)) {
            outer.removeAll(name);
            if (ts == PQTRANS_IDLE)
                return true;   // already rolled back
            sql = "COMMIT";
        }
    } else if (up.startsWith("ROLLBACK TO ")) {
        const QString name = QString::fromUtf8(up.mid(12).trimmed()).remove(QLatin1String("SAVEPOINT "));
        if (outer.contains(name))
            sql = ts == PQTRANS_IDLE ? QByteArray() : QByteArray("ROLLBACK");
    }
    if (sql.isEmpty())
        return true;
    ++st().statements[0];
    ++st().roundTrips;
    PGresult* r = PQexec(m_conn, sql.constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    if (!ok) {
        m_error = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
        m_sqlState = state ? QByteArray(state) : QByteArray();
    }
    PQclear(r);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const ServerStatementKind kind = serverStatementKind(sql);
        if (kind == ServerStatementKind::RollsBack) {
            st().pgTxnOpen = st().pgTxnLost = false;
            return true;   // the server ended the transaction with the connection
        }
        st().pgTxnLost = inTransaction;
        m_error = connectionLostText(m_conn, kind != ServerStatementKind::Begins,
                                     inTransaction && kind != ServerStatementKind::Commits);
        return false;
    }
    noteServerTransaction(m_conn);
    if (sql == "COMMIT" && ok && up.startsWith("RELEASE "))
        return true;
    return ok;
}

bool PgStmt::exec()
{
    reset();
    m_error.clear();
    m_sqlState.clear();
    m_rowsAffected = 0;
    if (m_name.isEmpty() && m_params.isEmpty()) {
        const QByteArray up = m_sql.trimmed().toUpper();
        if (up.startsWith("SAVEPOINT") || up.startsWith("RELEASE") || up.startsWith("ROLLBACK TO"))
            return runControl();
    }
    try {
        serverBeforeStatement(ServerStatementKind::Other);
    } catch (const DbError& e) {
        m_error = e.message();
        return false;
    }
    if (!m_name.isEmpty() && m_session != st().pgSession) {
        // Prepared on a connection that has since been made again.
        ++st().statements[0];
        ++st().roundTrips;
        PGresult* r = PQprepare(m_conn, m_name.constData(), m_sql.constData(), 0, nullptr);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        m_error = ok ? QString() : QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        if (!ok)
            return false;
        m_session = st().pgSession;
    }
    const bool inTransaction = st().pgTxnOpen;
    // Inside a transaction a refused write must not spoil it.
    const bool guard = m_write && PQtransactionStatus(m_conn) == PQTRANS_INTRANS;
    auto simple = [&](const char* sql) {
        ++st().statements[0];
        ++st().roundTrips;
        PQclear(PQexec(m_conn, sql));
    };
    if (guard)
        simple("SAVEPOINT quen_stmt");
    QList<const char*> values;
    for (int i = 0; i < m_params.size(); ++i)
        values << (m_paramNull[i] ? nullptr : m_params[i].constData());
    ++st().statements[0];
    ++st().roundTrips;
    m_res = m_name.isEmpty() ? PQexecParams(m_conn, m_sql.constData(), int(values.size()), nullptr, values.constData(), nullptr, nullptr, 0)
                             : PQexecPrepared(m_conn, m_name.constData(), int(values.size()), values.constData(), nullptr, nullptr,
                                              m_binary ? 1 : 0);
    const ExecStatusType rc = PQresultStatus(m_res);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        PQclear(m_res);
        m_res = nullptr;
        st().pgTxnLost = inTransaction;
        m_error = connectionLostText(m_conn, m_write, inTransaction);
        return false;
    }
    if (rc != PGRES_COMMAND_OK && rc != PGRES_TUPLES_OK) {
        m_error = QString::fromUtf8(PQresultErrorMessage(m_res)).trimmed();
        const char* state = PQresultErrorField(m_res, PG_DIAG_SQLSTATE);
        m_sqlState = state ? QByteArray(state) : QByteArray();
        PQclear(m_res);
        m_res = nullptr;
        if (guard) {
            simple("ROLLBACK TO SAVEPOINT quen_stmt");
            simple("RELEASE SAVEPOINT quen_stmt");
        }
        noteServerTransaction(m_conn);
        return false;
    }
    if (guard)
        simple("RELEASE SAVEPOINT quen_stmt");
    noteServerTransaction(m_conn);
    m_rowsAffected = QByteArray(PQcmdTuples(m_res)).toInt();
    const int n = PQntuples(m_res);
    m_types.clear();
    for (int c = 0; c < PQnfields(m_res); ++c)
        m_types << PQftype(m_res, c);
    if (m_insert) {
        if (n > 0)
            m_lastInsertId = QByteArray(PQgetvalue(m_res, n - 1, 0)).toLongLong();
        PQclear(m_res);
        m_res = nullptr;
        return true;
    }
    m_active = true;
    m_row = 0;
    m_rowPending = n > 0;
    return true;
}


bool PgStmt::next()
{
    if (m_rowPending) {
        m_rowPending = false;
        return true;
    }
    if (!m_active)
        return false;
    if (m_res && m_row + 1 < PQntuples(m_res)) {
        ++m_row;
        return true;
    }
    reset();
    return false;
}

QVariant PgStmt::value(int column) const
{
    if (!m_res || m_row < 0 || PQgetisnull(m_res, m_row, column))
        return QVariant();
    const char* v = PQgetvalue(m_res, m_row, column);
    if (m_binary) {
        // Network byte order, as the server's send functions write them.
        const auto* b = reinterpret_cast<const unsigned char*>(v);
        auto be = [b](int n) {
            quint64 x = 0;
            for (int i = 0; i < n; ++i)
                x = (x << 8) | b[i];
            return x;
        };
        const int len = PQgetlength(m_res, m_row, column);
        switch (m_types.value(column)) {
        case 20: return qlonglong(be(8));                  // int8
        case 23: return qlonglong(qint32(quint32(be(4))));  // int4
        case 21: return qlonglong(qint16(quint16(be(2))));  // int2
        case 16: return qlonglong(len > 0 && b[0] != 0);   // bool
        case 701: {                                         // float8
            const quint64 x = be(8);
            double d;
            std::memcpy(&d, &x, sizeof d);
            return d;
        }
        case 700: {                                         // float4
            const quint32 x = quint32(be(4));
            float f;
            std::memcpy(&f, &x, sizeof f);
            return double(f);
        }
        default: return QString::fromUtf8(v, len);         // text, varchar, name
        }
    }
    switch (m_types.value(column)) {
    case 20: case 21: case 23: return qlonglong(std::strtoll(v, nullptr, 10));   // int8, int2, int4
    case 700: case 701: case 1700: return std::strtod(v, nullptr);              // float4, float8, numeric
    default: return QString::fromUtf8(v, PQgetlength(m_res, m_row, column));
    }
}

const Dialect& PgConnection::dialect() const { return serverDialect(); }

std::unique_ptr<Stmt> PgConnection::prepare(const QString& sql)
{
    const QByteArray pgSql = serverDialect().positional(sql);
    const QByteArray upper = sql.left(12).toUpper().toUtf8();
    const bool control = upper.startsWith("SAVEPOINT") || upper.startsWith("RELEASE") || upper.startsWith("ROLLBACK")
        || upper.startsWith("BEGIN") || upper.startsWith("COMMIT");
    const QByteArray name = "q" + QByteArray::number(++st().pgStatements);
    if (!control) {
        serverBeforeStatement(ServerStatementKind::Other);
        ++st().roundTrips;
        PGresult* r = PQprepare(st().pg, name.constData(), pgSql.constData(), 0, nullptr);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        const QString err = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        if (!ok)
            throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(err, QString::fromUtf8(pgSql)));
    }
    return std::make_unique<PgStmt>(st().pg, name, pgSql, control, sql.endsWith(serverDialect().returningRowid()));
}

void PgConnection::execute(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    const ServerStatementKind kind = serverStatementKind(text);
    if (!serverBeforeStatement(kind))
        return;
    const bool inTransaction = st().pgTxnOpen;
    ++st().roundTrips;
    PGresult* r = PQexec(st().pg, text.constData());
    const ExecStatusType rc = PQresultStatus(r);
    const QString err = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    PQclear(r);
    if (PQstatus(st().pg) != CONNECTION_OK) {
        st().pgTxnLost = inTransaction && kind != ServerStatementKind::RollsBack;
        if (kind == ServerStatementKind::RollsBack) {
            st().pgTxnOpen = false;
            return;   // the server ended the transaction with the connection
        }
        throw DbError(connectionLostText(st().pg, kind != ServerStatementKind::Begins,
                                         inTransaction && kind != ServerStatementKind::Commits));
    }
    noteServerTransaction(st().pg);
    if (rc != PGRES_COMMAND_OK && rc != PGRES_TUPLES_OK)
        throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(err, sql));
}

} // namespace quen::dbi
