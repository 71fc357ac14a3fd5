// bench_copy: prints how fast quenpm-calc --copy-database moves a database
// between a file and a PostgreSQL server: rows per second each way, the
// round trips to the server per 1 000 rows (target: at most 5) and the
// program's peak memory. The source is a file holding the shipped tables and
// N climate stations (default 50 000, about an office's whole station list;
// "bench_copy 5000" for a quick run). The round trips include opening both
// databases and creating the target's tables; the rows themselves travel in
// one COPY stream per table (to a server) or in cursor batches (from one).
//
// The server is the one QUENPM_BENCH_SERVER (else QUENPM_TEST_SERVER) names;
// when neither is set, a throwaway cluster started with scripts/pg-server.sh
// in a temporary folder (stopped at the end). Prints figures; never fails.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>

#include "Database.h"
#include "DbInternal.h"
#include "Schema.h"
#include "Table.h"

using namespace quen;

namespace {

long peakMemoryKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

qint64 totalRows()
{
    qint64 n = 0;
    for (const TableDef& t : schemaTables())
        if (!t.scratch) {
            TTable h(t.name);
            h.open();
            n += h.recordCount();
            h.close();
        }
    return n;
}

void fillStations(int count)
{
    QList<QVariantList> rows;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    const TableDef& def = clim.definition();
    Database::transaction([&] {
        for (int i = 0; i < count; ++i) {
            clim.append();
            clim.field("Station Name").setAsString(QStringLiteral("Bench station %1").arg(i, 6, 10, QChar('0')));
            clim.field("County").setAsString(QStringLiteral("County %1, CO").arg(i % 60));
            clim.field("Station No").setAsString(QStringLiteral("%1").arg(i, 7, 10, QChar('0')));
            clim.field("Latitude").setAsFloat(3900.0 + i % 500);
            clim.field("Elevation").setAsFloat(1000.0 + i);
            for (int m = 1; m <= 12; ++m) {
                if (def.fieldIndex(QStringLiteral("T%1").arg(m)) >= 0)
                    clim.field(QStringLiteral("T%1").arg(m)).setAsFloat(40.0 + m * 2.5 + i % 7 * 0.1);
                if (def.fieldIndex(QStringLiteral("P%1").arg(m)) >= 0)
                    clim.field(QStringLiteral("P%1").arg(m)).setAsFloat(1.0 + m * 0.1);
            }
            clim.post();
        }
    });
    clim.close();
}

void dropSchema(const QString& server, const char* schema)
{
    PGconn* c = PQconnectdb(dbi::connectionUri(server).toUtf8().constData());
    if (PQstatus(c) == CONNECTION_OK) {
        PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
        PQclear(PQexec(c, (QByteArray("DROP SCHEMA IF EXISTS ") + schema + " CASCADE").constData()));
    }
    PQfinish(c);
}

void copyOnce(const char* label, const QString& from, const QString& to, qint64 rows)
{
    const quint64 s0 = dbi::serverRoundTrips();
    QElapsedTimer t;
    t.start();
    try {
        Database::copyDatabase(from, to, true);
    } catch (const DbError& e) {
        std::printf("%-16s failed: %s\n", label, qPrintable(e.message()));
        return;
    }
    const double secs = t.nsecsElapsed() / 1e9;
    const double trips = double(dbi::serverRoundTrips() - s0);
    std::printf("%-15s %8lld rows %7.2f s %9.0f rows/s  %6.0f server round trips, %5.2f per 1000 rows (target <= 5)  "
                "peak memory %ld KB\n",
                label, static_cast<long long>(rows), secs, rows / secs, trips, trips * 1000.0 / double(rows), peakMemoryKb());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int stations = argc > 1 ? std::max(1, atoi(argv[1])) : 50000;

    QString server = qEnvironmentVariable("QUENPM_BENCH_SERVER");
    if (server.isEmpty())
        server = qEnvironmentVariable("QUENPM_TEST_SERVER");
    QTemporaryDir clusterDir;
    bool started = false;
    if (server.isEmpty()) {
        QProcess p;
        p.start(QStringLiteral("bash"), {QStringLiteral(QUEN_PG_SERVER_SCRIPT), QStringLiteral("start"), clusterDir.path()});
        if (p.waitForFinished(120000) && p.exitCode() == 0) {
            server = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
            started = true;
        }
    }
    qunsetenv("QUENPM_TEST_SERVER");   // file locations stay files here
    if (server.isEmpty()) {
        std::printf("bench_copy: no PostgreSQL server (set QUENPM_BENCH_SERVER to a postgresql:// URI)\n");
        return 0;
    }

    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.sqlite"));
    Database::open(source);
    fillStations(stations);
    const qint64 rows = totalRows();
    Database::close();
    std::printf("bench_copy: %d stations, %lld rows in all; peak %ld KB before copying\n", stations,
                static_cast<long long>(rows), peakMemoryKb());

    const QString target = server + (server.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?'))
        + QStringLiteral("options=-csearch_path%3Dquen_bench_copy");
    dropSchema(server, "quen_bench_copy");
    copyOnce("file to server", source, target, rows);
    copyOnce("server to file", target, dir.filePath(QStringLiteral("back.sqlite")), rows);
    copyOnce("file to file", source, dir.filePath(QStringLiteral("copy.sqlite")), rows);
    dropSchema(server, "quen_bench_copy");

    if (started) {
        QProcess p;
        p.start(QStringLiteral("bash"), {QStringLiteral(QUEN_PG_SERVER_SCRIPT), QStringLiteral("stop"), clusterDir.path()});
        p.waitForFinished(60000);
    }
    return 0;
}
