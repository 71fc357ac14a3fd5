#include "BasalCurveForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
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

} // namespace quen::cropprog
