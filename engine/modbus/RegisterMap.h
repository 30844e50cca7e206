#pragma once

#include <QList>
#include <QModbusDataUnit>
#include <QString>

// The register map of a Modbus device: which named value lives at which address of which
// table. It is read from a CSV file with the header "Name,Table,Address,Type" and an optional
// fifth column "Order" (the byte and word order of the value):
//
//   Name,Table,Address,Type,Order
//   Ram.Position,holding,0,float32,CDAB
//   Pump.Running,coil,0,bool,
//
// Table is coil, discrete, input or holding; Address is 0-based decimal; Type is bool (coil
// and discrete only), int16, uint16, int32, uint32 or float32 (input and holding only); Order
// is AB or BA for 16-bit types and ABCD, CDAB, BADC or DCBA for 32-bit ones (empty: big
// endian). Fields may be quoted, blank lines are skipped. Names are unique without regard to
// case. The order names the value's bytes as they follow each other on the wire, A being the
// most significant: CDAB sends the low word first, BA swaps the bytes of a register. Reading and
// writing a value apply its type and order (RegisterValue.h).
namespace modbus {

// What a map entry holds.
enum class ValueType
{
    Bool,
    Int16,
    UInt16,
    Int32,
    UInt32,
    Float32
};

struct RegisterEntry
{
    QString name;
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 address = 0;
    // Registers (or bits) the value takes: 1, or 2 for the 32-bit types.
    quint16 count = 1;
    ValueType type = ValueType::UInt16;
    // The order in upper case, big endian ("AB", "ABCD") when the map leaves it empty; empty for
    // a bool.
    QByteArray order = "AB";
};

using RegisterMap = QList<RegisterEntry>;

// Reads the map in the file; throws EngineError naming the file, the line and the reason.
RegisterMap readRegisterMap(const QString& path);
// Parses a map's text; fileName only goes into the error texts.
RegisterMap parseRegisterMap(const QByteArray& text, const QString& fileName);

// The table's name as the map writes it ("coil", "discrete", "input", "holding").
QString tableName(QModbusDataUnit::RegisterType table);
// The type's name as the map writes it ("bool", "int16", ..., "float32").
QString typeName(ValueType type);

} // namespace modbus
