// TImportDailyDlg, "Import Daily Weather": brings a file of daily weather
// records (the plain daily CSV, or NOAA NCEI "Daily Summaries" in standard or
// metric units) into the daily weather of one station, for the daily
// soil-water balance of the main program. The station is the station
// editor's current one or another picked from the list. The reading, the
// questions (refused rows, replacing the station's earlier days) and the
// one-transaction store are job/DailyImport.h; the window only gathers the
// choices and shows the outcome.
#pragma once

#include <QDialog>

#include "DailyImport.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

namespace quen::climprog {

class TImportDailyDlg : public QDialog {
    Q_OBJECT
public:
    // station: the station preselected in the pick list (may be empty).
    explicit TImportDailyDlg(const QString& station, QWidget* parent = nullptr);

    QLineEdit* FileEdit;
    QPushButton* SelFileBtn;          // "Select File..."
    QComboBox* FormatCombo;           // plain CSV / NCEI standard units / NCEI metric units
    QDoubleSpinBox* WindHeightEdit;   // anemometer height, m
    QCheckBox* CoastalCheck;          // "Coastal location"
    QComboBox* StationCombo;          // "Station Name" of "Climate.DB"
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

    // The import as the choices stand.
    job::DailyImportRequest request() const;
    const job::DailyImportResult& lastResult() const { return m_result; }

    void SelFileBtnClick();
    void OKBtnClick();

private:
    job::DailyImportResult m_result;
};

} // namespace quen::climprog
