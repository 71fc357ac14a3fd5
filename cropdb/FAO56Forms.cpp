#include "FAO56Forms.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <initializer_list>

#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "Help.h"
#include "KcCalculation.h"
#include "MessageService.h"
#include "Placement.h"

namespace quen::cropprog {

static QPushButton* pushButton(const char* name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

static TDBText* valueText(TDataSource* ds, const char* field, QWidget* parent)
{
    auto* t = new TDBText(ds, QLatin1String(field), parent);
    t->setFrameShape(QFrame::Panel);
    t->setFrameShadow(QFrame::Sunken);
    t->setMinimumWidth(60);
    return t;
}

static void editIfBrowsing(TTable* t)
{
    if (t->isOpen() && t->state() == TTable::State::Browse) t->edit();
}

static void postIfEditing(TTable* t)
{
    if (t->isOpen() && t->state() != TTable::State::Browse) t->post();
}

// The two pickers of a curve's figures: a grid over the source table, a row
// of captioned values of the current record, then "Use This Data" and
// "Cancel" (Cancel rejects; the caller connects Use and a double click).
struct PickedValue { const char* caption; const char* field; };

static TDBGrid* layOutPicker(QDialog* d, TDataSource* ds, const QString& column, const QString& title, int width,
                             const std::array<PickedValue, 5>& values, QPushButton*& useBtn, QPushButton*& cancelBtn)
{
    auto* v = new QVBoxLayout(d);
    auto* grid = new TDBGrid(d);
    grid->setDataSource(ds);
    grid->addColumn(column, title, width);
    v->addWidget(grid);
    auto* g = new QGridLayout;
    for (int i = 0; i < int(values.size()); ++i) {
        g->addWidget(new QLabel(QLatin1String(values[i].caption), d), 0, i);
        g->addWidget(valueText(ds, values[i].field, d), 1, i);
    }
    v->addLayout(g);
    auto* h = new QHBoxLayout;
    h->addStretch();
    useBtn = pushButton("UseBtn", QStringLiteral("Use This Data"), d);
    cancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), d);
    h->addWidget(useBtn);
    h->addWidget(cancelBtn);
    v->addLayout(h);
    QObject::connect(cancelBtn, &QPushButton::clicked, d, &QDialog::reject);
    if (ds->dataSet()->isOpen()) ds->dataSet()->first();
    return grid;
}

// Copies the picked record's figures and its name into the FAO curve.
static void copyPicked(TTable* src, std::initializer_list<const char*> fields, const char* nameField,
                       const char* srcNameField)
{
    TTable* c = DMod->tblFAOcurv;
    if (!src->isOpen() || src->isEmpty()) return;
    editIfBrowsing(c);
    for (const char* f : fields)
        c->field(QLatin1String(f)).setValue(src->field(QLatin1String(f)).value());
    c->field(QLatin1String(nameField)).setAsString(src->field(QLatin1String(srcNameField)).asString());
}

// ---------------------------------------------------------------------------
// TFAO56CropsForm

