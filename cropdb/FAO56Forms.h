// The FAO-56 windows of the crop database program: the FAO curves window
// "Review or Edit Kc Curves - FAO 56 Crops" over "CrpFAOCurv.DB" and the
// windows it opens to assemble a curve (the Table 12 picker, the NEH2 crop
// type picker, the Table 11 window, the Kc calculation window), the Table 12
// window, and the FAO-56 local defaults dialog.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

class QLabel;

namespace quen::cropprog {

class TFAO56CropsForm : public TCurveEditorBase {
    Q_OBJECT
public:
    explicit TFAO56CropsForm(QWidget* parent = nullptr);
    TDBEdit* CurveNameEdit;
    QPushButton *GetKcDataBtn, *GetNEHBtn, *GetFAO11Btn, *KcCalcBtn;
    void FormShow() override;
    void FormClose() override;
    void InsertBtnClick() override;
    void MarkBtnClick() override;
    void GetKcDataBtnClick();
    void GetNEHBtnClick();
    void GetFAO11BtnClick();
    void KcCalcBtnClick();
    void PrintCurveListClick();
    void DefaultsClick();
};

// "Get Crop Kc Data (FAO 56 Table 12)".
class TGetCropName : public QDialog {
    Q_OBJECT
public:
    explicit TGetCropName(QWidget* parent = nullptr);
    TDBGrid* CropGrid;
    QPushButton *UseBtn, *CancelBtn;
    void UseBtnClick();
};

// "Get Crop Growth Data" (NEH2 annual crop types).
class TGetCropType : public QDialog {
    Q_OBJECT
public:
    explicit TGetCropType(QWidget* parent = nullptr);
    TDBGrid* TypeGrid;
    QPushButton *UseBtn, *CancelBtn;
    void UseBtnClick();
};

// "FAOTable11 Crop Development Stages" over "crpFAOTbl11.db".
class TFAOTable11data : public QDialog {
    Q_OBJECT
public:
    explicit TFAOTable11data(QWidget* parent = nullptr);
    TDBGrid* CropGrid;
    TDBEdit *CropNameEdit, *RegionEdit, *PlantDateEdit;
    TDBNumEdit *LiniEdit, *LdevEdit, *LmidEdit, *LlateEdit, *TotalDaysEdit, *MinDaysEdit, *MaxDaysEdit;
    TDBText *Fs1Text, *Fs2Text, *Fs3Text;
    TDBNavigator* Navigator;
    QPushButton *CalcBtn, *ListBtn, *OKBtn, *CancelBtn, *HelpBtn;
    void FormShow();
    void FormClose();
    void CalcBtnClick();
    void ListBtnClick();
protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
private:
    bool m_shown = false, m_closed = false;
};

// "Calculate Kc based on FAO 56, Chapter 6".
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

// "FAO 56, Table 12 DB input" over "CrpFAO56Tbl.db".
class TFAO56tbl12DBdlg : public QDialog {
    Q_OBJECT
public:
    explicit TFAO56tbl12DBdlg(QWidget* parent = nullptr);
    TDBGrid* CropGrid;
    TDBEdit *CropNameEdit, *CropDescripEdit;
    TDBNumEdit *KciniEdit, *KcmidEdit, *KcendEdit, *MaxHeightMEdit, *MaxHeightFEdit;
    TDBNavigator* Navigator;
    QPushButton *ListBtn, *CloseBtn, *CancelBtn, *HelpBtn;
    void FormShow();
    void FormClose();
    void MaxHeightMExit();
    void MaxHeightFExit();
protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
private:
    bool m_shown = false, m_closed = false;
};

// "Local Default Values (FAO 56 Curves)" over "LocalDefaults.DB".
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
