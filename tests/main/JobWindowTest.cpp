// The planner's road through the main window, driven through its controls:
// New Job, the job name, Get New Climate with the county and station grids
// and the ET method, a crop, Display Crop, Save, Cancel, Get Prev Job; and
// the job name check, the save prompt, Delete Crop, the report commands and
// the job removal dialog; job texts no longer than their fields and saves
// that never write one job over another.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <iostream>
#include <memory>
#include <QPushButton>
#include <QTableWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "CropCompDlg.h"
#include "GetCropNamDlg.h"
#include "CropReportDlg.h"
#include "CropReports.h"
#include "DBControls.h"
#include "Database.h"
#include "DialogHoldCheck.h"
#include "DBGrid.h"
#include "ETMethodDlg.h"
#include "GetClimDlg.h"
#include "JobListForm.h"
#include "JobPicture.h"
#include "RemoveJobsDlg.h"
#include "SaveForm.h"
#include "JobFixture.h"
#include "JobStore.h"
#include "MessageBoxes.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Outputdlg.h"
#include "PreviewWindow.h"
#include "Program.h"
#include "ReferenceET.h"

using namespace quen;
using namespace quen::mainprog;
using namespace quen::test;

namespace {

bool selectGridRow(TDBGrid* grid, const QString& text)
{
    QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->data(m->index(r, 0)).toString().trimmed() == text) {
            const QModelIndex idx = m->index(r, 0);
            grid->scrollTo(idx);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(idx).center());
            if (grid->currentIndex().row() != r) grid->setCurrentIndex(idx);
            return true;
        }
    return false;
}

QStringList gridColumn(TDBGrid* grid)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->data(grid->model()->index(r, 0)).toString().trimmed();
    return out;
}

// Types text into an entry field as the planner does and leaves it with Enter.
void typeInto(TNumEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

// What one output dialog showed: the monthly grid (row 0 the headers) and
// the totals line.
struct ShownOutput {
    QString crop;
    QList<QStringList> rows;
    QStringList totals;
};

ShownOutput readOutput(TOutputdlg& d)
{
    ShownOutput o;
    o.crop = d.CropNameDBText->text().trimmed();
    for (int r = 0; r < d.SGrid->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < d.SGrid->columnCount(); ++c)
            row << (d.SGrid->item(r, c) ? d.SGrid->item(r, c)->text().trimmed() : QString());
        o.rows << row;
    }
    for (int c = 0; c < d.TotalsGrid->columnCount(); ++c)
        o.totals << (d.TotalsGrid->item(0, c) ? d.TotalsGrid->item(0, c)->text().trimmed() : QString());
    return o;
}

// A shown figure (two decimals) against the engine's number. The grid takes
// six significant digits first and then the decimals (11.714997 shows as
// 11.72), so the engine's number is compared at six digits.
void expectCell(const QString& text, double engine, const char* what, int month)
{
    bool ok = false;
    const double shown = text.toDouble(&ok);
    EXPECT_TRUE(ok) << what << " month " << month << ": \"" << text.toStdString() << '"';
    const double sixDigits = QString::number(engine, 'g', 6).toDouble();
    EXPECT_NEAR(shown, sixDigits, 0.005 + 1e-9) << what << " month " << month;
}

// The output grid, cell by cell, against the engine's results (inches):
// months outside the season are empty rows.
void expectGridShows(const ShownOutput& o, const CropRunContext& e, const char* where)
{
    SCOPED_TRACE(where);
    ASSERT_EQ(o.rows.size(), 13);
    int seasonMonths = 0;
    for (int m = 1; m <= 12; ++m) {
        const QStringList& row = o.rows[m];
        ASSERT_GE(row.size(), 8);
        if (e.MonthlyCropET[m] <= 0) {
            for (int c = 1; c < 8; ++c) EXPECT_TRUE(row[c].isEmpty()) << "month " << m << " column " << c;
            continue;
        }
        ++seasonMonths;
        expectCell(row[1], e.MonthlyCropET[m], "crop ET", m);
        expectCell(row[2], e.EffPrecip80[m], "effective precipitation 80%", m);
        expectCell(row[3], e.NetIrrReq80[m], "net irrigation 80%", m);
        expectCell(row[4], e.EffPrecip50[m], "effective precipitation 50%", m);
        expectCell(row[5], e.NetIrrReq50[m], "net irrigation 50%", m);
        expectCell(row[6], e.DailyCropET[m], "daily crop ET", m);
        if (e.PeakDailyET[m] > 0) expectCell(row[7], e.PeakDailyET[m], "peak daily ET", m);
        else EXPECT_TRUE(row[7].isEmpty()) << "month " << m;
    }
    EXPECT_GT(seasonMonths, 0);
    ASSERT_GE(o.totals.size(), 6);
    EXPECT_EQ(o.totals[0], "TOTALS");
    expectCell(o.totals[1], e.TotalCropET, "total crop ET", 0);
    expectCell(o.totals[2], e.TotalEffPrecip80, "total effective precipitation 80%", 0);
    expectCell(o.totals[3], e.TotalNetIrrReq80, "total net irrigation 80%", 0);
    expectCell(o.totals[4], e.TotalEffPrecip50, "total effective precipitation 50%", 0);
    expectCell(o.totals[5], e.TotalNetIrrReq50, "total net irrigation 50%", 0);
}

struct Family {
    const char* name;
    const char* county;
    const char* station;
    QString systemCode;        // "ET Method" of the system defaults
    bool zeroJulyWind;         // the station's wind record lacks July wind
    bool noWindRecord;         // the station has no wind, humidity and radiation record
    int etChoice;              // choice made in the ET method dialog (0: no dialog expected)
    int expectedIndex;
    const char* expectedText;
    const char* crop;          // picked in the crop name dialog
};

void PrintTo(const Family& fam, std::ostream* os) { *os << fam.name; }

class JobWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database::open(dir.filePath("road.sqlite"));
        QDir::setCurrent(dir.path());
        p = std::make_unique<TMainProgram>();
        f = p->form.get();
        f->show();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }
    void TearDown() override
    {
        msgs.clear();
        if (f) f->Job.JobSaveState = 0;   // no prompt on the way out
        p.reset();
        Database::close();
        QDir::setCurrent(m_cwd);
    }

    static void setSystemCode(const QString& code)
    {
        TTable sys("SystemDefaults.db");
        sys.open();
        sys.first();
        sys.edit();
        sys.field("ET Method").setAsString(code);
        sys.post();
        sys.close();
    }

    static void zeroJulyWind(const QString& station)
    {
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({station});
        const QString whr = clim.field("WHRLocation").asString();
        clim.close();
        TTable w("ClimWHR.DB");
        w.open();
        ASSERT_TRUE(w.locate("WHRLocation", whr));
        w.edit();
        w.field("U27").setAsFloat(0);
        w.post();
        w.close();
    }

    // New Job and the job name as a planner types them.
    void newJob(const QString& name, const QString& location = "North field", const QString& planner = "J. Doe")
    {
        QTest::mouseClick(f->NewJobButton, Qt::LeftButton);
        ASSERT_TRUE(f->JobPanel->isVisible());
        f->JobNameEdit->setFocus();
        QTest::keyClicks(f->JobNameEdit, name);
        QTest::keyClick(f->JobNameEdit, Qt::Key_Return);   // leaves the edit: the job name check
        f->LocationEdit->setFocus();
        QTest::keyClicks(f->LocationEdit, location);
        f->PlannerEdit->setFocus();
        QTest::keyClicks(f->PlannerEdit, planner);
        f->IDEdit->setFocus();
    }

    // What the planner does in each dialog the road opens.
    struct Plan {
        QString county, station;
        int etChoice = 0;           // 1 TR-21, 2 NEH, 3 FAO-56 in the ET method dialog
        bool etDialogShown = false;
        QString crop;               // empty: Cancel in the crop name dialog
        QString carryBeg;           // typed into the crop inputs dialog
        QString fetch;              // the job chosen in the job list
        bool fallbackNote = false;  // the station lacks data: the fallback message comes first
        QString reportCrop;         // picked in the report's crop dialog (empty: Cancel)
        QStringList dialogs;        // the classes met, in order
    };
    Plan plan;
    QList<ShownOutput> outputs;

    int drive(QDialog& d)
    {
        plan.dialogs << QString::fromLatin1(d.metaObject()->className()).section("::", -1);
        d.show();
        if (auto* g = qobject_cast<TGetClimDlg*>(&d)) {
            EXPECT_TRUE(selectGridRow(g->CountyDBGrid, plan.county));
            EXPECT_EQ(gridColumn(g->SelectedStaDBGrid), QStringList{plan.station});
            EXPECT_TRUE(selectGridRow(g->SelectedStaDBGrid, plan.station));
            EXPECT_EQ(g->StationNameText->text(), plan.station);
            QTest::mouseClick(g->btnOK, Qt::LeftButton);
        } else if (auto* e = qobject_cast<TETMethodDlg*>(&d)) {
            plan.etDialogShown = true;
            QRadioButton* r = plan.etChoice == 2 ? e->NehChoice : plan.etChoice == 3 ? e->Fao56Choice : e->TR21Choice;
            EXPECT_TRUE(r->isEnabled());
            r->click();
            QTest::mouseClick(e->OKBtn, Qt::LeftButton);
        } else if (auto* n = qobject_cast<TGetCropNamDlg*>(&d)) {
            if (plan.crop.isEmpty()) {
                QTest::mouseClick(n->CancelBtn, Qt::LeftButton);
            } else {
                EXPECT_TRUE(selectGridRow(n->DBGrid1, plan.crop)) << plan.crop.toStdString();
                EXPECT_EQ(n->CropNameText->text(), plan.crop);
                QTest::mouseClick(n->BtnOK, Qt::LeftButton);   // opens the crop inputs dialog
            }
        } else if (auto* c = qobject_cast<TCropCompDlg*>(&d)) {
            EXPECT_EQ(c->CropNameText->text(), plan.crop);
            if (!plan.carryBeg.isEmpty()) typeInto(c->CaryBegEdit, plan.carryBeg);
            QTest::mouseClick(c->OKBtn, Qt::LeftButton);   // posts, computes, opens the output dialog
        } else if (auto* o = qobject_cast<TOutputdlg*>(&d)) {
            outputs << readOutput(*o);
            QTest::mouseClick(o->CloseBtn, Qt::LeftButton);
        } else if (auto* r = qobject_cast<TCropReportDlg*>(&d)) {
            if (plan.reportCrop.isEmpty()) {
                QTest::mouseClick(r->CancelBitBtn2, Qt::LeftButton);
            } else {
                EXPECT_TRUE(selectGridRow(r->CropDBGrid, plan.reportCrop)) << plan.reportCrop.toStdString();
                QTest::mouseClick(r->OKBitBtn1, Qt::LeftButton);
            }
        } else if (auto* l = qobject_cast<TJobListForm*>(&d)) {
            EXPECT_TRUE(selectGridRow(l->JobGrid, plan.fetch));
            EXPECT_EQ(l->JobNameText->text(), plan.fetch);
            QTest::mouseClick(l->OKBtn, Qt::LeftButton);
        } else {
            ADD_FAILURE() << "unexpected dialog " << plan.dialogs.last().toStdString();
            d.hide();
            return int(QDialog::Rejected);
        }
        if (d.isVisible()) d.hide();
        return d.result();
    }

    // Get New Climate: the county, then the station; the ET method dialog
    // when it comes; "No" to editing the site values, which opens the crop
    // name dialog: crop picked there (empty: Cancel).
    void chooseStation(const QString& county, const QString& station, int etChoice = 0, const QString& crop = {})
    {
        plan.county = county;
        plan.station = station;
        plan.etChoice = etChoice;
        plan.etDialogShown = false;
        plan.crop = crop;
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        msgs.clear();
        if (plan.fallbackNote) msgs.answer(MsgResult::Ok);
        msgs.answer(MsgResult::No);
        QTest::mouseClick(f->JobDatBtn, Qt::LeftButton);
    }

    // The crop as the crop dialogs leave it: appended through the data
    // module, the counter advanced, the crop buttons on.
    void addCrop(const WorkingCrop& c)
    {
        TTable* wk = p->dmod->tblQuenWkCrop;
        if (!wk->isOpen()) wk->open();
        appendWorkingCrop(*wk, c, f->Ctx.JobName, ++f->Job.CropCounter);
        for (QWidget* w : {static_cast<QWidget*>(f->DisplayButton), static_cast<QWidget*>(f->DeleteCropBtn),
                           static_cast<QWidget*>(f->EdCropBtn), static_cast<QWidget*>(f->JobCropDBGrid),
                           static_cast<QWidget*>(f->SaveJobBtn)})
            w->setEnabled(true);
        if (f->Job.JobSaveState == 0) f->Job.JobSaveState = 2;
    }

    // The engine's results for crop c of a job on station, computed apart
    // from the window (own context, own handle on a copy of the row).
    CropRunContext engineResults(const QString& station, const WorkingCrop& c, int etIndex)
    {
        CropRunContext e;
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({station});
        job::CopyStation(clim, e);
        clim.close();
        e.ETMethodIndex = etIndex;
        WorkingCrop w = c;
        w.etIndex = etIndex;
        TTable wk("QuenWkCrop.DB");
        wk.open();
        appendWorkingCrop(wk, w, "engine copy", 999);
        e.CropName = w.name;
        CropCurveState st;
        ComputeCrop(e, st, wk);
        wk.remove();
        wk.close();
        return e;
    }

    // Get Prev Job, choosing name in the job list.
    void fetchJob(const QString& name)
    {
        plan.fetch = name;
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->RevEditBtn, Qt::LeftButton);
    }

    // A saved job of an NEH 2 and an FAO 56 crop on MARICOPA AZMET, left with
    // Cancel Job and fetched again with Get Prev Job.
    void savedTwoCropJobFetched(const QString& name)
    {
        newJob(name);
        chooseStation("Pinal, AZ", "MARICOPA AZMET");
        addCrop(nehCrop());
        addCrop(faoCrop());
        QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
        QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
        fetchJob(name);
    }

    // Types name over the job name; the field keeps the focus.
    void typeJobName(const QString& name)
    {
        f->JobNameEdit->setFocus();
        f->JobNameEdit->selectAll();
        QTest::keyClicks(f->JobNameEdit, name);
    }

    // Display Crop on the crop current in the window's crop grid.
    void displayCrop()
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->DisplayButton, Qt::LeftButton);
    }

    // The engine's results for the working crop named crop, computed apart
    // from the window: own context filled from the station, own handle on
    // the crop's row as the crop dialogs posted it.
    CropRunContext engineResults(const QString& station, const QString& crop, int etIndex)
    {
        CropRunContext e;
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({station});
        job::CopyStation(clim, e);
        clim.close();
        e.ETMethodIndex = etIndex;
        TTable wk("QuenWkCrop.DB");
        wk.setIndexName("CropNameIndex");
        wk.open();
        if (!wk.findKey({crop})) ADD_FAILURE() << "no working crop " << crop.toStdString();
        e.CropName = crop;
        CropCurveState st;
        ComputeCrop(e, st, wk);
        wk.close();
        return e;
    }

    QTemporaryDir dir;
    const QString m_cwd = QDir::currentPath();
    TScriptedMessages msgs;
    std::unique_ptr<TMainProgram> p;
    TMainForm* f = nullptr;
};

} // namespace

