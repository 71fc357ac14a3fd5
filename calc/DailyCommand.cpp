#include "DailyCommand.h"

#include <cmath>
#include <cstdio>

#include "CalcJob.h"
#include "DailyImport.h"
#include "Database.h"
#include "JobState.h"
#include "JobStore.h"
#include "Table.h"

namespace quen::calc {

namespace {

constexpr int kRefused = 10;   // no daily balance, or the daily import refused

void Err(const QString& text)
{
    std::fprintf(stderr, "quenpm-calc: %s\n", qPrintable(text));
}

void Out(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
    std::fflush(stdout);
}

int Usage(const char* form)
{
    Err(QStringLiteral("usage: quenpm-calc %1").arg(QLatin1String(form)));
    return 1;
}

QString F(double v, int decimals = 1)
{
    return std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'f', decimals);
}

QString J(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', 10) : QStringLiteral("null");
}

QString JStr(const QString& s)
{
    QString o = s;
    o.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    o.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + o + QLatin1Char('"');
}

// 50/80/90 % values of the seasonal ETc (adjusted) of the complete seasons.
DesignValues EtcDesign(const DailyBalanceResult& r)
{
    std::vector<double> v;
    for (const SeasonBalance& s : r.seasons)
        if (s.complete)
            v.push_back(s.etcAdj);
    return DesignValuesOf(v);
}

const SeasonBalance* DetailSeason(const job::DailyRun& run)
{
    for (const SeasonBalance& s : run.result.seasons)
        if (s.year == run.detailYear)
            return &s;
    return nullptr;
}

int OpenExisting(bool readOnly)
{
    QString path;
    try {
        path = Database::resolveAlias();
        if (!Database::exists(path)) {
            Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file or server)")
                    .arg(Database::shownLocation(path)));
            return 2;
        }
        readOnly ? Database::openReadOnly(path) : Database::open(path);
    } catch (const DbError& e) {
        Err(e.message());
        return 3;
    }
    return 0;
}

} // namespace

bool WantsDaily(const QStringList& args)
{
    return args.contains(QLatin1String("--daily"));
}

bool WantsImportDaily(const QStringList& args)
{
    return !args.isEmpty() && args[0] == QLatin1String("--import-daily");
}

