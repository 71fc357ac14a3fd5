#include "GetCropNamDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "CropCompDlg.h"
#include "CropSetup.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "Help.h"
#include "MainDMod.h"
#include "MainForm.h"
#include "ModalRun.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

QGroupBox* curveGroup(const QString& title, TDBText** curveText, const QString& field, QWidget* parent)
{
    auto* g = new QGroupBox(title, parent);
    auto* l = new QGridLayout(g);
    l->addWidget(new QLabel(QStringLiteral("Crop Curve Name"), g), 0, 0);
    *curveText = new TDBText(DMod ? DMod->datCreateCrp : nullptr, field, g);
    (*curveText)->setMinimumWidth(260);
    (*curveText)->setFrameShape(QFrame::StyledPanel);
    l->addWidget(*curveText, 0, 1);
    l->setColumnStretch(1, 1);
    return g;
}

void colourTitle(QGroupBox* g, const char* colour)
{
    g->setStyleSheet(colour ? QStringLiteral("QGroupBox::title { color: %1; }").arg(QLatin1String(colour))
                            : QString());
}

} // namespace

TGetCropNamDlg::TGetCropNamDlg(CropRunContext& ctx, JobState& job, CropCurveState& curves, TMainForm* main,
                               QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_job(job), m_curves(curves), m_main(main)
{
    setObjectName(QStringLiteral("GetCropNamDlg"));
    setWindowTitle(QStringLiteral("Get Crop Name"));
    setModal(true);
    TDataSource* ds = DMod ? DMod->datCreateCrp : nullptr;

    auto* top = new QHBoxLayout;
    // Left: the crop list.
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Select Crop Name"), this));
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->addColumn(QStringLiteral("Cop Name"), QStringLiteral("Cop Name"), 300);
    DBGrid1->setDataSource(ds);
    DBGrid1->setMinimumSize(320, 330);
    setHelpContext(DBGrid1, 19011);
    left->addWidget(DBGrid1, 1);
    top->addLayout(left);

    // Right: the current record.
    auto* right = new QVBoxLayout;
    auto* nameRow = new QGridLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Crop Name"), this), 0, 0);
    CropNameText = new TDBText(ds, QStringLiteral("Cop Name"), this);
    CropNameText->setObjectName(QStringLiteral("CropNameText"));
    CropNameText->setFrameShape(QFrame::StyledPanel);
    nameRow->addWidget(CropNameText, 0, 1);
    nameRow->addWidget(new QLabel(QStringLiteral("Notes"), this), 1, 0, Qt::AlignTop);
    NotesMemo = new TDBMemo(ds, QStringLiteral("Notes"), this);
    NotesMemo->setObjectName(QStringLiteral("NotesMemo"));
    NotesMemo->setDataReadOnly(true);
    NotesMemo->setReadOnly(true);
    NotesMemo->setFixedHeight(64);
    nameRow->addWidget(NotesMemo, 1, 1);
    nameRow->addWidget(new QLabel(QStringLiteral("Selected ET computation Method"), this), 2, 0);
    ETMethLbl = new QLabel(this);
    ETMethLbl->setObjectName(QStringLiteral("ETMethLbl"));
    QFont bold = ETMethLbl->font();
    bold.setBold(true);
    ETMethLbl->setFont(bold);
    nameRow->addWidget(ETMethLbl, 2, 1);
    nameRow->setColumnStretch(1, 1);
    right->addLayout(nameRow);

    BasGroup = curveGroup(QStringLiteral("NEH Basil Grass Reference Crop Curve (display only)"), &BasCurveText,
                          QStringLiteral("Bas Crop Curve Name"), this);
    BasGroup->setObjectName(QStringLiteral("BasGroup"));
    HumWindRadio = new TDBRadioGroup(QStringLiteral("Humidity/Wind Condition  (for Basil Curve only)"), BasGroup);
    HumWindRadio->setObjectName(QStringLiteral("HumWindRadio"));
    HumWindRadio->setItems({QStringLiteral("Humid - Moderate Wind"), QStringLiteral("Humid - Strong Wind"),
                            QStringLiteral("Arid - Moderate Wind"), QStringLiteral("Arid - Strong Wind")},
                           {QStringLiteral("HM"), QStringLiteral("HS"), QStringLiteral("AM"), QStringLiteral("AS")});
    HumWindRadio->setColumns(2);
    HumWindRadio->setDataSource(ds);
    HumWindRadio->setFieldName(QStringLiteral("Humidity/Wind"));
    HumWindRadio->setDataReadOnly(true);
    static_cast<QGridLayout*>(BasGroup->layout())->addWidget(HumWindRadio, 1, 0, 1, 2);
    right->addWidget(BasGroup);

    FAOGroup = curveGroup(QStringLiteral("FAO 56, Table 12 Crop Curve (display only)"), &FAOCurveText,
                          QStringLiteral("FAOCropCurveName"), this);
    FAOGroup->setObjectName(QStringLiteral("FAOGroup"));
    right->addWidget(FAOGroup);
    BCGroup = curveGroup(QStringLiteral("Blaney Criddle Kc Crop Curve (display only)"), &BCCurveText,
                         QStringLiteral("BC Crop Curve Name"), this);
    BCGroup->setObjectName(QStringLiteral("BCGroup"));
    right->addWidget(BCGroup);
    right->addStretch(1);
    top->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    BtnOK->setToolTip(QStringLiteral("Save crop and continue"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    buttons->addWidget(HelpBtn);
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(CancelBtn);

    auto* v = new QVBoxLayout(this);
    v->addLayout(top, 1);
    v->addLayout(buttons);

    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(16); });
    connect(BtnOK, &QPushButton::clicked, this, &TGetCropNamDlg::BtnOKClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TGetCropNamDlg::CancelBtnClick);
    connect(DBGrid1, &TDBGrid::rowDoubleClicked, this, &TGetCropNamDlg::BtnOKClick);
}

TGetCropNamDlg::~TGetCropNamDlg() { closeTables(); }

void TGetCropNamDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        // Centred on the screen.
        if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    }
}

