// TMainForm: the main window of Quenpm, "Quen, Penman-Monteith (Quenpm)".
//
// Top panel (Exit, New Job, Get Prev Job, Save Job, Cancel Job), the job
// panel with the job's texts, the elevation in feet and metres, the two
// effective-precipitation ratios and the ET method, the group "Climate
// Database Site", the group "Job Crops" with the working-crop grid, and the
// menus File, Reports, DB Management, Options and Help. While no job is open
// the job panel is hidden and a picture fills the client area.
//
// The window reads and writes the job values of the program's one
// CropRunContext and keeps the program's one JobState (save state, saved job,
// crop numbering). The job lifecycle (new, fetch, save, cancel, delete, the
// save prompt, the report commands) is wired to the handler slots below.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include "CropRunContext.h"
#include "JobState.h"
#include "OpenJob.h"

class QAction;
class QGridLayout;
class QGroupBox;
class QMenu;

namespace quen {
class TDBGrid;
class TNumEdit;
}

namespace quen::mainprog {

class TJobPicture;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    TMainForm(CropRunContext& ctx, JobState& job, CropCurveState& curveState, QWidget* parent = nullptr);
    ~TMainForm() override;

    CropRunContext& Ctx;
    JobState& Job;
    CropCurveState& CurveState;

    // Flags of the window.
    bool JobNameEntered = false;
    bool ReportCancelled = false;
    // The last Save Job was refused by the database (nothing was written):
    // the job stays open with its changes instead of being closed or replaced.
    bool SaveRefused = false;

    // Top panel.
    QWidget* TopPanel;
    QPushButton* ExitButton;
    QPushButton* NewJobButton;
    QPushButton* RevEditBtn;
    QPushButton* SaveJobBtn;
    QPushButton* CancelJobBtn;

    // Picture and job panel.
    TJobPicture* Picture;
    QWidget* JobPanel;
    QLineEdit* JobNameEdit;
    QLineEdit* DateEdit;
    QLineEdit* PlannerEdit;
    QLineEdit* LocationEdit;
    QLineEdit* LandUserEdit;
    QLineEdit* IDEdit;
    QLineEdit* JobClassEdit;
    TNumEdit* ElevEdit;
    TNumEdit* ElevEditM;
    TNumEdit* Norm50Edit;
    TNumEdit* Dry80Edit;
    QLabel* ETLabel;
    QLabel* UniqueLabel;

    // Group "Climate Database Site".
    QGroupBox* ClimateGroup;
    QLabel* StationNameLabel;
    QLabel* StaNoLabel;
    QLabel* CountyLabel;
    QLabel* LatLabel;
    QLabel* LonLabel;
    QLabel* GetClimLbl;
    QPushButton* JobDatBtn;

    // Group "Job Crops".
    QGroupBox* CropGroup;
    TDBGrid* JobCropDBGrid;
    QPushButton* AddCropBtn;
    QPushButton* DeleteCropBtn;
    QPushButton* EdCropBtn;
    QPushButton* DisplayButton;

    // Menus.
    QMenu* FileMenu;
    QMenu* ReportsMenu;
    QMenu* DBManagementMenu;
    QMenu* OptionsMenu;
    QMenu* HelpMenu;
    QAction* NewJobItem;
    QAction* ReviewEditJobItem;
    QAction* SaveJobItem;
    QAction* ExportJobItem;
    QAction* ImportJobItem;
    QAction* DeleteJobItem;
    QAction* ExitItem;
    QAction* SingleCropReportItem;
    QAction* SingleCropDetailsItem;
    QAction* JobCropSummaryItem;
    QAction* ClimateInputDetailsItem;
    QAction* FarmWaterItem;               // "&Farm Water...": TFarmWaterDlg
    QAction* ReportFormat1Item;
    QAction* ListOfJobsItem;
    QAction* ClimateDatabaseItem;
    QAction* CropDatabaseItem;
    QAction* SystemDefaultsItem;
    QAction* LocalDefaultsItem;
    QAction* ContentsItem;
    QAction* SearchHelpItem;
    QAction* AboutItem;

    // The two "DB Management" texts.
    static QString climateDatabaseText();
    static QString cropDatabaseText();

public slots:
    // Part of this window.
    void FormShow();                      // show steps, once at start-up
    void FormActivate();                  // help file set again
    void ElevEditChange();
    void ElevEditExit();
    void ElevEditMChange();
    void ElevEditMExit();
    void JobNameEditEnter();
    void ExitButtonClick();
    void ReportFormat1Click();            // TNotImplForm
    void ListOfJobsClick();
    void ClimateDatabaseClick();
    void CropDatabaseClick();
    void ContentsClick();
    void SearchForHelpClick();
    void AboutClick();

    // The job lifecycle, station and crop choice, defaults and reports.
    void NewJobButtonClick();
    void RevEditBtnClick();
    void SaveJobBtnClick();
    void CancelJobBtnClick();
    void DeleteJobClick();
    void ExportJobItemClick();            // the open job as a job file
    void ImportJobItemClick();            // a job file as a saved job, then opened
    void JobDatBtnClick();
    void AddCropBtnClick();
    void DeleteCropBtnClick();
    void EdCropBtnClick();
    void DisplayButtonClick();
    void JobCropDBGridDblClick();
    void JobNameEditChange();
    void JobNameEditExit();
    void LocationEditEnter();
    void LocationEditChange();
    void LocationEditExit();
    void PlannerEditEnter();
    void PlannerEditChange();
    void PlannerEditExit();
    void LandUserEditEnter();
    void LandUserEditExit();
    void IDEditEnter();
    void IDEditExit();
    void JobClassEditEnter();
    void JobClassEditExit();
    void DateEditChange();
    void DateEditExit();
    void Norm50EditChange();
    void Norm50EditExit();
    void Dry80EditChange();
    void Dry80EditExit();
    void SingleCropReportClick();
    void SingleCropDetailsClick();
    void JobCropSummaryClick();
    void ClimateInputDetailsClick();
    void FarmWaterItemClick();
    void SystemDefaultsClick();
    void LocalDefaultsClick();
    virtual void SavePrompt();            // the save prompt, when JobSaveState is not 0

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopPanel();
    void buildJobPanel();
    QWidget* buildJobData();
    void addJobTextRows(QWidget* left, QGridLayout* g, int& row);
    void addElevationRows(QWidget* left, QGridLayout* g, int& row);
    void addRatioRows(QWidget* left, QGridLayout* g, int& row);
    QGroupBox* buildClimateGroup(QWidget* parent);
    QGroupBox* buildCropGroup(QWidget* parent);
    void setJobPanelFocusOrder();
    void connectJobPanel();

    // Steps of Get New Climate.
    job::JobEntries jobEntries() const;
    void focusRefusedEntry(job::JobEntry entry);
    void chooseStation();
    void showStationTaken();
    void takeSiteEdits();
    // Steps of Get Prev Job (and New Job's save prompt).
    bool previousJobsAvailable();
    bool leaveOpenJob();
    QString pickSavedJob();
    void openJobPanelForFetch();
    void showFetchedJob(bool found);
    void openSavedJob(const QString& name);
    bool exportableJob();
    void buildMenus();
    bool m_shown = false;
};

// The application's main window (set by the constructor).
extern TMainForm* MainForm;

} // namespace quen::mainprog
