// What the station editor and the WHR editor share: the edit-state test,
// closing the climate tables, storing a pending row, refusing a position
// that is not DDMM / DDDMM and showing only the marked rows for a report.
#pragma once

#include <QPushButton>
#include <QString>

#include "DBNavigator.h"

#include "ClimDMod.h"
#include "ClimDefaultsFrm.h"
#include "MessageService.h"
#include "NumEdit.h"
#include "StationRecords.h"

class QWidget;

namespace quen::climprog {

inline bool editing(TTable* t)
{
    return t && t->isOpen() && (t->state() == TTable::State::Edit || t->state() == TTable::State::Insert);
}

// The row being edited or inserted is stored.
inline void postIfEditing(TTable* t)
{
    if (editing(t))
        t->post();
}

// The climate, WHR and county tables are closed once per showing.
inline void closeClimTables(bool& closed)
{
    if (closed || !DMod)
        return;
    closed = true;
    DMod->tblClim->close();
    DMod->tblWHR->close();
    DMod->tblCounty->close();
}

// Leaving an editor: a pending row that may not be left keeps it open (false);
// otherwise the row is stored, the window left and the tables closed.
template <class Leave>
bool leaveEditor(bool rowOk, TTable* t, Leave leave, bool& closed)
{
    if (!rowOk)
        return false;
    postIfEditing(t);
    leave();
    closeClimTables(closed);
    return true;
}

// A latitude or longitude left while editing that is not DDMM / DDDMM is
// cleared and refused; an empty one is let be (checked when the row is stored).
inline void refuseBadPosition(TTable* t, const QString& field, const QString& nameField)
{
    if (!editing(t))
        return;
    TField f = t->field(field);
    if (f.isNull())
        return;
    const bool ok = field == QLatin1String("Latitude") ? isDDMMLatitude(f.asFloat()) : isDDDMMLongitude(f.asFloat());
    if (ok)
        return;
    const QString text = f.asString();
    f.clear();
    showError(positionMessage(t->field(nameField).asString(), field, text));
}

// Latitude and longitude are typed as whole numbers of degrees and minutes
// run together: a decimal such as "32.5" is refused as typed with the form
// named, rather than stored as the 325 (3 deg 25 min) its digits spell.
inline void setPositionEntry(TNumEdit* latitude, TNumEdit* longitude)
{
    latitude->setRange(100, 9000);
    latitude->setRangeHint(QStringLiteral("Enter degrees and minutes run together (DDMM, minutes under 60): "
                                          "3230 is 32 degrees 30 minutes."));
    longitude->setRange(0, 18000);
    longitude->setRangeHint(QStringLiteral("Enter degrees and minutes run together (DDDMM, minutes under 60): "
                                           "11415 is 114 degrees 15 minutes."));
}

// While alive, only the marked rows of the table are shown.
struct MarkedOnlyScope {
    TTable* t;
    bool was;
    explicit MarkedOnlyScope(TTable* table) : t(table), was(table->filtered()) { t->setFiltered(true); }
    ~MarkedOnlyScope() { t->setFiltered(was); }
    MarkedOnlyScope(const MarkedOnlyScope&) = delete;
    MarkedOnlyScope& operator=(const MarkedOnlyScope&) = delete;
};

inline void showClimDefaults(QWidget* parent)
{
    TClimDefaultsFrm dlg(parent);
    dlg.exec();
}

// The record buttons of an editor ("Goto Edit", "Insert Record", "Cancel",
// "Delete Record") and its navigator over ds.
template <class Form>
void buildRecordButtons(Form& f, TDataSource* ds)
{
    auto button = [&f](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), &f);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    f.GotoEditBtn = button("Goto Edit", "GotoEditBtn");
    f.InsertBtn = button("Insert Record", "InsertBtn");
    f.CancelBtn = button("Cancel", "CancelBtn");
    f.DeleteBtn = button("Delete Record", "DeleteBtn");
    f.Navigator = new TDBNavigator(TDBNavigator::Moves, &f);
    f.Navigator->setObjectName(QStringLiteral("Navigator"));
    f.Navigator->setDataSource(ds);
}

} // namespace quen::climprog
