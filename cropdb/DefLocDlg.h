// TDefLocDlg "Local Default Values (FAO 56 Curves)" over "LocalDefaults.DB":
// the FAO-56 local defaults the Kc calculation starts from.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TDefLocDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDefLocDlg(QWidget* parent = nullptr);
    TDBRadioGroup *EToRadio, *FwRadio, *WindRadio, *RHRadio, *SoilRadio;
    TDBEdit *WettingDaysEdit, *EToEdit, *AppEdit, *FwEdit, *U2Edit, *RHMinEdit, *STextEdit;
    TDBNumEdit *EToinEdit, *AppinEdit, *U2inEdit;
    QPushButton *OKBtn, *CancelBtn;
    void FormShow();
    void OKBtnClick();
    void CancelBtnClick();
    void metricExit(const char* metric, const char* imperial, double factor);
    void imperialExit(const char* imperial, const char* metric, double factor, int decimals);
protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
private:
    bool m_shown = false, m_finished = false;
};

} // namespace quen::cropprog
