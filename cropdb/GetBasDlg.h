// TGetBasDlg "Get Basal Kc Curve Data": the crop's basal (NEH2) curve and its
// humidity/wind variant, chosen for the crop records editor TCropForm.
#pragma once

#include <QDialog>

#include "CropFormKit.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "RecordEditor.h"

class QLabel;
class QPushButton;

namespace quen::cropprog {

class TCropForm;

class TGetBasDlg : public QDialog {
    Q_OBJECT
public:
    explicit TGetBasDlg(TCropForm* form);
    TDBText *CurTypeText, *CurHumWindText, *CurCurveText;
    TRadioGroup* KindRadio;
    TRadioGroup* HumWindRadio;
    TDBGrid* CurveList;
    TDBMemo* NotesMemo;
    QLabel* InfoLabel;
    QPushButton *OKBtn, *CancelBtn, *DontUseBtn, *HelpBtn;
    TDataSource* datCurves;

    void FormShow();
    void FormClose();
    void KindRadioClick(int index);
    void HumWindRadioClick(int index);
    void CurveListClick();
    void DontUseBtnClick();
    TTable* kindTable(int kind) const;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void filterList();
    void showInfo();
    TCropForm* m_form;
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
