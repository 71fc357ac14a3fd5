#include "EngineFixture.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cmath>

#include "db/Database.h"
#include "db/Table.h"

namespace quen::test {

void appendWorkingCrop(TTable& wk, const CropRow& r, int cropNo)
{
    wk.append();
    wk.field("Crop Name").setAsString(r.name);
    wk.field("Job Name").setAsString("Test job");
    wk.field("Crop No").setAsInteger(cropNo);
    wk.field("Curve Index").setAsInteger(r.curveIndex);
    wk.field("Curve Name").setAsString(r.curveName);
    wk.field("Net Irr").setAsFloat(r.netIrr);
    wk.field("Plant Mo").setAsInteger(r.pm);
    wk.field("Plant Day").setAsInteger(r.pd);
    wk.field("Harvest Mo").setAsInteger(r.hm);
    wk.field("Harvest Day").setAsInteger(r.hd);
    wk.field("Carry Beg").setAsFloat(r.carryBeg);
    wk.field("Carry End").setAsFloat(r.carryEnd);
    wk.field("Soil").setAsString(r.soil);
    wk.field("Cuttings").setAsInteger(r.cuttings);
    wk.field("Cut1Mo").setAsInteger(6);
    wk.field("Cut1Day").setAsInteger(1);
    wk.field("CutEndMo").setAsInteger(8);
    wk.field("CutEndDay").setAsInteger(30);
    wk.field("Dys Wet Developed").setAsInteger(r.wetDeveloped);
    wk.field("Dys Wet Mature").setAsInteger(r.wetMature);
    wk.field("Stress Factor").setAsFloat(1.0);
    wk.field("Fraction Wetted").setAsFloat(1.0);
    wk.field("ET Index").setAsInteger(r.etIndex);
    wk.post();
}

const double EngineDatabase::kTemp[13] = {0, 25, 30, 38, 48, 58, 67, 73, 71, 61, 50, 37, 28};
const double EngineDatabase::kPrecip[13] = {0, 0.6, 0.6, 0.9, 1.2, 2.1, 1.6, 1.4, 1.1, 1.0, 0.8, 0.6, 0.5};
const double EngineDatabase::kPctDay[13] = {0, 6.8, 6.9, 8.3, 8.9, 10.0, 10.1, 10.2, 9.5, 8.4, 7.8, 6.7, 6.4};

namespace {

void Write(const QString& dir, const QString& table, const QString& text)
{
    QFile f(QDir(dir).filePath(table + QStringLiteral(".csv")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        qFatal("cannot write fixture %s", qPrintable(table));
    f.write(text.toUtf8());
}

QString Seq(const char* prefix) // "P1,P2,...,P12"
{
    QStringList s;
    for (int m = 1; m <= 12; ++m)
        s << QString::fromLatin1(prefix) + QString::number(m);
    return s.join(',');
}

QString Vals(const double* v, double scale = 1.0, double offset = 0.0)
{
    QStringList s;
    for (int m = 1; m <= 12; ++m)
        s << QString::number(v[m] * scale + offset, 'g', 12);
    return s.join(',');
}

QString Same(double v)
{
    QStringList s;
    for (int m = 1; m <= 12; ++m)
        s << QString::number(v, 'g', 12);
    return s.join(',');
}

QString ClimateCsv()
{
    const double* T = EngineDatabase::kTemp;
    double tmin[13], tmax[13], tminC[13], tmaxC[13], dry[13];
    for (int m = 1; m <= 12; ++m) {
        tmin[m] = T[m] - 14;
        tmax[m] = T[m] + 14;
        tminC[m] = (tmin[m] - 32) * 5 / 9;
        tmaxC[m] = (tmax[m] - 32) * 5 / 9;
        dry[m] = 0.05;
    }
    QString s = QStringLiteral("Station Name,Station No,County,WHRLocation,Latitude,Longitude,Elevation,"
                               "Spr mo/dy 28,Spr mo/dy 32,Fall mo/dy 28,Fall mo/dy 32,")
        + Seq("T") + ',' + Seq("P") + ',' + Seq("Tmin") + ',' + Seq("Tmax") + ',' + Seq("TminM") + ','
        + Seq("TmaxM") + '\n';
    s += QStringLiteral("Bad Latitude,0003,\"Test, TS\",,41,10608,4000,04/12,05/02,10/20,10/01,") + Vals(T) + ','
        + Vals(EngineDatabase::kPrecip) + ',' + Vals(tmin) + ',' + Vals(tmax) + ',' + Vals(tminC) + ','
        + Vals(tmaxC) + '\n';
    s += QStringLiteral("Dry Station,0002,\"Test, TS\",,4119,10608,4000,04/12,05/02,10/20,10/01,") + Vals(T) + ','
        + Vals(dry) + ',' + Vals(tmin) + ',' + Vals(tmax) + ',' + Vals(tminC) + ',' + Vals(tmaxC) + '\n';
    s += QStringLiteral("Test Station,0001,\"Test, TS\",Test WHR,4119,10608,4000,04/12,05/02,10/20,10/01,") + Vals(T)
        + ',' + Vals(EngineDatabase::kPrecip) + ',' + Vals(tmin) + ',' + Vals(tmax) + ',' + Vals(tminC) + ','
        + Vals(tmaxC) + '\n';
    return s;
}

QString WhrCsv()
{
    const double rs[13] = {0, 200, 290, 400, 510, 600, 660, 650, 570, 460, 330, 220, 180};
    QString s = QStringLiteral("WHRLocation,") + Seq("RHmin") + ',' + Seq("RHmax") + ',' + Seq("Cor") + ','
        + Seq("U2") + ',' + Seq("Rs") + ',' + Seq("As") + ',' + Seq("Bs") + ',' + Seq("N")
        + QStringLiteral(",StationType,StationHeight,StationLoc\n");
    s += QStringLiteral("Test WHR,") + Same(30) + ',' + Same(75) + ',' + Same(-2) + ',' + Same(7) + ',' + Vals(rs)
        + ',' + Same(0.25) + ',' + Same(0.5) + ',' + Same(0)
        + QStringLiteral(",Other type station,3,Interior location\n");
    return s;
}

QString PcpChanceCsv()
{
    QString s = QStringLiteral("AnPcp,Pct50,Pct80\n");
    for (int a = 3; a <= 90; ++a)
        s += QStringLiteral("%1,%2,%3\n").arg(a).arg(0.8 + 0.002 * a, 0, 'g', 12).arg(0.45 + 0.005 * a, 0, 'g', 12);
    return s;
}

QString MoPctDayCsv()
{
    QString s = QStringLiteral("Latitude N,Jan,Feb,Mar,Apr,May,Jun,Jul,Aug,Sep,Oct,Nov,Dec\n");
    for (int lat = 0; lat <= 65; ++lat)
        s += QString::number(lat) + ',' + Vals(EngineDatabase::kPctDay) + '\n';
    return s;
}

QString WetSoilCsv()
{
    QString s = QStringLiteral("Interval Days,Clay,Clay Loam,Silt Loam,Sandy Loam,Loamy Sand,Sand\n");
    for (int d = 1; d <= 30; ++d) {
        const double f = 1.0 / (1.0 + 0.2 * d);
        s += QStringLiteral("%1,%2,%3,%4,%5,%6,%7\n").arg(d).arg(f).arg(f * 0.95).arg(f * 0.9).arg(f * 0.8)
                 .arg(f * 0.7).arg(f * 0.6);
    }
    return s;
}

} // namespace

EngineDatabase::EngineDatabase(const QMap<QString, QString>& extra, bool open)
    : m_dir(std::make_unique<QTemporaryDir>())
{
    const QString data = QDir(dir()).filePath(QStringLiteral("tables"));
    QDir().mkpath(data);
    QMap<QString, QString> t;
    t[QStringLiteral("Climate.DB")] = ClimateCsv();
    t[QStringLiteral("ClimWHR.DB")] = WhrCsv();
    t[QStringLiteral("PcpChance.DB")] = PcpChanceCsv();
    t[QStringLiteral("MoPctDay.db")] = MoPctDayCsv();
    t[QStringLiteral("WetSoil.db")] = WetSoilCsv();
    t[QStringLiteral("SystemDefaults.db")] =
        QStringLiteral("ET Method,Spring Carryover %,Fall Carryover %,Elevation Correction,Peak ET Method\nANY,0,0,F,0\n");
    t[QStringLiteral("CrpAnTyp.db")] =
        QStringLiteral("Crop Type,Fs1,Fs2,Fs3,DaysMin,DaysMax\nCorn type,0.2,0.5,0.8,100,140\n");
    t[QStringLiteral("CrpAnNam.DB")] =
        QStringLiteral("Crop Curve Name,Crop Type,Climate/Wind,Kcb,Kcp,Kcm\nCorn AM,Corn type,AM,0.25,1.05,0.45\n");
    t[QStringLiteral("CrpPeren.DB")] = QStringLiteral(
        "Crop Curve Name,Humidity/Wind,Jan Kc,Feb Kc,Mar Kc,Apr Kc,May Kc,Jun Kc,Jul Kc,Aug Kc,Sep Kc,Oct Kc,Nov Kc,Dec Kc,Marked\n"
        "Orchard AM,AM,,,,0.5,0.7,0.9,0.95,0.95,0.8,0.6,,,F\n");
    t[QStringLiteral("CrpForag.DB")] = QStringLiteral(
        "Crop Curve Name,Climate/Wind,Pk % After Harvest (Alf),Pk Days Before Harvest,Low Kc,High Kc,Hay\n"
        "Alfalfa AM,AM,25,,0.45,1.15,T\n"
        "Pasture AM,AM,,,0.6,0.95,F\n");
    {
        QString bc = QStringLiteral("Crop Curve Name,0% Kc,5% Kc,10% Kc,15% Kc,20% Kc,25% Kc,30% Kc,35 % Kc,40% Kc,"
                                    "45% Kc,50% Kc,55% Kc,60% Kc,65% Kc,70% Kc,75% Kc,80% Kc,85% Kc,90% Kc,95 % Kc,100%Kc\n"
                                    "BC Beans");
        for (int i = 0; i <= 20; ++i)
            bc += QStringLiteral(",%1").arg(0.2 + 0.9 * std::sin(3.14159265 * i / 20.0), 0, 'f', 3);
        t[QStringLiteral("CrpBCAnu.DB")] = bc + '\n';
        QString bp = QStringLiteral("Crop Curve Name");
        static const char* mon[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (const char* m : mon)
            bp += QStringLiteral(",%1 1 Kc,%1 15 Kc").arg(QString::fromLatin1(m));
        bp += QStringLiteral(",Dec 31 Kc\nBC Alfalfa");
        for (int i = 0; i < 25; ++i)
            bp += QStringLiteral(",%1").arg(0.5 + 0.4 * std::sin(3.14159265 * i / 24.0), 0, 'f', 3);
        t[QStringLiteral("CrpBCPer.DB")] = bp + '\n';
    }
    t[QStringLiteral("CrpFAOCurv.DB")] = QStringLiteral(
        "CropCurveName,Kcb,Kcp,Kcm,Fs1,Fs2,Fs3\n"
        "Alpha curve,0.5,0.9,0.8,0.2,0.4,0.8\n"
        "Tomato FAO,0.6,1.15,0.7,0.15,0.40,0.75\n");
    t[QStringLiteral("QuenCrop.DB")] = QStringLiteral(
        "Cop Name,BC Crop Type,BC Crop Curve Name,Min Grow Days,Max Grow Days\n"
        "Beans,Blaney Criddle Annual Crop,BC Beans,90,120\n"
        "Grapes,Blaney Criddle Perennial Crop,BC Alfalfa,,\n");
    for (auto it = extra.begin(); it != extra.end(); ++it)
        t[it.key()] = it.value();
    for (auto it = t.begin(); it != t.end(); ++it)
        Write(data, it.key(), it.value());

    Database::setDataDirectory(data);
    Database::open(dbPath());
    if (!open)
        Database::close();
}

EngineDatabase::~EngineDatabase()
{
    if (Database::isOpen() && Database::path() == dbPath())
        Database::close();
}

} // namespace quen::test
