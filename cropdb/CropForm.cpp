#include "CropForm.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "NumEdit.h"
#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "Help.h"
#include "KcCalculation.h"
#include "MessageService.h"
#include "Placement.h"

namespace quen::cropprog {

static QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

static QLabel* note(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

// ---------------------------------------------------------------------------
// TCropForm

TCropForm::TCropForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CropForm"));
    setWindowTitle(QStringLiteral("Review or Edit Local Crop Database"));
    setHelpContext(this, 19102);
    TDataSource* ds = DMod->datCreateCrp;
    auto* v = new QVBoxLayout(this);
    QMenuBar* bar = addMenuBar(this, v);
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("Print Crop Name List"), this, [this] { PrintCropNameListClick(); });
    file->addAction(QStringLiteral("Print All Marked"), this, [this] { PrintAllMarkedClick(); });
    file->addSeparator();
    file->addAction(QStringLiteral("Close"), this, [this] { close(); });

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    CropListGrid = new TDBGrid(this);
    CropListGrid->setObjectName(QStringLiteral("CropListGrid"));
    CropListGrid->setDataSource(ds);
    CropListGrid->addColumn(QStringLiteral("Cop Name"), QStringLiteral("Crop List"), 220);
    left->addWidget(CropListGrid);
    Navigator = new TDBNavigator(TDBNavigator::Moves, this);
    Navigator->setDataSource(ds);
    left->addWidget(Navigator);
    top->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Crop Name"), this));
    CropNameEdit = new TDBEdit(ds, QStringLiteral("Cop Name"), this);
    CropNameEdit->setObjectName(QStringLiteral("CropNameEdit"));
    nameRow->addWidget(CropNameEdit, 1);
    right->addLayout(nameRow);

    PageControl = new QTabWidget(this);
    // Kc Curves
    auto* kc = new QWidget;
    auto* kcv = new QVBoxLayout(kc);
    auto* basGroup = new QGroupBox(QStringLiteral("Grass Reference Crop NEH2 Curve Data"), kc);
    auto* bg = new QGridLayout(basGroup);
    bg->addWidget(new QLabel(QStringLiteral("Basal Kc Crop Curve Name"), basGroup), 0, 0);
    BasCurveNameText = new TDBText(ds, QStringLiteral("Bas Crop Curve Name"), basGroup);
    BasCurveNameText->setFrameShape(QFrame::Panel);
    BasCurveNameText->setFrameShadow(QFrame::Sunken);
    bg->addWidget(BasCurveNameText, 1, 0);
    BasTypeLabel = new QLabel(QStringLiteral("Grass Reference Crop Type"), basGroup);
    bg->addWidget(BasTypeLabel, 2, 0);
    BasCropTypeText = new TDBText(ds, QStringLiteral("Bas Crop Type"), basGroup);
    BasCropTypeText->setFrameShape(QFrame::Panel);
    BasCropTypeText->setFrameShadow(QFrame::Sunken);
    bg->addWidget(BasCropTypeText, 3, 0);
    HumWindRadio = new TDBRadioGroup(QStringLiteral("Humidity/Wind Category"), basGroup);
    HumWindRadio->setItems(humidityWindCodes());
    HumWindRadio->setColumns(4);
    HumWindRadio->setDataSource(ds);
    HumWindRadio->setFieldName(QStringLiteral("Humidity/Wind"));
    HumWindRadio->setDataReadOnly(true);
    bg->addWidget(HumWindRadio, 0, 1, 2, 1);
    GetBasBtn = button(QStringLiteral("GetBasBtn"), QStringLiteral("Get NEH2 Grass Ref. Curve"), basGroup);
    bg->addWidget(GetBasBtn, 3, 1);
    kcv->addWidget(basGroup);

    auto* bcGroup = new QGroupBox(QStringLiteral("Blaney Criddle TR21 Crop Curve Data"), kc);
    auto* cg = new QGridLayout(bcGroup);
    cg->addWidget(new QLabel(QStringLiteral("BC TR21 Crop Curve Name"), bcGroup), 0, 0);
    BCCurveNameText = new TDBText(ds, QStringLiteral("BC Crop Curve Name"), bcGroup);
    BCCurveNameText->setFrameShape(QFrame::Panel);
    BCCurveNameText->setFrameShadow(QFrame::Sunken);
    cg->addWidget(BCCurveNameText, 1, 0);
    cg->addWidget(new QLabel(QStringLiteral("BC TR21 Curve Type"), bcGroup), 2, 0);
    BCCropTypeText = new TDBText(ds, QStringLiteral("BC Crop Type"), bcGroup);
    BCCropTypeText->setFrameShape(QFrame::Panel);
    BCCropTypeText->setFrameShadow(QFrame::Sunken);
    cg->addWidget(BCCropTypeText, 3, 0);
    GetBCBtn = button(QStringLiteral("GetBCBtn"), QStringLiteral("Get BC TR21 Curve"), bcGroup);
    cg->addWidget(GetBCBtn, 3, 1);
    kcv->addWidget(bcGroup);