TFAO56CropsForm::TFAO56CropsForm(QWidget* parent)
    : TCurveEditorBase(QStringLiteral("FAO56CropsForm"), QStringLiteral("Review or Edit Kc Curves - FAO 56 Crops"),
                       DMod->datFAOcurv, QStringLiteral("CropCurveName"), QStringLiteral("Crop Curve Name"),
                       DMod->qryMarkFAOCurv->sqlText(), parent)
{
    TDataSource* ds = DMod->datFAOcurv;
    setHelpContext(this, 19106);
    Editor->setReeditAfterMark(true);
    FileMenu->addAction(QStringLiteral("Print Curve List"), this, [this] { PrintCurveListClick(); });
    FileMenu->addSeparator();
    FileMenu->addAction(QStringLiteral("Close"), this, [this] { close(); });
    QMenu* defaults = MenuBar->addMenu(QStringLiteral("&Defaults"));
    defaults->addAction(QStringLiteral("Local Default Values (FAO 56 Curves)"), this, [this] { DefaultsClick(); });
    addHelpMenu(MenuBar, this);

    auto* v = new QVBoxLayout(body());
    v->setContentsMargins(0, 0, 0, 0);
    auto* nameRow = new QFormLayout;
    CurveNameEdit = new TDBEdit(ds, QStringLiteral("CropCurveName"), body());
    CurveNameEdit->setObjectName(QStringLiteral("CurveNameEdit"));
    installEnterMovesFocus(CurveNameEdit);
    nameRow->addRow(QStringLiteral("Crop Curve Name"), CurveNameEdit);
    v->addLayout(nameRow);

    auto* t12 = new QGroupBox(QStringLiteral("FAO 56 Table 12 values"), body());
    auto* g = new QGridLayout(t12);
    g->addWidget(new QLabel(QStringLiteral("Table 12 crop"), t12), 0, 0);
    g->addWidget(valueText(ds, "FAOCropName", t12), 0, 1, 1, 5);
    const char* kc[][2] = {{"Kc ini", "Kcini"}, {"Kc mid", "Kcmid"}, {"Kc end", "Kcend"}};
    for (int i = 0; i < 3; ++i) {
        g->addWidget(new QLabel(QLatin1String(kc[i][0]), t12), 1, 2 * i);
        g->addWidget(valueText(ds, kc[i][1], t12), 1, 2 * i + 1);
    }
    g->addWidget(new QLabel(QStringLiteral("Max Crop Ht (m)"), t12), 2, 0);
    g->addWidget(valueText(ds, "MaxHeightM", t12), 2, 1);
    g->addWidget(new QLabel(QStringLiteral("Max Crop Ht (ft)"), t12), 2, 2);
    g->addWidget(valueText(ds, "MaxHeightF", t12), 2, 3);
    GetKcDataBtn = pushButton("GetKcDataBtn", QStringLiteral("Get Kc Data"), t12);
    g->addWidget(GetKcDataBtn, 2, 4, 1, 2);
    v->addWidget(t12);

    auto* growth = new QGroupBox(QStringLiteral("Growth stages"), body());
    auto* gg = new QGridLayout(growth);
    gg->addWidget(new QLabel(QStringLiteral("Taken from"), growth), 0, 0);
    gg->addWidget(valueText(ds, "NEH2CropType", growth), 0, 1, 1, 5);
    const char* fs[][2] = {{"Fs1", "Fs1"}, {"Fs2", "Fs2"}, {"Fs3", "Fs3"}};
    for (int i = 0; i < 3; ++i) {
        gg->addWidget(new QLabel(QLatin1String(fs[i][0]), growth), 1, 2 * i);
        gg->addWidget(valueText(ds, fs[i][1], growth), 1, 2 * i + 1);
    }
    gg->addWidget(new QLabel(QStringLiteral("Days Min."), growth), 2, 0);
    gg->addWidget(valueText(ds, "DaysMin", growth), 2, 1);
    gg->addWidget(new QLabel(QStringLiteral("Days Max."), growth), 2, 2);
    gg->addWidget(valueText(ds, "DaysMax", growth), 2, 3);
    GetNEHBtn = pushButton("GetNEHBtn", QStringLiteral("Get Growth Timing Data (NEH)"), growth);
    GetFAO11Btn = pushButton("GetFAO11Btn", QStringLiteral("Get Growth Timing Data (FAO56)"), growth);
    gg->addWidget(GetNEHBtn, 3, 0, 1, 3);
    gg->addWidget(GetFAO11Btn, 3, 3, 1, 3);
    v->addWidget(growth);

    auto* res = new QGroupBox(QStringLiteral("Curve Kc values"), body());
    auto* rg = new QGridLayout(res);
    const char* kr[][2] = {{"Kcb", "Kcb"}, {"Kcp", "Kcp"}, {"Kcm", "Kcm"}};
    for (int i = 0; i < 3; ++i) {
        rg->addWidget(new QLabel(QLatin1String(kr[i][0]), res), 0, 2 * i);
        rg->addWidget(valueText(ds, kr[i][1], res), 0, 2 * i + 1);
    }
    auto* use = new TDBCheckBox(ds, QStringLiteral("UseFAO5612"), QStringLiteral("FAO 56, Ch 12 Kc values used"), res);
    use->setDataReadOnly(true);
    rg->addWidget(use, 1, 0, 1, 4);
    KcCalcBtn = pushButton("KcCalcBtn", QStringLiteral("Final Data Entry and Kc Computations"), res);
    rg->addWidget(KcCalcBtn, 2, 0, 1, 6);
    v->addWidget(res);
    v->addStretch();

    // The Table 11 copy writes into the curve row as well, so it too waits
    // for edit mode.
    for (QWidget* w : {static_cast<QWidget*>(GetKcDataBtn), static_cast<QWidget*>(GetNEHBtn),
                       static_cast<QWidget*>(GetFAO11Btn), static_cast<QWidget*>(KcCalcBtn)})
        Editor->addEditModeWidget(w);
    connect(GetKcDataBtn, &QPushButton::clicked, this, [this] { GetKcDataBtnClick(); });
    connect(GetNEHBtn, &QPushButton::clicked, this, [this] { GetNEHBtnClick(); });
    connect(GetFAO11Btn, &QPushButton::clicked, this, [this] { GetFAO11BtnClick(); });
    connect(KcCalcBtn, &QPushButton::clicked, this, [this] { KcCalcBtnClick(); });
    resize(900, 600);
}

void TFAO56CropsForm::FormShow()
{
    for (TTable* t : {DMod->tblFAOcurv, DMod->tblFAO56Tbl, DMod->tblAnType})
        if (!t->isOpen()) t->open();
    TCurveEditorBase::FormShow();
}

void TFAO56CropsForm::FormClose()
{
    TCurveEditorBase::FormClose();
    for (TTable* t : {DMod->tblFAOcurv, DMod->tblFAO56Tbl, DMod->tblAnType}) t->close();
}

void TFAO56CropsForm::InsertBtnClick()
{
    TTable* t = table();
    t->append();
    t->field(QStringLiteral("UseFAO5612")).setAsBoolean(false);
    CurveNameEdit->setFocus();
}

void TFAO56CropsForm::MarkBtnClick()
{
    Editor->markCurrent();
}

void TFAO56CropsForm::GetKcDataBtnClick()
{
    TGetCropName dlg(this);
    runModal(dlg);
}

void TFAO56CropsForm::GetNEHBtnClick()
{
    TGetCropType dlg(this);
    runModal(dlg);
}

void TFAO56CropsForm::GetFAO11BtnClick()
{
    TTable* t11 = DMod->tblFAOTbl11;
    if (!t11->isOpen()) t11->open();
    QVariantMap chosen;
    {
        TFAOTable11data dlg(this);
        connect(t11, &TTable::beforeClose, &dlg, [&] {
            if (!t11->isEmpty())
                for (const char* f : {"Fs1", "Fs2", "Fs3", "MinDays", "MaxDays", "CropName"})
                    chosen[QLatin1String(f)] = t11->field(QLatin1String(f)).value();
        });
        runModal(dlg);
        if (t11->isOpen() && !t11->isEmpty() && chosen.isEmpty())
            for (const char* f : {"Fs1", "Fs2", "Fs3", "MinDays", "MaxDays", "CropName"})
                chosen[QLatin1String(f)] = t11->field(QLatin1String(f)).value();
    }
    t11->close();
    if (chosen.isEmpty()) return;
    TTable* c = table();
    editIfBrowsing(c);
    c->field(QStringLiteral("Fs1")).setValue(chosen.value(QStringLiteral("Fs1")));
    c->field(QStringLiteral("Fs2")).setValue(chosen.value(QStringLiteral("Fs2")));
    c->field(QStringLiteral("Fs3")).setValue(chosen.value(QStringLiteral("Fs3")));
    c->field(QStringLiteral("DaysMin")).setValue(chosen.value(QStringLiteral("MinDays")));
    c->field(QStringLiteral("DaysMax")).setValue(chosen.value(QStringLiteral("MaxDays")));
    c->field(QStringLiteral("NEH2CropType")).setValue(chosen.value(QStringLiteral("CropName")));
}

