#include "ComputeCrop.h"

#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Calendar.h"
#include "CropCurves.h"
#include "EtMethod.h"
#include "ReferenceET.h"
#include "RunMessages.h"
#include "WaterBudget.h"
#include "db/Database.h"
#include "db/DatabaseFiles.h"
#include "db/MessageService.h"
#include "db/Table.h"

namespace quen {

const char* const kMonthAbbrev[13] = {"", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

namespace {

QString M(const char* prefix, int m) { return QString::fromLatin1(prefix) + QString::number(m); }

double F(TTable& t, const QString& name) { return t.field(name).asFloat(); }

// Field positions of a table by name, built once per table.
const QHash<QString, int>& FieldPositions(TTable& t)
{
    static QHash<QString, QHash<QString, int>> cache;
    auto it = cache.find(t.tableName());
    if (it == cache.end()) {
        QHash<QString, int> positions;
        for (int i = 0; i < t.fieldCount(); ++i)
            positions.insert(t.fieldName(i), i);
        it = cache.insert(t.tableName(), positions);
    }
    return *it;
}

// The current row of a handle, read once, with its fields by name.
class RowView {
public:
    explicit RowView(TTable& t) : m_pos(FieldPositions(t))
    {
        if (!t.isEmpty())
            m_values = t.rowValues();
    }
    const QVariant& value(const QString& name) const
    {
        static const QVariant none;
        const int i = m_pos.value(name, -1);
        if (i < 0 && !m_values.isEmpty())
            throw DbError(QStringLiteral("Field '%1' not found.").arg(name));
        return i >= 0 && i < m_values.size() ? m_values[i] : none;
    }
    // By field position (see Positions), for the fields read in month loops.
    double f(int position) const { return position < m_values.size() ? m_values[position].toDouble() : 0.0; }
    double f(const QString& name) const { return value(name).toDouble(); }
    int i(const QString& name) const { return value(name).toInt(); }
    bool b(const QString& name) const { return value(name).toBool(); }
    QString s(const QString& name) const { return value(name).toString(); }
    bool isNull(const QString& name) const { return value(name).isNull(); }

private:
    const QHash<QString, int>& m_pos;
    QVariantList m_values;
};

// Values of the located station records used by the computation.
struct StationRecord {
    double latitude = 0, elevationFt = 0;
    MonthlyValues T{}, Tmin{}, Tmax{}, TminC{}, TmaxC{};
    QString whrLocation;
};

struct WhrRecord {
    bool found = false;   // the station's own record; all values 0 without one
    MonthlyValues rhMin{}, rhMax{}, cor{}, u2{}, rs{}, rsm{}, u2m{}, as{}, bs{}, n{};
    QString stationType, stationLoc;
    double stationHeight = 0;
};

// Positions of the fields "<prefix>1".."<prefix>12" of a table, found once.
struct MonthFields {
    int p[13] = {};
    MonthFields(TTable& t, const char* prefix)
    {
        const QHash<QString, int>& pos = FieldPositions(t);
        for (int m = 1; m <= 12; ++m) {
            const QString name = M(prefix, m);
            p[m] = pos.value(name, -1);
            if (p[m] < 0)
                throw DbError(QStringLiteral("Field '%1' not found.").arg(name));
        }
    }
    int operator[](int m) const { return p[m]; }
};

StationRecord ReadStation(const QString& stationName)
{
    StationRecord s;
    TTable clim(QStringLiteral("Climate.DB"));
    static const MonthFields kT(clim, "T"), kTmin(clim, "Tmin"), kTmax(clim, "Tmax"), kTminM(clim, "TminM"),
        kTmaxM(clim, "TmaxM");
    clim.open();
    clim.findNearest({stationName});
    const RowView r(clim);
    clim.close();
    s.latitude = r.f(QStringLiteral("Latitude"));
    s.elevationFt = r.f(QStringLiteral("Elevation"));
    s.whrLocation = r.s(QStringLiteral("WHRLocation"));
    for (int m = 1; m <= 12; ++m) {
        s.T[m] = r.f(kT[m]);
        s.Tmin[m] = r.f(kTmin[m]);
        s.Tmax[m] = r.f(kTmax[m]);
        s.TminC[m] = r.f(kTminM[m]);
        s.TmaxC[m] = r.f(kTmaxM[m]);
    }
    return s;
}

WhrRecord ReadWhr(const QString& location)
{
    WhrRecord w;
    TTable t(QStringLiteral("ClimWHR.DB"));
    static const MonthFields kRHmin(t, "RHmin"), kRHmax(t, "RHmax"), kCor(t, "Cor"), kU2(t, "U2"), kRs(t, "Rs"),
        kRsm(t, "Rsm"), kU2m(t, "U2m"), kAs(t, "As"), kBs(t, "Bs"), kN(t, "N");
    t.open();
    w.found = FindWhrRecord(t, location);
    if (!w.found) {
        t.close();
        return w;
    }
    const RowView r(t);
    t.close();
    for (int m = 1; m <= 12; ++m) {
        w.rhMin[m] = r.f(kRHmin[m]);
        w.rhMax[m] = r.f(kRHmax[m]);
        w.cor[m] = r.f(kCor[m]);
        w.u2[m] = r.f(kU2[m]);
        w.rs[m] = r.f(kRs[m]);
        w.rsm[m] = r.f(kRsm[m]);
        w.u2m[m] = r.f(kU2m[m]);
        w.as[m] = r.f(kAs[m]);
        w.bs[m] = r.f(kBs[m]);
        w.n[m] = r.f(kN[m]);
    }
    w.stationType = r.s(QStringLiteral("StationType"));
    w.stationLoc = r.s(QStringLiteral("StationLoc"));
    w.stationHeight = r.f(QStringLiteral("StationHeight"));
    return w;
}

// Opens a curve table on an index and positions it on the curve name.
class CurveTable {
public:
    CurveTable(const QString& table, const QString& index, const QString& key) : m_t(table), m_row(open(index, key))
    {
        m_t.close();
    }
    double f(const QString& name) { return m_row.f(name); }
    bool isNull(const QString& name) { return m_row.isNull(name); }
    QString s(const QString& name) { return m_row.s(name); }
    bool b(const QString& name) { return m_row.b(name); }

private:
    TTable& open(const QString& index, const QString& key)
    {
        m_t.setIndexName(index);
        m_t.open();
        m_t.findNearest({key});
        return m_t;
    }
    TTable m_t;
    RowView m_row;
};

RatioPair ReadChanceRatios(double annualPrecip)
{
    return PctChanceRatios(annualPrecip, [](int key) {
        TTable t(QStringLiteral("PcpChance.DB"));
        t.setIndexName(QStringLiteral("AnPrecip"));
        t.open();
        std::pair<PcpChanceRow, PcpChanceRow> rows;
        t.findNearest({key});   // on an empty table nothing moves
        if (!t.isEmpty()) {
            rows.first = {F(t, QStringLiteral("AnPcp")), F(t, QStringLiteral("Pct50")), F(t, QStringLiteral("Pct80"))};
            t.prior();
            rows.second = {F(t, QStringLiteral("AnPcp")), F(t, QStringLiteral("Pct50")), F(t, QStringLiteral("Pct80"))};
        }
        t.close();
        return rows;
    });
}

void ComputeCropRun(CropRunContext& ctx, CropCurveState& st, TTable& wk, HeldDailyRows* held);

// Appends the daily rows to the open "ETKc.db" in one bulk append:
// "JDate", "Kca", "Kcb", with "ETo" and "ETc" 0 ("Mo", "EToM", "ETcM" stay empty).
void StoreDailyRows(TTable& etkc, const DailyKcRows& rows)
{
    const int n = rows.size();
    if (n == 0)
        return;
    static const QList<int> fields = [&etkc] {
        QList<int> f;
        for (const char* name : {"JDate", "Kca", "Kcb", "ETo", "ETc"})
            f << etkc.field(QString::fromLatin1(name)).index();
        return f;
    }();
    etkc.appendColumns(fields, {rows.day.data(), rows.kca.data(), rows.kcb.data(), nullptr, nullptr}, n);
}

} // namespace

void ComputeCrop(CropRunContext& ctx, CropCurveState& st, TTable& wk)
{
    ComputeCropRun(ctx, st, wk, nullptr);
}

void ComputeCrop(CropRunContext& ctx, CropCurveState& st, TTable& wk, HeldDailyRows& held)
{
    ComputeCropRun(ctx, st, wk, &held);
}

void StoreHeldDailyRows(HeldDailyRows& held)
{
    if (!held.held)
        return;
    TTable etkc(QStringLiteral("ETKc.db"));
    etkc.emptyTable();
    etkc.open();
    StoreDailyRows(etkc, held.rows);
    etkc.close();
}

namespace {

// "FAO56.txt" in the working directory.
//
// Rewritten in place and cut to its new length rather than truncated to zero
// first: ext4 flushes a file truncated to zero when it is closed, which made
// every crop of a fetched job wait on the disk. Written with the system calls
// themselves: one open, write and close per run, and a cut when the older
// text was longer.
//
// Only a plain file of its own is rewritten in place (a regular file with one
// link, opened without following a symbolic link and checked to be the one
// looked at). When a symbolic or hard link, or anything else, has been put in
// its place, nothing is written through it: a new file is made beside it and
// renamed over the name. The database and its side files are never touched.
class DetailsFile {
public:
    DetailsFile() { open(); }
    ~DetailsFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temp.isEmpty())
            ::unlink(m_temp.constData());
    }
    DetailsFile(const DetailsFile&) = delete;
    DetailsFile& operator=(const DetailsFile&) = delete;

    // Writes the whole text and closes the file (a new one then takes the name).
    void write(const QByteArray& text)
    {
        if (m_fd < 0)
            return;
        qsizetype written = 0;
        while (written < text.size()) {
            const ssize_t n = ::write(m_fd, text.constData() + written, size_t(text.size() - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            written += n;
        }
        // Cut only when an older text was longer (a cut to the same length
        // still costs the file system a metadata update).
        struct stat info {};
        if (m_temp.isEmpty() && ::fstat(m_fd, &info) == 0 && info.st_size > off_t(written)
            && ::ftruncate(m_fd, off_t(written)) != 0) {
            // The file keeps the rest of an older, longer text: harmless, as
            // nothing reads it back.
        }
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        if (!m_temp.isEmpty()) {
            if (closed && written == text.size() && ::rename(m_temp.constData(), kName) == 0)
                m_temp.clear();
            else
                ::unlink(m_temp.constData());
            m_temp.clear();
        }
    }

private:
    static constexpr const char* kName = "FAO56.txt";

    // The database can have that name only when its own file is called so.
    static bool mayBeDatabase()
    {
        const QString db = Database::isOpen() ? Database::path() : QString();
        return db.isEmpty() || db.endsWith(QLatin1String(kName)) ? isDatabaseFile(QString::fromLatin1(kName)) : false;
    }

    void open()
    {
        struct stat named {};
        if (::lstat(kName, &named) != 0) {
            if (errno == ENOENT) {
                m_fd = ::open(kName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
                if (m_fd >= 0)
                    return;
            }
        } else if (S_ISREG(named.st_mode) && named.st_nlink == 1 && !mayBeDatabase()) {
            const int fd = ::open(kName, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
            struct stat opened {};
            if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1
                && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
                m_fd = fd;
                return;
            }
            if (fd >= 0)
                ::close(fd);
        }
        if (isDatabaseFile(QString::fromLatin1(kName)))
            return;
        // A file of its own, made beside the name and renamed over it.
        QByteArray temp = QByteArrayLiteral("FAO56.txt.XXXXXX");
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0)
            return;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        m_fd = fd;
        m_temp = temp;
    }

    int m_fd = -1;
    QByteArray m_temp;   // the new file, while it is not yet in place
};

void ComputeCropRun(CropRunContext& ctx, CropCurveState& st, TTable& wk, HeldDailyRows* held)
{
    RunMessages once;
    // The run's reads of the shared tables see one state of them, and on a
    // SQLite file take its read lock once.
    const ReadSnapshot snapshot;
    // The hay flag belongs to the crop being computed; only the forage curve sets it.
    ctx.HayFlag = false;
    // Daily values of an earlier crop never carry into this one.
    st.reset();

    // 1. Computation-details file in the working directory.
    DetailsFile details;

    // 2., 3. Station and its wind, humidity and radiation record.
    const StationRecord station = ReadStation(ctx.WeatherStationName);
    const WhrRecord whr = ReadWhr(station.whrLocation);

    // 4. Working-crop inputs.
    const RowView crop(wk);
    auto wi = [&](const char* name) { return crop.i(QString::fromLatin1(name)); };
    auto wf = [&](const char* name) { return crop.f(QString::fromLatin1(name)); };
    auto ws = [&](const char* name) { return crop.s(QString::fromLatin1(name)); };
    ctx.PlantMonth = wi("Plant Mo");
    ctx.PlantDay = wi("Plant Day");
    ctx.HarvestMonth = wi("Harvest Mo");
    ctx.HarvestDay = wi("Harvest Day");
    ctx.SeasonMonthFlags = SeasonMonths(ctx.PlantMonth, ctx.HarvestMonth);
    ctx.CropCurveType = ws("Crop Curve Type");
    ctx.Soil = ws("Soil");
    ctx.BeginDateText = ws("Beg Dat");
    ctx.EndDateText = ws("End Dat");
    ctx.Cut1Month = wi("Cut1Mo");
    ctx.Cut1Day = wi("Cut1Day");
    ctx.CutEndMonth = wi("CutEndMo");
    ctx.CutEndDay = wi("CutEndDay");
    ctx.FirstCuttingText = QString::number(ctx.Cut1Month) + QLatin1Char('/') + QString::number(ctx.Cut1Day);
    ctx.LastCuttingText = QString::number(ctx.CutEndMonth) + QLatin1Char('/') + QString::number(ctx.CutEndDay);
    ctx.CurveIndex = wi("Curve Index");
    ctx.CurveName = ws("Curve Name");
    ctx.Cuttings = wi("Cuttings");
    ctx.NetIrrDepth = wf("Net Irr");
    ctx.CarryBeg = wf("Carry Beg");
    ctx.CarryEnd = wf("Carry End");
    ctx.DaysWetDeveloped = wi("Dys Wet Developed");
    ctx.DaysWetMature = wi("Dys Wet Mature");
    ctx.StressFactor = wf("Stress Factor");
    ctx.Sensitive = crop.b(QStringLiteral("Sensitive"));
    ctx.AvailableSoilWater = wf("ASW");
    ctx.FractionWetted = wf("Fraction Wetted");
    ctx.IrrigationType = ws("Irrigation Type");
    const QString cropName = ws("Crop Name");
    const QString jobName = ws("Job Name");

    // 5. Probability ratios of the station's annual precipitation.
    const RatioPair ratios = ReadChanceRatios(ctx.AnnualPrecip);
    ctx.PctChanceRatio50 = ratios.ratio50;
    ctx.PctChanceRatio80 = ratios.ratio80;

    // 6. Method and system defaults. Penman-Monteith needs the station's own
    // wind, humidity and radiation record; without one the crop is computed
    // by Blaney-Criddle, as the station choice would have decided.
    ctx.ETMethodIndex = wi("ET Index");
    if ((ctx.ETMethodIndex == 2 || ctx.ETMethodIndex == 3) && !whr.found) {
        once.showOnce(MsgKind::Information, kInsufficientClimateData);
        ctx.ETMethodIndex = 1;
        ctx.ETMethodText = kBlaneyCriddleText;
    }
    int peakMethod = 0;
    bool elevationCorrection = false;
    {
        TTable sys(QStringLiteral("SystemDefaults.db"));
        sys.open();
        sys.first();
        if (!sys.isEmpty()) {
            peakMethod = sys.field(QStringLiteral("Peak ET Method")).asInteger();
            elevationCorrection = sys.field(QStringLiteral("Elevation Correction")).asBoolean();
        }
        sys.close();
    }

    // 7. Clear the results; copy the station's monthly values.
    for (MonthlyValues* a : {&ctx.EffPrecip50, &ctx.EffPrecip80, &ctx.NetIrrReq50, &ctx.NetIrrReq80,
                             &ctx.DailyCropET, &ctx.DailyRefET, &ctx.MonthlyKc, &ctx.DailyCropETmm,
                             &ctx.DailyRefETmm, &ctx.ShoulderRefET, &ctx.ShoulderRefETmm, &ctx.MonthlyCropET,
                             &ctx.CarryOverUsed50, &ctx.CarryOverUsed80, &ctx.PeakDailyET})
        a->fill(0.0);
    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyTmin[m] = station.Tmin[m];
        ctx.MonthlyTmax[m] = station.Tmax[m];
        ctx.MonthlyTminC[m] = station.TminC[m];
        ctx.MonthlyTmaxC[m] = station.TmaxC[m];
        ctx.WindU2[m] = whr.u2[m];
        ctx.WindU2m[m] = whr.u2m[m];
        ctx.SolarRs[m] = whr.rs[m];
        ctx.SolarRsm[m] = whr.rsm[m];
        ctx.RHmin[m] = whr.rhMin[m];
        ctx.RHmax[m] = whr.rhMax[m];
    }

    // 8. Lines of "FAO56.txt".
    details.write(QByteArrayLiteral("\nPenman-Monteith ETo COMPUTATIONS DETAILS\n\nCrop: ") + cropName.toUtf8()
                  + QByteArrayLiteral(",  Job: ") + jobName.toUtf8() + QByteArrayLiteral("\n\n"));

    // 9. Daily table: the daily values are gathered in memory and stored in
    // one bulk append after the curve routine.
    TTable etkc(QStringLiteral("ETKc.db"));
    if (!held)
        etkc.emptyTable();
    etkc.open();
    DailyKcRows localRows;
    DailyKcRows& dailyRows = held ? held->rows : localRows;
    if (held)
        held->held = false;
    dailyRows.clear();
    dailyRows.day.reserve(366);
    dailyRows.kca.reserve(366);
    dailyRows.kcb.reserve(366);
    const DailyRowSink sink = [&](int day, double kca, double kcb) {
        dailyRows.day.push_back(day);
        dailyRows.kca.push_back(kca);
        dailyRows.kcb.push_back(kcb);
    };

    // "WetSoil.db" is opened once per run, on the first wetting interval asked for.
    TTable wetSoil(QStringLiteral("WetSoil.db"));
    QHash<int, std::pair<QString, double>> wetRead;   // each interval's row is read once per run
    const WetFactorFn wet = [&](int days) {
        QString column = SoilColumn(ctx.Soil);
        if (column.isEmpty()) {
            messages().show(MsgKind::Error, kSoilNotDesignated);
            column = QStringLiteral("Silt Loam");
        }
        const auto known = wetRead.constFind(days);
        if (known != wetRead.constEnd() && known->first == column)
            return known->second;
        if (!wetSoil.isOpen()) {
            wetSoil.setIndexName(QStringLiteral("IntervalDaysIndex"));
            wetSoil.open();
        }
        wetSoil.findNearest({days});
        const double factor = wetSoil.isEmpty() ? 0.0 : wetSoil.field(column).asFloat();
        wetRead.insert(days, {column, factor});
        return factor;
    };

    // 10. Curve routine of the curve index.
    const QString curveName = ctx.CurveName;
    try {
        switch (ctx.CurveIndex) {
        case 0: {
            AnnualBasalCurve c;
            QString type;
            {
                CurveTable t(QStringLiteral("CrpAnNam.DB"), QStringLiteral("Crop Curve Name"), curveName);
                c.Kcb = t.f(QStringLiteral("Kcb"));
                c.Kcp = t.f(QStringLiteral("Kcp"));
                c.Kcm = t.f(QStringLiteral("Kcm"));
                type = t.s(QStringLiteral("Crop Type"));
            }
            {
                CurveTable t(QStringLiteral("CrpAnTyp.db"), QStringLiteral("CropTypeIndex"), type);
                c.Fs1 = t.f(QStringLiteral("Fs1"));
                c.Fs2 = t.f(QStringLiteral("Fs2"));
                c.Fs3 = t.f(QStringLiteral("Fs3"));
            }
            RunAnnualBasalCurve(ctx, st, c, wet, sink);
            break;
        }
        case 1: {
            PerennialBasalCurve c;
            {
                CurveTable t(QStringLiteral("CrpPeren.DB"), QStringLiteral("CropCurveName"), curveName);
                for (int m = 1; m <= 12; ++m)
                    c.g[m] = t.f(QString::fromLatin1(kMonthAbbrev[m]) + QStringLiteral(" Kc"));
            }
            RunPerennialBasalCurve(ctx, st, c, wet, sink);
            break;
        }
        case 2: {
            ForageCurve c;
            {
                CurveTable t(QStringLiteral("CrpForag.DB"), QStringLiteral("CropCurveName"), curveName);
                c.hay = t.b(QStringLiteral("Hay"));
                c.hasPkDaysBefore = !t.isNull(QStringLiteral("Pk Days Before Harvest"));
                c.pkDaysBefore = static_cast<int>(t.f(QStringLiteral("Pk Days Before Harvest")));
                c.hasPkPctAfter = !t.isNull(QStringLiteral("Pk % After Harvest (Alf)"));
                c.pkPctAfter = t.f(QStringLiteral("Pk % After Harvest (Alf)"));
                c.lowKc = t.f(QStringLiteral("Low Kc"));
                c.highKc = t.f(QStringLiteral("High Kc"));
            }
            RunForageCurve(ctx, st, c, wet, sink);
            break;
        }
        case 3: {
            static const char* names[21] = {"0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc",
                                            "35 % Kc", "40% Kc", "45% Kc", "50% Kc", "55% Kc", "60% Kc", "65% Kc",
                                            "70% Kc", "75% Kc", "80% Kc", "85% Kc", "90% Kc", "95 % Kc", "100%Kc"};
            BCAnnualCurve c;
            {
                CurveTable t(QStringLiteral("CrpBCAnu.DB"), QStringLiteral("CropCurveName"), curveName);
                for (int i = 0; i < 21; ++i)
                    c.K[i + 1] = t.f(QString::fromLatin1(names[i]));
            }
            RunBCAnnualCurve(ctx, st, c, sink);
            break;
        }
        case 4: {
            BCPerennialCurve c;
            {
                CurveTable t(QStringLiteral("CrpBCPer.DB"), QStringLiteral("CropCurveName"), curveName);
                for (int m = 1; m <= 12; ++m) {
                    const QString mon = QString::fromLatin1(kMonthAbbrev[m]);
                    c.A1[m] = t.f(mon + QStringLiteral(" 1 Kc"));
                    c.A15[m] = t.f(mon + QStringLiteral(" 15 Kc"));
                }
                c.Aend = t.f(QStringLiteral("Dec 31 Kc"));
            }
            RunBCPerennialCurve(ctx, st, c, sink);
            break;
        }
        case 5: {
            FAO56Curve c;
            {
                CurveTable t(QStringLiteral("CrpFAOCurv.DB"), QStringLiteral("CropCurveName1"), curveName);
                c.Kcb = t.f(QStringLiteral("Kcb"));
                c.Kcp = t.f(QStringLiteral("Kcp"));
                c.Kcm = t.f(QStringLiteral("Kcm"));
                c.Fs1 = t.f(QStringLiteral("Fs1"));
                c.Fs2 = t.f(QStringLiteral("Fs2"));
                c.Fs3 = t.f(QStringLiteral("Fs3"));
            }
            RunFAO56Curve(ctx, st, c, sink);
            break;
        }
        default:
            break;   // no curve: MonthlyKc stays 0
        }
    } catch (...) {
        // The rows computed before the failure are kept, as row-by-row posts kept them.
        if (held) {
            held->held = true;
            throw;
        }
        try {
            StoreDailyRows(etkc, dailyRows);
        } catch (...) {
        }
        throw;
    }
    if (wetSoil.isOpen())
        wetSoil.close();
    if (held)
        held->held = true;
    else
        StoreDailyRows(etkc, dailyRows);
    etkc.close();

    // 11. Monthly reference and crop ET.
    if (ctx.ETMethodIndex == 1) {
        // Rows of "MoPctDay.db" by nearest match on the whole degrees; each
        // row is read once per run.
        TTable pctDay(QStringLiteral("MoPctDay.db"));
        pctDay.setIndexName(QStringLiteral("LatitudeIndex"));
        QHash<int, MonthlyValues> rowsRead;
        const DaytimeLookup lookup = [&](int degrees, int month) {
            auto it = rowsRead.find(degrees);
            if (it == rowsRead.end()) {
                if (!pctDay.isOpen())
                    pctDay.open();
                MonthlyValues row{};
                if (!pctDay.isEmpty()) {
                    pctDay.findNearest({degrees});
                    const RowView r(pctDay);
                    for (int m = 1; m <= 12; ++m)
                        row[m] = r.f(QString::fromLatin1(kMonthAbbrev[m]));
                }
                it = rowsRead.insert(degrees, row);
            }
            return (*it)[month];
        };
        for (int m = 1; m <= 12; ++m) {
            ctx.ShoulderRefET[m] = ctx.ShoulderRefETmm[m] = 0.0;
            if (ctx.SeasonMonthFlags[m]) {
                BlaneyCriddleInputs in;
                in.month = m;
                in.t = station.T[m];
                in.tPrev = station.T[PrevMonth(m)];
                in.tNext = station.T[NextMonth(m)];
                in.latitude = station.latitude;
                in.elevationFt = station.elevationFt;
                in.elevationCorrection = elevationCorrection;
                in.inSeason = true;
                in.plantMonth = ctx.PlantMonth;
                in.plantDay = ctx.PlantDay;
                in.harvestMonth = ctx.HarvestMonth;
                in.harvestDay = ctx.HarvestDay;
                ctx.DailyRefET[m] = BlaneyCriddleRate(in, lookup, &once);
                ctx.DailyCropET[m] = ctx.DailyRefET[m] * ctx.MonthlyKc[m];
            } else {
                ctx.DailyRefET[m] = ctx.DailyCropET[m] = 0.0;
            }
            ctx.DailyRefETmm[m] = ctx.DailyRefET[m] * 25.4;
            ctx.DailyCropETmm[m] = ctx.DailyCropET[m] * 25.4;
        }
        if (pctDay.isOpen())
            pctDay.close();
    } else if (ctx.ETMethodIndex == 2 || ctx.ETMethodIndex == 3) {
        const double phi = LatitudeRadians(station.latitude, &once);
        const MonthlyValues meanC = MonthlyMeanTempC(station.Tmin, station.Tmax);
        const int before = PrevMonth(WrapMonth(ctx.PlantMonth));
        const int after = NextMonth(WrapMonth(ctx.HarvestMonth));
        // Station and latitude terms once per run, then the months.
        const PenmanMonteithStation pmStation =
            PenmanMonteithStationTerms(station.elevationFt, whr.stationType, whr.stationHeight, whr.stationLoc);
        const PenmanMonteithLatitude pmLatitude = PenmanMonteithLatitudeTerms(phi);
        for (int m = 1; m <= 12; ++m) {
            PenmanMonteithMonth in;
            in.tminF = station.Tmin[m];
            in.tmaxF = station.Tmax[m];
            in.windMph = whr.u2[m];
            in.rsLangleys = whr.rs[m];
            in.rhMin = whr.rhMin[m];
            in.rhMax = whr.rhMax[m];
            in.as = whr.as[m];
            in.bs = whr.bs[m];
            in.sunshineHours = whr.n[m];
            in.cor = whr.cor[m];
            const double eto = PenmanMonteithETo(m, pmStation, pmLatitude, meanC, in);
            if (m == before || m == after) {
                ctx.ShoulderRefETmm[m] = eto;
                ctx.ShoulderRefET[m] = eto * 0.03936996;
            } else {
                ctx.ShoulderRefETmm[m] = ctx.ShoulderRefET[m] = 0.0;
            }
            if (ctx.SeasonMonthFlags[m]) {
                ctx.DailyRefETmm[m] = eto;
                ctx.DailyCropETmm[m] = eto * ctx.MonthlyKc[m];
                ctx.DailyRefET[m] = ctx.DailyRefETmm[m] * 0.03936996;
                ctx.DailyCropET[m] = ctx.DailyCropETmm[m] * 0.03936996;
            } else {
                ctx.DailyRefETmm[m] = ctx.DailyCropETmm[m] = ctx.DailyRefET[m] = ctx.DailyCropET[m] = 0.0;
            }
        }
    }

    // A refused latitude ("FATAL Error: Latitude not correct" or "... not
    // within range") yields no reference ET: the error value -1 would give
    // negative crop ET and requirements. The crop's results stay empty (the
    // budget arrays were cleared in step 7); the crop curve is kept.
    const bool latitudeRefused = once.wasShown(kLatitudeNotCorrect) || once.wasShown(kLatitudeNotInRange);
    if (latitudeRefused) {
        for (MonthlyValues* a : {&ctx.DailyRefET, &ctx.DailyRefETmm, &ctx.DailyCropET, &ctx.DailyCropETmm,
                                 &ctx.ShoulderRefET, &ctx.ShoulderRefETmm})
            a->fill(0.0);
    }

    // 12. Season months again.
    ctx.SeasonMonthFlags = SeasonMonths(ctx.PlantMonth, ctx.HarvestMonth);

    // 13. Water budget.
    if (!latitudeRefused)
        RunWaterBudget(ctx, peakMethod);

    // 14. Totals.
    ctx.TotalCropET = ctx.TotalEffPrecip50 = ctx.TotalEffPrecip80 = 0.0;
    ctx.TotalNetIrrReq50 = ctx.TotalNetIrrReq80 = 0.0;
    for (int m = 1; m <= 12; ++m) {
        ctx.TotalCropET += ctx.MonthlyCropET[m];
        ctx.TotalEffPrecip50 += ctx.EffPrecip50[m];
        ctx.TotalEffPrecip80 += ctx.EffPrecip80[m];
        ctx.TotalNetIrrReq50 += ctx.NetIrrReq50[m];
        ctx.TotalNetIrrReq80 += ctx.NetIrrReq80[m];
    }

    // 15. Back into the working-crop row.
    static const struct WriteBackNames {
        QString ir[13], pk[13];
        WriteBackNames()
        {
            for (int m = 1; m <= 12; ++m) {
                ir[m] = QStringLiteral("IR ") + QString::fromLatin1(kMonthAbbrev[m]);
                pk[m] = QStringLiteral("Pk ") + QString::fromLatin1(kMonthAbbrev[m]);
            }
        }
    } kWriteBack;
    const QHash<QString, int>& pos = FieldPositions(wk);
    wk.edit();
    for (int m = 1; m <= 12; ++m) {
        wk.setValueAt(pos.value(kWriteBack.ir[m]), ctx.NetIrrReq50[m]);
        wk.setValueAt(pos.value(kWriteBack.pk[m]), ctx.PeakDailyET[m]);
    }
    wk.setValueAt(pos.value(QStringLiteral("IR Season")), ctx.TotalNetIrrReq50);
    wk.setValueAt(pos.value(QStringLiteral("Hay")), ctx.HayFlag);
    wk.post();
}

} // namespace

void ComputeMetricResults(CropRunContext& c)
{
    for (int m = 1; m <= 12; ++m) {
        c.MonthlyPrecipCm[m] = c.MonthlyPrecip[m] * 2.54;
        c.MonthlyTempC[m] = (c.MonthlyTemp[m] - 32.0) * 5.0 / 9.0;
        c.MonthlyCropETcm[m] = c.MonthlyCropET[m] * 2.54;
        c.EffPrecip50cm[m] = c.EffPrecip50[m] * 2.54;
        c.EffPrecip80cm[m] = c.EffPrecip80[m] * 2.54;
        c.NetIrrReq50cm[m] = c.NetIrrReq50[m] * 2.54;
        c.NetIrrReq80cm[m] = c.NetIrrReq80[m] * 2.54;
        c.CarryOverUsed50cm[m] = c.CarryOverUsed50[m] * 2.54;
        c.CarryOverUsed80cm[m] = c.CarryOverUsed80[m] * 2.54;
        c.PeakDailyETmm[m] = c.PeakDailyET[m] * 25.4;
    }
    c.AnnualPrecipCm = c.AnnualPrecip * 2.54;
    c.TotalEffPrecip50cm = c.TotalEffPrecip50 * 2.54;
    c.TotalEffPrecip80cm = c.TotalEffPrecip80 * 2.54;
    c.TotalNetIrrReq50cm = c.TotalNetIrrReq50 * 2.54;
    c.TotalNetIrrReq80cm = c.TotalNetIrrReq80 * 2.54;
    c.TotalCropETcm = c.TotalCropET * 2.54;
    c.NetIrrDepthCm = c.NetIrrDepth * 2.54;
    c.CarryBegCm = c.CarryBeg * 2.54;
    c.CarryEndCm = c.CarryEnd * 2.54;
}

} // namespace quen
