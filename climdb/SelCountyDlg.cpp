#include "SelCountyDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClimDMod.h"
#include "DBGrid.h"
#include "Table.h"

namespace quen::climprog {

TSelCountyDlg::TSelCountyDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelCountyDlg"));
    setWindowTitle(QStringLiteral("Select County"));
    auto* v = new QVBoxLayout(this);
    CountyGrid = new TDBGrid(this);
    CountyGrid->setObjectName(QStringLiteral("CountyGrid"));
    CountyGrid->addColumn(QStringLiteral("County"), QStringLiteral("County"), 220);
    CountyGrid->setDataSource(DMod->datCounty);
    v->addWidget(CountyGrid);
    auto* h = new QHBoxLayout;
    h->addStretch();
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    h->addWidget(OKBtn);
    h->addWidget(CancelBtn);
    v->addLayout(h);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(CountyGrid, &TDBGrid::rowDoubleClicked, this, &QDialog::accept);
    resize(300, 380);
}

QString TSelCountyDlg::selectedCounty() const
{
    TTable* t = DMod->tblCounty;
    if (!t->isOpen() || t->isEmpty() || !CountyGrid->selectionModel()
        || !CountyGrid->selectionModel()->hasSelection())
        return QString();
    return t->field(QStringLiteral("County")).asString();
}

} // namespace quen::climprog
