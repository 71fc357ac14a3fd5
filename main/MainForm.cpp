#include "MainForm.h"

#include "FarmStore.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "AboutDialog.h"
#include "DBGrid.h"
#include "EnterFocus.h"
#include "Help.h"
#include "JobPicture.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "AboutBox.h"
#include "NotImplForm.h"
#include "NumEdit.h"
#include "Placement.h"
#include "Table.h"
#include "JobListReport.h"

namespace quen::mainprog {

TMainForm* MainForm = nullptr;

namespace {

QLabel* blueLabel(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setStyleSheet(QStringLiteral("color: blue;"));
    return l;
}

QPushButton* button(const QString& name, const QString& caption, const QString& hint, int help,
                    QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setStatusTip(hint);
    }
    if (help) setHelpContext(b, help);
    b->setAutoDefault(false);
    return b;
}

template <class Edit>
Edit* edit(Edit* e, const QString& name, const QString& hint, int help)
{
    e->setObjectName(name);
    if (!hint.isEmpty()) {
        e->setToolTip(hint);
        e->setStatusTip(hint);
    }
    if (help) setHelpContext(e, help);
    return e;
}

QAction* item(QMenu* menu, const QString& name, const QString& caption, int help = 0,
              const QString& hint = QString())
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (help) setHelpContext(a, help);
    if (!hint.isEmpty()) {
        a->setToolTip(hint);
        a->setStatusTip(hint);
    }
    return a;
}

} // namespace

