#include "BatchCommand.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <unistd.h>

#include "CropSetup.h"
#include "JobFile.h"
#include "JobFileCommand.h"
#include "db/Database.h"
#include "db/DbError.h"

namespace quen::calc {

namespace {

void Err(const QString& text)
{
    const QByteArray b = (QStringLiteral("quenpm-calc: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stderr);
}

QString Shown(const QString& file)
{
    return file == QLatin1String("-") ? QStringLiteral("<standard input>") : file;
}

QString Field(const QString& s)
{
    bool plain = true;
    for (const QChar c : s)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c.unicode() < 0x20)
            plain = false;
    if (plain)
        return s;
    QString q;
    for (const QChar c : s)
        // A control character (a line break among them) would split the row.
        q += c == QLatin1Char('"') ? QStringLiteral("\"\"") : c.unicode() < 0x20 ? QString(QLatin1Char(' ')) : QString(c);
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The shortest text that reads back as the same double; never "nan" or "inf"
// (a field whose results are not finite is reported as failed).
QString Number(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', QLocale::FloatingPointShortest) : QString();
}

QString Fixed(double v, int decimals)
{
    return std::isfinite(v) ? QString::number(v, 'f', decimals) : QString();
}

} // namespace

QString BatchCsv(const QList<job::FieldOutcome>& fields, bool metric)
{
    const QString depth = metric ? QStringLiteral("cm") : QStringLiteral("in");
    QStringList header = {
        QStringLiteral("id"),
        QStringLiteral("station"),
        metric ? QStringLiteral("distance (km)") : QStringLiteral("distance (mi)"),
        metric ? QStringLiteral("elevation difference (m)") : QStringLiteral("elevation difference (ft)"),
        QStringLiteral("method"),
        QStringLiteral("seasonal crop ET (%1)").arg(depth),
        QStringLiteral("effective precipitation normal year (%1)").arg(depth),
        QStringLiteral("effective precipitation dry year (%1)").arg(depth),
        QStringLiteral("net irrigation requirement normal year (%1)").arg(depth),
        QStringLiteral("net irrigation requirement dry year (%1)").arg(depth),
    };
    for (int m = 1; m <= 12; ++m)
        header << QStringLiteral("net irrigation requirement %1 normal year (%2)")
                      .arg(QLocale::c().monthName(m, QLocale::ShortFormat), depth);
    header << (metric ? QStringLiteral("irrigated area (ha)") : QStringLiteral("irrigated area (ac)"))
           << QStringLiteral("leaching requirement")
           << QStringLiteral("gross irrigation requirement normal year (%1)").arg(depth)
           << QStringLiteral("gross irrigation requirement dry year (%1)").arg(depth)
           << (metric ? QStringLiteral("diversion normal year (m3)") : QStringLiteral("diversion normal year (acre-ft)"))
           << (metric ? QStringLiteral("diversion dry year (m3)") : QStringLiteral("diversion dry year (acre-ft)"))
           << (metric ? QStringLiteral("system capacity (l/s)") : QStringLiteral("system capacity (gpm)"))
           << (metric ? QStringLiteral("system capacity (l/s/ha)") : QStringLiteral("system capacity (gpm/acre)"));
    header << QStringLiteral("error") << QStringLiteral("notes");
    QString out = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const job::FieldOutcome& f : fields) {
        QStringList row = {Field(f.id)};
        if (!f.error.isEmpty()) {
            for (int i = 1; i < header.size() - 2; ++i)
                row << QString();
            row << Field(f.error) << Field(f.messages.join(QStringLiteral(" | ")));
            out += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
            continue;
        }
        row << Field(f.station);
        // Distances to 10 m, elevations to the foot or the centimetre: the
        // stored positions and elevations are no finer.
        row << (f.distanceKm ? Fixed(metric ? *f.distanceKm : *f.distanceKm / 1.609344, 2) : QString());
        row << (f.elevationDiffFt ? Fixed(metric ? *f.elevationDiffFt * 0.3048 : *f.elevationDiffFt, metric ? 2 : 0)
                                  : QString());
        row << mainprog::MethodShortName(f.etMethodIndex);
        if (metric)
            row << Number(f.cropETcm) << Number(f.effPrecip50cm) << Number(f.effPrecip80cm) << Number(f.netIrr50cm)
                << Number(f.netIrr80cm);
        else
            row << Number(f.cropET) << Number(f.effPrecip50) << Number(f.effPrecip80) << Number(f.netIrr50)
                << Number(f.netIrr80);
        for (int m = 1; m <= 12; ++m)
            row << Number(metric ? f.monthlyNetIrr50cm[m] : f.monthlyNetIrr50[m]);
        // The farm's water: empty without an irrigated area.
        const job::FieldFarm& w = f.farm;
        QStringList notes = f.messages;
        if (w.given)
            row << Number(metric ? w.areaHa : w.areaAcres);
        else
            row << QString();
        if (w.available)
            row << Number(w.leachingReq) << Number(metric ? w.seasonGross50In * kInchesToMm / 10.0 : w.seasonGross50In)
                << Number(metric ? w.seasonGross80In * kInchesToMm / 10.0 : w.seasonGross80In)
                << Number(metric ? w.seasonDiversion50M3 : w.seasonDiversion50AcFt)
                << Number(metric ? w.seasonDiversion80M3 : w.seasonDiversion80AcFt)
                << Number(metric ? w.capacityLps : w.capacityGpm)
                << Number(metric ? w.capacityLpsPerHa : w.capacityGpmPerAcre);
        else
            row << QString() << QString() << QString() << QString() << QString() << QString() << QString();
        if (w.given && !w.available)
            notes << QStringLiteral("farm water: ") + w.note;
        row << QString() << Field(notes.join(QStringLiteral(" | ")));
        out += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out;
}

int BatchCommand(const QStringList& args)
{
    QString file, output;
    bool metric = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--metric")) {
            metric = true;
        } else if (a == QLatin1String("-o") && i + 1 < args.size() && output.isEmpty()) {
            output = args[++i];
        } else if (file.isEmpty() && (a == QLatin1String("-") || !a.startsWith(QLatin1Char('-')))) {
            file = a;
        } else {
            file.clear();
            break;
        }
    }
    if (file.isEmpty() || (args.contains(QLatin1String("-o")) && output.isEmpty())) {
        Err(QStringLiteral("usage: quenpm-calc batch FIELDS.csv|- [--metric] [-o OUT.csv]"));
        return 1;
    }

