#include "ClimDBForm.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ClimDMod.h"
#include "ClimImport.h"
#include "ClimModal.h"
#include "ClimFormParts.h"
#include "AboutClimBox.h"
#include "ClimReports.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "EnterFocus.h"
#include "Help.h"
#include "Hourglass.h"
#include "ImportDailyDlg.h"
#include "MessageService.h"
#include "Placement.h"
#include "RecordEditor.h"
#include "StationMap.h"
#include "StationPlaces.h"
#include "StationRecords.h"
#include "UnitTwins.h"

namespace quen::climprog {

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

QString valueText(TTable* t, const QString& field)
{
    TField f = t->field(field);
    return f.isNull() ? QStringLiteral("(empty)") : f.asString();
}

} // namespace

// ---- TClimDBForm ---------------------------------------------------------------------

std::function<bool(const QString&, const QString&, QString&)> TClimDBForm::inputQuery =
    [](const QString& title, const QString& prompt, QString& value) {
        bool ok = false;
        const QString v = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, value, &ok);
        if (ok)
            value = v;
        return ok;
    };

std::function<bool(TSelCountyDlg&)> TClimDBForm::runCountyDialog = [](TSelCountyDlg& dlg) {
    return dlg.exec() == QDialog::Accepted;
};

TClimDBForm::TClimDBForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClimDBForm"));
    setWindowTitle(QStringLiteral("Climate Station (Temperature and Precipitation) Database"));
    setHelpContext(this, 19202);
    TDataSource* ds = DMod->datClim;

    // ---- menus
    MainMenu = new QMenuBar(this);
    QMenu* file = MainMenu->addMenu(QStringLiteral("&File"));
    PrintAllMarkedItem = file->addAction(QStringLiteral("Print All Marked"), this, &TClimDBForm::PrintAllMarkedClick);
    PrintByCountyItem = file->addAction(QStringLiteral("Print List by County"), this, &TClimDBForm::PrintByCountyClick);
    PrintByStationItem = file->addAction(QStringLiteral("Print List by Station"), this, &TClimDBForm::PrintByStationClick);
    file->addSeparator();
    ImportDailyItem = file->addAction(QStringLiteral("Import Daily Weather..."), this, &TClimDBForm::ImportDailyItemClick);
    setHelpContext(ImportDailyItem, 19208);
    file->addSeparator();
    CloseItem = file->addAction(QStringLiteral("Close"), this, &QDialog::close);
    ShowCountyItem = MainMenu->addAction(QStringLiteral("Show County"));
    connect(ShowCountyItem, &QAction::triggered, this, &TClimDBForm::ShowCountyClick);
    QMenu* search = MainMenu->addMenu(QStringLiteral("Search"));
    SearchNameItem = search->addAction(QStringLiteral("Station Name"), this, &TClimDBForm::SearchStationNameClick);
    SearchNumberItem = search->addAction(QStringLiteral("Station Number"), this, &TClimDBForm::SearchStationNumberClick);
    QMenu* sorts = MainMenu->addMenu(QStringLiteral("Sorts"));
    SortCountyItem = sorts->addAction(QStringLiteral("County"), this, [this] { SortBy(QStringLiteral("CountyIndex")); });
    SortNameItem = sorts->addAction(QStringLiteral("Station Name"), this, [this] { SortBy(QStringLiteral("StaNameIndex")); });
    SortNumberItem =
        sorts->addAction(QStringLiteral("Station Number"), this, [this] { SortBy(QStringLiteral("StaNumberIndex")); });
    QMenu* marks = MainMenu->addMenu(QStringLiteral("Marks"));
    DefaultsItem = MainMenu->addAction(QStringLiteral("Defaults"));
    connect(DefaultsItem, &QAction::triggered, this, &TClimDBForm::DefaultsClick);
    QMenu* help = MainMenu->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("&Contents"), this, [] { showHelpContents(); });
    help->addAction(QStringLiteral("&Search For Help on..."), this, [] { showHelpSearch(); });
    help->addAction(QStringLiteral("&About..."), this, [this] {
        TAboutClimBox box(this);
        box.exec();
    });

    // ---- record buttons
    buildRecordButtons(*this, ds);
    m_editProxy = new QPushButton(this);
    m_editProxy->hide();

    // ---- station grid
    StationGrid = new TDBGrid(this);
    StationGrid->setObjectName(QStringLiteral("StationGrid"));
    StationGrid->addColumn(QStringLiteral("Station Name"), QStringLiteral("Station Name"), 210);
    StationGrid->setDataSource(ds);
    StationGrid->setMinimumWidth(240);
    StationGrid->setMaximumWidth(280);
    MarkedCheck = new TDBCheckBox(ds, QStringLiteral("Marked"), QStringLiteral("Marked?"), this);
    MarkedCheck->setObjectName(QStringLiteral("MarkedCheck"));
    MarkedCheck->setDataReadOnly(true);
    MarkBtn = new QPushButton(QStringLiteral("Mark"), this);
    MarkBtn->setObjectName(QStringLiteral("MarkBtn"));

    // ---- pages
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("GeneralPage"));
    auto* gg = new QGridLayout(general);
    auto label = [general](const QString& t) { return new QLabel(t, general); };
    StationNameEdit = new TDBEdit(ds, QStringLiteral("Station Name"), general);
    StationNameEdit->setObjectName(QStringLiteral("StationNameEdit"));
    StationNameEdit->setToolTip(QStringLiteral("Official weather station name"));
    StationNameEdit->setMaxLength(35);
    StationNoEdit = new TDBEdit(ds, QStringLiteral("Station No"), general);
    StationNoEdit->setObjectName(QStringLiteral("StationNoEdit"));
    StationNoEdit->setMaxLength(8);
    StationNoEdit->setMaximumWidth(110);
    CountyEdit = new TDBEdit(ds, QStringLiteral("County"), general);
    CountyEdit->setObjectName(QStringLiteral("CountyEdit"));
    CountyEdit->setMaxLength(25);
    CountyEdit->setMaximumWidth(240);
    StationNameEdit->setMaximumWidth(360);
    LatitudeEdit = new TDBNumEdit(ds, QStringLiteral("Latitude"), QStringLiteral("####"), 0, 0, general);
    LatitudeEdit->setObjectName(QStringLiteral("LatitudeEdit"));
    LongitudeEdit = new TDBNumEdit(ds, QStringLiteral("Longitude"), QStringLiteral("#####"), 0, 0, general);
    LongitudeEdit->setObjectName(QStringLiteral("LongitudeEdit"));
    LatitudeEdit->setMaximumWidth(90);
    LongitudeEdit->setMaximumWidth(90);
    setPositionEntry(LatitudeEdit, LongitudeEdit);
    auto dateEdit = [&](const QString& field, const QString& name) {
        auto* e = new TDBEdit(ds, field, general);
        e->setObjectName(name);
        e->setMaxLength(5);
        e->setMaximumWidth(70);
        connect(e, &TDBEdit::exited, this, [this, field] { FieldExit(field); });
        return e;
    };
    Spr28Edit = dateEdit(QStringLiteral("Spr mo/dy 28"), QStringLiteral("Spr28Edit"));
    Fall28Edit = dateEdit(QStringLiteral("Fall mo/dy 28"), QStringLiteral("Fall28Edit"));
    Spr32Edit = dateEdit(QStringLiteral("Spr mo/dy 32"), QStringLiteral("Spr32Edit"));
    Fall32Edit = dateEdit(QStringLiteral("Fall mo/dy 32"), QStringLiteral("Fall32Edit"));
    installEnterMovesFocus({StationNameEdit, StationNoEdit, CountyEdit, Spr28Edit, Fall28Edit, Spr32Edit, Fall32Edit});
    int row = 0;
    gg->addWidget(label(QStringLiteral("Station Name")), row, 0);
    gg->addWidget(StationNameEdit, row++, 1, 1, 3);
    gg->addWidget(label(QStringLiteral("Station No")), row, 0);
    gg->addWidget(StationNoEdit, row++, 1);
    gg->addWidget(label(QStringLiteral("County, State")), row, 0);
    gg->addWidget(CountyEdit, row++, 1, 1, 2);
    gg->addWidget(label(QStringLiteral("Latitude")), row, 0);
    gg->addWidget(LatitudeEdit, row, 1);
    gg->addWidget(label(QStringLiteral("(DDMM)")), row++, 2);
    gg->addWidget(label(QStringLiteral("Longitude")), row, 0);
    gg->addWidget(LongitudeEdit, row, 1);
    gg->addWidget(label(QStringLiteral("(DDDMM)")), row++, 2);
    gg->addWidget(label(QStringLiteral("Spr mo/dy 28")), row, 0);
    gg->addWidget(Spr28Edit, row, 1);
    gg->addWidget(label(QStringLiteral("Fall mo/dy 28")), row, 2);
    gg->addWidget(Fall28Edit, row++, 3);
    gg->addWidget(label(QStringLiteral("Spr mo/dy 32")), row, 0);
    gg->addWidget(Spr32Edit, row, 1);
    gg->addWidget(label(QStringLiteral("Fall mo/dy 32")), row, 2);
    gg->addWidget(Fall32Edit, row++, 3);
    gg->addWidget(label(QStringLiteral("(00/00 means it does not get this cold)")), row++, 0, 1, 4);

    auto* whrGroup = new QGroupBox(QStringLiteral("Wind, Humidity, Radiation Location Name"), general);
    whrGroup->setObjectName(QStringLiteral("WHRGroup"));
    auto* wg = new QGridLayout(whrGroup);
    WHRLocationCombo = new TDBComboBox(whrGroup);
    WHRLocationCombo->setObjectName(QStringLiteral("WHRLocationCombo"));
    WHRLocationCombo->setFieldName(QStringLiteral("WHRLocation"));
    WHRLocationCombo->setDataSource(ds);
    WHRLocationCombo->setMinimumWidth(280);
    WHRLocationCombo->setContextMenuPolicy(Qt::CustomContextMenu);
    WHROKBtn = new QPushButton(QStringLiteral("OK"), whrGroup);
    WHROKBtn->setObjectName(QStringLiteral("WHROKBtn"));
    WHROKBtn->setMaximumWidth(60);
    wg->addWidget(WHRLocationCombo, 0, 0);
    wg->addWidget(WHROKBtn, 0, 1);
    wg->setColumnStretch(2, 1);
    wg->addWidget(new QLabel(QStringLiteral("(Right click to remove entry)"), whrGroup), 1, 0, 1, 2);
    WHRPopup = new QMenu(this);
    WHRPopup->addAction(QStringLiteral("Remove WHR Entry"), this, &TClimDBForm::RemoveWHREntryClick);
    WHRPopup->addAction(QStringLiteral("Cancel action"));
    connect(WHRLocationCombo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { WHRPopup->popup(WHRLocationCombo->mapToGlobal(p)); });
    gg->addWidget(whrGroup, row++, 0, 1, 4);

    auto* elevGroup = new QGroupBox(QStringLiteral("Elevation above sea level"), general);
    elevGroup->setObjectName(QStringLiteral("ElevationGroup"));
    auto* eg = new QHBoxLayout(elevGroup);
    // The elevations the state import takes: five places for the feet.
    ElevationEdit = new TDBNumEdit(ds, QStringLiteral("Elevation"), QStringLiteral("#####"), kMinElevationFt,
                                   kMaxElevationFt, elevGroup);
    ElevationEdit->setObjectName(QStringLiteral("ElevationEdit"));
    ElevationEdit->setMaximumWidth(90);
    ElevationMEdit = new TDBNumEdit(ds, QStringLiteral("ElevationM"), QStringLiteral("####"), kMinElevationM,
                                    kMaxElevationM, elevGroup);
    ElevationMEdit->setObjectName(QStringLiteral("ElevationMEdit"));
    ElevationEdit->setFieldCaption(QStringLiteral("Elevation (feet)"));
    ElevationMEdit->setFieldCaption(QStringLiteral("Elevation (metres)"));
    ElevationMEdit->setMaximumWidth(90);
    eg->addWidget(ElevationEdit);
    eg->addWidget(new QLabel(QStringLiteral("feet"), elevGroup));
    eg->addSpacing(20);
    eg->addWidget(ElevationMEdit);
    eg->addWidget(new QLabel(QStringLiteral("metres"), elevGroup));
    eg->addStretch();
    gg->addWidget(elevGroup, row++, 0, 1, 4);
    gg->setRowStretch(row, 1);
    gg->setColumnStretch(4, 1);
    connect(ElevationEdit, &TNumEdit::exited, this, [this] { FieldExit(QStringLiteral("Elevation")); });
    connect(ElevationMEdit, &TNumEdit::exited, this, [this] { FieldExit(QStringLiteral("ElevationM")); });
    // A number another station has: warned once per number typed, not refused.
    connect(StationNoEdit, &TDBEdit::exited, this, [warned = QString()]() mutable {
        TTable* t = DMod->tblClim;
        if (!editing(t))
            return;
        const QString number = t->field(QStringLiteral("Station No")).asString();
        const QString other = stationUsingNumber(number, t->field(QStringLiteral("TP Site No")).asInteger());
        if (other.isEmpty() || number.trimmed() == warned) {
            warned = other.isEmpty() ? QString() : warned;
            return;
        }
        warned = number.trimmed();
        showWarning(duplicateNumberMessage(number, other));
    });
    connect(LatitudeEdit, &TNumEdit::exited, this, [this] { PositionExit(QStringLiteral("Latitude")); });
    connect(LongitudeEdit, &TNumEdit::exited, this, [this] { PositionExit(QStringLiteral("Longitude")); });
    PageControl->addTab(general, QStringLiteral("General Data"));

    auto monthPage = [&](const QString& pageName, const QStringList& heads, const QStringList& prefixes, bool metric) {
        auto* page = new QWidget;
        page->setObjectName(pageName);
        auto* g = new QGridLayout(page);
        for (int c = 0; c < 4; ++c) {
            auto* h = new QLabel(heads[c], page);
            h->setAlignment(Qt::AlignCenter);
            g->addWidget(h, 0, c + 1);
        }
        for (int m = 1; m <= 12; ++m) {
            g->addWidget(new QLabel(QString::fromLatin1(kMonthNames[m - 1]), page), m, 0);
            for (int c = 0; c < 4; ++c) {
                const bool precip = c == 3;
                const QString field = prefixes[c] + QString::number(m);
                TDBNumEdit* e = addMonthEdit(page, field, precip ? QStringLiteral("###.##") : QStringLiteral("####.##"));
                e->setFieldCaption(QString::fromLatin1(kMonthNames[m - 1]) + QLatin1Char(' ')
                                   + QString(heads[c]).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified());
                if (precip)
                    e->setRange(0, metric ? 508 : 200);
                else if (metric)
                    e->setRange(-73.33, 93.33);
                else
                    e->setRange(-100, 200);
                g->addWidget(e, m, c + 1);
            }
        }
        g->setRowStretch(13, 1);
        g->setColumnStretch(5, 1);
        return page;
    };
    PageControl->addTab(monthPage(QStringLiteral("EnglishPage"),
                                  {QStringLiteral("Monthly Average\nTemperature (F)"),
                                   QStringLiteral("Monthly  Minimum\nTemperature (F)"),
                                   QStringLiteral("Monthly Maximum\nTemperature (F)"),
                                   QStringLiteral("Average Monthly\nPrecipitation (in)")},
                                  {QStringLiteral("T"), QStringLiteral("Tmin"), QStringLiteral("Tmax"), QStringLiteral("P")},
                                  false),
                        QStringLiteral("Monthly Data (English)"));
    PageControl->addTab(monthPage(QStringLiteral("MetricPage"),
                                  {QStringLiteral("Monthly Average\nTemperature (C)"),
                                   QStringLiteral("Monthly  Minimum\nTemperature (C)"),
                                   QStringLiteral("Monthly Maximum\nTemperature (C)"),
                                   QStringLiteral("Average Monthly\nPrecipitation (cm)")},
                                  {QStringLiteral("Tm"), QStringLiteral("TminM"), QStringLiteral("TmaxM"),
                                   QStringLiteral("Pm")},
                                  true),
                        QStringLiteral("Monthly Data (Metric)"));

    // ---- layout
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(MainMenu);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {GotoEditBtn, InsertBtn, CancelBtn, DeleteBtn})
        buttons->addWidget(b);
    buttons->addSpacing(20);
    buttons->addWidget(Navigator);
    buttons->addStretch();
    top->addLayout(buttons);
    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(StationGrid, 1);
    auto* markRow = new QHBoxLayout;
    markRow->addWidget(MarkedCheck);
    markRow->addWidget(MarkBtn);
    markRow->addStretch();
    left->addLayout(markRow);
    body->addLayout(left);
    body->addWidget(PageControl, 1);
    // Every station on a map beside the pages: a longitude of 0 or a sign
    // error is seen at once.
    StationMap = new TStationMap(this);
    StationMap->setMinimumWidth(360);
    body->addWidget(StationMap, 1);
    top->addLayout(body, 1);

    // ---- record editor
    m_editor = new TRecordEditor(this, ds, m_editProxy, InsertBtn, CancelBtn, DeleteBtn);
    m_editor->setMarkStatement(DMod->qryMarkClim->sqlText());
    m_editor->addEditModeWidget(WHROKBtn);
    MarkAllItem = marks->addAction(QStringLiteral("Mark All"), this, [this] { m_editor->markAll(); });
    ClearAllMarksItem = marks->addAction(QStringLiteral("Clear All Marks"), this, [this] { m_editor->clearAllMarks(); });
    ShowOnlyMarkedItem = marks->addAction(QStringLiteral("Show Only Marked"));
    ShowOnlyMarkedItem->setCheckable(true);
    connect(ShowOnlyMarkedItem, &QAction::toggled, this, [this](bool on) { m_editor->setShowAllMarked(on); });
    connect(m_editor, &TRecordEditor::editModeChanged, this, [this](bool on) {
        GotoEditBtn->setText(on ? TRecordEditor::stopCaption() : TRecordEditor::editCaption());
    });
    connect(m_editor, &TRecordEditor::inserted, this, [this] {
        // A new station borrows the default wind, humidity and radiation location.
        TTable* loc = DMod->tblLocDef;
        const bool wasOpen = loc->isOpen();
        if (!wasOpen)
            loc->open();
        const QString whr = loc->isEmpty() ? QString() : loc->field(QStringLiteral("WHRLocation")).asString();
        if (!wasOpen)
            loc->close();
        DMod->tblClim->field(QStringLiteral("WHRLocation")).setAsString(whr);
        StationNameEdit->setFocus();
    });
    StationGrid->viewport()->installEventFilter(this);
    StationGrid->installEventFilter(this);
    StationMap->installEventFilter(this);   // a click on the map leaves the row like one in the grid
    connect(StationMap, &TStationMap::stationClicked, this, &TClimDBForm::StationMapClick);
    connect(ds, &TDataSource::recordChanged, this, [this] {
        TTable* t = DMod->tblClim;
        StationMap->select(t->isOpen() && !t->isEmpty() ? t->field(QStringLiteral("Station Name")).asString() : QString());
    });
    connect(DMod->tblClim, &TTable::afterPost, this, &TClimDBForm::refreshMap);
    connect(DMod->tblClim, &TTable::afterDelete, this, &TClimDBForm::refreshMap);
    for (QPushButton* b : Navigator->findChildren<QPushButton*>())
        b->installEventFilter(this);
    connect(GotoEditBtn, &QPushButton::clicked, this, &TClimDBForm::GotoEditBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TClimDBForm::DeleteBtnClick);
    connect(MarkBtn, &QPushButton::clicked, this, &TClimDBForm::MarkBtnClick);
    connect(WHROKBtn, &QPushButton::clicked, this, &TClimDBForm::WHROKBtnClick);
    // Enter moves between fields; it never presses a button of the window.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    // A stored station's county joins the county list: the main program
    // reaches a station only through its county.
    connect(DMod->tblClim, &TTable::afterPost, this, [] {
        TTable* t = DMod->tblClim;
        if (t->isOpen() && !t->isEmpty())
            listCounty(t->field(QStringLiteral("County")).asString());
    });
    resize(1360, 680);
}

