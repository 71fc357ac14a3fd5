#include "EtMethod.h"

#include "Station.h"
#include "db/MessageService.h"
#include "db/Schema.h"
#include "db/Table.h"

namespace quen {

EtMethodChoice DecideEtMethod(const QString& whrLocation, double julyWind, const QString& storedCode,
                              EtMethodChooser* chooser)
{
    const QString& bc = kBlaneyCriddleText;
    const QString code = normalizeEtMethodCode(storedCode);
    const bool fao = code == QLatin1String("FAONEH") || code == QLatin1String("FAO56")
        || code == QLatin1String("ANYFAO") || code == QLatin1String("ANY");
    if (!fao)
        return {1, bc};
    // No record (empty location) or no July wind: no Penman-Monteith.
    if (whrLocation.isEmpty() || julyWind == 0.0) {
        messages().show(MsgKind::Information, kInsufficientClimateData);
        return {1, bc};
    }
    if (code == QLatin1String("FAONEH"))
        return {2, QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves")};
    if (code == QLatin1String("FAO56"))
        return {3, QStringLiteral("FAO Penman-Monteith,FAO 56,Table12")};
    int index = 2;
    if (chooser) {
        if (const std::optional<int> chosen = chooser->chooseEtMethod(code, index))
            index = *chosen;
    }
    switch (index) {
    case 1: return {1, bc};
    case 3: return {3, QStringLiteral("FAO Penman-Monteith,FAO56, Table12")};
    default: return {2, QStringLiteral("FAO Penman-Monteith,NEH2 Bas curves")};
    }
}

namespace {

QString StationWhrLocation(const QString& stationName)
{
    return ReadStation(stationName).whrLocation;
}

} // namespace

bool FindWhrRecord(TTable& whr, const QString& location)
{
    if (location.isEmpty() || whr.isEmpty())
        return false;
    // The key search first; the exact text decides (a key that differs only
    // in case is another location).
    if (whr.findKey({location}) && whr.field(QStringLiteral("WHRLocation")).asString() == location)
        return true;
    return whr.locate(QStringLiteral("WHRLocation"), location);
}

bool StationHasWhrRecord(const QString& stationName)
{
    const QString location = StationWhrLocation(stationName);
    if (location.isEmpty())
        return false;
    TTable wind(QStringLiteral("ClimWHR.DB"));
    wind.open();
    const bool found = FindWhrRecord(wind, location);
    wind.close();
    return found;
}

bool FallBackWithoutWindRecord(CropRunContext& ctx)
{
    if (ctx.ETMethodIndex != 2 && ctx.ETMethodIndex != 3)
        return false;
    if (StationHasWhrRecord(ctx.WeatherStationName))
        return false;
    messages().show(MsgKind::Information, kInsufficientClimateData);
    ctx.ETMethodIndex = 1;
    ctx.ETMethodText = kBlaneyCriddleText;
    return true;
}

void ChooseETMethod(CropRunContext& ctx, EtMethodChooser* chooser)
{
    QString whr = StationWhrLocation(ctx.WeatherStationName);

    double julyWind = 0.0;
    if (!whr.isEmpty()) {
        TTable wind(QStringLiteral("ClimWHR.DB"));
        wind.open();
        if (FindWhrRecord(wind, whr))
            julyWind = wind.field(QStringLiteral("U27")).asFloat();
        else
            whr.clear();   // names no record: no wind data
        wind.close();
    }
    QString code;
    {
        TTable sys(QStringLiteral("SystemDefaults.db"));
        sys.open();
        sys.first();
        if (!sys.isEmpty())
            code = sys.field(QStringLiteral("ET Method")).asString();
        sys.close();
    }
    const EtMethodChoice c = DecideEtMethod(whr, julyWind, code, chooser);
    ctx.ETMethodIndex = c.index;
    ctx.ETMethodText = c.text;
}

} // namespace quen
