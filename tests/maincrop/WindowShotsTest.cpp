// Pictures of every crop and defaults window, for looking at the layout:
// runs only when QUEN_SHOTS names a folder (e.g. under Xvfb with the xcb
// platform), and writes one PNG per window there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "Outputs.h"

#include "CompPHDatesDlg.h"
#include "CropCompDlg.h"
#include "GetCropNamDlg.h"
#include "DBGrid.h"
#include "DefLocDlg.h"
#include "DefSysDlg.h"
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

void shot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("QUEN_SHOTS");
    w->activateWindow();
    QTest::qWait(150);
    w->grab().save(QDir(dir).filePath(name + ".png"));
}

} // namespace

class WindowShots : public MainCropTest {};

TEST_F(WindowShots, EveryWindow)
{
    if (!qEnvironmentVariableIsSet("QUEN_SHOTS")) GTEST_SKIP() << "QUEN_SHOTS not set";
    setUpJob(kKetchum, 2);
    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) {
        clickGridRow(d.DBGrid1, "Alfalfa hay");
        shot(&d, "GetCropNamDlg");
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    };
    TModal<TCropCompDlg>::hook = [this](TCropCompDlg& d) {
        wk().field("StartT").setAsFloat(45);
        wk().field("StartTM").setAsFloat(7.2);
        wk().field("EndT").setAsFloat(40);
        wk().field("EndTM").setAsFloat(4.4);
        shot(&d, "CropCompDlg");
        TModal<TCompPHDatesDlg>::hook = [](TCompPHDatesDlg& p) {
            shot(&p, "CompPHDatesDlg");
            QTest::mouseClick(p.CancelBtn, Qt::LeftButton);
        };
        QTest::mouseClick(d.btnCompDate, Qt::LeftButton);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().AddCropBtnClick();
    shot(&form(), "MainFormAfterCrop");

    setUpJob(kMaricopa, 3);
    m_program->dmod->MetricUnits = true;
    m_program->dmod->tblCreateCrp->setFiltered(false);
    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) {
        clickGridRow(d.DBGrid1, "Sugar beets");
        shot(&d, "GetCropNamDlgFAO");
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    };
    TModal<TCropCompDlg>::hook = [](TCropCompDlg& d) {
        shot(&d, "CropCompDlgFAOMetric");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    // This time the output dialog itself, photographed and closed by a timer.
    TCropCompDlg::ShowOutput = [](QWidget* parent, CropRunContext& c, CropCurveState& s) {
        QTimer::singleShot(500, [] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                w->grab().save(QDir(qEnvironmentVariable("QUEN_SHOTS")).filePath("OutputAfterClose.png"));
                w->close();
            }
        });
        output::showOutputDialog(parent, c, s);
    };
    form().AddCropBtnClick();

    TModal<TPasswordDlg>::hook = [](TPasswordDlg& d) {
        QTest::keyClicks(d.Password, "x");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        shot(&d, "PasswordDlgWrong");
        QTest::keyClicks(d.Password, "MarloQTZ");
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    TModal<TDefSysDlg>::hook = [](TDefSysDlg& d) {
        shot(&d, "DefSysDlg");
        QTest::mouseClick(d.EditDataBtn, Qt::LeftButton);
        shot(&d, "DefSysDlgEdit");
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    form().SystemDefaultsClick();
    TModal<TDefLocDlg>::hook = [](TDefLocDlg& d) {
        shot(&d, "DefLocDlgGeneral");
        d.PageControl->setCurrentIndex(1);
        shot(&d, "DefLocDlgFAO");
        QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    };
    form().LocalDefaultsClick();
}

} // namespace quen::test