void TFAO56CropsForm::KcCalcBtnClick()
{
    TTable* c = table();
    if (c->isEmpty() && c->state() == TTable::State::Browse) return;
    TKcCalculateForm dlg(this);
    runModal(dlg);
}

void TFAO56CropsForm::PrintCurveListClick()
{
    previewReport(prepareFAOCurveList(*table()), this);
}

void TFAO56CropsForm::DefaultsClick()
{
    TDefLocDlg dlg(this);
    runModal(dlg);
}

// ---------------------------------------------------------------------------
// TGetCropName

TGetCropName::TGetCropName(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GetCropName"));
    setWindowTitle(QStringLiteral("Get Crop Kc Data (FAO 56 Table 12)"));
    setHelpContext(this, 19106);
    CropGrid = layOutPicker(this, DMod->datFAO56Tbl, QStringLiteral("CropName"), QStringLiteral("Crop Name"), 420,
                            {{{"Kc ini", "Kcini"}, {"Kc mid", "Kcmid"}, {"Kc end", "Kcend"},
                              {"Max Ht (m)", "MaxHeightM"}, {"Max Ht (ft)", "MaxHeightF"}}},
                            UseBtn, CancelBtn);
    connect(UseBtn, &QPushButton::clicked, this, [this] { UseBtnClick(); });
    connect(CropGrid, &TDBGrid::rowDoubleClicked, this, [this] { UseBtnClick(); });
    resize(520, 480);
}

void TGetCropName::UseBtnClick()
{
    copyPicked(DMod->tblFAO56Tbl, {"Kcini", "Kcmid", "Kcend", "MaxHeightM", "MaxHeightF"}, "FAOCropName", "CropName");
    accept();
}

// ---------------------------------------------------------------------------
// TGetCropType

TGetCropType::TGetCropType(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GetCropType"));
    setWindowTitle(QStringLiteral("Get Crop Growth Data"));
    setHelpContext(this, 19106);
    TypeGrid = layOutPicker(this, DMod->datAnType, QStringLiteral("Crop Type"), QStringLiteral("Crop Type"), 300,
                            {{{"Fs1", "Fs1"}, {"Fs2", "Fs2"}, {"Fs3", "Fs3"}, {"Days Min.", "DaysMin"},
                              {"Days Max.", "DaysMax"}}},
                            UseBtn, CancelBtn);
    connect(UseBtn, &QPushButton::clicked, this, [this] { UseBtnClick(); });
    connect(TypeGrid, &TDBGrid::rowDoubleClicked, this, [this] { UseBtnClick(); });
    resize(440, 420);
}

void TGetCropType::UseBtnClick()
{
    copyPicked(DMod->tblAnType, {"Fs1", "Fs2", "Fs3", "DaysMin", "DaysMax"}, "NEH2CropType", "Crop Type");
    accept();
}

// ---------------------------------------------------------------------------
// TFAOTable11data

TFAOTable11data::TFAOTable11data(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FAOTable11data"));
    setWindowTitle(QStringLiteral("FAOTable11 Crop Development Stages"));
    setHelpContext(this, 19108);
    TDataSource* ds = DMod->datFAOTbl11;
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    CropGrid = new TDBGrid(this);
    CropGrid->setDataSource(ds);
    CropGrid->addColumn(QStringLiteral("CropName"), QStringLiteral("Crop Curve Name"), 260);
    CropGrid->setMinimumWidth(280);
    top->addWidget(CropGrid, 1);
    auto* f = new QFormLayout;
    CropNameEdit = new TDBEdit(ds, QStringLiteral("CropName"), this);
    RegionEdit = new TDBEdit(ds, QStringLiteral("Region"), this);
    PlantDateEdit = new TDBEdit(ds, QStringLiteral("PlantDate"), this);
    f->addRow(QStringLiteral("Crop Name"), CropNameEdit);
    f->addRow(QStringLiteral("Region"), RegionEdit);
    f->addRow(QStringLiteral("Plant Date"), PlantDateEdit);
    auto num = [&](const char* field) {
        auto* e = new TDBNumEdit(ds, QLatin1String(field), QStringLiteral("###"), 0, 0, this);
        e->setMaximumWidth(80);
        return e;
    };
    LiniEdit = num("Lini");
    LdevEdit = num("Ldev");
    LmidEdit = num("Lmid");
    LlateEdit = num("Llate");
    TotalDaysEdit = num("TotalDays");
    MinDaysEdit = num("MinDays");
    MaxDaysEdit = num("MaxDays");
    f->addRow(QStringLiteral("Lini"), LiniEdit);
    f->addRow(QStringLiteral("Ldev"), LdevEdit);
    f->addRow(QStringLiteral("Lmid"), LmidEdit);
    f->addRow(QStringLiteral("Llate"), LlateEdit);
    f->addRow(QStringLiteral("Total Days"), TotalDaysEdit);
    f->addRow(QStringLiteral("Min Days"), MinDaysEdit);
    f->addRow(QStringLiteral("Max Days"), MaxDaysEdit);
    Fs1Text = valueText(ds, "Fs1", this);
    Fs2Text = valueText(ds, "Fs2", this);
    Fs3Text = valueText(ds, "Fs3", this);
    f->addRow(QStringLiteral("Fs1"), Fs1Text);
    f->addRow(QStringLiteral("Fs2"), Fs2Text);
    f->addRow(QStringLiteral("Fs3"), Fs3Text);
    top->addLayout(f, 1);
    v->addLayout(top);
    Navigator = new TDBNavigator(TDBNavigator::Full, this);
    Navigator->setDataSource(ds);
    v->addWidget(Navigator);
    auto* h = new QHBoxLayout;
    CalcBtn = pushButton("CalcBtn", QStringLiteral("Calculate This Crop"), this);
    ListBtn = pushButton("ListBtn", QStringLiteral("List"), this);
    OKBtn = pushButton("OKBtn", QStringLiteral("OK"), this);
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), this);
    HelpBtn = pushButton("HelpBtn", QStringLiteral("Help"), this);
    for (QPushButton* b : {CalcBtn, ListBtn}) h->addWidget(b);
    h->addStretch();
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) h->addWidget(b);
    v->addLayout(h);
    connect(CalcBtn, &QPushButton::clicked, this, [this] { CalcBtnClick(); });
    connect(ListBtn, &QPushButton::clicked, this, [this] { ListBtnClick(); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19108); });
    // Leaving a field posts a pending edit.
    auto post = [] { postIfEditing(DMod->tblFAOTbl11); };
    for (TDBEdit* e : {CropNameEdit, RegionEdit, PlantDateEdit}) {
        installEnterMovesFocus(e);
        connect(e, &TDBEdit::exited, this, post);
    }
    for (TDBNumEdit* e : {LiniEdit, LdevEdit, LmidEdit, LlateEdit, TotalDaysEdit, MinDaysEdit, MaxDaysEdit})
        connect(e, &TNumEdit::exited, this, post);
    resize(760, 520);
}

