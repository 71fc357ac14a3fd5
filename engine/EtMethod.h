// Choice of a job's ET method from the system default "ET Method" and the
// station's wind data.
#pragma once

#include <QString>
#include <optional>

#include "CropRunContext.h"

namespace quen {

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

// The decision itself: whRLocation of the station, its July wind "U27" and the
// stored system default code. Shows the information message and asks the
// chooser as the rules say.
EtMethodChoice DecideEtMethod(const QString& whrLocation, double julyWind, const QString& storedCode,
                              EtMethodChooser* chooser);

// ChooseETMethod: reads "Climate.DB" (nearest match on the job's weather
// station), "ClimWHR.DB" and "SystemDefaults.db", and sets ETMethodIndex and
// ETMethodText of the context.
void ChooseETMethod(CropRunContext& ctx, EtMethodChooser* chooser);

} // namespace quen
