#include "GetClimDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "DBGrid.h"
#include "DialogControls.h"
#include "Help.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "StationChoice.h"
#include "StationMap.h"

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

    StationMap = new TStationMap(this);
    StationMap->setMinimumSize(420, 300);
    grids->addWidget(StationMap, 5);
    v->addLayout(grids, 3);

    auto* near = new QHBoxLayout;
    near->addWidget(new QLabel(QStringLiteral("Nearest to"), this));
    NearestToEdit = named(new QLineEdit(this), "NearestToEdit");
    NearestToEdit->setPlaceholderText(QStringLiteral("latitude, longitude: 43.52, -114.31 or 43 31 N 114 18 W"));
    NearestToEdit->setToolTip(QStringLiteral("The field's position: decimal degrees (west and south negative) or "
                                             "degrees and minutes with N, S, E, W"));
    near->addWidget(NearestToEdit, 3);
    near->addWidget(new QLabel(QStringLiteral("Field elevation (ft)"), this));
    FieldElevEdit = named(new QLineEdit(this), "FieldElevEdit");
    FieldElevEdit->setToolTip(QStringLiteral("Optional: the list then shows how far above the field each station lies"));
    FieldElevEdit->setMaximumWidth(90);
    near->addWidget(FieldElevEdit);
    NearestToBtn = makeButton(QStringLiteral("NearestToBtn"), QStringLiteral("List by distance"),
                              QStringLiteral("List the stations nearest to the field first"), this);
    near->addWidget(NearestToBtn);
    v->addLayout(near);
    NearestGrid = named(new QTableWidget(0, int(kNearestColumns.size()), this), "NearestGrid");
    NearestGrid->setHorizontalHeaderLabels(kNearestColumns);
    NearestGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    NearestGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    NearestGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NearestGrid->verticalHeader()->setVisible(false);
    NearestGrid->horizontalHeader()->setStretchLastSection(true);
    NearestGrid->setColumnWidth(0, 240);
    NearestGrid->setColumnWidth(1, 160);
    for (int c = 2; c + 1 < NearestGrid->columnCount(); ++c)   // numbers: room for their headers
        NearestGrid->setColumnWidth(c, NearestGrid->horizontalHeader()->sectionSizeHint(c) + 12);
    v->addWidget(NearestGrid, 2);

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
    connect(StationMap, &TStationMap::stationClicked, this, &TGetClimDlg::StationMapClick);
    connect(NearestToBtn, &QPushButton::clicked, this, &TGetClimDlg::NearestToBtnClick);
    NearestToEdit->installEventFilter(this);
    FieldElevEdit->installEventFilter(this);
    connect(NearestGrid, &QTableWidget::itemSelectionChanged, this, &TGetClimDlg::NearestGridClick);
    connect(NearestGrid, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    if (DMod) {
        CountyDBGrid->setDataSource(DMod->datCntyList);
        SelectedStaDBGrid->setDataSource(DMod->datClim);
        connect(DMod->datClim, &TDataSource::recordChanged, this, &TGetClimDlg::showCurrent);
        // The map shows every station, whatever county the grid filters to.
        m_places = ReadStationPlaces();
    }
    int unplaced = 0;
    StationMap->setOutlines(OutlineRings());
    StationMap->setStations(MapStations(m_places, &unplaced), unplaced);
    // Most fields lie in the conterminous states; a station elsewhere comes
    // into view when it is chosen, or by zooming out.
    StationMap->fitTo(24.0, -125.0, 50.0, -66.5);
    showCurrent();
    resize(1200, 680);
}

void TGetClimDlg::showCurrent()
{
    const QString name = fieldText(DMod ? DMod->tblClim : nullptr, "Station Name");
    StationNameText->setText(name);
    StationMap->select(name);
}

// A station chosen on the map or in the list becomes the grids' current row.
void TGetClimDlg::goTo(const QString& name)
{
    if (!DMod)
        return;
    for (const StationPlace& p : m_places)
        if (p.name == name) {
            GoToStation(*DMod->tblCntyList, *DMod->tblClim, p);
            break;
        }
    showCurrent();
}

void TGetClimDlg::StationMapClick(const QString& name)
{
    goTo(name);
}

bool TGetClimDlg::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == NearestToEdit || watched == FieldElevEdit) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            NearestToBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TGetClimDlg::NearestToBtnClick()
{
    const PositionParse pos = ParsePosition(NearestToEdit->text());
    if (!pos.ok) {
        showError(pos.error);
        NearestToEdit->setFocus();
        return;
    }
    std::optional<double> elevation;
    if (!FieldElevEdit->text().trimmed().isEmpty()) {
        bool ok = false;
        const double e = FieldElevEdit->text().trimmed().toDouble(&ok);
        if (!ok) {
            showError(QStringLiteral("The field elevation must be a number of feet."));
            FieldElevEdit->setFocus();
            return;
        }
        elevation = e;
    }
    StationMap->setFieldMark(pos.point.latitude, pos.point.longitude);
    const QList<NearestRow> rows = NearestRows(m_places, pos.point, elevation);
    const QSignalBlocker quiet(NearestGrid);
    NearestGrid->clearContents();
    NearestGrid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].cells.size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r].cells[c]);
            if (c >= 2 && c <= 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            NearestGrid->setItem(r, c, item);
        }
    NearestGrid->scrollToTop();
}

void TGetClimDlg::NearestGridClick()
{
    const int r = NearestGrid->currentRow();
    if (r >= 0 && NearestGrid->item(r, 0))
        goTo(NearestGrid->item(r, 0)->text());
}

} // namespace quen::mainprog
