#include "SqliteConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "DbError.h"
#include "DbState.h"
#include "Dialect.h"

namespace quen::dbi {

SqliteStmt::~SqliteStmt()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

void SqliteStmt::reset()
{
    if (m_active && m_stmt)
        sqlite3_reset(m_stmt);
    m_active = false;
    m_rowPending = false;
}

void SqliteStmt::bindValue(int index, const QVariant& v)
{
    reset();
    const int i = index + 1;
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(m_stmt, i);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        sqlite3_bind_int64(m_stmt, i, v.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(m_stmt, i, v.toDouble());
        break;
    case QMetaType::QString: {
        const QString* s = static_cast<const QString*>(v.constData());
        sqlite3_bind_text16(m_stmt, i, s->utf16(), int(s->size() * sizeof(QChar)), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QString s = v.toString();
        sqlite3_bind_text16(m_stmt, i, s.utf16(), int(s.size() * sizeof(QChar)), SQLITE_TRANSIENT);
        break;
    }
    }
}

bool SqliteStmt::exec()
{
    reset();
    m_error.clear();
    m_errorCode = 0;
    ++st().statements[m_scratch ? 1 : 0];
    m_rowsAffected = 0;
    m_active = true;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_rowPending = true;
        return true;
    }
    sqlite3* db = sqlite3_db_handle(m_stmt);
    if (rc == SQLITE_DONE) {
        m_lastInsertId = sqlite3_last_insert_rowid(db);
        m_rowsAffected = sqlite3_changes(db);
        reset();
        return true;
    }
    m_errorCode = sqlite3_extended_errcode(db);
    m_error = QString::fromUtf8(sqlite3_errmsg(db));
    reset();
    return false;
}

bool SqliteStmt::next()
{
    if (m_rowPending) {
        m_rowPending = false;
        return true;
    }
    if (!m_active)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        // A damaged page or a failed read is an error, never the end of the
        // rows: a caller must not take part of a table for all of it.
        sqlite3* db = sqlite3_db_handle(m_stmt);
        m_errorCode = sqlite3_extended_errcode(db);
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        reset();
        throw DbError(QStringLiteral("Database error: %1").arg(m_error));
    }
    reset();
    return false;
}

QVariant SqliteStmt::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT: return sqlite3_column_double(m_stmt, column);
    default: {
        const void* t = sqlite3_column_text16(m_stmt, column);
        return QString(static_cast<const QChar*>(t), sqlite3_column_bytes16(m_stmt, column) / int(sizeof(QChar)));
    }
    }
}

QVariant SqliteStmt::fieldValue(int column, FieldType t) const
{
    // The column's value taken once (one lock of the connection), then read
    // without further locking: a statement is only ever used by one thread.
    sqlite3_value* v = sqlite3_column_value(m_stmt, column);
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL)
        return QVariant();
    switch (t) {
    case FieldType::Float:
        if (type == SQLITE_FLOAT || type == SQLITE_INTEGER)
            return sqlite3_value_double(v);
        break;
    case FieldType::Short:
    case FieldType::AutoInc:
        if (type == SQLITE_INTEGER)
            return int(sqlite3_value_int64(v));
        break;
    case FieldType::Logical:
        if (type == SQLITE_INTEGER)
            return sqlite3_value_int64(v) != 0;
        break;
    case FieldType::Text:
    case FieldType::Memo:
        if (type == SQLITE_TEXT) {
            const void* p = sqlite3_value_text16(v);
            return QString(static_cast<const QChar*>(p), sqlite3_value_bytes16(v) / int(sizeof(QChar)));
        }
        break;
    }
    // A value stored in another class than its field's.
    return asFieldValue(value(column), t);
}

bool SqliteStmt::isKeyViolation() const
{
    return m_errorCode == SQLITE_CONSTRAINT_UNIQUE || m_errorCode == SQLITE_CONSTRAINT_PRIMARYKEY
        || m_errorCode == SQLITE_CONSTRAINT || m_error.contains(QLatin1String("UNIQUE constraint failed"));
}

const Dialect& SqliteConnection::dialect() const { return sqliteDialect(); }

std::unique_ptr<Stmt> SqliteConnection::prepare(const QString& sql)
{
    if (!m_db)
        throw DbError(m_scratch ? QStringLiteral("Database error: the working tables are not open")
                                : QStringLiteral("Database error: no SQLite connection"));
    sqlite3_stmt* s = nullptr;
    const int rc = sqlite3_prepare16_v2(m_db, sql.utf16(), int(sql.size() * sizeof(QChar)), &s, nullptr);
    if (rc != SQLITE_OK) {
        const QString err = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(s);
        throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(err, sql));
    }
    return std::make_unique<SqliteStmt>(s, m_scratch);
}

void SqliteConnection::execute(const QString& sql)
{
    if (!m_qtConnection.isEmpty()) {
        QSqlQuery q(QSqlDatabase::database(m_qtConnection, false));
        if (!q.exec(sql))
            throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(q.lastError().text(), sql));
        q.finish();
        return;
    }
    if (!m_db)
        throw DbError(QStringLiteral("Database error: the working tables are not open"));
    char* msg = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
        const QString err = QString::fromUtf8(msg ? msg : sqlite3_errmsg(m_db));
        sqlite3_free(msg);
        throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(err, sql));
    }
}

} // namespace quen::dbi
