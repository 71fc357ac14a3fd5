#include "CropReportDlg.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "CropRunContext.h"
#include "DBGrid.h"
#include "MainDMod.h"

namespace quen {

TCropReportDlg::TCropReportDlg(CropRunContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("CropReportDlg"));
    setWindowTitle(QStringLiteral("Print Crop Report"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* v = new QVBoxLayout(this);
    SelectLabel = new QLabel(QStringLiteral("Select Crop for Report"), this);
    v->addWidget(SelectLabel);
    CropDBGrid = new TDBGrid(this);
    CropDBGrid->setObjectName(QStringLiteral("CropDBGrid"));
    if (mainprog::DMod)
        CropDBGrid->setDataSource(mainprog::DMod->datQuenWkCrop);
    CropDBGrid->addColumn(QStringLiteral("Crop Name"), QStringLiteral("Crop Name"), 260);
    v->addWidget(CropDBGrid, 1);
    auto* h = new QHBoxLayout;
    h->addStretch(1);
    OKBitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    OKBitBtn1->setObjectName(QStringLiteral("OKBitBtn1"));
    OKBitBtn1->setDefault(true);
    CancelBitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBitBtn2->setObjectName(QStringLiteral("CancelBitBtn2"));
    h->addWidget(OKBitBtn1);
    h->addWidget(CancelBitBtn2);
    v->addLayout(h);
    resize(320, 280);

    connect(OKBitBtn1, &QPushButton::clicked, this, &TCropReportDlg::OKBitBtn1Click);
    connect(CancelBitBtn2, &QPushButton::clicked, this, &TCropReportDlg::CancelBitBtn2Click);
    connect(CropDBGrid, &TDBGrid::rowDoubleClicked, this, &TCropReportDlg::OKBitBtn1Click);
    // Escape (the cancel key) and the window's close box cancel as well:
    // QDialog::reject leaves ReportCancelled set.
}

void TCropReportDlg::showEvent(QShowEvent* e)
{
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
    QDialog::showEvent(e);
}

void TCropReportDlg::OKBitBtn1Click()
{
    TTable* wk = mainprog::DMod ? mainprog::DMod->tblQuenWkCrop : nullptr;
    if (!wk || !wk->isOpen() || wk->isEmpty()) {
        // Nothing to choose: the same as Cancel.
        CancelBitBtn2Click();
        return;
    }
    m_ctx.CropName = wk->field(QStringLiteral("Crop Name")).asString();
    ReportCancelled = false;
    accept();
}

void TCropReportDlg::CancelBitBtn2Click()
{
    ReportCancelled = true;
    reject();
}

} // namespace quen
