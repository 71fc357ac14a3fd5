#include "FilterText.h"

#include <optional>

#include "DbError.h"
#include "Table.h"

namespace quen {

namespace {

int skipBlanks(const QString& s, int i)
{
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

std::optional<QList<FilterCondition>> parseFrom(const QString& s, int pos);

// After a value ends at pos: the rest must be blank, or "and" and more
// conditions. Returns the conditions that follow (possibly none).
std::optional<QList<FilterCondition>> parseTail(const QString& s, int pos)
{
    int i = skipBlanks(s, pos);
    if (i >= s.size())
        return QList<FilterCondition>{};
    if (i == pos)  // something other than a blank directly after the value
        return std::nullopt;
    if (s.mid(i, 3).compare(QLatin1String("and"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const int after = i + 3;
    if (after >= s.size() || !s[after].isSpace())
        return std::nullopt;
    return parseFrom(s, after);
}

std::optional<QList<FilterCondition>> parseFrom(const QString& s, int pos)
{
    FilterCondition c;
    int i = skipBlanks(s, pos);
    if (i >= s.size())
        return std::nullopt;

    // Field name.
    if (s[i] == QLatin1Char('"') || s[i] == QLatin1Char('[')) {
        const QChar close = s[i] == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
        const int end = s.indexOf(close, i + 1);
        if (end < 0)
            return std::nullopt;
        c.field = s.mid(i + 1, end - i - 1);
        i = skipBlanks(s, end + 1);
    } else {
        int j = i;
        while (j < s.size() && s[j] != QLatin1Char('=') && s[j] != QLatin1Char('<') && s[j] != QLatin1Char('>'))
            ++j;
        c.field = s.mid(i, j - i).trimmed();
        i = j;
    }
    if (c.field.isEmpty() || i >= s.size())
        return std::nullopt;

    // Operator.
    static const char* ops[] = {"<=", ">=", "<>", "=", "<", ">"};
    for (const char* op : ops) {
        const QLatin1String o(op);
        if (s.mid(i, o.size()) == o) {
            c.op = o;
            i += o.size();
            break;
        }
    }
    if (c.op.isEmpty())
        return std::nullopt;
    i = skipBlanks(s, i);
    if (i >= s.size())
        return std::nullopt;

    // Value.
    if (s[i] == QLatin1Char('\'')) {
        c.quoted = true;
        QString text;
        int k = i + 1;
        while (k < s.size()) {
            if (s[k] == QLatin1Char('\'')) {
                if (auto rest = parseTail(s, k + 1)) {
                    c.value = text;
                    QList<FilterCondition> out{c};
                    out += *rest;
                    return out;
                }
                text += QLatin1Char('\'');
                k += (k + 1 < s.size() && s[k + 1] == QLatin1Char('\'')) ? 2 : 1;
                continue;
            }
            text += s[k++];
        }
        return std::nullopt;  // no closing quote
    }

    int j = i;
    while (j < s.size() && !s[j].isSpace())
        ++j;
    const QString token = s.mid(i, j - i);
    if (token.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        c.value = true;
    else if (token.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        c.value = false;
    else {
        bool ok = false;
        const double d = token.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        c.value = d;
    }
    auto rest = parseTail(s, j);
    if (!rest)
        return std::nullopt;
    QList<FilterCondition> out{c};
    out += *rest;
    return out;
}

} // namespace

QList<FilterCondition> parseFilterText(const QString& text)
{
    if (text.trimmed().isEmpty())
        return {};
    auto r = parseFrom(text, 0);
    if (!r)
        throw DbError(QStringLiteral("Cannot read the filter \"%1\".").arg(text));
    return *r;
}

QString equalsFilterText(const QString& field, const QString& value)
{
    const QString plain = field + QLatin1String(" = '") + value + QLatin1Char('\'');
    try {
        const QList<FilterCondition> c = parseFilterText(plain);
        if (c.size() == 1 && c[0].field == field && c[0].quoted && c[0].value.toString() == value)
            return plain;
    } catch (const DbError&) {
    }
    QString doubled = value;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return field + QLatin1String(" = '") + doubled + QLatin1Char('\'');
}

} // namespace quen
