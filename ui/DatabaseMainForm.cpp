#include "DatabaseMainForm.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Help.h"
#include "Placement.h"

namespace quen {

namespace {

QLabel* heading(const QString& text, double scale, QWidget* parent, const QString& name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * scale);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

QPushButton* TDatabaseMainForm::makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumHeight(30);
    return b;
}

TDatabaseMainForm::TDatabaseMainForm(const QString& objectName, const QString& caption,
                                     const QString& subHeading, int helpContext, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setHelpContext(this, helpContext);
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_body = new QVBoxLayout(central);
    m_body->setContentsMargins(16, 12, 16, 12);

    QLabel* h1 = heading(QStringLiteral("Quen"), 2.4, central, QStringLiteral("HeadingLabel"));
    h1->setStyleSheet(QStringLiteral("color: navy;"));
    m_body->addWidget(h1);
    m_body->addWidget(heading(subHeading, 1.4, central, QStringLiteral("SubHeadingLabel")));
    m_body->addSpacing(8);
}

QHBoxLayout* TDatabaseMainForm::makeHelpRow(QWidget* parent)
{
    HelpBtn = makeButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), parent);
    AboutBtn = makeButton(QStringLiteral("AboutBtn"), QStringLiteral("&About Program"), parent);
    CloseBtn = makeButton(QStringLiteral("CloseBtn"), QStringLiteral("Close"), parent);
    auto* row = new QHBoxLayout;
    row->addWidget(HelpBtn);
    row->addWidget(AboutBtn);
    row->addStretch();
    row->addWidget(CloseBtn);
    connect(HelpBtn, &QPushButton::clicked, this, &TDatabaseMainForm::HelpBtnClick);
    connect(AboutBtn, &QPushButton::clicked, this, &TDatabaseMainForm::AboutBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QWidget::close);
    return row;
}

void TDatabaseMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_placed) {
        m_placed = true;
        fitWindowToScreen(this);
    }
}

void TDatabaseMainForm::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TDatabaseMainForm::FormActivate() { setHelpFile(QStringLiteral("Quenpm.HLP")); }

void TDatabaseMainForm::HelpBtnClick() { showHelpContents(); }

} // namespace quen
