// The reports of the climate database program, prepared over an open table
// handle without a window: the station reports of the station editor and
// the location reports of the wind, humidity and radiation editor. Letter,
// portrait, 0.5 inch margins; footer "Date:" and "Page:".
#pragma once

#include <functional>

#include "PreparedReport.h"

class QWidget;

namespace quen {
class TTable;
}

namespace quen::climprog {

// "Print All Marked" of the stations: one block per visible row ("Quen
// Climate Database"); metric selects degrees C, cm and metres.
report::PreparedReport prepareStationDetails(TTable& clim, bool metric);
// "Print List by County": grouped by "County", total at the end.
report::PreparedReport prepareStationListByCounty(TTable& clim);
// "Print List by Station": in the table's current order.
report::PreparedReport prepareStationList(TTable& clim);
// "Print Location List" and "Print All Marked" of "ClimWHR".
report::PreparedReport prepareLocationList(TTable& whr);
report::PreparedReport prepareLocationDetails(TTable& whr);

// Shows prepared pages: the report engine's preview, or what a test puts here.
extern std::function<void(const report::PreparedReport&, QWidget*)> showClimReport;

} // namespace quen::climprog