TClimDBForm::~TClimDBForm()
{
    closeTables();
}

bool TClimDBForm::eventFilter(QObject* watched, QEvent* e)
{
    const QEvent::Type t = e->type();
    const bool leaves = t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick
                        || (t == QEvent::KeyPress && watched == StationGrid);
    if (leaves && DMod && editing(DMod->tblClim) && !pendingPositionOk())
        return true;
    return QDialog::eventFilter(watched, e);
}

TDBNumEdit* TClimDBForm::addMonthEdit(QWidget* page, const QString& field, const QString& picture)
{
    auto* e = new TDBNumEdit(DMod->datClim, field, picture, 0, 0, page);
    e->setObjectName(field + QStringLiteral("Edit"));
    e->setMaximumWidth(110);
    m_month.insert(field, e);
    connect(e, &TNumEdit::exited, this, [this, field] { FieldExit(field); });
    return e;
}

void TClimDBForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TClimDBForm::FormShow()
{
    m_closed = false;
    DMod->tblClim->open();
    DMod->tblCounty->open();
    DMod->tblWHR->open();
    TTable* loc = DMod->tblLocDef;
    loc->open();
    DMod->MetricUnits = !loc->isEmpty() && loc->field(QStringLiteral("MetricUnits")).asBoolean();
    loc->close();
    QStringList whr{QString()};
    for (DMod->tblWHR->first(); !DMod->tblWHR->eof(); DMod->tblWHR->next())
        whr << DMod->tblWHR->field(QStringLiteral("WHRLocation")).asString();
    WHRLocationCombo->setItems(whr);
    m_editor->setBaseCaption(QStringLiteral("Climate Station (Temperature and Precipitation) Database"));
    m_editor->start();
    StationGrid->reload();
    refreshMap();
    StationNameEdit->setFocus();
    fitWindowToScreen(this);
}

