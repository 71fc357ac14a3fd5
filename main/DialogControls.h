// What the main program's dialogs build alike: a push button with its hint,
// a framed value label, the "&Help" button of a help topic, the text of a
// field of the current row, a bold title, a named control, and a dialog
// centred on its screen.
#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace quen {
class TTable;
}

namespace quen::mainprog {

QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint, QWidget* parent);
// A framed, selectable label that shows one value.
QLabel* valueLabel(const QString& name, QWidget* parent);
// The field's text in the current row; empty when the table is closed or empty.
QString fieldText(TTable* t, const char* field);
// A "&Help" button that opens topic context.
QPushButton* makeHelpButton(QWidget* parent, int context);

// Moves the window to the centre of its screen.
void centre(QWidget* w);
// A bold label a third larger than the dialog's font.
QLabel* bigTitle(const QString& text, QWidget* parent);

template <class T>
T* named(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace quen::mainprog
