#include "JobDialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DBGrid.h"
#include "Help.h"
#include "JobStore.h"
#include "MainDMod.h"
#include "ModalRun.h"
#include "MessageService.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setStatusTip(hint);
    }
    b->setAutoDefault(false);
    return b;
}

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(220);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QString fieldText(TTable* t, const char* field)
{
    if (!t || !t->isOpen() || t->isEmpty())
        return QString();
    return t->field(QString::fromLatin1(field)).asString();
}

} // namespace

QPushButton* makeHelpButton(QWidget* parent, int context)
{
    auto* b = makeButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), QStringLiteral("Help"), parent);
    setHelpContext(b, context);
    QObject::connect(b, &QPushButton::clicked, b, [context] { showHelpContext(context); });
    return b;
}

// --- save prompt -----------------------------------------------------------------

TSaveForm::TSaveForm(const QString& jobName, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SaveForm"));
    setWindowTitle(QStringLiteral("Save Job?"));
    setHelpContext(this, 19022);
    auto* v = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Do you wish to save the current Job?"), this);
    QFont f = text->font();
    f.setBold(true);
    text->setFont(f);
    v->addWidget(text);
    JobLabel = new QLabel(QStringLiteral("Job: ") + jobName, this);
    JobLabel->setObjectName(QStringLiteral("JobLabel"));
    v->addWidget(JobLabel);
    auto* h = new QHBoxLayout;
    h->addStretch();
    OKBtn = makeButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), QStringLiteral("Save the current job"), this);
    OKBtn->setDefault(true);
    NoBtn = makeButton(QStringLiteral("NoBtn"), QStringLiteral("No"), QStringLiteral("Dont save this job"), this);
    h->addWidget(OKBtn);
    h->addWidget(NoBtn);
    h->addStretch();
    v->addLayout(h);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(NoBtn, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(320);
}

// --- job list --------------------------------------------------------------------

TJobListForm::TJobListForm(CropRunContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("JobListForm"));
    setWindowTitle(QStringLiteral("Select Existing Job to View or Edit"));
    setHelpContext(this, 19024);
    auto* h = new QHBoxLayout(this);
    JobGrid = new TDBGrid(this);
    JobGrid->setObjectName(QStringLiteral("JobGrid"));
    JobGrid->addColumn(QStringLiteral("JobName"), QStringLiteral("Job Name"), 260);
    JobGrid->setToolTip(QStringLiteral("Select job and continue"));
    h->addWidget(JobGrid, 1);

    auto* right = new QVBoxLayout;
    auto* g = new QGridLayout;
    JobNameText = valueLabel(QStringLiteral("JobNameText"), this);
    LocationText = valueLabel(QStringLiteral("LocationText"), this);
    PlannerText = valueLabel(QStringLiteral("PlannerText"), this);
    DateText = valueLabel(QStringLiteral("DateText"), this);
    int row = 0;
    for (auto [label, value] : {std::pair{"JobName", JobNameText}, std::pair{"Job Location", LocationText},
                                std::pair{"Job Planner", PlannerText}, std::pair{"Date", DateText}}) {
        g->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        g->addWidget(value, row, 1);
        ++row;
    }
    right->addLayout(g);
    right->addStretch();
    auto* b = new QHBoxLayout;
    OKBtn = makeButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), QStringLiteral("Select job and continue"), this);
    OKBtn->setDefault(true);
    CancelBtn = makeButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), {}, this);
    b->addStretch();
    b->addWidget(OKBtn);
    b->addWidget(CancelBtn);
    right->addLayout(b);
    h->addLayout(right, 1);

    connect(OKBtn, &QPushButton::clicked, this, &TJobListForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TJobListForm::CancelBtnClick);
    connect(JobGrid, &TDBGrid::rowDoubleClicked, this, &TJobListForm::OKBtnClick);
    if (DMod) {
        JobGrid->setDataSource(DMod->datQuenJob);
        connect(DMod->datQuenJob, &TDataSource::recordChanged, this, &TJobListForm::showCurrent);
    }
    showCurrent();
    resize(640, 360);
}

void TJobListForm::showCurrent()
{
    TTable* t = DMod ? DMod->tblQuenJob : nullptr;
    JobNameText->setText(fieldText(t, "JobName"));
    LocationText->setText(fieldText(t, "Location"));
    PlannerText->setText(fieldText(t, "Planner"));
    DateText->setText(fieldText(t, "Job Date"));
}

void TJobListForm::OKBtnClick()
{
    m_ctx.JobName = fieldText(DMod ? DMod->tblQuenJob : nullptr, "JobName");
    accept();
}

void TJobListForm::CancelBtnClick()
{
    m_ctx.JobName.clear();
    reject();
}

// --- job removal -----------------------------------------------------------------