void TClimDBForm::refreshMap()
{
    QList<TMapStation> points;
    int unplaced = 0;
    for (const StationPlace& p : ReadStationPlaces()) {
        if (p.hasPosition)
            points << TMapStation{p.name, p.point.latitude, p.point.longitude, p.hasWind};
        else
            ++unplaced;
    }
    static const QList<QList<QPointF>> rings = [] {
        QList<QList<QPointF>> r;
        for (const StateOutline& o : StateOutlines())
            r << o.rings;
        return r;
    }();
    if (!m_outlinesSet) {
        StationMap->setOutlines(rings);
        m_outlinesSet = true;
    }
    StationMap->setStations(points, unplaced);
    TTable* t = DMod->tblClim;
    StationMap->select(t->isOpen() && !t->isEmpty() ? t->field(QStringLiteral("Station Name")).asString() : QString());
}

void TClimDBForm::StationMapClick(const QString& name)
{
    TTable* t = DMod->tblClim;
    if (t->isOpen() && !t->locate(QStringLiteral("Station Name"), name))
        showInfo(QStringLiteral("\"%1\" is not among the stations shown (county or mark filter).").arg(name));
}

bool TClimDBForm::pendingPositionOk()
{
    TTable* t = DMod->tblClim;
    if (!editing(t))
        return true;
    const QString name = t->field(QStringLiteral("Station Name")).asString();
    const QString county = t->field(QStringLiteral("County")).asString();
    if (!isCountyKey(county)) {
        showError(countyKeyMessage(name, county));
        CountyEdit->setFocus();
        return false;
    }
    if (!isDDMMLatitude(t->field(QStringLiteral("Latitude")).isNull() ? -1 : t->field(QStringLiteral("Latitude")).asFloat())) {
        showError(positionMessage(name, QStringLiteral("Latitude"), valueText(t, QStringLiteral("Latitude"))));
        LatitudeEdit->setFocus();
        return false;
    }
    if (!isDDDMMLongitude(t->field(QStringLiteral("Longitude")).isNull() ? -1 : t->field(QStringLiteral("Longitude")).asFloat())) {
        showError(positionMessage(name, QStringLiteral("Longitude"), valueText(t, QStringLiteral("Longitude"))));
        LongitudeEdit->setFocus();
        return false;
    }
    return true;
}

