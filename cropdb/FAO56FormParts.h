// Pieces the FAO-56 windows of the crop database program share: a push
// button, a framed value text, the edit and post steps of a row, and the two
// pickers that copy a record's figures into the FAO curve.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <initializer_list>

class QPushButton;

namespace quen {
class TDataSource;
class TDBGrid;
class TDBText;
class TTable;
}

namespace quen::cropprog {

QPushButton* pushButton(const char* name, const QString& text, QWidget* parent);
TDBText* valueText(TDataSource* ds, const char* field, QWidget* parent);
void editIfBrowsing(TTable* t);
void postIfEditing(TTable* t);

// The two pickers of a curve's figures: a grid over the source table, a row
// of captioned values of the current record, then "Use This Data" and
// "Cancel" (Cancel rejects; the caller connects Use and a double click).
struct PickedValue { const char* caption; const char* field; };

TDBGrid* layOutPicker(QDialog* d, TDataSource* ds, const QString& column, const QString& title, int width,
                      const std::array<PickedValue, 5>& values, QPushButton*& useBtn, QPushButton*& cancelBtn);

// Copies the picked record's figures and its name into the FAO curve.
void copyPicked(TTable* src, std::initializer_list<const char*> fields, const char* nameField,
                const char* srcNameField);

} // namespace quen::cropprog
