// Checks of the reference data shipped under data/: every table file fits the
// table definitions, and the figures hold together (daytime percentages,
// FAO-56 stage fractions, curve names of the crop records, station climate,
// precipitation ratios, defaults).  The files are read directly, so these
// checks catch transcription faults whatever state the loader is in; the last
// test loads them all into a fresh database.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "CropSetup.h"
#include "Database.h"
#include "IrrigationTypes.h"
#include "Schema.h"
#include "Table.h"

namespace {

const QString kDataDir = QStringLiteral(QUEN_DATA_DIR);

struct CsvTable {
    QString name;
    QStringList header;
    QList<QStringList> rows;
    QList<int> lines;  // file line of each row

    int col(const QString& field) const { return header.indexOf(field); }
    QString at(int row, const QString& field) const
    {
        int c = col(field);
        return c < 0 ? QString() : rows[row].value(c);
    }
    double num(int row, const QString& field) const { return at(row, field).toDouble(); }
    std::optional<int> find(const QString& field, const QString& value) const
    {
        for (int r = 0; r < rows.size(); ++r)
            if (at(r, field) == value) return r;
        return std::nullopt;
    }
};

// RFC 4180 with '#' comment lines outside quoted fields.
CsvTable readCsv(const QString& tableName)
{
    CsvTable t;
    t.name = tableName;
    QFile f(kDataDir + "/tables/" + tableName + ".csv");
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << f.fileName().toStdString();
        return t;
    }
    const QString text = QString::fromUtf8(f.readAll());
    int i = 0, line = 1;
    const int n = text.size();
    while (i < n) {
        if (text[i] == '#') {  // comment line
            while (i < n && text[i] != '\n') ++i;
            ++i, ++line;
            continue;
        }
        QStringList rec;
        QString field;
        bool quoted = false;
        int startLine = line;
        while (i < n) {
            QChar c = text[i];
            if (quoted) {
                if (c == '"' && i + 1 < n && text[i + 1] == '"') { field += '"'; i += 2; continue; }
                if (c == '"') { quoted = false; ++i; continue; }
                if (c == '\n') ++line;
                field += c; ++i; continue;
            }
            if (c == '"') { quoted = true; ++i; continue; }
            if (c == ',') { rec << field; field.clear(); ++i; continue; }
            if (c == '\n') { ++i; ++line; break; }
            if (c == '\r') { ++i; continue; }
            field += c; ++i;
        }
        rec << field;
        if (t.header.isEmpty()) t.header = rec;
        else { t.rows << rec; t.lines << startLine; }
    }
    return t;
}

QStringList tableFiles()
{
    QStringList names;
    for (const QFileInfo& fi : QDir(kDataDir + "/tables").entryInfoList({"*.csv"}, QDir::Files))
        names << fi.fileName().chopped(4);
    return names;
}

double round2(double x) { return std::floor(x * 100.0 + 0.5) / 100.0; }

} // namespace

// Every file names a known table, every header a field of it, every cell fits
// its field's type and width.
TEST(ShippedData, FilesFitTheTableDefinitions)
{
    const QStringList names = tableFiles();
    ASSERT_GE(names.size(), 18);
    for (const QString& name : names) {
        const quen::TableDef* def = quen::findTableDef(name);
        ASSERT_NE(def, nullptr) << name.toStdString();
        EXPECT_EQ(def->name, name) << "file name must be the exact table name";
        CsvTable t = readCsv(name);
        ASSERT_FALSE(t.header.isEmpty()) << name.toStdString();
        ASSERT_FALSE(t.rows.isEmpty()) << name.toStdString();
        QList<const quen::FieldDef*> fields;
        for (const QString& h : t.header) {
            int k = def->fieldIndex(h);
            ASSERT_GE(k, 0) << name.toStdString() << ": unknown field \"" << h.toStdString() << "\"";
            ASSERT_NE(def->fields[k].type, quen::FieldType::AutoInc) << h.toStdString();
            fields << &def->fields[k];
        }
        EXPECT_EQ(QSet<QString>(t.header.begin(), t.header.end()).size(), t.header.size());
        for (int r = 0; r < t.rows.size(); ++r) {
            const QString where = name + " line " + QString::number(t.lines[r]);
            ASSERT_EQ(t.rows[r].size(), t.header.size()) << where.toStdString();
            for (int c = 0; c < fields.size(); ++c) {
                const QString v = t.rows[r][c];
                const quen::FieldDef& fd = *fields[c];
                const std::string ctx = (where + " field " + fd.name + " = \"" + v + "\"").toStdString();
                if (fd.required) EXPECT_FALSE(v.isEmpty()) << ctx;
                if (v.isEmpty()) continue;
                bool ok = true;
                switch (fd.type) {
                case quen::FieldType::Text:
                    EXPECT_LE(v.size(), fd.size) << ctx;
                    break;
                case quen::FieldType::Float:
                    v.toDouble(&ok);
                    EXPECT_TRUE(ok) << ctx;
                    break;
                case quen::FieldType::Short: {
                    int x = v.toInt(&ok);
                    EXPECT_TRUE(ok && x >= -32768 && x <= 32767) << ctx;
                    break;
                }
                case quen::FieldType::Logical:
                    EXPECT_TRUE(v == "T" || v == "F") << ctx;
                    break;
                default:
                    break;
                }
            }
        }
    }
}

// Monthly percentage of daytime hours: whole degrees 0..65, rows summing to
// 100, and agreeing with the published Blaney-Criddle table (TR-21 Table 1).
TEST(ShippedData, DaytimePercentRows)
{
    CsvTable t = readCsv("MoPctDay.db");
    ASSERT_EQ(t.rows.size(), 66);
    const QStringList months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int r = 0; r < t.rows.size(); ++r) {
        EXPECT_EQ(t.at(r, "Latitude N").toInt(), r);
        double sum = 0;
        for (const QString& m : months) sum += t.num(r, m);
        EXPECT_NEAR(sum, 100.0, 0.1) << "latitude " << r;
    }
    // Published rows (percent of annual daytime hours, north latitudes).
    const std::map<int, std::array<double, 12>> published = {
        {0, {8.50, 7.66, 8.49, 8.21, 8.50, 8.22, 8.50, 8.45, 8.21, 8.50, 8.22, 8.50}},
        {10, {8.13, 7.47, 8.45, 8.37, 8.81, 8.60, 8.86, 8.71, 8.25, 8.34, 7.91, 8.10}},
        {20, {7.74, 7.25, 8.41, 8.52, 9.15, 9.00, 9.25, 8.96, 8.30, 8.18, 7.58, 7.66}},
        {32, {7.20, 6.97, 8.37, 8.76, 9.62, 9.59, 9.77, 9.27, 8.34, 7.95, 7.11, 7.05}},
        {38, {6.87, 6.79, 8.34, 8.90, 9.92, 9.95, 10.10, 9.47, 8.38, 7.80, 6.82, 6.66}},
        {44, {6.49, 6.58, 8.30, 9.06, 10.26, 10.38, 10.49, 9.70, 8.41, 7.63, 6.49, 6.21}},
        {50, {5.98, 6.30, 8.24, 9.24, 10.68, 10.91, 10.90, 10.00, 8.46, 7.45, 6.10, 5.65}},
        {60, {4.67, 5.65, 8.08, 9.65, 11.74, 12.39, 12.31, 10.70, 8.51, 6.98, 5.04, 4.22}},
    };
    for (const auto& [lat, row] : published)
        for (int m = 0; m < 12; ++m)
            EXPECT_NEAR(t.num(lat, months[m]), row[m], 0.12) << "latitude " << lat << " " << months[m].toStdString();
    // the days lengthen towards the pole in June and shorten in December
    for (int r = 1; r < t.rows.size(); ++r) {
        EXPECT_GT(t.num(r, "Jun"), t.num(r - 1, "Jun"));
        EXPECT_LT(t.num(r, "Dec"), t.num(r - 1, "Dec"));
    }
}