TRemoveJobsDlg::TRemoveJobsDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RemoveJobsDlg"));
    setWindowTitle(QStringLiteral("Remove Jobs"));
    auto* v = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Select a  Job to Remove"), this);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    v->addWidget(title);
    auto* h = new QHBoxLayout;
    JobGrid = new TDBGrid(this);
    JobGrid->setObjectName(QStringLiteral("JobGrid"));
    JobGrid->addColumn(QStringLiteral("JobName"), QStringLiteral("Job Name"), 260);
    JobGrid->setToolTip(QStringLiteral("Select job to delete"));
    setHelpContext(JobGrid, 19023);
    h->addWidget(JobGrid, 1);
    auto* g = new QGridLayout;
    JobNameText = valueLabel(QStringLiteral("JobNameText"), this);
    DateText = valueLabel(QStringLiteral("DateText"), this);
    LocationText = valueLabel(QStringLiteral("LocationText"), this);
    PlannerText = valueLabel(QStringLiteral("PlannerText"), this);
    int row = 0;
    for (auto [label, value] : {std::pair{"Job Name", JobNameText}, std::pair{"Date", DateText},
                                std::pair{"Job Location", LocationText}, std::pair{"Job Planner", PlannerText}}) {
        g->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        g->addWidget(value, row, 1);
        ++row;
    }
    g->setRowStretch(row, 1);
    h->addLayout(g, 1);
    v->addLayout(h, 1);

    auto* b = new QHBoxLayout;
    HelpBtn = makeHelpButton(this, 28);
    DeleteBtn = makeButton(QStringLiteral("DeleteBtn"), QStringLiteral("&Delete"), QStringLiteral("Delete selected job"), this);
    DeleteBtn->setDefault(true);
    ReturnBtn = makeButton(QStringLiteral("ReturnBtn"), QStringLiteral("&Return"), QStringLiteral("Return to main"), this);
    CancelBtn = makeButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), {}, this);
    b->addWidget(HelpBtn);
    b->addStretch();
    b->addWidget(DeleteBtn);
    b->addWidget(ReturnBtn);
    b->addWidget(CancelBtn);
    v->addLayout(b);

    connect(DeleteBtn, &QPushButton::clicked, this, &TRemoveJobsDlg::DeleteBtnClick);
    connect(JobGrid, &TDBGrid::rowDoubleClicked, this, &TRemoveJobsDlg::DeleteBtnClick);
    connect(ReturnBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    if (DMod) {
        JobGrid->setDataSource(DMod->datQuenJob);
        connect(DMod->datQuenJob, &TDataSource::recordChanged, this, &TRemoveJobsDlg::showCurrent);
    }
    resize(640, 380);
}

TRemoveJobsDlg::~TRemoveJobsDlg()
{
    FormClose();
}

void TRemoveJobsDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TRemoveJobsDlg::done(int r)
{
    FormClose();
    QDialog::done(r);
}

void TRemoveJobsDlg::FormShow()
{
    if (m_opened || !DMod)
        return;
    m_opened = true;
    DMod->tblQuenJob->setIndexName(QStringLiteral("JobNameIndex"));
    DMod->tblQuenJob->open();
    DMod->tblQuenJobCrop->open();
    DMod->tblQuenJob->first();
    showCurrent();
}

void TRemoveJobsDlg::FormClose()
{
    if (!m_opened || !DMod)
        return;
    m_opened = false;
    DMod->tblQuenJob->close();
    DMod->tblQuenJobCrop->close();
}

void TRemoveJobsDlg::showCurrent()
{
    TTable* t = DMod ? DMod->tblQuenJob : nullptr;
    JobNameText->setText(fieldText(t, "JobName"));
    DateText->setText(fieldText(t, "Job Date"));
    LocationText->setText(fieldText(t, "Location"));
    PlannerText->setText(fieldText(t, "Planner"));
}

void TRemoveJobsDlg::DeleteBtnClick()
{
    if (!DMod || !DMod->tblQuenJob->isOpen() || DMod->tblQuenJob->isEmpty())
        return;
    TTable* jobs = DMod->tblQuenJob;
    const QString name = jobs->field(QStringLiteral("JobName")).asString();
    const int number = jobs->field(QStringLiteral("JobNumber")).asInteger();
    if (!askYesNo(QStringLiteral("Do you really want to delete job ") + name + QStringLiteral("?")))
        return;
    // The job row and its crop rows go in one transaction.
    if (job::DeleteJob(number))
        deleted.append({number, name});
    jobs->refresh();
    showCurrent();
}

// --- station choice --------------------------------------------------------------

