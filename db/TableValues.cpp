#include "TableValues.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

#include "DbError.h"

namespace quen::dbi {

bool isTextType(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }

QString generalFormat(double v)
{
    // Shortest text with at most 15 significant digits, no trailing zeros.
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        s = s.toUpper();
        s.replace(QLatin1String("E+"), QLatin1String("E"));
    }
    return s;
}

// The fields of the key a refused row duplicates, from the database's error
// text (SQLite: "UNIQUE constraint failed: Climate.Station Name"; a server
// names the index: "Climate$StaNameIndex", "Climate$primary",
// "QuenJob_pkey"); the primary key when the text names none of them.
static QList<int> violatedKeyFields(const TableDef& def, const QString& errorText)
{
    QList<int> out;
    static const QRegularExpression sqlite(QStringLiteral("UNIQUE constraint failed: ([^\n]+)"));
    static const QRegularExpression server(QStringLiteral("unique constraint \"([^\"]+)\""));
    auto fieldsOf = [&](const QStringList& names) {
        QList<int> r;
        for (const QString& n : names) {
            const int i = def.fieldIndex(n);
            if (i < 0)
                return QList<int>();
            r << i;
        }
        return r;
    };
    if (const auto m = sqlite.match(errorText); m.hasMatch()) {
        QStringList names;
        for (const QString& part : m.captured(1).trimmed().split(QLatin1String(", ")))
            names << part.section(QLatin1Char('.'), 1);   // "Table.Field": the table's base name has no dot
        out = fieldsOf(names);
    } else if (const auto m2 = server.match(errorText); m2.hasMatch()) {
        const QString name = m2.captured(1);
        const QString index = name.section(QLatin1Char('$'), 1);
        if (index == QLatin1String("primary") || name.endsWith(QLatin1String("_pkey"))) {
            out = fieldsOf(def.primaryKey);
            if (out.isEmpty())
                for (int i = 0; i < def.fields.size(); ++i)
                    if (def.fields[i].type == FieldType::AutoInc)
                        out << i;
        } else if (const IndexDef* ix = def.index(index)) {
            out = fieldsOf(ix->fields);
        }
    }
    if (out.isEmpty())
        out = fieldsOf(def.primaryKey);
    return out;
}

// A value of a refused row as the message shows it.
static QString shownKeyValue(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("(empty)");
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: return QLatin1Char('\'') + v.toString() + QLatin1Char('\'');
    case FieldType::Float: return generalFormat(v.toDouble());
    case FieldType::Logical: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return QString::number(v.toLongLong());
    }
}

// "Key violation." followed by what was refused: the table, the key's
// field(s) and the value(s) of the row, e.g.
//   Key violation. "Climate.DB" already holds a record with "Station Name" 'Apple Creek'.
// valueOf gives the refused row's stored value of a field (by position).
QString keyViolationMessage(const TableDef& def, const QString& errorText, const std::function<QVariant(int)>& valueOf)
{
    const QList<int> key = violatedKeyFields(def, errorText);
    if (key.isEmpty())
        return QStringLiteral("Key violation. \"%1\" already holds a record with the same key.").arg(def.name);
    QStringList parts;
    for (int i : key)
        parts << QStringLiteral("\"%1\" %2").arg(def.fields[i].name, shownKeyValue(def.fields[i], valueOf(i)));
    return QStringLiteral("Key violation. \"%1\" already holds a record with %2.")
        .arg(def.name, parts.join(QLatin1String(" and ")));
}

// Stored form (as kept in a row buffer) of a value written to field f.
QVariant toStored(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const int tid = v.typeId();
    const bool isString = tid == QMetaType::QString || tid == QMetaType::QByteArray || tid == QMetaType::QChar;
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QString s = tid == QMetaType::Double || tid == QMetaType::Float ? generalFormat(v.toDouble())
                  : tid == QMetaType::Bool ? (v.toBool() ? QStringLiteral("True") : QStringLiteral("False"))
                                           : v.toString();
        if (f.type == FieldType::Text && s.size() > f.size)
            s.truncate(f.size);                 // cut to the width without a message
        if (s.isEmpty())
            return QVariant();                   // an empty text is an empty field
        return s;
    }
    case FieldType::Float: {
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            double d = QLocale::c().toDouble(s, &ok);
            if (!ok)
                d = QLocale().toDouble(s, &ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'.").arg(s, f.name));
            return d;
        }
        if (tid == QMetaType::Bool)
            return v.toBool() ? 1.0 : 0.0;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'.").arg(v.toString(), f.name));
        return d;
    }
    case FieldType::Short: {
        qlonglong n = 0;
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            n = s.toLongLong(&ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(s, f.name));
        } else if (tid == QMetaType::Double || tid == QMetaType::Float) {
            const double d = v.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > 1e9)
                throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                                  .arg(generalFormat(d), f.name));
            n = qRound64(d);
        } else {
            n = v.toLongLong();
        }
        if (n < -32768 || n > 32767)
            throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                              .arg(n).arg(f.name));
        return int(n);
    }
    case FieldType::Logical: {
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            for (const char* t : {"T", "True", "Y", "Yes", "1"})
                if (s.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                    return true;
            for (const char* t : {"F", "False", "N", "No", "0"})
                if (s.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                    return false;
            throw DbError(QStringLiteral("'%1' is not a valid boolean value for field '%2'.").arg(s, f.name));
        }
        return v.toBool() || (tid == QMetaType::Double && v.toDouble() != 0.0);
    }
    case FieldType::AutoInc:
        return v.toLongLong();
    }
    return QVariant();
}

// Value bound to SQL for a row buffer value.
QVariant toSql(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid())
        return QVariant(f.type == FieldType::Float ? QMetaType(QMetaType::Double)
                        : isTextType(f.type)       ? QMetaType(QMetaType::QString)
                                                   : QMetaType(QMetaType::Int));
    if (f.type == FieldType::Logical)
        return v.toBool() ? 1 : 0;
    return v;
}

// Value bound for a key, a range bound, a locate or a filter value on field f.
QVariant keyToSql(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const int tid = v.typeId();
        if (tid == QMetaType::Double || tid == QMetaType::Float)
            return generalFormat(v.toDouble());
        return v.toString();
    }
    case FieldType::Float:
    case FieldType::Short:
    case FieldType::AutoInc: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = QLocale::c().toDouble(v.toString().trimmed(), &ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid value for field '%2'.").arg(v.toString(), f.name));
            return d;
        }
        return v.toDouble();
    }
    case FieldType::Logical:
        return toStored(f, v).toBool() ? 1 : 0;
    }
    return v;
}

} // namespace quen::dbi
