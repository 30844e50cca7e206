#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QElapsedTimer>
#include <QList>
#include <QModbusDataUnit>
#include <QVariant>

// How the values of a demo device move, like those of a running press. An entry moves by the
// last part of its name (without regard to case):
//   ...Position  goes up and down, 0 to 250, one stroke every 6 s (the ram);
//   ...Speed     the speed of that stroke, -131 to 131;
//   ...Counter   counts the strokes;
//   ...Force     rises near the bottom of the stroke, up to 800;
//   ...Temp      drifts around 45 (a few degrees over minutes, a little over seconds);
//   ...Pressure  follows the stroke around 180.
// Every other entry keeps what it holds and what is written to it.
namespace modbus {

class DeviceMotion final
{
public:
    explicit DeviceMotion(const RegisterMap& map);

    // The names that move.
    QStringList movingNames() const;

    // Puts the moving values of the time since the motion began over the unit's registers or bits.
    void apply(QModbusDataUnit& unit) const;

    // The value a moving entry has after the seconds.
    static double valueAt(const QString& name, double seconds);
    static bool moves(const QString& name);

private:
    QList<RegisterEntry> m_moving;
    QElapsedTimer m_clock;
};

} // namespace modbus
