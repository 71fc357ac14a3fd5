// Prints how long a field batch of 10 000 fields takes (target <= 5 s on the
// two-core build machine), on a database created from the shipped tables in
// a temporary folder. The fields lie around the shipped stations (up to
// 0.2 deg away), each with a crop of the shipped crop records and one of the
// methods that crop has a curve for (or the system default's), a third of
// them with their own dates and inputs.
//
//   bench_batch [FIELDS] [--keep FILE]   FIELDS: number of fields (10000);
//                                        --keep: writes the generated CSV there
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "BatchCommand.h"
#include "CropSetup.h"
#include "FieldBatch.h"
#include "db/Database.h"
#include "db/MessageService.h"
#include "db/Table.h"

using namespace quen;

namespace {

class Quiet : public MessageService {
public:
    MsgResult show(MsgKind, const QString&, MsgButtons, int, const QString&) override { return MsgResult::Ok; }
};

double Degrees(double ddmm)
{
    const double a = std::fabs(ddmm);
    const double d = std::floor(a / 100.0);
    return d + (a - d * 100.0) / 60.0;
}

QString Cell(const QString& s)
{
    return s.contains(QLatin1Char(',')) ? QLatin1Char('"') + s + QLatin1Char('"') : s;
}

QByteArray MakeFields(int n)
{
    struct Place {
        double lat, lon;
    };
    std::vector<Place> places;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    for (clim.first(); !clim.eof(); clim.next())
        places.push_back({Degrees(clim.field(QStringLiteral("Latitude")).asFloat()),
                          -Degrees(clim.field(QStringLiteral("Longitude")).asFloat())});
    clim.close();
    struct Choice {
        QString crop;
        QString method;   // "" : the system default's
    };
    std::vector<Choice> choices;
    TTable crops(QStringLiteral("QuenCrop.DB"));
    crops.open();
    for (crops.first(); !crops.eof(); crops.next()) {
        const mainprog::CropRecord r = mainprog::CropRecord::read(crops);
        for (int m = 1; m <= 3; ++m)
            if (mainprog::ChooseCropCurve(m, r).available)
                choices.push_back({r.name, mainprog::MethodShortName(m)});
        if (mainprog::ChooseCropCurve(2, r).available)
            choices.push_back({r.name, QString()});
    }
    crops.close();

    std::mt19937 rng(20261209);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    auto pick = [&](int k) { return int(rng() % unsigned(k)); };
    QString text = QStringLiteral("id,latitude,longitude,crop,etMethod,plantingDate,harvestDate,netIrrigationDepth,"
                                  "soil,availableSoilWater,elevation\n");
    const char* const soils[] = {"Clay", "Clay Loam", "Silt Loam", "Sandy Loam", "Loamy Sand", "Sand"};
    for (int i = 0; i < n; ++i) {
        const Place& p = places[size_t(pick(int(places.size())))];
        const Choice& c = choices[size_t(pick(int(choices.size())))];
        QStringList row = {QStringLiteral("F%1").arg(i + 1), QString::number(p.lat + uniform(-0.2, 0.2), 'f', 4),
                           QString::number(p.lon + uniform(-0.2, 0.2), 'f', 4), Cell(c.crop), c.method};
        if (i % 3 == 0)
            row << QStringLiteral("%1/%2").arg(3 + pick(3)).arg(1 + pick(28))
                << QStringLiteral("%1/%2").arg(8 + pick(3)).arg(1 + pick(28))
                << QString::number(1.5 + pick(30) * 0.1, 'f', 1) << QString::fromLatin1(soils[pick(6)])
                << QString::number(30 + pick(40)) << QString::number(500 + pick(5000));
        else
            row << QString() << QString() << QString() << QString() << QString() << QString();
        text += row.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int n = 10000;
    QString keep;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--keep") && i + 1 < args.size())
            keep = args[++i];
        else
            n = std::max(1, args[i].toInt());
    }
    Quiet quiet;
    setMessageService(&quiet);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString db = dir.filePath(QStringLiteral("bench.sqlite"));
    Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + QStringLiteral("/tables"));
    Database::open(db);
    const QByteArray csv = MakeFields(n);
    if (!keep.isEmpty()) {
        QFile f(keep);
        if (f.open(QIODevice::WriteOnly))
            f.write(csv);
    }

    std::printf("bench_batch: %d fields, %lld bytes of CSV\n", n, static_cast<long long>(csv.size()));
    for (int workers : {1, 2}) {
        std::vector<double> times;
        int failed = 0;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer t;
            t.start();
            job::FieldTable table;
            job::ReadFieldTable(csv, table);
            job::FieldBatch batch;
            const QList<job::FieldOutcome> out = batch.compute(table, workers);
            const QByteArray text = calc::BatchCsv(out, false).toUtf8();
            times.push_back(t.nsecsElapsed() / 1e9);
            failed = int(std::count_if(out.begin(), out.end(), [](const job::FieldOutcome& o) { return !o.error.isEmpty(); }));
        }
        std::sort(times.begin(), times.end());
        std::printf("  in the process, %d worker%s: median %.2f s of 3 runs (%d fields not computed)\n", workers,
                    workers == 1 ? "" : "s", times[1], failed);
    }
    Database::close();

    // The command as a planner runs it, start-up and output file included.
    QFile f(dir.filePath(QStringLiteral("fields.csv")));
    f.open(QIODevice::WriteOnly);
    f.write(csv);
    f.close();
    std::vector<double> times;
    int code = -1;
    for (int run = 0; run < 3; ++run) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENPM_DB"), db);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(QUENPM_CALC), {QStringLiteral("batch"), QStringLiteral("fields.csv"), QStringLiteral("-o"),
                                              QStringLiteral("out.csv")});
        p.waitForFinished(600000);
        times.push_back(t.nsecsElapsed() / 1e9);
        code = p.exitCode();
    }
    std::sort(times.begin(), times.end());
    std::printf("  quenpm-calc batch fields.csv -o out.csv: median %.2f s of 3 runs (exit status %d; target <= 5 s)\n",
                times[1], code);
    return 0;
}
