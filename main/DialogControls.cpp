#include "DialogControls.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "Help.h"
#include "Table.h"

namespace quen::mainprog {

QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setStatusTip(hint);
    }
    b->setAutoDefault(false);
    return b;
}

QLabel* valueLabel(const QString& name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(220);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QString fieldText(TTable* t, const char* field)
{
    if (!t || !t->isOpen() || t->isEmpty())
        return QString();
    return t->field(QString::fromLatin1(field)).asString();
}

QPushButton* makeHelpButton(QWidget* parent, int context)
{
    auto* b = makeButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), QStringLiteral("Help"), parent);
    setHelpContext(b, context);
    QObject::connect(b, &QPushButton::clicked, b, [context] { showHelpContext(context); });
    return b;
}

void centre(QWidget* w)
{
    if (const QScreen* s = w->screen()) w->move(s->availableGeometry().center() - w->rect().center());
}

QLabel* bigTitle(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    l->setFont(f);
    return l;
}

} // namespace quen::mainprog