class JobRoad : public JobWindow, public ::testing::WithParamInterface<Family> {};

TEST_P(JobRoad, NewJobStationCropDisplaySaveCancelAndFetchGiveTheEngineNumbers)
{
    const Family& fam = GetParam();
    if (!fam.systemCode.isEmpty()) setSystemCode(fam.systemCode);
    if (fam.zeroJulyWind) zeroJulyWind(fam.station);
    const QString jobName = QStringLiteral("Road ") + fam.name;

    // Program shown: only New Job and Get Prev Job.
    EXPECT_TRUE(f->NewJobButton->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_FALSE(f->CancelJobBtn->isEnabled());
    EXPECT_FALSE(f->JobPanel->isVisible());

    QTest::mouseClick(f->NewJobButton, Qt::LeftButton);
    // After New Job.
    EXPECT_FALSE(f->NewJobButton->isEnabled());
    EXPECT_FALSE(f->RevEditBtn->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->CancelJobBtn->isEnabled());
    EXPECT_FALSE(f->JobDatBtn->isEnabled());
    EXPECT_FALSE(f->AddCropBtn->isEnabled());
    EXPECT_FALSE(f->ElevEdit->isEnabled());    // both elevation twins wait for the station
    EXPECT_FALSE(f->ElevEditM->isEnabled());
    EXPECT_TRUE(f->UniqueLabel->isVisible());
    EXPECT_EQ(f->windowTitle(), "Quen (Quen)");
    EXPECT_EQ(f->DateEdit->text(), QDate::currentDate().toString("MM/dd/yy"));
    EXPECT_EQ(f->Job.JobSaveState, 1);

    msgs.clear();
    f->JobNameEdit->setFocus();
    QTest::keyClicks(f->JobNameEdit, jobName);
    EXPECT_TRUE(f->JobDatBtn->isEnabled());   // on once the name is typed
    EXPECT_FALSE(f->GetClimLbl->isVisible());
    QTest::keyClick(f->JobNameEdit, Qt::Key_Return);
    EXPECT_EQ(msgs.lastText(), QStringLiteral("Job will be saved as ") + jobName + ".");
    EXPECT_EQ(QApplication::focusWidget(), f->LocationEdit);
    QTest::keyClicks(f->LocationEdit, "North field");
    f->PlannerEdit->setFocus();
    QTest::keyClicks(f->PlannerEdit, "J. Doe");
    f->IDEdit->setFocus();

    // The station, the method, "No" to the site values: the crop name dialog,
    // the crop, one input changed, and the output dialog on closing.
    plan.carryBeg = "1.5";
    // The data check belongs to the Penman-Monteith defaults; "TR21" has none.
    const bool fallbackNote = fam.zeroJulyWind || (fam.noWindRecord && fam.systemCode != "TR21");
    plan.fallbackNote = fallbackNote;
    chooseStation(fam.county, fam.station, fam.etChoice, fam.crop);
    EXPECT_EQ(plan.etDialogShown, fam.etChoice != 0);
    QStringList road{"TGetClimDlg", "TGetCropNamDlg", "TCropCompDlg", "TOutputdlg"};
    if (fam.etChoice != 0) road.insert(1, "TETMethodDlg");
    EXPECT_EQ(plan.dialogs, road);
    const int siteQuestion = msgs.texts().indexOf("Edit site elevation or precipitation ratios?");
    ASSERT_GE(siteQuestion, 0);
    EXPECT_EQ(msgs.shown()[siteQuestion].buttons, MsgButtons::YesNoHelp);
    EXPECT_EQ(msgs.shown()[siteQuestion].helpContext, 19029);
    EXPECT_EQ(msgs.texts().contains(kInsufficientClimateData), fallbackNote);
    EXPECT_EQ(f->StationNameLabel->text(), fam.station);
    EXPECT_EQ(f->CountyLabel->text(), fam.county);
    EXPECT_EQ(f->Ctx.ETMethodIndex, fam.expectedIndex);
    EXPECT_EQ(f->ETLabel->text(), fam.expectedText);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Quen Job [") + jobName + "]");
    EXPECT_NEAR(f->Norm50Edit->value(), job::DefaultRatio50(f->Ctx.AnnualPrecip), 0.005);
    EXPECT_NEAR(f->Dry80Edit->value(), job::DefaultRatio80(f->Ctx.AnnualPrecip), 0.005);
    // After the station and a crop added: Save, Add, Delete, Display, Edit and
    // the grid on; Get New Climate off with its note.
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->CancelJobBtn->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(f->AddCropBtn), static_cast<QWidget*>(f->DeleteCropBtn),
                       static_cast<QWidget*>(f->DisplayButton), static_cast<QWidget*>(f->EdCropBtn),
                       static_cast<QWidget*>(f->JobCropDBGrid)})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(f->JobDatBtn->isEnabled());
    EXPECT_TRUE(f->GetClimLbl->isVisible());
    EXPECT_EQ(f->Job.JobSaveState, 1);
    EXPECT_EQ(f->Job.CropCounter, 1);
    EXPECT_EQ(gridColumn(f->JobCropDBGrid), QStringList{fam.crop});

    const CropRunContext expected = engineResults(fam.station, fam.crop, fam.expectedIndex);
    ASSERT_GT(expected.TotalCropET, 0.0);
    {
        TTable wk("QuenWkCrop.DB");
        wk.setIndexName("CropNameIndex");
        wk.open();
        ASSERT_TRUE(wk.findKey({QString(fam.crop)}));
        EXPECT_DOUBLE_EQ(wk.field("Carry Beg").asFloat(), 1.5);   // the typed input reached the row
        wk.close();
    }
    ASSERT_EQ(outputs.size(), 1);
    EXPECT_EQ(outputs[0].crop, fam.crop);
    expectGridShows(outputs[0], expected, "output dialog after the crop inputs");
    expectSameResults(f->Ctx, expected, "crop inputs closed");

    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_EQ(f->Job.JobSaveState, 0);
    // After a save.
    EXPECT_TRUE(f->NewJobButton->isEnabled());
    EXPECT_TRUE(f->RevEditBtn->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->JobDatBtn->isEnabled());
    EXPECT_FALSE(f->GetClimLbl->isVisible());
    EXPECT_NE(job::FindJob(jobName), 0);

    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    EXPECT_FALSE(f->JobPanel->isVisible());
    EXPECT_TRUE(f->Picture->isVisible());
    EXPECT_FALSE(f->CancelJobBtn->isEnabled());
    EXPECT_TRUE(f->RevEditBtn->isEnabled());

    msgs.clear();
    fetchJob(jobName);
    EXPECT_EQ(msgs.count(), 0);
    EXPECT_FALSE(p->waitDlg->isVisible());
    EXPECT_EQ(p->waitDlg->ProgressBar->value(), 100);
    EXPECT_EQ(f->JobNameEdit->text(), jobName);
    EXPECT_EQ(f->LocationEdit->text(), "North field");
    EXPECT_EQ(f->PlannerEdit->text(), "J. Doe");
    EXPECT_EQ(f->StationNameLabel->text(), fam.station);
    // "ETMethod" keeps 25 characters.
    EXPECT_EQ(f->ETLabel->text(), QString(fam.expectedText).left(25));
    EXPECT_EQ(gridColumn(f->JobCropDBGrid), QStringList{fam.crop});
    EXPECT_EQ(f->Job.CropCounter, 1);
    expectSameResults(f->Ctx, expected, "Get Prev Job");
    // After Get Prev Job.
    EXPECT_TRUE(f->NewJobButton->isEnabled());
    EXPECT_TRUE(f->CancelJobBtn->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_FALSE(f->JobDatBtn->isEnabled());
    EXPECT_TRUE(f->DisplayButton->isEnabled());
    EXPECT_EQ(f->Job.JobSaveState, 0);

    outputs.clear();
    displayCrop();
    ASSERT_EQ(outputs.size(), 1);
    EXPECT_EQ(outputs[0].crop, fam.crop);
    expectGridShows(outputs[0], expected, "Display Crop after the fetch");
    expectSameResults(f->Ctx, expected, "Display Crop after the fetch");
}