// FAO-56 Table 11: fractions recomputed from the stage lengths; Table 12:
// heights in feet from metres.
TEST(ShippedData, FaoTablesElevenAndTwelve)
{
    CsvTable t11 = readCsv("crpFAOTbl11.db");
    ASSERT_GE(t11.rows.size(), 160);
    int computed = 0;
    for (int r = 0; r < t11.rows.size(); ++r) {
        const std::string where = ("crpFAOTbl11 line " + QString::number(t11.lines[r])).toStdString();
        if (t11.at(r, "TotalDays").isEmpty()) {
            EXPECT_TRUE(t11.at(r, "Fs1").isEmpty()) << where;
            continue;
        }
        const long li = t11.at(r, "Lini").toLong(), ld = t11.at(r, "Ldev").toLong();
        const long lm = t11.at(r, "Lmid").toLong(), total = t11.at(r, "TotalDays").toLong();
        // the exact fraction of days, rounded half up to hundredths
        auto frac = [total](long days) { return double((200 * days + total) / (2 * total)) / 100.0; };
        EXPECT_DOUBLE_EQ(t11.num(r, "Fs1"), frac(li)) << where;
        EXPECT_DOUBLE_EQ(t11.num(r, "Fs2"), frac(li + ld)) << where;
        EXPECT_DOUBLE_EQ(t11.num(r, "Fs3"), frac(li + ld + lm)) << where;
        EXPECT_LE(t11.num(r, "MinDays"), total) << where;
        EXPECT_GE(t11.num(r, "MaxDays"), total) << where;
        ++computed;
    }
    EXPECT_GE(computed, 160);

    CsvTable t12 = readCsv("CrpFAO56Tbl.db");
    ASSERT_GE(t12.rows.size(), 130);
    QSet<QString> names;
    for (int r = 0; r < t12.rows.size(); ++r) {
        EXPECT_FALSE(names.contains(t12.at(r, "CropName"))) << t12.at(r, "CropName").toStdString();
        names << t12.at(r, "CropName");
        if (!t12.at(r, "Kcmid").isEmpty()) EXPECT_GT(t12.num(r, "Kcmid"), 0.0);  // headings may print Kc ini only
        if (!t12.at(r, "MaxHeightM").isEmpty())
            EXPECT_NEAR(t12.num(r, "MaxHeightF"), t12.num(r, "MaxHeightM") * 3.28083, 0.006);
    }
    // spot values of the publication
    auto potato = t12.find("CropName", "Potato");
    ASSERT_TRUE(potato);
    EXPECT_DOUBLE_EQ(t12.num(*potato, "Kcmid"), 1.15);
    EXPECT_DOUBLE_EQ(t12.num(*potato, "Kcend"), 0.75);
    auto beet = t12.find("CropName", "Sugar Beet");
    ASSERT_TRUE(beet);
    EXPECT_DOUBLE_EQ(t12.num(*beet, "Kcini"), 0.35);
    EXPECT_DOUBLE_EQ(t12.num(*beet, "Kcmid"), 1.20);
}

// Every curve a crop record names exists in the table of its kind, with the
// same humidity/wind code; every curve's own references resolve as well.
TEST(ShippedData, CropRecordCurvesResolve)
{
    CsvTable crops = readCsv("QuenCrop.DB");
    CsvTable annual = readCsv("CrpAnNam.DB"), peren = readCsv("CrpPeren.DB"),
             forage = readCsv("CrpForag.DB"), bcAnnual = readCsv("CrpBCAnu.DB"),
             fao = readCsv("CrpFAOCurv.DB"), types = readCsv("CrpAnTyp.db"),
             t11 = readCsv("crpFAOTbl11.db"), t12 = readCsv("CrpFAO56Tbl.db"),
             bcPerennial = readCsv("CrpBCPer.DB");
    const QStringList mustHave = {"Alfalfa", "Pasture", "grain", "Corn, grain", "Corn, silage",
                                  "Beans", "Potatoes", "Sugar beets", "Sorghum", "Orchard",
                                  "Grapes", "Onions", "Cotton", "Winter wheat"};
    EXPECT_GE(crops.rows.size(), 20);
    for (const QString& m : mustHave) {
        bool found = false;
        for (int r = 0; r < crops.rows.size(); ++r) found |= crops.at(r, "Cop Name").contains(m);
        EXPECT_TRUE(found) << m.toStdString();
    }
    int basal = 0, bc = 0, faoCount = 0;
    for (int r = 0; r < crops.rows.size(); ++r) {
        const std::string crop = crops.at(r, "Cop Name").toStdString();
        const QString basType = crops.at(r, "Bas Crop Type");
        const QString basName = crops.at(r, "Bas Crop Curve Name");
        if (!basName.isEmpty()) {
            ++basal;
            const CsvTable* table = basType == "Field and vegetable crops" ? &annual
                                  : basType == "Perennial and specialty crops" ? &peren
                                  : basType == "Grasses and forage legumes" ? &forage : nullptr;
            ASSERT_NE(table, nullptr) << crop;
            auto row = table->find("Crop Curve Name", basName);
            ASSERT_TRUE(row) << crop << ": " << basName.toStdString();
            const QString codeField = table == &peren ? "Humidity/Wind" : "Climate/Wind";
            EXPECT_EQ(table->at(*row, codeField), crops.at(r, "Humidity/Wind")) << crop;
        }
        const QString bcName = crops.at(r, "BC Crop Curve Name");
        const QString bcType = crops.at(r, "BC Crop Type");
        EXPECT_EQ(bcName.isEmpty(), bcType.isEmpty()) << crop << ": Blaney-Criddle type and curve go together";
        EXPECT_FALSE(basName.isEmpty() && bcName.isEmpty() && crops.at(r, "FAOCropCurveName").isEmpty())
            << crop << ": a crop record without any curve";
        if (!bcName.isEmpty()) {
            ++bc;
            if (bcType == "Blaney Criddle Perennial Crop") {
                EXPECT_TRUE(bcPerennial.find("Crop Curve Name", bcName)) << crop;
            } else {
                ASSERT_EQ(bcType, "Blaney Criddle Annual Crop") << crop;
                EXPECT_TRUE(bcAnnual.find("Crop Curve Name", bcName)) << crop;
                // the date calculator needs the TR-21 season of an annual crop
                EXPECT_GE(crops.num(r, "Min Grow Days"), 60) << crop;
                EXPECT_LE(crops.num(r, "Min Grow Days"), crops.num(r, "Max Grow Days")) << crop;
            }
            // ... and the temperatures that start and end its growth
            EXPECT_FALSE(crops.at(r, "SpringAvTemp").isEmpty()) << crop;
            EXPECT_FALSE(crops.at(r, "FallAvTemp").isEmpty()) << crop;
        }
        // growth temperatures of the date calculator: both units or neither,
        // the Celsius twin as the dialogs compute it
        for (const char* f : {"SpringAvTemp", "FallAvTemp"}) {
            const QString fahr = crops.at(r, f), cels = crops.at(r, QString(f) + "M");
            EXPECT_EQ(fahr.isEmpty(), cels.isEmpty()) << crop << " " << f;
            if (!fahr.isEmpty() && !cels.isEmpty())
                EXPECT_NEAR(cels.toDouble(), (fahr.toDouble() - 32) * 5 / 9, 0.006) << crop << " " << f;
        }
        const QString faoName = crops.at(r, "FAOCropCurveName");
        if (!faoName.isEmpty()) {
            ++faoCount;
            EXPECT_EQ(crops.at(r, "FAOCropType"), "FAO 56, Table 12 crops") << crop;
            EXPECT_TRUE(fao.find("CropCurveName", faoName)) << crop;
        }
        // default season: a valid date pair, within the crop's season lengths
        int pm = crops.at(r, "Plant Mo").toInt(), hm = crops.at(r, "Harvest Mo").toInt();
        EXPECT_TRUE(pm >= 1 && pm <= 12 && hm >= 1 && hm <= 12) << crop;
    }
    EXPECT_GE(basal, 14);
    EXPECT_GE(bc, 18);
    EXPECT_GE(faoCount, 10);
    for (int r = 0; r < annual.rows.size(); ++r)
        EXPECT_TRUE(types.find("Crop Type", annual.at(r, "Crop Type"))) << annual.at(r, "Crop Curve Name").toStdString();
    for (int r = 0; r < fao.rows.size(); ++r) {
        auto t = t12.find("CropName", fao.at(r, "FAOCropName"));
        ASSERT_TRUE(t) << fao.at(r, "CropCurveName").toStdString();
        EXPECT_EQ(fao.at(r, "Kcmid"), t12.at(*t, "Kcmid"));
        EXPECT_EQ(fao.at(r, "Kcend"), t12.at(*t, "Kcend"));
        bool stages = false;
        for (int k = 0; k < t11.rows.size(); ++k)
            stages |= t11.at(k, "CropName") + ", " + t11.at(k, "Region") == fao.at(r, "NEH2CropType")
                      && t11.at(k, "Fs1") == fao.at(r, "Fs1") && t11.at(k, "Fs3") == fao.at(r, "Fs3");
        EXPECT_TRUE(stages) << fao.at(r, "CropCurveName").toStdString();
    }
    CsvTable last = readCsv("CrpLastUse.db");
    ASSERT_EQ(last.rows.size(), 1);
    EXPECT_TRUE(annual.find("Crop Curve Name", last.at(0, "Basil Curve Name")));
    EXPECT_TRUE(bcAnnual.find("Crop Curve Name", last.at(0, "BC Curve Name")));
    EXPECT_TRUE(fao.find("CropCurveName", last.at(0, "FAOCurveName")));
}