TMainForm::TMainForm(CropRunContext& ctx, JobState& job, CropCurveState& curveState, QWidget* parent)
    : QMainWindow(parent), Ctx(ctx), Job(job), CurveState(curveState)
{
    MainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quen, Penman-Monteith (Quenpm)"));

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(4, 4, 4, 4);
    setCentralWidget(central);

    buildTopPanel();
    v->addWidget(TopPanel);

    Picture = new TJobPicture(central);
    Picture->setObjectName(QStringLiteral("Picture"));
    v->addWidget(Picture, 1);

    buildJobPanel();
    v->addWidget(JobPanel, 1);

    buildMenus();
    statusBar();
    resize(900, 600);
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::buildTopPanel()
{
    TopPanel = new QFrame(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    static_cast<QFrame*>(TopPanel)->setFrameShape(QFrame::StyledPanel);
    auto* h = new QHBoxLayout(TopPanel);
    h->setContentsMargins(6, 4, 6, 4);
    ExitButton = button(QStringLiteral("ExitButton"), QStringLiteral("E&xit"), {}, 0, TopPanel);
    NewJobButton = button(QStringLiteral("NewJobButton"), QStringLiteral("New Job"),
                          QStringLiteral("Enter new job data"), 14, TopPanel);
    RevEditBtn = button(QStringLiteral("RevEditBtn"), QStringLiteral("Get Prev Job"),
                        QStringLiteral("Get previous job"), 29, TopPanel);
    SaveJobBtn = button(QStringLiteral("SaveJobBtn"), QStringLiteral("Save Job"),
                        QStringLiteral("Save current job"), 27, TopPanel);
    CancelJobBtn = button(QStringLiteral("CancelJobBtn"), QStringLiteral("Cancel Job"), {}, 0, TopPanel);
    for (QPushButton* b : {ExitButton, NewJobButton, RevEditBtn, SaveJobBtn, CancelJobBtn}) {
        b->setMinimumWidth(100);
        h->addWidget(b);
    }
    h->addStretch();

    connect(ExitButton, &QPushButton::clicked, this, &TMainForm::ExitButtonClick);
    connect(NewJobButton, &QPushButton::clicked, this, &TMainForm::NewJobButtonClick);
    connect(RevEditBtn, &QPushButton::clicked, this, &TMainForm::RevEditBtnClick);
    connect(SaveJobBtn, &QPushButton::clicked, this, &TMainForm::SaveJobBtnClick);
    connect(CancelJobBtn, &QPushButton::clicked, this, &TMainForm::CancelJobBtnClick);
}

void TMainForm::buildJobPanel()
{
    JobPanel = new QWidget(centralWidget());
    JobPanel->setObjectName(QStringLiteral("JobPanel"));
    auto* h = new QHBoxLayout(JobPanel);
    h->setContentsMargins(4, 4, 4, 4);
    h->addWidget(buildJobData(), 1);

    // Climate station and crops, right.
    auto* right = new QWidget(JobPanel);
    auto* rv = new QVBoxLayout(right);
    rv->setContentsMargins(0, 0, 0, 0);
    rv->addWidget(buildClimateGroup(right));
    rv->addWidget(buildCropGroup(right), 1);
    h->addWidget(right, 1);

    setJobPanelFocusOrder();
    connectJobPanel();
}

// Job data, the left half of the job panel: the job's texts, the elevation in
// feet and metres, the two ratios and the ET method.
QWidget* TMainForm::buildJobData()
{
    auto* left = new QWidget(JobPanel);
    auto* g = new QGridLayout(left);
    g->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    addJobTextRows(left, g, row);
    addElevationRows(left, g, row);
    addRatioRows(left, g, row);

    g->addWidget(blueLabel(QStringLiteral("ET Computation Method"), left), row++, 0, 1, 5);
    ETLabel = new QLabel(left);
    ETLabel->setObjectName(QStringLiteral("ETLabel"));
    ETLabel->setStyleSheet(QStringLiteral("color: maroon; font-weight: bold;"));
    g->addWidget(ETLabel, row++, 0, 1, 5);
    g->setRowStretch(row, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    return left;
}

// Name (with the note under it), date, planner, location, land user, ID and
// class, from row on.
void TMainForm::addJobTextRows(QWidget* left, QGridLayout* g, int& row)
{
    auto textRow = [&](const QString& label, QLineEdit*& e, const QString& name, const QString& hint, int help) {
        e = edit(new QLineEdit(left), name, hint, help);
        g->addWidget(blueLabel(label, left), row, 0);
        g->addWidget(e, row, 1, 1, 4);
        ++row;
    };
    textRow(QStringLiteral("Job Name"), JobNameEdit, QStringLiteral("JobNameEdit"),
            QStringLiteral("Unique name for job"), 14);
    UniqueLabel = new QLabel(QStringLiteral("(NEW JOB Enter a unique name)"), left);
    UniqueLabel->setObjectName(QStringLiteral("UniqueLabel"));
    UniqueLabel->setStyleSheet(QStringLiteral("color: red;"));
    g->addWidget(UniqueLabel, row++, 1, 1, 4);
    textRow(QStringLiteral("Job Date"), DateEdit, QStringLiteral("DateEdit"), QStringLiteral("Date can be changed"), 14);
    textRow(QStringLiteral("Job Planner"), PlannerEdit, QStringLiteral("PlannerEdit"),
            QStringLiteral("Enter job planner's name"), 14);
    textRow(QStringLiteral("Job Location"), LocationEdit, QStringLiteral("LocationEdit"),
            QStringLiteral("Enter job location info"), 14);
    textRow(QStringLiteral("Land User"), LandUserEdit, QStringLiteral("LandUserEdit"),
            QStringLiteral("Enter land user name"), 0);
    textRow(QStringLiteral("ID"), IDEdit, QStringLiteral("IDEdit"), QStringLiteral("Enter job ID"), 0);
    textRow(QStringLiteral("Job  Class"), JobClassEdit, QStringLiteral("JobClassEdit"),
            QStringLiteral("Enter job class"), 0);
    // Each edit takes no more characters than its field of "QuenJob.db"
    // holds: the table would cut a longer text without a word, and a cut job
    // name no longer matches the job's own row.
    if (const TableDef* jobs = findTableDef(QStringLiteral("QuenJob.db")))
        for (auto [e, field] : {std::pair{JobNameEdit, "JobName"}, std::pair{DateEdit, "Job Date"},
                                std::pair{PlannerEdit, "Planner"}, std::pair{LocationEdit, "Location"},
                                std::pair{LandUserEdit, "LandUser"}, std::pair{IDEdit, "ID"},
                                std::pair{JobClassEdit, "JobClass"}})
            if (const int i = jobs->fieldIndex(QString::fromLatin1(field)); i >= 0)
                e->setMaxLength(jobs->fields[i].size);
}

// The job's elevation in feet and in metres side by side.
void TMainForm::addElevationRows(QWidget* left, QGridLayout* g, int& row)
{
    g->addWidget(blueLabel(QStringLiteral("Job elevation above sea level"), left), row++, 0, 1, 5);
    ElevEdit = edit(new TNumEdit(QStringLiteral("####"), -200, 9999, left), QStringLiteral("ElevEdit"), {}, 15);
    ElevEditM = edit(new TNumEdit(QStringLiteral("####.#"), -500, 9999, left), QStringLiteral("ElevEditM"), {}, 15);
    g->addWidget(ElevEdit, row, 1);
    g->addWidget(blueLabel(QStringLiteral("feet"), left), row, 2);
    g->addWidget(ElevEditM, row, 3);
    g->addWidget(blueLabel(QStringLiteral("meters"), left), row, 4);
    ++row;
    ElevEdit->setFieldCaption(QStringLiteral("Job elevation above sea level (feet)"));
    ElevEditM->setFieldCaption(QStringLiteral("Job elevation above sea level (meters)"));
}

// The effective-precipitation ratios of the normal (50 %) and dry (80 %) year.
void TMainForm::addRatioRows(QWidget* left, QGridLayout* g, int& row)
{
    g->addWidget(blueLabel(QStringLiteral("Effective Precipitation Ratio"), left), row++, 0, 1, 5);
    Norm50Edit = edit(new TNumEdit(QStringLiteral("#.##"), 0.01, 9.99, left), QStringLiteral("Norm50Edit"), {}, 15);
    Dry80Edit = edit(new TNumEdit(QStringLiteral("#.##"), 0.01, 9.99, left), QStringLiteral("Dry80Edit"), {}, 15);
    Norm50Edit->setCaretToEnd(true);
    Dry80Edit->setCaretToEnd(true);
    Norm50Edit->setFieldCaption(QStringLiteral("Effective Precipitation Ratio, Normal year"));
    Dry80Edit->setFieldCaption(QStringLiteral("Effective Precipitation Ratio, Dry year"));
    g->addWidget(blueLabel(QStringLiteral("Normal year"), left), row, 0);
    g->addWidget(blueLabel(QStringLiteral("50% chance"), left), row + 1, 0);
    g->addWidget(Norm50Edit, row, 1, 2, 1);
    g->addWidget(blueLabel(QStringLiteral("Dry year"), left), row, 2);
    g->addWidget(blueLabel(QStringLiteral("80% chance"), left), row + 1, 2);
    g->addWidget(Dry80Edit, row, 3, 2, 1);
    row += 2;
}

// "Climate Database Site": the job's station and its Get New Climate button.
QGroupBox* TMainForm::buildClimateGroup(QWidget* parent)
{
    ClimateGroup = new QGroupBox(QStringLiteral("Climate Database Site"), parent);
    ClimateGroup->setObjectName(QStringLiteral("ClimateGroup"));
    auto* cg = new QGridLayout(ClimateGroup);
    StationNameLabel = new QLabel(ClimateGroup);
    StationNameLabel->setObjectName(QStringLiteral("StationNameLabel"));
    StationNameLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    StaNoLabel = new QLabel(ClimateGroup);
    StaNoLabel->setObjectName(QStringLiteral("StaNoLabel"));
    CountyLabel = new QLabel(ClimateGroup);
    CountyLabel->setObjectName(QStringLiteral("CountyLabel"));
    LatLabel = new QLabel(ClimateGroup);
    LatLabel->setObjectName(QStringLiteral("LatLabel"));
    LonLabel = new QLabel(ClimateGroup);
    LonLabel->setObjectName(QStringLiteral("LonLabel"));
    GetClimLbl = new QLabel(QStringLiteral("(You must start a new job to change climate station)"), ClimateGroup);
    GetClimLbl->setObjectName(QStringLiteral("GetClimLbl"));
    JobDatBtn = button(QStringLiteral("JobDatBtn"), QStringLiteral("Get New Climate"),
                       QStringLiteral("Get a climate station"), 0, ClimateGroup);
    cg->addWidget(StationNameLabel, 0, 0, 1, 4);
    cg->addWidget(StaNoLabel, 1, 0, 1, 2);
    cg->addWidget(CountyLabel, 1, 2, 1, 2);
    cg->addWidget(new QLabel(QStringLiteral("Latitude:"), ClimateGroup), 2, 0);
    cg->addWidget(LatLabel, 2, 1);
    cg->addWidget(new QLabel(QStringLiteral("Longitude:"), ClimateGroup), 2, 2);
    cg->addWidget(LonLabel, 2, 3);
    cg->addWidget(GetClimLbl, 3, 0, 1, 4);
    cg->addWidget(JobDatBtn, 4, 0, 1, 2);
    cg->setColumnStretch(1, 1);
    cg->setColumnStretch(3, 1);
    // Entering the group puts the focus on its button.
    ClimateGroup->setFocusProxy(JobDatBtn);
    return ClimateGroup;
}

// "Job Crops": the working-crop grid and the crop buttons.
QGroupBox* TMainForm::buildCropGroup(QWidget* parent)
{
    CropGroup = new QGroupBox(QStringLiteral("Job Crops"), parent);
    CropGroup->setObjectName(QStringLiteral("CropGroup"));
    auto* kv = new QVBoxLayout(CropGroup);
    kv->addWidget(new QLabel(QStringLiteral("Select Crop to Compute and Display"), CropGroup));
    auto* kh = new QHBoxLayout;
    kv->addLayout(kh, 1);
    JobCropDBGrid = new TDBGrid(CropGroup);
    JobCropDBGrid->setObjectName(QStringLiteral("JobCropDBGrid"));
    JobCropDBGrid->setToolTip(QStringLiteral("Select a crop"));
    JobCropDBGrid->setStatusTip(QStringLiteral("Select a crop"));
    setHelpContext(JobCropDBGrid, 16);
    JobCropDBGrid->addColumn(QStringLiteral("Crop Name"), QStringLiteral("Crop Name"));
    kh->addWidget(JobCropDBGrid, 1);
    AddCropBtn = button(QStringLiteral("AddCropBtn"), QStringLiteral("Add New Crop"), {}, 0, CropGroup);
    DeleteCropBtn = button(QStringLiteral("DeleteCropBtn"), QStringLiteral("Delete Crop"), {}, 0, CropGroup);
    EdCropBtn = button(QStringLiteral("EdCropBtn"), QStringLiteral("Edit Crop"), {}, 0, CropGroup);
    DisplayButton = button(QStringLiteral("DisplayButton"), QStringLiteral("Display Crop"), {}, 0, CropGroup);
    QFont bold = DisplayButton->font();
    bold.setBold(true);
    DisplayButton->setFont(bold);
    auto* kb = new QVBoxLayout;
    for (QPushButton* b : {AddCropBtn, DeleteCropBtn, EdCropBtn, DisplayButton}) kb->addWidget(b);
    kb->addStretch();
    kh->addLayout(kb);
    return CropGroup;
}

// Tab and Enter move through the job panel top to bottom.
void TMainForm::setJobPanelFocusOrder()
{
    QWidget* order[] = {JobNameEdit, DateEdit, PlannerEdit, LocationEdit, LandUserEdit, IDEdit,
                        JobClassEdit, ElevEdit, ElevEditM, Norm50Edit, Dry80Edit, JobDatBtn,
                        JobCropDBGrid, AddCropBtn, DeleteCropBtn, EdCropBtn, DisplayButton};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    installEnterMovesFocus({JobNameEdit, DateEdit, PlannerEdit, LocationEdit, LandUserEdit, IDEdit, JobClassEdit});
}

// The handlers of the job panel's controls.
void TMainForm::connectJobPanel()
{
    // Elevation in two units.
    connect(ElevEdit, &TNumEdit::changed, this, &TMainForm::ElevEditChange);
    connect(ElevEdit, &TNumEdit::exited, this, &TMainForm::ElevEditExit);
    connect(ElevEditM, &TNumEdit::changed, this, &TMainForm::ElevEditMChange);
    connect(ElevEditM, &TNumEdit::exited, this, &TMainForm::ElevEditMExit);

    // Field edits of the job.
    JobNameEdit->installEventFilter(this);
    for (QLineEdit* e : {LocationEdit, PlannerEdit, LandUserEdit, IDEdit, JobClassEdit, DateEdit})
        e->installEventFilter(this);
    connect(JobNameEdit, &QLineEdit::textEdited, this, &TMainForm::JobNameEditChange);
    connect(LocationEdit, &QLineEdit::textEdited, this, &TMainForm::LocationEditChange);
    connect(PlannerEdit, &QLineEdit::textEdited, this, &TMainForm::PlannerEditChange);
    connect(DateEdit, &QLineEdit::textEdited, this, &TMainForm::DateEditChange);
    connect(Norm50Edit, &TNumEdit::changed, this, &TMainForm::Norm50EditChange);
    connect(Norm50Edit, &TNumEdit::exited, this, &TMainForm::Norm50EditExit);
    connect(Dry80Edit, &TNumEdit::changed, this, &TMainForm::Dry80EditChange);
    connect(Dry80Edit, &TNumEdit::exited, this, &TMainForm::Dry80EditExit);

    connect(JobDatBtn, &QPushButton::clicked, this, &TMainForm::JobDatBtnClick);
    connect(AddCropBtn, &QPushButton::clicked, this, &TMainForm::AddCropBtnClick);
    connect(DeleteCropBtn, &QPushButton::clicked, this, &TMainForm::DeleteCropBtnClick);
    connect(EdCropBtn, &QPushButton::clicked, this, &TMainForm::EdCropBtnClick);
    connect(DisplayButton, &QPushButton::clicked, this, &TMainForm::DisplayButtonClick);
    connect(JobCropDBGrid, &TDBGrid::rowDoubleClicked, this, &TMainForm::JobCropDBGridDblClick);
}

void TMainForm::buildMenus()
{
    QMenuBar* bar = menuBar();
    FileMenu = bar->addMenu(QStringLiteral("File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    NewJobItem = item(FileMenu, QStringLiteral("NewJobItem"), QStringLiteral("&New Job"));
    ReviewEditJobItem = item(FileMenu, QStringLiteral("ReviewEditJobItem"), QStringLiteral("&Review or Edit Job..."));
    SaveJobItem = item(FileMenu, QStringLiteral("SaveJobItem"), QStringLiteral("&Save Job"));
    ExportJobItem = item(FileMenu, QStringLiteral("ExportJobItem"), QStringLiteral("&Export Job..."), 19030);
    ImportJobItem = item(FileMenu, QStringLiteral("ImportJobItem"), QStringLiteral("&Import Job..."), 19030);
    FileMenu->addSeparator();
    DeleteJobItem = item(FileMenu, QStringLiteral("DeleteJobItem"), QStringLiteral("&Delete Job..."), 19023,
                         QStringLiteral("Delete old jobs"));
    FileMenu->addSeparator();
    ExitItem = item(FileMenu, QStringLiteral("ExitItem"), QStringLiteral("E&xit"));

    ReportsMenu = bar->addMenu(QStringLiteral("Reports"));
    ReportsMenu->setObjectName(QStringLiteral("ReportsMenu"));
    SingleCropReportItem = item(ReportsMenu, QStringLiteral("SingleCropReportItem"), QStringLiteral("Single Crop &Report"), 19021);
    SingleCropDetailsItem = item(ReportsMenu, QStringLiteral("SingleCropDetailsItem"), QStringLiteral("Single Crop &Details"), 19021);
    JobCropSummaryItem = item(ReportsMenu, QStringLiteral("JobCropSummaryItem"), QStringLiteral("Job Crop &Summary"), 19021);
    ClimateInputDetailsItem = item(ReportsMenu, QStringLiteral("ClimateInputDetailsItem"), QStringLiteral("&Climate Input Details"));
    ReportFormat1Item = item(ReportsMenu, QStringLiteral("ReportFormat1Item"), QStringLiteral("Report Format &1"), 19021);
    FarmWaterItem = item(ReportsMenu, QStringLiteral("FarmWaterItem"), QStringLiteral("&Farm Water..."), 19031);
    ReportsMenu->addSeparator();
    ListOfJobsItem = item(ReportsMenu, QStringLiteral("ListOfJobsItem"), QStringLiteral("&List of Jobs"), 19021);

    DBManagementMenu = bar->addMenu(QStringLiteral("DB Management"));
    DBManagementMenu->setObjectName(QStringLiteral("DBManagementMenu"));
    ClimateDatabaseItem = item(DBManagementMenu, QStringLiteral("ClimateDatabaseItem"), QStringLiteral("Climate Database"));
    CropDatabaseItem = item(DBManagementMenu, QStringLiteral("CropDatabaseItem"), QStringLiteral("Crop Database"));

    OptionsMenu = bar->addMenu(QStringLiteral("Options"));
    OptionsMenu->setObjectName(QStringLiteral("OptionsMenu"));
    SystemDefaultsItem = item(OptionsMenu, QStringLiteral("SystemDefaultsItem"), QStringLiteral("&System Defaults"), 19026);
    LocalDefaultsItem = item(OptionsMenu, QStringLiteral("LocalDefaultsItem"), QStringLiteral("&Local Defaults"), 19027);

    HelpMenu = bar->addMenu(QStringLiteral("Help"));
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    ContentsItem = item(HelpMenu, QStringLiteral("ContentsItem"), QStringLiteral("&Contents"), 19001);
    SearchHelpItem = item(HelpMenu, QStringLiteral("SearchHelpItem"), QStringLiteral("&Search for Help on..."));
    HelpMenu->addSeparator();
    AboutItem = item(HelpMenu, QStringLiteral("AboutItem"), QStringLiteral("&About"));

    connect(NewJobItem, &QAction::triggered, this, &TMainForm::NewJobButtonClick);
    connect(ReviewEditJobItem, &QAction::triggered, this, &TMainForm::RevEditBtnClick);
    connect(SaveJobItem, &QAction::triggered, this, &TMainForm::SaveJobBtnClick);
    connect(ExportJobItem, &QAction::triggered, this, &TMainForm::ExportJobItemClick);
    connect(ImportJobItem, &QAction::triggered, this, &TMainForm::ImportJobItemClick);
    connect(DeleteJobItem, &QAction::triggered, this, &TMainForm::DeleteJobClick);
    connect(ExitItem, &QAction::triggered, this, &TMainForm::ExitButtonClick);
    connect(SingleCropReportItem, &QAction::triggered, this, &TMainForm::SingleCropReportClick);
    connect(SingleCropDetailsItem, &QAction::triggered, this, &TMainForm::SingleCropDetailsClick);
    connect(JobCropSummaryItem, &QAction::triggered, this, &TMainForm::JobCropSummaryClick);
    connect(ClimateInputDetailsItem, &QAction::triggered, this, &TMainForm::ClimateInputDetailsClick);
    connect(ReportFormat1Item, &QAction::triggered, this, &TMainForm::ReportFormat1Click);
    connect(FarmWaterItem, &QAction::triggered, this, &TMainForm::FarmWaterItemClick);
    connect(ListOfJobsItem, &QAction::triggered, this, &TMainForm::ListOfJobsClick);
    connect(ClimateDatabaseItem, &QAction::triggered, this, &TMainForm::ClimateDatabaseClick);
    connect(CropDatabaseItem, &QAction::triggered, this, &TMainForm::CropDatabaseClick);
    connect(SystemDefaultsItem, &QAction::triggered, this, &TMainForm::SystemDefaultsClick);
    connect(LocalDefaultsItem, &QAction::triggered, this, &TMainForm::LocalDefaultsClick);
    connect(ContentsItem, &QAction::triggered, this, &TMainForm::ContentsClick);
    connect(SearchHelpItem, &QAction::triggered, this, &TMainForm::SearchForHelpClick);
    connect(AboutItem, &QAction::triggered, this, &TMainForm::AboutClick);
}

QString TMainForm::climateDatabaseText()
{
    return QStringLiteral("Use seperate program QuenpmClim.  Please exit this prgram and select QuenpmClim from Quenpm program selection.");
}

QString TMainForm::cropDatabaseText()
{
    return QStringLiteral("Use seperate program QuenpmCrop.  Please exit this prgram and select QuenpmCrop from Quenpm program selection.");
}

// --- show, activate, close ---------------------------------------------------

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    // 1, 2: fit to the screen.
    fitWindowToScreen(this);

    if (DMod && JobCropDBGrid->dataSource() != DMod->datQuenWkCrop)
        JobCropDBGrid->setDataSource(DMod->datQuenWkCrop);

    // 5 first, so that a database failure in 3 still leaves the window in
    // its no-job state.
    for (QWidget* w : {static_cast<QWidget*>(CancelJobBtn), static_cast<QWidget*>(JobDatBtn),
                       static_cast<QWidget*>(SaveJobBtn), static_cast<QWidget*>(DisplayButton),
                       static_cast<QWidget*>(AddCropBtn), static_cast<QWidget*>(DeleteCropBtn),
                       static_cast<QWidget*>(JobCropDBGrid)})
        w->setEnabled(false);
    GetClimLbl->setVisible(true);
    UniqueLabel->setVisible(false);
    JobPanel->setVisible(false);
    Picture->setVisible(true);
    NewJobButton->setFocus();

    // 4: nothing to save.
    Job.JobSaveState = 0;

    // 3: the units flag from the local defaults.
    if (DMod) {
        TTable* t = DMod->tblLocDef;
        t->open();
        DMod->MetricUnits = !t->isEmpty() && t->field(QStringLiteral("MetricUnits")).asBoolean();
        t->close();
    }
}

void TMainForm::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainForm::FormActivate() { setHelpFile(QStringLiteral("Quenpm.HLP")); }

void TMainForm::closeEvent(QCloseEvent* e)
{
    // 1: unsaved changes; a save the database refused keeps the window open.
    if (Job.JobSaveState != 0) {
        SaveRefused = false;
        SavePrompt();
        if (SaveRefused) {
            e->ignore();
            return;
        }
    }
    // 2: the job table and the working crops; the crops are scratch data.
    if (DMod) {
        if (DMod->tblQuenJob->isOpen()) DMod->tblQuenJob->close();
        if (DMod->tblQuenWkCrop->isOpen()) DMod->tblQuenWkCrop->close();
        DMod->tblQuenWkCrop->emptyTable();
        job::EmptyWorkingFarmCrops();
    }
    // 3: the computation objects are reset here and destroyed with the
    // program.
    Ctx.reset();
    Job.reset();
    CurveState.reset();
    e->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // Focus that moves because another window (a message box, a dialog)
    // became active is no entering or leaving of an edit by the user.
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        && static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        if (watched == JobNameEdit) JobNameEditEnter();
        else if (watched == LocationEdit) LocationEditEnter();
        else if (watched == PlannerEdit) PlannerEditEnter();
        else if (watched == LandUserEdit) LandUserEditEnter();
        else if (watched == IDEdit) IDEditEnter();
        else if (watched == JobClassEdit) JobClassEditEnter();
    } else if (event->type() == QEvent::FocusOut
               && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (watched == JobNameEdit) JobNameEditExit();
        else if (watched == LocationEdit) LocationEditExit();
        else if (watched == PlannerEdit) PlannerEditExit();
        else if (watched == LandUserEdit) LandUserEditExit();
        else if (watched == IDEdit) IDEditExit();
        else if (watched == JobClassEdit) JobClassEditExit();
        else if (watched == DateEdit) DateEditExit();
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- elevation in feet and metres ------------------------------------------------

void TMainForm::ElevEditChange()
{
    ElevEdit->setMarkedModified(true);
    if (Job.JobSaveState == 0) Job.JobSaveState = 2;
}

void TMainForm::ElevEditMChange()
{
    ElevEditM->setMarkedModified(true);
    if (Job.JobSaveState == 0) Job.JobSaveState = 2;
}

void TMainForm::ElevEditExit()
{
    if (ElevEdit->isBlank()) return;
    Ctx.Elevation = ElevEdit->value();
    Ctx.ElevationM = Ctx.Elevation * 0.3048;
    ElevEditM->setValue(Ctx.ElevationM);
    ElevEdit->setMarkedModified(true);
    SaveJobBtn->setEnabled(true);
}

void TMainForm::ElevEditMExit()
{
    if (ElevEditM->isBlank()) return;
    Ctx.ElevationM = ElevEditM->value();
    Ctx.Elevation = Ctx.ElevationM * 3.28083;
    ElevEdit->setValue(Ctx.Elevation);
    ElevEditM->setMarkedModified(true);
    SaveJobBtn->setEnabled(true);
}

void TMainForm::JobNameEditEnter() { JobNameEntered = true; }

// --- commands of this window -----------------------------------------------------------

void TMainForm::ExitButtonClick() { close(); }

void TMainForm::ReportFormat1Click()
{
    TNotImplForm dlg(this);
    dlg.exec();
}

void TMainForm::ListOfJobsClick()
{
    // The report opens "QuenJob.db" when it is closed; the table is closed
    // afterwards in any case.
    quen::previewJobList(this);
    if (DMod && DMod->tblQuenJob->isOpen()) DMod->tblQuenJob->close();
}

void TMainForm::ClimateDatabaseClick() { showInfo(climateDatabaseText()); }

void TMainForm::CropDatabaseClick() { showInfo(cropDatabaseText()); }

void TMainForm::ContentsClick() { showHelpContents(); }

void TMainForm::SearchForHelpClick() { showHelpSearch(QString()); }

void TMainForm::AboutClick()
{
    TAboutBox box(this);
    box.exec();
}

// The job lifecycle, the station choice and the report commands are in
// MainFormJob.cpp.

} // namespace quen::mainprog
