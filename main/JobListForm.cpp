#include "JobListForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DBGrid.h"
#include "DialogControls.h"
#include "Help.h"
#include "MainDMod.h"
#include "Table.h"

namespace quen::mainprog {

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

} // namespace quen::mainprog
