#include "WHRForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ClimDMod.h"
#include "ClimFormParts.h"
#include "AboutClimBox.h"
#include "ClimReports.h"
#include "DBNavigator.h"
#include "EnterFocus.h"
#include "Help.h"
#include "Hourglass.h"
#include "MessageService.h"
#include "Placement.h"
#include "RecordEditor.h"
#include "StationRecords.h"
#include "UnitTwins.h"

namespace quen::climprog {

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

// The column heads of a monthly page, centred in row 0 from column 1 on.
void addColumnHeads(QGridLayout* grid, QWidget* page, const QStringList& heads)
{
    for (int c = 0; c < heads.size(); ++c) {
        auto* l = new QLabel(heads[c], page);
        l->setAlignment(Qt::AlignCenter);
        grid->addWidget(l, 0, c + 1);
    }
}

} // namespace

TWHRForm::TWHRForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WHRForm"));
    setWindowTitle(QStringLiteral("Wind, Humidity and Radiation Database"));
    setHelpContext(this, 19203);
    TDataSource* ds = DMod->datWHR;

    MainMenu = new QMenuBar(this);
    QMenu* file = MainMenu->addMenu(QStringLiteral("&File"));
    PrintLocationListItem = file->addAction(QStringLiteral("Print Location List"), this, &TWHRForm::PrintLocationListClick);
    PrintAllMarkedItem = file->addAction(QStringLiteral("Print All Marked"), this, &TWHRForm::PrintAllMarkedClick);
    file->addSeparator();
    CloseItem = file->addAction(QStringLiteral("Close"), this, &QDialog::close);
    QMenu* marks = MainMenu->addMenu(QStringLiteral("Marks"));
    DefaultsItem = MainMenu->addAction(QStringLiteral("Defaults"));
    connect(DefaultsItem, &QAction::triggered, this, &TWHRForm::DefaultsClick);
    QMenu* help = MainMenu->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("&Contents"), this, [] { showHelpContents(); });
    help->addAction(QStringLiteral("&Search for Help on..."), this, [] { showHelpSearch(); });
    help->addAction(QStringLiteral("&About..."), this, [this] {
        TAboutClimBox box(this);
        box.exec();
    });

    buildRecordButtons(*this, ds);
    m_editProxy = new QPushButton(this);
    m_editProxy->hide();

    WHRLocationEdit = new TDBEdit(ds, QStringLiteral("WHRLocation"), this);
    WHRLocationEdit->setObjectName(QStringLiteral("WHRLocationEdit"));
    WHRLocationEdit->setMaxLength(40);
    WHRLocationEdit->setMinimumWidth(300);
    installEnterMovesFocus(WHRLocationEdit);
    LatitudeEdit = new TDBNumEdit(ds, QStringLiteral("Latitude"), QStringLiteral("####"), 0, 0, this);
    LatitudeEdit->setObjectName(QStringLiteral("LatitudeEdit"));
    LatitudeEdit->setMaximumWidth(80);
    LongitudeEdit = new TDBNumEdit(ds, QStringLiteral("Longitude"), QStringLiteral("#####"), 0, 0, this);
    LongitudeEdit->setObjectName(QStringLiteral("LongitudeEdit"));
    LongitudeEdit->setMaximumWidth(80);
    setPositionEntry(LatitudeEdit, LongitudeEdit);
    MarkedCheck = new TDBCheckBox(ds, QStringLiteral("Marked"), QStringLiteral("Marked?"), this);
    MarkedCheck->setObjectName(QStringLiteral("MarkedCheck"));
    MarkedCheck->setDataReadOnly(true);
    MarkBtn = new QPushButton(QStringLiteral("Mark"), this);
    MarkBtn->setObjectName(QStringLiteral("MarkBtn"));
    connect(LatitudeEdit, &TNumEdit::exited, this, [this] { PositionExit(QStringLiteral("Latitude")); });
    connect(LongitudeEdit, &TNumEdit::exited, this, [this] { PositionExit(QStringLiteral("Longitude")); });

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    // Page 1: humidity, Tmin correction, notes and the station kind.
    auto* p1 = new QWidget;
    p1->setObjectName(QStringLiteral("HumidityPage"));
    auto* g1 = new QGridLayout;
    const QStringList h1{QStringLiteral("Mean minimum\nrelative humidity\n(%)"),
                         QStringLiteral("Mean maximum\nrelative humidity\n(%)"),
                         QStringLiteral("Correction of Tmin for\nactual vapor pressure\n(FAO eq 48) (deg C)")};
    addColumnHeads(g1, p1, h1);
    for (int m = 1; m <= 12; ++m) {
        g1->addWidget(new QLabel(QString::fromLatin1(kMonthNames[m - 1]), p1), m, 0);
        g1->addWidget(addMonthEdit(p1, QStringLiteral("RHmin%1").arg(m), QStringLiteral("###"), 0, 100), m, 1);
        g1->addWidget(addMonthEdit(p1, QStringLiteral("RHmax%1").arg(m), QStringLiteral("###"), 0, 100), m, 2);
        g1->addWidget(addMonthEdit(p1, QStringLiteral("Cor%1").arg(m), QStringLiteral("###.##"), -20, 20), m, 3);
    }
    NotesMemo = new TDBMemo(ds, QStringLiteral("Site Description/Notes"), p1);
    NotesMemo->setObjectName(QStringLiteral("NotesMemo"));
    NotesMemo->setMaximumHeight(90);
    StationTypeRadio = new TDBRadioGroup(QStringLiteral("Type of weather station"), p1);
    StationTypeRadio->setObjectName(QStringLiteral("StationTypeRadio"));
    StationTypeRadio->setItems({QStringLiteral("Agrometeorological station"), QStringLiteral("Other type station")});
    StationTypeRadio->setDataSource(ds);
    StationTypeRadio->setFieldName(QStringLiteral("StationType"));
    StationLocRadio = new TDBRadioGroup(QStringLiteral("Weather station location"), p1);
    StationLocRadio->setObjectName(QStringLiteral("StationLocRadio"));
    StationLocRadio->setItems({QStringLiteral("Interior location"), QStringLiteral("Coastal location")});
    StationLocRadio->setDataSource(ds);
    StationLocRadio->setFieldName(QStringLiteral("StationLoc"));
    StationHeightEdit = new TDBNumEdit(ds, QStringLiteral("StationHeight"), QStringLiteral("##.#"), 0, 0, p1);
    StationHeightEdit->setObjectName(QStringLiteral("StationHeightEdit"));
    StationHeightEdit->setMaximumWidth(70);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Site Description and  Notes"), p1));
    right->addWidget(NotesMemo);
    right->addWidget(StationTypeRadio);
    right->addWidget(StationLocRadio);
    auto* hg = new QGroupBox(QStringLiteral("Height of weather station instruments above ground"), p1);
    auto* hl = new QHBoxLayout(hg);
    hl->addWidget(StationHeightEdit);
    hl->addWidget(new QLabel(QStringLiteral("Meters"), hg));
    hl->addStretch();
    right->addWidget(hg);
    right->addStretch();
    g1->setRowStretch(13, 1);
    auto* l1 = new QHBoxLayout(p1);
    l1->addLayout(g1);
    l1->addSpacing(12);
    l1->addLayout(right, 1);
    PageControl->addTab(p1, QStringLiteral("Humidity, Vapor pressure, Notes"));

    // Page 2: wind, radiation, Angstrom coefficients, sunshine.
    auto* p2 = new QWidget;
    p2->setObjectName(QStringLiteral("WindPage"));
    auto* g2 = new QGridLayout(p2);
    const QStringList h2{QStringLiteral("Mean wind U2\n(mph)"),     QStringLiteral("Mean wind U2\n(km/day)"),
                         QStringLiteral("Solar radiation Rs\n(langley/day)"), QStringLiteral("Solar radiation Rs\n(MJ/m2/day)"),
                         QStringLiteral("Angstrom\n(as)"),           QStringLiteral("Angstrom\n(bs)"),
                         QStringLiteral("Actual duration\nof sunshine n\n(hrs/day)")};
    addColumnHeads(g2, p2, h2);
    for (int m = 1; m <= 12; ++m) {
        g2->addWidget(new QLabel(QString::fromLatin1(kMonthNames[m - 1]), p2), m, 0);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("U2%1").arg(m), QStringLiteral("###.####"), 0, 200), m, 1);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("U2m%1").arg(m), QStringLiteral("#####.##"), 0, 7725), m, 2);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("Rs%1").arg(m), QStringLiteral("#####.##"), 0, 2000), m, 3);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("Rsm%1").arg(m), QStringLiteral("###.##"), 0, 84), m, 4);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("As%1").arg(m), QStringLiteral("#.##"), 0, 1), m, 5);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("Bs%1").arg(m), QStringLiteral("#.##"), 0, 1), m, 6);
        g2->addWidget(addMonthEdit(p2, QStringLiteral("N%1").arg(m), QStringLiteral("##.#"), 0, 24), m, 7);
    }
    g2->setRowStretch(13, 1);
    g2->setColumnStretch(8, 1);
    PageControl->addTab(p2, QStringLiteral("Wind and Radiation"));

    auto* top = new QVBoxLayout(this);
    top->setMenuBar(MainMenu);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {GotoEditBtn, InsertBtn, CancelBtn, DeleteBtn})
        buttons->addWidget(b);
    buttons->addSpacing(20);
    buttons->addWidget(Navigator);
    buttons->addStretch();
    top->addLayout(buttons);
    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("Wind, Humidity, Radiation Location Name"), this), 0, 0);
    head->addWidget(WHRLocationEdit, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("(Use a unique name descriptive of the location)"), this), 0, 2, 1, 3);
    head->addWidget(new QLabel(QStringLiteral("Latitude"), this), 1, 0);
    auto* pos = new QHBoxLayout;
    pos->addWidget(LatitudeEdit);
    pos->addWidget(new QLabel(QStringLiteral("Longitude"), this));
    pos->addWidget(LongitudeEdit);
    pos->addSpacing(30);
    pos->addWidget(MarkedCheck);
    pos->addWidget(MarkBtn);
    pos->addStretch();
    head->addLayout(pos, 1, 1, 1, 4);
    head->setColumnStretch(4, 1);
    top->addLayout(head);
    top->addWidget(PageControl, 1);

    m_editor = new TRecordEditor(this, ds, m_editProxy, InsertBtn, CancelBtn, DeleteBtn);
    m_editor->setMarkStatement(DMod->qryMarkWHR->sqlText());
    QAction* show = m_editor->addMarkActions(marks, QStringLiteral("Show All Marked"));
    const QList<QAction*> acts = marks->actions();
    MarkAllItem = acts.value(0);
    ClearAllMarksItem = acts.value(1);
    ShowAllMarkedItem = show;
    connect(m_editor, &TRecordEditor::editModeChanged, this, [this](bool on) {
        GotoEditBtn->setText(on ? TRecordEditor::stopCaption() : TRecordEditor::editCaption());
    });
    connect(m_editor, &TRecordEditor::inserted, this, [this] {
        fillNewRow();
        WHRLocationEdit->setFocus();
    });
    connect(GotoEditBtn, &QPushButton::clicked, this, &TWHRForm::GotoEditBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TWHRForm::DeleteBtnClick);
    connect(MarkBtn, &QPushButton::clicked, this, &TWHRForm::MarkBtnClick);
    // Enter moves between fields; it never presses a button of the window.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    resize(1040, 640);
}

