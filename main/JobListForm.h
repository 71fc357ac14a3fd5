// TJobListForm "Select Existing Job to View or Edit": the saved jobs, one of
// which is opened.
// Shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>

#include "CropRunContext.h"

class QLabel;
class QPushButton;

namespace quen {
class TDBGrid;
}

namespace quen::mainprog {

class TJobListForm : public QDialog {
    Q_OBJECT
public:
    // Over DMod's "QuenJob.db" handle, which the caller opens.
    explicit TJobListForm(CropRunContext& ctx, QWidget* parent = nullptr);
    TDBGrid* JobGrid;
    QLabel* JobNameText;
    QLabel* LocationText;
    QLabel* PlannerText;
    QLabel* DateText;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void OKBtnClick();       // job name into the context, close
    void CancelBtnClick();   // empty job name, close

private:
    void showCurrent();
    CropRunContext& m_ctx;
};

} // namespace quen::mainprog
