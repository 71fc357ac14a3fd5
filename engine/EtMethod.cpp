#include "EtMethod.h"

#include "db/MessageService.h"
#include "db/Schema.h"
#include "db/Table.h"

namespace quen {

EtMethodChoice DecideEtMethod(const QString& whrLocation, double julyWind, const QString& storedCode,
                              EtMethodChooser* chooser)
{
    static const QString bc = QStringLiteral("Blaney Criddle (TR21)");
    if (whrLocation.isEmpty())
        return {1, bc};
    const QString code = normalizeEtMethodCode(storedCode);
    const bool fao = code == QLatin1String("FAONEH") || code == QLatin1String("FAO56")
        || code == QLatin1String("ANYFAO") || code == QLatin1String("ANY");
    if (!fao)
        return {1, bc};
    if (julyWind == 0.0) {
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

void ChooseETMethod(CropRunContext& ctx, EtMethodChooser* chooser)
{
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    clim.findNearest({ctx.WeatherStationName});
    const QString whr = clim.isEmpty() ? QString() : clim.field(QStringLiteral("WHRLocation")).asString();
    clim.close();

    double julyWind = 0.0;
    QString code;
    if (!whr.isEmpty()) {
        TTable wind(QStringLiteral("ClimWHR.DB"));
        wind.setIndexName(QStringLiteral("Location Name"));
        wind.open();
        wind.findNearest({whr});
        if (!wind.isEmpty())
            julyWind = wind.field(QStringLiteral("U27")).asFloat();
        wind.close();
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