void TFAOTable11data::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TFAOTable11data::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TFAOTable11data::FormShow()
{
    TTable* t = DMod->tblFAOTbl11;
    if (!t->isOpen()) t->open();
    CropGrid->setFocus();
}

void TFAOTable11data::FormClose()
{
    TTable* t = DMod->tblFAOTbl11;
    postIfEditing(t);
    t->close();
}

void TFAOTable11data::CalcBtnClick()
{
    TTable* t = DMod->tblFAOTbl11;
    if (!t->isOpen() || (t->isEmpty() && t->state() == TTable::State::Browse)) return;
    auto f = [t](const char* n) { return t->field(QLatin1String(n)).asFloat(); };
    const double lini = f("Lini"), ldev = f("Ldev"), lmid = f("Lmid"), llate = f("Llate"), total = f("TotalDays");
    if (std::abs(total - (lini + ldev + lmid + llate)) > 1e-9)
        showWarning(QStringLiteral("Lini+Ldev+Lmid+Llate must = TotalDays!"));
    const auto fs = stageFractions(lini, ldev, lmid, total);
    if (!fs) {
        showError(QStringLiteral("TotalDays must be greater than 0; the fractions were not calculated."));
        return;
    }
    editIfBrowsing(t);
    t->field(QStringLiteral("Fs1")).setAsFloat(fixedText(fs->fs1, 2).toDouble());
    t->field(QStringLiteral("Fs2")).setAsFloat(fixedText(fs->fs2, 2).toDouble());
    t->field(QStringLiteral("Fs3")).setAsFloat(fixedText(fs->fs3, 2).toDouble());
    t->post();
}

void TFAOTable11data::ListBtnClick()
{
    previewReport(prepareTable11List(*DMod->tblFAOTbl11), this);
}

// ---------------------------------------------------------------------------
// TKcCalculateForm

