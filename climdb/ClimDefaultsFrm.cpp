#include "ClimDefaultsFrm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClimDMod.h"
#include "Help.h"

namespace quen::climprog {

namespace {
const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
}

TClimDefaultsFrm::TClimDefaultsFrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClimDefaultsFrm"));
    setWindowTitle(QStringLiteral("Climatic Defaults"));
    setHelpContext(this, 19206);
    TDataSource* ds = DMod->datLocDef;

    StationTypeRadio = new TDBRadioGroup(QStringLiteral("Type of weather station"), this);
    StationTypeRadio->setObjectName(QStringLiteral("StationTypeRadio"));
    StationTypeRadio->setItems({QStringLiteral("Agrometeorological station"), QStringLiteral("Other type station")});
    StationTypeRadio->setDataSource(ds);
    StationTypeRadio->setFieldName(QStringLiteral("StationType"));
    StationLocRadio = new TDBRadioGroup(QStringLiteral("Weather station location"), this);
    StationLocRadio->setObjectName(QStringLiteral("StationLocRadio"));
    StationLocRadio->setItems({QStringLiteral("Interior location"), QStringLiteral("Coastal location")});
    StationLocRadio->setDataSource(ds);
    StationLocRadio->setFieldName(QStringLiteral("StationLoc"));
    StationHeightEdit = new TDBNumEdit(ds, QStringLiteral("StationHeight"), QStringLiteral("##.#"), 0, 0, this);
    StationHeightEdit->setObjectName(QStringLiteral("StationHeightEdit"));
    StationHeightEdit->setMaximumWidth(70);

    auto* months = new QGridLayout;
    auto head = [this](const QString& t) {
        auto* l = new QLabel(t, this);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    months->addWidget(head(QStringLiteral("Correction of Tmin for\nactual vapor pressure\n(FAO eq 48)\n(deg C)")), 0, 1);
    months->addWidget(head(QStringLiteral("Actual duration\nof sunshine\n(n)\n(hrs/day)")), 0, 2);
    for (int m = 0; m < 12; ++m) {
        months->addWidget(new QLabel(QString::fromLatin1(kMonths[m]), this), m + 1, 0);
        CorEdit[m] = new TDBNumEdit(ds, QStringLiteral("Cor%1").arg(m + 1), QStringLiteral("##.#"), -20, 20, this);
        CorEdit[m]->setObjectName(QStringLiteral("Cor%1Edit").arg(m + 1));
        NEdit[m] = new TDBNumEdit(ds, QStringLiteral("N%1").arg(m + 1), QStringLiteral("##.#"), 0, 24, this);
        NEdit[m]->setObjectName(QStringLiteral("N%1Edit").arg(m + 1));
        CorEdit[m]->setMaximumWidth(80);
        NEdit[m]->setMaximumWidth(80);
        months->addWidget(CorEdit[m], m + 1, 1, Qt::AlignHCenter);
        months->addWidget(NEdit[m], m + 1, 2, Qt::AlignHCenter);
    }

    MetricCheck = new TDBCheckBox(ds, QStringLiteral("MetricUnits"), QStringLiteral("Use metric units"), this);
    MetricCheck->setObjectName(QStringLiteral("MetricCheck"));
    WHRLocationCombo = new TDBComboBox(this);
    WHRLocationCombo->setObjectName(QStringLiteral("WHRLocationCombo"));
    WHRLocationCombo->setFieldName(QStringLiteral("WHRLocation"));
    WHRLocationCombo->setDataSource(ds);
    WHRLocationCombo->setMinimumWidth(280);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));

    auto* left = new QVBoxLayout;
    left->addWidget(StationTypeRadio);
    auto* hgt = new QGroupBox(QStringLiteral("Height of weather station instruments above ground"), this);
    auto* hl = new QHBoxLayout(hgt);
    hl->addWidget(StationHeightEdit);
    hl->addWidget(new QLabel(QStringLiteral("Meters"), hgt));
    hl->addStretch();
    left->addWidget(hgt);
    left->addWidget(StationLocRadio);
    auto* metric = new QGroupBox(QStringLiteral("Metric Units"), this);
    auto* ml = new QHBoxLayout(metric);
    ml->addWidget(MetricCheck);
    ml->addWidget(new QLabel(QStringLiteral("(Check if true)"), metric));
    ml->addStretch();
    left->addWidget(metric);
    auto* whr = new QGroupBox(QStringLiteral("Wind, Humidity, Radiation default location"), this);
    auto* wl = new QVBoxLayout(whr);
    wl->addWidget(WHRLocationCombo);
    left->addWidget(whr);
    left->addStretch();

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addSpacing(16);
    body->addLayout(months);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    auto* top = new QVBoxLayout(this);
    top->addLayout(body);
    top->addLayout(buttons);

    connect(MetricCheck, &TDBCheckBox::exited, this, &TClimDefaultsFrm::MetricCheckExit);
    connect(OKBtn, &QPushButton::clicked, this, &TClimDefaultsFrm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TClimDefaultsFrm::CancelBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19206); });
    // Enter moves between fields; it presses OK only from the OK button.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

TClimDefaultsFrm::~TClimDefaultsFrm()
{
    if (DMod && DMod->tblLocDef->isOpen() && DMod->tblLocDef->state() != TTable::State::Browse)
        DMod->tblLocDef->cancel();
    if (m_opened && DMod)
        DMod->tblLocDef->close();
}

void TClimDefaultsFrm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TClimDefaultsFrm::FormShow()
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) {
        t->open();
        m_opened = true;
    }
    QStringList items{QString()};
    TTable whr(QStringLiteral("ClimWHR"));
    whr.open();
    for (whr.first(); !whr.eof(); whr.next())
        items << whr.field(QStringLiteral("WHRLocation")).asString();
    whr.close();
    WHRLocationCombo->setItems(items);
    t->edit();
}

void TClimDefaultsFrm::MetricCheckExit()
{
    DMod->MetricUnits = MetricCheck->isChecked();
}

void TClimDefaultsFrm::finish()
{
    if (m_opened) {
        DMod->tblLocDef->close();
        m_opened = false;
    }
}

void TClimDefaultsFrm::OKBtnClick()
{
    TTable* t = DMod->tblLocDef;
    if (t->isOpen() && t->state() != TTable::State::Browse)
        t->post();
    finish();
    accept();
}

void TClimDefaultsFrm::CancelBtnClick()
{
    TTable* t = DMod->tblLocDef;
    if (t->isOpen() && t->state() != TTable::State::Browse)
        t->cancel();
    finish();
    reject();
}

} // namespace quen::climprog
