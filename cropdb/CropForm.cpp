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
#include <utility>

#include "NumEdit.h"
#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "GetBCDlg.h"
#include "GetBasDlg.h"
#include "GetFAODlg.h"
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

// The month-day check of a growth date (365-day year): a day beyond its
// month's last is set to that last day and the error is shown.
static void keepDayInMonth(TDBNumEdit* monthEdit, TDBNumEdit* dayEdit)
{
    static constexpr int kLastDay[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    TTable* t = DMod->tblCreateCrp;
    if (!t->isOpen() || t->state() == TTable::State::Browse) return;
    TField month = t->field(monthEdit->link().fieldName());
    TField day = t->field(dayEdit->link().fieldName());
    if (month.isNull() || day.isNull()) return;
    const int m = month.asInteger();
    if (m < 1 || m > 12 || day.asInteger() <= kLastDay[m]) return;
    day.setAsInteger(kLastDay[m]);
    showError(QStringLiteral("Month number ") + QString::number(m) + QStringLiteral(" has maximum of ")
              + QString::number(kLastDay[m]) + QStringLiteral(" days."));
    dayEdit->setFocus();
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
    // The day of a growth date stays within its month, as the main program's
    // crop inputs check it: a day beyond the month is corrected, with a word.
    const std::pair<TDBNumEdit*, TDBNumEdit*> dates[] = {{PlantMoEdit, PlantDayEdit}, {HarvestMoEdit, HarvestDayEdit}};
    for (const auto& [mo, day] : dates)
        for (TDBNumEdit* e : {mo, day})
            connect(e, &TNumEdit::exited, this, [mo = mo, day = day] { keepDayInMonth(mo, day); });

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

} // namespace quen::cropprog
