#include "SaveForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogControls.h"
#include "Help.h"

namespace quen::mainprog {

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

} // namespace quen::mainprog