void TClimDBForm::GotoEditBtnClick()
{
    if (m_editor->isEditMode() && !pendingPositionOk())
        return;
    m_editor->toggleEditMode();
}

void TClimDBForm::InsertBtnClick() { InsertBtn->click(); }

void TClimDBForm::DeleteBtnClick()
{
    TTable* t = DMod->tblClim;
    if (!t->isOpen() || t->isEmpty())
        return;
    const QString county = t->field(QStringLiteral("County")).asString();
    if (m_editor->deleteRecord(QStringLiteral("Delete?"), t->field(QStringLiteral("Station Name")).asString()))
        unlistCountyWithoutStations(county);
}

void TClimDBForm::MarkBtnClick()
{
    if (!pendingPositionOk())
        return;
    m_editor->markCurrent();
}

void TClimDBForm::WHROKBtnClick()
{
    TTable* t = DMod->tblClim;
    if (editing(t) && pendingPositionOk())
        t->post();
}

void TClimDBForm::RemoveWHREntryClick()
{
    TTable* t = DMod->tblClim;
    if (!t->isOpen() || t->isEmpty())
        return;
    if (t->state() == TTable::State::Browse)
        t->edit();
    t->field(QStringLiteral("WHRLocation")).clear();
    if (pendingPositionOk())
        t->post();
}

