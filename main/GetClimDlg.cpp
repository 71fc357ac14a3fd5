#include "GetClimDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DBGrid.h"
#include "DialogControls.h"
#include "Help.h"
#include "MainDMod.h"

namespace quen::mainprog {

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

} // namespace quen::mainprog
