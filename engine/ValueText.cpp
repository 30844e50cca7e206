#include "engine/ValueText.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace ValueText {

namespace {

struct IntegerRange
{
    qint64 min;
    qint64 max;
};

IntegerRange rangeOf(const QString& type)
{
    if (type == QLatin1String("int8"))
        return {-128, 127};
    if (type == QLatin1String("uint8"))
        return {0, 255};
    if (type == QLatin1String("int16"))
        return {-32768, 32767};
    if (type == QLatin1String("uint16"))
        return {0, 65535};
    if (type == QLatin1String("int32"))
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    if (type == QLatin1String("uint32"))
        return {0, std::numeric_limits<quint32>::max()};
    if (type == QLatin1String("uint64"))
        return {0, std::numeric_limits<qint64>::max()};
    return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
}

bool isPrefixOf(const QString& text, QLatin1String word)
{
    return QString(word).startsWith(text, Qt::CaseInsensitive);
}

Fit integerFit(const QString& type, const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]*$"));
    if (!digits.match(text).hasMatch())
        return Fit::Never;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        return text.size() <= 1 ? Fit::Partial : Fit::Never;
    const IntegerRange range = rangeOf(type);
    if (value < range.min || value > range.max)
        return Fit::Never;
    return Fit::Value;
}

Fit floatFit(const QString& type, const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]*\\.?[0-9]*)([eE][+-]?[0-9]*)?$"));
    if (!number.match(text).hasMatch())
        return Fit::Never;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return Fit::Partial;
    if (type == QLatin1String("float32") && std::fabs(value) > std::numeric_limits<float>::max())
        return Fit::Never;
    return Fit::Value;
}

} // namespace

Kind kindOf(const QString& type)
{
    if (type == QLatin1String("bool"))
        return Kind::Bool;
    if (type == QLatin1String("float32") || type == QLatin1String("float64"))
        return Kind::Float;
    static const QRegularExpression integer(QStringLiteral("^u?int(8|16|32|64)$"));
    if (integer.match(type).hasMatch())
        return Kind::Integer;
    return Kind::Text;
}

Fit fitOf(const QString& type, const QString& typed)
{
    const QString text = typed.trimmed();
    switch (kindOf(type)) {
    case Kind::Bool:
        if (parse(type, text))
            return Fit::Value;
        return isPrefixOf(text, QLatin1String("true")) || isPrefixOf(text, QLatin1String("false"))
                   ? Fit::Partial
                   : Fit::Never;
    case Kind::Integer:
        return integerFit(type, text);
    case Kind::Float:
        return floatFit(type, text);
    case Kind::Text:
        break;
    }
    return Fit::Value;
}

std::optional<QVariant> parse(const QString& type, const QString& typed)
{
    const Kind kind = kindOf(type);
    if (kind == Kind::Text)
        return QVariant(typed);
    const QString text = typed.trimmed();
    if (kind == Kind::Bool) {
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
            return QVariant(true);
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
            return QVariant(false);
        return std::nullopt;
    }
    if (kind == Kind::Integer) {
        if (integerFit(type, text) != Fit::Value)
            return std::nullopt;
        return QVariant(text.toLongLong());
    }
    if (floatFit(type, text) != Fit::Value)
        return std::nullopt;
    return QVariant(text.toDouble());
}

} // namespace ValueText
