// TRecordEditor: the record-editor convention of the crop and climate
// database programs, as one piece a window owns.
//
// The editor opens read-only: the data source does not enter edit by itself
// and the bound controls refuse typing; the window caption carries
// " [Read Only Mode]". "Goto Edit" switches to edit mode: the button reads
// "Stop Edit", the caption gets " [Edit Mode]", "Insert Record", "Cancel"
// and "Delete Record" (and any widgets added with addEditModeWidget) are
// enabled, and typing in a bound control starts editing the row. "Stop Edit"
// posts a pending change (a refused post keeps edit mode; the error reaches
// the event loop's message) and returns to read-only.
//
// Marks: "Mark" inverts the row's logical "Marked" and posts; "Mark All" /
// "Clear All Marks" run the table's set-oriented mark statement with "T" /
// "F"; "Show All Marked" switches the table's mark filter.
//
//   auto* ed = new TRecordEditor(this, DMod->datClim, GotoEditBtn, InsertBtn,
//                                CancelBtn, DeleteBtn);
//   ed->setMarkStatement("Update Climate\n     Set Marked=:NewValue");
//   ed->start();                              // on show
//   connect(DeleteBtn, &QPushButton::clicked, [=] {
//       ed->deleteRecord("Delete?", stationName); });   // text and title vary
#pragma once

#include <QList>
#include <QPointer>
#include <QString>

#include "DataSource.h"

class QAbstractButton;
class QAction;
class QMenu;
class QWidget;

namespace quen {

class TRecordEditor : public QObject {
    Q_OBJECT
public:
    TRecordEditor(QWidget* window, TDataSource* source, QAbstractButton* editButton,
                  QAbstractButton* insertButton = nullptr, QAbstractButton* cancelButton = nullptr,
                  QAbstractButton* deleteButton = nullptr);

    static QString editCaption() { return QStringLiteral("Goto Edit"); }
    static QString stopCaption() { return QStringLiteral("Stop Edit"); }
    static QString editSuffix() { return QStringLiteral(" [Edit Mode]"); }
    static QString readOnlySuffix() { return QStringLiteral(" [Read Only Mode]"); }

    // The window caption without suffix (taken from the window at creation).
    void setBaseCaption(const QString& caption);
    QString baseCaption() const { return m_base; }
    // Widgets enabled exactly while in edit mode.
    void addEditModeWidget(QWidget* w);
    // Puts the row back into edit after "Mark" when in edit mode.
    void setReeditAfterMark(bool on) { m_reeditAfterMark = on; }

    bool isEditMode() const { return m_editMode; }
    void start();                       // read-only mode, caption with suffix
    void setEditMode(bool on);          // Stop Edit posts first
    void toggleEditMode() { setEditMode(!m_editMode); }

    // Record commands.
    void insertRecord();                // emits inserted() for the window's focus
    void cancelRecord();
    // Yes/No question with text and title; Yes deletes the current row.
    bool deleteRecord(const QString& text, const QString& title);

    // Mark commands.
    void setMarkStatement(const QString& statement) { m_markStatement = statement; }
    void markCurrent();
    int markAll();
    int clearAllMarks();
    void setShowAllMarked(bool on);
    bool showAllMarked() const;
    // Adds the "Marks" menu items ("Mark All", "Clear All Marks" and the
    // checked show item) to menu; returns the show item.
    QAction* addMarkActions(QMenu* menu, const QString& showCaption = QStringLiteral("Show All Marked"));

    TTable* table() const { return m_source ? m_source->dataSet() : nullptr; }

signals:
    void editModeChanged(bool editMode);
    void inserted();

private:
    void apply();
    QPointer<QWidget> m_window;
    QPointer<TDataSource> m_source;
    QPointer<QAbstractButton> m_edit, m_insert, m_cancel, m_delete;
    QList<QPointer<QWidget>> m_extra;
    QString m_base;
    QString m_markStatement;
    bool m_editMode = false;
    bool m_reeditAfterMark = false;
};

} // namespace quen