INSTANTIATE_TEST_SUITE_P(
    MethodFamilies, JobRoad,
    ::testing::Values(
        Family{"NEH", "Pinal, AZ", "MARICOPA AZMET", {}, false, false, 0, 2,
               "FAO Penman-Monteith,NEH2 Bas crop curves", "Corn, grain"},
        Family{"FAO56", "Pinal, AZ", "MARICOPA AZMET", "ANY", false, false, 3, 3,
               "FAO Penman-Monteith,FAO56, Table12", "Sugar beets"},
        Family{"BlaneyCriddle", "Pinal, AZ", "MARICOPA AZMET", "ANY", false, false, 1, 1, "Blaney Criddle (TR21)",
               "Spring grain (barley, oats, wheat)"},
        Family{"Fallback", "Pinal, AZ", "MARICOPA AZMET", "FAO56", true, false, 0, 1, "Blaney Criddle (TR21)",
               "Spring grain (barley, oats, wheat)"},
        Family{"NoWind", "Blaine, ID", "KETCHUM RS", {}, false, true, 0, 1, "Blaney Criddle (TR21)",
               "Spring grain (barley, oats, wheat)"},
        Family{"NoWindTR21", "Blaine, ID", "KETCHUM RS", "TR21", false, true, 0, 1, "Blaney Criddle (TR21)",
               "Spring grain (barley, oats, wheat)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobWindow, JobNameCheckAsksBeforeReplacingAnotherJob)
{
    newJob("Existing");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    ASSERT_NE(job::FindJob("Existing"), 0);

    // A new job typed with that name: No keeps the old job, the focus goes back.
    QTest::mouseClick(f->NewJobButton, Qt::LeftButton);
    f->JobNameEdit->setFocus();
    QTest::keyClicks(f->JobNameEdit, "Existing");
    msgs.clear();
    msgs.answer(MsgResult::No);
    f->DateEdit->setFocus();
    EXPECT_EQ(msgs.texts(), QStringList{"The job Existing already exists.  Do you want to replace it?"});
    EXPECT_EQ(QApplication::focusWidget(), f->JobNameEdit);
    EXPECT_NE(job::FindJob("Existing"), 0);
    // Get New Climate refuses the used name (after the check asks again).
    msgs.clear();
    msgs.answer(MsgResult::No);
    QTest::mouseClick(f->JobDatBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.lastText().toStdString(), "Job Name already used. Enter a unique name.") << msgs.texts().join("|").toStdString();

    // Save Job refuses to append a second job of that name.
    msgs.clear();
    f->Job.JobSaveState = 1;
    f->SaveJobBtn->setEnabled(true);
    f->SaveJobBtn->click();
    EXPECT_EQ(msgs.lastText().toStdString(), "Job Name already used. Enter a unique name.");
    {
        TTable jobs("QuenJob.db");
        jobs.open();
        EXPECT_EQ(jobs.recordCount(), 1);
        jobs.close();
    }

    // Yes, then Yes: the old job and its crops are deleted.
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    msgs.answer(MsgResult::Yes);
    f->DateEdit->setFocus();
    EXPECT_EQ(msgs.texts(), (QStringList{"The job Existing already exists.  Do you want to replace it?",
                                         "Are you sure you want to delete Existing ?"}))
        << msgs.texts().join("|").toStdString();
    EXPECT_EQ(job::FindJob("Existing"), 0);
}

TEST_F(JobWindow, RenamedFetchedJobIsSavedAsANewJobAndTheOldOneStays)
{
    savedTwoCropJobFetched("Original");

    typeJobName("Copy");
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    f->DateEdit->setFocus();
    EXPECT_EQ(msgs.lastText(), "Save job as: Copy?");
    EXPECT_EQ(f->Job.JobSaveState, 1);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_NE(job::FindJob("Original"), 0);
    EXPECT_NE(job::FindJob("Copy"), 0);
    CropRunContext a, b;
    JobState aState, bState;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    EXPECT_TRUE(job::LoadJob("Original", a, aState));
    a.JobName = "Original";
    EXPECT_EQ(job::FetchCrops(a, aState, st, wk), 2);
    b.JobName = "Copy";
    EXPECT_EQ(job::FetchCrops(b, bState, st, wk), 2);
    wk.close();
}

TEST_F(JobWindow, JobEditsTakeNoMoreThanTheirFieldsHoldAndTheSavedJobStaysItself)
{
    const QString typed = QStringLiteral("Lower river bottom, pivots 1 to 4, north of the ditch");   // 54
    const QString name = typed.left(50);
    newJob(typed, QString(45, QLatin1Char('L')), QString(35, QLatin1Char('P')));
    EXPECT_EQ(f->JobNameEdit->text(), name);
    EXPECT_EQ(f->LocationEdit->text().size(), 40);
    EXPECT_EQ(f->PlannerEdit->text().size(), 30);
    for (QLineEdit* e : {f->DateEdit, f->IDEdit, f->JobClassEdit}) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, "12345678901234");
        EXPECT_EQ(e->text(), "1234567890") << e->objectName().toStdString();
    }
    f->LandUserEdit->setFocus();
    QTest::keyClicks(f->LandUserEdit, QString(41, QLatin1Char('U')));
    EXPECT_EQ(f->LandUserEdit->text().size(), 40);
    f->DateEdit->setFocus();
    f->DateEdit->selectAll();
    QTest::keyClicks(f->DateEdit, "05/01/26");
    f->IDEdit->setFocus();
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    addCrop(faoCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    const int number = job::FindJob(name);
    ASSERT_NE(number, 0);
    EXPECT_EQ(f->Job.JobNumber, number);

    // Leaving the name field again: the open job is its own row, no question.
    msgs.clear();
    f->JobNameEdit->setFocus();
    f->LocationEdit->setFocus();
    EXPECT_EQ(msgs.texts(), QStringList{}) << msgs.texts().join("|").toStdString();
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    // A change and a save: still one job, with its own two crops.
    QTest::keyClicks(f->LocationEdit, "x");
    f->IDEdit->setFocus();
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    TTable jobs("QuenJob.db");
    jobs.open();
    EXPECT_EQ(jobs.recordCount(), 1);
    EXPECT_EQ(jobs.field("JobName").asString(), name);
    EXPECT_EQ(jobs.field("Location").asString(), f->LocationEdit->text());
    jobs.close();
    CropRunContext back;
    JobState backState;
    EXPECT_TRUE(job::LoadJob(name, back, backState));
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    EXPECT_EQ(job::FetchCrops(back, backState, st, wk), 2);
    wk.close();
}

TEST_F(JobWindow, FetchedJobRenamedAndBackIsSavedOnce)
{
    savedTwoCropJobFetched("Original");

    // "Copy" is offered as a new job, then the planner types the old name again.
    typeJobName("Copy");
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    f->DateEdit->setFocus();
    ASSERT_EQ(msgs.lastText(), "Save job as: Copy?");
    typeJobName("Original");
    f->DateEdit->setFocus();
    msgs.clear();
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.texts(), QStringList{}) << msgs.texts().join("|").toStdString();
    EXPECT_EQ(f->Job.JobSaveState, 0);

    TTable jobs("QuenJob.db");
    jobs.open();
    EXPECT_EQ(jobs.recordCount(), 1);
    jobs.close();
    EXPECT_EQ(job::FindJob("Copy"), 0);
    TTable saved("QuenJobCrop.DB");
    saved.open();
    EXPECT_EQ(saved.recordCount(), 2);
    saved.close();
}

TEST_F(JobWindow, FetchedJobRenamedToAnotherJobsNameIsNotSavedOverIt)
{
    newJob("First");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    newJob("Second", "South field");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(faoCrop());
    addCrop(bcCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    fetchJob("First");

    // A change, then the other job's name; No to replacing it.
    f->LocationEdit->setFocus();
    QTest::keyClicks(f->LocationEdit, " west");
    typeJobName("Second");
    msgs.clear();
    msgs.answer(MsgResult::No);
    f->DateEdit->setFocus();
    ASSERT_EQ(msgs.lastText(), "The job Second already exists.  Do you want to replace it?");
    ASSERT_EQ(f->Job.JobSaveState, 2);
    // Save Job: leaving the name asks again (No again), then the save.
    msgs.clear();
    msgs.answer(MsgResult::No);
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.texts(), (QStringList{"The job Second already exists.  Do you want to replace it?",
                                         "Job Name already used. Enter a unique name."}))
        << msgs.texts().join("|").toStdString();
    EXPECT_NE(f->Job.JobSaveState, 0);   // still to be saved

    CropRunContext second;
    JobState secondState;
    ASSERT_TRUE(job::LoadJob("Second", second, secondState));
    EXPECT_EQ(second.JobLocation, "South field");
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    EXPECT_EQ(job::FetchCrops(second, secondState, st, wk), 2);
    wk.close();
}

TEST_F(JobWindow, SavePromptDeleteCropAndTheReportRefusal)
{
    // The report commands refuse an empty working crop table.
    msgs.clear();
    f->SingleCropReportItem->trigger();
    f->JobCropSummaryItem->trigger();
    EXPECT_EQ(msgs.texts(), QStringList(2, "There must be an active job to print a report."));
    EXPECT_FALSE(f->ReportCancelled);

    newJob("Prompted");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    addCrop(bcCrop());

    // Delete Crop: asks, deletes, and disables Delete/Edit/Display with the last crop.
    p->dmod->tblQuenWkCrop->first();
    msgs.clear();
    msgs.answer(MsgResult::No);
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.lastText(), "Do you really want to delete crop Potatoes?");
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 2);
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 1);
    EXPECT_TRUE(f->DisplayButton->isEnabled());
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 0);
    EXPECT_FALSE(f->DisplayButton->isEnabled());
    EXPECT_FALSE(f->DeleteCropBtn->isEnabled());
    EXPECT_FALSE(f->EdCropBtn->isEnabled());
    EXPECT_TRUE(f->AddCropBtn->isEnabled());
    EXPECT_EQ(f->Job.CropCounter, 2);   // the counter does not go back
    addCrop(faoCrop());

    // New Job with unsaved changes: the prompt; OK saves the job.
    int prompts = 0;
    {
        TModalDriverScope drive([&](QDialog& d) {
            auto* s = qobject_cast<TSaveForm*>(&d);
            if (!s) return int(QDialog::Rejected);
            ++prompts;
            EXPECT_EQ(d.windowTitle(), "Save Job?");
            EXPECT_EQ(s->JobLabel->text(), "Job: Prompted");
            QTest::mouseClick(s->OKBtn, Qt::LeftButton);
            return d.result();
        });
        EXPECT_FALSE(f->NewJobButton->isEnabled());   // off during a new job; the menu item is there
        f->NewJobItem->trigger();
    }
    EXPECT_EQ(prompts, 1);
    EXPECT_NE(job::FindJob("Prompted"), 0);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->isOpen() ? p->dmod->tblQuenWkCrop->recordCount() : 0, 0);
    CropRunContext back;
    JobState backState;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    ASSERT_TRUE(job::FetchJob("Prompted", back, backState, st, wk));
    EXPECT_EQ(wk.recordCount(), 1);
    EXPECT_EQ(backState.CropCounter, 3);
    wk.close();

    // Closing with unsaved changes shows the prompt once; No saves nothing.
    newJob("Unsaved");
    prompts = 0;
    {
        TModalDriverScope drive([&](QDialog& d) {
            ++prompts;
            QTest::mouseClick(static_cast<TSaveForm&>(d).NoBtn, Qt::LeftButton);
            return d.result();
        });
        f->ExitItem->trigger();
    }
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(job::FindJob("Unsaved"), 0);
}

