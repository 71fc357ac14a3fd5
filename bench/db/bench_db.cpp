// bench_db: prints median timings of the database layer's hot paths on a
// temporary database, embedded SQLite and PostgreSQL server side by side:
//   refill of "ETKc.db" with 366 rows (empty, 366 appends and posts, close),
//   and the same refill through one appendRows call
//   open + nearest search + close of "Climate.DB" holding 2000 stations
//   one durable append + post of a "QuenJob.db" row
// The server is the one QUENPM_BENCH_SERVER names, or a throwaway one started
// for the run (see bench/common/BenchPair.h).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "BenchPair.h"
#include "Database.h"
#include "Table.h"

using namespace quen;
using quen::bench::Backend;
using quen::bench::FigureSheet;
using quen::bench::ThreadCpuMs;

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

// CPU and wall time of one call of work, ms.
struct Times {
    std::vector<double> cpu, wall;
    template <class Work>
    void measure(Work&& work)
    {
        QElapsedTimer t;
        const double c0 = ThreadCpuMs();
        t.start();
        work();
        wall.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(ThreadCpuMs() - c0);
    }
    size_t size() const { return wall.size(); }
};

// The figures of one backend (the database location maps to a schema of
// the server in the server pass).
void Pass(Backend, FigureSheet& sheet)
{
    QTemporaryDir dir;
    QTemporaryDir noData;
    Database::setDataDirectory(noData.path());
    Database::open(dir.filePath("bench.sqlite"));
    const int stations = 2000;
    fillStations(stations);

    // Refill of the daily table, as every crop computation does it.
    Times refill;
    {
        TTable kc("ETKc.db");
        for (int run = 0; run < 60; ++run) {
            refill.measure([&] {
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
            });
        }
    }

    // The same refill in one call, as the engine stores its daily rows.
    Times bulk;
    {
        TTable kc("ETKc.db");
        for (int run = 0; run < 60; ++run) {
            bulk.measure([&] {
                kc.open();
                kc.emptyTable();
                QList<QVariantList> rows;
                rows.reserve(366);
                for (int day = 1; day <= 366; ++day)
                    rows << QVariantList{day, 0.3 + day / 1000.0, 0.2, 0.0, 0.0, 1 + (day - 1) / 31};
                kc.appendRows(rows);
                kc.close();
            });
        }
    }

    // Station lookup as the engine does it: open, nearest search, close.
    Times nearest;
    {
        TTable clim("Climate.DB");
        clim.setIndexName("StaNameIndex");
        std::mt19937 rng(7);
        for (int run = 0; run < 2000; ++run) {
            const QString key = stationName(int(rng() % stations));
            nearest.measure([&] {
                clim.open();
                clim.findNearest({key});
                clim.close();
            });
        }
        clim.open();
        clim.findNearest({stationName(1234)});
        if (clim.field("Station Name").asString() != stationName(1234))
            throw DbError(QStringLiteral("nearest search found the wrong station"));
        clim.close();
    }

    // One durable post of user data.
    Times durable;
    {
        TTable job("QuenJob.db");
        job.open();
        for (int run = 0; run < 40; ++run) {
            durable.measure([&] {
                job.append();
                job.field("JobName").setAsString(QStringLiteral("Job %1").arg(run));
                job.field("Location").setAsString("North field");
                job.field("Elevation").setAsFloat(5280);
                job.post();
            });
        }
        job.close();
    }
    Database::close();

    auto add = [&](const char* label, const Times& t, int decimals) -> bench::Figure& {
        return sheet.add(QString::fromLatin1(label), QStringLiteral("ms"), median(t.cpu), median(t.wall), decimals);
    };
    bench::Figure& f1 = add("refill ETKc.db with 366 rows", refill, 3);
    f1.target = f1.serverTarget = 5;
    add("same refill with appendRows", bulk, 3);
    bench::Figure& f3 = add("open + nearest search + close Climate.DB", nearest, 4);
    // The embedded database's target: on a server every search is a round
    // trip to another process; the server's targets are those of a crop run
    // and a job fetch (bench_engine).
    f3.target = 0.1;
    add("durable append + post QuenJob.db", durable, 3);
    sheet.note(QStringLiteral("%1 stations in Climate.DB; medians of %2 refills, %3 bulk refills, %4 searches, %5 posts")
                   .arg(stations).arg(refill.size()).arg(bulk.size()).arg(nearest.size()).arg(durable.size()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return bench::RunPaired(bench::ParsePairArgs(argc, argv), QStringLiteral("bench_db: the database layer's hot paths"),
                            Pass);
}
