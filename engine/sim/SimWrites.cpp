#include "engine/sim/SimWrites.h"

#include "engine/ValueCapability.h"

#include <cfloat>
#include <cmath>

namespace sim {

namespace {

QVariant refused(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return {};
}

// How the refusal names the variable: "Recipe.Number (int16)".
QString named(const QString& name, const Behaviour& behaviour)
{
    return QStringLiteral("%1 (%2)").arg(name, behaviour.type);
}

QVariant acceptedBool(const QString& name, const Behaviour& behaviour, const QVariant& value, QString* reason)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (isNumberValue(value) && (value.toDouble() == 0 || value.toDouble() == 1))
        return value.toDouble() == 1;
    return refused(reason, QStringLiteral("%1 takes true or false (or 1 or 0), not %2.")
                               .arg(named(name, behaviour), value.toString()));
}

QVariant acceptedNumber(const QString& name, const Behaviour& behaviour, const QVariant& value,
                        QString* reason)
{
    const double number = value.toDouble();
    if (behaviour.type == QLatin1String("float32")) {
        if (!std::isfinite(number) || std::fabs(number) > FLT_MAX)
            return refused(reason, QStringLiteral("%1 is out of the range of %2.")
                                       .arg(value.toString(), named(name, behaviour)));
        return number;
    }
    if (number != std::floor(number))
        return refused(reason, QStringLiteral("%1 takes whole numbers only, not %2.")
                                   .arg(named(name, behaviour), value.toString()));
    const bool counter = behaviour.kind == ValueKind::Counter;
    const qint64 low = counter ? 0 : -32768;
    const qint64 high = counter ? 999999 : 32767;
    if (number < static_cast<double>(low) || number > static_cast<double>(high))
        return refused(reason, QStringLiteral("%1 is out of the range of %2: %3 to %4.")
                                   .arg(value.toString(), named(name, behaviour))
                                   .arg(low)
                                   .arg(high));
    return static_cast<qint64>(number);
}

} // namespace

QVariant acceptedValue(const QString& name, const Behaviour& behaviour, const QVariant& value,
                       QString* reason)
{
    if (!behaviour.readable && !behaviour.writable)
        return refused(reason, QStringLiteral("%1 cannot be written.").arg(name));
    if (!behaviour.writable)
        return refused(reason, QStringLiteral("%1 is read-only.").arg(name));
    const bool text = value.typeId() == QMetaType::QString;
    if (!value.isValid())
        return refused(reason, QStringLiteral("There is no value to write to %1.").arg(name));
    if (!text && value.typeId() != QMetaType::Bool && !isNumberValue(value))
        return refused(reason, QStringLiteral("%1 takes no value of the type %2.")
                                   .arg(named(name, behaviour), QString::fromLatin1(value.typeName())));
    if (behaviour.kind == ValueKind::Text)
        return value.toString();
    if (text)
        return refused(
            reason,
            QStringLiteral("%1 takes no text such as \"%2\".").arg(named(name, behaviour), value.toString()));
    if (behaviour.type == QLatin1String("bool"))
        return acceptedBool(name, behaviour, value, reason);
    if (value.typeId() == QMetaType::Bool)
        return refused(
            reason,
            QStringLiteral("%1 takes a number, not %2.").arg(named(name, behaviour), value.toString()));
    return acceptedNumber(name, behaviour, value, reason);
}

} // namespace sim