    auto* faoGroup = new QGroupBox(QStringLiteral("FAO 56 Crop Curve Data"), kc);
    auto* fg = new QGridLayout(faoGroup);
    FAOLabel = new QLabel(QStringLiteral("FAO 56 Crop Curve Name"), faoGroup);
    fg->addWidget(FAOLabel, 0, 0);
    FAOCurveNameText = new TDBText(ds, QStringLiteral("FAOCropCurveName"), faoGroup);
    FAOCurveNameText->setFrameShape(QFrame::Panel);
    FAOCurveNameText->setFrameShadow(QFrame::Sunken);
    fg->addWidget(FAOCurveNameText, 1, 0);
    GetFAOBtn = button(QStringLiteral("GetFAOBtn"), QStringLiteral("Get FAO 56 Crop Curve"), faoGroup);
    fg->addWidget(GetFAOBtn, 1, 1);
    fg->setColumnStretch(0, 1);
    cg->setColumnStretch(0, 1);
    bg->setColumnStretch(0, 1);
    kcv->addWidget(faoGroup);
    PageControl->addTab(kc, QStringLiteral("Kc Curves"));

    // Growth Dates
    auto* gd = new QWidget;
    auto* gdv = new QVBoxLayout(gd);
    auto* plant = new QGroupBox(QStringLiteral("Default planting or start of growth date (Spring)"), gd);
    auto* pf = new QFormLayout(plant);
    PlantMoEdit = new TDBNumEdit(ds, QStringLiteral("Plant Mo"), QStringLiteral("ii"), 1, 12, plant);
    PlantDayEdit = new TDBNumEdit(ds, QStringLiteral("Plant Day"), QStringLiteral("ii"), 1, 31, plant);
    for (TDBNumEdit* e : {PlantMoEdit, PlantDayEdit}) e->setMaximumWidth(60);
    pf->addRow(QStringLiteral("Month No"), PlantMoEdit);
    pf->addRow(QStringLiteral("Day"), PlantDayEdit);
    gdv->addWidget(plant);
    auto* harv = new QGroupBox(QStringLiteral("Default harvest or end of growth date (Fall)"), gd);
    auto* hf = new QFormLayout(harv);
    HarvestMoEdit = new TDBNumEdit(ds, QStringLiteral("Harvest Mo"), QStringLiteral("ii"), 1, 12, harv);
    HarvestDayEdit = new TDBNumEdit(ds, QStringLiteral("Harvest Day"), QStringLiteral("ii"), 1, 31, harv);
    for (TDBNumEdit* e : {HarvestMoEdit, HarvestDayEdit}) e->setMaximumWidth(60);
    PlantMoEdit->setFieldCaption(QStringLiteral("Default planting date, Month No"));
    PlantDayEdit->setFieldCaption(QStringLiteral("Default planting date, Day"));
    HarvestMoEdit->setFieldCaption(QStringLiteral("Default harvest date, Month No"));
    HarvestDayEdit->setFieldCaption(QStringLiteral("Default harvest date, Day"));
    hf->addRow(QStringLiteral("Month No"), HarvestMoEdit);
    hf->addRow(QStringLiteral("Day"), HarvestDayEdit);
    gdv->addWidget(harv);
    gdv->addWidget(note(QStringLiteral("The user of the main program can override these dates. A crop planted in one "
                                       "year and harvested in the next is handled when planting and harvest are less "
                                       "than a year apart."),
                        gd));
    gdv->addStretch();
    PageControl->addTab(gd, QStringLiteral("Growth Dates"));

