// make_calc_jobs: fills a database made from the shipped tables with saved
// jobs for comparing quenpm-calc builds: for every shipped station and every
// ET method (1 Blaney-Criddle, 2 Penman-Monteith with NEH 2 curves, 3 FAO-56)
// a job "S<station> M<method>" holding every shipped crop that has a curve of
// that method, with the crop record's dates. The other inputs vary with the
// station and crop (soil, depth, carry-over, wetting days, stress, cuttings)
// so that every branch of the budget and the curves is met. Deterministic:
// the same database each time.
//
//   make_calc_jobs DATABASE [STATIONS]   (STATIONS: only the first n stations)
//
// Prints the job names, one a line.
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>

#include "CropRunContext.h"
#include "JobStore.h"
#include "db/Database.h"
#include "db/MessageService.h"
#include "db/Table.h"

using namespace quen;

namespace {

class Quiet : public MessageService {
public:
    Quiet() { setMessageService(this); }
    MsgResult show(MsgKind, const QString&, MsgButtons buttons, int, const QString&) override
    {
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    }
};

// A working crop of the crop record for the method; false when it has no curve of it.
bool AppendCrop(TTable& wk, TTable& crops, int method, int no, int variant, const QString& job)
{
    const QString bcType = crops.field(QStringLiteral("BC Crop Type")).asString();
    const QString basType = crops.field(QStringLiteral("Bas Crop Type")).asString();
    int index = -1;
    QString curve, type;
    if (method == 1) {
        curve = crops.field(QStringLiteral("BC Crop Curve Name")).asString();
        index = bcType == QLatin1String("Blaney Criddle Annual Crop") ? 3 : 4;
        type = bcType;
    } else if (method == 2) {
        curve = crops.field(QStringLiteral("Bas Crop Curve Name")).asString();
        index = basType == QLatin1String("Field and vegetable crops") ? 0
            : basType == QLatin1String("Perennial and specialty crops") ? 1
            : basType == QLatin1String("Grasses and forage legumes") ? 2 : -1;
        type = basType;
    } else {
        curve = crops.field(QStringLiteral("FAOCropCurveName")).asString();
        index = 5;
        type = QStringLiteral("FAO 56");
    }
    if (curve.isEmpty() || index < 0)
        return false;
    static const char* soils[] = {"Silt Loam", "Clay", "Clay Loam", "Sandy Loam", "Loamy Sand", "Sand", ""};
    static const double depths[] = {3.0, 1.5, 4.25, 0.0, 2.0};
    const int v = variant;
    wk.append();
    wk.field("Crop Name").setAsString(crops.field(QStringLiteral("Cop Name")).asString());
    wk.field("Job Name").setAsString(job);
    wk.field("Crop No").setAsInteger(no);
    wk.field("Crop Curve Type").setAsString(type);
    wk.field("Curve Index").setAsInteger(index);
    wk.field("Curve Name").setAsString(curve);
    wk.field("Net Irr").setAsFloat(depths[v % 5]);
    wk.field("Carry Beg").setAsFloat((v % 3) * 0.5);
    wk.field("Carry End").setAsFloat((v % 4) * 0.25);
    for (const char* f : {"Plant Mo", "Plant Day", "Harvest Mo", "Harvest Day"})
        wk.field(f).setAsInteger(std::max(1, crops.field(QString::fromLatin1(f)).asInteger()));
    wk.field("Beg Dat").setAsString(QStringLiteral("%1/%2").arg(wk.field("Plant Mo").asInteger()).arg(wk.field("Plant Day").asInteger()));
    wk.field("End Dat").setAsString(QStringLiteral("%1/%2").arg(wk.field("Harvest Mo").asInteger()).arg(wk.field("Harvest Day").asInteger()));
    wk.field("Soil").setAsString(QString::fromLatin1(soils[v % 7]));
    wk.field("Cuttings").setAsInteger(1 + v % 4);
    wk.field("Cut1Mo").setAsInteger(5 + v % 2);
    wk.field("Cut1Day").setAsInteger(1 + (v * 7) % 28);
    wk.field("CutEndMo").setAsInteger(8 + v % 2);
    wk.field("CutEndDay").setAsInteger(1 + (v * 11) % 28);
    wk.field("Dys Wet Developed").setAsInteger(3 + v % 10);
    wk.field("Dys Wet Mature").setAsInteger(5 + (v * 3) % 25);
    wk.field("Stress Factor").setAsFloat(v % 5 == 4 ? 0.8 : 1.0);
    wk.field("Fraction Wetted").setAsFloat(v % 3 == 2 ? 0.6 : 1.0);
    wk.field("Sensitive").setAsBoolean(v % 2 == 0);
    wk.field("ASW").setAsFloat(v % 6 == 5 ? 0.5 : 1.0);
    wk.field("ET Index").setAsInteger(method);
    wk.post();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: make_calc_jobs DATABASE [STATIONS]\n");
        return 1;
    }
    Quiet quiet;
    try {
        Database::open(args[0]);
        QStringList stations;
        {
            TTable clim(QStringLiteral("Climate.DB"));
            clim.open();
            for (clim.first(); !clim.eof(); clim.next())
                stations << clim.field(QStringLiteral("Station Name")).asString();
            clim.close();
        }
        const int limit = args.size() > 1 ? args[1].toInt() : int(stations.size());
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        TTable crops(QStringLiteral("QuenCrop.DB"));
        for (int si = 0; si < std::min(limit, int(stations.size())); ++si) {
            for (int method = 1; method <= 3; ++method) {
                CropRunContext ctx;
                JobState jobState;
                {
                    TTable clim(QStringLiteral("Climate.DB"));
                    clim.open();
                    clim.findNearest({stations[si]});
                    job::CopyStation(clim, ctx);
                    clim.close();
                }
                ctx.JobName = QStringLiteral("S%1 M%2").arg(si + 1).arg(method);
                ctx.ETMethodIndex = method;
                ctx.ETMethodText = method == 1 ? QStringLiteral("Blaney Criddle (TR21)")
                    : method == 2             ? QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves")
                                              : QStringLiteral("FAO Penman-Monteith,FAO 56,Table12");
                jobState.JobSaveState = 1;
                wk.emptyTable();
                wk.open();
                crops.open();
                int no = 0, variant = si * 7 + method;
                for (crops.first(); !crops.eof(); crops.next())
                    no += AppendCrop(wk, crops, method, no + 1, variant++, ctx.JobName);
                crops.close();
                wk.close();
                jobState.CropCounter = no;
                if (no == 0)
                    continue;
                job::SaveJob(ctx, jobState);
                std::printf("%s\n", qPrintable(ctx.JobName));
            }
        }
        TTable(QStringLiteral("QuenWkCrop.DB")).emptyTable();
    } catch (const DbError& e) {
        std::fprintf(stderr, "make_calc_jobs: %s\n", qPrintable(e.message()));
        return 2;
    }
    return 0;
}
