// The frame the crop database program's record editors share: a menu bar
// ("File", "Marks", "Help"), a grid that picks the row, the navigator, the
// "Marked?" flag with "Mark", and the edit-mode buttons of the record editor
// convention ("Goto Edit"/"Stop Edit", "Insert Record", "Cancel",
// "Delete Record", "&Close"). A window puts its own fields into body().
#pragma once

#include <QDialog>

#include "CropFormKit.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "RecordEditor.h"

class QMenu;
class QMenuBar;
class QPushButton;
class QHBoxLayout;

namespace quen::cropprog {

class TCurveEditorBase : public QDialog {
    Q_OBJECT
public:
    TCurveEditorBase(const QString& objectName, const QString& caption, TDataSource* source,
                     const QString& gridField, const QString& gridTitle, const QString& markStatement,
                     QWidget* parent);

    TRecordEditor* Editor;
    TDataSource* Source;
    TDBGrid* CurveGrid;
    TDBNavigator* Navigator;
    TDBCheckBox* MarkedCheck = nullptr;
    QPushButton* MarkBtn = nullptr;
    QPushButton *GotoEditBtn, *InsertBtn, *CancelBtn, *DeleteBtn, *CloseBtn;
    QMenuBar* MenuBar;
    QMenu* FileMenu;
    QMenu* MarksMenu = nullptr;
    QAction* ShowAllMarkedItem = nullptr;

    TTable* table() const { return Source->dataSet(); }
    virtual void FormShow();
    virtual void FormClose();
    virtual void InsertBtnClick();
    virtual void DeleteBtnClick();
    virtual void MarkBtnClick();
    // Runs a report with the mark filter on ("Print All Marked").
    void printMarked(const std::function<report::PreparedReport()>& prepare);

protected:
    QWidget* body() const { return m_body; }
    QHBoxLayout* bottomRow() const { return m_bottom; }
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    void closeEvent(QCloseEvent* e) override;
    bool m_fitToScreen = false;

private:
    QWidget* m_body;
    QHBoxLayout* m_bottom;
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