QString DailyRunText(const QString& jobName, const QString& cropName, const job::DailyRun& run)
{
    QString o;
    o += QStringLiteral("Daily soil-water balance (FAO-56 dual Kc): job \"%1\", crop \"%2\"\n").arg(jobName, cropName);
    o += QStringLiteral("Station %1: %2 days, %3 to %4, from %5\n")
             .arg(run.weather.stationName).arg(run.weather.days)
             .arg(run.weather.first.text(), run.weather.last.text(), run.weather.source);
    const WeatherFillCounts& f = run.weather.filled;
    o += QStringLiteral("Missing values filled (FAO-56 Ch. 3): Rs from sunshine %1, Rs from temperature %2, "
                        "humidity from Tmin %3, wind 2 m/s %4, rain taken as 0 %5\n")
             .arg(f.rsFromSunshine).arg(f.rsFromTemperature).arg(f.eaFromTmin).arg(f.windDefault).arg(f.rainMissing);
    for (const QString& n : run.notes)
        o += QStringLiteral("  ") + n + QLatin1Char('\n');
    const DailyBalanceResult& r = run.result;
    const DesignValues etc = EtcDesign(r);
    o += QStringLiteral("\nSeasons used: %1 complete of %2\n").arg(r.netIrrigation.years).arg(int(r.seasons.size()));
    o += QStringLiteral("%1%2%3%4\n").arg(QString(), -30).arg(QStringLiteral("50 %"), 10).arg(QStringLiteral("80 %"), 10)
             .arg(QStringLiteral("90 %"), 10);
    auto row = [&](const QString& name, const DesignValues& d, int dec) {
        o += QStringLiteral("%1%2%3%4\n").arg(name, -30).arg(F(d.p50, dec), 10).arg(F(d.p80, dec), 10).arg(F(d.p90, dec), 10);
    };
    row(QStringLiteral("Net irrigation, mm"), r.netIrrigation, 1);
    row(QStringLiteral("Number of irrigations"), r.irrigations, 1);
    row(QStringLiteral("Seasonal ETc adj, mm"), etc, 1);
    o += QStringLiteral("Monthly method: seasonal ETc %1 mm; net irrigation normal year (50 %) %2 mm, dry year (80 %) %3 mm\n")
             .arg(F(run.monthlyEtcMm), F(run.monthlyNetIrr50Mm), F(run.monthlyNetIrr80Mm));

    o += QStringLiteral("\n%1%2%3%4%5%6%7%8%9\n")
             .arg(QStringLiteral("Year"), -6).arg(QStringLiteral("Complete"), 9).arg(QStringLiteral("ETo"), 9)
             .arg(QStringLiteral("ETc"), 9).arg(QStringLiteral("ETc adj"), 9).arg(QStringLiteral("Rain"), 9)
             .arg(QStringLiteral("Net irr"), 9).arg(QStringLiteral("Irrig."), 7).arg(QStringLiteral("Deep perc"), 10);
    for (const SeasonBalance& s : r.seasons)
        o += QStringLiteral("%1%2%3%4%5%6%7%8%9\n")
                 .arg(s.year, -6).arg(s.complete ? QStringLiteral("yes") : QStringLiteral("no"), 9)
                 .arg(F(s.eto), 9).arg(F(s.etc), 9).arg(F(s.etcAdj), 9).arg(F(s.rain), 9).arg(F(s.netIrrigation), 9)
                 .arg(s.irrigations, 7).arg(F(s.deepPercolation), 10);

    if (const SeasonBalance* s = DetailSeason(run)) {
        o += QStringLiteral("\nIrrigation schedule, season of %1: %2 irrigations, %3 mm net\n")
                 .arg(s->year).arg(s->irrigations).arg(F(s->netIrrigation));
        for (const IrrigationEvent& e : s->schedule)
            o += QStringLiteral("  %1  %2 mm\n").arg(e.date.text(), F(e.depthMm));
    }
    return o;
}

QString DailyRunJson(const QString& jobName, const QString& cropName, const job::DailyRun& run)
{
    const DailyBalanceResult& r = run.result;
    auto design = [](const DesignValues& d) {
        return QStringLiteral("{\"years\":%1,\"p50\":%2,\"p80\":%3,\"p90\":%4}").arg(d.years).arg(J(d.p50), J(d.p80), J(d.p90));
    };
    QStringList notes;
    for (const QString& n : run.notes)
        notes << JStr(n);
    QStringList seasons;
    for (const SeasonBalance& s : r.seasons)
        seasons << QStringLiteral("{\"year\":%1,\"complete\":%2,\"eto\":%3,\"etc\":%4,\"etcAdj\":%5,\"rain\":%6,"
                                  "\"netIrrigation\":%7,\"irrigations\":%8,\"deepPercolation\":%9}")
                       .arg(s.year).arg(s.complete ? QStringLiteral("true") : QStringLiteral("false"))
                       .arg(J(s.eto), J(s.etc), J(s.etcAdj), J(s.rain), J(s.netIrrigation))
                       .arg(s.irrigations).arg(J(s.deepPercolation));
    QStringList schedule;
    if (const SeasonBalance* s = DetailSeason(run))
        for (const IrrigationEvent& e : s->schedule)
            schedule << QStringLiteral("{\"date\":\"%1\",\"depthMm\":%2}").arg(e.date.text(), J(e.depthMm));
    const WeatherFillCounts& f = run.weather.filled;
    QString o = QStringLiteral("{");
    o += QStringLiteral("\"job\":%1,\"crop\":%2,").arg(JStr(jobName), JStr(cropName));
    o += QStringLiteral("\"station\":%1,\"days\":%2,\"first\":\"%3\",\"last\":\"%4\",")
             .arg(JStr(run.weather.stationName)).arg(run.weather.days).arg(run.weather.first.text(), run.weather.last.text());
    o += QStringLiteral("\"filled\":{\"rsFromSunshine\":%1,\"rsFromTemperature\":%2,\"eaFromTmin\":%3,"
                        "\"windDefault\":%4,\"rainMissing\":%5},")
             .arg(f.rsFromSunshine).arg(f.rsFromTemperature).arg(f.eaFromTmin).arg(f.windDefault).arg(f.rainMissing);
    o += QStringLiteral("\"notes\":[%1],").arg(notes.join(QLatin1Char(',')));
    o += QStringLiteral("\"netIrrigationMm\":%1,\"irrigations\":%2,\"seasonalEtcMm\":%3,")
             .arg(design(r.netIrrigation), design(r.irrigations), design(EtcDesign(r)));
    o += QStringLiteral("\"monthly\":{\"seasonalEtcMm\":%1,\"netIrrigation50Mm\":%2,\"netIrrigation80Mm\":%3},")
             .arg(J(run.monthlyEtcMm), J(run.monthlyNetIrr50Mm), J(run.monthlyNetIrr80Mm));
    o += QStringLiteral("\"seasons\":[%1],").arg(seasons.join(QLatin1Char(',')));
    o += QStringLiteral("\"detailYear\":%1,\"schedule\":[%2]").arg(run.detailYear).arg(schedule.join(QLatin1Char(',')));
    o += QStringLiteral("}\n");
    return o;
}

