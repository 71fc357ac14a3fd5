// TSelCoForm, "Select Counties": the second step of the county report
// import. The counties found in the reports are listed under "Available
// Counties"; the user moves those wanted to "Selected Counties For
// Database" and continues: their stations are loaded from "TmpTP.txt" of
// the working directory, adding to or replacing the station table.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace quen::climprog {

class TSelCoForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelCoForm(QWidget* parent = nullptr);

    QListWidget* AvailableList;     // "Available Counties"
    QListWidget* SelectedList;      // "Selected Counties For Database"
    QPushButton* MoveBtn;           // ">"
    QPushButton* MoveAllBtn;        // ">>"
    QPushButton* BackBtn;           // "<"
    QPushButton* BackAllBtn;        // "<<"
    QPushButton* ContinueBtn;
    QPushButton* CancelBtn;
    QProgressBar* ProgressBar;

    // Where "TmpTP.txt" is read from (the working directory of the run).
    void setWorkDirectory(const QString& dir) { m_dir = dir; }
    QString workDirectory() const { return m_dir; }
    // Stations stored by the last Continue; -1 when nothing was changed.
    int lastResult() const { return m_result; }

    // Opens the station editor at the end; a test may put its own here.
    static std::function<void(QWidget*)> openStationEditor;

public slots:
    void MoveBtnClick();
    void MoveAllBtnClick();
    void BackBtnClick();
    void BackAllBtnClick();
    void ContinueBtnClick();
    void CancelBtnClick();

private:
    void resetButtons();
    void askWhichToReplace(QStringList& selected, QStringList& replaced);
    void showLoadDone();
    QString m_dir;
    int m_result = -1;
};

} // namespace quen::climprog
