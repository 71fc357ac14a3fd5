// TWHRForm, "Wind, Humidity and Radiation Database": the editor of
// "ClimWHR", the locations whose monthly humidity, wind, radiation and
// sunshine the Penman-Monteith computation borrows for a station. Wind and
// radiation are kept in step in both units when a field is left in edit.
#pragma once

#include <QDialog>
#include <QHash>

#include "DBControls.h"

class QAction;
class QMenuBar;
class QPushButton;
class QTabWidget;

namespace quen {
class TDBNavigator;
class TRecordEditor;
}

namespace quen::climprog {

class TWHRForm : public QDialog {
    Q_OBJECT
public:
    explicit TWHRForm(QWidget* parent = nullptr);
    ~TWHRForm() override;

    QMenuBar* MainMenu;
    QAction* PrintLocationListItem;
    QAction* PrintAllMarkedItem;
    QAction* CloseItem;
    QAction* MarkAllItem;
    QAction* ClearAllMarksItem;
    QAction* ShowAllMarkedItem;
    QAction* DefaultsItem;

    QPushButton* GotoEditBtn;
    QPushButton* InsertBtn;
    QPushButton* CancelBtn;
    QPushButton* DeleteBtn;
    TDBNavigator* Navigator;
    TDBEdit* WHRLocationEdit;
    TDBNumEdit* LatitudeEdit;
    TDBNumEdit* LongitudeEdit;
    TDBCheckBox* MarkedCheck;
    QPushButton* MarkBtn;
    QTabWidget* PageControl;
    TDBMemo* NotesMemo;
    TDBRadioGroup* StationTypeRadio;
    TDBRadioGroup* StationLocRadio;
    TDBNumEdit* StationHeightEdit;

    TDBNumEdit* monthEdit(const QString& field) const { return m_month.value(field); }
    TRecordEditor* editor() const { return m_editor; }

public slots:
    void FormShow();
    void GotoEditBtnClick();
    void DeleteBtnClick();
    void MarkBtnClick();
    void PrintLocationListClick();
    void PrintAllMarkedClick();
    void DefaultsClick();
    void FieldExit(const QString& field);
    void PositionExit(const QString& field);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void done(int r) override;

private:
    TDBNumEdit* addMonthEdit(QWidget* page, const QString& field, const QString& picture, double lo, double hi);
    void fillNewRow();
    bool pendingPositionOk();
    void closeTables();
    QHash<QString, TDBNumEdit*> m_month;
    TRecordEditor* m_editor = nullptr;
    QPushButton* m_editProxy = nullptr;
    bool m_shown = false;
    bool m_closed = false;
};

} // namespace quen::climprog
