// The station record format of the climate program: the state files
// ("*.quen") and the work file "TmpTP.txt" of the county report import.
//
// One record, seven lines:
//   1  "#" label, blank, County "|" Station Name "|" Station No
//   2  Latitude (DDMM) Longitude (DDDMM) Elevation (ft)
//   3  12 mean daily maximum temperatures, deg F
//   4  12 mean daily minimum temperatures, deg F
//   5  12 mean temperatures, deg F
//   6  12 mean precipitations, inches
//   7  four freeze dates mm/dd: spring 28 F, fall 28 F, spring 32 F, fall 32 F
//      ("--/--" for a date that is not known; an empty line: none is known)
// Anything before a record's "#" is ignored. A line holds at most 82
// characters, a monthly value at most 6.
//
// The reader checks a whole file before anything is stored: the first
// damaged record stops it with a message naming the file, the record and the
// line, so an import either takes every record or none.
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <array>

namespace quen::climprog {

inline constexpr int kMaxRecordLine = 82;   // characters of a line before its newline
inline constexpr int kMaxValueToken = 6;    // characters of one monthly value

// Station elevation the climate program takes, in the imports and the
// station editor alike: feet, and the whole metres inside that range
// (-1500 ft = -457.2 m, 30000 ft = 9144 m).
inline constexpr double kMinElevationFt = -1500;
inline constexpr double kMaxElevationFt = 30000;
inline constexpr double kMinElevationM = -457;
inline constexpr double kMaxElevationM = 9144;

struct TStationRecord {
    QString county, name, number;
    double latitude = 0, longitude = 0, elevation = 0;
    std::array<double, 12> tmax{}, tmin{}, t{}, p{};
    std::array<QString, 4> dates;   // Spr 28, Fall 28, Spr 32, Fall 32 ("" when not known)
    int record = 0;                 // 1-based number of the record in its file
    int line = 0;                   // line of its "#"
};

struct TStationFile {
    QList<TStationRecord> records;  // the records kept (all, or those of the chosen counties)
    int recordsRead = 0;            // every record of the file
    QString error;                  // the message of the first damaged record; empty when sound
    bool ok() const { return error.isEmpty(); }
};

// Reads every record of text. counties, when given, keeps only the records
// whose county is one of them (every record is still checked). fileName is
// named in the messages.
TStationFile parseStationRecords(const QByteArray& text, const QString& fileName,
                                 const QSet<QString>* counties = nullptr);

// Reads a file; a file that cannot be opened gives openError as the error.
TStationFile readStationFile(const QString& path, const QString& openError,
                             const QSet<QString>* counties = nullptr);

// Latitude stored as degrees and minutes run together: a whole number of 3
// or 4 digits (DMM or DDMM), minutes under 60, at most 90 degrees. The
// engine refuses anything else.
bool isDDMMLatitude(double v);
// Longitude as DDDMM: a whole number from 0, minutes under 60, at most 180 degrees.
bool isDDDMMLongitude(double v);
// The message refusing a latitude or longitude of a station; field is
// "Latitude" or "Longitude".
QString positionMessage(const QString& station, const QString& field, const QString& valueText);

// Values of a "Climate.DB" row in field order, with the metric columns
// computed: deg C = (F - 32) x 5 / 9 and cm = in x 2.54 with 2 decimals,
// "ElevationM" = ft x 0.3048 with 0 decimals.
QVariantList climateRowValues(const TStationRecord& r);

// Writes one record as the report converter does: "#%d %s|%s|%s \n",
// "%d %d %d \n", twelve "%-5.1lf " per temperature line, twelve "%-5.2lf "
// for precipitation, "%s %s %s %s \n\n".
void writeStationRecord(QByteArray& out, int label, const TStationRecord& r);

// Fixed-point rounding used for the metric twins.
double roundedTo(double v, int decimals);

} // namespace quen::climprog