// The FAO-56 curves hold the crop's own Table 12 Kc ini, Kc mid and Kc end
// (no local calculation shipped: a common 0.77 Kc ini of one wetting regime
// for every crop overstated the initial stage), a row with a local
// calculation what the Kc calculation (FAO-56 eq. 7 and 62) gives for its
// own inputs, and the stored inch and mph twins match.
TEST(ShippedData, FaoCurvesAreTheAdjustedKc)
{
    CsvTable fao = readCsv("CrpFAOCurv.DB");
    auto kcIni = [](double tw, double eto, double tew, double rew, double fw) {
        double eso = 1.15 * eto, t1 = rew / eso;
        if (tw < t1) return eso / eto * fw;
        return (tew - (tew - rew) * std::exp(-(tw - t1) * eso * (1 + rew / (tew - rew)) / tew)) / (tw * eto) * fw;
    };
    for (int r = 0; r < fao.rows.size(); ++r) {
        const std::string name = fao.at(r, "CropCurveName").toStdString();
        double eto = fao.num(r, "ETo"), tw = fao.num(r, "WettingDays"), app = fao.num(r, "App");
        double fw = fao.num(r, "Fw"), u2 = fao.num(r, "U2"), rh = fao.num(r, "RHMin");
        double h = fao.num(r, "MaxHeightM");
        double light = kcIni(tw, eto, 10, std::min(std::max(2.5, 6 / std::sqrt(eto)), 7.0), fw);
        double tew = fao.at(r, "SText") == "CT" ? std::min(15.0, 7 * std::sqrt(eto)) : std::min(28.0, 13 * std::sqrt(eto));
        double rew = fao.at(r, "SText") == "CT" ? std::min(6.0, tew - 0.01) : std::min(9.0, tew - 0.01);
        double heavy = kcIni(tw, eto, tew, rew, fw);
        double i = app * fw;
        double kcb = i <= 10 ? light : i >= 40 ? heavy : light + (i - 10) / 30 * (heavy - light);
        double a = (0.04 * (u2 - 2) - 0.004 * (rh - 45)) * std::pow(h / 3, 0.3);
        double kcend = fao.num(r, "Kcend");
        EXPECT_TRUE(fao.at(r, "UseFAO5612") == "T") << name;
        if (fao.at(r, "UseFAO5612") == "T") {
            EXPECT_EQ(fao.num(r, "Kcb"), fao.num(r, "Kcini")) << name;
            EXPECT_EQ(fao.num(r, "Kcp"), fao.num(r, "Kcmid")) << name;
            EXPECT_EQ(fao.num(r, "Kcm"), kcend) << name;
        } else {
            EXPECT_NEAR(fao.num(r, "Kcb"), kcb, 0.0051) << name;
            EXPECT_NEAR(fao.num(r, "Kcp"), fao.num(r, "Kcmid") + a, 0.0051) << name;
            EXPECT_NEAR(fao.num(r, "Kcm"), kcend >= 0.45 ? kcend + a : kcend, 0.0051) << name;
        }
        EXPECT_NEAR(fao.num(r, "EToin"), eto * 0.03936996, 0.006) << name;
        EXPECT_NEAR(fao.num(r, "Appin"), app * 0.03936996, 0.006) << name;
        EXPECT_NEAR(fao.num(r, "U2in"), u2 * 2.236936, 0.006) << name;
        EXPECT_GT(fao.num(r, "Fs2"), fao.num(r, "Fs1")) << name;  // a rising development stage
        EXPECT_GE(fao.num(r, "Fs3"), fao.num(r, "Fs2")) << name;
    }
}

