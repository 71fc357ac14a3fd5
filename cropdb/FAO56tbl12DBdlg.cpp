#include "FAO56tbl12DBdlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "FAO56FormParts.h"
#include "Help.h"
#include "KcCalculation.h"

namespace quen::cropprog {

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

} // namespace quen::cropprog
