// Choice of a job's ET method from the system default "ET Method" and the
// station's wind data.
#pragma once

#include <QString>
#include <optional>

#include "CropRunContext.h"

namespace quen {

class TTable;

// Asks the user for an ET method (the "Select ET Computation Method" dialog
// implements it). Returns the index the user leaves checked (1, 2 or 3), or
// nullopt when nothing is checked (the index stays as it was).
class EtMethodChooser {
public:
    virtual ~EtMethodChooser() = default;
    // systemCode: the full system default code ("ANYFAO" or "ANY"), which says
    // which choices are enabled; currentIndex: the index on entry (2).
    virtual std::optional<int> chooseEtMethod(const QString& systemCode, int currentIndex) = 0;
};

inline const QString kInsufficientClimateData = QStringLiteral(
    "There is insufficient climatic data for Penman-Monteith method.  Will use Blaney Criddle (TR21) method.");

struct EtMethodChoice {
    int index = 1;
    QString text;
};

// The decision itself: whrLocation of the station (empty when it has no
// wind, humidity and radiation record), its July wind "U27" and the stored
// system default code. Shows the information message and asks the
// chooser as the rules say.
EtMethodChoice DecideEtMethod(const QString& whrLocation, double julyWind, const QString& storedCode,
                              EtMethodChooser* chooser);

// ChooseETMethod: reads "Climate.DB" (nearest match on the job's weather
// station), "ClimWHR.DB" and "SystemDefaults.db", and sets ETMethodIndex and
// ETMethodText of the context. A station whose "WHRLocation" is empty or
// names no "ClimWHR.DB" row has no wind data: with a Penman-Monteith default
// it falls back to Blaney-Criddle with the insufficient-data message.
void ChooseETMethod(CropRunContext& ctx, EtMethodChooser* chooser);

inline const QString kBlaneyCriddleText = QStringLiteral("Blaney Criddle (TR21)");

// Positions the open "ClimWHR.DB" handle on the row whose "WHRLocation" is
// exactly location and returns true; false (position undefined) for an empty
// location or one that names no row. A Penman-Monteith run reads only this
// row: the nearest row of another location is never a stand-in.
bool FindWhrRecord(TTable& whr, const QString& location);

// True when the station the nearest search on stationName lands on (the
// station every computation of the job reads) has its wind, humidity and
// radiation record.
bool StationHasWhrRecord(const QString& stationName);

// A job computed by Penman-Monteith (index 2 or 3) whose station has no wind,
// humidity and radiation record: shows the insufficient-data message and sets
// the job's method to Blaney-Criddle (index 1 and its text). True when it fell
// back; a job of any other method, or with the record, is left as it is.
bool FallBackWithoutWindRecord(CropRunContext& ctx);

} // namespace quen