    // Alternate Growth Season Calc. Data
    auto* alt = new QWidget;
    auto* ag = new QGridLayout(alt);
    MinGrowDaysEdit = new TDBNumEdit(ds, QStringLiteral("Min Grow Days"), QStringLiteral("iii"), 0, 366, alt);
    MaxGrowDaysEdit = new TDBNumEdit(ds, QStringLiteral("Max Grow Days"), QStringLiteral("iii"), 0, 366, alt);
    SpringAvTempEdit = new TDBNumEdit(ds, QStringLiteral("SpringAvTemp"), QStringLiteral("###.##"), 0, 0, alt);
    SpringAvTempMEdit = new TDBNumEdit(ds, QStringLiteral("SpringAvTempM"), QStringLiteral("###.##"), 0, 0, alt);
    FallAvTempEdit = new TDBNumEdit(ds, QStringLiteral("FallAvTemp"), QStringLiteral("###.##"), 0, 0, alt);
    FallAvTempMEdit = new TDBNumEdit(ds, QStringLiteral("FallAvTempM"), QStringLiteral("###.##"), 0, 0, alt);
    for (TDBNumEdit* e : {MinGrowDaysEdit, MaxGrowDaysEdit, SpringAvTempEdit, SpringAvTempMEdit, FallAvTempEdit,
                          FallAvTempMEdit})
        e->setMaximumWidth(90);
    ag->setColumnStretch(4, 1);
    ag->addWidget(new QLabel(QStringLiteral("Required length of growing season"), alt), 0, 0);
    ag->addWidget(MinGrowDaysEdit, 0, 1);
    ag->addWidget(new QLabel(QStringLiteral("days"), alt), 0, 2);
    ag->addWidget(new QLabel(QStringLiteral("Maximum length of growing season"), alt), 1, 0);
    ag->addWidget(MaxGrowDaysEdit, 1, 1);
    ag->addWidget(new QLabel(QStringLiteral("days"), alt), 1, 2);
    ag->addWidget(new QLabel(QStringLiteral("Degrees F."), alt), 2, 1);
    ag->addWidget(new QLabel(QStringLiteral("Degrees C"), alt), 2, 3);
    ag->addWidget(new QLabel(QStringLiteral("Earliest (spring) growth average temperature"), alt), 3, 0);
    ag->addWidget(SpringAvTempEdit, 3, 1);
    ag->addWidget(SpringAvTempMEdit, 3, 3);
    ag->addWidget(new QLabel(QStringLiteral("Latest (fall) growth average temperature"), alt), 4, 0);
    ag->addWidget(FallAvTempEdit, 4, 1);
    ag->addWidget(FallAvTempMEdit, 4, 3);
    ag->addWidget(note(QStringLiteral("Calculations are made only where entries exist; the default growth dates "
                                      "apply otherwise."),
                       alt),
                  5, 0, 1, 4);
    ag->setRowStretch(6, 1);
    PageControl->addTab(alt, QStringLiteral("Alternate Growth Season Calc. Data"));

    // Comments
    auto* com = new QWidget;
    auto* cv = new QVBoxLayout(com);
    cv->addWidget(new QLabel(QStringLiteral("Comments About Crop"), com));
    NotesMemo = new TDBMemo(ds, QStringLiteral("Notes"), com);
    cv->addWidget(NotesMemo);
    PageControl->addTab(com, QStringLiteral("Comments"));
    right->addWidget(PageControl);

    auto* markRow = new QHBoxLayout;
    MarkedCheck = new TDBCheckBox(ds, QStringLiteral("Marked"), QStringLiteral("Marked?"), this);
    MarkedCheck->setDataReadOnly(true);
    MarkBtn = button(QStringLiteral("MarkBtn"), QStringLiteral("Mark"), this);
    markRow->addWidget(MarkedCheck);
    markRow->addWidget(MarkBtn);
    markRow->addStretch();
    right->addLayout(markRow);
    top->addLayout(right, 3);
    v->addLayout(top);

