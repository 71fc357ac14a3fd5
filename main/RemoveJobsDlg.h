// TRemoveJobsDlg "Remove Jobs": deleting saved jobs with their crops.
// Shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quen {
class TDBGrid;
}

namespace quen::mainprog {

class TRemoveJobsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRemoveJobsDlg(QWidget* parent = nullptr);
    ~TRemoveJobsDlg() override;
    TDBGrid* JobGrid;
    QLabel* JobNameText;
    QLabel* DateText;
    QLabel* LocationText;
    QLabel* PlannerText;
    QPushButton* HelpBtn;
    QPushButton* DeleteBtn;
    QPushButton* ReturnBtn;
    QPushButton* CancelBtn;

    // "JobNumber" and "JobName" of each job deleted while the dialog was open.
    QList<QPair<int, QString>> deleted;

public slots:
    void DeleteBtnClick();
    void FormShow();        // opens "QuenJob.db" and "QuenJobCrop.DB"
    void FormClose();       // closes both

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void showCurrent();
    bool m_opened = false;
};

} // namespace quen::mainprog
