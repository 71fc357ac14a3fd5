// TDefLocDlg ("Local Default Values", Options menu): the one row of
// "LocalDefaults.db" on two pages, "General Data" (the values that seed a new
// crop, and the units) and "FAO 56 Curve Data" (with the metric and customary
// twins of depth, ETo and wind). Its "Metric Units" box switches the
// program's units at once.
#pragma once

#include <QDialog>
#include <QList>

#include "CropRunContext.h"

class QPushButton;
class QTabWidget;

namespace quen {
class TDBCheckBox;
class TDBComboBox;
class TDBEdit;
class TDBNumEdit;
class TDBRadioGroup;
class TNumEdit;
}

namespace quen::mainprog {

class TDefLocDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDefLocDlg(CropRunContext& ctx, QWidget* parent = nullptr);
    ~TDefLocDlg() override;

    QTabWidget* PageControl;
    // General Data.
    TDBCheckBox* DBCheckBox2;
    TDBComboBox* IrrSysDBComboBox;
    TDBNumEdit* NetDepthDBEdit;
    TDBComboBox* SoilDBComboBox;
    TDBNumEdit* DysDevelopDBEdit;
    TDBNumEdit* DysMatureDBEdir;
    TDBCheckBox* DBCheckBox1;
    TDBNumEdit* OvcDbNumericField1;
    TDBNumEdit* OvcDbNumericField2;
    TDBNumEdit* Cut1MoDBEdit;
    TDBNumEdit* Cut1DayDBEdit;
    TDBNumEdit* LCutMoDBEdit;
    TDBNumEdit* LCutDayDBEdit;
    TDBNumEdit* NoCutDBEdit;
    // FAO 56 Curve Data.
    TDBEdit* DBEdit1;
    TDBEdit* DBEdit2;
    TDBNumEdit* OvcDbNumericField4;
    TDBRadioGroup* EToRadioGroup;
    TDBEdit* DBEditETo;
    TDBNumEdit* OvcDbNumericField8;
    TDBRadioGroup* FwRadioGroup;
    TDBEdit* DBEditfw;
    TDBRadioGroup* U2RadioGroup;
    TDBEdit* DBEditu2;
    TDBNumEdit* OvcDbNumericField5;
    TDBRadioGroup* RHMinRadioGroup;
    TDBEdit* DBEditRHmin;
    TDBRadioGroup* STextRadioGroup;
    TDBEdit* DBEditSoil;
    // Farm Water: a new job's conveyance efficiency, operating hours and
    // water salinity ("FarmDefaults.db"), and the application efficiency of
    // each type of irrigation ("FarmIrrEff.db").
    TNumEdit* ConveyEffDefEdit;
    TNumEdit* HoursDefEdit;
    TNumEdit* ECwDefEdit;
    QList<TNumEdit*> AppEffDefEdits;   // one per type of FarmIrrigationTypes()
    QPushButton* HelpBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void FormShow();
    void OKBtnClick();
    void CancelBtnClick();
    void DBCheckBox2Exit();
    void DBEdit2Exit();
    void OvcDbNumericField4Exit();
    void DBEditEToExit();
    void OvcDbNumericField8Exit();
    void DBEditu2Exit();
    void OvcDbNumericField5Exit();
    void Cut1DayDBEditExit();
    void LCutDayDBEditExit();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    // Writes a twin computed from the field "from" into the field "to".
    void twin(const char* from, double factor, const char* to, int decimals, bool toIsText);
    void cutDayLeft(const char* monthField, const char* dayField, TDBNumEdit* dayEdit, int& ctxDay);

    CropRunContext& m_ctx;
    bool m_shown = false;
    bool m_done = false;
};

} // namespace quen::mainprog