    auto* btns = new QHBoxLayout;
    GotoEditBtn = button(QStringLiteral("GotoEditBtn"), QStringLiteral("Goto Edit"), this);
    InsertBtn = button(QStringLiteral("InsertBtn"), QStringLiteral("Insert Record"), this);
    CancelBtn = button(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    DeleteBtn = button(QStringLiteral("DeleteBtn"), QStringLiteral("Delete Record"), this);
    CloseBtn = button(QStringLiteral("CloseBtn"), QStringLiteral("&Close"), this);
    for (QPushButton* b : {GotoEditBtn, InsertBtn, CancelBtn, DeleteBtn, CloseBtn}) {
        b->setAutoDefault(false);
        btns->addWidget(b);
    }
    v->addLayout(btns);

    Editor = new TRecordEditor(this, ds, GotoEditBtn, nullptr, CancelBtn, DeleteBtn);
    Editor->setMarkStatement(DMod->qryMarkCrop->sqlText());
    Editor->addEditModeWidget(InsertBtn);
    for (QWidget* w : {GetBasBtn, GetBCBtn, GetFAOBtn}) Editor->addEditModeWidget(w);
    QMenu* marks = bar->addMenu(QStringLiteral("&Marks"));
    ShowAllMarkedItem = Editor->addMarkActions(marks);
    addHelpMenu(bar, this);

    connect(InsertBtn, &QPushButton::clicked, this, [this] { InsertBtnClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(MarkBtn, &QPushButton::clicked, this, [this] { MarkBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, [this] { close(); });
    connect(GetBasBtn, &QPushButton::clicked, this, [this] { GetBasBtnClick(); });
    connect(GetBCBtn, &QPushButton::clicked, this, [this] { GetBCBtnClick(); });
    connect(GetFAOBtn, &QPushButton::clicked, this, [this] { GetFAOBtnClick(); });
    connect(SpringAvTempEdit, &TNumEdit::exited, this, [this] { SpringAvTempExit(); });
    connect(SpringAvTempMEdit, &TNumEdit::exited, this, [this] { SpringAvTempMExit(); });
    connect(FallAvTempEdit, &TNumEdit::exited, this, [this] { FallAvTempExit(); });
    connect(FallAvTempMEdit, &TNumEdit::exited, this, [this] { FallAvTempMExit(); });
    installEnterMovesFocus(CropNameEdit);

    // New-record mode lasts while the new row is pending: once it is posted
    // or cancelled the table browses again and later dialogs treat the
    // current row as an existing crop.
    connect(DMod->tblCreateCrp, &TTable::stateChanged, this, [this] {
        if (NewRecordMode && DMod->tblCreateCrp->state() == TTable::State::Browse) NewRecordMode = false;
    });
    resize(860, 560);
}

TCropForm::~TCropForm() = default;

void TCropForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TCropForm::done(int r)
{
    if (!commitPendingEntry(this)) return;   // the number being typed is stored as Close stores it
    if (!m_closed) {
        FormClose();   // a refused post throws and keeps the window open
        m_closed = true;
    }
    QDialog::done(r);
}

// A refused post keeps the window open with the row still in edit.
void TCropForm::closeEvent(QCloseEvent* e)
{
    runFormClose(e, [this] { FormClose(); });
    QDialog::closeEvent(e);
}

void TCropForm::FormShow()
{
    TTable* t = DMod->tblCreateCrp;
    if (!t->isOpen()) t->open();
    if (t->indexName().isEmpty()) t->setIndexName(QStringLiteral("CropNameIndex"));
    t->first();
    CropListGrid->reload();
    Editor->start();
    refreshFAOLabel();
    refreshBasLabel();
    fitWindowToScreen(this);
}

void TCropForm::FormClose()
{
    for (TTable* t : {DMod->tblCreateCrp, DMod->tblLastUse})
        if (t->isOpen() && t->state() != TTable::State::Browse) t->post();
}

void TCropForm::refreshBasLabel()
{
    TTable* t = DMod->tblCreateCrp;
    const bool none = !t->isOpen() || t->field(QStringLiteral("Bas Crop Type")).asString().isEmpty();
    BasTypeLabel->setText(none ? QStringLiteral("No Grass Reference Crop") : QStringLiteral("Grass Reference Crop Type"));
}

void TCropForm::refreshFAOLabel()
{
    TTable* t = DMod->tblCreateCrp;
    const bool none = !t->isOpen() || t->field(QStringLiteral("FAOCropCurveName")).asString().isEmpty();
    FAOLabel->setText(none ? QStringLiteral("No FAO 56 curve") : QStringLiteral("FAO 56 Crop Curve Name"));
}

void TCropForm::ensureRowEditing()
{
    TTable* t = DMod->tblCreateCrp;
    if (t->state() == TTable::State::Browse) t->edit();
}

void TCropForm::InsertBtnClick()
{
    TTable* t = DMod->tblCreateCrp;
    t->insert();
    NewRecordMode = true;
    PageControl->setCurrentIndex(0);
    CropNameEdit->setFocus();
}

void TCropForm::DeleteBtnClick()
{
    TTable* t = DMod->tblCreateCrp;
    if (t->isEmpty() && t->state() != TTable::State::Insert) return;
    Editor->deleteRecord(QStringLiteral("DELETE THIS CROP RECORD?"), t->field(QStringLiteral("Cop Name")).asString());
}

void TCropForm::MarkBtnClick()
{
    Editor->markCurrent();
}

// The temperature twins are kept only on an existing row being edited; a
// freshly inserted row is left as typed.
static void convertTemp(TTable* t, const char* from, const char* to, bool toCelsius)
{
    if (!t->isOpen() || t->state() != TTable::State::Edit) return;
    TField f = t->field(QLatin1String(from));
    if (f.isNull()) return;
    const double x = f.asFloat();
    const double y = toCelsius ? (x - 32) * 5 / 9 : x * 9 / 5 + 32;
    t->field(QLatin1String(to)).setAsFloat(fixedText(y, 2).toDouble());
}

void TCropForm::SpringAvTempExit() { convertTemp(DMod->tblCreateCrp, "SpringAvTemp", "SpringAvTempM", true); }
void TCropForm::SpringAvTempMExit() { convertTemp(DMod->tblCreateCrp, "SpringAvTempM", "SpringAvTemp", false); }
void TCropForm::FallAvTempExit() { convertTemp(DMod->tblCreateCrp, "FallAvTemp", "FallAvTempM", true); }
void TCropForm::FallAvTempMExit() { convertTemp(DMod->tblCreateCrp, "FallAvTempM", "FallAvTemp", false); }

void TCropForm::GetBasBtnClick()
{
    ensureRowEditing();
    {
        TGetBasDlg dlg(this);
        runModal(dlg);
    }
    refreshBasLabel();
    if (NewRecordMode && DMod->tblCreateCrp->field(QStringLiteral("BC Crop Type")).asString().isEmpty())
        GetBCBtnClick();
}

void TCropForm::GetBCBtnClick()
{
    TGetBCDlg dlg(this);
    runModal(dlg);
}

void TCropForm::GetFAOBtnClick()
{
    if (!DMod->tblFAOcurv->isOpen()) DMod->tblFAOcurv->open();
    {
        TGetFAODlg dlg(this);
        runModal(dlg);
    }
    refreshFAOLabel();
    TTable* t = DMod->tblCreateCrp;
    if (NewRecordMode && t->field(QStringLiteral("FAOCropCurveName")).asString().isEmpty()
        && t->field(QStringLiteral("BC Crop Type")).asString().isEmpty())
        GetBCBtnClick();
}

void TCropForm::PrintCropNameListClick()
{
    previewReport(prepareCropNameList(*DMod->tblCreateCrp), this);
}

void TCropForm::PrintAllMarkedClick()
{
    TTable* t = DMod->tblCreateCrp;
    const bool was = t->filtered();
    t->setFiltered(true);
    report::PreparedReport pages;
    try {
        pages = prepareCropAllMarked(*t);
    } catch (...) {
        t->setFiltered(was);
        throw;
    }
    t->setFiltered(was);
    previewReport(pages, this);
}

// ---------------------------------------------------------------------------
// The curve dialogs share how they find the crop row: an empty crop table
// switches new-record mode on; the row is put into edit (on an empty table
// that starts the new row); the defaults row is the first of "CrpLastUse.db".

static void beginCurveDialog(TCropForm* form)
{
    TTable* crop = DMod->tblCreateCrp;
    if (crop->isEmpty() && crop->state() != TTable::State::Edit) form->NewRecordMode = true;
    form->ensureRowEditing();
    TTable* last = DMod->tblLastUse;
    if (!last->isOpen()) last->open();
    last->first();
}

static void endCurveDialog(TCropForm* form)
{
    TTable* crop = DMod->tblCreateCrp;
    if (!form->NewRecordMode && crop->state() != TTable::State::Browse) crop->post();
}

static TDBText* framedText(TDataSource* ds, const QString& field, QWidget* parent)
{
    auto* t = new TDBText(ds, field, parent);
    t->setFrameShape(QFrame::Panel);
    t->setFrameShadow(QFrame::Sunken);
    t->setMinimumWidth(220);
    return t;
}

static QHBoxLayout* dialogButtons(std::initializer_list<QPushButton*> buttons)
{
    auto* h = new QHBoxLayout;
    h->addStretch();
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        h->addWidget(b);
    }
    return h;
}

// ---------------------------------------------------------------------------
// TGetBasDlg

TGetBasDlg::TGetBasDlg(TCropForm* form) : QDialog(form), m_form(form)
{
    setObjectName(QStringLiteral("GetBasDlg"));
    setWindowTitle(QStringLiteral("Get Basal Kc Curve Data"));
    setHelpContext(this, 19103);
    datCurves = new TDataSource(this);
    TDataSource* crop = DMod->datCreateCrp;
    auto* v = new QVBoxLayout(this);
    auto* cur = new QFormLayout;
    CurTypeText = framedText(crop, QStringLiteral("Bas Crop Type"), this);
    CurHumWindText = framedText(crop, QStringLiteral("Humidity/Wind"), this);
    CurCurveText = framedText(crop, QStringLiteral("Bas Crop Curve Name"), this);
    cur->addRow(QStringLiteral("Bas Crop Type"), CurTypeText);
    cur->addRow(QStringLiteral("Humidity/Wind"), CurHumWindText);
    cur->addRow(QStringLiteral("Bas Crop Curve Name"), CurCurveText);
    v->addLayout(cur);
    auto* radios = new QHBoxLayout;
    KindRadio = new TRadioGroup(QStringLiteral("Kc Curve Type"), basalKinds(), this);
    HumWindRadio = new TRadioGroup(QStringLiteral("Humidity/Wind"),
                                   {"Humid, Moderate wind", "Humid, Strong wind", "Arid, Moderate wind",
                                    "Arid, Strong wind"},
                                   this);
    radios->addWidget(KindRadio);
    radios->addWidget(HumWindRadio);
    v->addLayout(radios);
    auto* lists = new QHBoxLayout;
    auto* lv = new QVBoxLayout;
    lv->addWidget(new QLabel(QStringLiteral("Select from available Basil Kc Crop Curves"), this));
    CurveList = new TDBGrid(this);
    CurveList->setDataSource(datCurves);
    CurveList->addColumn(QStringLiteral("Crop Curve Name"), QStringLiteral("Crop Curve Name"), 300);
    lv->addWidget(CurveList);
    lists->addLayout(lv, 2);
    auto* nv = new QVBoxLayout;
    nv->addWidget(new QLabel(QStringLiteral("Notes"), this));
    NotesMemo = new TDBMemo(datCurves, QStringLiteral("Notes"), this);
    NotesMemo->setDataReadOnly(true);
    nv->addWidget(NotesMemo);
    InfoLabel = new QLabel(this);
    InfoLabel->setFrameShape(QFrame::Panel);
    InfoLabel->setFrameShadow(QFrame::Sunken);
    InfoLabel->setMinimumHeight(40);
    nv->addWidget(InfoLabel);
    lists->addLayout(nv, 1);
    v->addLayout(lists);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    DontUseBtn = new QPushButton(QStringLiteral("Don't Use Grass Ref Curve"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    v->addLayout(dialogButtons({OKBtn, CancelBtn, DontUseBtn, HelpBtn}));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(DontUseBtn, &QPushButton::clicked, this, [this] { DontUseBtnClick(); });
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19103); });
    connect(KindRadio, &TRadioGroup::clicked, this, [this](int i) { KindRadioClick(i); });
    connect(HumWindRadio, &TRadioGroup::clicked, this, [this](int i) { HumWindRadioClick(i); });
    connect(CurveList, &TDBGrid::rowChosen, this, [this] { CurveListClick(); });
    connect(CurveList, &QAbstractItemView::clicked, this, [this] { CurveListClick(); });
    connect(datCurves, &TDataSource::recordChanged, this, [this] { showInfo(); });
    resize(700, 520);
}

TTable* TGetBasDlg::kindTable(int kind) const
{
    switch (kind) {
    case 0: return DMod->tblBasFldVeg;
    case 1: return DMod->tblBasPeren;
    case 2: return DMod->tblBasGrass;
    default: return nullptr;
    }
}

void TGetBasDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TGetBasDlg::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TGetBasDlg::FormShow()
{
    for (int k = 0; k < 3; ++k)
        if (!kindTable(k)->isOpen()) kindTable(k)->open();
    beginCurveDialog(m_form);
    TTable* crop = DMod->tblCreateCrp;
    TTable* last = DMod->tblLastUse;
    if (m_form->NewRecordMode) {
        const int hw = last->field(QStringLiteral("Humidity/Wind Index")).asInteger();
        const int kind = last->field(QStringLiteral("Basil Type Index")).asInteger();
        crop->field(QStringLiteral("Humidity/Wind")).setAsString(humidityWindCodes().value(hw));
        crop->field(QStringLiteral("Bas Crop Curve Name"))
            .setAsString(last->field(QStringLiteral("Basil Curve Name")).asString());
        crop->field(QStringLiteral("Bas Crop Type")).setAsString(basalKinds().value(kind));
        HumWindRadio->setItemIndex(hw >= 0 && hw < 4 ? hw : -1);
        if (kind >= 0 && kind < 3) {
            KindRadio->setItemIndex(kind);
            KindRadioClick(kind);
        }
        return;
    }
    const int hw = int(humidityWindCodes().indexOf(crop->field(QStringLiteral("Humidity/Wind")).asString()));
    HumWindRadio->setItemIndex(hw);
    if (hw < 0) showError(QStringLiteral("On activate HumidityWind not found."));
    const int kind = int(basalKinds().indexOf(crop->field(QStringLiteral("Bas Crop Type")).asString()));
    if (kind < 0) {
        KindRadio->setItemIndex(-1);
        showError(QStringLiteral("On activate Bas Crop Type not found."));
        return;
    }
    KindRadio->setItemIndex(kind);
    KindRadioClick(kind);
}

void TGetBasDlg::KindRadioClick(int index)
{
    TTable* t = kindTable(index);
    if (!t) return;
    m_form->ensureRowEditing();
    DMod->tblCreateCrp->field(QStringLiteral("Bas Crop Type")).setAsString(basalKinds().value(index));
    datCurves->setDataSet(t);
    filterList();
    showInfo();
}

void TGetBasDlg::filterList()
{
    TTable* t = datCurves->dataSet();
    if (!t || !t->isOpen()) return;
    t->setIndexName(QStringLiteral("HWIndex"));
    const QString code = DMod->tblCreateCrp->field(QStringLiteral("Humidity/Wind")).asString();
    t->setRange({code}, {code});
    t->first();
    // The highlight starts on the crop's own curve when it is listed.
    const QString current = DMod->tblCreateCrp->field(QStringLiteral("Bas Crop Curve Name")).asString();
    if (!current.isEmpty()) t->locate(QStringLiteral("Crop Curve Name"), current);
    CurveList->reload();
}

void TGetBasDlg::HumWindRadioClick(int index)
{
    m_form->ensureRowEditing();
    DMod->tblCreateCrp->field(QStringLiteral("Humidity/Wind")).setAsString(humidityWindCodes().value(index));
    filterList();
}

void TGetBasDlg::CurveListClick()
{
    TTable* t = datCurves->dataSet();
    if (!t || !t->isOpen() || t->isEmpty()) return;
    m_form->ensureRowEditing();
    DMod->tblCreateCrp->field(QStringLiteral("Bas Crop Curve Name"))
        .setAsString(t->field(QStringLiteral("Crop Curve Name")).asString());
}

void TGetBasDlg::showInfo()
{
    TTable* t = datCurves->dataSet();
    if (!t || !t->isOpen() || t->isEmpty()) {
        InfoLabel->clear();
        return;
    }
    auto s = [t](const char* f) { return t->field(QLatin1String(f)).asString(); };
    if (t == DMod->tblBasFldVeg)
        InfoLabel->setText(QStringLiteral("Crop Type = ") + s("Crop Type"));
    else if (t == DMod->tblBasPeren)
        InfoLabel->setText(QStringLiteral("Growing Conditions ") + s("Growing Conditions")
                           + QStringLiteral("\nGround Cover ") + s("Ground Cover"));
    else
        InfoLabel->setText(QStringLiteral("Pk Days After Harvest = ") + s("Pk Days After Harvest")
                           + QStringLiteral("\nPk % After Harvest (Alfalfa) = ") + s("Pk % After Harvest (Alf)"));
}

void TGetBasDlg::DontUseBtnClick()
{
    m_form->ensureRowEditing();
    TTable* crop = DMod->tblCreateCrp;
    for (const char* f : {"Bas Crop Curve Name", "Bas Crop Type", "Humidity/Wind"})
        crop->field(QLatin1String(f)).setAsString(QString());
    accept();
}

void TGetBasDlg::FormClose()
{
    datCurves->setDataSet(nullptr);
    endCurveDialog(m_form);
    for (int k = 0; k < 3; ++k) {
        kindTable(k)->cancelRange();
        kindTable(k)->close();
    }
}

// ---------------------------------------------------------------------------
// TGetBCDlg

TGetBCDlg::TGetBCDlg(TCropForm* form) : QDialog(form), m_form(form)
{
    setObjectName(QStringLiteral("GetBCDlg"));
    setWindowTitle(QStringLiteral("BC Kc Crop Curve Data"));
    setHelpContext(this, 19103);
    datCurves = new TDataSource(this);
    auto* v = new QVBoxLayout(this);
    TypeRadio = new TRadioGroup(QStringLiteral("BC Kc Curve Type"), bcKinds(), this);
    v->addWidget(TypeRadio);
    v->addWidget(new QLabel(QStringLiteral("Select from available BC Kc Crop Curves"), this));
    CurveList = new TDBGrid(this);
    CurveList->setDataSource(datCurves);
    CurveList->addColumn(QStringLiteral("Crop Curve Name"), QStringLiteral("Crop Curve Name"), 300);
    v->addWidget(CurveList);
    auto* cur = new QFormLayout;
    CurCurveText = framedText(DMod->datCreateCrp, QStringLiteral("BC Crop Curve Name"), this);
    cur->addRow(QStringLiteral("BC Crop Curve Name"), CurCurveText);
    v->addLayout(cur);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    v->addLayout(dialogButtons({OKBtn, CancelBtn, HelpBtn}));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19103); });
    connect(TypeRadio, &TRadioGroup::clicked, this, [this](int i) { TypeRadioClick(i); });
    connect(CurveList, &TDBGrid::rowChosen, this, [this] { CurveListClick(); });
    connect(CurveList, &QAbstractItemView::clicked, this, [this] { CurveListClick(); });
    resize(420, 460);
}

void TGetBCDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TGetBCDlg::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TGetBCDlg::pointList(int index)
{
    TTable* t = index == 1 ? DMod->tblBCPeren : DMod->tblBCAnnual;
    datCurves->setDataSet(t);
    t->first();
    CurveList->reload();
}

void TGetBCDlg::FormShow()
{
    for (TTable* t : {DMod->tblBCAnnual, DMod->tblBCPeren})
        if (!t->isOpen()) t->open();
    const bool hadRows = !DMod->tblCreateCrp->isEmpty();
    beginCurveDialog(m_form);
    TTable* crop = DMod->tblCreateCrp;
    if (hadRows && !m_form->NewRecordMode) {
        const int i = int(bcKinds().indexOf(crop->field(QStringLiteral("BC Crop Type")).asString()));
        TypeRadio->setItemIndex(i);
        if (i < 0) {
            showError(QStringLiteral("On activate BC Crop Type not found."));
            return;
        }
        pointList(i);
        const QString name = crop->field(QStringLiteral("BC Crop Curve Name")).asString();
        if (!name.isEmpty()) datCurves->dataSet()->locate(QStringLiteral("Crop Curve Name"), name);
        return;
    }
    TTable* last = DMod->tblLastUse;
    const int i = last->field(QStringLiteral("BC Type Index")).asInteger() == 1 ? 1 : 0;
    crop->field(QStringLiteral("BC Crop Curve Name")).setAsString(last->field(QStringLiteral("BC Curve Name")).asString());
    crop->field(QStringLiteral("BC Crop Type")).setAsString(bcKinds().value(i));
    TypeRadio->setItemIndex(i);
    pointList(i);
    datCurves->dataSet()->locate(QStringLiteral("Crop Curve Name"),
                                 crop->field(QStringLiteral("BC Crop Curve Name")).asString());
}