void TClimDBForm::PositionExit(const QString& field)
{
    refuseBadPosition(DMod->tblClim, field, QStringLiteral("Station Name"));
}

void TClimDBForm::FieldExit(const QString& field)
{
    TTable* t = DMod->tblClim;
    if (!editing(t))
        return;
    TField f = t->field(field);
    if (field.contains(QLatin1String("mo/dy"))) {
        const QString v = f.asString().trimmed();
        if (!frostDateTextOk(v)) {
            f.clear();
            showError(QStringLiteral("\"%1\" of %2 is not a date mm/dd (00/00 means it does not get this cold).")
                          .arg(v, field));
        }
        return;
    }
    if (f.isNull())
        return;
    if (const auto twin = stationUnitTwin(field, f.asFloat()))
        t->field(twin->field).setAsFloat(twin->value);
}

void TClimDBForm::setIndexKeepingCounty(const QString& index)
{
    TTable* t = DMod->tblClim;
    t->setIndexName(index);
    if (!m_county.isEmpty() && index == QLatin1String("CountyIndex"))
        t->setRange({m_county}, {m_county});
}

void TClimDBForm::ShowCountyClick()
{
    if (!pendingPositionOk())
        return;
    TTable* t = DMod->tblClim;
    if (!m_county.isEmpty()) {
        t->cancelRange();
        m_county.clear();
        ShowCountyItem->setText(QStringLiteral("Show County"));
        return;
    }
    if (!DMod->tblCounty->isOpen())
        DMod->tblCounty->open();
    TSelCountyDlg dlg(this);
    if (!runCountyDialog(dlg))
        return;
    const QString c = dlg.selectedCounty();
    if (c.isEmpty())
        return;
    m_county = c;
    setIndexKeepingCounty(QStringLiteral("CountyIndex"));
    ShowCountyItem->setText(QStringLiteral("Cancel County"));
}

