#include "GetFAODlg.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropDMod.h"
#include "CropForm.h"
#include "CurveChoice.h"
#include "Help.h"
#include "NumEdit.h"

namespace quen::cropprog {

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
