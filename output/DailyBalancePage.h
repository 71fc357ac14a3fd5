// The output dialog's "Daily balance" page: the crop's FAO-56 dual-Kc
// soil-water balance over every year of the station's daily weather. The
// year chooser (DailyYearCombo) picks the detail year; the page shows the
// design values over the years beside the monthly method's normal- and
// dry-year figures, the seasons of the record, the detail year's irrigation
// schedule and its chart, the weather record and the notes; "Daily Report"
// previews the printed report and "Export CSV..." writes the tables.
//
// The balance comes from the provider (the job layer's run for the crop the
// output dialog shows); it runs when the page is first shown and again for
// each year chosen. Without a provider, or for a run with an error, the page
// shows the error text and no numbers.
#pragma once

#include <QWidget>
#include <functional>

#include "DailyRun.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTableWidget;

namespace quen {

struct CropRunContext;

class TDailyBalancePage : public QWidget {
    Q_OBJECT
public:
    // year: the detail year asked for; 0 the last complete season.
    using Provider = std::function<job::DailyRun(int year)>;

    TDailyBalancePage(const CropRunContext& ctx, QWidget* parent = nullptr);

    void setProvider(Provider p) { m_provider = std::move(p); }
    void setMetric(bool on) { m_metric = on; }
    bool isMetric() const { return m_metric; }

    // Runs the provider for the year and shows the result.
    void load(int year = 0);
    bool isLoaded() const { return m_loaded; }
    const job::DailyRun& run() const { return m_run; }

    // The page width that shows its tables without a horizontal scroll bar.
    int neededWidth() const;

    // The text shown when the dialog has no daily balance to offer.
    static QString noProviderText();

    QComboBox* DailyYearCombo;
    QLabel* DailyErrorLabel;
    QLabel *DesignTitleLabel, *YearsUsedLabel, *ScheduleTitleLabel, *WeatherLabel, *NotesLabel;
    QTableWidget *DesignGrid, *SeasonsGrid, *ScheduleGrid;
    QChartView* DailyChartView;
    QPushButton *DailyReportBtn, *DailyCsvBtn;

public slots:
    void DailyYearComboChange(int index);
    void DailyReportBtnClick();
    void DailyCsvBtnClick();

private:
    void showRun();
    const CropRunContext& m_ctx;
    Provider m_provider;
    job::DailyRun m_run;
    bool m_metric = false;
    bool m_loaded = false;
    bool m_filling = false;
    QWidget* m_body = nullptr;
    QScrollArea* m_scroll = nullptr;
};

} // namespace quen
