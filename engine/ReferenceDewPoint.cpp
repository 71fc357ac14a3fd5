#include "ReferenceDewPoint.h"

#include "OptionFlag.h"

namespace quen {

bool ReferenceDewPointOptionOn()
{
    return OptionFlag(QStringLiteral("FAO56DewPoint.db"), QStringLiteral("Dew Point At Tmin"));
}

void SetReferenceDewPointOption(bool on)
{
    SetOptionFlag(QStringLiteral("FAO56DewPoint.db"), QStringLiteral("Dew Point At Tmin"), on);
}

} // namespace quen
