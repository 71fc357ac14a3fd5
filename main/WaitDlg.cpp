#include "WaitDlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quen::mainprog {

TWaitDlg* WaitDlg = nullptr;

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
