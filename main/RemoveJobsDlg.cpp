#include "RemoveJobsDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DBGrid.h"
#include "DialogControls.h"
#include "Help.h"
#include "JobStore.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "Table.h"

namespace quen::mainprog {

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

} // namespace quen::mainprog