void TClimDBForm::search(const QString& title, const QString& prompt, const QString& index, const QString& field)
{
    Q_UNUSED(field);
    if (!pendingPositionOk())
        return;
    QString value;
    if (!inputQuery(title, prompt, value))
        return;
    TTable* t = DMod->tblClim;
    const QString old = t->indexName();
    t->setIndexName(index);
    t->findNearest({value});
    setIndexKeepingCounty(old);
}

void TClimDBForm::SearchStationNameClick()
{
    search(QStringLiteral("Station Name Search"), QStringLiteral("Enter Station Name"), QStringLiteral("StaNameIndex"),
           QStringLiteral("Station Name"));
}

void TClimDBForm::SearchStationNumberClick()
{
    search(QStringLiteral("Station Number Search"), QStringLiteral("Enter Station Number"),
           QStringLiteral("StaNumberIndex"), QStringLiteral("Station No"));
}

void TClimDBForm::SortBy(const QString& indexName)
{
    if (!pendingPositionOk())
        return;
    TTable* t = DMod->tblClim;
    if (!m_county.isEmpty() && indexName != QLatin1String("CountyIndex")) {
        m_county.clear();
        ShowCountyItem->setText(QStringLiteral("Show County"));
    }
    setIndexKeepingCounty(indexName);
    t->findNearest({QStringLiteral("AAAA")});
}