TWHRForm::~TWHRForm()
{
    closeTables();
}

TDBNumEdit* TWHRForm::addMonthEdit(QWidget* page, const QString& field, const QString& picture, double lo, double hi)
{
    auto* e = new TDBNumEdit(DMod->datWHR, field, picture, lo, hi, page);
    e->setObjectName(field + QStringLiteral("Edit"));
    e->setMaximumWidth(100);
    m_month.insert(field, e);
    connect(e, &TNumEdit::exited, this, [this, field] { FieldExit(field); });
    return e;
}

void TWHRForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TWHRForm::FormShow()
{
    m_closed = false;
    TTable* loc = DMod->tblLocDef;
    const bool wasOpen = loc->isOpen();
    if (!wasOpen)
        loc->open();
    DMod->MetricUnits = !loc->isEmpty() && loc->field(QStringLiteral("MetricUnits")).asBoolean();
    if (!wasOpen)
        loc->close();
    DMod->tblWHR->open();
    m_editor->setBaseCaption(QStringLiteral("Wind, Humidity and Radiation Database"));
    m_editor->start();
    WHRLocationEdit->setFocus();
    fitWindowToScreen(this);
}

void TWHRForm::fillNewRow()
{
    TTable* t = DMod->tblWHR;
    TTable* loc = DMod->tblLocDef;
    const bool wasOpen = loc->isOpen();
    if (!wasOpen)
        loc->open();
    const bool haveDefaults = !loc->isEmpty();
    // Written into the pending row before the controls re-read it once.
    for (int m = 1; m <= 12; ++m) {
        const QString n = QString::number(m);
        t->field(QStringLiteral("RHmin") + n).setAsFloat(0);
        t->field(QStringLiteral("RHmax") + n).setAsFloat(0);
        t->field(QStringLiteral("U2") + n).setAsFloat(4.4739);
        t->field(QStringLiteral("U2m") + n).setAsFloat(172.8);
        t->field(QStringLiteral("Rs") + n).setAsFloat(0);
        t->field(QStringLiteral("Rsm") + n).setAsFloat(0);
        t->field(QStringLiteral("As") + n).setAsFloat(0.25);
        t->field(QStringLiteral("Bs") + n).setAsFloat(0.5);
        if (haveDefaults) {
            t->field(QStringLiteral("Cor") + n).setValue(loc->field(QStringLiteral("Cor") + n).value());
            t->field(QStringLiteral("N") + n).setValue(loc->field(QStringLiteral("N") + n).value());
        }
    }
    if (haveDefaults) {
        for (const char* f : {"StationLoc", "StationType", "StationHeight"})
            t->field(QString::fromLatin1(f)).setValue(loc->field(QString::fromLatin1(f)).value());
    }
    if (!wasOpen)
        loc->close();
}

