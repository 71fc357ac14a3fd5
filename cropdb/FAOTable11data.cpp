#include "FAOTable11data.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "FAO56FormParts.h"
#include "Help.h"
#include "KcCalculation.h"
#include "MessageService.h"

namespace quen::cropprog {

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

} // namespace quen::cropprog
