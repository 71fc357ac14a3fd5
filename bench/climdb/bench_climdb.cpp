// Climate program speed: the state import of a 10 000-station file (read,
// check and replace in one transaction), the station editor opening on
// those stations and its station name search. Prints medians of 5 runs.
// Runs offscreen on a scratch database of its own.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <cstdio>

#include "Application.h"
#include "ClimDBForm.h"
#include "ClimDMod.h"
#include "ClimImport.h"
#include "Database.h"
#include "MessageBoxes.h"
#include "StationRecords.h"
#include "Table.h"

using namespace quen;
using namespace quen::climprog;

namespace {

QByteArray stateFile(int n)
{
    QByteArray out;
    out.reserve(n * 420);
    for (int i = 1; i <= n; ++i) {
        TStationRecord r;
        r.name = QStringLiteral("STATION %1").arg(i, 5, 10, QLatin1Char('0'));
        r.county = QStringLiteral("County %1, ID").arg(i % 44);
        r.number = QString::number(100000 + i);
        r.latitude = 4200 + i % 59;
        r.longitude = 11400 + i % 59;
        r.elevation = 1000 + i % 5000;
        for (int m = 0; m < 12; ++m) {
            r.tmax[m] = 30 + 4 * m;
            r.tmin[m] = 5 + 3 * m;
            r.t[m] = 17 + 3.5 * m;
            r.p[m] = 2 - 0.1 * m;
        }
        r.dates = {QStringLiteral("05/20"), QStringLiteral("09/25"), QStringLiteral("06/05"), QStringLiteral("09/10")};
        writeStationRecord(out, i, r);
    }
    return out;
}

// CPU time of the process in ms: on a machine shared with other work the
// wall-clock figure says more about the neighbours than about the import.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("bench.sqlite").toUtf8());
    TQuenApplication app(argc, argv);
    TScriptedMessages msgs;
    Database::open();
    const QString path = dir.filePath("big.quen");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(stateFile(10000));
    }
    QList<double> imp, impCpu, open, search, parse, rows;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        const TStationFile f = readStationFile(path, QString());
        parse << t.nsecsElapsed() / 1e6;
        t.restart();
        QList<QVariantList> v;
        for (const TStationRecord& r : f.records)
            v << climateRowValues(r);
        rows << t.nsecsElapsed() / 1e6;
    }
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        const double c0 = cpuMs();
        const int n = importStateFile(path);
        imp << t.nsecsElapsed() / 1e6;
        impCpu << cpuMs() - c0;
        if (n != 10000) {
            std::printf("import failed: %s\n", qPrintable(msgs.lastText()));
            return 1;
        }
        TDMod dmod;
        t.restart();
        {
            TClimDBForm form;
            form.show();
            QApplication::processEvents();
            open << t.nsecsElapsed() / 1e6;
            const auto old = TClimDBForm::inputQuery;
            const QStringList keys{QStringLiteral("STATION 0"), QStringLiteral("STATION 05000"),
                                   QStringLiteral("STATION 09999"), QStringLiteral("ZZZ")};
            for (const QString& k : keys) {
                TClimDBForm::inputQuery = [&](const QString&, const QString&, QString& v) {
                    v = k;
                    return true;
                };
                t.restart();
                form.SearchStationNameClick();
                QApplication::processEvents();
                search << t.nsecsElapsed() / 1e6;
            }
            TClimDBForm::inputQuery = old;
            form.close();
        }
    }
    std::printf("state import, 10000 stations (read, check, replace in one transaction): median %.1f ms wall, %.1f ms CPU (target < 1000)\n",
                median(imp), median(impCpu));
    std::printf("  of which reading and checking the file: median %.1f ms; row values: median %.1f ms\n", median(parse),
                median(rows));
    std::printf("station editor opens on 10000 stations: median %.1f ms\n", median(open));
    std::printf("station name search on 10000 stations: median %.2f ms, worst %.2f ms (target < 50)\n", median(search),
                *std::max_element(search.begin(), search.end()));
    return 0;
}
