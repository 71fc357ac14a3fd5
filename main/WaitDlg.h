// TWaitDlg ("Loading...."): the wait dialog shown while a saved job is
// loaded.
#pragma once

#include <QDialog>

#include "CropRunContext.h"

class QLabel;
class QProgressBar;

namespace quen::mainprog {

// Created once at start-up; the job loader shows it without making it modal,
// advances the bar and closes it. The user cannot close it.
class TWaitDlg : public QDialog {
    Q_OBJECT
public:
    explicit TWaitDlg(CropRunContext& ctx, QWidget* parent = nullptr);

    QLabel* JobLabel;          // after "Job:"
    QLabel* WaitLabel;         // "Please wait ...."
    QProgressBar* ProgressBar;

    void setMaximum(int max);
    void advance(int step);    // stops at the maximum
    void setPosition(int pos);
    void FormActivate();       // job name from the context, bar to 0
    void finish();             // closes the dialog

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    CropRunContext& m_ctx;
    bool m_closing = false;
};

extern TWaitDlg* WaitDlg;

} // namespace quen::mainprog
