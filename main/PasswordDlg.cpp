#include "PasswordDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropSetup.h"
#include "DBControls.h"
#include "DefSysDlg.h"
#include "DialogControls.h"
#include "Help.h"
#include "MainDMod.h"
#include "Table.h"

namespace quen::mainprog {

TPasswordDlg::TPasswordDlg(TDefSysDlg* sysDlg, QWidget* parent) : QDialog(parent), m_sysDlg(sysDlg)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Password Dialog"));
    setModal(true);
    Password = named(new QLineEdit(this), "Password");
    Password->setEchoMode(QLineEdit::Password);
    Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));   // "*"
    Password->setToolTip(QStringLiteral("Enter password"));
    setHelpContext(Password, 19026);
    WrongLabel = named(new QLabel(QStringLiteral("Wrong password, please re-enter."), this), "WrongLabel");
    WrongLabel->setStyleSheet(QStringLiteral("color: red;"));
    WrongLabel->setVisible(false);
    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    CancelBtn->setAutoDefault(false);

    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Enter password:"), this));
    v->addWidget(Password);
    v->addWidget(WrongLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    v->addLayout(buttons);
    setMinimumWidth(280);

    connect(OKBtn, &QPushButton::clicked, this, &TPasswordDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TPasswordDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
    centre(this);
}

void TPasswordDlg::FormShow()
{
    WrongLabel->setVisible(false);
    Password->clear();
    Password->setFocus();
}

void TPasswordDlg::OKBtnClick()
{
    QString stored;
    if (DMod) {
        TTable* t = DMod->tblSysDef;
        if (!t->isOpen()) t->open();
        if (!t->isEmpty()) stored = t->field(QStringLiteral("Password")).asString();
    }
    if (!PasswordAccepted(Password->text(), stored)) {
        WrongLabel->setVisible(true);
        Password->clear();
        Password->setFocus();
        return;
    }
    WrongLabel->setVisible(false);
    if (m_sysDlg) m_sysDlg->enterEditMode();
    accept();
}

} // namespace quen::mainprog
