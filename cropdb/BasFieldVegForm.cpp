#include "BasFieldVegForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "CropDMod.h"

namespace quen::cropprog {

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

} // namespace quen::cropprog
