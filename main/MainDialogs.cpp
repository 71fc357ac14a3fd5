#include "MainDialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quen::mainprog {

TWaitDlg* WaitDlg = nullptr;

TNotImplForm::TNotImplForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NotImplForm"));
    setWindowTitle(QStringLiteral("Not Implemented"));
    auto* v = new QVBoxLayout(this);
    auto* l1 = new QLabel(QStringLiteral("This report has not been "), this);
    auto* l2 = new QLabel(QStringLiteral("implemented."), this);
    for (QLabel* l : {l1, l2}) {
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 1.3);
        l->setFont(f);
        v->addWidget(l);
    }
    CloseBtn = new QPushButton(QStringLiteral("&Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);
    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(CloseBtn);
    h->addStretch();
    v->addLayout(h);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(300);
}

QStringList TAboutBox::lines()
{
    return {QStringLiteral("Main Program"),
            QStringLiteral("FAO Penman-Monteith"),
            QStringLiteral("(Quenpm)"),
            QStringLiteral("Version 1.1, October 15, 2005"),
            QString(),
            QStringLiteral("The computations follow:"),
            QStringLiteral("National Engineering Handbook, Part 623, Chapter 2, Irrigation Water Requirements, September 1993"),
            QStringLiteral("FAO Irrigation and Drainage Paper 56, \"Crop Evapotranspiration\", 1998"),
            QStringLiteral("ASCE, The ASCE Standardized Reference Evapotranspiration Equation, January 2005"),
            QStringLiteral("Technical Release No 21, Irrigation Water Requirements, April 1967"),
            QString(),
            QStringLiteral("Please submit a job detailed report  \"*.QRP\"  file with bug reports")};
}

TAboutBox::TAboutBox(QWidget* parent)
    : TAboutDialog(QStringLiteral("About Quenpm"), programTitle(), lines(), parent)
{
}

TWaitDlg::TWaitDlg(CropRunContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ctx(ctx)
{
    WaitDlg = this;
    setObjectName(QStringLiteral("WaitDlg"));
    setWindowTitle(QStringLiteral("Loading...."));
    setModal(false);
    auto* v = new QVBoxLayout(this);
    auto* h = new QHBoxLayout;
    h->addWidget(new QLabel(QStringLiteral("Job:"), this));
    JobLabel = new QLabel(this);
    JobLabel->setObjectName(QStringLiteral("JobLabel"));
    QFont f = JobLabel->font();
    f.setBold(true);
    JobLabel->setFont(f);
    h->addWidget(JobLabel, 1);
    v->addLayout(h);
    WaitLabel = new QLabel(QStringLiteral("Please wait ...."), this);
    v->addWidget(WaitLabel);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    v->addWidget(ProgressBar);
    setFixedSize(340, 120);
}

void TWaitDlg::setMaximum(int max) { ProgressBar->setMaximum(max); }

void TWaitDlg::advance(int step) { setPosition(ProgressBar->value() + step); }

void TWaitDlg::setPosition(int pos)
{
    ProgressBar->setValue(qBound(ProgressBar->minimum(), pos, ProgressBar->maximum()));
    repaint();
}

void TWaitDlg::FormActivate()
{
    JobLabel->setText(m_ctx.JobName);
    ProgressBar->setValue(0);
}

void TWaitDlg::showEvent(QShowEvent* e)
{
    FormActivate();
    QDialog::showEvent(e);
}

void TWaitDlg::finish()
{
    m_closing = true;
    close();
    m_closing = false;
}

void TWaitDlg::closeEvent(QCloseEvent* e)
{
    if (m_closing) e->accept();
    else e->ignore();
}

void TWaitDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) return;   // no way out for the user
    QDialog::keyPressEvent(e);
}

} // namespace quen::mainprog
