// quenpm-calc --report writes the single-crop reports of a saved job as PDF
// and QRP; the QRP holds the pages the program prepares for the same crop.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "CalcJob.h"
#include "CropReports.h"
#include "Database.h"
#include "JobStore.h"
#include "JobSummaryReport.h"
#include "QrpFile.h"
#include "Table.h"

namespace {

struct CalcRun {
    int exitCode = -1;
    QString err;
};

CalcRun calc(const QString& db, const QStringList& args)
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

// The pages as text without the print date.
QString withoutDate(const QString& text)
{
    QStringList keep;
    for (const QString& l : text.split('\n'))
        if (!l.startsWith("Date:  "))
            keep << l;
    return keep.join('\n');
}

// The chart pictures of a prepared report, in page order.
QList<QByteArray> pictureData(const quen::report::PreparedReport& pages)
{
    QList<QByteArray> out;
    for (const auto& page : pages.pages)
        for (const auto& op : page.ops)
            if (op.kind == quen::report::DrawOp::Picture)
                out << op.picture;
    return out;
}

TEST(ReportCommand, PrintsTheSingleCropReportsOfASavedJob)
{
    // A fresh database from the shipped data with one saved job; closed
    // while quenpm-calc runs.
    QTemporaryDir tmp;
    const QString dbPath = tmp.filePath("calc.sqlite");
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());   // FAO56.txt goes here
    qputenv("QUENPM_DB", dbPath.toUtf8());
    quen::Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + "/tables");
    quen::Database::open(dbPath);
    quen::Database::loadDataDirectory(QStringLiteral(QUEN_JOB_TABLES));
    quen::CropRunContext ctx;
    ASSERT_TRUE(quen::calc::LoadJob("Maricopa FAO", ctx));
    const QList<quen::calc::CropResult> crops = quen::calc::ComputeJob(ctx);
    ASSERT_EQ(crops.size(), 2);
    quen::Database::close();

    struct Case {
        QString report;
        bool metric;
        int crop;
    };
    const QList<Case> cases{{"crop-summary", false, 0}, {"crop-detail", true, 1}, {"crop-summary", true, 1}};
    QList<QString> qrps;
    for (const Case& c : cases) {
        const QString stem = tmp.filePath(QStringLiteral("%1-%2").arg(c.report).arg(qrps.size()));
        const QString pdf = stem + ".pdf", qrp = stem + ".QRP";
        QStringList args{"--report", c.report, "--job", "Maricopa FAO", "--pdf", pdf, "--qrp", qrp};
        if (c.crop > 0)
            args << "--crop" << crops.at(c.crop).ctx.CropName;
        if (c.metric)
            args << "--metric";
        const CalcRun r = calc(dbPath, args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.read(5) == "%PDF-");
        qrps << qrp;
    }
    EXPECT_EQ(calc(dbPath, {"--report", "crop-summary", "--job", "No such job", "--pdf", "x.pdf"}).exitCode, 4);
    EXPECT_EQ(calc(dbPath, {"--report", "crop-summary", "--job", "Maricopa FAO", "--crop", "Rice", "--pdf",
                            tmp.filePath("x.pdf")})
                  .exitCode,
              5);
    EXPECT_EQ(calc(dbPath, {"--report", "crop-list", "--job", "Maricopa FAO", "--pdf", tmp.filePath("x.pdf")}).exitCode,
              5);
    EXPECT_EQ(calc(dbPath, {"--report", "crop-summary", "--job", "Maricopa FAO"}).exitCode, 1);
    EXPECT_EQ(calc(dbPath, {"--report", "crop-summary", "--job", "Maricopa FAO", "--pdf",
                            tmp.filePath("no/such/folder/x.pdf")})
                  .exitCode,
              6);

    // Never written over the database or its side files: refused with the
    // reason, the database intact; an earlier PDF is replaced whole.
    {
        QFile dbFile(dbPath);
        ASSERT_TRUE(dbFile.open(QIODevice::ReadOnly));
        const QByteArray dbBefore = dbFile.readAll();
        dbFile.close();
        for (const QString& target : {dbPath, dbPath + "-journal"}) {
            const CalcRun r = calc(dbPath, {"--report", "crop-summary", "--job", "Maricopa FAO", "--pdf", target});
            EXPECT_EQ(r.exitCode, 6) << target.toStdString();
            EXPECT_TRUE(r.err.contains("it is the Quenpm database or one of its files")) << r.err.toStdString();
        }
        ASSERT_TRUE(dbFile.open(QIODevice::ReadOnly));
        EXPECT_TRUE(dbFile.readAll() == dbBefore);
        EXPECT_FALSE(QFile::exists(dbPath + "-journal"));
    }

    // The same pages as the program prepares for the crop.
    quen::Database::open(dbPath);
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const Case& c = cases.at(i);
        quen::CropRunContext expectedCtx = crops.at(c.crop).ctx;
        quen::report::PreparedReport pages;
        QString err;
        ASSERT_TRUE(quen::report::loadQrp(qrps.at(i), pages, &err)) << err.toStdString();
        const quen::report::PreparedReport expected = c.report == "crop-summary"
            ? quen::output::prepareJobCropReport(expectedCtx, c.metric)
            : quen::output::prepareCropDetailReport(expectedCtx, c.metric);
        EXPECT_EQ(withoutDate(quen::output::preparedText(pages)).toStdString(),
                  withoutDate(quen::output::preparedText(expected)).toStdString())
            << c.report.toStdString();
    }
    quen::Database::close();

    // The job's other reports: the job summary with a block per crop (the
    // same pages as the program prepares from its working table, which the
    // command leaves empty), the climate inputs and the two chart reports
    // with their charts as pictures.
    struct Other {
        QString report;
        bool metric;
        QString title;
    };
    const QList<Other> others{{"job-summary", false, "Normal Year Quen"},
                              {"job-summary", true, "Normal Year Quen"},
                              {"clim-detail", false, "Climatic Data Input"},
                              {"graph", false, "Crop ET and Kc Curves"},
                              {"graph", true, "Crop ET and Kc Curves"},
                              {"bar", true, "Monthly Crop Water Requirements"}};
    for (const Other& o : others) {
        const QString stem = tmp.filePath(o.report + (o.metric ? "-m" : "-e"));
        QStringList args{"--report", o.report, "--job", "Maricopa FAO", "--pdf", stem + ".pdf", "--qrp", stem + ".QRP"};
        if (o.metric)
            args << "--metric";
        const CalcRun r = calc(dbPath, args);
        ASSERT_EQ(r.exitCode, 0) << o.report.toStdString() << ": " << r.err.toStdString();
        quen::report::PreparedReport pages;
        QString err;
        ASSERT_TRUE(quen::report::loadQrp(stem + ".QRP", pages, &err)) << err.toStdString();
        const QString text = quen::output::preparedText(pages);
        EXPECT_TRUE(text.contains(o.title)) << o.report.toStdString();
        bool pictures = false;
        for (const auto& page : pages.pages)
            for (const auto& op : page.ops)
                pictures = pictures || op.kind == quen::report::DrawOp::Picture;
        EXPECT_EQ(pictures, o.report == "graph" || o.report == "bar") << o.report.toStdString();
        if (o.report == "graph") {
            // The daily curves are the chosen crop's (the first), not the
            // job's last crop's. The daily rows stay private to the command's
            // run, so its charts are compared with those of the same report
            // of each crop named.
            auto charts = [&](const QString& cropName) {
                const QString qrp = tmp.filePath("graph-" + QString::number(qHash(cropName)) + ".QRP");
                QStringList a{"--report", "graph", "--job", "Maricopa FAO", "--crop", cropName, "--pdf",
                              tmp.filePath("graph.pdf"), "--qrp", qrp};
                if (o.metric)
                    a << "--metric";
                EXPECT_EQ(calc(dbPath, a).exitCode, 0);
                quen::report::PreparedReport named;
                QString e;
                EXPECT_TRUE(quen::report::loadQrp(qrp, named, &e)) << e.toStdString();
                return pictureData(named);
            };
            EXPECT_FALSE(pictureData(pages).isEmpty());
            EXPECT_EQ(pictureData(pages), charts(crops.at(0).ctx.CropName));
            EXPECT_NE(pictureData(pages), charts(crops.at(1).ctx.CropName));
        }
        if (o.report != "job-summary")
            continue;
        for (const quen::calc::CropResult& c : crops)
            EXPECT_TRUE(text.contains(c.ctx.CropName)) << c.ctx.CropName.toStdString();
        quen::Database::open(dbPath);
        quen::TTable wk(QStringLiteral("QuenWkCrop.DB"));
        wk.open();
        EXPECT_TRUE(wk.isEmpty());
        wk.close();
        quen::CropRunContext jobCtx;
        quen::JobState jobState;
        quen::CropCurveState state;
        ASSERT_TRUE(quen::calc::LoadJob("Maricopa FAO", jobCtx));
        quen::job::FetchCrops(jobCtx, jobState, state, wk);
        jobCtx = crops.at(0).ctx;   // the command's default crop
        const QString expected =
            quen::output::preparedText(quen::prepareJobSummaryReport(jobCtx, wk, o.metric));
        wk.close();
        wk.emptyTable();
        quen::Database::close();
        EXPECT_EQ(withoutDate(text).toStdString(), withoutDate(expected).toStdString()) << o.report.toStdString();
    }
    QDir::setCurrent(oldCwd);
}

} // namespace
