// Table definitions of the shared Quenpm database.
//
// Every table the three programs use is declared once here, in code: its
// name as the programs write it ("Climate.DB", "LocalDefaults.db"), its
// fields in physical order with type and width, its primary key and its named
// secondary indexes. The database layer creates tables from these
// definitions, the table handles read field types and widths from them, and
// schema upgrades are driven by kSchemaVersion.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quen {

enum class FieldType {
    Text,     // text(n): at most n characters; longer values are cut to n
    Float,    // 8-byte IEEE double
    Short,    // 16-bit signed integer
    Logical,  // true / false
    AutoInc,  // 32-bit counter assigned on insert; cannot be written
    Memo      // variable-length text
};

struct FieldDef {
    QString name;            // exact spelling, blanks, slashes and % signs included
    FieldType type = FieldType::Float;
    int size = 0;            // width of a text field; declared size of a memo
    bool required = false;   // post refuses the row while the field is empty
};

struct IndexDef {
    QString name;             // name the programs select it by ("JobNameIndex")
    QStringList fields;       // key fields, most significant first
    bool caseInsensitive = false;
    bool unique = false;
};

struct TableDef {
    QString name;               // canonical name, e.g. "QuenWkCrop.DB"
    QList<FieldDef> fields;     // physical order
    QStringList primaryKey;     // empty: no primary key (rows in insertion order)
    bool primaryCaseInsensitive = false;
    QList<IndexDef> indexes;    // named secondary indexes
    bool scratch = false;       // belongs to the program run: kept in its private in-memory database

    int fieldIndex(const QString& fieldName) const;   // -1 when absent (exact spelling)
    const IndexDef* index(const QString& indexName) const; // nullptr when absent
    // The field that is the SQLite row key of a table of the private
    // database: the one field of its primary key when that is a whole number
    // that must have a value ("JDate" of "ETKc.db"); its rows then need no
    // index of their own. -1 for any other table.
    int rowKeyField() const;
};

// Version of the table layout written into every database created; a database
// of an older version is upgraded when it is opened. Version 2 adds
// "FAO56KcClimate.db"; version 3 the farm water tables ("FarmJob.db",
// "FarmCrop.db", "FarmWkCrop.db", "FarmDefaults.db", "FarmIrrEff.db",
// "FarmCropSalt.db"); version 4 the daily soil-water balance tables
// ("DailyWeather.db", "DailyWeatherSet.db", "FAO56CropDaily.db",
// "FAO56SoilWater.db"); version 5 "FAO56DewPoint.db".
inline constexpr int kSchemaVersion = 5;

// Every table of the database, in a fixed order.
const QList<TableDef>& schemaTables();

// Finds a table by the name a program uses. "County", "County.db" and
// "County.DB" all name the same table: the extension may be absent and its
// case is free; the base name is compared exactly. nullptr when unknown.
const TableDef* findTableDef(const QString& tableName);

// The base name without extension ("Climate" for "Climate.DB"): the name of
// the table in the SQLite file and in the mark statement ("Update Climate").
QString tableBaseName(const QString& tableName);

// "ET Method" of "SystemDefaults.db": older databases hold the field 5
// characters wide, so the codes "FAONEH" and "ANYFAO" may be stored as their
// 5-character prefixes "FAONE" and "ANYFA". normalizeEtMethodCode returns the
// full code for such a prefix (and the trimmed text otherwise);
// etMethodCodeIs compares a stored value with a full code on that basis.
QString normalizeEtMethodCode(const QString& stored);
bool etMethodCodeIs(const QString& stored, const QString& fullCode);

} // namespace quen
