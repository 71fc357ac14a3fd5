#include "CurveChoice.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "CropDMod.h"
#include "CropForm.h"
#include "DBControls.h"

namespace quen::cropprog {

void beginCurveDialog(TCropForm* form)
{
    TTable* crop = DMod->tblCreateCrp;
    if (crop->isEmpty() && crop->state() != TTable::State::Edit) form->NewRecordMode = true;
    form->ensureRowEditing();
    TTable* last = DMod->tblLastUse;
    if (!last->isOpen()) last->open();
    last->first();
}

void endCurveDialog(TCropForm* form)
{
    TTable* crop = DMod->tblCreateCrp;
    if (!form->NewRecordMode && crop->state() != TTable::State::Browse) crop->post();
}

TDBText* framedText(TDataSource* ds, const QString& field, QWidget* parent)
{
    auto* t = new TDBText(ds, field, parent);
    t->setFrameShape(QFrame::Panel);
    t->setFrameShadow(QFrame::Sunken);
    t->setMinimumWidth(220);
    return t;
}

QHBoxLayout* dialogButtons(std::initializer_list<QPushButton*> buttons)
{
    auto* h = new QHBoxLayout;
    h->addStretch();
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        h->addWidget(b);
    }
    return h;
}

} // namespace quen::cropprog