TEST_F(JobWindow, NoPreviousJobsAndTheRemovalOfTheOpenJob)
{
    msgs.clear();
    QTest::mouseClick(f->RevEditBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.lastText(), "There are no previous jobs available.");
    EXPECT_FALSE(f->RevEditBtn->isEnabled());

    for (const char* name : {"Keep me", "Open one"}) {
        newJob(name);
        chooseStation("Pinal, AZ", "MARICOPA AZMET");
        addCrop(nehCrop());
        QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    }
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    fetchJob("Open one");
    const double season = f->Ctx.TotalNetIrrReq50;

    // Delete the open job in the removal dialog.
    {
        TModalDriverScope drive([&](QDialog& d) {
            auto* r = qobject_cast<TRemoveJobsDlg*>(&d);
            if (!r) return int(QDialog::Rejected);
            d.show();
            EXPECT_EQ(gridColumn(r->JobGrid), (QStringList{"Keep me", "Open one"}));
            EXPECT_TRUE(selectGridRow(r->JobGrid, "Open one"));
            EXPECT_EQ(r->LocationText->text(), "North field");
            msgs.clear();
            msgs.answer(MsgResult::Yes);
            QTest::mouseClick(r->DeleteBtn, Qt::LeftButton);
            EXPECT_EQ(msgs.lastText(), "Do you really want to delete job Open one?");
            EXPECT_EQ(gridColumn(r->JobGrid), QStringList{"Keep me"});
            QTest::mouseClick(r->ReturnBtn, Qt::LeftButton);
            return d.result();
        });
        f->DeleteJobItem->trigger();
    }
    EXPECT_EQ(job::FindJob("Open one"), 0);
    EXPECT_NE(job::FindJob("Keep me"), 0);
    EXPECT_FALSE(p->dmod->tblQuenJob->isOpen());
    // The open job stays, with its crop, as a job to save.
    EXPECT_EQ(msgs.lastText(),
              "The open job Open one was deleted from the saved jobs.  It stays open; save it to keep it.");
    EXPECT_EQ(f->Job.JobSaveState, 1);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    EXPECT_EQ(gridColumn(f->JobCropDBGrid), QStringList{"Potatoes"});
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    fetchJob("Open one");
    EXPECT_DOUBLE_EQ(f->Ctx.TotalNetIrrReq50, season);
}

