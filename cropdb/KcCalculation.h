// The FAO-56 Chapter 6 adjustment of a crop curve's Table 12 coefficients to
// the local climate and wetting regime: Kc ini from the interval and depth of
// wetting events (FAO-56 eq. 7, 59 and 60), Kc mid and Kc end from the mid
// season wind, minimum humidity and crop height (FAO-56 eq. 62 and 65).
//
// computeAdjustedKc() is the pure calculation; calculateCurveKc() reads one
// "CrpFAOCurv.DB" row, refuses inputs it cannot compute with a message naming
// the field (nothing is written then) and stores "Kcb", "Kcp", "Kcm". The
// Table 11 stage fractions and the unit twins of the FAO-56 windows are here
// too, so that windows only call them.
#pragma once

#include <QString>
#include <optional>

namespace quen {
class TTable;
}

namespace quen::cropprog {

struct KcInputs {
    double wettingDays = 0;   // tw, days between wetting events in the initial stage
    double eto = 0;           // ETo, mm/day
    double app = 0;           // depth of one wetting event, mm
    double fw = 1;            // fraction of the surface wetted
    QString soilTexture;      // "CT" or "MFT"
    double u2 = 2;            // mid-season wind speed at 2 m, m/s
    double rhMin = 45;        // mid-season minimum relative humidity, %
    double height = 0;        // maximum crop height h, m
    double kcMid = 0;         // Table 12 Kc mid
    double kcEnd = 0;         // Table 12 Kc end
};

struct KcResults {
    double kcb = 0;   // adjusted Kc ini ("Kcb")
    double kcp = 0;   // adjusted Kc mid ("Kcp")
    double kcm = 0;   // adjusted Kc end ("Kcm")
    double kcLight = 0, kcHeavy = 0;   // the two Kc ini curves the depth interpolates between
};

// Kc ini for one soil evaporation pair (FAO-56 eq. 7 with Eso = 1.15 ETo),
// scaled by the wetted fraction. Needs eto > 0, tw > 0, tew > rew.
double kcIniFor(double tew, double rew, double tw, double eto, double fw);
// A = [0.04 (u2 - 2) - 0.004 (RHmin - 45)] (h / 3)^0.3 (FAO-56 eq. 62).
double climateAdjustment(double u2, double rhMin, double height);

// The message refusing the inputs (naming the field), or empty when they can
// be computed.
QString checkKcInputs(const KcInputs& in);
// The calculation; call only with inputs checkKcInputs accepts.
KcResults computeAdjustedKc(const KcInputs& in);

// Reads the inputs of the current row of an open "CrpFAOCurv.DB" handle.
KcInputs readKcInputs(TTable& curve);
// "Calculate adjusted  Kc values" on the current row: refuses bad inputs with
// an error message (returns false, nothing stored); otherwise clears
// "UseFAO5612", stores the three results rounded to 2 decimals and posts.
bool calculateCurveKc(TTable& curve);
// "Use FAO 56, Ch 12 Kc values": Table 12 values unchanged, "UseFAO5612" set,
// posted. Refuses (message, false, nothing stored) while they are empty.
bool useTable12Kc(TTable& curve);

// Copies the FAO-56 local defaults (text fields of "LocalDefaults.DB") into
// a curve row in edit. A text that is not a number is refused with a message
// naming the field; nothing is copied then.
bool copyLocalDefaults(TTable& defaults, TTable& curve);

// Table 11: stage fractions of the season ("Calculate This Crop").
struct StageFractions { double fs1 = 0, fs2 = 0, fs3 = 0; };
std::optional<StageFractions> stageFractions(double lini, double ldev, double lmid, double totalDays);

// A number typed in a text field: nullopt when it is not a finite number.
std::optional<double> parseNumber(const QString& text);
// Fixed-point text with n decimals (as the editors write converted twins).
QString fixedText(double v, int decimals);

} // namespace quen::cropprog