TGetClimDlg::TGetClimDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GetClimDlg"));
    setWindowTitle(QStringLiteral("Get Climate Station"));
    auto* v = new QVBoxLayout(this);
    auto* grids = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Select County"), this));
    CountyDBGrid = new TDBGrid(this);
    CountyDBGrid->setObjectName(QStringLiteral("CountyDBGrid"));
    CountyDBGrid->addColumn(QStringLiteral("County"), QStringLiteral("County"), 200);
    setHelpContext(CountyDBGrid, 19010);
    left->addWidget(CountyDBGrid, 1);
    grids->addLayout(left, 2);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Select Weather Station "), this));
    SelectedStaDBGrid = new TDBGrid(this);
    SelectedStaDBGrid->setObjectName(QStringLiteral("SelectedStaDBGrid"));
    SelectedStaDBGrid->addColumn(QStringLiteral("Station Name"), QStringLiteral("Station Name"), 220);
    SelectedStaDBGrid->addColumn(QStringLiteral("Station No"), QStringLiteral("Station No"), 90);
    SelectedStaDBGrid->addColumn(QStringLiteral("County"), QStringLiteral("County"), 140);
    setHelpContext(SelectedStaDBGrid, 19010);
    right->addWidget(SelectedStaDBGrid, 1);
    grids->addLayout(right, 3);
    v->addLayout(grids, 1);

    auto* b = new QHBoxLayout;
    b->addWidget(new QLabel(QStringLiteral("Climate Station Name"), this));
    StationNameText = valueLabel(QStringLiteral("StationNameText"), this);
    QFont f = StationNameText->font();
    f.setBold(true);
    StationNameText->setFont(f);
    b->addWidget(StationNameText, 1);
    HelpBtn = makeHelpButton(this, 15);
    btnOK = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"), QStringLiteral("Save station and Continue"), this);
    btnOK->setDefault(true);
    b->addWidget(HelpBtn);
    b->addWidget(btnOK);
    v->addLayout(b);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(SelectedStaDBGrid, &TDBGrid::rowDoubleClicked, this, &QDialog::accept);
    if (DMod) {
        CountyDBGrid->setDataSource(DMod->datCntyList);
        SelectedStaDBGrid->setDataSource(DMod->datClim);
        connect(DMod->datClim, &TDataSource::recordChanged, this, &TGetClimDlg::showCurrent);
    }
    showCurrent();
    resize(820, 420);
}

void TGetClimDlg::showCurrent()
{
    StationNameText->setText(fieldText(DMod ? DMod->tblClim : nullptr, "Station Name"));
}

// --- ET method ---------------------------------------------------------------------

TETMethodDlg::TETMethodDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ETMethodDlg"));
    setWindowTitle(QStringLiteral("Select ET Computation Method"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Select one of these ET computation methods"), this));
    auto* group = new QGroupBox(QStringLiteral("ET Computation Methods"), this);
    group->setObjectName(QStringLiteral("ETMethodGroup"));
    auto* gv = new QVBoxLayout(group);
    NehChoice = new QRadioButton(QStringLiteral("FAO Penman-Monteith method, NEH 2, Bas crop curves"), group);
    Fao56Choice = new QRadioButton(QStringLiteral("FAO Penman-Monteith method, FAO 56, Table 12 curves"), group);
    TR21Choice = new QRadioButton(QStringLiteral("Blaney Criddle (TR21) method"), group);
    NehChoice->setObjectName(QStringLiteral("NehChoice"));
    Fao56Choice->setObjectName(QStringLiteral("Fao56Choice"));
    TR21Choice->setObjectName(QStringLiteral("TR21Choice"));
    for (QRadioButton* r : {NehChoice, Fao56Choice, TR21Choice})
        gv->addWidget(r);
    v->addWidget(group);
    auto* b = new QHBoxLayout;
    HelpBtn = makeHelpButton(this, 15);
    OKBtn = makeButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), {}, this);
    OKBtn->setDefault(true);
    b->addWidget(HelpBtn);
    b->addStretch();
    b->addWidget(OKBtn);
    v->addLayout(b);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TETMethodDlg::FormShow(const QString& code)
{
    const bool any = code == QLatin1String("ANY");
    NehChoice->setEnabled(any || code == QLatin1String("ANYFAO") || code == QLatin1String("FAONEH"));
    Fao56Choice->setEnabled(any || code == QLatin1String("ANYFAO") || code == QLatin1String("FAO56"));
    TR21Choice->setEnabled(any || code == QLatin1String("TR21"));
}

int TETMethodDlg::FormClose()
{
    int index = 0, mode = -1;
    if (NehChoice->isChecked()) {
        index = 2;
        mode = 1;
    } else if (Fao56Choice->isChecked()) {
        index = 3;
        mode = 0;
    } else if (TR21Choice->isChecked()) {
        index = 1;
        mode = 2;
    }
    if (index && DMod) {
        DMod->CropKindSelector = mode;
        DMod->tblCreateCrp->setFiltered(true);
    }
    return index;
}

std::optional<int> TETMethodDlg::chooseEtMethod(const QString& systemCode, int)
{
    FormShow(systemCode);
    execModal(*this);
    const int index = FormClose();
    if (!index)
        return std::nullopt;
    return index;
}

} // namespace quen::mainprog
