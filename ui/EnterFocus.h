// Enter moves the focus: in the entry fields of all three programs the Enter
// key acts like Tab and moves the focus to the next control in tab order.
// TNumEdit does this itself; installEnterMovesFocus() gives plain line edits
// (and any other widget) the same behaviour through a shared event filter.
#pragma once

#include <QObject>
#include <initializer_list>

class QWidget;

namespace quen {

// Moves the focus from w to the next control of its window in tab order.
void focusNextControl(QWidget* w);

// Installs the Enter filter on each widget.
void installEnterMovesFocus(QWidget* w);
void installEnterMovesFocus(std::initializer_list<QWidget*> widgets);

class TEnterMovesFocus : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    static TEnterMovesFocus* instance();
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quen
