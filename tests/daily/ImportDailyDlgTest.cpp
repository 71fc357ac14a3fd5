// "Import Daily Weather": the station shown in the editor is preselected, OK
// imports the chosen file with the window's choices and closes it with the
// outcome shown; a missing file or a refused file keeps the window open
// with the reason, and nothing is stored.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>

#include "DailyFixture.h"
#include "ImportDailyDlg.h"

using namespace quen;
using namespace quen::test;

namespace {

int dailyRows()
{
    TTable t("DailyWeather.db");
    t.open();
    const int n = t.recordCount();
    t.close();
    return n;
}

} // namespace

TEST_F(DailyDb, ImportDailyWindowStoresTheChosenFileForTheStation)
{
    Answers yes;
    climprog::TImportDailyDlg dlg(QStringLiteral("maricopa azmet"));
    EXPECT_EQ(dlg.StationCombo->currentText(), kMaricopa);
    EXPECT_EQ(dlg.windowTitle(), "Import Daily Weather");

    // No file chosen: the reason, the window stays.
    dlg.OKBtn->click();
    EXPECT_EQ(dlg.result(), 0);
    ASSERT_EQ(yes.texts.size(), 1);
    EXPECT_TRUE(yes.texts[0].contains("file"));

    // A file that is not daily weather: refused, nothing stored.
    dlg.FileEdit->setText(writeFile("not.csv", "a,b\n1,2\n"));
    dlg.OKBtn->click();
    EXPECT_FALSE(dlg.lastResult().imported);
    EXPECT_EQ(dailyRows(), 0);

    dlg.FileEdit->setText(kAzmetFile);
    dlg.WindHeightEdit->setValue(3.0);
    dlg.FormatCombo->setCurrentIndex(0);
    const job::DailyImportRequest r = dlg.request();
    EXPECT_EQ(r.format, job::DailyFileFormat::Plain);
    EXPECT_DOUBLE_EQ(r.windHeightM, 3.0);
    EXPECT_FALSE(r.coastal);
    dlg.OKBtn->click();
    ASSERT_TRUE(dlg.lastResult().imported) << dlg.lastResult().error.toStdString();
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(dailyRows(), 6575);
    EXPECT_TRUE(yes.texts.last().contains("6575 days"));
    EXPECT_DOUBLE_EQ(job::ReadDailyWeatherSet(dlg.lastResult().stationName, dlg.lastResult().stationNo).windHeightM,
                     3.0);
}

TEST_F(DailyDb, ImportDailyWindowAnsweredNoChangesNothing)
{
    {
        Answers yes;
        climprog::TImportDailyDlg first(kMaricopa);
        first.FileEdit->setText(kAzmetFile);
        first.OKBtn->click();
        ASSERT_TRUE(first.lastResult().imported);
    }
    Answers no(MsgResult::No);
    climprog::TImportDailyDlg dlg(kMaricopa);
    dlg.FileEdit->setText(writeFile("one.csv", "date,tmax_C,tmin_C\n2021-01-01,18,2\n"));
    dlg.OKBtn->click();
    EXPECT_TRUE(dlg.lastResult().cancelled);
    EXPECT_NE(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(no.questions, 1);            // replace the 6575 days?
    EXPECT_EQ(no.texts.last(), "Changes not made!");
    EXPECT_EQ(dailyRows(), 6575);
}

// The outcome names what each count is: days whose missing values the FAO-56
// rules fill, each count after the rule it belongs to.
TEST_F(DailyDb, ImportDailyWindowCountsFilledDaysByRule)
{
    Answers yes;
    climprog::TImportDailyDlg dlg(kMaricopa);
    dlg.FileEdit->setText(writeFile("gaps.csv", "date,tmax_C,tmin_C,srad_MJ_m2,wind_m_s,rain_mm\n"
                                                "2021-01-01,18,2,12,,0\n"
                                                "2021-01-02,19,3,,1.5,\n"
                                                "2021-01-03,20,4,12,,\n"));
    dlg.OKBtn->click();
    ASSERT_TRUE(dlg.lastResult().imported) << dlg.lastResult().error.toStdString();
    EXPECT_TRUE(yes.texts.last().contains(
        "Days with missing values that the FAO-56 rules fill: solar radiation from sunshine: 0, from the "
        "temperature range: 1; humidity from Tmin: 3; wind taken as 2 m/s: 2; rain taken as 0 mm: 2."))
        << yes.texts.last().toStdString();
}

// The database file (or one of its working files) typed as the file of daily
// weather is refused unread: reading it would drop the program's hold on it.
TEST_F(DailyDb, ImportDailyWindowRefusesTheDatabaseFile)
{
    Answers yes;
    climprog::TImportDailyDlg dlg(kMaricopa);
    for (const QString& path : {Database::path(), Database::path() + QStringLiteral("-wal")}) {
        yes.texts.clear();
        dlg.FileEdit->setText(path);
        dlg.OKBtn->click();
        EXPECT_FALSE(dlg.lastResult().imported);
        EXPECT_NE(dlg.result(), int(QDialog::Accepted));
        ASSERT_EQ(yes.texts.size(), 1) << path.toStdString();
        EXPECT_TRUE(yes.texts[0].contains("is the database of the programs")) << yes.texts[0].toStdString();
    }
    EXPECT_EQ(dailyRows(), 0);
}
