#include "ComputeCrop.h"

#include <QHash>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Calendar.h"
#include "KcClimate.h"
#include "CropRun.h"
#include "CropCurves.h"
#include "EtMethod.h"
#include "ReferenceDewPoint.h"
#include "ReferenceET.h"
#include "Station.h"
#include "WaterBudget.h"
#include "db/Database.h"
#include "db/DatabaseFiles.h"
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

// The rows of "PcpChance.DB" the probability ratios of the annual
// precipitation are interpolated between, by the key the ratios ask for.
void ReadChanceRows(double annualPrecip, CropInputs& in)
{
    PctChanceRatios(annualPrecip, [&in](int key) {
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
        in.chanceRows[key] = rows;
        return rows;
    });
}

// Appends the daily rows to the open "ETKc.db" in one bulk append: "JDate",
// "Kca", "Kcb", the day's "ETo", "ETc" (in/day), "Mo", "EToM", "ETcM" (mm/day).
// Rows of a curve that failed half way have "ETo" and "ETc" 0 and the rest empty.
void StoreDailyRows(TTable& etkc, const DailyKcRows& rows)
{
    const int n = rows.size();
    if (n == 0)
        return;
    static const QList<int> fields = [&etkc] {
        QList<int> f;
        for (const char* name : {"JDate", "Kca", "Kcb", "ETo", "ETc", "Mo", "EToM", "ETcM"})
            f << etkc.field(QString::fromLatin1(name)).index();
        return f;
    }();
    if (!rows.hasDailyET()) {
        etkc.appendColumns(fields.mid(0, 5), {rows.day.data(), rows.kca.data(), rows.kcb.data(), nullptr, nullptr}, n);
        return;
    }
    const std::vector<double> month(rows.month.begin(), rows.month.end());
    etkc.appendColumns(fields, {rows.day.data(), rows.kca.data(), rows.kcb.data(), rows.eto.data(), rows.etc.data(),
                                month.data(), rows.etoMm.data(), rows.etcMm.data()}, n);
}

} // namespace


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

} // namespace

void ReadCurveParameters(int curveIndex, const QString& curveName, CropInputs& in)
{
    switch (curveIndex) {
    case 0: {
        AnnualBasalCurve& c = in.annualBasal;
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
        break;
    }
    case 1: {
        CurveTable t(QStringLiteral("CrpPeren.DB"), QStringLiteral("CropCurveName"), curveName);
        for (int m = 1; m <= 12; ++m)
            in.perennialBasal.g[m] = t.f(QString::fromLatin1(kMonthAbbrev[m]) + QStringLiteral(" Kc"));
        break;
    }
    case 2: {
        ForageCurve& c = in.forage;
        CurveTable t(QStringLiteral("CrpForag.DB"), QStringLiteral("CropCurveName"), curveName);
        c.hay = t.b(QStringLiteral("Hay"));
        c.hasPkDaysBefore = !t.isNull(QStringLiteral("Pk Days Before Harvest"));
        c.pkDaysBefore = static_cast<int>(t.f(QStringLiteral("Pk Days Before Harvest")));
        c.hasPkPctAfter = !t.isNull(QStringLiteral("Pk % After Harvest (Alf)"));
        c.pkPctAfter = t.f(QStringLiteral("Pk % After Harvest (Alf)"));
        c.lowKc = t.f(QStringLiteral("Low Kc"));
        c.highKc = t.f(QStringLiteral("High Kc"));
        break;
    }
    case 3: {
        static const char* names[21] = {"0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc",
                                        "35 % Kc", "40% Kc", "45% Kc", "50% Kc", "55% Kc", "60% Kc", "65% Kc",
                                        "70% Kc", "75% Kc", "80% Kc", "85% Kc", "90% Kc", "95 % Kc", "100%Kc"};
        CurveTable t(QStringLiteral("CrpBCAnu.DB"), QStringLiteral("CropCurveName"), curveName);
        for (int i = 0; i < 21; ++i)
            in.bcAnnual.K[i + 1] = t.f(QString::fromLatin1(names[i]));
        break;
    }
    case 4: {
        CurveTable t(QStringLiteral("CrpBCPer.DB"), QStringLiteral("CropCurveName"), curveName);
        for (int m = 1; m <= 12; ++m) {
            const QString mon = QString::fromLatin1(kMonthAbbrev[m]);
            in.bcPerennial.A1[m] = t.f(mon + QStringLiteral(" 1 Kc"));
            in.bcPerennial.A15[m] = t.f(mon + QStringLiteral(" 15 Kc"));
        }
        in.bcPerennial.Aend = t.f(QStringLiteral("Dec 31 Kc"));
        break;
    }
    case 5: {
        FAO56Curve& c = in.fao56;
        CurveTable t(QStringLiteral("CrpFAOCurv.DB"), QStringLiteral("CropCurveName1"), curveName);
        c.Kcb = t.f(QStringLiteral("Kcb"));
        c.Kcp = t.f(QStringLiteral("Kcp"));
        c.Kcm = t.f(QStringLiteral("Kcm"));
        c.Fs1 = t.f(QStringLiteral("Fs1"));
        c.Fs2 = t.f(QStringLiteral("Fs2"));
        c.Fs3 = t.f(QStringLiteral("Fs3"));
        in.kcClimate.kcMid = t.f(QStringLiteral("Kcmid"));
        in.kcClimate.kcEnd = t.f(QStringLiteral("Kcend"));
        in.kcClimate.heightM = t.f(QStringLiteral("MaxHeightM"));
        in.kcClimate.on = KcClimateOptionOn();
        break;
    }
    default:
        break;
    }
}

