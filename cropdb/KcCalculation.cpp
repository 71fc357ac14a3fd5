#include "KcCalculation.h"

#include <algorithm>
#include <QStringList>
#include <cmath>

#include "MessageService.h"
#include "Table.h"

namespace quen::cropprog {

double kcIniFor(double tew, double rew, double tw, double eto, double fw)
{
    const double eso = 1.15 * eto;   // potential evaporation rate of a wet surface
    const double t1 = rew / eso;     // end of stage 1 drying
    if (tw < t1)
        return (eso / eto) * fw;
    // FAO-56 eq. 7: mean evaporation over the wetting interval as a fraction of ETo.
    const double kc = (tew - (tew - rew) * std::exp(-(tw - t1) * eso * (1 + rew / (tew - rew)) / tew)) / (tw * eto);
    return kc * fw;   // FAO-56 eq. 60: evaporation only from the wetted fraction
}

double climateAdjustment(double u2, double rhMin, double height)
{
    return (0.04 * (u2 - 2) - 0.004 * (rhMin - 45)) * std::pow(height / 3, 0.3);
}

QString checkKcInputs(const KcInputs& in)
{
    auto bad = [](double v) { return !std::isfinite(v); };
    if (bad(in.wettingDays) || in.wettingDays <= 0)
        return QStringLiteral("Days between wettings (WettingDays) must be greater than 0.");
    if (bad(in.eto) || in.eto <= 0)
        return QStringLiteral("Estimated ETo (ETo) must be greater than 0 mm/day.");
    if (bad(in.app) || in.app < 0)
        return QStringLiteral("Irrigation depth per application (App) must be 0 or more.");
    if (bad(in.fw) || in.fw <= 0 || in.fw > 1)
        return QStringLiteral("Fraction wetted (Fw) must be greater than 0 and at most 1.");
    if (in.soilTexture != QLatin1String("CT") && in.soilTexture != QLatin1String("MFT"))
        return QStringLiteral("Soil texture (SText) must be CT or MFT.");
    if (bad(in.u2) || in.u2 < 0)
        return QStringLiteral("Wind speed (U2) must be 0 or more.");
    if (bad(in.rhMin) || in.rhMin < 0 || in.rhMin > 100)
        return QStringLiteral("RHmin (RHMin) must be between 0 and 100 percent.");
    if (bad(in.height) || in.height < 0)
        return QStringLiteral("Maximum crop height (MaxHeightM) must be 0 or more.");
    if (bad(in.kcMid) || bad(in.kcEnd))
        return QStringLiteral("The Table 12 values (Kcmid, Kcend) are not numbers.");
    return QString();
}

KcResults computeAdjustedKc(const KcInputs& in)
{
    KcResults r;
    const double rootEto = std::sqrt(in.eto);
    // Light wetting events (FAO-56 Fig. 29): TEW 10 mm, REW by ETo.
    const double rewLight = std::min(std::max(2.5, 6 / rootEto), 7.0);
    r.kcLight = kcIniFor(10, rewLight, in.wettingDays, in.eto, in.fw);
    // Heavy wetting events (FAO-56 Fig. 30) by soil texture.
    double tew, rew;
    if (in.soilTexture == QLatin1String("CT")) {
        tew = std::min(15.0, 7 * rootEto);
        rew = std::min(6.0, tew - 0.01);
    } else {
        tew = std::min(28.0, 13 * rootEto);
        rew = std::min(9.0, tew - 0.01);
    }
    r.kcHeavy = kcIniFor(tew, rew, in.wettingDays, in.eto, in.fw);
    // FAO-56 eq. 59: interpolation by the depth of the wetting event.
    const double depth = in.app * in.fw;
    if (depth <= 10)
        r.kcb = r.kcLight;
    else if (depth >= 40)
        r.kcb = r.kcHeavy;
    else
        r.kcb = r.kcLight + (depth - 10) / 30 * (r.kcHeavy - r.kcLight);
    const double a = climateAdjustment(in.u2, in.rhMin, in.height);
    r.kcp = in.kcMid + a;                                   // FAO-56 eq. 62
    r.kcm = in.kcEnd >= 0.45 ? in.kcEnd + a : in.kcEnd;     // FAO-56 eq. 65
    return r;
}

KcInputs readKcInputs(TTable& c)
{
    KcInputs in;
    auto f = [&](const char* n) { return c.field(QLatin1String(n)).asFloat(); };
    in.wettingDays = f("WettingDays");
    in.eto = f("ETo");
    in.app = f("App");
    in.fw = f("Fw");
    in.soilTexture = c.field(QStringLiteral("SText")).asString().trimmed();
    in.u2 = f("U2");
    in.rhMin = f("RHMin");
    in.height = f("MaxHeightM");
    in.kcMid = f("Kcmid");
    in.kcEnd = f("Kcend");
    return in;
}

static double round2(double v) { return std::round(v * 100) / 100; }

// An empty Table 12 value reads as 0 and would be stored as the curve's Kc:
// the curve's Table 12 values must have been fetched first.
static bool refuseMissingTable12(TTable& curve, std::initializer_list<const char*> fields)
{
    QStringList missing;
    for (const char* f : fields)
        if (curve.field(QLatin1String(f)).isNull()) missing << QLatin1String(f);
    if (missing.isEmpty()) return false;
    showError(QStringLiteral("The FAO 56 Table 12 values of this curve are empty (") + missing.join(QStringLiteral(", "))
              + QStringLiteral("). Choose them with \"Get Kc Data\" first.\nThe Kc values were not changed."));
    return true;
}

bool calculateCurveKc(TTable& curve)
{
    if (refuseMissingTable12(curve, {"Kcmid", "Kcend", "MaxHeightM"})) return false;
    const KcInputs in = readKcInputs(curve);
    const QString refusal = checkKcInputs(in);
    if (!refusal.isEmpty()) {
        showError(refusal + QStringLiteral("\nThe Kc values were not calculated."));
        return false;
    }
    const KcResults r = computeAdjustedKc(in);
    if (!std::isfinite(r.kcb) || !std::isfinite(r.kcp) || !std::isfinite(r.kcm)) {
        showError(QStringLiteral("The Kc values could not be calculated from these inputs."));
        return false;
    }
    if (curve.state() == TTable::State::Browse) curve.edit();
    curve.field(QStringLiteral("UseFAO5612")).setAsBoolean(false);
    curve.field(QStringLiteral("Kcb")).setAsFloat(round2(r.kcb));
    curve.field(QStringLiteral("Kcp")).setAsFloat(round2(r.kcp));
    curve.field(QStringLiteral("Kcm")).setAsFloat(round2(r.kcm));
    curve.post();
    return true;
}

bool useTable12Kc(TTable& curve)
{
    if (refuseMissingTable12(curve, {"Kcini", "Kcmid", "Kcend"})) return false;
    if (curve.state() == TTable::State::Browse) curve.edit();
    curve.field(QStringLiteral("UseFAO5612")).setAsBoolean(true);
    curve.field(QStringLiteral("Kcb")).setValue(curve.field(QStringLiteral("Kcini")).value());
    curve.field(QStringLiteral("Kcp")).setValue(curve.field(QStringLiteral("Kcmid")).value());
    curve.field(QStringLiteral("Kcm")).setValue(curve.field(QStringLiteral("Kcend")).value());
    curve.post();
    return true;
}

bool copyLocalDefaults(TTable& defaults, TTable& curve)
{
    static const char* numeric[] = {"WettingDays", "ETo", "App", "Fw", "U2", "RHMin"};
    double values[6];
    for (int i = 0; i < 6; ++i) {
        const QString text = defaults.field(QLatin1String(numeric[i])).asString().trimmed();
        const auto v = text.isEmpty() ? std::optional<double>(0) : parseNumber(text);
        if (!v) {
            showError(QStringLiteral("The local default ") + QLatin1String(numeric[i]) + QStringLiteral(" \"") + text
                      + QStringLiteral("\" is not a number; the defaults were not copied."));
            return false;
        }
        values[i] = *v;
    }
    if (curve.state() == TTable::State::Browse) curve.edit();
    for (int i = 0; i < 6; ++i) curve.field(QLatin1String(numeric[i])).setAsFloat(values[i]);
    curve.field(QStringLiteral("SText")).setAsString(defaults.field(QStringLiteral("SText")).asString().trimmed());
    // The imperial twins follow their metric partners.
    curve.field(QStringLiteral("EToin")).setAsFloat(fixedText(values[1] * 0.03936996, 2).toDouble());
    curve.field(QStringLiteral("Appin")).setAsFloat(fixedText(values[2] * 0.03936996, 2).toDouble());
    curve.field(QStringLiteral("U2in")).setAsFloat(fixedText(values[4] * 2.236936, 2).toDouble());
    return true;
}

std::optional<StageFractions> stageFractions(double lini, double ldev, double lmid, double totalDays)
{
    if (!(totalDays > 0) || !std::isfinite(totalDays)) return std::nullopt;
    StageFractions s;
    s.fs1 = round2(lini / totalDays);
    s.fs2 = round2((lini + ldev) / totalDays);
    s.fs3 = round2((lini + ldev + lmid) / totalDays);
    return s;
}

std::optional<double> parseNumber(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString fixedText(double v, int decimals) { return QString::number(v, 'f', decimals); }

} // namespace quen::cropprog
