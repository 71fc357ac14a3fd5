// quenpm-calc --report farm-water: the "Farm Water Requirement" report of a
// saved three-crop job with its saved farm values, written as PDF and QRP,
// the same pages as the program prepares from the same crops; a job whose
// farm values cannot be used is refused naming the field, and a job without
// farm values prints that the farm figures are not available.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "CalcJob.h"
#include "CropReports.h"
#include "Database.h"
#include "FarmStore.h"
#include "FarmWaterReport.h"
#include "FarmWaterText.h"
#include "QrpFile.h"

namespace {

struct CalcResult {
    int exitCode = -1;
    QString err;
};

CalcResult calc(const QString& db, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENPM_DB", db);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUENPM_CALC), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

QString withoutDate(const QString& text)
{
    QStringList keep;
    for (const QString& l : text.split('\n'))
        if (!l.startsWith("Date:"))
            keep << l;
    return keep.join('\n');
}

// The engine scenario's saved job with a third crop (cotton).
void WriteThreeCropJob(const QString& dir)
{
    QDir().mkpath(dir);
    const QString src = QStringLiteral(QUEN_JOB_TABLES);
    QFile jobIn(src + "/QuenJob.db.csv");
    ASSERT_TRUE(jobIn.open(QIODevice::ReadOnly));
    QString job = QString::fromUtf8(jobIn.readAll());
    job.replace("Engine tests,MARICOPA AZMET,1184,2,", "Engine tests,MARICOPA AZMET,1184,3,");
    QFile jobOut(dir + "/QuenJob.db.csv");
    ASSERT_TRUE(jobOut.open(QIODevice::WriteOnly));
    jobOut.write(job.toUtf8());
    QFile cropIn(src + "/QuenJobCrop.DB.csv");
    ASSERT_TRUE(cropIn.open(QIODevice::ReadOnly));
    QByteArray crops = cropIn.readAll();
    if (!crops.endsWith('\n'))
        crops += '\n';
    crops += "Maricopa FAO,Cotton,\"FAO 56, Table 12 crops\",5,3,4,15,10,12,0,0,Silt Loam,3,6,29,9,27,7,10,1,1.0,"
             "Sprinklers- above canopy,Cotton - FAO-56 T12/T11,T,50\n";
    QFile cropOut(dir + "/QuenJobCrop.DB.csv");
    ASSERT_TRUE(cropOut.open(QIODevice::WriteOnly));
    cropOut.write(crops);
}

} // namespace

TEST(FarmWaterCommand, PrintsTheFarmWaterOfASavedJob)
{
    QTemporaryDir tmp;
    const QString dbPath = tmp.filePath("farm.sqlite");
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());   // FAO56.txt goes here
    qputenv("QUENPM_DB", dbPath.toUtf8());
    quen::Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + "/tables");
    quen::Database::open(dbPath);
    WriteThreeCropJob(tmp.filePath("tables"));
    quen::Database::loadDataDirectory(tmp.filePath("tables"));
    // Ea as planned; ECe thresholds of FAO-29 Table 4 (corn 1.7, alfalfa 2.0,
    // cotton 7.7 dS/m).
    const quen::FarmJobInput farmJob{0.8, 18.0, 0.9};
    const std::vector<std::pair<QString, quen::job::FarmCropValues>> values{
        {"Corn, grain", {120.0, 0.80, 1.7}}, {"Alfalfa hay", {80.0, 0.75, 2.0}}, {"Cotton", {200.0, 0.85, 7.7}}};
    quen::job::WriteSavedFarm("Maricopa FAO", farmJob, values);
    quen::CropRunContext ctx;
    ASSERT_TRUE(quen::calc::LoadJob("Maricopa FAO", ctx));
    const QList<quen::calc::CropResult> crops = quen::calc::ComputeJob(ctx);
    ASSERT_EQ(crops.size(), 3);
    std::vector<quen::FarmCropInput> inputs;
    for (qsizetype i = 0; i < crops.size(); ++i) {
        ASSERT_EQ(crops.at(i).ctx.CropName, values.at(size_t(i)).first);
        inputs.push_back(quen::job::FarmInputOf(crops.at(i).ctx, values.at(size_t(i)).second));
    }
    const quen::FarmWater water = quen::ComputeFarmWater(farmJob, inputs);
    ASSERT_TRUE(water.available);
    quen::Database::close();

    for (bool metric : {false, true}) {
        const QString stem = tmp.filePath(metric ? "farm-m" : "farm-e");
        QStringList args{"--report", "farm-water", "--job", "Maricopa FAO", "--pdf", stem + ".pdf", "--qrp", stem + ".QRP"};
        if (metric)
            args << "--metric";
        const CalcResult r = calc(dbPath, args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QFile pdf(stem + ".pdf");
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        EXPECT_TRUE(pdf.read(5) == "%PDF-");
        quen::report::PreparedReport pages;
        QString err;
        ASSERT_TRUE(quen::report::loadQrp(stem + ".QRP", pages, &err)) << err.toStdString();
        const QString text = quen::output::preparedText(pages);
        EXPECT_EQ(withoutDate(text).toStdString(),
                  withoutDate(quen::output::preparedText(quen::prepareFarmWaterReport(ctx, water, metric))).toStdString());
        EXPECT_TRUE(text.contains(quen::output::FarmCapacityLines(water, metric).first())) << text.toStdString();
        EXPECT_TRUE(text.contains("Cotton"));
    }

    // QUEN_FARM_PDF_DIR: the reports and the database kept for a look.
    const QString keep = qEnvironmentVariable("QUEN_FARM_PDF_DIR");
    if (!keep.isEmpty())
        for (const char* f : {"farm-e.pdf", "farm-m.pdf", "farm.sqlite"}) {
            QFile::remove(keep + "/" + f);
            QFile::copy(tmp.filePath(f), keep + "/" + f);
        }

    // A negative area: refused, naming the field and the crop; no file.
    quen::Database::open(dbPath);
    auto bad = values;
    bad[2].second.areaAcres = -5;
    quen::job::WriteSavedFarm("Maricopa FAO", farmJob, bad);
    quen::Database::close();
    const QString badPdf = tmp.filePath("bad.pdf");
    const CalcResult refused = calc(dbPath, {"--report", "farm-water", "--job", "Maricopa FAO", "--pdf", badPdf});
    EXPECT_EQ(refused.exitCode, 11);
    EXPECT_TRUE(refused.err.contains("Irrigated area of Cotton cannot be negative.")) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(badPdf));

    // No farm values saved: the crops as always, the farm not available.
    quen::Database::open(dbPath);
    quen::job::DeleteSavedFarm("Maricopa FAO");
    quen::Database::close();
    const CalcResult none = calc(dbPath, {"--report", "farm-water", "--job", "Maricopa FAO", "--qrp", tmp.filePath("none.QRP")});
    ASSERT_EQ(none.exitCode, 0) << none.err.toStdString();
    quen::report::PreparedReport pages;
    QString err;
    ASSERT_TRUE(quen::report::loadQrp(tmp.filePath("none.QRP"), pages, &err)) << err.toStdString();
    const QString text = quen::output::preparedText(pages);
    EXPECT_TRUE(text.contains(quen::output::FarmNotAvailableText())) << text.toStdString();
    EXPECT_TRUE(text.contains("Farm figures not available: no irrigated area."));
    QDir::setCurrent(oldCwd);
}
