// TGetClimDlg "Get Climate Station": the job's climate station, chosen
// county first, then station.
// Shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quen {
class TDBGrid;
}

namespace quen::mainprog {

class TGetClimDlg : public QDialog {
    Q_OBJECT
public:
    // Over DMod's "County.db" and (county-filtered) "Climate.DB" handles,
    // which the caller opens.
    explicit TGetClimDlg(QWidget* parent = nullptr);
    TDBGrid* CountyDBGrid;
    TDBGrid* SelectedStaDBGrid;
    QLabel* StationNameText;   // "Station Name" of the current station
    QPushButton* HelpBtn;
    QPushButton* btnOK;

private:
    void showCurrent();
};

} // namespace quen::mainprog
