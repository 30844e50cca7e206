#include "engine/modbus/RegisterValue.h"

#include "engine/ValueCapability.h"

#include <bit>
#include <cmath>
#include <limits>

namespace modbus {

namespace {

// The entry's register bytes as one number, the order undone: its byte A is the most
// significant. The wire sends each register high byte first.
quint32 rawOf(const RegisterEntry& entry, const QList<quint16>& words)
{
    const qsizetype size = entry.order.size();
    quint8 bytes[4] = {};
    for (qsizetype wire = 0; wire < size; ++wire) {
        const quint16 word = words.value(wire / 2);
        const quint8 byte = wire % 2 == 0 ? quint8(word >> 8) : quint8(word & 0xFF);
        bytes[entry.order.at(wire) - 'A'] = byte;
    }
    quint32 raw = 0;
    for (qsizetype i = 0; i < size; ++i)
        raw = (raw << 8) | bytes[i];
    return raw;
}

// The registers that send the number in the entry's order.
QList<quint16> wordsOf(const RegisterEntry& entry, quint32 raw)
{
    const qsizetype size = entry.order.size();
    QList<quint16> words(size / 2, 0);
    for (qsizetype wire = 0; wire < size; ++wire) {
        const int significance = int(size - 1 - (entry.order.at(wire) - 'A'));
        const quint16 byte = quint16((raw >> (8 * significance)) & 0xFF);
        words[wire / 2] |= wire % 2 == 0 ? quint16(byte << 8) : byte;
    }
    return words;
}

struct IntegerRange
{
    qint64 low;
    qint64 high;
};

IntegerRange rangeOf(ValueType type)
{
    switch (type) {
    case ValueType::Int16:
        return {std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()};
    case ValueType::UInt16:
        return {0, std::numeric_limits<quint16>::max()};
    case ValueType::Int32:
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    case ValueType::UInt32:
        return {0, std::numeric_limits<quint32>::max()};
    case ValueType::Bool:
    case ValueType::Float32:
        break;
    }
    return {0, 1};
}

bool isFloating(const QVariant& value)
{
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

// The whole number the value holds, if it holds one.
std::optional<qint64> wholeNumber(const QVariant& value)
{
    if (value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong) {
        const qulonglong number = value.toULongLong();
        if (number > qulonglong(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(number);
    }
    if (isWholeNumberValue(value))
        return value.toLongLong();
    if (isFloating(value)) {
        const double number = value.toDouble();
        // Within ±2^53 every whole double converts exactly; the types here need far less.
        if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) < 9.0e15)
            return qint64(number);
    }
    return std::nullopt;
}

std::optional<QList<quint16>> refused(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return std::nullopt;
}

} // namespace

QVariant decodeValue(const RegisterEntry& entry, const QList<quint16>& words)
{
    if (entry.type == ValueType::Bool)
        return QVariant(words.value(0) != 0);
    const quint32 raw = rawOf(entry, words);
    switch (entry.type) {
    case ValueType::Int16:
        return QVariant(qint64(qint16(quint16(raw))));
    case ValueType::UInt16:
        return QVariant(qint64(quint16(raw)));
    case ValueType::Int32:
        return QVariant(qint64(qint32(raw)));
    case ValueType::UInt32:
        return QVariant(qint64(raw));
    case ValueType::Float32:
        return QVariant(double(std::bit_cast<float>(raw)));
    case ValueType::Bool:
        break;
    }
    return QVariant();
}

std::optional<QList<quint16>> encodeValue(const RegisterEntry& entry, const QVariant& value, QString* reason)
{
    const QString type = typeName(entry.type);
    if (entry.type == ValueType::Bool) {
        if (value.typeId() != QMetaType::Bool)
            return refused(reason,
                           QStringLiteral("%1 is of type bool: it takes true or false.").arg(entry.name));
        return QList<quint16>{quint16(value.toBool() ? 1 : 0)};
    }
    if (entry.type == ValueType::Float32) {
        const double number = value.toDouble();
        const double largest = std::numeric_limits<float>::max();
        if (!isNumberValue(value) || !std::isfinite(number) || std::fabs(number) > largest)
            return refused(reason, QStringLiteral("%1 is of type float32: it takes a number from %2 to %3.")
                                       .arg(entry.name)
                                       .arg(-largest)
                                       .arg(largest));
        return wordsOf(entry, std::bit_cast<quint32>(float(number)));
    }
    const IntegerRange range = rangeOf(entry.type);
    const std::optional<qint64> number = wholeNumber(value);
    if (!number || *number < range.low || *number > range.high)
        return refused(reason, QStringLiteral("%1 is of type %2: it takes a whole number from %3 to %4.")
                                   .arg(entry.name, type)
                                   .arg(range.low)
                                   .arg(range.high));
    return wordsOf(entry, quint32(*number));
}

} // namespace modbus
