#include "engine/sim/SimBehaviour.h"

#include <QList>
#include <QRegularExpression>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

const QString kBool = QStringLiteral("bool");
const QString kInt16 = QStringLiteral("int16");
const QString kInt32 = QStringLiteral("int32");
const QString kFloat32 = QStringLiteral("float32");
const QString kText = QStringLiteral("text");

constexpr qint64 kCountMs = 250;
constexpr qint64 kCounterWrap = 1000000;
constexpr double kDriftLow = 35;
constexpr double kDriftHigh = 65;
constexpr qint64 kDriftMs = 600000;
constexpr qint64 kRippleMs = 47000;

struct Rule
{
    QStringList texts;
    Behaviour behaviour;
};

Behaviour made(ValueKind kind, const QString& type, bool writable)
{
    Behaviour behaviour;
    behaviour.kind = kind;
    behaviour.type = type;
    behaviour.readable = kind != ValueKind::Hidden;
    behaviour.writable = writable;
    return behaviour;
}

Behaviour ranged(ValueKind kind, double low, double high, qint64 periodMs)
{
    Behaviour behaviour = made(kind, kFloat32, false);
    behaviour.low = low;
    behaviour.high = high;
    behaviour.periodMs = periodMs;
    return behaviour;
}

Behaviour moving(double high, qint64 periodMs)
{
    return ranged(ValueKind::Moving, 0, high, periodMs);
}

// The rows of the table in SimBehaviour.h, in its order.
const QList<Rule>& rules()
{
    static const QList<Rule> table{
        {{QStringLiteral("Tonnage"), QStringLiteral("Wear")}, made(ValueKind::Hidden, kInt16, false)},
        {{QStringLiteral("Name"), QStringLiteral("Text"), QStringLiteral("Operator"),
          QStringLiteral("Version")},
         made(ValueKind::Text, kText, true)},
        {{QStringLiteral("Count"), QStringLiteral("Cycles")}, made(ValueKind::Counter, kInt32, true)},
        {{QStringLiteral("Temp")}, ranged(ValueKind::Drifting, kDriftLow, kDriftHigh, kDriftMs)},
        {{QStringLiteral("Number"), QStringLiteral("Setpoint"), QStringLiteral("Step")},
         made(ValueKind::Steady, kInt16, true)},
        {{QStringLiteral("Length"), QStringLiteral("Pitch"), QStringLiteral("Height"),
          QStringLiteral("Offset"), QStringLiteral("Factor"), QStringLiteral("Tare"),
          QStringLiteral("Tolerance")},
         made(ValueKind::Steady, kFloat32, true)},
        {{QStringLiteral("Mode.")}, made(ValueKind::Toggling, kBool, true)},
        {{QStringLiteral("Running"), QStringLiteral("Engaged"), QStringLiteral("Alarm"),
          QStringLiteral("Safety."), QStringLiteral("Jam"), QStringLiteral("Fault"), QStringLiteral("Open"),
          QStringLiteral("Ready"), QStringLiteral("Locked"), QStringLiteral(" On"), QStringLiteral(".On")},
         made(ValueKind::Toggling, kBool, false)},
        {{QStringLiteral("Position")}, moving(250, 4000)},
        {{QStringLiteral("Speed"), QStringLiteral("Velocity")}, moving(1500, 60000)},
        {{QStringLiteral("Pressure")}, moving(250, 20000)},
        {{QStringLiteral("Current")}, moving(80, 15000)},
        {{QStringLiteral("Force"), QStringLiteral("Load")}, moving(100, 8000)},
        {{QStringLiteral("Level"), QStringLiteral("Weight")}, moving(100, 120000)},
    };
    return table;
}

// A number of its own for every name, the same in every run (FNV-1a over the UTF-16 text).
quint32 nameHashOf(const QString& name)
{
    quint32 hash = 2166136261u;
    for (const QChar c : name) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return hash;
}

// Where the time stands in a period that starts at the name's own offset, from 0 to 1.
double phase(qint64 ms, quint32 nameHash, qint64 periodMs)
{
    return static_cast<double>((ms + nameHash % periodMs) % periodMs) / static_cast<double>(periodMs);
}

double hundredths(double value)
{
    return std::round(value * 100) / 100;
}

qint64 counted(quint32 nameHash, qint64 ms, const Written* written)
{
    const qint64 base = written ? written->value.toLongLong() : nameHash % kCounterWrap;
    const qint64 since = written ? written->atMs / kCountMs : 0;
    return ((base + ms / kCountMs - since) % kCounterWrap + kCounterWrap) % kCounterWrap;
}

double drifted(quint32 nameHash, qint64 ms)
{
    constexpr double middle = (kDriftLow + kDriftHigh) / 2;
    constexpr double half = (kDriftHigh - kDriftLow) / 2;
    const double swing = std::sin(2 * std::numbers::pi * phase(ms, nameHash, kDriftMs));
    const double ripple = std::sin(2 * std::numbers::pi * phase(ms, nameHash, kRippleMs));
    return hundredths(middle + half * (0.8 * swing + 0.2 * ripple));
}

double moved(const Behaviour& behaviour, quint32 nameHash, qint64 ms)
{
    const double up = (1 - std::cos(2 * std::numbers::pi * phase(ms, nameHash, behaviour.periodMs))) / 2;
    return hundredths(behaviour.low + (behaviour.high - behaviour.low) * up);
}

bool toggled(quint32 nameHash, qint64 ms)
{
    const qint64 halfMs = 2000 + (nameHash % 8) * 1000;
    return (ms + nameHash % (2 * halfMs)) / halfMs % 2 == 1;
}

// "Recipe.Name" gives "Recipe 12": the first word of the name and a number of its own.
QString textOf(const QString& name, quint32 nameHash)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    const QString first = word.match(name).captured();
    return QStringLiteral("%1 %2")
        .arg(first.isEmpty() ? QStringLiteral("Text") : first)
        .arg(nameHash % 100 + 1);
}

} // namespace

Behaviour behaviourOf(const QString& name)
{
    for (const Rule& rule : rules()) {
        for (const QString& text : rule.texts) {
            if (name.contains(text))
                return rule.behaviour;
        }
    }
    return made(ValueKind::Steady, kInt16, true);
}

QVariant valueAt(const QString& name, const Behaviour& behaviour, qint64 ms, const Written* written)
{
    const quint32 nameHash = nameHashOf(name);
    switch (behaviour.kind) {
    case ValueKind::Hidden:
        return {};
    case ValueKind::Counter:
        return counted(nameHash, ms, written);
    case ValueKind::Drifting:
        return drifted(nameHash, ms);
    case ValueKind::Moving:
        return moved(behaviour, nameHash, ms);
    case ValueKind::Toggling:
        return written ? written->value : QVariant(toggled(nameHash, ms));
    case ValueKind::Steady:
        if (written)
            return written->value;
        if (behaviour.type == kFloat32)
            return static_cast<double>(nameHash % 1000) / 10;
        return static_cast<qint64>(nameHash % 1000);
    case ValueKind::Text:
        return written ? written->value : QVariant(textOf(name, nameHash));
    }
    return {};
}

} // namespace sim
