#include "FAO56FormParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropDMod.h"
#include "DBControls.h"
#include "DBGrid.h"

namespace quen::cropprog {

QPushButton* pushButton(const char* name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

TDBText* valueText(TDataSource* ds, const char* field, QWidget* parent)
{
    auto* t = new TDBText(ds, QLatin1String(field), parent);
    t->setFrameShape(QFrame::Panel);
    t->setFrameShadow(QFrame::Sunken);
    t->setMinimumWidth(60);
    return t;
}

void editIfBrowsing(TTable* t)
{
    if (t->isOpen() && t->state() == TTable::State::Browse) t->edit();
}

void postIfEditing(TTable* t)
{
    if (t->isOpen() && t->state() != TTable::State::Browse) t->post();
}

TDBGrid* layOutPicker(QDialog* d, TDataSource* ds, const QString& column, const QString& title, int width,
                      const std::array<PickedValue, 5>& values, QPushButton*& useBtn, QPushButton*& cancelBtn)
{
    auto* v = new QVBoxLayout(d);
    auto* grid = new TDBGrid(d);
    grid->setDataSource(ds);
    grid->addColumn(column, title, width);
    v->addWidget(grid);
    auto* g = new QGridLayout;
    for (int i = 0; i < int(values.size()); ++i) {
        g->addWidget(new QLabel(QLatin1String(values[i].caption), d), 0, i);
        g->addWidget(valueText(ds, values[i].field, d), 1, i);
    }
    v->addLayout(g);
    auto* h = new QHBoxLayout;
    h->addStretch();
    useBtn = pushButton("UseBtn", QStringLiteral("Use This Data"), d);
    cancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), d);
    h->addWidget(useBtn);
    h->addWidget(cancelBtn);
    v->addLayout(h);
    QObject::connect(cancelBtn, &QPushButton::clicked, d, &QDialog::reject);
    if (ds->dataSet()->isOpen()) ds->dataSet()->first();
    return grid;
}

void copyPicked(TTable* src, std::initializer_list<const char*> fields, const char* nameField,
                const char* srcNameField)
{
    TTable* c = DMod->tblFAOcurv;
    if (!src->isOpen() || src->isEmpty()) return;
    editIfBrowsing(c);
    for (const char* f : fields)
        c->field(QLatin1String(f)).setValue(src->field(QLatin1String(f)).value());
    c->field(QLatin1String(nameField)).setAsString(src->field(QLatin1String(srcNameField)).asString());
}

} // namespace quen::cropprog