TKcCalculateForm::TKcCalculateForm(TFAO56CropsForm* owner) : QDialog(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("KcCalculateForm"));
    setWindowTitle(QStringLiteral("Calculate Kc based on FAO 56, Chapter 6"));
    setHelpContext(this, 19107);
    TDataSource* ds = DMod->datFAOcurv;
    auto num = [&](const char* field, const char* pic, QWidget* parent) {
        auto* e = new TDBNumEdit(ds, QLatin1String(field), QLatin1String(pic), 0, 0, parent);
        e->setMaximumWidth(80);
        return e;
    };
    auto* v = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Crop Curve Name"), this));
    CurveNameText = valueText(ds, "CropCurveName", this);
    head->addWidget(CurveNameText, 1);
    v->addLayout(head);

    auto* cols = new QHBoxLayout;
    InitialGroup = new QGroupBox(QStringLiteral("Initial Season Stage"), this);
    auto* ig = new QGridLayout(InitialGroup);
    WettingDaysEdit = num("WettingDays", "##.#", InitialGroup);
    EToEdit = num("ETo", "###.#", InitialGroup);
    ETOinEdit = num("EToin", "##.##", InitialGroup);
    AppEdit = num("App", "###.#", InitialGroup);
    AppinEdit = num("Appin", "##.##", InitialGroup);
    FwEdit = num("Fw", "#.##", InitialGroup);
    ig->addWidget(new QLabel(QStringLiteral("Days between wettings"), InitialGroup), 0, 0);
    ig->addWidget(WettingDaysEdit, 0, 1);
    ig->addWidget(new QLabel(QStringLiteral("days"), InitialGroup), 0, 2);
    ig->addWidget(new QLabel(QStringLiteral("Estimated ETo"), InitialGroup), 1, 0);
    ig->addWidget(EToEdit, 1, 1);
    ig->addWidget(new QLabel(QStringLiteral("mm/day"), InitialGroup), 1, 2);
    ig->addWidget(ETOinEdit, 1, 3);
    ig->addWidget(new QLabel(QStringLiteral("in/day"), InitialGroup), 1, 4);
    ig->addWidget(new QLabel(QStringLiteral("Irrigation depth per application"), InitialGroup), 2, 0);
    ig->addWidget(AppEdit, 2, 1);
    ig->addWidget(new QLabel(QStringLiteral("mm"), InitialGroup), 2, 2);
    ig->addWidget(AppinEdit, 2, 3);
    ig->addWidget(new QLabel(QStringLiteral("in"), InitialGroup), 2, 4);
    ig->addWidget(new QLabel(QStringLiteral("Fraction wetted (fw)"), InitialGroup), 3, 0);
    ig->addWidget(FwEdit, 3, 1);
    EToRadio = new TRadioGroup(QStringLiteral("Estimated ETo"),
                               {"Low         (1-3 mm/day)", "Moderate (3-5 mm/day)", "High         (5-7 mm/day)",
                                "Very high  (> 7 mm/day)"},
                               InitialGroup);
    FwRadio = new TRadioGroup(QStringLiteral("Soil surface, fraction wetted (fw)"),
                              {"Precip., Sprinkler irr, Basin irr, Border irr (1.0)",
                               "Furrow irr (every furrow), narrow bed  (0.6 -- 1.0)",
                               "Furrow irr (every furrow, wide bed (0.4 -- 0.6)",
                               "Furrow irr (alternated furrows)  (0.3 -- 0.5)", "Trickle irrigation  (0.3 -- 0.4)"},
                              InitialGroup);
    ig->addWidget(EToRadio, 4, 0, 1, 5);
    ig->addWidget(FwRadio, 5, 0, 1, 5);
    cols->addWidget(InitialGroup);

    auto* right = new QVBoxLayout;
    MidGroup = new QGroupBox(QStringLiteral("Mid Season Stage"), this);
    auto* mg = new QGridLayout(MidGroup);
    U2Edit = num("U2", "###.#", MidGroup);
    U2inEdit = num("U2in", "##.##", MidGroup);
    RHMinEdit = num("RHMin", "###.#", MidGroup);
    mg->addWidget(new QLabel(QStringLiteral("Wind speed u2"), MidGroup), 0, 0);
    mg->addWidget(U2Edit, 0, 1);
    mg->addWidget(new QLabel(QStringLiteral("m/s"), MidGroup), 0, 2);
    mg->addWidget(U2inEdit, 0, 3);
    mg->addWidget(new QLabel(QStringLiteral("mph"), MidGroup), 0, 4);
    mg->addWidget(new QLabel(QStringLiteral("RHmin"), MidGroup), 1, 0);
    mg->addWidget(RHMinEdit, 1, 1);
    mg->addWidget(new QLabel(QStringLiteral("%"), MidGroup), 1, 2);
    WindRadio = new TRadioGroup(QStringLiteral("Value of daily mean wind speed (mid season)"),
                                {"Light wind                        1 m/s  (2.2 mph)",
                                 "Light to moderate wind     2 m/s  (4.5 mph)",
                                 "Moderate to strong wind   4 m/s  (9.0 mph)",
                                 "Strong wind                       5 m/s  (11.2 mph)"},
                                MidGroup);
    RHRadio = new TRadioGroup(QStringLiteral("Values of mean RHmin (mid season)"),
                              {"Arid            (20%)       (RHmean 45%)", "Semi-arid    (30%)       (RHmean 55%)",
                               "Sub-humid  (45%)       (RHmean 70%)", "Humid         (70%)       (RHmean 85%)",
                               "Very humid  (80%)       (RHmean 90%)"},
                              MidGroup);
    mg->addWidget(WindRadio, 2, 0, 1, 5);
    mg->addWidget(RHRadio, 3, 0, 1, 5);
    right->addWidget(MidGroup);
    SoilGroup = new QGroupBox(QStringLiteral("Soil"), this);
    auto* sg = new QHBoxLayout(SoilGroup);
    SoilRadio = new TRadioGroup(QStringLiteral("Soil Texture"), {"Coarse soil texture", "Medium and fine soil texture"},
                                SoilGroup);
    STextEdit = new TDBEdit(ds, QStringLiteral("SText"), SoilGroup);
    STextEdit->setMaxLength(5);
    STextEdit->setMaximumWidth(70);
    installEnterMovesFocus(STextEdit);
    sg->addWidget(SoilRadio);
    sg->addWidget(STextEdit);
    right->addWidget(SoilGroup);
    cols->addLayout(right);
    v->addLayout(cols);

    auto* kc = new QGroupBox(QStringLiteral("Kc values"), this);
    auto* kg = new QGridLayout(kc);
    kg->addWidget(new QLabel(QStringLiteral("FAO 56 Table 12"), kc), 1, 0);
    kg->addWidget(new QLabel(QStringLiteral("Adjusted"), kc), 2, 0);
    KciniText = valueText(ds, "Kcini", kc);
    KcmidText = valueText(ds, "Kcmid", kc);
    KcendText = valueText(ds, "Kcend", kc);
    KcbEdit = num("Kcb", "##.##", kc);
    KcpEdit = num("Kcp", "##.##", kc);
    KcmEdit = num("Kcm", "##.##", kc);
    const char* heads[] = {"Kc ini  (Kcb)", "Kc mid  (Kcp)", "Kc end  (Kcm)"};
    QWidget* top[] = {KciniText, KcmidText, KcendText};
    QWidget* bottom[] = {KcbEdit, KcpEdit, KcmEdit};
    for (int i = 0; i < 3; ++i) {
        kg->addWidget(new QLabel(QLatin1String(heads[i]), kc), 0, i + 1);
        kg->addWidget(top[i], 1, i + 1);
        kg->addWidget(bottom[i], 2, i + 1);
    }
    CalcBtn = pushButton("CalcBtn", QStringLiteral("Calculate adjusted  Kc values"), kc);
    UseFAOBtn = pushButton("UseFAOBtn", QStringLiteral("Use FAO 56, Ch 12 Kc values"), kc);
    kg->addWidget(CalcBtn, 0, 4);
    kg->addWidget(UseFAOBtn, 2, 4);
    v->addWidget(kc);

    auto* h = new QHBoxLayout;
    h->addStretch();
    OKBtn = pushButton("OKBtn", QStringLiteral("OK"), this);
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), this);
    HelpBtn = pushButton("HelpBtn", QStringLiteral("Help"), this);
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) h->addWidget(b);
    v->addLayout(h);

    connect(CalcBtn, &QPushButton::clicked, this, [this] { CalcBtnClick(); });
    connect(UseFAOBtn, &QPushButton::clicked, this, [this] { UseFAOBtnClick(); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19107); });
    connect(EToRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("ETo", QStringList{"2", "4", "6", "8"}.value(i));
    });
    connect(FwRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("Fw", QStringList{"1.0", "0.7", "0.5", "0.4", "0.35"}.value(i));
    });
    connect(WindRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("U2", QStringList{"1", "2", "4", "5"}.value(i));
    });
    connect(RHRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("RHMin", QStringList{"20", "30", "45", "70", "80"}.value(i));
    });
    connect(SoilRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("SText", QStringList{"CT", "MFT"}.value(i));
    });
    connect(EToEdit, &TNumEdit::exited, this, [this] { metricExit("ETo", "EToin", 0.03936996); });
    connect(AppEdit, &TNumEdit::exited, this, [this] { metricExit("App", "Appin", 0.03936996); });
    connect(U2Edit, &TNumEdit::exited, this, [this] { metricExit("U2", "U2in", 2.236936); });
    connect(RHMinEdit, &TNumEdit::exited, this, [this] { showPresets(); });
    connect(FwEdit, &TNumEdit::exited, this, [this] { showPresets(); });
    connect(STextEdit, &TDBEdit::exited, this, [this] { showPresets(); });
    connect(ETOinEdit, &TNumEdit::exited, this, [this] { imperialExit("EToin", "ETo", 25.4, 1); });
    connect(AppinEdit, &TNumEdit::exited, this, [this] { imperialExit("Appin", "App", 25.4, 2); });
    connect(U2inEdit, &TNumEdit::exited, this, [this] { imperialExit("U2in", "U2", 0.44704, 2); });
    resize(sizeHint().expandedTo(QSize(980, 640)));
}

void TKcCalculateForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TKcCalculateForm::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TKcCalculateForm::FormShow()
{
    fitWindowToScreen(this);
    TTable* def = DMod->tblLocDef;
    if (!def->isOpen()) def->open();
    def->first();
    editIfBrowsing(def);
    TTable* c = DMod->tblFAOcurv;
    editIfBrowsing(c);
    if (c->field(QStringLiteral("WettingDays")).asFloat() != 0) {
        showInfo(QStringLiteral("Pevious data shown in the following dialog. Make changes as needed."));
    } else if (copyLocalDefaults(*def, *c)) {
        showInfo(QStringLiteral("Default values have been set in the following dialog. Make changes as needed."));
    }
    WettingDaysEdit->setFocus();
    setGroupsEnabled(!c->field(QStringLiteral("UseFAO5612")).asBoolean());
    showPresets();
}

// The presets show the stored values they match (none when typed values differ).
void TKcCalculateForm::showPresets()
{
    TTable* c = DMod->tblFAOcurv;
    if (!c->isOpen()) return;
    auto select = [c](TRadioGroup* g, const char* field, const QList<double>& values) {
        const double v = c->field(QLatin1String(field)).asFloat();
        int index = -1;
        for (int i = 0; i < values.size(); ++i)
            if (std::abs(values[i] - v) < 1e-9) index = i;
        g->setItemIndex(index);
    };
    select(EToRadio, "ETo", {2, 4, 6, 8});
    select(FwRadio, "Fw", {1.0, 0.7, 0.5, 0.4, 0.35});
    select(WindRadio, "U2", {1, 2, 4, 5});
    select(RHRadio, "RHMin", {20, 30, 45, 70, 80});
    SoilRadio->setItemIndex(int(QStringList{"CT", "MFT"}.indexOf(c->field(QStringLiteral("SText")).asString().trimmed())));
}

void TKcCalculateForm::setGroupsEnabled(bool on)
{
    for (QGroupBox* g : {InitialGroup, MidGroup, SoilGroup}) g->setEnabled(on);
}

void TKcCalculateForm::reedit()
{
    editIfBrowsing(DMod->tblFAOcurv);
}

void TKcCalculateForm::presetClick(const char* field, const QString& value)
{
    TTable* c = DMod->tblFAOcurv;
    editIfBrowsing(c);
    if (QLatin1String(field) == QLatin1String("SText")) {
        c->field(QStringLiteral("SText")).setAsString(value);
    } else {
        c->field(QLatin1String(field)).setAsFloat(value.toDouble());
        // The wind and ETo presets carry their imperial twins along.
        if (QLatin1String(field) == QLatin1String("U2"))
            c->field(QStringLiteral("U2in")).setAsFloat(fixedText(value.toDouble() * 2.236936, 2).toDouble());
        if (QLatin1String(field) == QLatin1String("ETo"))
            c->field(QStringLiteral("EToin")).setAsFloat(fixedText(value.toDouble() * 0.03936996, 2).toDouble());
    }
    c->post();
    reedit();
}

void TKcCalculateForm::metricExit(const char* metric, const char* imperial, double factor)
{
    TTable* c = DMod->tblFAOcurv;
    if (!c->isOpen() || c->field(QLatin1String(metric)).isNull()) return;
    editIfBrowsing(c);
    c->field(QLatin1String(imperial)).setAsFloat(fixedText(c->field(QLatin1String(metric)).asFloat() * factor, 2).toDouble());
    showPresets();
}

void TKcCalculateForm::imperialExit(const char* imperial, const char* metric, double factor, int decimals)
{
    TTable* c = DMod->tblFAOcurv;
    if (!c->isOpen() || c->field(QLatin1String(imperial)).isNull()) return;
    editIfBrowsing(c);
    c->field(QLatin1String(metric))
        .setAsFloat(fixedText(c->field(QLatin1String(imperial)).asFloat() * factor, decimals).toDouble());
    showPresets();
}

void TKcCalculateForm::CalcBtnClick()
{
    setGroupsEnabled(true);
    calculateCurveKc(*DMod->tblFAOcurv);
    reedit();
}

void TKcCalculateForm::UseFAOBtnClick()
{
    setGroupsEnabled(false);
    useTable12Kc(*DMod->tblFAOcurv);
    reedit();
}

void TKcCalculateForm::FormClose()
{
    DMod->tblLocDef->close();
    TTable* c = DMod->tblFAOcurv;
    editIfBrowsing(c);
    c->field(QStringLiteral("FAOCropType")).setAsString(QStringLiteral("FAO 56, Table 12 crops"));
    c->post();
    c->edit();
}

// ---------------------------------------------------------------------------
// TFAO56tbl12DBdlg

