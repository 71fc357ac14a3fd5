// The defaults dialogs of the Options menu: the password that unlocks the
// system defaults, both pages of the local defaults, the unit twins, the
// hay cutting check and the immediate units switch.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QCheckBox>
#include <QTest>

#include "DBControls.h"
#include "DefLocDlg.h"
#include "DefSysDlg.h"
#include "FarmStore.h"
#include "NumEdit.h"
#include "KcClimate.h"
#include "ReferenceDewPoint.h"
#include "PasswordDlg.h"
#include "MainCropFixture.h"
#include "MainDMod.h"
#include "MainForm.h"
#include "ModalRun.h"
#include "Table.h"

using namespace quen;
using namespace quen::mainprog;

namespace quen::test {

namespace {

QVariant stored(const QString& table, const QString& field)
{
    TTable t(table);
    t.open();
    const QVariant v = t.field(field).value();
    t.close();
    return v;
}

void typeText(QLineEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Tab);
}

void chooseItem(TDBRadioGroup* g, int index)
{
    auto* b = g->findChild<QAbstractButton*>(QStringLiteral("RadioItem%1").arg(index));
    ASSERT_TRUE(b);
    b->click();
}

} // namespace

class Defaults : public MainCropTest {};

TEST_F(Defaults, SystemDefaultsOpenReadOnlyAndUnlockWithThePassword)
{
    setDefault("SystemDefaults.db", "Password", "open sesame");
    TModal<TPasswordDlg>::hook = [](TPasswordDlg& d) {
        ASSERT_TRUE(activate(&d));
        EXPECT_EQ(d.windowTitle(), "Password Dialog");
        EXPECT_FALSE(d.WrongLabel->isVisible());
        QTest::keyClicks(d.Password, "guess");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        EXPECT_TRUE(d.WrongLabel->isVisible());
        EXPECT_TRUE(d.Password->text().isEmpty());
        EXPECT_TRUE(d.isVisible());
        QTest::keyClicks(d.Password, "open sesame");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    };
    TModal<TDefSysDlg>::hook = [](TDefSysDlg& d) {
        ASSERT_TRUE(activate(&d));
        EXPECT_EQ(d.windowTitle(), "System Default Values");
        EXPECT_FALSE(d.DBRadioGroup1->isEnabled());
        EXPECT_FALSE(d.SpringDBEdit->isEnabled());
        EXPECT_FALSE(d.PasswordDBEdit->isVisible());
        EXPECT_TRUE(d.NoteLabel->isVisible());
        EXPECT_EQ(d.DBRadioGroup1->itemIndex(), 0);   // shipped "FAONEH"
        QTest::mouseClick(d.EditDataBtn, Qt::LeftButton);
        EXPECT_EQ(d.windowTitle(), "System Defaults (EDIT MODE)");
        EXPECT_TRUE(d.DBRadioGroup1->isEnabled());
        EXPECT_TRUE(d.PasswordDBEdit->isVisible());
        EXPECT_FALSE(d.NoteLabel->isVisible());
        chooseItem(d.DBRadioGroup1, 2);              // "Any FAO method"
        chooseItem(d.PeakETDBRadio, 3);
        chooseItem(d.ElevDBRadioGroup, 0);
        ASSERT_TRUE(activate(&d));                   // back from the password dialog
        typeText(d.SpringDBEdit, "25");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().SystemDefaultsClick();
    EXPECT_EQ(stored("SystemDefaults.db", "ET Method").toString(), "ANYFAO");
    EXPECT_EQ(stored("SystemDefaults.db", "Peak ET Method").toInt(), 3);
    EXPECT_TRUE(stored("SystemDefaults.db", "Elevation Correction").toBool());
    EXPECT_DOUBLE_EQ(stored("SystemDefaults.db", "Spring Carryover %").toDouble(), 25);
    EXPECT_FALSE(m_program->dmod->tblSysDef->isOpen());
}

TEST_F(Defaults, BuiltInPasswordAndCancelLeaveTheStoredValues)
{
    setDefault("SystemDefaults.db", "Password", "");
    TModal<TPasswordDlg>::hook = [](TPasswordDlg& d) {
        QTest::keyClicks(d.Password, "MarloQTZ");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    TModal<TDefSysDlg>::hook = [](TDefSysDlg& d) {
        ASSERT_TRUE(activate(&d));
        QTest::mouseClick(d.EditDataBtn, Qt::LeftButton);
        ASSERT_TRUE(d.editMode());
        chooseItem(d.DBRadioGroup1, 3);
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    form().SystemDefaultsClick();
    EXPECT_EQ(stored("SystemDefaults.db", "ET Method").toString(), "FAONEH");

    // An empty stored password takes an empty entry.
    TModal<TPasswordDlg>::hook = [](TPasswordDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); };
    bool edit = false;
    TModal<TDefSysDlg>::hook = [&](TDefSysDlg& d) {
        QTest::mouseClick(d.EditDataBtn, Qt::LeftButton);
        edit = d.editMode();
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().SystemDefaultsClick();
    EXPECT_TRUE(edit);
}

TEST_F(Defaults, KcClimateOptionIsOffUntilAPlannerTurnsItOn)
{
    setDefault("SystemDefaults.db", "Password", "");
    // The dew point option: shown as stored, stored on OK like the Kc option.
    const bool dewPoint = quen::ReferenceDewPointOptionOn();
    TModal<TPasswordDlg>::hook = [](TPasswordDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); };
    TModal<TDefSysDlg>::hook = [dewPoint](TDefSysDlg& d) {
        ASSERT_TRUE(activate(&d));
        EXPECT_FALSE(d.KcClimateCheck->isChecked());   // a new database has no row: off
        EXPECT_FALSE(d.KcClimateCheck->isEnabled());
        EXPECT_EQ(d.DewPointCheck->isChecked(), dewPoint);
        EXPECT_FALSE(d.DewPointCheck->isEnabled());
        QTest::mouseClick(d.EditDataBtn, Qt::LeftButton);
        ASSERT_TRUE(d.KcClimateCheck->isEnabled());
        ASSERT_TRUE(d.DewPointCheck->isEnabled());
        d.KcClimateCheck->setChecked(true);
        d.DewPointCheck->setChecked(!dewPoint);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().SystemDefaultsClick();
    EXPECT_TRUE(quen::KcClimateOptionOn());
    EXPECT_EQ(quen::ReferenceDewPointOptionOn(), !dewPoint);

    // Cancel keeps it; the next show reads it back.
    bool shown = false;
    TModal<TDefSysDlg>::hook = [&](TDefSysDlg& d) {
        shown = d.KcClimateCheck->isChecked();
        QTest::mouseClick(d.EditDataBtn, Qt::LeftButton);
        d.KcClimateCheck->setChecked(false);
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    form().SystemDefaultsClick();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(quen::KcClimateOptionOn());
    EXPECT_EQ(quen::ReferenceDewPointOptionOn(), !dewPoint);
}

TEST_F(Defaults, LocalDefaultsTwinsAndHayDates)
{
    TModal<TDefLocDlg>::hook = [this](TDefLocDlg& d) {
        ASSERT_TRUE(activate(&d));
        EXPECT_EQ(d.windowTitle(), "Local Default Values");
        ASSERT_EQ(d.PageControl->count(), 3);
        EXPECT_EQ(d.PageControl->tabText(0), "General Data");
        EXPECT_EQ(d.PageControl->tabText(1), "FAO 56 Curve Data");
        EXPECT_EQ(d.PageControl->tabText(2), "Farm Water");
        EXPECT_EQ(d.IrrSysDBComboBox->currentText(), "Sprinklers- above canopy");

        typeText(d.NetDepthDBEdit, "2.75");
        typeText(d.Cut1MoDBEdit, "6");
        typeText(d.Cut1DayDBEdit, "31");
        EXPECT_EQ(msgs->lastText(), "Month number 6 has maximum of 30 days.");
        EXPECT_EQ(d.Cut1DayDBEdit->text(), "30");
        EXPECT_EQ(ctx().Cut1Day, 30);

        d.PageControl->setCurrentIndex(1);
        chooseItem(d.EToRadioGroup, 2);              // "High ... def 6"
        EXPECT_EQ(d.DBEditETo->text(), "6");
        EXPECT_EQ(d.OvcDbNumericField8->text(), "0.24");
        typeText(d.OvcDbNumericField8, "0.3");
        EXPECT_EQ(d.DBEditETo->text(), "7.6");
        chooseItem(d.U2RadioGroup, 1);               // 2 m/s
        EXPECT_EQ(d.OvcDbNumericField5->text(), "4.47");
        typeText(d.OvcDbNumericField5, "10");
        EXPECT_EQ(d.DBEditu2->text(), "4.47");
        typeText(d.DBEdit2, "50.8");
        EXPECT_EQ(d.OvcDbNumericField4->text(), "2.00");
        chooseItem(d.STextRadioGroup, 0);
        EXPECT_EQ(d.DBEditSoil->text(), "CT");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().LocalDefaultsClick();
    const QString t = "LocalDefaults.db";
    EXPECT_DOUBLE_EQ(stored(t, "Net Depth of Irrigation").toDouble(), 2.75);
    EXPECT_EQ(stored(t, "Hay 1st Cut Day").toInt(), 30);
    EXPECT_EQ(stored(t, "ETo").toString(), "7.6");
    EXPECT_DOUBLE_EQ(stored(t, "EToin").toDouble(), 0.3);
    EXPECT_EQ(stored(t, "U2").toString(), "4.47");
    EXPECT_DOUBLE_EQ(stored(t, "U2in").toDouble(), 10);
    EXPECT_DOUBLE_EQ(stored(t, "Appin").toDouble(), 2.0);
    EXPECT_EQ(stored(t, "SText").toString(), "CT");
    EXPECT_FALSE(m_program->dmod->tblLocDef->isOpen());
}

TEST_F(Defaults, MetricUnitsSwitchAtOnceEvenWhenCancelled)
{
    m_program->dmod->MetricUnits = false;
    TModal<TDefLocDlg>::hook = [this](TDefLocDlg& d) {
        ASSERT_TRUE(activate(&d));
        typeText(d.NetDepthDBEdit, "4");
        QTest::mouseClick(d.DBCheckBox2, Qt::LeftButton);
        EXPECT_TRUE(m_program->dmod->MetricUnits);
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    form().LocalDefaultsClick();
    EXPECT_TRUE(m_program->dmod->MetricUnits);
    EXPECT_FALSE(stored("LocalDefaults.db", "MetricUnits").toBool());
    EXPECT_DOUBLE_EQ(stored("LocalDefaults.db", "Net Depth of Irrigation").toDouble(), 3.0);
}

// The Farm Water page: a new job's Ec, hours and ECw and the efficiency of
// each type of irrigation are stored on OK, and nothing on Cancel; hours
// outside 1 to 24 are refused naming the field.
TEST_F(Defaults, FarmWaterPageStoresOnOKOnly)
{
    TModal<TDefLocDlg>::hook = [](TDefLocDlg& d) {
        ASSERT_TRUE(activate(&d));
        d.PageControl->setCurrentIndex(2);
        EXPECT_EQ(d.ConveyEffDefEdit->text(), "1.00");
        EXPECT_EQ(d.HoursDefEdit->text(), "24.0");
        ASSERT_EQ(d.AppEffDefEdits.size(), 7);
        typeInto(d.ConveyEffDefEdit, "0.8");
        typeInto(d.AppEffDefEdits[1], "0.7");        // borders and basins
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    form().LocalDefaultsClick();
    EXPECT_DOUBLE_EQ(job::DefaultFarmJob().conveyanceEff, 1.0);
    EXPECT_DOUBLE_EQ(job::DefaultApplicationEff("Borders and basin irrigation"), 0.6);

    TModal<TDefLocDlg>::hook = [this](TDefLocDlg& d) {
        ASSERT_TRUE(activate(&d));
        d.PageControl->setCurrentIndex(2);
        typeInto(d.ConveyEffDefEdit, "0.8");
        msgs->clear();
        typeInto(d.HoursDefEdit, "25");
        EXPECT_EQ(msgs->lastText(), "Operating hours per day: 25 is out of range. Enter a number from 1 to 24.");
        typeInto(d.HoursDefEdit, "20");
        typeInto(d.AppEffDefEdits[1], "0.7");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().LocalDefaultsClick();
    const FarmJobInput farm = job::DefaultFarmJob();
    EXPECT_DOUBLE_EQ(farm.conveyanceEff, 0.8);
    EXPECT_DOUBLE_EQ(farm.hoursPerDay, 20.0);
    EXPECT_DOUBLE_EQ(job::DefaultApplicationEff("Borders and basin irrigation"), 0.7);
    EXPECT_DOUBLE_EQ(job::DefaultApplicationEff("Trickle irrigation"), 0.9);   // untouched
    job::SetDefaultFarmJob({});
    job::SetDefaultApplicationEff("Borders and basin irrigation", 0.6);
}

} // namespace quen::test
