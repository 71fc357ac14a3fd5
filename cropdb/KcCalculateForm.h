// TKcCalculateForm "Calculate Kc based on FAO 56, Chapter 6": adjusts the FAO
// curve's Kc values to the local climate and wetting.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TFAO56CropsForm;

class TKcCalculateForm : public QDialog {
    Q_OBJECT
public:
    explicit TKcCalculateForm(TFAO56CropsForm* owner);
    TDBNumEdit *WettingDaysEdit, *EToEdit, *ETOinEdit, *AppEdit, *AppinEdit, *FwEdit;
    TDBNumEdit *U2Edit, *U2inEdit, *RHMinEdit;
    TDBEdit* STextEdit;
    TRadioGroup *EToRadio, *FwRadio, *WindRadio, *RHRadio, *SoilRadio;
    QGroupBox *InitialGroup, *MidGroup, *SoilGroup;
    TDBText *KciniText, *KcmidText, *KcendText, *CurveNameText;
    TDBNumEdit *KcbEdit, *KcpEdit, *KcmEdit;
    QPushButton *CalcBtn, *UseFAOBtn, *OKBtn, *CancelBtn, *HelpBtn;

    void FormShow();
    void FormClose();
    void CalcBtnClick();
    void UseFAOBtnClick();
    void presetClick(const char* field, const QString& value);
    void setGroupsEnabled(bool on);
    void showPresets();
    void metricExit(const char* metric, const char* imperial, double factor);
    void imperialExit(const char* imperial, const char* metric, double factor, int decimals);
protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
private:
    void reedit();
    TFAO56CropsForm* m_owner;
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