QString DailyRunCsv(const job::DailyRun& run)
{
    QString o = QStringLiteral("date,ETo_mm,rain_mm,irrigation_mm,Kcb,Kc_max,fc,fw,few,Kr,Ke,E_mm,De_mm,DPe_mm,"
                               "TAW_mm,p,RAW_mm,Ks,ETc_mm,ETc_adj_mm,DP_mm,Dr_mm\n");
    const SeasonBalance* s = DetailSeason(run);
    if (!s)
        return o;
    for (const DailyBalanceRow& d : s->rows) {
        QStringList f;
        f << d.date.text();
        for (double v : {d.eto, d.rain, d.irrigation, d.kcb, d.kcMax, d.fc, d.fw, d.few, d.kr, d.ke, d.evaporation,
                         d.de, d.dpe, d.taw, d.p, d.raw, d.ks, d.etc, d.etcAdj, d.dp, d.dr})
            f << QString::number(v, 'f', 4);
        o += f.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return o;
}

int DailyCommand(const QStringList& args)
{
    const char* form = "--daily --job JOB [--crop CROP] [--year YEAR] [--json | --csv]";
    QString jobName, cropName;
    bool haveJob = false, json = false, csv = false;
    int year = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--daily")) {
        } else if (a == QLatin1String("--job") && i + 1 < args.size()) {
            jobName = args[++i];
            haveJob = true;
        } else if (a == QLatin1String("--crop") && i + 1 < args.size()) {
            cropName = args[++i];
        } else if (a == QLatin1String("--year") && i + 1 < args.size()) {
            bool ok = false;
            year = args[++i].toInt(&ok);
            if (!ok || year < 1)
                return Usage(form);
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--csv")) {
            csv = true;
        } else {
            return Usage(form);
        }
    }
    if (!haveJob || (json && csv))
        return Usage(form);
    if (const int st = OpenExisting(true))
        return st;

    int status = 0;
    try {
        CropRunContext ctx;
        if (!LoadJob(jobName, ctx)) {
            Database::close();
            Err(QStringLiteral("no saved job named \"%1\"").arg(jobName));
            return 4;
        }
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        CropCurveState curves;
        JobState jobState;
        job::DailyRun run;
        QString found;
        {
            CollectingMessages collect;
            job::FetchCrops(ctx, jobState, curves, wk, [&] {
                const QString name = wk.field(QStringLiteral("Crop Name")).asString();
                if (!found.isEmpty() || (!cropName.isEmpty() && name != cropName))
                    return;
                found = name;
                run = job::RunDailyForCrop(ctx, curves, wk, year);
            });
        }
        if (wk.isOpen())
            wk.close();
        wk.emptyTable();
        Database::close();
        if (found.isEmpty()) {
            Err(QStringLiteral("the job \"%1\" has no crop \"%2\"").arg(jobName, cropName));
            return 5;
        }
        if (!run.ok()) {
            Err(run.error.isEmpty() ? run.result.error : run.error);
            return kRefused;
        }
        if (year != 0 && !DetailSeason(run)) {
            Err(QStringLiteral("the daily weather has no season planted in %1").arg(year));
            status = kRefused;
        }
        Out(csv ? DailyRunCsv(run) : json ? DailyRunJson(jobName, found, run) : DailyRunText(jobName, found, run));
    } catch (const DbError& e) {
        Err(QStringLiteral("the database is damaged or unreadable: %1").arg(e.message()));
        return 3;
    }
    return status;
}

