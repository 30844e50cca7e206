#pragma once

#include <QString>
#include <QVariant>

// How a simulated variable behaves, decided from its name alone, so every controller, server
// and station of every catalog has live values without a word in the catalog. The first row
// whose text the name contains (letter case counts) decides:
//
//   name contains                          behaves as    type      access
//   "Tonnage", "Wear"                      hidden        int16     not readable, not writable
//   "Name", "Text", "Operator", "Version"  text          text      read and write
//   "Count", "Cycles"                      counter       int32     read and write
//   "Temp"                                 drifting      float32   read-only
//   "Number", "Setpoint", "Step"           steady        int16     read and write
//   "Length", "Pitch", "Height", "Offset", steady        float32   read and write
//   "Factor", "Tare", "Tolerance"
//   "Mode."                                toggling      bool      read and write
//   "Running", "Engaged", "Alarm",         toggling      bool      read-only
//   "Safety.", "Jam", "Fault", "Open",
//   "Ready", "Locked", " On", ".On"
//   "Position"                             moving 0-250 in 4 s   float32   read-only
//   "Speed", "Velocity"                    moving 0-1500 in 60 s float32   read-only
//   "Pressure"                             moving 0-250 in 20 s  float32   read-only
//   "Current"                              moving 0-80 in 15 s   float32   read-only
//   "Force", "Load"                        moving 0-100 in 8 s   float32   read-only
//   "Level", "Weight"                      moving 0-100 in 120 s float32   read-only
//   anything else                          steady        int16     read and write
//
// In the built-in press set, "Tonnage[0]", "Tonnage[1]" and "Brake.Wear" are not readable;
// "Ram.Position", "Oil.Temp", "Alarm[0]" and the like are read-only; "Recipe.Number",
// "Recipe.Name", "Stroke Counter", "Mode.Auto" and "Feed.Length" can be written.
//
// A value is a pure function of the name, the time (milliseconds since the epoch, UTC) and
// what was last written, with an offset from the name so that variables of one kind differ:
//   counter:  counts one every 250 ms from 0 to 999999, then from 0 again; after a write it
//             counts on from the written value.
//   drifting: between 35 and 65 (°C), a slow swing over 10 minutes with a ripple over 47 s;
//             it changes by less than 0.6 a second.
//   moving:   up and down between its bounds, once per period, rounded to hundredths.
//   toggling: true and false in turn, each for 2 to 9 s (the same for a name every time).
//   steady:   a number from 0 to 999 (a float32 from 0 to 99.9 in tenths).
//   text:     the name's first word and a number ("Recipe 12").
// A written value is what steady, toggling and text variables read from then on.
namespace sim {

enum class ValueKind
{
    Hidden,
    Text,
    Counter,
    Drifting,
    Steady,
    Toggling,
    Moving
};

struct Behaviour
{
    ValueKind kind = ValueKind::Steady;
    // As the live values name the types: "bool", "int16", "int32", "float32", "text".
    QString type;
    bool readable = true;
    bool writable = true;
    // The bounds of drifting and moving values; the period of moving ones.
    double low = 0;
    double high = 0;
    qint64 periodMs = 0;
};

// The last value written to a variable, and when.
struct Written
{
    QVariant value;
    qint64 atMs = 0;
};

Behaviour behaviourOf(const QString& name);

// The value of a readable variable at the time: bool, qint64, double or QString. written is
// nullptr when nothing was written to it.
QVariant valueAt(const QString& name, const Behaviour& behaviour, qint64 ms, const Written* written);

} // namespace sim