bool TWHRForm::pendingPositionOk()
{
    TTable* t = DMod->tblWHR;
    if (!editing(t))
        return true;
    const QString name = t->field(QStringLiteral("WHRLocation")).asString();
    for (const QString& f : {QStringLiteral("Latitude"), QStringLiteral("Longitude")}) {
        TField v = t->field(f);
        if (v.isNull())
            continue;   // a location may leave its position out
        const bool ok = f == QLatin1String("Latitude") ? isDDMMLatitude(v.asFloat()) : isDDDMMLongitude(v.asFloat());
        if (!ok) {
            showError(positionMessage(name, f, v.asString()));
            return false;
        }
    }
    return true;
}

void TWHRForm::PositionExit(const QString& field)
{
    refuseBadPosition(DMod->tblWHR, field, QStringLiteral("WHRLocation"));
}

void TWHRForm::FieldExit(const QString& field)
{
    TTable* t = DMod->tblWHR;
    if (!editing(t))
        return;
    TField f = t->field(field);
    if (f.isNull())
        return;
    if (const auto twin = whrUnitTwin(field, f.asFloat()))
        t->field(twin->field).setAsFloat(twin->value);
}

void TWHRForm::GotoEditBtnClick()
{
    if (m_editor->isEditMode() && !pendingPositionOk())
        return;
    m_editor->toggleEditMode();
}

