#include "CalcJob.h"

#include <QVariant>
#include <cmath>
#include <cstdio>

#include "ComputeCrop.h"
#include "db/MessageService.h"
#include "db/Table.h"

namespace quen::calc {

namespace {

// Collects the engine's messages; answers every question with its first button.
class CollectingMessages : public MessageService {
public:
    CollectingMessages() { m_previous = setMessageService(this); }
    ~CollectingMessages() override { setMessageService(m_previous); }
    MsgResult show(MsgKind, const QString& text, MsgButtons buttons, int, const QString&) override
    {
        texts << text;
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    }
    QStringList texts;

private:
    MessageService* m_previous = nullptr;
};

QString Num(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("null");
    return QString::number(v, 'g', 17);
}

QString JsonString(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString Months(const MonthlyValues& a)
{
    QStringList parts;
    for (int m = 1; m <= 12; ++m)
        parts << Num(a[m]);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

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
    ctx.reset();
    TTable jobs(QStringLiteral("QuenJob.db"));
    jobs.open();
    if (jobs.isEmpty() || !jobs.locate(QStringLiteral("JobName"), name)) {
        jobs.close();
        return false;
    }
    auto s = [&](const char* f) { return jobs.field(QString::fromLatin1(f)).asString(); };
    auto d = [&](const char* f) { return jobs.field(QString::fromLatin1(f)).asFloat(); };
    ctx.JobName = s("JobName");
    ctx.WeatherStationName = s("Weather Station");
    ctx.JobNumber = jobs.field(QStringLiteral("JobNumber")).asInteger();
    ctx.JobLocation = s("Location");
    ctx.JobPlanner = s("Planner");
    ctx.JobDate = s("Job Date");
    ctx.JobLandUser = s("LandUser");
    ctx.JobID = s("ID");
    ctx.JobClass = s("JobClass");
    ctx.StationNumber = s("StationNo");
    ctx.County = s("County");
    ctx.Latitude = d("Latitude");
    ctx.Longitude = d("Longitude");
    ctx.Elevation = d("Elevation");
    ctx.ElevationM = ctx.Elevation * 0.3048;
    ctx.CropCounter = jobs.field(QStringLiteral("No of Crops")).asInteger();
    ctx.EffPcpFact50 = d("EffPcpFact50");
    ctx.EffPcpFact80 = d("EffPcpFact80");
    ctx.ETMethodText = s("ETMethod");
    ctx.ETMethodIndex = jobs.field(QStringLiteral("ETIndex")).asInteger();
    ctx.JobFromDatabase = true;
    jobs.close();

    // Station by nearest match on its name (primary index); monthly
    // precipitation and temperature with their metric twins.
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    clim.findNearest({ctx.WeatherStationName});
    ctx.AnnualPrecip = ctx.AnnualPrecipCm = 0.0;
    if (!clim.isEmpty()) {
        for (int m = 1; m <= 12; ++m) {
            ctx.MonthlyPrecip[m] = clim.field(QStringLiteral("P%1").arg(m)).asFloat();
            ctx.MonthlyTemp[m] = clim.field(QStringLiteral("T%1").arg(m)).asFloat();
            ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
            ctx.MonthlyPrecipCm[m] = ctx.MonthlyPrecip[m] * 2.54;
            ctx.AnnualPrecipCm += ctx.MonthlyPrecipCm[m];
            ctx.MonthlyTempC[m] = (ctx.MonthlyTemp[m] - 32.0) * 5.0 / 9.0;
        }
    }
    clim.close();
    return true;
}

QList<CropResult> ComputeJob(CropRunContext& ctx)
{
    QList<CropResult> results;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.emptyTable();

    // The saved crop rows of the job, in table order, compared exactly.
    QList<QList<QPair<QString, QVariant>>> rows;
    {
        TTable saved(QStringLiteral("QuenJobCrop.DB"));
        saved.open();
        for (saved.first(); !saved.eof(); saved.next()) {
            if (saved.field(QStringLiteral("JobName")).asString() != ctx.JobName)
                continue;
            QList<QPair<QString, QVariant>> row;
            for (int i = 0; i < saved.fieldCount(); ++i)
                row.append({saved.fieldName(i), saved.valueAt(i)});
            rows.append(row);
        }
        saved.close();
    }

    CropCurveState state;
    wk.open();
    try {
        for (const auto& row : rows) {
            wk.append();
            int plantMo = 0, plantDay = 0, harvMo = 0, harvDay = 0;
            QString cropName;
            for (const auto& [name, value] : row) {
                QString target = name;
                if (name == QLatin1String("Wetting"))
                    continue;
                if (name == QLatin1String("Job Crop No"))
                    target = QStringLiteral("Crop No");
                else if (name == QLatin1String("JobName"))
                    target = QStringLiteral("Job Name");
                else if (name == QLatin1String("Harv Mo"))
                    target = QStringLiteral("Harvest Mo");
                else if (name == QLatin1String("Harv Day"))
                    target = QStringLiteral("Harvest Day");
                if (!wk.hasField(target))
                    continue;
                wk.field(target).setValue(value);
                if (target == QLatin1String("Plant Mo")) plantMo = value.toInt();
                if (target == QLatin1String("Plant Day")) plantDay = value.toInt();
                if (target == QLatin1String("Harvest Mo")) harvMo = value.toInt();
                if (target == QLatin1String("Harvest Day")) harvDay = value.toInt();
                if (target == QLatin1String("Crop Name")) cropName = value.toString();
            }
            wk.field(QStringLiteral("Beg Dat")).setAsString(QStringLiteral("%1/%2").arg(plantMo).arg(plantDay));
            wk.field(QStringLiteral("End Dat")).setAsString(QStringLiteral("%1/%2").arg(harvMo).arg(harvDay));
            wk.field(QStringLiteral("ET Index")).setAsInteger(ctx.ETMethodIndex);
            wk.post();
            ctx.CropName = cropName;

            CollectingMessages collect;
            ComputeCrop(ctx, state, wk);
            results.append({ctx, collect.texts});
        }
    } catch (...) {
        wk.cancel();
        wk.close();
        wk.emptyTable();
        throw;
    }
    wk.close();
    wk.emptyTable();
    return results;
}

QString JobJson(const QString& jobName, const QList<CropResult>& crops)
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
    return QStringLiteral("{\"job\":") + JsonString(jobName) + QStringLiteral(",\"crops\":[")
        + items.join(QLatin1Char(',')) + QStringLiteral("]}\n");
}

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
                   .arg(c.CropName).arg(c.CurveIndex).arg(c.ETMethodIndex).arg(c.HayFlag ? "yes" : "no");
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
    }
    return out;
}

} // namespace quen::calc
