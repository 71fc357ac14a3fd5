#include "CalcJob.h"

#include "CalcFarm.h"

#include <QVariant>
#include <cmath>
#include <cstdio>

#include "ComputeCrop.h"
#include "JobStore.h"
#include "JsonText.h"
#include "ReferenceET.h"
#include "db/MessageService.h"
#include "db/Table.h"

namespace quen::calc {

namespace {

using json::Months;
using json::Num;
QString JsonString(const QString& s) { return json::String(s); }

QString Flags(const MonthlyFlags& a)
{
    QStringList parts;
    for (int m = 1; m <= 12; ++m)
        parts << (a[m] ? QStringLiteral("true") : QStringLiteral("false"));
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace

QStringList ListJobs()
{
    QStringList names;
    TTable jobs(QStringLiteral("QuenJob.db"));
    jobs.setIndexName(QStringLiteral("JobNameIndex"));
    jobs.open();
    for (jobs.first(); !jobs.eof(); jobs.next())
        names << jobs.field(QStringLiteral("JobName")).asString();
    jobs.close();
    return names;
}

bool LoadJob(const QString& name, CropRunContext& ctx)
{
    JobState jobState;   // the window's save state has no use here
    return job::LoadJob(name, ctx, jobState);
}

QList<CropResult> ComputeJob(CropRunContext& ctx)
{
    // The main program's fetch: the saved crops into the emptied working
    // table, each computed as it is added.
    QList<CropResult> results;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    CropCurveState state;
    JobState jobState;
    CollectingMessages collect;
    try {
        job::FetchCrops(ctx, jobState, state, wk, [&] {
            results.append({ctx, collect.texts});
            collect.texts.clear();
        });
    } catch (...) {
        if (wk.isOpen()) {
            wk.cancel();
            wk.close();
        }
        wk.emptyTable();
        throw;
    }
    wk.close();
    wk.emptyTable();
    return results;
}

namespace {

QString CropsJson(const QList<CropResult>& crops);

} // namespace

QString JobJson(const QString& jobName, const QList<CropResult>& crops)
{
    return QStringLiteral("{\"job\":") + JsonString(jobName) + QStringLiteral(",\"crops\":") + CropsJson(crops)
        + QStringLiteral("}\n");
}

QString JobJson(const QString& jobName, const QList<CropResult>& crops, const CalcFarm& farm)
{
    return QStringLiteral("{\"job\":") + JsonString(jobName) + QStringLiteral(",\"crops\":") + CropsJson(crops)
        + QStringLiteral(",\"farmWater\":") + FarmWaterJson(farm) + QStringLiteral("}\n");
}

namespace {

QString CropsJson(const QList<CropResult>& crops)
{
    QStringList items;
    for (const CropResult& r : crops) {
        const CropRunContext& c = r.ctx;
        QStringList f;
        f << QStringLiteral("\"Crop Name\":") + JsonString(c.CropName);
        f << QStringLiteral("\"Curve Index\":") + QString::number(c.CurveIndex);
        f << QStringLiteral("\"ETMethodIndex\":") + QString::number(c.ETMethodIndex);
        f << QStringLiteral("\"HayFlag\":") + (c.HayFlag ? QStringLiteral("true") : QStringLiteral("false"));
        f << QStringLiteral("\"PctChanceRatio50\":") + Num(c.PctChanceRatio50);
        f << QStringLiteral("\"PctChanceRatio80\":") + Num(c.PctChanceRatio80);
        f << QStringLiteral("\"SeasonMonthFlags\":") + Flags(c.SeasonMonthFlags);
        f << QStringLiteral("\"DailyRefET\":") + Months(c.DailyRefET);
        f << QStringLiteral("\"ShoulderRefET\":") + Months(c.ShoulderRefET);
        f << QStringLiteral("\"MonthlyKc\":") + Months(c.MonthlyKc);
        f << QStringLiteral("\"DailyCropET\":") + Months(c.DailyCropET);
        f << QStringLiteral("\"MonthlyCropET\":") + Months(c.MonthlyCropET);
        f << QStringLiteral("\"EffPrecip50\":") + Months(c.EffPrecip50);
        f << QStringLiteral("\"EffPrecip80\":") + Months(c.EffPrecip80);
        f << QStringLiteral("\"CarryOverUsed50\":") + Months(c.CarryOverUsed50);
        f << QStringLiteral("\"CarryOverUsed80\":") + Months(c.CarryOverUsed80);
        f << QStringLiteral("\"NetIrrReq50\":") + Months(c.NetIrrReq50);
        f << QStringLiteral("\"NetIrrReq80\":") + Months(c.NetIrrReq80);
        f << QStringLiteral("\"PeakDailyET\":") + Months(c.PeakDailyET);
        f << QStringLiteral("\"TotalCropET\":") + Num(c.TotalCropET);
        f << QStringLiteral("\"TotalEffPrecip50\":") + Num(c.TotalEffPrecip50);
        f << QStringLiteral("\"TotalEffPrecip80\":") + Num(c.TotalEffPrecip80);
        f << QStringLiteral("\"TotalNetIrrReq50\":") + Num(c.TotalNetIrrReq50);
        f << QStringLiteral("\"TotalNetIrrReq80\":") + Num(c.TotalNetIrrReq80);
        QStringList msgs;
        for (const QString& m : r.messages)
            msgs << JsonString(m);
        f << QStringLiteral("\"messages\":[") + msgs.join(QLatin1Char(',')) + QLatin1Char(']');
        items << QStringLiteral("{") + f.join(QLatin1Char(',')) + QStringLiteral("}");
    }
    return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace

QString JobText(const QString& jobName, const QList<CropResult>& crops)
{
    static const char* const mon[13] = {"", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QString out = QStringLiteral("Job: %1\n").arg(jobName);
    if (crops.isEmpty())
        out += QStringLiteral("(no crops)\n");
    for (const CropResult& r : crops) {
        const CropRunContext& c = r.ctx;
        out += QStringLiteral("\nCrop: %1   curve index %2   ET method %3   hay %4\n")
                   .arg(c.CropName, QString::number(c.CurveIndex), QString::number(c.ETMethodIndex),
                        c.HayFlag ? QStringLiteral("yes") : QStringLiteral("no"));
        out += QStringLiteral("Plant %1/%2   harvest %3/%4   ratios 50 %: %5  80 %: %6\n")
                   .arg(c.PlantMonth).arg(c.PlantDay).arg(c.HarvestMonth).arg(c.HarvestDay)
                   .arg(c.PctChanceRatio50, 0, 'f', 4).arg(c.PctChanceRatio80, 0, 'f', 4);
        out += QStringLiteral("Mon  Season  RefET   Kc     CropET  CropET   Pe50    Pe80    CO50    CO80    NIR50   NIR80   Peak\n");
        out += QStringLiteral("             in/d           in/d    in       in      in      in      in      in      in      in/d\n");
        for (int m = 1; m <= 12; ++m) {
            const double ref = c.DailyRefET[m] != 0.0 ? c.DailyRefET[m] : c.ShoulderRefET[m];
            out += QStringLiteral("%1  %2  %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13\n")
                       .arg(QString::fromLatin1(mon[m]), -3)
                       .arg(c.SeasonMonthFlags[m] ? "  yes " : "   -  ")
                       .arg(ref, 6, 'f', 3).arg(c.MonthlyKc[m], 6, 'f', 3)
                       .arg(c.DailyCropET[m], 7, 'f', 3).arg(c.MonthlyCropET[m], 7, 'f', 2)
                       .arg(c.EffPrecip50[m], 7, 'f', 2).arg(c.EffPrecip80[m], 7, 'f', 2)
                       .arg(c.CarryOverUsed50[m], 7, 'f', 2).arg(c.CarryOverUsed80[m], 7, 'f', 2)
                       .arg(c.NetIrrReq50[m], 7, 'f', 2).arg(c.NetIrrReq80[m], 7, 'f', 2)
                       .arg(c.PeakDailyET[m], 7, 'f', 3);
        }
        out += QStringLiteral("Totals: crop ET %1 in   Pe50 %2   Pe80 %3   NIR50 %4   NIR80 %5\n")
                   .arg(c.TotalCropET, 0, 'f', 2).arg(c.TotalEffPrecip50, 0, 'f', 2)
                   .arg(c.TotalEffPrecip80, 0, 'f', 2).arg(c.TotalNetIrrReq50, 0, 'f', 2)
                   .arg(c.TotalNetIrrReq80, 0, 'f', 2);
        for (const QString& m : r.messages)
            out += QStringLiteral("Message: %1\n").arg(m);
        if (r.messages.contains(kLatitudeNotCorrect) || r.messages.contains(kLatitudeNotInRange))
            out += QStringLiteral("No results: the station's latitude was refused.\n");
    }
    return out;
}

} // namespace quen::calc