    QFile in;
    const bool opened = file == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                                   : (in.setFileName(file), in.open(QIODevice::ReadOnly));
    if (!opened) {
        Err(QStringLiteral("%1: cannot be read: %2").arg(Shown(file), in.errorString()));
        return kExitBadJobFile;
    }
    job::FieldTable table;
    if (const job::JobFileError e = job::ReadFieldTable(in.readAll(), table); e.failed()) {
        Err(e.text(Shown(file)));
        return kExitBadJobFile;
    }

    QString path;
    try {
        path = Database::resolveAlias();
        if (!Database::exists(path)) {
            Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file or server; "
                               "\"quenpm-calc import FILE\" or the programs create a new one)")
                    .arg(Database::shownLocation(path)));
            return 2;
        }
        Database::openReadOnly(path);
    } catch (const DbError& e) {
        Err(e.message());
        return 2;
    }
    if (!output.isEmpty() && output != QLatin1String("-") && Database::isDatabaseFile(output)) {
        Database::close();
        Err(QStringLiteral("%1 is the database or one of its files; the results go elsewhere").arg(output));
        return 6;
    }

    QList<job::FieldOutcome> fields;
    try {
        job::FieldBatch batch;
        // Progress only for a planner watching a terminal, never into a log.
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        std::function<void(int, int)> progress;
        if (terminal)
            progress = [](int done, int total) {
                std::fprintf(stderr, "\rquenpm-calc: %d of %d fields computed", done, total);
                if (done == total)
                    std::fprintf(stderr, "\n");
                std::fflush(stderr);
            };
        const unsigned cores = std::thread::hardware_concurrency();
        fields = batch.compute(table, cores >= 2 ? 2 : 1, progress);
    } catch (const DbError& e) {
        Database::close();
        Err(QStringLiteral("the database %1 is damaged or unreadable: %2").arg(Database::shownLocation(path), e.message()));
        return 3;
    }
    Database::close();

    const QByteArray text = BatchCsv(fields, metric).toUtf8();
    if (output.isEmpty() || output == QLatin1String("-")) {
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        std::fflush(stdout);
    } else {
        QSaveFile out(output);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
            Err(QStringLiteral("%1: cannot be written: %2").arg(output, out.errorString()));
            return 6;
        }
    }
    int failed = 0;
    for (const job::FieldOutcome& f : fields)
        failed += f.error.isEmpty() ? 0 : 1;
    if (failed > 0) {
        Err(QStringLiteral("%1: %2 of %3 fields could not be computed (their rows give the reason)")
                .arg(Shown(file))
                .arg(failed)
                .arg(fields.size()));
        return kExitFieldsFailed;
    }
    return 0;
}

} // namespace quen::calc
