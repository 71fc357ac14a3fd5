// SQLite behind the connection interface: the shared database file (on the
// Qt connection the programs open, whose SQLite handle the statements use
// directly) and the private in-memory database of the working tables. Not
// for use outside db/.
#pragma once

#include <QString>
#include <sqlite3.h>

#include "Connection.h"

namespace quen::dbi {

class SqliteStmt final : public Stmt {
public:
    SqliteStmt(sqlite3_stmt* s, bool scratch) : m_stmt(s), m_scratch(scratch) {}
    ~SqliteStmt() override;

    void bindValue(int index, const QVariant& v) override;
    // Between runs straight into the statement.
    void bindDouble(int index, double v) override
    {
        if (m_active)
            bindValue(index, v);
        else
            sqlite3_bind_double(m_stmt, index + 1, v);
    }
    void bindInt64(int index, qint64 v) override
    {
        if (m_active)
            bindValue(index, v);
        else
            sqlite3_bind_int64(m_stmt, index + 1, v);
    }
    bool exec() override;
    bool next() override;
    QVariant value(int column) const override;
    // One conversion straight from SQLite's value.
    QVariant fieldValue(int column, FieldType t) const override;
    void finish() override { reset(); }
    bool isKeyViolation() const override;

private:
    void reset();
    sqlite3_stmt* m_stmt = nullptr;
    bool m_scratch = false;     // on the private scratch database
    bool m_active = false;      // stepped and not reset
    bool m_rowPending = false;  // exec read a row that next() has not handed out yet
    int m_errorCode = 0;        // extended result code of the last failure
};

class SqliteConnection final : public Connection {
public:
    // db: the connection's handle (owned elsewhere). scratch: the private
    // database (its statements counted as such). qtConnection: the name of
    // the Qt connection that owns db, whose driver runs the plain
    // statements; empty for the private database.
    SqliteConnection(sqlite3* db, bool scratch, const QString& qtConnection = QString())
        : m_db(db), m_scratch(scratch), m_qtConnection(qtConnection)
    {
    }
    const Dialect& dialect() const override;
    std::unique_ptr<Stmt> prepare(const QString& sql) override;
    void execute(const QString& sql) override;

private:
    sqlite3* m_db;
    bool m_scratch;
    QString m_qtConnection;
};

} // namespace quen::dbi
