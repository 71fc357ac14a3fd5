// TGetClimDlg "Get Climate Station": the job's climate station, chosen
// county first, then station; or on the map of the stations beside the
// grids, or from the stations nearest to the field's position.
// Shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>
#include <QList>

#include "StationPlaces.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quen {
class TDBGrid;
class TStationMap;
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
    // The map and the "Nearest to" search.
    TStationMap* StationMap;
    QLineEdit* NearestToEdit;     // latitude and longitude of the field
    QLineEdit* FieldElevEdit;     // the field's elevation (ft), optional
    QPushButton* NearestToBtn;
    QTableWidget* NearestGrid;    // stations by distance

    void StationMapClick(const QString& name);
    void NearestToBtnClick();
    void NearestGridClick();

protected:
    // Return in the position or elevation field lists the stations; it does
    // not close the dialog with whatever station is current.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCurrent();
    void goTo(const QString& name);
    QList<StationPlace> m_places;
};

} // namespace quen::mainprog
