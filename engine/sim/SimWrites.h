#pragma once

#include "engine/sim/SimBehaviour.h"

#include <QString>
#include <QVariant>

namespace sim {

// The value as the variable keeps it when written: a bool, a whole number within the type's
// range (a counter's from 0 to 999999), any finite number for a float32, a text (numbers and
// bools are taken as their text). Whole numbers given as floating point are taken, texts for
// anything but a text are not. Returns an invalid value and the reason when the variable takes
// no such value or cannot be written at all.
QVariant acceptedValue(const QString& name, const Behaviour& behaviour, const QVariant& value,
                       QString* reason);

} // namespace sim