TEST_F(JobWindow, SecondStationForAJobWithCropsKeepsItsMethod)
{
    newJob("Two stations");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    ASSERT_TRUE(f->JobDatBtn->isEnabled());
    const double ratioMaricopa = f->Ctx.EffPcpFact50;

    msgs.clear();
    chooseStation("Brown, SD", "ABERDEEN");
    EXPECT_EQ(f->StationNameLabel->text(), "ABERDEEN");
    EXPECT_EQ(f->Ctx.ETMethodIndex, 2);
    EXPECT_EQ(f->ETLabel->text(), "FAO Penman-Monteith,NEH2 Bas crop curves");
    EXPECT_FALSE(msgs.texts().contains(kInsufficientClimateData));
    EXPECT_NE(f->Ctx.EffPcpFact50, ratioMaricopa);
    EXPECT_DOUBLE_EQ(f->Ctx.EffPcpFact50, job::DefaultRatio50(f->Ctx.AnnualPrecip));
    EXPECT_EQ(f->Job.JobSaveState, 2);
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    CropRunContext back;
    JobState backState;
    ASSERT_TRUE(job::LoadJob("Two stations", back, backState));
    EXPECT_EQ(back.WeatherStationName, "ABERDEEN");
    EXPECT_EQ(back.ETMethodIndex, 2);

    // A station without wind data: the kept Penman-Monteith method cannot
    // stay; it falls back with the message, and the crop is computed so.
    plan.fallbackNote = true;
    chooseStation("Blaine, ID", "KETCHUM RS");
    plan.fallbackNote = false;
    EXPECT_EQ(f->StationNameLabel->text(), "KETCHUM RS");
    EXPECT_TRUE(msgs.texts().contains(kInsufficientClimateData));
    EXPECT_EQ(f->Ctx.ETMethodIndex, 1);
    EXPECT_EQ(f->ETLabel->text(), "Blaney Criddle (TR21)");
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    ASSERT_TRUE(job::LoadJob("Two stations", back, backState));
    EXPECT_EQ(back.WeatherStationName, "KETCHUM RS");
    EXPECT_EQ(back.ETMethodIndex, 1);
    EXPECT_EQ(back.ETMethodText, "Blaney Criddle (TR21)");
}

TEST_F(JobWindow, CropCommandsAcrossAddCancelSaveEditAndDelete)
{
    auto cropCommands = [this] {
        return QList<bool>{f->DisplayButton->isEnabled(), f->EdCropBtn->isEnabled(), f->DeleteCropBtn->isEnabled(),
                           f->JobCropDBGrid->isEnabled()};
    };
    const QList<bool> allOn{true, true, true, true}, allOff{false, false, false, false};
    newJob("Seams");
    // Cancel in the crop name dialog: the new job keeps its Save, nothing to display.
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    EXPECT_EQ(plan.dialogs.last(), "TGetCropNamDlg");
    EXPECT_EQ(f->Job.JobSaveState, 1);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->AddCropBtn->isEnabled());
    EXPECT_FALSE(f->DisplayButton->isEnabled());
    EXPECT_FALSE(f->EdCropBtn->isEnabled());
    EXPECT_FALSE(f->DeleteCropBtn->isEnabled());

    // Add New Crop through the dialogs.
    plan.crop = "Corn, grain";
    plan.dialogs.clear();
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->AddCropBtn, Qt::LeftButton);
    }
    EXPECT_EQ(plan.dialogs, (QStringList{"TGetCropNamDlg", "TCropCompDlg", "TOutputdlg"}));
    EXPECT_EQ(cropCommands(), allOn);
    EXPECT_EQ(f->Job.JobSaveState, 1);

    // A save leaves every crop command on; Edit Crop is a change to save and
    // shows the output dialog with the numbers of the edited row.
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_EQ(f->Job.JobSaveState, 0);
    EXPECT_EQ(cropCommands(), allOn);
    outputs.clear();
    plan.carryBeg = "2";
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->EdCropBtn, Qt::LeftButton);
    }
    EXPECT_EQ(f->Job.JobSaveState, 2);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    ASSERT_EQ(outputs.size(), 1);
    const CropRunContext edited = engineResults("MARICOPA AZMET", "Corn, grain", 2);
    EXPECT_DOUBLE_EQ(edited.CarryBeg, 2.0);
    expectGridShows(outputs[0], edited, "Edit Crop");
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);

    // The last crop deleted: a later Add New Crop cancelled must not turn
    // Display and Edit back on over an empty crop list.
    p->dmod->tblQuenWkCrop->first();
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 0);
    EXPECT_EQ(f->Job.JobSaveState, 2);
    plan.crop.clear();
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->AddCropBtn, Qt::LeftButton);
    }
    EXPECT_EQ(cropCommands(), allOff);
    EXPECT_EQ(f->Job.JobSaveState, 2);   // the deletion still waits to be saved
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());

    // Cancel Job turns every crop command off.
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    EXPECT_FALSE(f->EdCropBtn->isEnabled());
    EXPECT_FALSE(f->DisplayButton->isEnabled());
}

TEST_F(JobWindow, SingleCropReportComputesThePickedCropAndCancelPrintsNothing)
{
    newJob("Reported");
    chooseStation("Pinal, AZ", "MARICOPA AZMET", 0, "Corn, grain");
    plan.crop = "Potatoes";
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->AddCropBtn, Qt::LeftButton);
    }
    ASSERT_EQ(gridColumn(f->JobCropDBGrid), (QStringList{"Corn, grain", "Potatoes"}));
    ASSERT_EQ(f->Ctx.CropName, "Potatoes");

    QStringList previews;
    const output::PreviewHook previous =
        output::setPreviewHook([&](const report::PreparedReport& pages, const QList<report::CsvTable>&) {
            previews << output::preparedText(pages);
        });
    plan.dialogs.clear();
    plan.reportCrop = "Corn, grain";
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        f->SingleCropReportItem->trigger();
    }
    EXPECT_EQ(plan.dialogs, QStringList{"TCropReportDlg"});
    EXPECT_FALSE(f->ReportCancelled);
    ASSERT_EQ(previews.size(), 1);
    EXPECT_EQ(f->Ctx.CropName, "Corn, grain");
    const CropRunContext expected = engineResults("MARICOPA AZMET", "Corn, grain", 2);
    expectSameResults(f->Ctx, expected, "Single Crop Report");
    EXPECT_TRUE(previews[0].contains("Corn, grain"));
    EXPECT_TRUE(previews[0].contains(QString::number(expected.TotalCropET, 'f', 2)));

    // Cancel in the crop pick dialog: no report, the crop stays.
    plan.reportCrop.clear();
    {
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        f->SingleCropReportItem->trigger();
    }
    EXPECT_TRUE(f->ReportCancelled);
    EXPECT_EQ(previews.size(), 1);
    EXPECT_EQ(f->Ctx.CropName, "Corn, grain");
    output::setPreviewHook(previous);
}

// The file dialogs of the main program's report previews (List of Jobs
// here; every preview has the same four) and of Export Job... and Import
// Job..., opened on the database's folder,
// keep the program's hold on its database: Save Job afterwards reaches the
// file and another program sees it.
TEST_F(JobWindow, ReportFileDialogsKeepTheHoldAndSaveJobReachesTheFile)
{
    newJob("Held");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    ASSERT_NE(job::FindJob("Held"), 0);

    const QString path = Database::path();
    QList<quentest::FileDialogUse> uses;
    for (const char* action : {"actionSave", "actionOpen", "actionExportPdf"})
        uses.append({QString::fromLatin1(action), [this, action] {
                         QTimer::singleShot(0, [action] {
                             auto* preview = qobject_cast<report::PreviewWindow*>(QApplication::activeModalWidget());
                             ASSERT_NE(preview, nullptr);
                             QAction* a = nullptr;
                             QMetaObject::invokeMethod(preview, [&] {
                                 const QString n = QString::fromLatin1(action);
                                 a = n == "actionSave" ? preview->actionSave()
                                     : n == "actionOpen" ? preview->actionOpen() : preview->actionExportPdf();
                             });
                             a->trigger();
                             preview->reject();
                         });
                         f->ListOfJobsItem->trigger();
                     }});
    // Export Job... and Import Job... ask for their files the same way.
    uses.append({QStringLiteral("ExportJobItem"), [this] { f->ExportJobItem->trigger(); }});
    uses.append({QStringLiteral("ImportJobItem"), [this] { f->ImportJobItem->trigger(); }});
    msgs.clear();
    quentest::expectDialogsKeepTheHold(
        path, uses,
        [this] {
            addCrop(bcCrop());
            QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
        },
        QStringLiteral("SELECT \"No of Crops\" FROM QuenJob WHERE JobName = 'Held'"), QStringLiteral("2"));
    EXPECT_EQ(f->Job.JobSaveState, 0);
}

