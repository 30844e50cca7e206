// Arbitrary bytes as a Modbus register map. The parser either refuses the map with an engine
// error or gives entries that keep the map's rules (a name, unique without regard to case; a
// type that fits its table; an address range within 0 to 65535; an order of the type's size),
// and the map written back as CSV parses to the same entries.

#include "engine/EngineError.h"
#include "engine/modbus/RegisterMap.h"
#include "fuzz/FuzzCheck.h"

#include <QCoreApplication>
#include <QSet>
#include <cstdint>

namespace {

QByteArray csvField(const QString& text)
{
    return '"' + text.toUtf8().replace("\"", "\"\"") + '"';
}

QByteArray mapText(const modbus::RegisterMap& map)
{
    QByteArray text = "Name,Table,Address,Type,Order\n";
    for (const modbus::RegisterEntry& entry : map)
        text += csvField(entry.name) + ',' + modbus::tableName(entry.table).toUtf8() + ',' +
                QByteArray::number(entry.address) + ',' + modbus::typeName(entry.type).toUtf8() + ',' +
                entry.order + '\n';
    return text;
}

bool sameEntries(const modbus::RegisterMap& a, const modbus::RegisterMap& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.table == y.table && x.address == y.address && x.count == y.count &&
               x.type == y.type && x.order == y.order;
    });
}

void checkEntry(const modbus::RegisterEntry& entry, QSet<QString>& names)
{
    FUZZ_CHECK(!entry.name.isEmpty() && !names.contains(entry.name.toCaseFolded()));
    names.insert(entry.name.toCaseFolded());
    const bool bits = entry.table == QModbusDataUnit::Coils || entry.table == QModbusDataUnit::DiscreteInputs;
    FUZZ_CHECK(bits || entry.table == QModbusDataUnit::InputRegisters ||
               entry.table == QModbusDataUnit::HoldingRegisters);
    FUZZ_CHECK(bits == (entry.type == modbus::ValueType::Bool));
    FUZZ_CHECK(int(entry.address) + entry.count - 1 <= 65535);
    FUZZ_CHECK(entry.order.size() == (bits ? 0 : 2 * entry.count));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    modbus::RegisterMap map;
    try {
        map = modbus::parseRegisterMap(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                                       QStringLiteral("fuzz.csv"));
    } catch (const EngineError& error) {
        FUZZ_CHECK(error.message().startsWith(QStringLiteral("Register map fuzz.csv line ")));
        return 0;
    }
    FUZZ_CHECK(!map.isEmpty());
    QSet<QString> names;
    for (const modbus::RegisterEntry& entry : map)
        checkEntry(entry, names);
    FUZZ_CHECK(sameEntries(modbus::parseRegisterMap(mapText(map), QStringLiteral("again.csv")), map));
    return 0;
}
