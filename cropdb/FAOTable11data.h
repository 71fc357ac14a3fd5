// TFAOTable11data "FAOTable11 Crop Development Stages" over "crpFAOTbl11.db":
// the stage lengths of FAO 56 Table 11 for the FAO curve.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

namespace quen::cropprog {

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

} // namespace quen::cropprog