namespace {

struct QuenRecord {
    QString file;                   // state file it came from
    QString county, name, number;
    QStringList pos;                // latitude, longitude, elevation
    QList<QStringList> months;      // Tmax, Tmin, T, P
    QStringList dates;              // spring 28, fall 28, spring 32, fall 32; empty: none
};

// The station record format as the state-file import reads it: seven lines
// per record, the seventh holding the four freeze dates or nothing at all.
QList<QuenRecord> readQuen(const QString& path, QStringList* problems)
{
    QList<QuenRecord> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) { *problems << "cannot open " + path; return out; }
    const QString text = QString::fromLatin1(f.readAll());
    for (const QString& line : text.split('\n'))
        if (line.size() > 82) *problems << "line longer than 82 characters: " + line;
    int at = 0;
    while ((at = text.indexOf('#', at)) >= 0) {
        QStringList lines;
        int pos = at;
        for (int k = 0; k < 7; ++k) {
            int nl = text.indexOf('\n', pos);
            if (nl < 0) { *problems << "record cut short"; return out; }
            lines << text.mid(pos, nl - pos);
            pos = nl + 1;
        }
        at = pos;
        QuenRecord rec;
        rec.file = QFileInfo(path).fileName();
        QString head = lines[0].mid(lines[0].indexOf(' ') + 1);
        QStringList parts = head.split('|');
        if (parts.size() != 3) { *problems << "bad record line 1: " + lines[0]; continue; }
        rec.county = parts[0];
        rec.name = parts[1];
        rec.number = parts[2];
        rec.pos = lines[1].split(' ', Qt::SkipEmptyParts);
        for (int k = 2; k <= 5; ++k) {
            QStringList tok = lines[k].split(' ', Qt::SkipEmptyParts);
            for (const QString& t : tok)
                if (t.size() > 6) *problems << "token longer than 6 characters: " + t;
            rec.months << tok;
        }
        rec.dates = lines[6].split(' ', Qt::SkipEmptyParts);
        for (QString& d : rec.dates)
            if (d == "--/--") d.clear();  // not known: the import stores an empty field
        if (!rec.dates.isEmpty() && rec.dates.size() != 4)
            *problems << rec.name + ": the date line holds four dates or none";
        out << rec;
    }
    return out;
}

// Every state file of data/stations, records in file order, files by name.
QList<QuenRecord> readAllStateFiles(QStringList* problems)
{
    QList<QuenRecord> all;
    const QFileInfoList files =
        QDir(kDataDir + "/stations").entryInfoList({"*.quen"}, QDir::Files, QDir::Name);
    if (files.isEmpty()) *problems << "no state file under data/stations";
    for (const QFileInfo& fi : files) all << readQuen(fi.filePath(), problems);
    return all;
}

QString stateOf(const QString& countyKey) { return countyKey.section(", ", -1); }

// A freeze date field: "MM/DD" of a real day of a 365-day year, "00/00"
// ("never that low"), or empty (not published for the station).
bool freezeDateWellFormed(const QString& d)
{
    if (d.isEmpty() || d == "00/00") return true;
    static const QRegularExpression form("^(\\d\\d)/(\\d\\d)$");
    const auto m = form.match(d);
    if (!m.hasMatch()) return false;
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int mo = m.captured(1).toInt(), dy = m.captured(2).toInt();
    return mo >= 1 && mo <= 12 && dy >= 1 && dy <= days[mo - 1];
}

int monthDayKey(const QString& d) { return d.left(2).toInt() * 100 + d.mid(3, 2).toInt(); }

// Bounding boxes of the states: latitude south..north, longitude east..west
// (degrees west), with a margin of a few hundredths of a degree.
struct StateBox { double south, north, east, west; };
const std::map<QString, StateBox>& stateBoxes()
{
    static const std::map<QString, StateBox> boxes = {
        {"AL", {30.14, 35.01, 84.89, 88.48}}, {"AK", {51.20, 71.40, 129.97, 179.99}},
        {"AZ", {31.33, 37.00, 109.04, 114.82}}, {"AR", {33.00, 36.50, 89.64, 94.62}},
        {"CA", {32.53, 42.01, 114.13, 124.41}}, {"CO", {36.99, 41.00, 102.04, 109.06}},
        {"CT", {40.98, 42.05, 71.79, 73.73}}, {"DE", {38.45, 39.84, 75.05, 75.79}},
        {"FL", {24.40, 31.00, 80.03, 87.63}}, {"GA", {30.36, 35.00, 80.84, 85.61}},
        {"HI", {18.91, 22.24, 154.81, 160.25}}, {"ID", {41.99, 49.00, 111.04, 117.24}},
        {"IL", {36.97, 42.51, 87.02, 91.51}}, {"IN", {37.77, 41.76, 84.78, 88.10}},
        {"IA", {40.37, 43.50, 90.14, 96.64}}, {"KS", {36.99, 40.00, 94.59, 102.05}},
        {"KY", {36.50, 39.15, 81.96, 89.57}}, {"LA", {28.93, 33.02, 88.82, 94.04}},
        {"ME", {43.06, 47.46, 66.95, 71.08}}, {"MD", {37.91, 39.72, 75.05, 79.49}},
        {"MA", {41.24, 42.89, 69.93, 73.51}}, {"MI", {41.70, 48.31, 82.12, 90.42}},
        {"MN", {43.50, 49.38, 89.49, 97.24}}, {"MS", {30.17, 35.00, 88.10, 91.66}},
        {"MO", {35.99, 40.61, 89.10, 95.77}}, {"MT", {44.36, 49.00, 104.04, 116.05}},
        {"NE", {40.00, 43.00, 95.31, 104.05}}, {"NV", {35.00, 42.00, 114.04, 120.01}},
        {"NH", {42.70, 45.31, 70.61, 72.56}}, {"NJ", {38.93, 41.36, 73.89, 75.56}},
        {"NM", {31.33, 37.00, 103.00, 109.05}}, {"NY", {40.50, 45.02, 71.86, 79.76}},
        {"NC", {33.84, 36.59, 75.46, 84.32}}, {"ND", {45.94, 49.00, 96.55, 104.05}},
        {"OH", {38.40, 41.98, 80.52, 84.82}}, {"OK", {33.62, 37.00, 94.43, 103.00}},
        {"OR", {41.99, 46.29, 116.46, 124.57}}, {"PA", {39.72, 42.27, 74.69, 80.52}},
        {"RI", {41.15, 42.02, 71.12, 71.86}}, {"SC", {32.03, 35.22, 78.54, 83.35}},
        {"SD", {42.48, 45.95, 96.44, 104.06}}, {"TN", {34.98, 36.68, 81.65, 90.31}},
        {"TX", {25.84, 36.50, 93.51, 106.65}}, {"UT", {37.00, 42.00, 109.04, 114.05}},
        {"VT", {42.73, 45.02, 71.46, 73.44}}, {"VA", {36.54, 39.47, 75.24, 83.68}},
        {"WA", {45.54, 49.00, 116.92, 124.85}}, {"WV", {37.20, 40.64, 77.72, 82.64}},
        {"WI", {42.49, 47.31, 86.25, 92.89}}, {"WY", {40.99, 45.01, 104.05, 111.06}},
        {"PR", {17.88, 18.52, 65.22, 67.27}},
    };
    return boxes;
}

double ddmmDegrees(double v) { return std::floor(v / 100) + std::fmod(v, 100) / 60.0; }

} // namespace