// A save the database refuses (the program lost its hold on the file)
// writes nothing, says so, and keeps the job on screen: Save Job stays on,
// and neither New Job nor closing the window after the prompt drops it.
TEST_F(JobWindow, ASaveRefusedByADetachedDatabaseKeepsTheJobOnScreen)
{
    newJob("Kept on screen");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    const QString path = Database::path();
    quentest::openAndCloseOutsideSqlite(path + "-shm");
    quentest::openAndCloseOutsideSqlite(path);

    msgs.clear();
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_TRUE(msgs.lastText().startsWith("The job Kept on screen was not saved.\nThe database ")) << qPrintable(msgs.lastText());
    EXPECT_TRUE(msgs.lastText().contains("was detached from this program")) << qPrintable(msgs.lastText());
    EXPECT_TRUE(f->SaveRefused);
    EXPECT_EQ(f->Job.JobSaveState, 1);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    EXPECT_EQ(f->JobNameEdit->text(), "Kept on screen");
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 1);
    EXPECT_EQ(quentest::peer(path, {"SELECT COUNT(*) FROM QuenJob WHERE JobName = 'Kept on screen'"}), QStringList{"0"});

    // New Job, then OK in the save prompt: refused again, the job stays.
    auto okInPrompt = [](QDialog& d) {
        auto* s = qobject_cast<TSaveForm*>(&d);
        if (!s) return int(QDialog::Rejected);
        QTest::mouseClick(s->OKBtn, Qt::LeftButton);
        return d.result();
    };
    {
        TModalDriverScope drive(okInPrompt);
        f->NewJobItem->trigger();
    }
    EXPECT_EQ(f->Ctx.JobName, "Kept on screen");
    EXPECT_EQ(f->Job.JobSaveState, 1);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 1);

    // Closing the window, OK in the prompt: refused, the window stays.
    {
        TModalDriverScope drive(okInPrompt);
        EXPECT_FALSE(f->close());
    }
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Ctx.JobName, "Kept on screen");
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 1);
}

// ---- job files through the File menu ------------------------------------------------

namespace {

// Accepts the next file dialog with the file at path, from a timer (no test
// waits on a modal window); false in *seen until a dialog came.
std::shared_ptr<bool> acceptNextFileDialog(const QString& path)
{
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dlg) {
            if (++*tries > 500)
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        *seen = true;
        dlg->setDirectory(QFileInfo(path).absolutePath());
        if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        QMetaObject::invokeMethod(dlg, "accept");
    });
    timer->start(20);
    return seen;
}

QList<QVariantList> savedRows(const QString& table)
{
    QList<QVariantList> rows;
    TTable t(table);
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        QVariantList r = t.rowValues();
        // The numbers the table assigns are its own.
        for (int i = 0; i < t.definition().fields.size(); ++i)
            if (t.definition().fields[i].type == FieldType::AutoInc)
                r[i] = QVariant();
        rows << r;
    }
    t.close();
    return rows;
}

struct CalcRun {
    int exitCode = -1;
    QByteArray out, err;
};

