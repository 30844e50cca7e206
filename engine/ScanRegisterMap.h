#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The register map a scan's findings make: one row a served address, as the Modbus providers
// read it (Name,Table,Address,Type,Order).
struct ScanMapRow
{
    QString name;
    modbusscan::Table table = modbusscan::Table::Holding;
    int address = 0;
    // "bool" for coils and discrete inputs, "uint16" for registers unless changed.
    QString type;
};

// A name for an address: HR100, IR3, CO0, DI7; with `unit` >= 0 led by it, U2.HR100.
QString defaultScanName(modbusscan::Table table, int address, int unit = -1);

// The rows of every served address of the results, in table and address order; names carry
// their unit when the results hold more than one unit.
QList<ScanMapRow> scanMapRows(const QList<modbusscan::Result>& results);

// "uint16" for a register, "bool" for a bit: the type a scanned address is saved with.
QString defaultScanType(modbusscan::Table table);

// "7" for one address, "7-9" for a run of them.
QString addressRangeText(int first, int last);

// Whether `next` carries on the run of addresses `run` that served nothing: the same unit, table,
// status and reason, right after it.
bool continuesRun(const modbusscan::Result& run, const modbusscan::Result& next);

// The results that served nothing, neighbours with the same unit, table, status and reason joined
// into one, in unit, table and address order.
QList<modbusscan::Result> joinedUnserved(const QList<modbusscan::Result>& results);

// The map's text, UTF-8 with a header; names are quoted where the CSV needs it.
QByteArray registerMapText(const QList<ScanMapRow>& rows);

// What keeps the rows from being a map the providers read, as the user should hear it: an empty
// or repeated name, a name with a control character, a type that does not fit its table or runs
// past the last address. Nullopt when they make one.
std::optional<QString> scanMapFault(const QList<ScanMapRow>& rows);

// Writes the map at once or not at all; the reason when it could not.
std::optional<QString> saveScanMap(const QString& path, const QList<ScanMapRow>& rows);
