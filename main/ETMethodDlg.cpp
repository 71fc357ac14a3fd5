#include "ETMethodDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DialogControls.h"
#include "MainDMod.h"
#include "ModalRun.h"
#include "Table.h"

namespace quen::mainprog {

TETMethodDlg::TETMethodDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ETMethodDlg"));
    setWindowTitle(QStringLiteral("Select ET Computation Method"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Select one of these ET computation methods"), this));
    auto* group = new QGroupBox(QStringLiteral("ET Computation Methods"), this);
    group->setObjectName(QStringLiteral("ETMethodGroup"));
    auto* gv = new QVBoxLayout(group);
    NehChoice = new QRadioButton(QStringLiteral("FAO Penman-Monteith method, NEH 2, Bas crop curves"), group);
    Fao56Choice = new QRadioButton(QStringLiteral("FAO Penman-Monteith method, FAO 56, Table 12 curves"), group);
    TR21Choice = new QRadioButton(QStringLiteral("Blaney Criddle (TR21) method"), group);
    NehChoice->setObjectName(QStringLiteral("NehChoice"));
    Fao56Choice->setObjectName(QStringLiteral("Fao56Choice"));
    TR21Choice->setObjectName(QStringLiteral("TR21Choice"));
    for (QRadioButton* r : {NehChoice, Fao56Choice, TR21Choice})
        gv->addWidget(r);
    v->addWidget(group);
    auto* b = new QHBoxLayout;
    HelpBtn = makeHelpButton(this, 15);
    OKBtn = makeButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), {}, this);
    OKBtn->setDefault(true);
    b->addWidget(HelpBtn);
    b->addStretch();
    b->addWidget(OKBtn);
    v->addLayout(b);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TETMethodDlg::FormShow(const QString& code)
{
    const bool any = code == QLatin1String("ANY");
    NehChoice->setEnabled(any || code == QLatin1String("ANYFAO") || code == QLatin1String("FAONEH"));
    Fao56Choice->setEnabled(any || code == QLatin1String("ANYFAO") || code == QLatin1String("FAO56"));
    TR21Choice->setEnabled(any || code == QLatin1String("TR21"));
}

int TETMethodDlg::FormClose()
{
    int index = 0, mode = -1;
    if (NehChoice->isChecked()) {
        index = 2;
        mode = 1;
    } else if (Fao56Choice->isChecked()) {
        index = 3;
        mode = 0;
    } else if (TR21Choice->isChecked()) {
        index = 1;
        mode = 2;
    }
    if (index && DMod) {
        DMod->CropKindSelector = mode;
        DMod->tblCreateCrp->setFiltered(true);
    }
    return index;
}

std::optional<int> TETMethodDlg::chooseEtMethod(const QString& systemCode, int)
{
    FormShow(systemCode);
    execModal(*this);
    const int index = FormClose();
    if (!index)
        return std::nullopt;
    return index;
}

} // namespace quen::mainprog
