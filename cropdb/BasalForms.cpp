#include "BasalForms.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "Help.h"

namespace quen::cropprog {

static TDataSource* sourceOf(TBasalCurveForm::Kind k)
{
    switch (k) {
    case TBasalCurveForm::FieldVeg: return DMod->datFldVeg;
    case TBasalCurveForm::Peren: return DMod->datBasPeren;
    default: return DMod->datBasGrass;
    }
}

static QString markStatementOf(TBasalCurveForm::Kind k)
{
    switch (k) {
    case TBasalCurveForm::FieldVeg: return DMod->qryMarkFldVeg->sqlText();
    case TBasalCurveForm::Peren: return DMod->qryMarkPeren->sqlText();
    default: return DMod->qryMarkGrass->sqlText();
    }
}

static QString captionOf(TBasalCurveForm::Kind k)
{
    switch (k) {
    case TBasalCurveForm::FieldVeg:
        return QStringLiteral("Review or Edit Basal Kc Curves for Field and Vegetable Crops");
    case TBasalCurveForm::Peren:
        return QStringLiteral("Review or Edit Basal Kc Curves for Perennial and Specialty Crops");
    default: return QStringLiteral("Review or Edit Basal Kc Curves for Grass Crops");
    }
}

static const char* kObjectNames[] = {"BasFieldVegForm", "BasPerenForm", "BasGrassForm"};

TBasalCurveForm::TBasalCurveForm(Kind kind, QWidget* parent)
    : TCurveEditorBase(QLatin1String(kObjectNames[kind]), captionOf(kind), sourceOf(kind),
                       QStringLiteral("Crop Curve Name"), QStringLiteral("Crop Curve Name"), markStatementOf(kind),
                       parent),
      m_kind(kind)
{
    TDataSource* ds = Source;
    setHelpContext(this, 19104);
    static const char* listItems[] = {"Print Curve Name List", "Print Crop Curve  List", "Print Crop Curve List"};
    FileMenu->addAction(QLatin1String(listItems[kind]), this, [this] { PrintListClick(); });
    FileMenu->addAction(QStringLiteral("Print All Marked"), this, [this] { PrintAllMarkedClick(); });
    FileMenu->addSeparator();
    FileMenu->addAction(QStringLiteral("Close"), this, [this] { close(); });
    ShowByMenu = MenuBar->addMenu(QStringLiteral("Show &By"));
    const char* showBy[] = {"Humid - Mod Wind", "Humid - Strong Wind", "Arid - Mod Wind", "Arid - Strong Wind"};
    for (int i = 0; i < 4; ++i) ShowByMenu->addAction(QLatin1String(showBy[i]), this, [this, i] { ShowByClick(i); });
    ShowByMenu->addAction(QStringLiteral("Show All"), this, [this] { ShowAllClick(); });
    addHelpMenu(MenuBar, this);

    auto* v = new QVBoxLayout(body());
    v->setContentsMargins(0, 0, 0, 0);
    auto* nameRow = new QGridLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Crop Curve Name"), body()), 0, 0);
    CurveNameEdit = new TDBEdit(ds, QStringLiteral("Crop Curve Name"), body());
    CurveNameEdit->setObjectName(QStringLiteral("CurveNameEdit"));
    installEnterMovesFocus(CurveNameEdit);
    nameRow->addWidget(CurveNameEdit, 0, 1);
    nameRow->addWidget(new QLabel(QStringLiteral("(Use a unique name descriptive of the crop)"), body()), 1, 1);
    v->addLayout(nameRow);

    const QString radioCaption =
        kind == FieldVeg ? QStringLiteral("Condition Selection") : QStringLiteral("Humidity/Wind condition selection");
    ConditionRadio = new TDBRadioGroup(radioCaption, body());
    ConditionRadio->setObjectName(QStringLiteral("ConditionRadio"));
    ConditionRadio->setItems({"Humid - Moderate wind [HM]", "Humid - Strong wind      [HS]",
                              "Arid - Moderate wind     [AM]", "Arid - Strong wind          [AS]"},
                             humidityWindCodes());
    ConditionRadio->setColumns(2);
    ConditionRadio->setDataSource(ds);
    ConditionRadio->setFieldName(conditionField());
    if (kind == FieldVeg) {
        auto* outer = new QGroupBox(QStringLiteral("Humidity/Wind conditions"), body());
        auto* ol = new QVBoxLayout(outer);
        ol->addWidget(ConditionRadio);
        v->addWidget(outer);
    } else {
        v->addWidget(ConditionRadio);
    }
    connect(ConditionRadio, &TDBRadioGroup::changed, this, [this] { ConditionRadioChange(); });

    m_values = new QWidget(body());
    v->addWidget(m_values);
    v->addWidget(new QLabel(QStringLiteral("Notes"), body()));
    NotesMemo = new TDBMemo(ds, QStringLiteral("Notes"), body());
    NotesMemo->setMaximumHeight(90);
    v->addWidget(NotesMemo);
    m_fitToScreen = kind != Grass;
}

QString TBasalCurveForm::conditionField() const
{
    return m_kind == Peren ? QStringLiteral("Humidity/Wind") : QStringLiteral("Climate/Wind");
}

QString TBasalCurveForm::showAllIndex() const
{
    return m_kind == FieldVeg ? QStringLiteral("Crop Curve Name") : QStringLiteral("CropCurveName");
}

void TBasalCurveForm::FormShow()
{
    TCurveEditorBase::FormShow();
}

void TBasalCurveForm::ConditionRadioChange()
{
    // The next field after the condition: the values of the kind.
    if (m_kind == Grass) {
        if (auto* w = m_values->findChild<QWidget*>(QStringLiteral("LowKcEdit"))) w->setFocus();
    } else {
        focusNextControl(ConditionRadio);
    }
}

void TBasalCurveForm::ShowByClick(int code)
{
    TTable* t = table();
    if (t->state() != TTable::State::Browse) t->post();
    const QString c = humidityWindCodes().value(code);
    t->setIndexName(QStringLiteral("HWIndex"));
    t->setRange({c}, {c});
    t->first();
}

void TBasalCurveForm::ShowAllClick()
{
    TTable* t = table();
    if (t->state() != TTable::State::Browse) t->post();
    t->setIndexName(showAllIndex());
    t->setRange({QStringLiteral("AAAAa")}, {QStringLiteral("ZZZZZz")});
    t->first();
}

void TBasalCurveForm::PrintListClick()
{
    previewReport(prepareBasalList(m_kind, *table()), this);
}

void TBasalCurveForm::PrintAllMarkedClick()
{
    printMarked([this] { return prepareBasalAllMarked(m_kind, *table()); });
}

void TBasalCurveForm::InsertBtnClick()
{
    Editor->insertRecord();
    CurveNameEdit->setFocus();
}

// ---------------------------------------------------------------------------

TBasFieldVegForm::TBasFieldVegForm(QWidget* parent) : TBasalCurveForm(FieldVeg, parent)
{
    TDataSource* ds = Source;
    auto* g = new QGridLayout(valuePanel());
    g->setContentsMargins(0, 0, 0, 0);
    KcbEdit = new TDBNumEdit(ds, QStringLiteral("Kcb"), QStringLiteral("#.##"), 0, 0, valuePanel());
    KcpEdit = new TDBNumEdit(ds, QStringLiteral("Kcp"), QStringLiteral("#.##"), 0, 0, valuePanel());
    KcmEdit = new TDBNumEdit(ds, QStringLiteral("Kcm"), QStringLiteral("#.##"), 0, 0, valuePanel());
    const char* names[] = {"Kcb", "Kcp", "Kcm"};
    TDBNumEdit* edits[] = {KcbEdit, KcpEdit, KcmEdit};
    for (int i = 0; i < 3; ++i) {
        g->addWidget(new QLabel(QLatin1String(names[i]), valuePanel()), 0, i);
        edits[i]->setMaximumWidth(70);
        g->addWidget(edits[i], 1, i);
    }
    auto* typeGroup = new QGroupBox(QStringLiteral("Crop Type Data"), valuePanel());
    auto* tg = new QGridLayout(typeGroup);
    tg->addWidget(new QLabel(QStringLiteral("Crop Type"), typeGroup), 0, 0);
    CropTypeCombo = new TDBComboBox(typeGroup);
    CropTypeCombo->setObjectName(QStringLiteral("CropTypeCombo"));
    CropTypeCombo->setDataSource(ds);
    CropTypeCombo->setFieldName(QStringLiteral("Crop Type"));
    tg->addWidget(CropTypeCombo, 0, 1, 1, 4);
    PostBtn = new QPushButton(QStringLiteral("OK"), typeGroup);
    PostBtn->setToolTip(QStringLiteral("Post selection"));
    PostBtn->setAutoDefault(false);
    tg->addWidget(PostBtn, 0, 5);
    const char* labels[] = {"Fs1", "Fs2", "Fs3", "Days Min.", "Days Max."};
    QLabel** values[] = {&Fs1Label, &Fs2Label, &Fs3Label, &DaysMinLabel, &DaysMaxLabel};
    for (int i = 0; i < 5; ++i) {
        tg->addWidget(new QLabel(QLatin1String(labels[i]), typeGroup), 1, i);
        *values[i] = new QLabel(typeGroup);
        (*values[i])->setFrameShape(QFrame::Panel);
        (*values[i])->setFrameShadow(QFrame::Sunken);
        tg->addWidget(*values[i], 2, i);
    }
    g->addWidget(typeGroup, 2, 0, 1, 4);
    Editor->addEditModeWidget(PostBtn);
    connect(PostBtn, &QPushButton::clicked, this, [this] {
        if (table()->state() != TTable::State::Browse) table()->post();
    });
    connect(ds, &TDataSource::recordChanged, this, [this] { showTypeData(); });
    connect(ds, &TDataSource::fieldChanged, this, [this] { showTypeData(); });
    // Focus order: condition -> Kcb; Kcm -> crop type -> notes.
    setTabOrder(ConditionRadio, KcbEdit);
    setTabOrder(KcbEdit, KcpEdit);
    setTabOrder(KcpEdit, KcmEdit);
    setTabOrder(KcmEdit, CropTypeCombo);
    setTabOrder(CropTypeCombo, NotesMemo);
    resize(980, 600);
}

void TBasFieldVegForm::FormShow()
{
    // The crop type list comes from "CrpAnTyp.db", which the main window opens.
    CropTypeCombo->setItemsFromTable(DMod->tblAnType, QStringLiteral("Crop Type"));
    TBasalCurveForm::FormShow();
    showTypeData();
}

void TBasFieldVegForm::showTypeData()
{
    TTable* types = DMod->tblAnType;
    TTable* t = table();
    for (QLabel* l : {Fs1Label, Fs2Label, Fs3Label, DaysMinLabel, DaysMaxLabel}) l->clear();
    if (!types->isOpen() || !t->isOpen() || (t->isEmpty() && t->state() == TTable::State::Browse)) return;
    const QString type = t->field(QStringLiteral("Crop Type")).asString();
    if (type.isEmpty() || !types->locate(QStringLiteral("Crop Type"), type)) return;
    Fs1Label->setText(types->field(QStringLiteral("Fs1")).asString());
    Fs2Label->setText(types->field(QStringLiteral("Fs2")).asString());
    Fs3Label->setText(types->field(QStringLiteral("Fs3")).asString());
    DaysMinLabel->setText(types->field(QStringLiteral("DaysMin")).asString());
    DaysMaxLabel->setText(types->field(QStringLiteral("DaysMax")).asString());
}

// ---------------------------------------------------------------------------

TBasPerenForm::TBasPerenForm(QWidget* parent) : TBasalCurveForm(Peren, parent)
{
    TDataSource* ds = Source;
    auto* g = new QGridLayout(valuePanel());
    g->setContentsMargins(0, 0, 0, 0);
    GroundCoverEdit = new TDBEdit(ds, QStringLiteral("Ground Cover"), valuePanel());
    GrowingCondEdit = new TDBEdit(ds, QStringLiteral("Growing Conditions"), valuePanel());
    installEnterMovesFocus({GroundCoverEdit, GrowingCondEdit});
    g->addWidget(new QLabel(QStringLiteral("Ground Cover"), valuePanel()), 0, 0);
    g->addWidget(GroundCoverEdit, 0, 1, 1, 5);
    g->addWidget(new QLabel(QStringLiteral("Growing Conditions"), valuePanel()), 1, 0);
    g->addWidget(GrowingCondEdit, 1, 1, 1, 5);
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 0; m < 12; ++m) {
        const QString f = QLatin1String(months[m]) + QStringLiteral(" Kc");
        auto* e = new TDBNumEdit(ds, f, QStringLiteral("#.##"), 0, 0, valuePanel());
        e->setToolTip(QStringLiteral("Enter montly basil Kc"));
        e->setMaximumWidth(60);
        MonthKcEdits << e;
        g->addWidget(new QLabel(f, valuePanel()), 2 + (m / 6) * 2, m % 6);
        g->addWidget(e, 3 + (m / 6) * 2, m % 6);
    }
    resize(980, 620);
}

