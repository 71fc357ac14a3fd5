#include "FieldBatch.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <map>
#include <thread>

#include "ComputeCrop.h"
#include "FarmStore.h"
#include "CropCurves.h"
#include "CropSetup.h"
#include "IrrigationTypes.h"
#include "KcClimate.h"
#include "ReferenceET.h"
#include "Calendar.h"
#include "db/DbError.h"
#include "db/MessageService.h"
#include "db/Table.h"

namespace quen::job {

namespace {

enum class Kind { Text, Number, Flag };

struct Column {
    const char* name;
    Kind kind;
    bool crop;   // a field of the crop ("crops[0]") rather than of the job
};

const Column kColumns[] = {
    {"id", Kind::Text, false},
    {"latitude", Kind::Number, false},
    {"longitude", Kind::Number, false},
    {"station", Kind::Text, false},
    {"elevation", Kind::Number, false},
    {"etMethod", Kind::Text, false},
    {"crop", Kind::Text, true},
    {"plantingDate", Kind::Text, true},
    {"harvestDate", Kind::Text, true},
    {"netIrrigationDepth", Kind::Number, true},
    {"carryOverBegin", Kind::Number, true},
    {"carryOverEnd", Kind::Number, true},
    {"soil", Kind::Text, true},
    {"irrigationType", Kind::Text, true},
    {"fractionWetted", Kind::Number, true},
    {"wettingDaysDevelopment", Kind::Number, true},
    {"wettingDaysMaturation", Kind::Number, true},
    {"stressFactor", Kind::Number, true},
    {"availableSoilWater", Kind::Number, true},
    {"sensitive", Kind::Flag, true},
    {"cuttings", Kind::Number, true},
    {"firstCuttingDate", Kind::Text, true},
    {"lastCuttingDate", Kind::Text, true},
    {"irrigatedArea", Kind::Number, true},
    {"applicationEfficiency", Kind::Number, true},
    {"salinityThreshold", Kind::Number, true},
    {"conveyanceEfficiency", Kind::Number, false},
    {"operatingHours", Kind::Number, false},
    {"waterSalinity", Kind::Number, false},
};

const Column* ColumnOf(const QString& name)
{
    for (const Column& c : kColumns)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString Where(int line, int column, const QString& columnName = QString(), const QString& caption = QString())
{
    QString w = QStringLiteral("line %1").arg(line);
    if (column > 0) {
        w += QStringLiteral(", column %1").arg(column);
        if (!columnName.isEmpty())
            w += caption.isEmpty() || caption == columnName
                ? QStringLiteral(" (%1)").arg(columnName)
                : QStringLiteral(" (%1, \"%2\")").arg(columnName, caption);
    }
    return w;
}

// The cells of one line of CSV text (RFC 4180, a quoted value kept on its
// line: a field batch has no value that runs over lines); false with the
// reason and the column it is about.
bool SplitLine(const QString& line, QStringList& cells, QString& problem, int& column)
{
    cells.clear();
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        column = int(cells.size()) + 1;
        while (i < n && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
            ++i;
        QString cell;
        if (i < n && line[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        cell += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                cell += line[i++];
            }
            if (!closed) {
                problem = QStringLiteral("the quote that opens this value is not closed on its line");
                return false;
            }
            while (i < n && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
                ++i;
            if (i < n && line[i] != QLatin1Char(',')) {
                problem = QStringLiteral("a quoted value is followed by text before the next comma");
                return false;
            }
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != QLatin1Char(',')) {
                if (line[i] == QLatin1Char('"')) {
                    problem = QStringLiteral("a quote inside a value that does not begin with one "
                                             "(quote the whole value and write the quote twice)");
                    return false;
                }
                ++i;
            }
            cell = line.mid(start, i - start).trimmed();
        }
        cells << cell;
        if (i >= n)
            return true;
        ++i;   // the comma
    }
}

bool AllEmpty(const QStringList& cells)
{
    for (const QString& c : cells)
        if (!c.isEmpty())
            return false;
    return true;
}

// ---- The rows the computation reads ------------------------------------------

struct Curve {
    AnnualBasalCurve annualBasal;
    PerennialBasalCurve perennialBasal;
    ForageCurve forage;
    BCAnnualCurve bcAnnual;
    BCPerennialCurve bcPerennial;
    FAO56Curve fao56;
    double kcMid = 0, kcEnd = 0, heightM = 0;
};

// The curve of a curve index as the crop run reads it (ComputeCrop's
// ReadCropInputs reads the same rows of the same tables).
Curve ReadCurve(int index, const QString& curveName)
{
    CropInputs in;
    ReadCurveParameters(index, curveName, in);
    Curve c;
    c.annualBasal = in.annualBasal;
    c.perennialBasal = in.perennialBasal;
    c.forage = in.forage;
    c.bcAnnual = in.bcAnnual;
    c.bcPerennial = in.bcPerennial;
    c.fao56 = in.fao56;
    c.kcMid = in.kcClimate.kcMid;
    c.kcEnd = in.kcClimate.kcEnd;
    c.heightM = in.kcClimate.heightM;
    return c;
}

// The job's climate as "Get New Climate" leaves it for one station and
// method choice, and what every crop of that job reads of its station.
struct Climate {
    JobFileError error;
    CropRunContext ctx;
    JobFileStation note;
    QStringList notes;
    CropInputs base;   // station, wind record, system defaults, "PcpChance.DB" rows
};

// The engine's messages of the field the calling thread computes.
thread_local QStringList* t_messages = nullptr;

class RoutedMessages : public MessageService {
public:
    RoutedMessages() { m_previous = setMessageService(this); }
    ~RoutedMessages() override { setMessageService(m_previous); }
    MsgResult show(MsgKind kind, const QString& text, MsgButtons buttons, int help, const QString& caption) override
    {
        if (!t_messages)
        {
            if (m_previous)
                return m_previous->show(kind, text, buttons, help, caption);
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
        }
        t_messages->append(text);
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    }

private:
    MessageService* m_previous = nullptr;
};

struct Prepared {
    bool ready = false;
    CropInputs in;
    bool farm = false;             // the field has an irrigated area
    FarmJobInput farmJob;
    FarmCropInput farmCrop;        // its monthly requirements filled in by the run
};

} // namespace

const QStringList& FieldBatchColumns()
{
    static const QStringList names = [] {
        QStringList l;
        for (const Column& c : kColumns)
            l << QString::fromLatin1(c.name);
        return l;
    }();
    return names;
}

JobFileError ReadFieldTable(const QByteArray& withMark, FieldTable& table)
{
    table = FieldTable{};
    const QByteArray bytes = withMark.startsWith("\xEF\xBB\xBF") ? withMark.mid(3) : withMark;
    const QString text = QString::fromUtf8(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    auto refuse = [](int line, int column, const QString& message) {
        JobFileError e;
        e.line = line;
        e.column = column;
        e.message = message;
        return e;
    };
    int headerLine = 0;
    while (headerLine < lines.size() && lines[headerLine].trimmed().isEmpty())
        ++headerLine;
    if (headerLine >= lines.size())
        return refuse(0, 0, QStringLiteral("the file is empty: its first line names the columns (%1)")
                                .arg(FieldBatchColumns().join(QStringLiteral(", "))));
    QString problem;
    int column = 0;
    QStringList header;
    if (!SplitLine(lines[headerLine], header, problem, column))
        return refuse(headerLine + 1, column, problem);
    for (int i = 0; i < header.size(); ++i) {
        const QString& name = header[i];
        if (!ColumnOf(name)) {
            QString near;
            for (const QString& known : FieldBatchColumns())
                if (known.compare(name, Qt::CaseInsensitive) == 0)
                    near = QStringLiteral(" (there is \"%1\")").arg(known);
            return refuse(headerLine + 1, i + 1,
                          name.isEmpty() ? QStringLiteral("a column without a name")
                                         : QStringLiteral("unknown column \"%1\"%2; the columns are %3")
                                               .arg(name, near, FieldBatchColumns().join(QStringLiteral(", "))));
        }
        if (header.indexOf(name) != i)
            return refuse(headerLine + 1, i + 1,
                          QStringLiteral("the column \"%1\" is already column %2").arg(name).arg(header.indexOf(name) + 1));
    }
    for (const char* required : {"id", "crop"})
        if (!header.contains(QLatin1String(required)))
            return refuse(headerLine + 1, 0, QStringLiteral("no column \"%1\"").arg(QLatin1String(required)));
    const bool lat = header.contains(QLatin1String("latitude")), lon = header.contains(QLatin1String("longitude"));
    if (lat != lon)
        return refuse(headerLine + 1, 0, QStringLiteral("\"latitude\" and \"longitude\" come together"));
    if (!lat && !header.contains(QLatin1String("station")))
        return refuse(headerLine + 1, 0, QStringLiteral("no column \"latitude\" and \"longitude\" or \"station\""));
    table.columns = header;

    const int idColumn = int(header.indexOf(QLatin1String("id")));
    QStringList cells;
    for (int i = headerLine + 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        FieldRow row;
        row.line = i + 1;
        if (!SplitLine(lines[i], cells, problem, column)) {
            row.error = Where(row.line, column, column <= header.size() ? header[column - 1] : QString())
                + QStringLiteral(": ") + problem;
            // The id, when the cells before the fault hold it.
            if (idColumn < cells.size())
                row.id = cells[idColumn];
            table.rows << row;
            continue;
        }
        if (AllEmpty(cells))
            continue;
        for (int c = int(header.size()); c < cells.size(); ++c)
            if (!cells[c].isEmpty()) {
                row.error = Where(row.line, c + 1)
                    + QStringLiteral(": a value beyond the %1 columns of the header").arg(header.size());
                break;
            }
        while (cells.size() < header.size())
            cells << QString();
        cells = cells.mid(0, header.size());
        row.id = cells[idColumn];
        row.cells = cells;
        table.rows << row;
    }
    return {};
}

struct FieldBatch::Tables {
    JobFileStations stations;
    QList<mainprog::CropRecord> crops;                 // "QuenCrop.DB" in its order
    QHash<QString, int> cropIndex;                     // exact "Cop Name" -> first row
    QHash<QString, QVariant> local;                    // first row of "LocalDefaults.db"
    bool localEmpty = true;
    double springPct = 0, fallPct = 0;                 // "Spring Carryover %", "Fall Carryover %"
    bool kcClimateOn = false;
    std::map<std::pair<QString, int>, Climate> climates;              // station, method (0: the default)
    std::map<std::pair<int, QString>, Curve> curves;                  // curve index, name
    std::map<std::pair<QString, int>, double> wetFactors;             // soil column, days
    std::map<int, MonthlyValues> daytime;                             // whole degrees
    std::optional<FarmJobInput> farmDefaults;                         // "FarmDefaults.db"
    QHash<QString, double> applicationEff;                            // irrigation type -> Ea
    QHash<QString, double> salinityThreshold;                         // crop -> ECe

    const Climate& climate(const QString& station, std::optional<int> method);
    const Curve& curve(int index, const QString& name);
    double wetFactor(const QString& column, int days);
    const MonthlyValues& daytimePercents(int degrees);
};

const Climate& FieldBatch::Tables::climate(const QString& station, std::optional<int> method)
{
    const auto key = std::make_pair(station, method.value_or(0));
    auto it = climates.find(key);
    if (it != climates.end())
        return it->second;
    Climate c;
    JobFile file;
    file.name = QStringLiteral("batch");
    file.stationName = station;
    file.etMethod = method;
    QStringList notes;
    t_messages = &notes;
    c.error = TakeJobFileClimate(file, stations, c.ctx, &c.note);
    c.ctx.JobName = file.name;
    if (!c.error.failed()) {
        // What any crop of the job reads of its station: ReadCropInputs on a
        // working crop table without a row.
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        wk.emptyTable();
        wk.open();
        c.base = ReadCropInputs(c.ctx, wk);
        wk.close();
    }
    t_messages = nullptr;
    c.notes = notes;
    return climates.emplace(key, std::move(c)).first->second;
}

const Curve& FieldBatch::Tables::curve(int index, const QString& name)
{
    const auto key = std::make_pair(index, name);
    auto it = curves.find(key);
    if (it == curves.end())
        it = curves.emplace(key, ReadCurve(index, name)).first;
    return it->second;
}

double FieldBatch::Tables::wetFactor(const QString& column, int days)
{
    const auto key = std::make_pair(column, days);
    auto it = wetFactors.find(key);
    if (it != wetFactors.end())
        return it->second;
    TTable wetSoil(QStringLiteral("WetSoil.db"));
    wetSoil.setIndexName(QStringLiteral("IntervalDaysIndex"));
    wetSoil.open();
    wetSoil.findNearest({days});
    const double f = wetSoil.isEmpty() ? 0.0 : wetSoil.field(column).asFloat();
    wetSoil.close();
    return wetFactors.emplace(key, f).first->second;
}

const MonthlyValues& FieldBatch::Tables::daytimePercents(int degrees)
{
    auto it = daytime.find(degrees);
    if (it != daytime.end())
        return it->second;
    MonthlyValues row{};
    TTable pctDay(QStringLiteral("MoPctDay.db"));
    pctDay.setIndexName(QStringLiteral("LatitudeIndex"));
    pctDay.open();
    if (!pctDay.isEmpty()) {
        pctDay.findNearest({degrees});
        for (int m = 1; m <= 12; ++m)
            row[m] = pctDay.field(QString::fromLatin1(kMonthAbbrev[m])).value().toDouble();
    }
    pctDay.close();
    return daytime.emplace(degrees, row).first->second;
}

FieldBatch::FieldBatch() : m(std::make_unique<Tables>())
{
    TTable crops(QStringLiteral("QuenCrop.DB"));
    crops.open();
    for (crops.first(); !crops.eof(); crops.next()) {
        const mainprog::CropRecord r = mainprog::CropRecord::read(crops);
        if (!m->cropIndex.contains(r.name))
            m->cropIndex.insert(r.name, int(m->crops.size()));
        m->crops << r;
    }
    crops.close();
    TTable loc(QStringLiteral("LocalDefaults.db"));
    loc.open();
    loc.first();
    m->localEmpty = loc.isEmpty();
    if (!m->localEmpty)
        for (int i = 0; i < loc.fieldCount(); ++i)
            m->local.insert(loc.fieldName(i), loc.field(loc.fieldName(i)).value());
    loc.close();
    TTable sys(QStringLiteral("SystemDefaults.db"));
    sys.open();
    sys.first();
    if (!sys.isEmpty()) {
        m->springPct = sys.field(QStringLiteral("Spring Carryover %")).asFloat();
        m->fallPct = sys.field(QStringLiteral("Fall Carryover %")).asFloat();
    }
    sys.close();
    m->kcClimateOn = KcClimateOptionOn();
}

FieldBatch::~FieldBatch() = default;

JobFileError FieldBatch::rowJob(const FieldTable& table, const FieldRow& row, JobFile& file, int& column) const
{
    column = 0;
    auto refuse = [&](const QString& name, const QString& message) {
        column = int(table.columns.indexOf(name)) + 1;
        JobFileError e;
        e.path = name;
        e.field = JobFileCaption(name);
        e.message = message;
        return e;
    };
    auto cell = [&](const char* name) {
        const int i = int(table.columns.indexOf(QLatin1String(name)));
        return i >= 0 && i < row.cells.size() ? row.cells[i] : QString();
    };
    QJsonObject job, crop;
    job.insert(QStringLiteral("name"), QStringLiteral("batch"));
    for (int i = 0; i < table.columns.size() && i < row.cells.size(); ++i) {
        const QString& name = table.columns[i];
        const QString& text = row.cells[i];
        const Column* c = ColumnOf(name);
        if (!c || text.isEmpty() || name == QLatin1String("id") || name == QLatin1String("latitude")
            || name == QLatin1String("longitude") || name == QLatin1String("station"))
            continue;
        QJsonValue v;
        if (c->kind == Kind::Number) {
            bool ok = false;
            const double d = text.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                return refuse(name, QStringLiteral("\"%1\" is not a number").arg(text));
            v = d;
        } else if (c->kind == Kind::Flag) {
            const QString t = text.toLower();
            if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("1"))
                v = true;
            else if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("0"))
                v = false;
            else
                return refuse(name, QStringLiteral("\"%1\" is none of true, false, yes, no, 1, 0").arg(text));
        } else {
            v = text;
        }
        (c->crop ? crop : job).insert(name, v);
    }
    if (!crop.contains(QStringLiteral("crop")))
        return refuse(QStringLiteral("crop"), QStringLiteral("is required"));
    if (!cell("station").isEmpty()) {
        job.insert(QStringLiteral("station"), cell("station"));
    } else {
        QJsonObject at;
        for (const char* name : {"latitude", "longitude"}) {
            const QString text = cell(name);
            if (text.isEmpty())
                return refuse(QLatin1String(name), table.columns.contains(QLatin1String("station"))
                                  ? QStringLiteral("is required when no station is named")
                                  : QStringLiteral("is required"));
            bool ok = false;
            const double d = text.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                return refuse(QLatin1String(name), QStringLiteral("\"%1\" is not a number").arg(text));
            at.insert(QLatin1String(name), d);
        }
        job.insert(QStringLiteral("station"), at);
    }
    job.insert(QStringLiteral("crops"), QJsonArray{crop});
    JobFileError e = ParseJobObject(job, file);
    if (e.failed()) {
        QString key = e.path.section(QLatin1Char('.'), -1);
        if (e.path == QLatin1String("station"))
            key = cell("station").isEmpty() ? QStringLiteral("latitude") : QStringLiteral("station");
        column = int(table.columns.indexOf(key)) + 1;
        e.path = key;
        e.field = JobFileCaption(key);
    }
    return e;
}

QList<FieldOutcome> FieldBatch::compute(const FieldTable& table, int workers,
                                        const std::function<void(int, int)>& progress)
{
    const int total = int(table.rows.size());
    QList<FieldOutcome> out(total);
    std::vector<Prepared> prepared(static_cast<size_t>(total));
    RoutedMessages routed;

    // Each field's inputs, read and seeded on this thread.
    for (int i = 0; i < total; ++i) {
        const FieldRow& row = table.rows[i];
        FieldOutcome& o = out[i];
        o.line = row.line;
        o.id = row.id;
        if (!row.error.isEmpty()) {
            o.error = row.error;
            continue;
        }
        auto fail = [&](const JobFileError& e, int column) {
            const QString name = column > 0 ? table.columns[column - 1] : QString();
            o.error = Where(row.line, column, name, e.field) + QStringLiteral(": ") + e.message;
        };
        JobFile file;
        int column = 0;
        if (const JobFileError e = rowJob(table, row, file, column); e.failed()) {
            fail(e, column);
            continue;
        }
        QString stationName;
        double distance = 0.0;
        if (const JobFileError e = m->stations.choose(file, stationName, distance); e.failed()) {
            const QString key = e.path == QLatin1String("station")
                ? (file.stationByPosition ? QStringLiteral("latitude") : QStringLiteral("station"))
                : e.path;
            fail(e, int(table.columns.indexOf(key)) + 1);
            continue;
        }
        const Climate& climate = m->climate(stationName, file.etMethod);
        if (climate.error.failed()) {
            fail(climate.error, int(table.columns.indexOf(climate.error.path)) + 1);
            continue;
        }
        o.station = stationName;
        const int latColumn = int(table.columns.indexOf(QStringLiteral("latitude")));
        const int lonColumn = int(table.columns.indexOf(QStringLiteral("longitude")));
        if (file.stationByPosition) {
            o.distanceKm = distance;
        } else if (latColumn >= 0 && !row.cells[latColumn].isEmpty() && !row.cells[lonColumn].isEmpty()) {
            // A named station and the field's position: how far the field is from it.
            bool okLat = false, okLon = false;
            const double lat = row.cells[latColumn].toDouble(&okLat), lon = row.cells[lonColumn].toDouble(&okLon);
            double d = 0.0;
            if (okLat && okLon && std::fabs(lat) <= 90 && std::fabs(lon) <= 180
                && m->stations.distanceTo(stationName, lat, lon, d))
                o.distanceKm = d;
        }
        if (file.elevation)
            o.elevationDiffFt = climate.note.elevationFt - *file.elevation;
        o.messages = climate.notes;

        // Add New Crop: the crop record and the curve of the job's method.
        const JobFileCrop& c = file.crops.first();
        const int cropColumn = int(table.columns.indexOf(QStringLiteral("crop"))) + 1;
        const auto found = m->cropIndex.constFind(c.crop);
        if (found == m->cropIndex.constEnd()) {
            QString near;
            for (const mainprog::CropRecord& r : m->crops)
                if (near.isEmpty() && r.name.compare(c.crop, Qt::CaseInsensitive) == 0)
                    near = r.name;
            o.error = Where(row.line, cropColumn, QStringLiteral("crop"), JobFileCaption(QStringLiteral("crop")))
                + QStringLiteral(": no crop record is named \"%1\"%2")
                      .arg(c.crop, near.isEmpty() ? QString() : QStringLiteral(" (there is \"%1\")").arg(near));
            continue;
        }
        const mainprog::CropRecord& record = m->crops[*found];
        const CropRunContext& ctx = climate.ctx;
        const mainprog::CurveChoice curve = mainprog::ChooseCropCurve(ctx.ETMethodIndex, record);
        if (!curve.available) {
            o.error = Where(row.line, cropColumn, QStringLiteral("crop"), JobFileCaption(QStringLiteral("crop")))
                + QStringLiteral(": \"%1\": %2").arg(c.crop, mainprog::NoCurveMessage(ctx.ETMethodIndex));
            continue;
        }

        // The working crop as SeedWorkingCrop seeds it and the crop inputs
        // dialog's closing writes the row's inputs over it (JobFile's
        // WriteInputs), read as ReadCropInputs reads the row.
        CropInputs& in = prepared[size_t(i)].in;
        const CropInputs& base = climate.base;
        in.monthlyPrecip = base.monthlyPrecip;
        in.annualPrecip = base.annualPrecip;
        in.etMethodText = base.etMethodText;
        in.station = base.station;
        in.whr = base.whr;
        in.peakMethod = base.peakMethod;
        in.elevationCorrection = base.elevationCorrection;
        in.referenceDewPoint = base.referenceDewPoint;
        in.chanceRows = base.chanceRows;
        auto local = [&](const char* name) { return m->local.value(QString::fromLatin1(name)); };
        in.cropName = record.name;
        in.jobName = ctx.JobName;
        in.etMethodIndex = ctx.ETMethodIndex;
        in.plantMonth = record.plantMo;
        in.plantDay = record.plantDay;
        in.harvestMonth = record.harvestMo;
        in.harvestDay = record.harvestDay;
        const double netDepth = m->localEmpty ? 0.0 : local("Net Depth of Irrigation").toDouble();
        in.netIrrDepth = local("Net Depth of Irrigation").toDouble();
        in.carryBeg = netDepth * m->springPct * 0.01;
        in.carryEnd = netDepth * m->fallPct * 0.01;
        in.soil = local("Surface Soil Type").toString();
        in.daysWetDeveloped = local("Days Wettings Develop").toInt();
        in.daysWetMature = local("Days Wettings Mature").toInt();
        in.cuttings = local("Hay Cuttings Number").toInt();
        in.cut1Month = local("Hay 1st Cut Mo").toInt();
        in.cut1Day = local("Hay 1st Cut Day").toInt();
        in.cutEndMonth = local("Hay Last Cut Mo").toInt();
        in.cutEndDay = local("Hay Last Cut Day").toInt();
        in.irrigationType = local("Type of Irrigation").toString();
        in.stressFactor = local("Stress Factor").toDouble();
        in.availableSoilWater = local("ASW").toDouble();
        in.sensitive = !m->localEmpty && local("Sensitive").toBool();
        in.fractionWetted = FractionWettedForIrrigationType(in.irrigationType);
        if (curve.curveIndex >= 0) {
            in.curveIndex = curve.curveIndex;
            in.curveName = curve.curveName;
            in.cropCurveType = curve.curveType;
        } else {
            // No curve fields: the row reads as curve index 0 without a name.
            in.curveIndex = 0;
            in.curveName.clear();
            in.cropCurveType.clear();
        }
        if (c.planting) {
            in.plantMonth = c.planting->month;
            in.plantDay = c.planting->day;
        }
        if (c.harvest) {
            in.harvestMonth = c.harvest->month;
            in.harvestDay = c.harvest->day;
        }
        if (c.firstCutting) {
            in.cut1Month = c.firstCutting->month;
            in.cut1Day = c.firstCutting->day;
        }
        if (c.lastCutting) {
            in.cutEndMonth = c.lastCutting->month;
            in.cutEndDay = c.lastCutting->day;
        }
        in.netIrrDepth = c.netIrr.value_or(in.netIrrDepth);
        in.carryBeg = c.carryBeg.value_or(in.carryBeg);
        in.carryEnd = c.carryEnd.value_or(in.carryEnd);
        in.daysWetDeveloped = c.wetDeveloped.value_or(in.daysWetDeveloped);
        in.daysWetMature = c.wetMature.value_or(in.daysWetMature);
        in.cuttings = c.cuttings.value_or(in.cuttings);
        in.sensitive = c.sensitive.value_or(in.sensitive);
        in.soil = c.soil.value_or(in.soil);
        if (c.irrigationType) {
            in.irrigationType = *c.irrigationType;
            in.fractionWetted = FractionWettedForIrrigationType(*c.irrigationType);
        }
        in.fractionWetted = c.fractionWetted.value_or(in.fractionWetted);
        if (c.asw) {
            in.availableSoilWater = *c.asw;
            in.stressFactor = c.stressFactor ? *c.stressFactor : mainprog::StressFromASW(*c.asw, in.sensitive);
        } else if (c.stressFactor) {
            in.stressFactor = *c.stressFactor;
            in.availableSoilWater = mainprog::ASWFromStress(*c.stressFactor, in.sensitive);
        }
        in.beginDateText = QStringLiteral("%1/%2").arg(in.plantMonth).arg(in.plantDay);
        in.endDateText = QStringLiteral("%1/%2").arg(in.harvestMonth).arg(in.harvestDay);

        // The rows ReadCropInputs reads for this crop.
        const Curve& k = m->curve(in.curveIndex, in.curveName);
        in.annualBasal = k.annualBasal;
        in.perennialBasal = k.perennialBasal;
        in.forage = k.forage;
        in.bcAnnual = k.bcAnnual;
        in.bcPerennial = k.bcPerennial;
        in.fao56 = k.fao56;
        if (in.curveIndex == 5) {
            in.kcClimate.kcMid = k.kcMid;
            in.kcClimate.kcEnd = k.kcEnd;
            in.kcClimate.heightM = k.heightM;
            in.kcClimate.on = m->kcClimateOn;
        }
        const std::vector<int> wetDays = WettingIntervals(in);
        if (!wetDays.empty()) {
            const QString soilColumn = WetSoilColumn(in.soil);
            for (int days : wetDays)
                in.wetFactors[days] = m->wetFactor(soilColumn, days);
        }
        const bool penmanMonteith = in.etMethodIndex == 2 || in.etMethodIndex == 3;
        if (in.etMethodIndex == 1 || (penmanMonteith && !in.whr.found)) {
            const LatitudeParts lat = SplitLatitudeText(QString::number(RoundHalfUp(in.station.latitude)));
            if (lat.valid)
                for (int degrees : {lat.degrees, lat.degrees + 1})
                    in.daytimePercents[degrees] = m->daytimePercents(degrees);
        }
        // The farm values: a new job's and the crop's seeded ones, the row's
        // over them (as a job file sets them up).
        Prepared& p = prepared[size_t(i)];
        if (!m->farmDefaults)
            m->farmDefaults = DefaultFarmJob();
        p.farmJob = *m->farmDefaults;
        p.farmJob.conveyanceEff = file.conveyanceEff.value_or(p.farmJob.conveyanceEff);
        p.farmJob.hoursPerDay = file.operatingHours.value_or(p.farmJob.hoursPerDay);
        p.farmJob.ecw = file.waterSalinity.value_or(p.farmJob.ecw);
        if (!m->applicationEff.contains(in.irrigationType))
            m->applicationEff.insert(in.irrigationType, DefaultApplicationEff(in.irrigationType));
        if (!m->salinityThreshold.contains(record.name))
            m->salinityThreshold.insert(record.name, CropSalinityThreshold(record.name));
        p.farmCrop.cropName = record.name;
        p.farmCrop.areaAcres = c.irrigatedArea.value_or(0.0);
        p.farmCrop.applicationEff = c.applicationEff.value_or(m->applicationEff.value(in.irrigationType));
        p.farmCrop.ecThreshold = c.salinityThreshold.value_or(m->salinityThreshold.value(record.name));
        p.farm = p.farmCrop.areaAcres > 0.0;
        if (p.farm && !(p.farmCrop.applicationEff > 0.0 && p.farmCrop.applicationEff <= 1.0)) {
            const QString key = QStringLiteral("applicationEfficiency");
            o.error = Where(row.line, int(table.columns.indexOf(key)) + 1, key, JobFileCaption(key))
                + QStringLiteral(": the field has an irrigated area and the type of irrigation \"%1\" has no "
                                 "application efficiency in the local defaults: give one (above 0, at most 1)")
                      .arg(in.irrigationType);
            p.in = CropInputs{};
            continue;
        }
        p.ready = true;
    }

    // The runs, on workers over disjoint blocks of rows.
    std::atomic<int> done{0};
    auto run = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            FieldOutcome& o = out[i];
            if (prepared[size_t(i)].ready) {
                QStringList messages;
                t_messages = &messages;
                try {
                    const CropResults r = RunCrop(prepared[size_t(i)].in);
                    o.etMethodIndex = r.etMethodIndex;
                    o.cropET = r.totalCropET;
                    o.effPrecip50 = r.totalEffPrecip50;
                    o.effPrecip80 = r.totalEffPrecip80;
                    o.netIrr50 = r.totalNetIrrReq50;
                    o.netIrr80 = r.totalNetIrrReq80;
                    o.cropETcm = r.totalCropETcm;
                    o.effPrecip50cm = r.totalEffPrecip50cm;
                    o.effPrecip80cm = r.totalEffPrecip80cm;
                    o.netIrr50cm = r.totalNetIrrReq50cm;
                    o.netIrr80cm = r.totalNetIrrReq80cm;
                    o.monthlyNetIrr50 = r.netIrrReq50;
                    o.monthlyNetIrr50cm = r.netIrrReq50cm;
                    if (prepared[size_t(i)].farm) {
                        FarmCropInput farmCrop = prepared[size_t(i)].farmCrop;
                        farmCrop.netIrrReq50 = r.netIrrReq50;
                        farmCrop.netIrrReq80 = r.netIrrReq80;
                        farmCrop.peakDailyET = r.peakDailyET;
                        const FarmWater w = ComputeFarmWater(prepared[size_t(i)].farmJob, {farmCrop});
                        FieldFarm& f = o.farm;
                        f.given = true;
                        f.available = w.available;
                        f.note = w.crops.empty() ? QString() : w.crops.front().note;
                        f.areaAcres = farmCrop.areaAcres;
                        f.areaHa = farmCrop.areaAcres * kAcresToHectares;
                        if (w.available) {
                            const FarmCropWater& cw = w.crops.front();
                            f.leachingReq = cw.leachingReq;
                            f.seasonGross50In = cw.seasonGross50In;
                            f.seasonGross80In = cw.seasonGross80In;
                            f.seasonDiversion50AcFt = w.seasonDiversion50AcFt;
                            f.seasonDiversion80AcFt = w.seasonDiversion80AcFt;
                            f.seasonDiversion50M3 = w.seasonDiversion50M3;
                            f.seasonDiversion80M3 = w.seasonDiversion80M3;
                            f.capacityGpm = w.capacityGpm;
                            f.capacityGpmPerAcre = w.capacityGpmPerAcre;
                            f.capacityLps = w.capacityLps;
                            f.capacityLpsPerHa = w.capacityLpsPerHa;
                        }
                    }
                    bool finite = true;
                    for (double v : {o.cropET, o.effPrecip50, o.effPrecip80, o.netIrr50, o.netIrr80, o.cropETcm,
                                     o.effPrecip50cm, o.effPrecip80cm, o.netIrr50cm, o.netIrr80cm})
                        finite = finite && std::isfinite(v);
                    for (int mo = 1; mo <= 12; ++mo)
                        finite = finite && std::isfinite(o.monthlyNetIrr50[mo]) && std::isfinite(o.monthlyNetIrr50cm[mo]);
                    if (!finite)
                        o.error = Where(o.line, 0) + QStringLiteral(": the computation gave a value that is not a number");
                } catch (const DbError& e) {
                    o.error = Where(o.line, 0) + QStringLiteral(": the computation failed: ") + e.message();
                } catch (const std::exception& e) {
                    o.error = Where(o.line, 0) + QStringLiteral(": the computation failed: ")
                        + QString::fromLocal8Bit(e.what());
                }
                t_messages = nullptr;
                o.messages << messages;
                prepared[size_t(i)].in = CropInputs{};
            }
            done.fetch_add(1, std::memory_order_relaxed);
        }
    };
    workers = std::max(1, std::min(workers, std::max(1, total / 64)));
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(run, int(qint64(total) * w / workers), int(qint64(total) * (w + 1) / workers));
    if (progress && workers > 1) {
        std::thread first(run, 0, int(qint64(total) / workers));
        while (done.load() < total) {
            progress(done.load(), total);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        first.join();
    } else {
        run(0, int(qint64(total) / workers));
    }
    for (std::thread& t : threads)
        t.join();
    if (progress)
        progress(total, total);
    return out;
}

} // namespace quen::job
