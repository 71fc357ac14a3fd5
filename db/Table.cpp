#include "Table.h"
#include "Database.h"
#include "MarkQuery.h"
namespace quen {
DbError::DbError(const QString& m) : std::runtime_error(m.toStdString()) {}
QString DbError::message() const { return QString::fromStdString(what()); }
[[noreturn]] static void ni() { throw DbError(QStringLiteral("not implemented")); }
struct TTable::Impl { QString name; };
QString TField::name() const { ni(); }
FieldType TField::type() const { ni(); }
int TField::size() const { ni(); }
bool TField::isNull() const { ni(); }
QVariant TField::value() const { ni(); }
QString TField::asString() const { ni(); }
int TField::asInteger() const { ni(); }
double TField::asFloat() const { ni(); }
bool TField::asBoolean() const { ni(); }
void TField::setValue(const QVariant&) { ni(); }
void TField::setAsString(const QString&) { ni(); }
void TField::setAsInteger(int) { ni(); }
void TField::setAsFloat(double) { ni(); }
void TField::setAsBoolean(bool) { ni(); }
void TField::clear() { ni(); }
TTable::TTable(QObject* p) : QObject(p), d(new Impl) {}
TTable::TTable(const QString& n, QObject* p) : QObject(p), d(new Impl) { d->name = n; }
TTable::~TTable() = default;
void TTable::setDatabaseName(const QString&) {}
QString TTable::databaseName() const { return QStringLiteral("Quenpm"); }
void TTable::setTableName(const QString& n) { d->name = n; }
QString TTable::tableName() const { return d->name; }
const TableDef& TTable::definition() const { ni(); }
void TTable::setIndexName(const QString&) { ni(); }
QString TTable::indexName() const { ni(); }
void TTable::open() { ni(); }
void TTable::close() {}
bool TTable::isOpen() const { return false; }
TTable::State TTable::state() const { return State::Inactive; }
void TTable::first() { ni(); }
void TTable::next() { ni(); }
void TTable::prior() { ni(); }
void TTable::last() { ni(); }
bool TTable::eof() const { ni(); }
bool TTable::bof() const { ni(); }
int TTable::recordCount() const { ni(); }
bool TTable::isEmpty() const { ni(); }
int TTable::recNo() const { ni(); }
bool TTable::findKey(const QVariantList&) { ni(); }
void TTable::findNearest(const QVariantList&) { ni(); }
bool TTable::locate(const QString&, const QVariant&) { ni(); }
void TTable::setRange(const QVariantList&, const QVariantList&) { ni(); }
void TTable::cancelRange() { ni(); }
void TTable::setFilter(const QString&) {}
QString TTable::filter() const { return {}; }
void TTable::setFiltered(bool) {}
bool TTable::filtered() const { return false; }
void TTable::setOnFilterRecord(std::function<bool(TTable&)>) {}
void TTable::append() { ni(); }
void TTable::edit() { ni(); }
void TTable::post() { ni(); }
void TTable::cancel() { ni(); }
void TTable::remove() { ni(); }
void TTable::emptyTable() { ni(); }
void TTable::refresh() { ni(); }
int TTable::fieldCount() const { ni(); }
TField TTable::field(int i) { return TField(this, i); }
TField TTable::field(const QString&) { ni(); }
bool TTable::hasField(const QString&) const { ni(); }
QString TTable::fieldName(int) const { ni(); }
QVariantList TTable::rowValues() const { ni(); }
QVariant TTable::valueAt(int) const { ni(); }
void TTable::setValueAt(int, const QVariant&) { ni(); }
QString Database::resolveAlias(const QString&) { ni(); }
void Database::open(const QString&) { ni(); }
bool Database::isOpen() { return false; }
QString Database::path() { return {}; }
void Database::close() {}
QSqlDatabase Database::connection() { ni(); }
void Database::setDataDirectory(const QString&) {}
QString Database::dataDirectory() { return {}; }
void Database::loadDataDirectory(const QString&) { ni(); }
int Database::execMarkStatement(const QString&, const QString&) { ni(); }
int Database::schemaVersion() { ni(); }
void Database::registerHandle(TTable*) {}
void Database::unregisterHandle(TTable*) {}
void Database::notifyTableChanged(const QString&, TTable*) {}
int TMarkQuery::execSQL() { ni(); }
}