// ---------------------------------------------------------------------------

TBasGrassForm::TBasGrassForm(QWidget* parent) : TBasalCurveForm(Grass, parent)
{
    TDataSource* ds = Source;
    auto* g = new QGridLayout(valuePanel());
    g->setContentsMargins(0, 0, 0, 0);
    LowKcEdit = new TDBNumEdit(ds, QStringLiteral("Low Kc"), QStringLiteral("#.##"), 0, 0, valuePanel());
    LowKcEdit->setObjectName(QStringLiteral("LowKcEdit"));
    HighKcEdit = new TDBNumEdit(ds, QStringLiteral("High Kc"), QStringLiteral("#.##"), 0, 0, valuePanel());
    PkPctEdit = new TDBNumEdit(ds, QStringLiteral("Pk % After Harvest (Alf)"), QStringLiteral("iii"), 0, 0, valuePanel());
    PkDaysBeforeEdit = new TDBNumEdit(ds, QStringLiteral("Pk Days Before Harvest"), QStringLiteral("iii"), 0, 0, valuePanel());
    PkDaysAfterEdit = new TDBNumEdit(ds, QStringLiteral("Pk Days After Harvest"), QStringLiteral("iii"), 0, 0, valuePanel());
    const char* labels[] = {"Low Kc", "High Kc", "PK % After Harvest (Alfalfa)", "Pk Days Before Harvest (Grass)",
                            "Pk Days After Harvest"};
    TDBNumEdit* edits[] = {LowKcEdit, HighKcEdit, PkPctEdit, PkDaysBeforeEdit, PkDaysAfterEdit};
    for (int i = 0; i < 5; ++i) {
        g->addWidget(new QLabel(QLatin1String(labels[i]), valuePanel()), i, 0);
        edits[i]->setMaximumWidth(70);
        g->addWidget(edits[i], i, 1);
    }
    HayRadio = new TDBRadioGroup(QStringLiteral("Set to  Hay or Pasture"), valuePanel());
    HayRadio->setItems({"Hay (There are cuttings)", "Pasture/Seed (No cuttings)"}, {"True", "False"});
    HayRadio->setDataSource(ds);
    HayRadio->setFieldName(QStringLiteral("Hay"));
    g->addWidget(HayRadio, 0, 2, 4, 1);
    resize(900, 560);
}

} // namespace quen::cropprog