CalcRun runCalc(const QString& dbPath, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENPM_DB", dbPath);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUENPM_CALC), args);
    p.waitForStarted();
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace

class JobFileWindow : public JobWindow {
protected:
    // Add New Crop with the crop name dialog and the crop inputs dialog
    // closed with OK (the output dialog read and closed).
    void addCropInWindow(const QString& crop)
    {
        plan.crop = crop;
        TModalDriverScope drive([this](QDialog& d) { return this->drive(d); });
        QTest::mouseClick(f->AddCropBtn, Qt::LeftButton);
    }

    // The program started again on the database at path.
    void restartOn(const QString& path)
    {
        f->Job.JobSaveState = 0;
        p.reset();
        Database::close();
        Database::open(path);
        p = std::make_unique<TMainProgram>();
        f = p->form.get();
        f->show();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }

    // A job of three NEH 2 crops made in the windows at a shipped station,
    // each computed by the crop inputs dialog's OK (outputs), and saved.
    void makeThreeCropJob(const QString& name)
    {
        newJob(name);
        chooseStation("Pinal, AZ", "MARICOPA AZMET", 0, "Alfalfa hay");
        addCropInWindow("Corn, grain");
        addCropInWindow("Grapes, wine");
        ASSERT_EQ(outputs.size(), 3);
        QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
        ASSERT_EQ(f->Job.JobSaveState, 0);
    }
};

// A job made and computed in the windows, exported with File > Export Job...
// and imported with File > Import Job... into a fresh database: every field
// of the job row and of each crop row is the original's, and the imported
// job is open. The file imported by quenpm-calc into a database of its own
// and computed there (--job NAME --json), and the file computed (compute
// FILE --csv), give the numbers the output dialog showed.
TEST_F(JobFileWindow, ExportedJobImportsIntoAFreshDatabaseWithTheSameRowsAndNumbers)
{
    makeThreeCropJob("Exchange");
    const QList<QVariantList> jobRows = savedRows("QuenJob.db");
    const QList<QVariantList> cropRows = savedRows("QuenJobCrop.DB");
    ASSERT_EQ(cropRows.size(), 3);

    // Unsaved changes: Cancel exports nothing and opens no dialog.
    const QString file = dir.filePath("exchange.json");
    f->Job.JobSaveState = 2;
    msgs.clear();
    msgs.answer(MsgResult::Cancel);
    f->ExportJobItem->trigger();
    EXPECT_TRUE(msgs.lastText().contains("has changes that are not saved")) << msgs.lastText().toStdString();
    EXPECT_FALSE(QFile::exists(file));
    // Yes saves the job, then the save dialog writes the file.
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    auto seen = acceptNextFileDialog(file);
    f->ExportJobItem->trigger();
    EXPECT_TRUE(*seen);
    ASSERT_TRUE(QFile::exists(file)) << msgs.texts().join("\n").toStdString();
    EXPECT_EQ(f->Job.JobSaveState, 0);
    EXPECT_EQ(msgs.lastText(), "The job Exchange was exported to " + file + ".");
    EXPECT_EQ(savedRows("QuenJob.db"), jobRows);
    EXPECT_EQ(savedRows("QuenJobCrop.DB"), cropRows);

    QTemporaryDir fresh;
    const QString freshDb = fresh.filePath("fresh.sqlite");
    restartOn(freshDb);
    msgs.clear();
    seen = acceptNextFileDialog(file);
    f->ImportJobItem->trigger();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(msgs.texts().isEmpty()) << msgs.texts().join("\n").toStdString();
    EXPECT_EQ(savedRows("QuenJob.db"), jobRows);
    EXPECT_EQ(savedRows("QuenJobCrop.DB"), cropRows);
    const TableDef* cropDef = findTableDef("QuenJobCrop.DB");
    const QList<QVariantList> importedCrops = savedRows("QuenJobCrop.DB");
    for (int r = 0; r < 3 && r < importedCrops.size(); ++r)
        for (int i = 0; i < cropDef->fields.size(); ++i)
            EXPECT_EQ(importedCrops[r][i], cropRows[r][i]) << r << " " << cropDef->fields[i].name.toStdString();
    EXPECT_TRUE(f->JobPanel->isVisible());
    EXPECT_EQ(f->JobNameEdit->text(), "Exchange");
    EXPECT_EQ(f->Job.JobSaveState, 0);
    EXPECT_EQ(gridColumn(f->JobCropDBGrid).size(), 3);

    // Headless: the saved job and the file, cell by cell against the window.
    f->Job.JobSaveState = 0;
    p.reset();
    Database::close();
    // quenpm-calc import into a database of its own, then the saved job computed.
    const QString calcDb = fresh.filePath("calc.sqlite");
    const CalcRun imported = runCalc(calcDb, {"import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const CalcRun json = runCalc(calcDb, {"--job", "Exchange", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const CalcRun csv = runCalc(freshDb, {"compute", file, "--csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QJsonArray crops = QJsonDocument::fromJson(json.out).object().value("crops").toArray();
    ASSERT_EQ(crops.size(), 3);
    const QList<QByteArray> csvLines = csv.out.trimmed().split('\n');
    ASSERT_EQ(csvLines.size(), 1 + 3 * 12);
    int windowCells = 0, csvCells = 0;
    for (const ShownOutput& shown : outputs) {
        QJsonObject c;
        for (const QJsonValue& v : crops)
            if (v.toObject().value("Crop Name").toString() == shown.crop)
                c = v.toObject();
        ASSERT_FALSE(c.isEmpty()) << shown.crop.toStdString();
        auto month = [&](const char* key, int m) {
            const QJsonArray a = c.value(key).toArray();
            return a.at(a.size() == 13 ? m : m - 1).toDouble();
        };
        CropRunContext e;
        for (int m = 1; m <= 12; ++m) {
            e.MonthlyCropET[m] = month("MonthlyCropET", m);
            e.EffPrecip80[m] = month("EffPrecip80", m);
            e.NetIrrReq80[m] = month("NetIrrReq80", m);
            e.EffPrecip50[m] = month("EffPrecip50", m);
            e.NetIrrReq50[m] = month("NetIrrReq50", m);
            e.DailyCropET[m] = month("DailyCropET", m);
            e.PeakDailyET[m] = month("PeakDailyET", m);
            if (e.MonthlyCropET[m] > 0)
                windowCells += e.PeakDailyET[m] > 0 ? 7 : 6;
        }
        e.TotalCropET = c.value("TotalCropET").toDouble();
        e.TotalEffPrecip80 = c.value("TotalEffPrecip80").toDouble();
        e.TotalNetIrrReq80 = c.value("TotalNetIrrReq80").toDouble();
        e.TotalEffPrecip50 = c.value("TotalEffPrecip50").toDouble();
        e.TotalNetIrrReq50 = c.value("TotalNetIrrReq50").toDouble();
        windowCells += 5;
        expectGridShows(shown, e, shown.crop.toUtf8().constData());

        // The CSV of the file: the same numbers as the saved job's JSON, exactly.
        int rows = 0;
        for (const QByteArray& line : csvLines) {
            const QString l = QString::fromUtf8(line).trimmed();
            if (!l.startsWith("Exchange,\"" + shown.crop + "\",") && !l.startsWith("Exchange," + shown.crop + ","))
                continue;
            const QString rest = l.mid(l.indexOf(shown.crop) + shown.crop.size() + (l.contains('"') ? 2 : 1));
            const QStringList cells = rest.split(',');
            // The crop's columns, then the 13 of the farm's water.
            ASSERT_EQ(cells.size(), 13 + 13) << l.toStdString();
            const int m = cells[0].toInt();
            const std::pair<int, const char*> columns[] = {
                {4, "DailyCropET"}, {5, "MonthlyCropET"}, {6, "EffPrecip50"}, {7, "EffPrecip80"},
                {8, "CarryOverUsed50"}, {9, "CarryOverUsed80"}, {10, "NetIrrReq50"}, {11, "NetIrrReq80"},
                {12, "PeakDailyET"}, {3, "MonthlyKc"}};
            for (const auto& [col, key] : columns) {
                EXPECT_EQ(cells[col].toDouble(), month(key, m)) << shown.crop.toStdString() << " " << key << " " << m;
                ++csvCells;
            }
            ++rows;
        }
        EXPECT_EQ(rows, 12) << shown.crop.toStdString();
        std::cout << "window vs quenpm-calc: " << shown.crop.toStdString() << ": seasonal net irrigation "
                  << shown.totals.value(5).toStdString() << " in (window, normal year) / " << e.TotalNetIrrReq50
                  << " in (--json), dry year " << shown.totals.value(3).toStdString() << " / "
                  << e.TotalNetIrrReq80 << ", crop ET " << shown.totals.value(1).toStdString() << " / "
                  << e.TotalCropET << '\n';
    }
    std::cout << "window vs quenpm-calc: " << windowCells << " output dialog cells and " << csvCells
              << " CSV cells compared\n";
    Database::open(freshDb);
    p = std::make_unique<TMainProgram>();
    f = p->form.get();
}

// A file that cannot be used shows the file, the JSON path and the field
// and saves nothing; a name already saved asks, and No keeps the old job.
TEST_F(JobFileWindow, ABadFileSavesNothingAndReplaceNoKeepsTheOldJob)
{
    makeThreeCropJob("Kept");
    const QString file = dir.filePath("kept.json");
    msgs.clear();
    acceptNextFileDialog(file);
    f->ExportJobItem->trigger();
    ASSERT_TRUE(QFile::exists(file));
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray text = in.readAll();
    in.close();

    // The saved job as changed since the export.
    {
        TTable jobs("QuenJob.db");
        jobs.open();
        jobs.first();
        jobs.edit();
        jobs.field("Location").setAsString("South field");
        jobs.post();
        jobs.close();
    }
    const QList<QVariantList> jobRows = savedRows("QuenJob.db");
    const QList<QVariantList> cropRows = savedRows("QuenJobCrop.DB");

    const QString bad = dir.filePath("bad.json");
    const QList<QPair<QByteArray, QString>> badFiles = {
        {QByteArray(text).replace("\"Grapes, wine\"", "\"Grapes\""),
         bad + ": crops[2].crop (\"Crop Name\"): no crop record is named \"Grapes\""},
        {QByteArray(text).replace("\"Kept\"", "\"Other\"").replace("\"format\"", "\"formats\""),
         bad + ": formats: unknown field"},
        {"{\n  \"name\": \"Other\",\n  oops\n}", bad + ": line 3, column 3: malformed JSON"},
    };
    for (const auto& [content, message] : badFiles) {
        SCOPED_TRACE(message.toStdString());
        QFile out(bad);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
        out.close();
        msgs.clear();
        msgs.answer(MsgResult::Yes);   // replace "Kept" (the first file)
        acceptNextFileDialog(bad);
        f->ImportJobItem->trigger();
        EXPECT_TRUE(msgs.lastText().startsWith(message)) << msgs.lastText().toStdString();
        EXPECT_EQ(savedRows("QuenJob.db"), jobRows);
        EXPECT_EQ(savedRows("QuenJobCrop.DB"), cropRows);
    }
    // The job that was open is open again, as saved.
    EXPECT_EQ(f->JobNameEdit->text(), "Kept");
    EXPECT_EQ(f->LocationEdit->text(), "South field");

    msgs.clear();
    msgs.answer(MsgResult::No);
    acceptNextFileDialog(file);
    f->ImportJobItem->trigger();
    EXPECT_EQ(msgs.texts(), QStringList{"A saved job is named Kept already.  Do you want to replace it with the imported job?"});
    EXPECT_EQ(savedRows("QuenJob.db"), jobRows);
    EXPECT_EQ(savedRows("QuenJobCrop.DB"), cropRows);

    msgs.clear();
    msgs.answer(MsgResult::Yes);
    acceptNextFileDialog(file);
    f->ImportJobItem->trigger();
    const QList<QVariantList> replaced = savedRows("QuenJob.db");
    ASSERT_EQ(replaced.size(), 1);
    EXPECT_NE(replaced, jobRows);
    EXPECT_EQ(f->LocationEdit->text(), "North field");
    EXPECT_EQ(savedRows("QuenJobCrop.DB").size(), 3);
}