// A report runs over the table: afterwards the order, the station shown and
// the grid are as the user left them.
struct TClimDBForm::ReportScope {
    TClimDBForm* form;
    QString index;
    QString station;
    explicit ReportScope(TClimDBForm* f) : form(f)
    {
        TTable* t = DMod->tblClim;
        index = t->indexName();
        if (t->isOpen() && !t->isEmpty())
            station = t->field(QStringLiteral("Station Name")).asString();
    }
    ~ReportScope()
    {
        try {
            TTable* t = DMod->tblClim;
            if (!t->isOpen())
                return;
            form->setIndexKeepingCounty(index);
            if (!station.isEmpty()) {
                const QString idx = t->indexName();
                t->setIndexName(QStringLiteral("StaNameIndex"));
                t->findKey({station});
                form->setIndexKeepingCounty(idx);
            }
            form->StationGrid->reload();
        } catch (...) {
        }
    }
};

// A station report: the pending row is checked first; the grid's row, order
// and county are kept while the pages are prepared.
template <class Prepare>
void TClimDBForm::printStations(Prepare prepare)
{
    if (!pendingPositionOk())
        return;
    report::PreparedReport pages;
    {
        ReportScope scope(this);
        THourglass wait;
        pages = prepare(*DMod->tblClim);
    }
    showClimReport(pages, this);
}

