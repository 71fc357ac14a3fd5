#include "NotImplForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quen::mainprog {

TNotImplForm::TNotImplForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NotImplForm"));
    setWindowTitle(QStringLiteral("Not Implemented"));
    auto* v = new QVBoxLayout(this);
    auto* l1 = new QLabel(QStringLiteral("This report has not been "), this);
    auto* l2 = new QLabel(QStringLiteral("implemented."), this);
    for (QLabel* l : {l1, l2}) {
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 1.3);
        l->setFont(f);
        v->addWidget(l);
    }
    CloseBtn = new QPushButton(QStringLiteral("&Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);
    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(CloseBtn);
    h->addStretch();
    v->addLayout(h);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(300);
}

} // namespace quen::mainprog