// Stations: monthly means lie between the minima and maxima (and, for the
// normals, at their midpoint), metric twins agree, every state has stations,
// each inside its state; every wind and humidity location resolves and every
// county of a station is in the county list and nothing else is.
TEST(ShippedData, StationsAndTheirClimate)
{
    CsvTable clim = readCsv("Climate.DB"), whr = readCsv("ClimWHR.DB"), county = readCsv("County.db");
    ASSERT_GE(clim.rows.size(), 250);
    int withLocation = 0;
    QSet<QString> stationCounties, states, names;
    const QRegularExpression countyKey("^[^,]+, [A-Z]{2}$");
    const double margin = 0.03;
    for (int r = 0; r < clim.rows.size(); ++r) {
        const std::string st = clim.at(r, "Station Name").toStdString();
        EXPECT_FALSE(names.contains(clim.at(r, "Station Name").toUpper())) << st << ": name twice";
        names << clim.at(r, "Station Name").toUpper();
        const QString loc = clim.at(r, "WHRLocation");
        if (!loc.isEmpty()) {
            ++withLocation;
            EXPECT_TRUE(whr.find("WHRLocation", loc)) << st;
        }
        EXPECT_TRUE(county.find("County", clim.at(r, "County"))) << st;
        EXPECT_TRUE(countyKey.match(clim.at(r, "County")).hasMatch()) << st;
        stationCounties << clim.at(r, "County");
        const QString state = stateOf(clim.at(r, "County"));
        states << state;
        const int latDigits = clim.at(r, "Latitude").size();
        EXPECT_TRUE(latDigits == 3 || latDigits == 4) << st;
        // Blaney-Criddle refuses latitudes beyond its daytime-hours table:
        // such a station needs wind and humidity for Penman-Monteith.
        if (clim.num(r, "Latitude") >= 6454)
            EXPECT_FALSE(loc.isEmpty()) << st << ": beyond the daytime-hours table without a location";
        EXPECT_LT(int(clim.num(r, "Latitude")) % 100, 60) << st << ": minutes of DDMM";
        EXPECT_LT(int(clim.num(r, "Longitude")) % 100, 60) << st << ": minutes of DDMM";
        auto box = stateBoxes().find(state);
        if (box == stateBoxes().end()) {
            ADD_FAILURE() << st << ": no such state " << state.toStdString();
        } else {
            const double lat = ddmmDegrees(clim.num(r, "Latitude"));
            EXPECT_GE(lat, box->second.south - margin) << st;
            EXPECT_LE(lat, box->second.north + margin) << st;
            if (clim.num(r, "Longitude") != 0) {  // 0: not given
                const double lon = ddmmDegrees(clim.num(r, "Longitude"));
                EXPECT_GE(lon, box->second.east - margin) << st;
                EXPECT_LE(lon, box->second.west + margin) << st;
            }
        }
        // NOAA normals: the mean is the midpoint of maximum and minimum
        const bool noaa = QRegularExpression("^\\d{5} $").match(clim.at(r, "Station No")).hasMatch();
        double annual = 0;
        for (int m = 1; m <= 12; ++m) {
            const QString s = QString::number(m);
            EXPECT_LE(clim.num(r, "Tmin" + s), clim.num(r, "T" + s)) << st << " month " << m;
            EXPECT_LE(clim.num(r, "T" + s), clim.num(r, "Tmax" + s)) << st << " month " << m;
            EXPECT_LT(clim.num(r, "Tmin" + s), clim.num(r, "Tmax" + s)) << st << " month " << m;
            if (noaa)
                EXPECT_NEAR(clim.num(r, "T" + s), (clim.num(r, "Tmin" + s) + clim.num(r, "Tmax" + s)) / 2, 0.051)
                    << st << " month " << m;
            EXPECT_GE(clim.num(r, "P" + s), 0.0) << st;
            EXPECT_NEAR(clim.num(r, "Tm" + s), (clim.num(r, "T" + s) - 32) * 5 / 9, 0.006) << st;
            EXPECT_NEAR(clim.num(r, "TminM" + s), (clim.num(r, "Tmin" + s) - 32) * 5 / 9, 0.006) << st;
            EXPECT_NEAR(clim.num(r, "TmaxM" + s), (clim.num(r, "Tmax" + s) - 32) * 5 / 9, 0.006) << st;
            EXPECT_NEAR(clim.num(r, "Pm" + s), clim.num(r, "P" + s) * 2.54, 0.006) << st;
            annual += clim.num(r, "P" + s);
        }
        EXPECT_GT(annual, 2.0) << st;
        EXPECT_LT(annual, 200.0) << st;
        EXPECT_NEAR(clim.num(r, "ElevationM"), std::round(clim.num(r, "Elevation") * 0.3048), 0.5) << st;
    }
    EXPECT_EQ(states.size(), 51) << "every state and Puerto Rico";
    EXPECT_GE(withLocation, 200);
    auto ketchum = clim.find("Station Name", "KETCHUM RS");
    ASSERT_TRUE(ketchum);
    EXPECT_TRUE(clim.at(*ketchum, "WHRLocation").isEmpty()) << "the station that shows the TR-21 fallback";
    QSet<QString> listed;
    for (int r = 0; r < county.rows.size(); ++r) listed << county.at(r, "County");
    EXPECT_EQ(listed, stationCounties) << "County.db lists exactly the counties of the stations";

    // the location records: July wind present (Penman-Monteith usable), RH
    // ordered, wind reduced to 2 m by the computation (not typed as measured
    // at 2 m unless it is), sunshine hours below the day length
    QSet<QString> used;
    for (int r = 0; r < clim.rows.size(); ++r) used << clim.at(r, "WHRLocation");
    for (int r = 0; r < whr.rows.size(); ++r) {
        const std::string loc = whr.at(r, "WHRLocation").toStdString();
        EXPECT_TRUE(used.contains(whr.at(r, "WHRLocation"))) << loc << ": no station uses it";
        EXPECT_GT(whr.num(r, "U27"), 0.0) << loc;
        const QString type = whr.at(r, "StationType");
        EXPECT_TRUE(type == "Other type station" || whr.num(r, "StationHeight") == 2) << loc;
        EXPECT_GE(whr.num(r, "StationHeight"), 2.0) << loc;
        for (int m = 1; m <= 12; ++m) {
            const QString s = QString::number(m);
            EXPECT_LE(whr.num(r, "RHmin" + s), whr.num(r, "RHmax" + s)) << loc;
            EXPECT_GT(whr.num(r, "RHmin" + s), 5.0) << loc;
            EXPECT_LE(whr.num(r, "RHmax" + s), 100.0) << loc;
            EXPECT_NEAR(whr.num(r, "Rs" + s), whr.num(r, "Rsm" + s) * 23.8846, 0.06) << loc;
            EXPECT_NEAR(whr.num(r, "U2m" + s), whr.num(r, "U2" + s) / 2.236936 * 86.4, 0.2) << loc;
            EXPECT_GE(whr.num(r, "N" + s), 0.0) << loc;
            EXPECT_LT(whr.num(r, "N" + s), 16.0) << loc;
            EXPECT_DOUBLE_EQ(whr.num(r, "As" + s), 0.25) << loc;
            EXPECT_DOUBLE_EQ(whr.num(r, "Bs" + s), 0.5) << loc;
        }
    }
}

