// A small database for the engine tests, built from CSV text written by the
// test into a temporary folder: one temperate station with wind data, one dry
// station without, the reference tables with a few rows, one curve of each kind.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quen {
class TTable;
}

namespace quen::test {

// Inputs of one working crop as the tests vary them; the rest is fixed.
struct CropRow {
    QString name = QStringLiteral("Beans");
    int curveIndex = 3;
    QString curveName = QStringLiteral("BC Beans");
    int pm = 4, pd = 15, hm = 10, hd = 15;
    int etIndex = 1;
    double netIrr = 3.0, carryBeg = 0.0, carryEnd = 0.0;
    QString soil = QStringLiteral("Silt Loam");
    int cuttings = 3;
    int wetDeveloped = 7, wetMature = 14;
};

// Appends and posts the working-crop row of r as "Crop No" cropNo of the
// job "Test job" (cuttings 6/1 to 8/30, Ks 1, Fw 1).
void appendWorkingCrop(TTable& wk, const CropRow& r, int cropNo);

class EngineDatabase {
public:
    // Writes the fixture tables (plus extra: table name -> CSV text) into a
    // temporary folder and creates the database file there. open: also open it.
    explicit EngineDatabase(const QMap<QString, QString>& extra = {}, bool open = true);
    ~EngineDatabase();

    QString dir() const { return m_dir->path(); }
    QString dbPath() const { return m_dir->filePath(QStringLiteral("engine.sqlite")); }

    // Station monthly mean temperatures of the temperate station, deg F, [1..12].
    static const double kTemp[13];
    static const double kPrecip[13];
    // Daytime percent of the fixture's "MoPctDay.db" (the same for every latitude row).
    static const double kPctDay[13];

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace quen::test
