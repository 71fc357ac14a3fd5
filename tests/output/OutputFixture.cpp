#include "OutputFixture.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cmath>

#include "ComputeCrop.h"
#include "Database.h"
#include "EtMethod.h"
#include "JobHeader.h"
#include "MainDMod.h"
#include "Table.h"

namespace quen::test {

CropInputs readCropInputs(const QString& path)
{
    CropInputs s;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return s;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.trimmed().startsWith(QLatin1Char('#')) || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("station")) s.station = value;
        else if (key == QLatin1String("crop")) s.crop = value;
        else if (key == QLatin1String("etIndex")) s.etIndex = value.toInt();
        else if (key == QLatin1String("curveIndex")) s.curveIndex = value.toInt();
        else if (key == QLatin1String("carryBeg")) s.carryBeg = value.toDouble();
        else if (key == QLatin1String("carryEnd")) s.carryEnd = value.toDouble();
        else if (key == QLatin1String("elevationCorrection")) s.elevationCorrection = value == QLatin1String("true");
    }
    return s;
}

OutputDatabase::OutputDatabase() : m_dir(std::make_unique<QTemporaryDir>())
{
    qputenv("QUENPM_DB", m_dir->filePath(QStringLiteral("output-test.sqlite")).toUtf8());
    Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + QStringLiteral("/tables"));
    Database::open();
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir->path());   // FAO56.txt goes here
    m_dmod = std::make_unique<mainprog::TDMod>();
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.emptyTable();
}

QString OutputDatabase::dbPath() const { return m_dir->filePath(QStringLiteral("output-test.sqlite")); }

OutputDatabase::~OutputDatabase()
{
    m_dmod.reset();
    Database::close();
    QDir::setCurrent(m_oldCwd);
}

