// TDefSysDlg ("System Default Values", Options menu): the one row of
// "SystemDefaults.db" (ET method policy, TR21 elevation correction, peak ET
// procedure, carry-over percentages, password); read-only until TPasswordDlg
// accepts the password.
#pragma once

#include <QDialog>

class QLabel;
class QCheckBox;
class QPushButton;

namespace quen {
class TDBEdit;
class TDBNumEdit;
class TDBRadioGroup;
}

namespace quen::mainprog {

class TDefSysDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDefSysDlg(QWidget* parent = nullptr);
    ~TDefSysDlg() override;

    TDBRadioGroup* DBRadioGroup1;
    TDBRadioGroup* ElevDBRadioGroup;
    TDBRadioGroup* PeakETDBRadio;
    TDBNumEdit* SpringDBEdit;
    TDBNumEdit* FallDBEdit;
    QCheckBox* KcClimateCheck;   // FAO-56 eq. 62 / 65 option ("FAO56KcClimate.db")
    QCheckBox* DewPointCheck;    // FAO-56 eq. 48 dew point option ("FAO56DewPoint.db")
    QLabel* PasswordLabel;
    TDBEdit* PasswordDBEdit;
    QLabel* NoteLabel;
    QPushButton* HelpBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* EditDataBtn;

    bool editMode() const { return m_editing; }
    // After a correct password: the row in edit, the controls enabled.
    void enterEditMode();

public slots:
    void FormShow();
    void EditDataBtnClick();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    void setControlsEnabled(bool on);
    bool m_shown = false;
    bool m_editing = false;
    bool m_done = false;
};

} // namespace quen::mainprog
