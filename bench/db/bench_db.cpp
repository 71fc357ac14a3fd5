// bench_db: prints median timings of the database layer's hot paths on a
// temporary database.
//   refill of "ETKc.db" with 366 rows (empty, 366 appends and posts, close),
//   and the same refill through one appendRows call
//   open + nearest search + close of "Climate.DB" holding 2000 stations
//   one durable append + post of a "QuenJob.db" row
// on an embedded database, then (QUENPM_BENCH_SERVER=postgresql://...) on a
// PostgreSQL server.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "Database.h"
#include "Table.h"

using namespace quen;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QString stationName(int i) { return QStringLiteral("Station %1 %2").arg(QChar('A' + i % 26)).arg(i, 5, 10, QChar('0')); }

void fillStations(int count)
{
    Database::transaction([&] {
        TTable clim("Climate.DB");
        clim.open();
        for (int i = 0; i < count; ++i) {
            clim.append();
            clim.field("Station Name").setAsString(stationName(i));
            clim.field("County").setAsString(QStringLiteral("County %1, CO").arg(i % 60));
            clim.field("Station No").setAsString(QStringLiteral("%1").arg(i, 7, 10, QChar('0')));
            clim.field("Latitude").setAsFloat(3900.0 + i % 500);
            clim.field("Elevation").setAsFloat(1000.0 + i);
            clim.field("T7").setAsFloat(70.0);
            clim.field("P7").setAsFloat(1.5);
            clim.post();
        }
    });
}

// With QUENPM_BENCH_SERVER naming a PostgreSQL server (URI), the same
// figures follow for that server: this program runs again with every
// database location mapped to a schema there.
int runOnServer(const char* self)
{
    const QByteArray server = qgetenv("QUENPM_BENCH_SERVER");
    if (server.isEmpty() || !qgetenv("QUENPM_TEST_SERVER").isEmpty())
        return 0;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUENPM_TEST_SERVER"), QString::fromLocal8Bit(server));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationFilePath(), {});
    Q_UNUSED(self);
    p.waitForFinished(-1);
    return p.exitCode();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QTemporaryDir noData;
    Database::setDataDirectory(noData.path());
    Database::open(dir.filePath("bench.sqlite"));
    const int stations = 2000;
    fillStations(stations);

    // Refill of the daily table, as every crop computation does it.
    std::vector<double> refill;
    {
        TTable kc("ETKc.db");
        for (int run = 0; run < 60; ++run) {
            QElapsedTimer t;
            t.start();
            kc.open();
            kc.emptyTable();
            for (int day = 1; day <= 366; ++day) {
                kc.append();
                kc.field(0).setAsInteger(day);
                kc.field(1).setAsFloat(0.3 + day / 1000.0);
                kc.field(2).setAsFloat(0.2);
                kc.field(3).setAsFloat(0);
                kc.field(4).setAsFloat(0);
                kc.field(5).setAsInteger(1 + (day - 1) / 31);
                kc.post();
            }
            kc.close();
            refill.push_back(t.nsecsElapsed() / 1e6);
        }
    }

    // The same refill in one call, as the engine stores its daily rows.
    std::vector<double> bulk;
    {
        TTable kc("ETKc.db");
        for (int run = 0; run < 60; ++run) {
            QElapsedTimer t;
            t.start();
            kc.open();
            kc.emptyTable();
            QList<QVariantList> rows;
            rows.reserve(366);
            for (int day = 1; day <= 366; ++day)
                rows << QVariantList{day, 0.3 + day / 1000.0, 0.2, 0.0, 0.0, 1 + (day - 1) / 31};
            kc.appendRows(rows);
            kc.close();
            bulk.push_back(t.nsecsElapsed() / 1e6);
        }
    }

    // Station lookup as the engine does it: open, nearest search, close.
    std::vector<double> nearest;
    {
        TTable clim("Climate.DB");
        clim.setIndexName("StaNameIndex");
        std::mt19937 rng(7);
        for (int run = 0; run < 2000; ++run) {
            const QString key = stationName(int(rng() % stations));
            QElapsedTimer t;
            t.start();
            clim.open();
            clim.findNearest({key});
            clim.close();
            nearest.push_back(t.nsecsElapsed() / 1e6);
        }
        clim.open();
        clim.findNearest({stationName(1234)});
        if (clim.field("Station Name").asString() != stationName(1234)) {
            std::fprintf(stderr, "nearest search found the wrong station\n");
            return 1;
        }
        clim.close();
    }

    // One durable post of user data.
    std::vector<double> durable;
    {
        TTable job("QuenJob.db");
        job.open();
        for (int run = 0; run < 40; ++run) {
            QElapsedTimer t;
            t.start();
            job.append();
            job.field("JobName").setAsString(QStringLiteral("Job %1").arg(run));
            job.field("Location").setAsString("North field");
            job.field("Elevation").setAsFloat(5280);
            job.post();
            durable.push_back(t.nsecsElapsed() / 1e6);
        }
        job.close();
    }

    std::printf("bench_db on %s (medians; %d stations in Climate.DB)\n",
                qgetenv("QUENPM_TEST_SERVER").isEmpty() ? "embedded SQLite" : "PostgreSQL server", stations);
    std::printf("  refill ETKc.db with 366 rows:              %8.3f ms  (target < 5 ms, %zu runs)\n", median(refill), refill.size());
    std::printf("  same refill with appendRows:               %8.3f ms  (%zu runs)\n", median(bulk), bulk.size());
    std::printf("  open + nearest search + close Climate.DB:  %8.4f ms  (target < 0.1 ms, %zu runs)\n", median(nearest), nearest.size());
    std::printf("  durable append + post QuenJob.db:          %8.3f ms  (%zu runs)\n", median(durable), durable.size());
    Database::close();
    std::fflush(stdout);
    return runOnServer(argv[0]);
}
