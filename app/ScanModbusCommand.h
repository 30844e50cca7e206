#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <QString>
#include <optional>

class QIODevice;

// --scan-modbus: scans a Modbus device and writes the register map of what it serves.

// The scan the command line asks for: TARGET and the values of --unit (N or A-B), --table
// (names, comma-separated), --range (A-B), --rate (requests a second, 0 for no limit) and
// --serial (BAUD,DATA,PARITY,STOP); an empty value keeps the default. Nullopt, with the fault
// in `error`, when a value is wrong.
struct ScanOptionTexts
{
    QString target;
    QString units;
    QString tables;
    QString range;
    QString rate;
    QString serial;
};
std::optional<modbusscan::Request> scanRequestFrom(const ScanOptionTexts& texts, QString& error);

// Runs the scan in a local event loop: the map CSV of what answered goes to `out`, the progress
// to `err`. Exit 0 when something answered, 1 when nothing did, 2 when the device could not be
// reached or the library that scans is missing.
int runModbusScan(const modbusscan::Request& request, QIODevice& out, QIODevice& err);
