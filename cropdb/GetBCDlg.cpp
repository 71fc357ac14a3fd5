#include "GetBCDlg.h"

#include <QFormLayout>
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
    TTable* crop = DMod->tblCreateCrp;
    crop->field(QStringLiteral("BC Crop Type")).setAsString(bcKinds().value(index));
    pointList(index);
    // The crop keeps its curve when the chosen table lists it, else takes the
    // curve the list highlights: never a curve name of the other table.
    TTable* t = datCurves->dataSet();
    const QString current = crop->field(QStringLiteral("BC Crop Curve Name")).asString();
    if (!current.isEmpty() && t->locate(QStringLiteral("Crop Curve Name"), current)) return;
    crop->field(QStringLiteral("BC Crop Curve Name"))
        .setAsString(t->isEmpty() ? QString() : t->field(QStringLiteral("Crop Curve Name")).asString());
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

} // namespace quen::cropprog