void OutputDatabase::compute(const CropInputs& r)
{
    // The job, as "New Job" and the station choice leave it.
    ctx.reset();
    test::SetJobHeader(ctx, {QStringLiteral("Output test job"), QStringLiteral("North field"),
                             QStringLiteral("A. Planner"), QStringLiteral("3/15/2026"), QStringLiteral("B. Farmer"),
                             QStringLiteral("ID-7"), QStringLiteral("Field")});
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        if (!clim.locate(QStringLiteral("Station Name"), r.station))
            throw std::runtime_error("no shipped station " + r.station.toStdString());
        ctx.WeatherStationName = clim.field(QStringLiteral("Station Name")).asString();
        ctx.Elevation = clim.field(QStringLiteral("Elevation")).asFloat();
        ctx.ElevationM = clim.field(QStringLiteral("ElevationM")).asFloat();
        ctx.County = clim.field(QStringLiteral("County")).asString();
        ctx.StationNumber = clim.field(QStringLiteral("Station No")).asString();
        ctx.Latitude = clim.field(QStringLiteral("Latitude")).asFloat();
        ctx.Longitude = clim.field(QStringLiteral("Longitude")).asFloat();
        for (int m = 1; m <= 12; ++m) {
            ctx.MonthlyPrecip[m] = clim.field(QStringLiteral("P%1").arg(m)).asFloat();
            ctx.MonthlyTemp[m] = clim.field(QStringLiteral("T%1").arg(m)).asFloat();
            ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
        }
        clim.close();
        const double P = ctx.AnnualPrecip;
        ctx.EffPcpFact50 = 0.774261 + 0.0200712 * P - 0.000741843 * std::pow(P, 2) + 0.0000127653 * std::pow(P, 3)
            - 0.000000101543 * std::pow(P, 4) + 0.000000000301104 * std::pow(P, 5);
        ctx.EffPcpFact80 = 0.415008 + 0.0295972 * P - 0.000779763 * std::pow(P, 2)
            + 0.00000905045 * std::pow(P, 3) - 0.0000000372727 * std::pow(P, 4);
    }
    const EtMethodChoice method = r.etIndex == 1 ? DecideEtMethod(QString(), 0, QStringLiteral("ANY"), nullptr)
        : r.etIndex == 2 ? DecideEtMethod(QStringLiteral("x"), 5, QStringLiteral("FAONEH"), nullptr)
                         : DecideEtMethod(QStringLiteral("x"), 5, QStringLiteral("FAO56"), nullptr);
    ctx.ETMethodIndex = method.index;
    ctx.ETMethodText = method.text;
    {
        TTable sys(QStringLiteral("SystemDefaults.db"));
        sys.open();
        sys.first();
        sys.edit();
        sys.field(QStringLiteral("Elevation Correction")).setAsBoolean(r.elevationCorrection);
        sys.post();
        sys.close();
    }

    // The working crop, seeded from its crop record and the local defaults.
    TTable crop(QStringLiteral("QuenCrop.DB"));
    crop.open();
    if (!crop.locate(QStringLiteral("Cop Name"), r.crop))
        throw std::runtime_error("no shipped crop " + r.crop.toStdString());
    static const char* const names[6] = {"Bas Crop Curve Name", "Bas Crop Curve Name", "Bas Crop Curve Name",
                                         "BC Crop Curve Name",  "BC Crop Curve Name",  "FAOCropCurveName"};
    static const char* const types[6] = {"Field and vegetable crops",  "Perennial and specialty crops",
                                         "Grasses and forage legumes", "Blaney Criddle Annual Crop",
                                         "Blaney Criddle Perennial Crop", "FAO 56, Table 12 crops"};
    TTable* wk = mainprog::DMod->tblQuenWkCrop;
    if (!wk->isOpen())
        wk->open();
    wk->append();
    wk->field(QStringLiteral("Job Name")).setAsString(ctx.JobName);
    wk->field(QStringLiteral("Crop Name")).setAsString(r.crop);
    wk->field(QStringLiteral("Crop No")).setAsInteger(++m_cropNo);
    wk->field(QStringLiteral("Curve Index")).setAsInteger(r.curveIndex);
    wk->field(QStringLiteral("Curve Name")).setAsString(crop.field(QString::fromLatin1(names[r.curveIndex])).asString());
    wk->field(QStringLiteral("Crop Curve Type")).setAsString(QString::fromLatin1(types[r.curveIndex]));
    int pm = 0, pd = 0, hm = 0, hd = 0;
    pm = crop.field(QStringLiteral("Plant Mo")).asInteger();
    pd = crop.field(QStringLiteral("Plant Day")).asInteger();
    hm = crop.field(QStringLiteral("Harvest Mo")).asInteger();
    hd = crop.field(QStringLiteral("Harvest Day")).asInteger();
    wk->field(QStringLiteral("Plant Mo")).setAsInteger(pm);
    wk->field(QStringLiteral("Plant Day")).setAsInteger(pd);
    wk->field(QStringLiteral("Harvest Mo")).setAsInteger(hm);
    wk->field(QStringLiteral("Harvest Day")).setAsInteger(hd);
    wk->field(QStringLiteral("Beg Dat")).setAsString(QStringLiteral("%1/%2").arg(pm).arg(pd));
    wk->field(QStringLiteral("End Dat")).setAsString(QStringLiteral("%1/%2").arg(hm).arg(hd));
    crop.close();
    TTable loc(QStringLiteral("LocalDefaults.db"));
    loc.open();
    loc.first();
    wk->field(QStringLiteral("Net Irr")).setAsFloat(loc.field(QStringLiteral("Net Depth of Irrigation")).asFloat());
    wk->field(QStringLiteral("Carry Beg")).setAsFloat(r.carryBeg);
    wk->field(QStringLiteral("Carry End")).setAsFloat(r.carryEnd);
    wk->field(QStringLiteral("Soil")).setAsString(loc.field(QStringLiteral("Surface Soil Type")).asString());
    wk->field(QStringLiteral("Dys Wet Developed")).setAsInteger(loc.field(QStringLiteral("Days Wettings Develop")).asInteger());
    wk->field(QStringLiteral("Dys Wet Mature")).setAsInteger(loc.field(QStringLiteral("Days Wettings Mature")).asInteger());
    wk->field(QStringLiteral("Cuttings")).setAsInteger(loc.field(QStringLiteral("Hay Cuttings Number")).asInteger());
    wk->field(QStringLiteral("Cut1Mo")).setAsInteger(loc.field(QStringLiteral("Hay 1st Cut Mo")).asInteger());
    wk->field(QStringLiteral("Cut1Day")).setAsInteger(loc.field(QStringLiteral("Hay 1st Cut Day")).asInteger());
    wk->field(QStringLiteral("CutEndMo")).setAsInteger(loc.field(QStringLiteral("Hay Last Cut Mo")).asInteger());
    wk->field(QStringLiteral("CutEndDay")).setAsInteger(loc.field(QStringLiteral("Hay Last Cut Day")).asInteger());
    wk->field(QStringLiteral("Stress Factor")).setAsFloat(loc.field(QStringLiteral("Stress Factor")).asFloat());
    wk->field(QStringLiteral("ASW")).setAsFloat(loc.field(QStringLiteral("ASW")).asFloat());
    wk->field(QStringLiteral("Irrigation Type")).setAsString(loc.field(QStringLiteral("Type of Irrigation")).asString());
    wk->field(QStringLiteral("Fraction Wetted")).setAsFloat(1.0);
    loc.close();
    wk->field(QStringLiteral("ET Index")).setAsInteger(ctx.ETMethodIndex);
    wk->post();
    wk->locate(QStringLiteral("Crop No"), m_cropNo);
    ctx.CropName = r.crop;
    ComputeCrop(ctx, curves, *wk);
}

} // namespace quen::test