int ImportDailyCommand(const QStringList& args)
{
    const char* form = "--import-daily FILE --station NAME [--format plain|ncei|ncei-metric] [--wind-height M] "
                       "[--coastal] [--replace]";
    if (args.size() < 2)
        return Usage(form);
    job::DailyImportRequest req;
    req.filePath = args[1];
    bool haveStation = false;
    for (int i = 2; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--station") && i + 1 < args.size()) {
            req.stationName = args[++i];
            haveStation = true;
        } else if (a == QLatin1String("--format") && i + 1 < args.size()) {
            if (!job::DailyFileFormatFromText(args[++i], req.format))
                return Usage(form);
        } else if (a == QLatin1String("--wind-height") && i + 1 < args.size()) {
            bool ok = false;
            req.windHeightM = args[++i].toDouble(&ok);
            if (!ok || !(req.windHeightM > 0.5) || !(req.windHeightM <= 100))
                return Usage(form);
        } else if (a == QLatin1String("--coastal")) {
            req.coastal = true;
        } else if (a == QLatin1String("--replace")) {
            req.replaceWithoutAsking = true;
        } else {
            return Usage(form);
        }
    }
    if (!haveStation)
        return Usage(form);
    if (const int st = OpenExisting(false))
        return st;

    // Rows refused: listed, the rest imported. Replacing: only with --replace.
    class Answers : public MessageService {
    public:
        Answers() { m_prev = setMessageService(this); }
        ~Answers() override { setMessageService(m_prev); }
        MsgResult show(MsgKind, const QString&, MsgButtons b, int, const QString&) override
        {
            return b == MsgButtons::Ok || b == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
        }

    private:
        MessageService* m_prev = nullptr;
    };
    try {
        job::DailyImportResult r;
        {
            Answers answers;
            TTable clim(QStringLiteral("Climate.DB"));
            clim.setIndexName(QStringLiteral("StaNameIndex"));
            clim.open();
            const bool known = clim.findKey({req.stationName.trimmed()});
            const QString name = known ? clim.field(QStringLiteral("Station Name")).asString() : QString();
            const QString no = known ? clim.field(QStringLiteral("Station No")).asString() : QString();
            clim.close();
            if (known && !req.replaceWithoutAsking && job::ReadDailyWeatherSet(name, no).found) {
                Database::close();
                Err(QStringLiteral("the station %1 already has daily weather; give --replace to replace it").arg(name));
                return kRefused;
            }
            r = job::ImportDailyWeather(req);
        }
        Database::close();
        if (!r.imported) {
            Err(r.error);
            if (!r.refused.empty())
                Err(job::RefusedLinesText(r.refused, 50));
            return kRefused;
        }
        Out(r.summary() + QLatin1Char('\n'));
    } catch (const DbError& e) {
        Err(QStringLiteral("the database is damaged or unreadable: %1").arg(e.message()));
        return 3;
    }
    return 0;
}

} // namespace quen::calc
