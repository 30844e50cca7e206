#include "engine/modbus/device/DeviceMotion.h"

#include "engine/modbus/RegisterValue.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace modbus {

namespace {

constexpr double kStrokeSeconds = 6.0;
constexpr double kStrokeLength = 250.0;

enum class Kind
{
    None,
    Position,
    Speed,
    Counter,
    Force,
    Temperature,
    Pressure
};

Kind kindOf(const QString& name)
{
    const QString last = name.section(QLatin1Char('.'), -1).toLower();
    const auto has = [&last](const char* word) { return last.contains(QLatin1StringView(word)); };
    if (has("position"))
        return Kind::Position;
    if (has("speed"))
        return Kind::Speed;
    if (has("counter"))
        return Kind::Counter;
    if (has("force"))
        return Kind::Force;
    if (has("temp"))
        return Kind::Temperature;
    if (has("pressure"))
        return Kind::Pressure;
    return Kind::None;
}

double strokeAngle(double seconds)
{
    return 2 * std::numbers::pi * seconds / kStrokeSeconds;
}

double position(double seconds)
{
    return kStrokeLength / 2 * (1 - std::cos(strokeAngle(seconds)));
}

// Brings the value into what the entry's type can hold.
QVariant fitted(const RegisterEntry& entry, double value)
{
    switch (entry.type) {
    case ValueType::Bool:
        return QVariant(value != 0);
    case ValueType::Float32:
        return QVariant(value);
    case ValueType::Int16:
        return QVariant(qint64(std::clamp(std::round(value), -32768.0, 32767.0)));
    case ValueType::UInt16:
        return QVariant(qint64(std::clamp(std::round(value), 0.0, 65535.0)));
    case ValueType::Int32:
        return QVariant(qint64(std::clamp(std::round(value), -2147483648.0, 2147483647.0)));
    case ValueType::UInt32:
        return QVariant(qint64(std::clamp(std::round(value), 0.0, 4294967295.0)));
    }
    return QVariant();
}

} // namespace

DeviceMotion::DeviceMotion(const RegisterMap& map)
{
    for (const RegisterEntry& entry : map) {
        if (moves(entry.name))
            m_moving.append(entry);
    }
    m_clock.start();
}

bool DeviceMotion::moves(const QString& name)
{
    return kindOf(name) != Kind::None;
}

QStringList DeviceMotion::movingNames() const
{
    QStringList names;
    for (const RegisterEntry& entry : m_moving)
        names.append(entry.name);
    return names;
}

double DeviceMotion::valueAt(const QString& name, double seconds)
{
    // Each entry drifts with a phase of its own, so that two temperatures differ.
    const double phase = double(qHash(name) % 1000) / 1000.0 * 2 * std::numbers::pi;
    switch (kindOf(name)) {
    case Kind::Position:
        return position(seconds);
    case Kind::Speed:
        return kStrokeLength / 2 * std::sin(strokeAngle(seconds)) * 2 * std::numbers::pi / kStrokeSeconds;
    case Kind::Counter:
        return std::floor(seconds / kStrokeSeconds);
    case Kind::Force:
        return 800.0 * std::max(0.0, position(seconds) - 200.0) / (kStrokeLength - 200.0);
    case Kind::Temperature:
        return 45.0 + 4.0 * std::sin(2 * std::numbers::pi * seconds / 600.0 + phase) +
               0.6 * std::sin(2 * std::numbers::pi * seconds / 17.0 + phase);
    case Kind::Pressure:
        return 180.0 + 20.0 * std::sin(strokeAngle(seconds) + phase);
    case Kind::None:
        break;
    }
    return 0.0;
}

void DeviceMotion::apply(QModbusDataUnit& unit) const
{
    const double seconds = double(m_clock.elapsed()) / 1000.0;
    const int first = unit.startAddress();
    const int end = first + int(unit.valueCount());
    for (const RegisterEntry& entry : m_moving) {
        if (entry.table != unit.registerType() || entry.address + entry.count <= first ||
            entry.address >= end)
            continue;
        const std::optional<QList<quint16>> words =
            encodeValue(entry, fitted(entry, valueAt(entry.name, seconds)), nullptr);
        for (qsizetype i = 0; words && i < words->size(); ++i) {
            const int address = entry.address + int(i);
            if (address >= first && address < end)
                unit.setValue(address - first, words->at(i));
        }
    }
}

} // namespace modbus
