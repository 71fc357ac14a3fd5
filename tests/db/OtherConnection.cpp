// A second connection to the open database, as another program would have.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <libpq-fe.h>

#include "DbFixture.h"

int DbTest::countFromOtherConnection(const QString& table)
{
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table);
    int n = -1;
    if (onServer()) {
        PGconn* c = PQconnectdb(quen::Database::path().toUtf8().constData());
        if (PQstatus(c) == CONNECTION_OK) {
            PGresult* r = PQexec(c, sql.toUtf8().constData());
            if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
                n = QByteArray(PQgetvalue(r, 0, 0)).toInt();
            PQclear(r);
        }
        PQfinish(c);
        return n;
    }
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "db-test-count");
        other.setDatabaseName(quen::Database::path());
        if (other.open()) {
            QSqlQuery q(other);
            if (q.exec(sql) && q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("db-test-count");
    return n;
}
