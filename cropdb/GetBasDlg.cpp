#include "GetBasDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropDMod.h"
#include "CropForm.h"
#include "CurveChoice.h"
#include "Help.h"
#include "MessageService.h"
#include "NumEdit.h"

namespace quen::cropprog {

// The crop's basal curve name follows the highlighted row of the listed
// curves (empty when the list is empty).
static void takeListedCurve(TTable* curves)
{
    if (!curves || !curves->isOpen()) return;
    TTable* crop = DMod->tblCreateCrp;
    const QString listed = curves->isEmpty() ? QString() : curves->field(QStringLiteral("Crop Curve Name")).asString();
    if (crop->field(QStringLiteral("Bas Crop Curve Name")).asString() == listed) return;
    if (crop->state() == TTable::State::Browse) crop->edit();
    crop->field(QStringLiteral("Bas Crop Curve Name")).setAsString(listed);
}

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
    // A kind or condition chosen by the user re-lists the curves; the crop
    // takes the curve then highlighted, so that it never keeps a curve of
    // another condition or table.
    connect(KindRadio, &TRadioGroup::clicked, this, [this](int i) {
        KindRadioClick(i);
        takeListedCurve(datCurves->dataSet());
    });
    connect(HumWindRadio, &TRadioGroup::clicked, this, [this](int i) {
        HumWindRadioClick(i);
        takeListedCurve(datCurves->dataSet());
    });
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

} // namespace quen::cropprog
