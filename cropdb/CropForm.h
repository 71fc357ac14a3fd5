// The crop records editor "Review or Edit Local Crop Database" over
// "QuenCrop.DB", with three curve choice dialogs (TGetBasDlg, TGetBCDlg,
// TGetFAODlg). Each crop record names its basal (NEH2) curve with its
// humidity/wind variant, its Blaney-Criddle (TR21) curve and its FAO-56
// curve, and carries default growth dates, the alternate growing-season data
// and notes.
//
// New-record mode: switched on by "Insert Record" (or by a curve dialog that
// finds the table empty); while on, the curve dialogs fill the new row from
// "CrpLastUse.db" and leave posting to the editor. It ends as soon as the new
// row is posted or cancelled, so later dialogs on existing crops neither
// overwrite their choices nor leave them unposted.
#pragma once

#include <QDialog>

#include "CropFormKit.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "RecordEditor.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QAction;

namespace quen::cropprog {

class TCropForm : public QDialog {
    Q_OBJECT
public:
    explicit TCropForm(QWidget* parent = nullptr);
    ~TCropForm() override;

    bool NewRecordMode = false;
    TRecordEditor* Editor;

    TDBGrid* CropListGrid;
    TDBEdit* CropNameEdit;
    QTabWidget* PageControl;
    // "Kc Curves"
    TDBText* BasCurveNameText;
    QLabel* BasTypeLabel;
    TDBText* BasCropTypeText;
    TDBRadioGroup* HumWindRadio;
    QPushButton* GetBasBtn;
    TDBText* BCCurveNameText;
    TDBText* BCCropTypeText;
    QPushButton* GetBCBtn;
    QLabel* FAOLabel;
    TDBText* FAOCurveNameText;
    QPushButton* GetFAOBtn;
    // "Growth Dates"
    TDBNumEdit *PlantMoEdit, *PlantDayEdit, *HarvestMoEdit, *HarvestDayEdit;
    // "Alternate Growth Season Calc. Data"
    TDBNumEdit *MinGrowDaysEdit, *MaxGrowDaysEdit;
    TDBNumEdit *SpringAvTempEdit, *SpringAvTempMEdit, *FallAvTempEdit, *FallAvTempMEdit;
    // "Comments"
    TDBMemo* NotesMemo;
    TDBCheckBox* MarkedCheck;
    QPushButton* MarkBtn;
    TDBNavigator* Navigator;
    QPushButton *GotoEditBtn, *InsertBtn, *CancelBtn, *DeleteBtn, *CloseBtn;
    QAction* ShowAllMarkedItem;

    void FormShow();
    void FormClose();
    void InsertBtnClick();
    void DeleteBtnClick();
    void MarkBtnClick();
    void GetBasBtnClick();
    void GetBCBtnClick();
    void GetFAOBtnClick();
    void SpringAvTempExit();
    void SpringAvTempMExit();
    void FallAvTempExit();
    void FallAvTempMExit();
    void PrintCropNameListClick();
    void PrintAllMarkedClick();
    void refreshBasLabel();
    void refreshFAOLabel();
    // Puts the crop row into edit if it is browsing (an empty table starts a new row).
    void ensureRowEditing();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    void closeEvent(QCloseEvent* e) override;

private:
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
