// A PostgreSQL server behind the connection interface, through its client
// library (libpq) called directly. Not for use outside db/.
//
// Statements are prepared on the server under names of their own; a write
// inside an open transaction runs under a statement savepoint so that a
// refused row leaves the transaction usable, as SQLite does. A SAVEPOINT
// outside any transaction begins one, and releasing it commits, as in
// SQLite (the layer's batches nest savepoints whatever the database). The
// handles' row reads ("SELECT rowid, ...") take their rows in binary form,
// which spares the server and the client the formatting and parsing of
// every number.
//
// A server restart (or a network cut) ends the connection; see
// serverBeforeStatement in PgConnection.cpp for how the layer goes on.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "Connection.h"

struct pg_conn;
struct pg_result;

namespace quen::dbi {

class PgStmt final : public Stmt {
public:
    // simple: run unprepared (transaction statements, a cursor's FETCH);
    // insert: an INSERT ... RETURNING rowid, whose last row gives lastInsertId.
    PgStmt(pg_conn* conn, const QByteArray& name, const QByteArray& sql, bool simple, bool insert);
    ~PgStmt() override;

    void bindValue(int index, const QVariant& v) override;
    bool exec() override;
    bool next() override;
    QVariant value(int column) const override;
    void finish() override { reset(); }
    bool isKeyViolation() const override { return m_sqlState == "23505"; }   // unique_violation

private:
    void reset();
    bool runControl();
    pg_conn* m_conn = nullptr;
    QByteArray m_name;        // server-side prepared name; empty for a simple statement
    QByteArray m_sql;
    bool m_insert = false;
    bool m_binary = false;    // rows come in binary form (the handles' row reads: no number formatting)
    bool m_write = false;
    bool m_active = false;    // ran and its rows not all read
    bool m_rowPending = false;
    QList<QByteArray> m_params;
    QList<bool> m_paramNull;
    pg_result* m_res = nullptr;
    int m_row = -1;
    QList<unsigned> m_types;
    QByteArray m_sqlState;
    quint64 m_session = 0;    // the server connection it was prepared on (see serverBeforeStatement)
};

// The shared connection when the alias names a server (the handle is the
// layer's state: it is made again after a drop).
class PgConnection final : public Connection {
public:
    const Dialect& dialect() const override;
    std::unique_ptr<Stmt> prepare(const QString& sql) override;
    void execute(const QString& sql) override;
};

} // namespace quen::dbi
