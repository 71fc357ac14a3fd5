// TGetBCDlg "BC Kc Crop Curve Data": the crop's Blaney-Criddle (TR21) curve,
// chosen for the crop records editor TCropForm.
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

class TGetBCDlg : public QDialog {
    Q_OBJECT
public:
    explicit TGetBCDlg(TCropForm* form);
    TRadioGroup* TypeRadio;
    TDBGrid* CurveList;
    TDBText* CurCurveText;
    QPushButton *OKBtn, *CancelBtn, *HelpBtn;
    TDataSource* datCurves;

    void FormShow();
    void FormClose();
    void TypeRadioClick(int index);
    void CurveListClick();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void pointList(int index);
    TCropForm* m_form;
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