TFAO56tbl12DBdlg::TFAO56tbl12DBdlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FAO56tbl12DBdlg"));
    setWindowTitle(QStringLiteral("FAO 56, Table 12 DB input"));
    setHelpContext(this, 19109);
    TDataSource* ds = DMod->datFAO56Tbl;
    auto* v = new QVBoxLayout(this);
    auto* f = new QFormLayout;
    CropNameEdit = new TDBEdit(ds, QStringLiteral("CropName"), this);
    CropDescripEdit = new TDBEdit(ds, QStringLiteral("CropDescrip"), this);
    auto num = [&](const char* field, const char* pic) {
        auto* e = new TDBNumEdit(ds, QLatin1String(field), QLatin1String(pic), 0, 0, this);
        e->setMaximumWidth(80);
        return e;
    };
    KciniEdit = num("Kcini", "#.##");
    KcmidEdit = num("Kcmid", "#.##");
    KcendEdit = num("Kcend", "#.##");
    MaxHeightMEdit = num("MaxHeightM", "##.##");
    MaxHeightFEdit = num("MaxHeightF", "##.##");
    f->addRow(QStringLiteral("Crop Name"), CropNameEdit);
    f->addRow(QStringLiteral("Crop Type"), CropDescripEdit);
    f->addRow(QStringLiteral("Kc ini"), KciniEdit);
    f->addRow(QStringLiteral("Kc mid"), KcmidEdit);
    f->addRow(QStringLiteral("Kc end"), KcendEdit);
    f->addRow(QStringLiteral("Max Crop Ht (m)"), MaxHeightMEdit);
    f->addRow(QStringLiteral("Max Crop Ht (ft)"), MaxHeightFEdit);
    v->addLayout(f);
    CropGrid = new TDBGrid(this);
    CropGrid->setDataSource(ds);
    CropGrid->addColumn(QStringLiteral("CropName"), QStringLiteral("Crop Name"), 360);
    CropGrid->addColumn(QStringLiteral("Kcini"), QStringLiteral("Kc ini"), 60);
    CropGrid->addColumn(QStringLiteral("Kcmid"), QStringLiteral("Kc mid"), 60);
    CropGrid->addColumn(QStringLiteral("Kcend"), QStringLiteral("Kc end"), 60);
    v->addWidget(CropGrid, 1);
    Navigator = new TDBNavigator(TDBNavigator::Full, this);
    Navigator->setDataSource(ds);
    v->addWidget(Navigator);
    auto* h = new QHBoxLayout;
    ListBtn = pushButton("ListBtn", QStringLiteral("List"), this);
    CloseBtn = pushButton("CloseBtn", QStringLiteral("&Close"), this);
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), this);
    HelpBtn = pushButton("HelpBtn", QStringLiteral("Help"), this);
    h->addWidget(ListBtn);
    h->addStretch();
    for (QPushButton* b : {CloseBtn, CancelBtn, HelpBtn}) h->addWidget(b);
    v->addLayout(h);
    connect(ListBtn, &QPushButton::clicked, this,
            [this] { previewReport(prepareTable12List(*DMod->tblFAO56Tbl), this); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, [this] {
        TTable* t = DMod->tblFAO56Tbl;
        if (t->isOpen() && t->state() != TTable::State::Browse) t->cancel();
        reject();
    });
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19109); });
    connect(Navigator, &TDBNavigator::clicked, this, [this] { CropDescripEdit->setFocus(); });
    auto post = [] { postIfEditing(DMod->tblFAO56Tbl); };
    for (TDBEdit* e : {CropNameEdit, CropDescripEdit}) {
        installEnterMovesFocus(e);
        connect(e, &TDBEdit::exited, this, post);
    }
    for (TDBNumEdit* e : {KciniEdit, KcmidEdit, KcendEdit}) connect(e, &TNumEdit::exited, this, post);
    connect(MaxHeightMEdit, &TNumEdit::exited, this, [this] { MaxHeightMExit(); });
    connect(MaxHeightFEdit, &TNumEdit::exited, this, [this] { MaxHeightFExit(); });
    resize(720, 600);
}

void TFAO56tbl12DBdlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TFAO56tbl12DBdlg::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TFAO56tbl12DBdlg::FormShow()
{
    if (!DMod->tblFAO56Tbl->isOpen()) DMod->tblFAO56Tbl->open();
    CropDescripEdit->setFocus();
}

void TFAO56tbl12DBdlg::FormClose()
{
    postIfEditing(DMod->tblFAO56Tbl);
    DMod->tblFAO56Tbl->close();
}

void TFAO56tbl12DBdlg::MaxHeightMExit()
{
    TTable* t = DMod->tblFAO56Tbl;
    if (!t->isOpen() || (t->isEmpty() && t->state() == TTable::State::Browse)) return;
    postIfEditing(t);
    t->edit();
    t->field(QStringLiteral("MaxHeightF"))
        .setAsFloat(fixedText(t->field(QStringLiteral("MaxHeightM")).asFloat() * 3.28083, 2).toDouble());
    Navigator->setFocus();
}

void TFAO56tbl12DBdlg::MaxHeightFExit()
{
    TTable* t = DMod->tblFAO56Tbl;
    if (!t->isOpen() || (t->isEmpty() && t->state() == TTable::State::Browse)) return;
    postIfEditing(t);
    t->edit();
    t->field(QStringLiteral("MaxHeightM"))
        .setAsFloat(fixedText(t->field(QStringLiteral("MaxHeightF")).asFloat() * 0.3048, 2).toDouble());
    Navigator->setFocus();
}

// ---------------------------------------------------------------------------
// TDefLocDlg