void TGetCropNamDlg::FormShow()
{
    const int method = m_ctx.ETMethodIndex;
    ETMethLbl->setText(CropDialogMethodText(method));
    QGroupBox* own = method == 1 ? BCGroup : method == 2 ? BasGroup : method == 3 ? FAOGroup : nullptr;
    for (QGroupBox* g : {BasGroup, FAOGroup, BCGroup})
        colourTitle(g, own == nullptr ? nullptr : g == own ? "blue" : "gray");

    if (!DMod) return;
    TTable* crops = DMod->tblCreateCrp;
    // A crop-kind filter left on by an earlier job of another ET method
    // would hide the crops this job can use and offer ones it must refuse:
    // the list follows the kind of this job's method.
    if (crops->filtered() && method >= 1 && method <= 3) {
        const int kind = method == 3 ? 0 : method == 2 ? 1 : 2;
        if (DMod->CropKindSelector != kind) {
            DMod->CropKindSelector = kind;
            if (crops->isOpen()) crops->refresh();
        }
    }
    if (!crops->isOpen()) crops->open();
    crops->first();
    if (!DMod->tblSysDef->isOpen()) DMod->tblSysDef->open();
    if (!DMod->tblLocDef->isOpen()) DMod->tblLocDef->open();
    DBGrid1->setFocus();
}

void TGetCropNamDlg::closeTables()
{
    if (!DMod) return;
    for (TTable* t : {DMod->tblCreateCrp, DMod->tblSysDef, DMod->tblLocDef})
        if (t->isOpen()) t->close();
}

void TGetCropNamDlg::BtnOKClick()
{
    if (m_done || !DMod) return;
    if (!DMod->tblCreateCrp->isOpen() || DMod->tblCreateCrp->isEmpty()) return;   // nothing to pick
    m_done = true;
    const AddCropResult r = AddWorkingCrop(m_ctx, m_job, *DMod);
    m_added = r == AddCropResult::Added;
    if (m_added) {
        hide();
        TCropCompDlg comp(m_ctx, m_job, m_curves, m_main, parentWidget());
        runModal(comp);
    }
    closeTables();
    // A refused crop adds nothing: the caller treats it like Cancel.
    done(m_added ? QDialog::Accepted : QDialog::Rejected);
}

void TGetCropNamDlg::CancelBtnClick()
{
    if (m_done) return;
    m_done = true;
    closeTables();
    m_job.JobSaveState = 0;
    if (m_main) {
        m_main->SaveJobBtn->setEnabled(false);
        m_main->AddCropBtn->setEnabled(true);
        if (m_job.CropCounter == 0)
            for (QWidget* w : {static_cast<QWidget*>(m_main->DisplayButton),
                               static_cast<QWidget*>(m_main->JobCropDBGrid),
                               static_cast<QWidget*>(m_main->DeleteCropBtn), static_cast<QWidget*>(m_main->EdCropBtn)})
                w->setEnabled(false);
    }
    done(QDialog::Rejected);
}

// Escape and the close box act as Cancel.
void TGetCropNamDlg::reject()
{
    if (!m_done) CancelBtnClick();
    else QDialog::reject();
}

void TGetCropNamDlg::closeEvent(QCloseEvent* e)
{
    if (!m_done) CancelBtnClick();
    QDialog::closeEvent(e);
}

} // namespace quen::mainprog
