#include "FAO56CropsForm.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropDMod.h"
#include "CropReports.h"
#include "DefLocDlg.h"
#include "EnterFocus.h"
#include "FAO56FormParts.h"
#include "FAOTable11data.h"
#include "GetCropName.h"
#include "GetCropType.h"
#include "Help.h"
#include "KcCalculateForm.h"

namespace quen::cropprog {

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

} // namespace quen::cropprog
