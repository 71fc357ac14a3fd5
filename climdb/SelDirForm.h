// TSelDirForm, "Select Directory Containing Temperature & Precipitation Text
// Files": the first step of the import of downloaded county reports. A drive
// box, a directory list, the list of report files ("?????.txt") of the
// chosen directory, the chosen directory, a progress bar, the check box "Add
// to existing Climate DB", OK and Cancel. Created once at start-up and kept
// for the program's run.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "CountyReport.h"
#include "SelCoForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace quen::climprog {

class TSelDirForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelDirForm(QWidget* parent = nullptr);

    QComboBox* DriveComboBox;
    QListWidget* DirectoryListBox;
    QListWidget* FileListBox;
    QLabel* DirLabel;
    QProgressBar* ProgressBar;
    QCheckBox* AddCheckBox;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    QString directory() const { return m_dir; }
    void setDirectory(const QString& dir);
    // Report file names of a directory listing: "?????.txt".
    static bool matchesMask(const QString& fileName);

    // The county selection window of the last run (created by OK).
    TSelCoForm* selCoForm() const { return m_selCo.get(); }
    // Shows the county selection window; a test may drive it instead.
    static std::function<void(TSelCoForm&)> showCountyWindow;

public slots:
    void FormActivate();
    void AddCheckBoxClick();
    void OKBtnClick();             // the import of the chosen directory
    void FileListBoxDblClick();    // as OK
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QString m_dir;
    std::unique_ptr<TSelCoForm> m_selCo;
    TConverterRun m_run;   // the record label runs on over the program's run
};

extern TSelDirForm* SelDirForm;

} // namespace quen::climprog