void TGetBCDlg::TypeRadioClick(int index)
{
    m_form->ensureRowEditing();
    DMod->tblCreateCrp->field(QStringLiteral("BC Crop Type")).setAsString(bcKinds().value(index));
    pointList(index);
}

void TGetBCDlg::CurveListClick()
{
    TTable* t = datCurves->dataSet();
    if (!t || !t->isOpen() || t->isEmpty()) return;
    m_form->ensureRowEditing();
    DMod->tblCreateCrp->field(QStringLiteral("BC Crop Curve Name"))
        .setAsString(t->field(QStringLiteral("Crop Curve Name")).asString());
}

void TGetBCDlg::FormClose()
{
    datCurves->setDataSet(nullptr);
    endCurveDialog(m_form);
    DMod->tblBCAnnual->close();
    DMod->tblBCPeren->close();
}

// ---------------------------------------------------------------------------
// TGetFAODlg

TGetFAODlg::TGetFAODlg(TCropForm* form) : QDialog(form), m_form(form)
{
    setObjectName(QStringLiteral("GetFAODlg"));
    setWindowTitle(QStringLiteral("Get FAO 56 Curve Data"));
    setHelpContext(this, 19103);
    auto* v = new QVBoxLayout(this);
    CurveGrid = new TDBGrid(this);
    CurveGrid->setDataSource(DMod->datFAOcurv);
    CurveGrid->addColumn(QStringLiteral("CropCurveName"), QStringLiteral("FAO Crop Curve Name"), 380);
    v->addWidget(CurveGrid);
    auto* cur = new QFormLayout;
    CurCurveText = framedText(DMod->datCreateCrp, QStringLiteral("FAOCropCurveName"), this);
    cur->addRow(QStringLiteral("FAOCropCurveName"), CurCurveText);
    v->addLayout(cur);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    DontUseBtn = new QPushButton(QStringLiteral("Don't Use FAO 56 Curve"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    v->addLayout(dialogButtons({OKBtn, CancelBtn, DontUseBtn, HelpBtn}));
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(DontUseBtn, &QPushButton::clicked, this, [this] { DontUseBtnClick(); });
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19103); });
    connect(CurveGrid, &TDBGrid::rowDoubleClicked, this, [this] { OKBtnClick(); });
    resize(480, 460);
}

void TGetFAODlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TGetFAODlg::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TGetFAODlg::FormShow()
{
    TTable* fao = DMod->tblFAOcurv;
    if (!fao->isOpen()) fao->open();
    const bool wasEmpty = DMod->tblCreateCrp->isEmpty();
    beginCurveDialog(m_form);
    TTable* crop = DMod->tblCreateCrp;
    if (wasEmpty || m_form->NewRecordMode)
        crop->field(QStringLiteral("FAOCropCurveName"))
            .setAsString(DMod->tblLastUse->field(QStringLiteral("FAOCurveName")).asString());
    const QString name = crop->field(QStringLiteral("FAOCropCurveName")).asString();
    if (!name.isEmpty()) fao->locate(QStringLiteral("CropCurveName"), name);
}

void TGetFAODlg::OKBtnClick()
{
    TTable* fao = DMod->tblFAOcurv;
    if (fao->isOpen() && !fao->isEmpty()) {
        m_form->ensureRowEditing();
        TTable* crop = DMod->tblCreateCrp;
        crop->field(QStringLiteral("FAOCropCurveName")).setAsString(fao->field(QStringLiteral("CropCurveName")).asString());
        crop->field(QStringLiteral("FAOCropType")).setAsString(fao->field(QStringLiteral("FAOCropType")).asString());
    }
    accept();
}

void TGetFAODlg::DontUseBtnClick()
{
    m_form->ensureRowEditing();
    TTable* crop = DMod->tblCreateCrp;
    crop->field(QStringLiteral("FAOCropCurveName")).setAsString(QString());
    crop->field(QStringLiteral("FAOCropType")).setAsString(QString());
    accept();
}

void TGetFAODlg::FormClose()
{
    endCurveDialog(m_form);
    DMod->tblFAOcurv->close();
}

} // namespace quen::cropprog
