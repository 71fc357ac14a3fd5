// What the curve choice dialogs of the crop records editor share: how they
// find the crop row (an empty crop table switches new-record mode on; the row
// is put into edit, on an empty table that starts the new row; the defaults
// row is the first of "CrpLastUse.db"), how they leave it, a framed value
// text and the row of dialog buttons.
#pragma once

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace quen {
class TDataSource;
class TDBText;
}

namespace quen::cropprog {

class TCropForm;

void beginCurveDialog(TCropForm* form);
// Posts the row unless new-record mode leaves posting to the editor.
void endCurveDialog(TCropForm* form);
TDBText* framedText(TDataSource* ds, const QString& field, QWidget* parent);
QHBoxLayout* dialogButtons(std::initializer_list<QPushButton*> buttons);

} // namespace quen::cropprog