TDefLocDlg::TDefLocDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DefLocDlg"));
    setWindowTitle(QStringLiteral("Local Default Values (FAO 56 Curves)"));
    setHelpContext(this, 19110);
    TDataSource* ds = DMod->datLocDef;
    auto* v = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    auto radio = [&](const QString& title, const QStringList& items, const QStringList& values, const char* field) {
        auto* r = new TDBRadioGroup(title, this);
        r->setItems(items, values);
        r->setDataSource(ds);
        r->setFieldName(QLatin1String(field));
        return r;
    };
    auto edit = [&](const char* field) {
        auto* e = new TDBEdit(ds, QLatin1String(field), this);
        e->setMaximumWidth(80);
        installEnterMovesFocus(e);
        return e;
    };
    auto num = [&](const char* field, const char* pic) {
        auto* e = new TDBNumEdit(ds, QLatin1String(field), QLatin1String(pic), 0, 0, this);
        e->setMaximumWidth(80);
        return e;
    };
    EToRadio = radio(QStringLiteral("Estimated ETo"),
                     {"Low         (1-3 mm/day)", "Moderate (3-5 mm/day)", "High         (5-7 mm/day)",
                      "Very high  (> 7 mm/day)"},
                     {"2", "4", "6", "8"}, "ETo");
    FwRadio = radio(QStringLiteral("Soil surface, fraction wetted (fw)"),
                    {"Precip., Sprinkler irr, Basin irr, Border irr (1.0)",
                     "Furrow irr (every furrow), narrow bed  (0.6 -- 1.0)",
                     "Furrow irr (every furrow, wide bed (0.4 -- 0.6)", "Furrow irr (alternated furrows)  (0.3 -- 0.5)",
                     "Trickle irrigation  (0.3 -- 0.4)"},
                    {"1.0", "0.8", "0.5", "0.4", "0.35"}, "Fw");
    WindRadio = radio(QStringLiteral("Daily mean wind speed"),
                      {"Light wind                        1 m/s  (2.2 mph)", "Light to moderate wind     2 m/s  (4.5 mph)",
                       "Moderate to strong wind   4 m/s  (9.0 mph)", "Strong wind                       5 m/s  (11.2 mph)"},
                      {"1", "2", "4", "5"}, "U2");
    RHRadio = radio(QStringLiteral("Mean RHmin"),
                    {"Arid            (20%)       (RHmean 45%)", "Semi-arid    (30%)       (RHmean 55%)",
                     "Sub-humid  (45%)       (RHmean 70%)", "Humid         (70%)       (RHmean 85%)",
                     "Very humid  (80%)       (RHmean 90%)"},
                    {"20", "30", "45", "70", "80"}, "RHMin");
    SoilRadio = radio(QStringLiteral("Soil texture"), {"Coarse soil texture", "Medium and fine soil texture"},
                      {"CT", "MFT"}, "SText");
    WettingDaysEdit = edit("WettingDays");
    EToEdit = edit("ETo");
    AppEdit = edit("App");
    FwEdit = edit("Fw");
    U2Edit = edit("U2");
    RHMinEdit = edit("RHMin");
    STextEdit = edit("SText");
    EToinEdit = num("EToin", "##.##");
    AppinEdit = num("Appin", "##.##");
    U2inEdit = num("U2in", "##.##");

    auto* wet = new QFormLayout;
    wet->addRow(QStringLiteral("Days between wettings"), WettingDaysEdit);
    wet->addRow(QStringLiteral("Irrigation depth per application (mm)"), AppEdit);
    wet->addRow(QStringLiteral("Irrigation depth per application (in)"), AppinEdit);
    g->addLayout(wet, 0, 0, 1, 2);
    auto pair = [&](int row, int col, QWidget* group, QWidget* e1, const QString& u1, QWidget* e2 = nullptr,
                    const QString& u2 = QString()) {
        g->addWidget(group, row, col * 2);
        auto* f = new QFormLayout;
        f->addRow(u1, e1);
        if (e2) f->addRow(u2, e2);
        g->addLayout(f, row, col * 2 + 1);
    };
    pair(1, 0, EToRadio, EToEdit, QStringLiteral("mm/day"), EToinEdit, QStringLiteral("in/day"));
    pair(1, 1, WindRadio, U2Edit, QStringLiteral("m/s"), U2inEdit, QStringLiteral("mph"));
    pair(2, 0, FwRadio, FwEdit, QStringLiteral("fw"));
    pair(2, 1, RHRadio, RHMinEdit, QStringLiteral("%"));
    pair(3, 0, SoilRadio, STextEdit, QStringLiteral("code"));
    v->addLayout(g);
    auto* h = new QHBoxLayout;
    h->addStretch();
    OKBtn = pushButton("OKBtn", QStringLiteral("OK"), this);
    OKBtn->setToolTip(QStringLiteral("Save changes and return to main"));
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), this);
    h->addWidget(OKBtn);
    h->addWidget(CancelBtn);
    v->addLayout(h);
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    connect(EToEdit, &TDBEdit::exited, this, [this] { metricExit("ETo", "EToin", 0.03936996); });
    connect(AppEdit, &TDBEdit::exited, this, [this] { metricExit("App", "Appin", 0.03936996); });
    connect(U2Edit, &TDBEdit::exited, this, [this] { metricExit("U2", "U2in", 2.236936); });
    connect(EToRadio, &TDBRadioGroup::changed, this, [this] { metricExit("ETo", "EToin", 0.03936996); });
    connect(WindRadio, &TDBRadioGroup::changed, this, [this] { metricExit("U2", "U2in", 2.236936); });
    connect(EToinEdit, &TNumEdit::exited, this, [this] { imperialExit("EToin", "ETo", 25.4, 1); });
    connect(AppinEdit, &TNumEdit::exited, this, [this] { imperialExit("Appin", "App", 25.4, 1); });
    connect(U2inEdit, &TNumEdit::exited, this, [this] { imperialExit("U2in", "U2", 0.44704, 2); });
    resize(sizeHint().expandedTo(QSize(940, 560)));
}

void TDefLocDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TDefLocDlg::done(int r)
{
    // The close box cancels like "Cancel".
    if (!m_finished && m_shown) {
        m_finished = true;
        TTable* t = DMod->tblLocDef;
        if (t->isOpen() && t->state() != TTable::State::Browse) t->cancel();
        t->close();
    }
    QDialog::done(r);
}

void TDefLocDlg::FormShow()
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) t->open();
    t->first();
    editIfBrowsing(t);
}

void TDefLocDlg::OKBtnClick()
{
    TTable* t = DMod->tblLocDef;
    postIfEditing(t);   // a refusal keeps the dialog open with the row in edit
    m_finished = true;
    t->close();
    accept();
}

void TDefLocDlg::CancelBtnClick()
{
    reject();
}

void TDefLocDlg::metricExit(const char* metric, const char* imperial, double factor)
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) return;
    const auto v = parseNumber(t->field(QLatin1String(metric)).asString());
    if (!v) return;
    editIfBrowsing(t);
    t->field(QLatin1String(imperial)).setAsFloat(fixedText(*v * factor, 2).toDouble());
}

void TDefLocDlg::imperialExit(const char* imperial, const char* metric, double factor, int decimals)
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen() || t->field(QLatin1String(imperial)).isNull()) return;
    editIfBrowsing(t);
    t->field(QLatin1String(metric)).setAsString(fixedText(t->field(QLatin1String(imperial)).asFloat() * factor, decimals));
}

} // namespace quen::cropprog
