#include "EnterFocus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quen {

void focusNextControl(QWidget* w)
{
    if (!w) return;
    // A Tab key event takes the window's own tab-order logic.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(w, &tab);
}

TEnterMovesFocus* TEnterMovesFocus::instance()
{
    static TEnterMovesFocus* filter = new TEnterMovesFocus(qApp);
    return filter;
}

bool TEnterMovesFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (auto* w = qobject_cast<QWidget*>(watched)) {
                focusNextControl(w);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void installEnterMovesFocus(QWidget* w)
{
    if (w) w->installEventFilter(TEnterMovesFocus::instance());
}

void installEnterMovesFocus(std::initializer_list<QWidget*> widgets)
{
    for (QWidget* w : widgets) installEnterMovesFocus(w);
}

} // namespace quen