std::vector<int> WettingIntervals(const CropInputs& in)
{
    if (in.curveIndex == 0)
        return {in.daysWetDeveloped, in.daysWetMature};
    if (in.curveIndex == 1 || in.curveIndex == 2)
        return {in.daysWetMature};
    return {};
}

QString WetSoilColumn(const QString& soil)
{
    const QString column = SoilColumn(soil);
    return column.isEmpty() ? QStringLiteral("Silt Loam") : column;
}

CropInputs ReadCropInputs(const CropRunContext& ctx, TTable& wk)
{
    CropInputs in;
    in.monthlyPrecip = ctx.MonthlyPrecip;
    in.annualPrecip = ctx.AnnualPrecip;
    in.etMethodText = ctx.ETMethodText;

    // Station and its wind, humidity and radiation record.
    in.station = ReadStation(ctx.WeatherStationName);
    in.whr = ReadWhr(in.station.whrLocation);

    // Working-crop inputs.
    const RowView crop(wk);
    auto wi = [&](const char* name) { return crop.i(QString::fromLatin1(name)); };
    auto wf = [&](const char* name) { return crop.f(QString::fromLatin1(name)); };
    auto ws = [&](const char* name) { return crop.s(QString::fromLatin1(name)); };
    in.plantMonth = wi("Plant Mo");
    in.plantDay = wi("Plant Day");
    in.harvestMonth = wi("Harvest Mo");
    in.harvestDay = wi("Harvest Day");
    in.cropCurveType = ws("Crop Curve Type");
    in.soil = ws("Soil");
    in.beginDateText = ws("Beg Dat");
    in.endDateText = ws("End Dat");
    in.cut1Month = wi("Cut1Mo");
    in.cut1Day = wi("Cut1Day");
    in.cutEndMonth = wi("CutEndMo");
    in.cutEndDay = wi("CutEndDay");
    in.curveIndex = wi("Curve Index");
    in.curveName = ws("Curve Name");
    in.cuttings = wi("Cuttings");
    in.netIrrDepth = wf("Net Irr");
    in.carryBeg = wf("Carry Beg");
    in.carryEnd = wf("Carry End");
    in.daysWetDeveloped = wi("Dys Wet Developed");
    in.daysWetMature = wi("Dys Wet Mature");
    in.stressFactor = wf("Stress Factor");
    in.sensitive = crop.b(QStringLiteral("Sensitive"));
    in.availableSoilWater = wf("ASW");
    in.fractionWetted = wf("Fraction Wetted");
    in.irrigationType = ws("Irrigation Type");
    in.cropName = ws("Crop Name");
    in.jobName = ws("Job Name");
    in.etMethodIndex = wi("ET Index");

    // Rows of "PcpChance.DB" of the job's annual precipitation.
    ReadChanceRows(ctx.AnnualPrecip, in);

    // System defaults.
    {
        TTable sys(QStringLiteral("SystemDefaults.db"));
        sys.open();
        sys.first();
        if (!sys.isEmpty()) {
            in.peakMethod = sys.field(QStringLiteral("Peak ET Method")).asInteger();
            in.elevationCorrection = sys.field(QStringLiteral("Elevation Correction")).asBoolean();
        }
        sys.close();
    }
    in.referenceDewPoint = ReferenceDewPointOptionOn();

    // Curve of the curve index.
    ReadCurveParameters(in.curveIndex, in.curveName, in);

    // "WetSoil.db": the soil's factors of the wetting intervals the NEH 2
    // curves ask for (an unknown soil is read as Silt Loam).
    const std::vector<int> wetDays = WettingIntervals(in);
    if (!wetDays.empty()) {
        const QString column = WetSoilColumn(in.soil);
        TTable wetSoil(QStringLiteral("WetSoil.db"));
        wetSoil.setIndexName(QStringLiteral("IntervalDaysIndex"));
        wetSoil.open();
        for (int days : wetDays) {
            if (in.wetFactors.count(days))
                continue;
            wetSoil.findNearest({days});
            in.wetFactors[days] = wetSoil.isEmpty() ? 0.0 : wetSoil.field(column).asFloat();
        }
        wetSoil.close();
    }

    // "MoPctDay.db": the rows of the whole degrees of the station's latitude
    // and the next, by nearest match, for a Blaney-Criddle run (Penman-Monteith
    // without the station's wind record is one).
    const bool penmanMonteith = in.etMethodIndex == 2 || in.etMethodIndex == 3;
    if (in.etMethodIndex == 1 || (penmanMonteith && !in.whr.found)) {
        const LatitudeParts lat = SplitLatitudeText(QString::number(RoundHalfUp(in.station.latitude)));
        if (lat.valid) {
            TTable pctDay(QStringLiteral("MoPctDay.db"));
            pctDay.setIndexName(QStringLiteral("LatitudeIndex"));
            pctDay.open();
            for (int degrees : {lat.degrees, lat.degrees + 1}) {
                MonthlyValues row{};
                if (!pctDay.isEmpty()) {
                    pctDay.findNearest({degrees});
                    const RowView r(pctDay);
                    for (int m = 1; m <= 12; ++m)
                        row[m] = r.f(QString::fromLatin1(kMonthAbbrev[m]));
                }
                in.daytimePercents[degrees] = row;
            }
            pctDay.close();
        }
    }
    return in;
}