// Freeze dates: each a real month/day, "00/00" or empty (not known); spring
// and fall of one temperature known together; "00/00" ("never that low")
// only where the coldest month's mean minimum is above that temperature and
// for 28 F wherever 32 F is never reached; a 28 F date without a 32 F date
// only for a short season;
// where dates are given, 32 F is last reached later in spring and first
// reached earlier in fall than 28 F.
TEST(ShippedData, StationFreezeDates)
{
    CsvTable clim = readCsv("Climate.DB");
    const char* fields[4] = {"Spr mo/dy 28", "Spr mo/dy 32", "Fall mo/dy 28", "Fall mo/dy 32"};
    for (int r = 0; r < clim.rows.size(); ++r) {
        const std::string st = clim.at(r, "Station Name").toStdString();
        for (const char* f : fields)
            EXPECT_TRUE(freezeDateWellFormed(clim.at(r, f))) << st << " " << f << " = " << clim.at(r, f).toStdString();
        for (int t : {28, 32})
            EXPECT_EQ(clim.at(r, QString("Spr mo/dy %1").arg(t)).isEmpty(),
                      clim.at(r, QString("Fall mo/dy %1").arg(t)).isEmpty()) << st << " " << t;
        // NOAA gives no 32 F date where 32 F can be reached in any month
        // (Nome, Kalispell, Elko): a 28 F date there bounds a season of under
        // five months.
        if (clim.at(r, "Spr mo/dy 32").isEmpty() && !clim.at(r, "Spr mo/dy 28").isEmpty()
            && clim.at(r, "Spr mo/dy 28") != "00/00")
            EXPECT_LT(monthDayKey(clim.at(r, "Fall mo/dy 28")) - monthDayKey(clim.at(r, "Spr mo/dy 28")), 500) << st;
        if (clim.at(r, "Spr mo/dy 32") == "00/00") EXPECT_EQ(clim.at(r, "Spr mo/dy 28"), "00/00") << st;
        double coldestMin = 1e9;
        for (int m = 1; m <= 12; ++m) coldestMin = std::min(coldestMin, clim.num(r, "Tmin" + QString::number(m)));
        for (int t : {28, 32}) {
            const QString spr = clim.at(r, QString("Spr mo/dy %1").arg(t));
            const QString fall = clim.at(r, QString("Fall mo/dy %1").arg(t));
            if (spr == "00/00" || fall == "00/00")
                EXPECT_GT(coldestMin, double(t)) << st << ": " << t << " F is reached, so not 00/00";
        }
        const QString s28 = clim.at(r, "Spr mo/dy 28"), s32 = clim.at(r, "Spr mo/dy 32");
        const QString f28 = clim.at(r, "Fall mo/dy 28"), f32 = clim.at(r, "Fall mo/dy 32");
        auto real = [](const QString& d) { return !d.isEmpty() && d != "00/00"; };
        if (real(s28) && real(s32)) EXPECT_LE(monthDayKey(s28), monthDayKey(s32)) << st;
        if (real(f28) && real(f32)) EXPECT_LE(monthDayKey(f32), monthDayKey(f28)) << st;
        if (real(s32) && real(f32)) EXPECT_LT(monthDayKey(s32), monthDayKey(f32)) << st;
    }
    // the freeze date check itself
    EXPECT_TRUE(freezeDateWellFormed("04/12"));
    EXPECT_TRUE(freezeDateWellFormed(""));
    EXPECT_FALSE(freezeDateWellFormed("02/29"));
    EXPECT_FALSE(freezeDateWellFormed("13/01"));
    EXPECT_FALSE(freezeDateWellFormed("4/12"));
}

