#include "IrrigationTypes.h"

namespace quen {

QString CanonicalIrrigationType(const QString& type)
{
    QString t = type.trimmed();
    if (t.startsWith(QLatin1String("Spinklers-")))
        t.replace(0, 10, QStringLiteral("Sprinklers-"));
    if (t.startsWith(QLatin1String("Furrows-")))
        t.replace(0, 8, QStringLiteral("Furrow-"));
    if (t.startsWith(QLatin1String("LEPA sysytems")))
        t.replace(0, 13, QStringLiteral("LEPA systems"));
    return t;
}

bool SameIrrigationType(const QString& a, const QString& b)
{
    return CanonicalIrrigationType(a) == CanonicalIrrigationType(b);
}

double FractionWettedForIrrigationType(const QString& type)
{
    struct Row { const char* type; double fw; };
    static const Row rows[] = {
        {"Rain", 1.0},
        {"Sprinklers- above canopy", 1.0},
        {"Borders and basin irrigation", 1.0},
        {"Furrow- Large application depth", 1.0},
        {"Furrow- Small application depth", 0.5},
        {"Furrow- Every other row irrigated", 0.5},
        {"Trickle irrigation", 0.25},
        {"LEPA systems (every other row)", 0.5},
    };
    const QString t = CanonicalIrrigationType(type);
    for (const Row& r : rows)
        if (t == QLatin1String(r.type))
            return r.fw;
    return 1.0;
}

} // namespace quen