namespace {

void ComputeCropRun(CropRunContext& ctx, CropCurveState& st, TTable& wk)
{
    // The run's reads of the shared tables see one state of them, and on a
    // SQLite file take its read lock once.
    const ReadSnapshot snapshot;
    // Daily values of an earlier crop never carry into this one.
    st.reset();

    // Computation-details file in the working directory.
    DetailsFile details;

    // Everything the run reads, then the run.
    const CropInputs in = ReadCropInputs(ctx, wk);
    details.write(QByteArrayLiteral("\nPenman-Monteith ETo COMPUTATIONS DETAILS\n\nCrop: ") + in.cropName.toUtf8()
                  + QByteArrayLiteral(",  Job: ") + in.jobName.toUtf8() + QByteArrayLiteral("\n\n"));

    TTable etkc(QStringLiteral("ETKc.db"));
    etkc.emptyTable();
    etkc.open();
    CropResults r;
    try {
        RunCropInto(in, r);
    } catch (...) {
        // The rows computed before the failure are kept, as row-by-row posts kept them.
        st = r.curve;
        CopyResults(in, r, ctx);
        try {
            StoreDailyRows(etkc, r.daily);
        } catch (...) {
        }
        throw;
    }
    st = r.curve;
    StoreDailyRows(etkc, r.daily);
    etkc.close();
    CopyResults(in, r, ctx);

    // Back into the working-crop row.
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

void ComputeCrop(CropRunContext& ctx, CropCurveState& st, TTable& wk)
{
    ComputeCropRun(ctx, st, wk);
}

} // namespace quen