// The state files: one state per file, every record of every file is a
// station of Climate.DB holding exactly what the import stores, and every
// station comes from exactly one file.
TEST(ShippedData, StateFilesAgreeWithTheStationTable)
{
    CsvTable clim = readCsv("Climate.DB");
    QStringList problems;
    const QList<QuenRecord> recs = readAllStateFiles(&problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join("; ").toStdString();
    ASSERT_EQ(recs.size(), clim.rows.size());
    QMap<QString, QString> stateOfFile;
    QSet<QString> seen;
    for (const QuenRecord& q : recs) {
        const std::string st = (q.file + ": " + q.name).toStdString();
        const QString state = stateOf(q.county);
        if (!stateOfFile.contains(q.file)) stateOfFile[q.file] = state;
        EXPECT_EQ(state, stateOfFile[q.file]) << st << ": a state file holds the stations of one state";
        EXPECT_FALSE(seen.contains(q.name)) << st << ": station in two records";
        seen << q.name;
        auto row = clim.find("Station Name", q.name);
        ASSERT_TRUE(row) << st << ": not in Climate.DB";
        const int r = *row;
        EXPECT_EQ(q.county, clim.at(r, "County")) << st;
        EXPECT_EQ(q.number, clim.at(r, "Station No")) << st;
        ASSERT_EQ(q.pos.size(), 3) << st;
        EXPECT_EQ(q.pos[0].toDouble(), clim.num(r, "Latitude")) << st;
        EXPECT_EQ(q.pos[1].toDouble(), clim.num(r, "Longitude")) << st;
        EXPECT_EQ(q.pos[2].toDouble(), clim.num(r, "Elevation")) << st;
        const char* prefix[4] = {"Tmax", "Tmin", "T", "P"};
        for (int k = 0; k < 4; ++k) {
            ASSERT_EQ(q.months[k].size(), 12) << st;
            for (int m = 0; m < 12; ++m)
                EXPECT_DOUBLE_EQ(q.months[k][m].toDouble(), clim.num(r, prefix[k] + QString::number(m + 1))) << st;
        }
        const QStringList dates = q.dates.isEmpty() ? QStringList{"", "", "", ""} : q.dates;
        ASSERT_EQ(dates.size(), 4) << st;
        EXPECT_EQ(dates[0], clim.at(r, "Spr mo/dy 28")) << st;
        EXPECT_EQ(dates[1], clim.at(r, "Fall mo/dy 28")) << st;
        EXPECT_EQ(dates[2], clim.at(r, "Spr mo/dy 32")) << st;
        EXPECT_EQ(dates[3], clim.at(r, "Fall mo/dy 32")) << st;
    }
}

// TR-21 curves hold the figures of their source (the HydroBase / StateCU
// transcription under data/tools/input) point for point; the perennial
// "Dec 31 Kc" is the source's day 366; potatoes and cotton are two curves.
TEST(ShippedData, TR21CurvesAreTheSourceFigures)
{
    auto readSource = [](const QString& file) {
        QFile f(kDataDir + "/tools/input/" + file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        QList<QStringList> rows;
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n'))
            if (!line.trimmed().isEmpty() && !line.startsWith('#')) rows << line.trimmed().split(',');
        return rows;
    };
    const QList<QStringList> ann = readSource("tr21_bc_kc_annual_statecu.csv");
    const QList<QStringList> per = readSource("tr21_bc_kc_perennial_statecu.csv");
    ASSERT_EQ(ann.size(), 22);
    ASSERT_EQ(per.size(), 26);
    const std::map<QString, QString> annual = {
        {"DRY_BEANS.TR21", "Dry beans (TR-21)"}, {"SPRING_GRAIN.TR21", "Spring grain (TR-21)"},
        {"CORN_SILAGE.TR21", "Corn, silage (TR-21)"}, {"SUGAR_BEETS.TR21", "Sugar beets (TR-21)"},
        {"CORN_GRAIN.TR21", "Corn, grain (TR-21)"}, {"SWEET_CORN.TR21", "Sweet corn (TR-21)"},
        {"SNAP_BEANS.TR21", "Snap beans (TR-21)"}, {"COTTON.TR21", "Cotton (TR-21)"},
        {"WHEAT_FALL.TR21", "Winter wheat, fall (TR-21)"},
        {"WHEAT_SPRING.TR21", "Winter wheat, spring (TR-21)"},
        {"VEGETABLES.TR21", "Vegetables (TR-21)"}, {"POTATOES.TR21", "Potatoes (TR-21)"},
        {"SORGHUM_GRAIN.TR21", "Sorghum, grain (TR-21)"}};
    CsvTable bcA = readCsv("CrpBCAnu.DB"), bcP = readCsv("CrpBCPer.DB");
    EXPECT_EQ(bcA.rows.size(), int(annual.size()));
    for (const auto& [key, name] : annual) {
        const int c = ann[0].indexOf(key);
        ASSERT_GE(c, 0) << key.toStdString();
        auto row = bcA.find("Crop Curve Name", name);
        ASSERT_TRUE(row) << name.toStdString();
        for (int k = 0; k < 21; ++k)  // header fields 1..21 are 0 % .. 100 %
            EXPECT_DOUBLE_EQ(bcA.num(*row, bcA.header[k + 1]), ann[k + 1][c].toDouble())
                << name.toStdString() << " " << bcA.header[k + 1].toStdString();
    }
    const std::map<QString, QString> perennial = {
        {"ALFALFA.TR21", "Alfalfa (TR-21)"}, {"GRASS_PASTURE.TR21", "Pasture, grass (TR-21)"},
        {"ORCHARD_WITH_COVER.TR21", "Orchard, with cover (TR-21)"},
        {"ORCHARD_WO_COVER.TR21", "Orchard, no cover (TR-21)"}, {"GRAPES.TR21", "Grapes (TR-21)"}};
    EXPECT_EQ(bcP.rows.size(), int(perennial.size()));
    const QStringList months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (const auto& [key, name] : perennial) {
        const int c = per[0].indexOf(key);
        ASSERT_GE(c, 0) << key.toStdString();
        auto row = bcP.find("Crop Curve Name", name);
        ASSERT_TRUE(row) << name.toStdString();
        for (int k = 0; k < 24; ++k) {
            const QString field = months[k / 2] + (k % 2 ? " 15 Kc" : " 1 Kc");
            EXPECT_DOUBLE_EQ(bcP.num(*row, field), per[k + 1][c].toDouble()) << name.toStdString() << " " << field.toStdString();
        }
        ASSERT_EQ(per[25][0], "366");
        EXPECT_DOUBLE_EQ(bcP.num(*row, "Dec 31 Kc"), per[25][c].toDouble()) << name.toStdString();
    }
    auto pot = bcA.find("Crop Curve Name", "Potatoes (TR-21)"), cot = bcA.find("Crop Curve Name", "Cotton (TR-21)");
    ASSERT_TRUE(pot && cot);
    int same = 0;
    for (int k = 1; k <= 21; ++k) same += bcA.at(*pot, bcA.header[k]) == bcA.at(*cot, bcA.header[k]);
    EXPECT_LT(same, 5) << "the potato curve is the cotton curve";
}

// Precipitation ratios: ordered by annual precipitation so that the record
// before the nearest match is the lower bracket, and interpolated as the
// computation does it.
TEST(ShippedData, PrecipitationChanceRatios)
{
    CsvTable t = readCsv("PcpChance.DB");
    ASSERT_GE(t.rows.size(), 80);
    EXPECT_LE(t.num(0, "AnPcp"), 3.0);
    EXPECT_GE(t.num(t.rows.size() - 1, "AnPcp"), 90.0);
    for (int r = 0; r < t.rows.size(); ++r) {
        if (r > 0) EXPECT_GT(t.num(r, "AnPcp"), t.num(r - 1, "AnPcp"));
        EXPECT_GT(t.num(r, "Pct50"), t.num(r, "Pct80"));
        EXPECT_GT(t.num(r, "Pct80"), 0.0);
        EXPECT_LE(t.num(r, "Pct50"), 1.0);
    }
    auto ratios = [&](double a) {
        // nearest match on trunc(a + 1), then the record before it
        double key = std::trunc(a + 1);
        int up = t.rows.size() - 1;
        for (int r = 0; r < t.rows.size(); ++r)
            if (t.num(r, "AnPcp") >= key) { up = r; break; }
        int lo = std::max(up - 1, 0);
        double g = (a - t.num(lo, "AnPcp")) / (t.num(up, "AnPcp") - t.num(lo, "AnPcp"));
        return std::pair(t.num(lo, "Pct50") + (t.num(up, "Pct50") - t.num(lo, "Pct50")) * g,
                         t.num(lo, "Pct80") + (t.num(up, "Pct80") - t.num(lo, "Pct80")) * g);
    };
    auto [r50, r80] = ratios(10.0);
    EXPECT_NEAR(r50, 0.912569, 1e-6);
    EXPECT_NEAR(r80, 0.641681, 1e-6);
    auto [s50, s80] = ratios(20.0);
    EXPECT_NEAR(s50, 0.965787, 1e-6);
    EXPECT_NEAR(s80, 0.761487, 1e-6);
    auto [m50, m80] = ratios(14.6);  // between the 14 and 15 inch rows
    EXPECT_GT(m50, t.num(*t.find("AnPcp", "14"), "Pct50"));
    EXPECT_LT(m50, t.num(*t.find("AnPcp", "15"), "Pct50"));
    EXPECT_GT(m80, t.num(*t.find("AnPcp", "14"), "Pct80"));
}

// Wetting factors: every interval once, in order; drier (smaller) factors for
// longer intervals and for coarse soils.
TEST(ShippedData, WetSoilFactors)
{
    CsvTable t = readCsv("WetSoil.db");
    ASSERT_GE(t.rows.size(), 20);
    const QStringList soils = {"Clay", "Clay Loam", "Silt Loam", "Sandy Loam", "Loamy Sand", "Sand"};
    for (int r = 0; r < t.rows.size(); ++r) {
        EXPECT_EQ(t.at(r, "Interval Days").toInt(), r + 1);
        for (const QString& s : soils) {
            EXPECT_GT(t.num(r, s), 0.0);
            EXPECT_LE(t.num(r, s), 1.15);
            if (r > 0) EXPECT_LE(t.num(r, s), t.num(r - 1, s)) << s.toStdString();
        }
        EXPECT_LE(t.num(r, "Sand"), t.num(r, "Clay"));
    }
}

// The defaults rows a new planner starts with are in range and consistent.
TEST(ShippedData, DefaultsRows)
{
    CsvTable sys = readCsv("SystemDefaults.db"), loc = readCsv("LocalDefaults.db");
    ASSERT_EQ(sys.rows.size(), 1);
    ASSERT_EQ(loc.rows.size(), 1);
    EXPECT_TRUE(QStringList({"FAONEH", "FAO56", "ANYFAO", "TR21", "ANY"}).contains(sys.at(0, "ET Method")));
    for (const char* f : {"Spring Carryover %", "Fall Carryover %"})
        EXPECT_TRUE(sys.num(0, f) >= 0 && sys.num(0, f) <= 99) << f;
    int peak = sys.at(0, "Peak ET Method").toInt();
    EXPECT_TRUE(peak >= 0 && peak <= 4);

    EXPECT_TRUE(QStringList({"Clay", "Clay Loam", "Silt Loam", "Sandy Loam", "Loamy Sand", "Sand"})
                    .contains(loc.at(0, "Surface Soil Type")));
    EXPECT_TRUE(QStringList({"Rain", "Sprinklers- above canopy", "Borders and basin irrigation",
                             "Furrows- Large application depth", "Furrows- Small application depth",
                             "Furrows- Every other row irrigated", "Trickle irrigation",
                             "LEPA systems (every other row)"})
                    .contains(loc.at(0, "Type of Irrigation")));
    double depth = loc.num(0, "Net Depth of Irrigation");
    EXPECT_TRUE(depth > 0 && depth <= 12);
    EXPECT_TRUE(loc.num(0, "Stress Factor") >= 0.1 && loc.num(0, "Stress Factor") <= 1.0);
    EXPECT_TRUE(loc.num(0, "ASW") >= 1 && loc.num(0, "ASW") <= 99);
    EXPECT_GT(loc.num(0, "Days Wettings Develop"), 0);
    EXPECT_GT(loc.num(0, "Days Wettings Mature"), 0);
    EXPECT_LT(loc.num(0, "Hay 1st Cut Mo") * 100 + loc.num(0, "Hay 1st Cut Day"),
              loc.num(0, "Hay Last Cut Mo") * 100 + loc.num(0, "Hay Last Cut Day"));
    EXPECT_TRUE(QStringList({"1.0", "0.8", "0.5", "0.4", "0.35"}).contains(loc.at(0, "Fw")));
    EXPECT_TRUE(QStringList({"CT", "MFT"}).contains(loc.at(0, "SText")));
    EXPECT_NEAR(loc.num(0, "Appin"), round2(loc.num(0, "App") * 0.03936996), 1e-9);
    EXPECT_NEAR(loc.num(0, "EToin"), round2(loc.num(0, "ETo") * 0.03936996), 1e-9);
    EXPECT_NEAR(loc.num(0, "U2in"), round2(loc.num(0, "U2") * 2.236936), 1e-9);
    // the FAO-56 irrigation depth is the net depth of the general page, in mm
    EXPECT_NEAR(loc.num(0, "App"), depth * 25.4, 0.05);
}

// Every irrigation type the crop and local defaults dialogs offer, in any of
// their spellings, finds its application efficiency; "Rain" (no system) has
// none; no row is under a spelling a lookup would never use.
TEST(ShippedData, FarmApplicationEfficiencyForEveryIrrigationType)
{
    CsvTable eff = readCsv("FarmIrrEff.db");
    QSet<QString> offered;
    for (const QStringList* list : {&quen::mainprog::CropDialogIrrigationTypes(), &quen::mainprog::LocalDefaultIrrigationTypes()})
        for (const QString& type : *list)
            offered << quen::CanonicalIrrigationType(type);
    ASSERT_TRUE(offered.contains("Rain"));
    for (const QString& type : offered) {
        std::optional<int> r = eff.find("Irrigation Type", type);
        if (type == "Rain") {
            EXPECT_FALSE(r.has_value()) << "rain is no irrigation system";
            continue;
        }
        ASSERT_TRUE(r.has_value()) << "no application efficiency for " << type.toStdString();
        const double ea = eff.num(*r, "Application Eff");
        EXPECT_TRUE(ea > 0 && ea <= 1) << type.toStdString() << " " << ea;
        EXPECT_FALSE(eff.at(*r, "Source").isEmpty()) << type.toStdString();
    }
    for (int r = 0; r < eff.rows.size(); ++r) {
        const QString type = eff.at(r, "Irrigation Type");
        EXPECT_EQ(type, quen::CanonicalIrrigationType(type)) << "line " << eff.lines[r];
        EXPECT_TRUE(offered.contains(type)) << "no dialog offers " << type.toStdString();
    }
    EXPECT_EQ(eff.rows.size(), offered.size() - 1);
}

// Salinity thresholds belong to crop records that exist and are positive;
// the farm defaults row a new job starts from is legal.
TEST(ShippedData, FarmSalinityThresholdsAndDefaults)
{
    CsvTable salt = readCsv("FarmCropSalt.db"), crops = readCsv("QuenCrop.DB");
    ASSERT_FALSE(salt.rows.isEmpty());
    QSet<QString> names;
    for (int r = 0; r < salt.rows.size(); ++r) {
        const QString crop = salt.at(r, "Crop Name");
        EXPECT_TRUE(crops.find("Cop Name", crop).has_value())
            << "line " << salt.lines[r] << ": \"" << crop.toStdString() << "\" is no crop record";
        EXPECT_FALSE(names.contains(crop)) << crop.toStdString();
        names << crop;
        bool ok = false;
        const double ece = salt.at(r, "ECe Threshold").toDouble(&ok);
        EXPECT_TRUE(ok && ece > 0) << crop.toStdString();
        EXPECT_FALSE(salt.at(r, "Source").isEmpty()) << crop.toStdString();
    }

    CsvTable def = readCsv("FarmDefaults.db");
    ASSERT_EQ(def.rows.size(), 1);
    bool ok = false;
    const double ec = def.at(0, "Conveyance Eff").toDouble(&ok);
    EXPECT_TRUE(ok && ec > 0 && ec <= 1) << ec;
    const double hours = def.at(0, "Hours Per Day").toDouble(&ok);
    EXPECT_TRUE(ok && hours >= 1 && hours <= 24) << hours;
    const double ecw = def.at(0, "ECw").toDouble(&ok);
    EXPECT_TRUE(ok && ecw >= 0) << ecw;
}

// All shipped files load into a fresh database.
TEST(ShippedData, LoadIntoFreshDatabase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("fresh.sqlite");
    qputenv("QUENPM_DB", path.toUtf8());
    quen::Database::setDataDirectory(kDataDir + "/tables");
    try {
        quen::Database::open();
    } catch (const quen::DbError& e) {
        if (e.message().contains("not implemented")) GTEST_SKIP() << "database layer not finished yet";
        FAIL() << e.message().toStdString();
    }
    for (const QString& name : tableFiles()) {
        quen::TTable t(name);
        t.open();
        EXPECT_EQ(t.recordCount(), readCsv(name).rows.size()) << name.toStdString();
        t.close();
    }
    quen::TTable crops("QuenCrop.DB");
    crops.setIndexName("CropNameIndex");
    crops.open();
    EXPECT_TRUE(crops.locate("Cop Name", "Potatoes"));
    EXPECT_EQ(crops.field("BC Crop Curve Name").asString(), "Potatoes (TR-21)");
    crops.close();
    quen::TTable bc("CrpBCAnu.DB");
    bc.open();
    ASSERT_TRUE(bc.locate("Crop Curve Name", "Potatoes (TR-21)"));
    EXPECT_DOUBLE_EQ(bc.field("35 % Kc").asFloat(), 0.85);
    EXPECT_DOUBLE_EQ(bc.field("100%Kc").asFloat(), 1.23);
    bc.close();
    quen::TTable per("CrpBCPer.DB");
    per.open();
    ASSERT_TRUE(per.locate("Crop Curve Name", "Alfalfa (TR-21)"));
    EXPECT_DOUBLE_EQ(per.field("Jul 1 Kc").asFloat(), 1.13);
    EXPECT_DOUBLE_EQ(per.field("Dec 31 Kc").asFloat(), 0.6);
    per.close();
    quen::TTable clim("Climate.DB");
    clim.open();
    ASSERT_TRUE(clim.locate("Station Name", "BOISE AIR TERMINAL"));
    EXPECT_EQ(clim.field("Spr mo/dy 28").asString(), QString("04/11"));
    EXPECT_EQ(clim.field("Fall mo/dy 28").asString(), QString("10/27"));
    clim.close();
    quen::Database::close();
}
