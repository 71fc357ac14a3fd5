#include "Connection.h"

namespace quen::dbi {

QVariant asFieldValue(const QVariant& v, FieldType t)
{
    if (v.isNull())
        return QVariant();
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo: return v.toString();
    case FieldType::Float: return v.toDouble();
    case FieldType::Short:
    case FieldType::AutoInc: return v.toInt();
    case FieldType::Logical: return v.toLongLong() != 0;
    }
    return v;
}

QVariant Stmt::fieldValue(int column, FieldType t) const { return asFieldValue(value(column), t); }

} // namespace quen::dbi
