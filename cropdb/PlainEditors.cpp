#include "PlainEditors.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "NumEdit.h"
#include "CropDMod.h"
#include "CropReports.h"
#include "EnterFocus.h"
#include "Help.h"

namespace quen::cropprog {

TPlainTableForm::TPlainTableForm(const QString& objectName, const QString& caption, TDataSource* source,
                                 const QString& nameField, QWidget* parent)
    : QDialog(parent), Source(source)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setHelpContext(this, 19105);
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    Grid = new TDBGrid(this);
    Grid->setDataSource(source);
    Grid->addColumn(nameField, nameField, 240);
    Grid->setMinimumWidth(260);
    top->addWidget(Grid, 1);
    m_right = new QWidget(this);
    auto* rv = new QVBoxLayout(m_right);
    rv->setContentsMargins(0, 0, 0, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(nameField, m_right));
    NameEdit = new TDBEdit(source, nameField, m_right);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    installEnterMovesFocus(NameEdit);
    nameRow->addWidget(NameEdit, 1);
    rv->addLayout(nameRow);
    top->addWidget(m_right, 2);
    v->addLayout(top, 1);
    Navigator = new TDBNavigator(TDBNavigator::Full, this);
    Navigator->setDataSource(source);
    v->addWidget(Navigator);
    auto* h = new QHBoxLayout;
    ListBtn = new QPushButton(QStringLiteral("List"), this);
    CloseBtn = new QPushButton(QStringLiteral("&Close"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* b : {ListBtn, CloseBtn, HelpBtn}) b->setAutoDefault(false);
    h->addWidget(ListBtn);
    h->addStretch();
    h->addWidget(CloseBtn);
    h->addWidget(HelpBtn);
    v->addLayout(h);
    connect(ListBtn, &QPushButton::clicked, this, [this] { ListBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, [this] { close(); });
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19105); });
}

void TPlainTableForm::addValueFields(const QString& groupTitle, const QStringList& fields, const QStringList& labels,
                                     const QString& picture, int columns, const QString& hint)
{
    QWidget* parent = m_right;
    auto* box = new QGroupBox(groupTitle, parent);
    auto* g = new QGridLayout(box);
    for (int i = 0; i < fields.size(); ++i) {
        auto* e = new TDBNumEdit(Source, fields[i], picture, 0, 0, box);
        e->setMaximumWidth(70);
        if (!hint.isEmpty()) e->setToolTip(hint);
        ValueEdits << e;
        const int r = (i / columns) * 2, c = i % columns;
        g->addWidget(new QLabel(labels.value(i, fields[i]), box), r, c);
        g->addWidget(e, r + 1, c);
    }
    static_cast<QVBoxLayout*>(m_right->layout())->addWidget(box);
}

void TPlainTableForm::setListButton(const QString& caption, const QString& hint,
                                    std::function<report::PreparedReport(TTable&)> prepare)
{
    ListBtn->setText(caption);
    ListBtn->setToolTip(hint);
    m_prepare = std::move(prepare);
    static_cast<QVBoxLayout*>(m_right->layout())->addStretch();
}

void TPlainTableForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    TTable* t = table();
    if (!t->isOpen()) t->open();
}

void TPlainTableForm::done(int r)
{
    if (!commitPendingEntry(this)) return;   // the number being typed is stored as Close stores it
    if (!m_closed) {
        FormClose();   // a refused post throws and keeps the window open
        m_closed = true;
    }
    QDialog::done(r);
}

void TPlainTableForm::FormClose()
{
    // A pending edit is kept: it is posted, not cancelled.
    TTable* t = table();
    if (t->isOpen() && t->state() != TTable::State::Browse) t->post();
}

void TPlainTableForm::ListBtnClick()
{
    if (m_prepare) previewReport(m_prepare(*table()), this);
}

// ---------------------------------------------------------------------------

QStringList TBCAnuForm::valueFields()
{
    return {"0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc", "35 % Kc", "40% Kc", "45% Kc", "50% Kc",
            "55% Kc", "60% Kc", "65% Kc", "70% Kc", "75% Kc", "80% Kc", "85% Kc", "90% Kc", "95 % Kc", "100%Kc"};
}

TBCAnuForm::TBCAnuForm(QWidget* parent)
    : TPlainTableForm(QStringLiteral("BCAnuForm"), QStringLiteral("Review or Edit BC TR21 Kc Curves for Annual Crops"),
                      DMod->datBCAnnual, QStringLiteral("Crop Curve Name"), parent)
{
    NameEdit->setMaxLength(30);
    NameEdit->setToolTip(QStringLiteral("Enter unique crop curve name"));
    QStringList labels;
    for (int p = 0; p <= 100; p += 5) labels << QString::number(p) + QStringLiteral("% Kc");
    addValueFields(QStringLiteral("Annual BC TR21 Kc Values"), valueFields(), labels, QStringLiteral("#.##"), 7);
    setListButton(QStringLiteral("&List"), QStringLiteral("List of Curves"), &prepareBCAnnualList);
    resize(900, 480);
}

QStringList TBCPerenForm::valueFields()
{
    QStringList f;
    for (const char* m : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}) {
        f << QLatin1String(m) + QStringLiteral(" 1 Kc");
        f << QLatin1String(m) + QStringLiteral(" 15 Kc");
    }
    f << QStringLiteral("Dec 31 Kc");
    return f;
}

TBCPerenForm::TBCPerenForm(QWidget* parent)
    : TPlainTableForm(QStringLiteral("BCPerenForm"),
                      QStringLiteral("Review or Edit BC TR21 Kc Curves for Perennial Crops"), DMod->datBCPeren,
                      QStringLiteral("Crop Curve Name"), parent)
{
    NameEdit->setMaxLength(30);
    addValueFields(QStringLiteral("Blaney Criddle Kc Values"), valueFields(), valueFields(), QStringLiteral("#.##"), 6);
    setListButton(QStringLiteral("List"), QStringLiteral("BC Perennial Crop List Report"), &prepareBCPerenList);
    resize(900, 560);
}

TAnTypeForm::TAnTypeForm(QWidget* parent)
    : TPlainTableForm(QStringLiteral("AnTypeForm"), QStringLiteral("Annual Basal Crop Type DB Review or Edit"),
                      DMod->datAnType, QStringLiteral("Crop Type"), parent)
{
    NameEdit->setToolTip(QStringLiteral("Enter a unique crop type name"));
    addValueFields(QStringLiteral("Fraction of season"), {"Fs1", "Fs2", "Fs3"}, {"Fs1", "Fs2", "Fs3"},
                   QStringLiteral("#.##"), 3, QStringLiteral("Fraction of season"));
    addValueFields(QStringLiteral("Days from planting until maturity"), {"DaysMin", "DaysMax"},
                   {"Days Min.", "Days Max."}, QStringLiteral("iii"), 2,
                   QStringLiteral("Days from planting until maturity"));
    setListButton(QStringLiteral("List"), QStringLiteral("Annual Crop Type List Report"), &prepareAnTypeList);
    resize(720, 420);
}

} // namespace quen::cropprog

namespace quen::cropprog {

// A refused post keeps the window open with the row still in edit.
void TPlainTableForm::closeEvent(QCloseEvent* e)
{
    runFormClose(e, [this] { FormClose(); });
    QDialog::closeEvent(e);
}

} // namespace quen::cropprog
