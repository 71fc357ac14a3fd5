// TClimDefaultsFrm, "Climatic Defaults": the climate columns of the one
// "LocalDefaults.DB" row: what a new wind, humidity and radiation location
// starts with, the location a new station starts with, and the units of the
// station report. Leaving "Metric Units" sets the program's flag at once.
#pragma once

#include <QDialog>

#include "DBControls.h"

class QPushButton;

namespace quen::climprog {

class TClimDefaultsFrm : public QDialog {
    Q_OBJECT
public:
    explicit TClimDefaultsFrm(QWidget* parent = nullptr);
    ~TClimDefaultsFrm() override;

    TDBRadioGroup* StationTypeRadio;     // "Type of weather station"
    TDBNumEdit* StationHeightEdit;       // "##.#"
    TDBRadioGroup* StationLocRadio;      // "Weather station location"
    TDBNumEdit* CorEdit[12];             // "Cor1".."Cor12"
    TDBNumEdit* NEdit[12];               // "N1".."N12"
    TDBCheckBox* MetricCheck;            // "Use metric units"
    TDBComboBox* WHRLocationCombo;       // "Wind, Humidity, Radiation default location"
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

public slots:
    void FormShow();
    void MetricCheckExit();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void finish();
    bool m_opened = false;   // this dialog opened the table
    bool m_shown = false;
};

} // namespace quen::climprog