void TClimDBForm::PrintAllMarkedClick()
{
    printStations([](TTable& t) {
        MarkedOnlyScope marked(&t);
        return prepareStationDetails(t, DMod->MetricUnits);
    });
}

void TClimDBForm::PrintByCountyClick()
{
    printStations([](TTable& t) { return prepareStationListByCounty(t); });
}

void TClimDBForm::PrintByStationClick()
{
    printStations([](TTable& t) { return prepareStationList(t); });
}

// The daily weather of the station shown (or another picked in the window).
void TClimDBForm::ImportDailyItemClick()
{
    if (!pendingPositionOk())
        return;
    TTable* t = DMod->tblClim;
    // The daily weather is stored under the station's name and number as
    // stored: a pending change of the row is stored first.
    postIfEditing(t);
    const QString station =
        t->isOpen() && !t->isEmpty() ? t->field(QStringLiteral("Station Name")).asString() : QString();
    TImportDailyDlg dlg(station, this);
    runClimDialog(dlg);
}

void TClimDBForm::DefaultsClick()
{
    showClimDefaults(this);
}

void TClimDBForm::closeTables()
{
    closeClimTables(m_closed);
}

void TClimDBForm::closeEvent(QCloseEvent* e)
{
    if (!leaveEditor(pendingPositionOk(), DMod->tblClim, [&] { QDialog::closeEvent(e); }, m_closed))
        e->ignore();
}

void TClimDBForm::done(int r)
{
    if (!commitPendingEntry(this))
        return;
    leaveEditor(pendingPositionOk(), DMod->tblClim, [&] { QDialog::done(r); }, m_closed);
}

} // namespace quen::climprog
