// TGetFAODlg "Get FAO 56 Curve Data": the crop's FAO-56 curve, chosen for the
// crop records editor TCropForm.
#pragma once

#include <QDialog>

#include "CropFormKit.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "RecordEditor.h"

class QPushButton;

namespace quen::cropprog {

class TCropForm;

class TGetFAODlg : public QDialog {
    Q_OBJECT
public:
    explicit TGetFAODlg(TCropForm* form);
    TDBGrid* CurveGrid;
    TDBText* CurCurveText;
    QPushButton *OKBtn, *CancelBtn, *DontUseBtn, *HelpBtn;

    void FormShow();
    void FormClose();
    void OKBtnClick();
    void DontUseBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    TCropForm* m_form;
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