void TWHRForm::DeleteBtnClick()
{
    TTable* t = DMod->tblWHR;
    if (!t->isOpen() || t->isEmpty())
        return;
    m_editor->deleteRecord(QStringLiteral("Delete?"), t->field(QStringLiteral("WHRLocation")).asString());
}

void TWHRForm::MarkBtnClick()
{
    if (!pendingPositionOk())
        return;
    m_editor->markCurrent();
}

namespace {
// The location shown before a report is shown again after it.
struct Keep {
    TTable* t;
    QString name;
    explicit Keep(TTable* table) : t(table)
    {
        if (t->isOpen() && !t->isEmpty())
            name = t->field(QStringLiteral("WHRLocation")).asString();
    }
    ~Keep()
    {
        try {
            if (t->isOpen() && !name.isEmpty())
                t->locate(QStringLiteral("WHRLocation"), name);
        } catch (...) {
        }
    }
};
} // namespace

void TWHRForm::PrintLocationListClick()
{
    report::PreparedReport pages;
    {
        Keep keep(DMod->tblWHR);
        THourglass wait;
        pages = prepareLocationList(*DMod->tblWHR);
    }
    showClimReport(pages, this);
}

void TWHRForm::PrintAllMarkedClick()
{
    TTable* t = DMod->tblWHR;
    report::PreparedReport pages;
    {
        Keep keep(t);
        THourglass wait;
        MarkedOnlyScope marked(t);
        pages = prepareLocationDetails(*t);
    }
    showClimReport(pages, this);
}

void TWHRForm::DefaultsClick()
{
    showClimDefaults(this);
}

void TWHRForm::closeTables()
{
    closeClimTables(m_closed);
}

void TWHRForm::closeEvent(QCloseEvent* e)
{
    if (!leaveEditor(pendingPositionOk(), DMod->tblWHR, [&] { QDialog::closeEvent(e); }, m_closed))
        e->ignore();
}

void TWHRForm::done(int r)
{
    if (!commitPendingEntry(this))
        return;
    leaveEditor(pendingPositionOk(), DMod->tblWHR, [&] { QDialog::done(r); }, m_closed);
}

} // namespace quen::climprog
