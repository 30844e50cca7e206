#include "engine/modbus/ReadPlan.h"
#include "tests/engine/ModbusValuesFixture.h"

// The live values of the Modbus plug-in: types and byte orders, writes, descriptions and the
// splitting of a block the device rejects.
namespace {

// A device whose registers (or bits) hold the given words.
struct DecodeCase
{
    const char* label;
    const char* row;
    QList<quint16> words;
    QVariant value;
};

class ModbusDecode : public ModbusValuesFixture, public ::testing::WithParamInterface<DecodeCase>
{
};

TEST_P(ModbusDecode, AppliesTheTypeAndOrder)
{
    const DecodeCase& c = GetParam();
    const QByteArray map = QByteArray("Name,Table,Address,Type,Order\n") + c.row + "\n";
    LocalDevice local(map, QString());
    const bool bit = QByteArray(c.row).contains(",bool,");
    const auto table = QByteArray(c.row).contains(",discrete,") ? QModbusDataUnit::DiscreteInputs
                       : bit                                    ? QModbusDataUnit::Coils
                                                                : QModbusDataUnit::HoldingRegisters;
    ASSERT_TRUE(local.device.setData(QModbusDataUnit(table, 0, c.words)));
    connectTo(local.machine(), writeMap(map));
    const VariableValue value = readOne(QStringLiteral("Value"));
    EXPECT_EQ(statusText(value), QStringLiteral("good"));
    EXPECT_EQ(value.value, c.value);
    EXPECT_EQ(value.type, QString::fromLatin1(c.row).section(QLatin1Char(','), 3, 3));
    EXPECT_TRUE(value.timestamp.isValid() && value.timestamp.timeSpec() == Qt::UTC);
}

QVariant whole(qint64 number)
{
    return QVariant(number);
}

// -1234.5677490234375 is 0xC49A522B as a float32: every byte differs.
const QVariant kFloat = QVariant(-1234.5677490234375);

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusDecode,
    ::testing::Values(
        DecodeCase{"Coil", "Value,coil,0,bool,", {1}, QVariant(true)},
        DecodeCase{"Discrete", "Value,discrete,0,bool,", {0}, QVariant(false)},
        DecodeCase{"Int16", "Value,holding,0,int16,", {0xFF85}, whole(-123)},
        DecodeCase{"Int16BA", "Value,holding,0,int16,BA", {0x85FF}, whole(-123)},
        DecodeCase{"UInt16AB", "Value,holding,0,uint16,AB", {0xC350}, whole(50000)},
        DecodeCase{"UInt16BA", "Value,holding,0,uint16,ba", {0x50C3}, whole(50000)},
        DecodeCase{"Int32", "Value,holding,0,int32,", {0xF8A4, 0x32EB}, whole(-123456789)},
        DecodeCase{"Int32CDAB", "Value,holding,0,int32,CDAB", {0x32EB, 0xF8A4}, whole(-123456789)},
        DecodeCase{"Int32BADC", "Value,holding,0,int32,BADC", {0xA4F8, 0xEB32}, whole(-123456789)},
        DecodeCase{"Int32DCBA", "Value,holding,0,int32,DCBA", {0xEB32, 0xA4F8}, whole(-123456789)},
        DecodeCase{"UInt32ABCD", "Value,holding,0,uint32,ABCD", {0xB2D0, 0x5E00}, whole(3000000000)},
        DecodeCase{"UInt32CDAB", "Value,holding,0,uint32,CDAB", {0x5E00, 0xB2D0}, whole(3000000000)},
        DecodeCase{"UInt32BADC", "Value,holding,0,uint32,BADC", {0xD0B2, 0x005E}, whole(3000000000)},
        DecodeCase{"UInt32DCBA", "Value,holding,0,uint32,DCBA", {0x005E, 0xD0B2}, whole(3000000000)},
        DecodeCase{"Float32", "Value,holding,0,float32,", {0xC49A, 0x522B}, kFloat},
        DecodeCase{"Float32CDAB", "Value,holding,0,float32,CDAB", {0x522B, 0xC49A}, kFloat},
        DecodeCase{"Float32BADC", "Value,holding,0,float32,BADC", {0x9AC4, 0x2B52}, kFloat},
        DecodeCase{"Float32DCBA", "Value,holding,0,float32,DCBA", {0x2B52, 0x9AC4}, kFloat}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

const QByteArray kMap = "Name,Table,Address,Type,Order\n"
                        "Speed,holding,0,float32,CDAB\n"
                        "Mode,holding,2,uint16,\n"
                        "Level,holding,3,int16,BA\n"
                        "Count,holding,4,int32,DCBA\n"
                        "Pump,coil,0,bool,\n"
                        "Temp,input,0,int16,\n"
                        "Door,discrete,0,bool,\n";

struct WriteCase
{
    const char* label;
    const char* name;
    QVariant value;
    // Written: the device's registers (or bit) afterwards and the function code; refused: the
    // reason, and nothing reaches the device.
    QList<quint16> words;
    int functionCode;
    const char* reason;
};

class ModbusWrite : public ModbusValuesFixture, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(ModbusWrite, WritesInTheTypeAndOrderOrRefusesSayingWhy)
{
    const WriteCase& c = GetParam();
    LocalDevice local(kMap, QString());
    connectTo(local.machine(), writeMap(kMap));
    const QString name = QString::fromLatin1(c.name);
    const int requestsBefore = local.device.requestCount();
    const WriteOutcome outcome = write(name, c.value);
    if (c.reason) {
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.reason, QString::fromUtf8(c.reason));
        EXPECT_EQ(local.device.requestCount(), requestsBefore);
        return;
    }
    ASSERT_TRUE(outcome.written) << outcome.reason.toStdString();
    EXPECT_EQ(local.device.functionCodes().value(local.device.functionCodes().size() - 1), c.functionCode);
    const auto table =
        name == QStringLiteral("Pump") ? QModbusDataUnit::Coils : QModbusDataUnit::HoldingRegisters;
    const int address = name == QStringLiteral("Speed") || name == QStringLiteral("Pump") ? 0
                        : name == QStringLiteral("Mode")                                  ? 2
                        : name == QStringLiteral("Level")                                 ? 3
                                                                                          : 4;
    QModbusDataUnit held(table, address, quint16(c.words.size()));
    ASSERT_TRUE(local.device.data(&held));
    EXPECT_EQ(held.values(), c.words);
    // Read back as written.
    const VariableValue back = readOne(name);
    EXPECT_EQ(back.value, c.value.typeId() == QMetaType::Bool || c.value.typeId() == QMetaType::Double
                              ? c.value
                              : QVariant(c.value.toLongLong()));
}

const char* const kWritten = nullptr;

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusWrite,
    ::testing::Values(
        WriteCase{"UInt16", "Mode", QVariant(7), {7}, 6, kWritten},
        WriteCase{"Int16BA", "Level", whole(-2), {0xFEFF}, 6, kWritten},
        WriteCase{"Float32CDAB", "Speed", QVariant(2.5), {0x0000, 0x4020}, 16, kWritten},
        WriteCase{"Int32DCBA", "Count", whole(0x01020304), {0x0403, 0x0201}, 16, kWritten},
        // Function code 5 sends a coil's ON as 0xFF00, which the device keeps.
        WriteCase{"Coil", "Pump", QVariant(true), {0xFF00}, 5, kWritten},
        WriteCase{
            "InputTable", "Temp", whole(5), {}, 0, "Temp is read-only: the input table cannot be written."},
        WriteCase{"DiscreteTable",
                  "Door",
                  QVariant(true),
                  {},
                  0,
                  "Door is read-only: the discrete table cannot be written."},
        WriteCase{"OutOfRange",
                  "Mode",
                  whole(70000),
                  {},
                  0,
                  "Mode is of type uint16: it takes a whole number from 0 to 65535."},
        WriteCase{"Text",
                  "Level",
                  QVariant(QStringLiteral("7")),
                  {},
                  0,
                  "Level is of type int16: it takes a whole number from -32768 to 32767."},
        WriteCase{"Fraction",
                  "Count",
                  QVariant(1.5),
                  {},
                  0,
                  "Count is of type int32: it takes a whole number from -2147483648 to 2147483647."},
        WriteCase{"NumberForBool", "Pump", whole(1), {}, 0, "Pump is of type bool: it takes true or false."},
        WriteCase{"FloatTooLarge",
                  "Speed",
                  QVariant(1e39),
                  {},
                  0,
                  "Speed is of type float32: it takes a number from -3.40282e+38 to 3.40282e+38."},
        WriteCase{
            "Unknown", "Missing", whole(1), {}, 0, "The controller Press1 has no variable \"Missing\"."}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

using ModbusDescribe = ModbusValuesFixture;

TEST_F(ModbusDescribe, GivesTypeAccessAndAddressFromTheMap)
{
    LocalDevice local(kMap + "Far,holding,12345,uint16,\n", QString());
    connectTo(local.machine(), writeMap(kMap + "Far,holding,12345,uint16,\n"));
    const QList<VariableDescription> found =
        describe({QStringLiteral("speed"), QStringLiteral("Pump"), QStringLiteral("Temp"),
                  QStringLiteral("Door"), QStringLiteral("Far"), QStringLiteral("Missing")});
    ASSERT_EQ(found.size(), 6);
    QStringList texts;
    for (const VariableDescription& d : found)
        texts.append(QStringLiteral("%1 %2 %3%4 %5 %6")
                         .arg(d.name, d.type)
                         .arg(d.readable ? QStringLiteral("r") : QString())
                         .arg(d.writable ? QStringLiteral("w") : QString())
                         .arg(d.address)
                         .arg(d.known ? QStringLiteral("true") : QStringLiteral("false")));
    EXPECT_EQ(texts, QStringList({"speed float32 rw holding 40001 true", "Pump bool rw coil 00001 true",
                                  "Temp int16 r input 30001 true", "Door bool r discrete 10001 true",
                                  "Far uint16 rw holding 412346 true", "Missing    false"}));
}

// A block of eight neighbours; the device lacks holding 2, named C or a gap.
struct SplitCase
{
    const char* label;
    bool named;
};

class ModbusRejectedBlock : public ModbusValuesFixture, public ::testing::WithParamInterface<SplitCase>
{
};

TEST_P(ModbusRejectedBlock, IsSplitToTheFailingEntryWhichLaterReadsGoAround)
{
    QByteArray map = "Name,Table,Address,Type\n";
    QStringList names;
    for (const char letter : QByteArray("ABCDEFGH")) {
        if (letter == 'C' && !GetParam().named)
            continue;
        names.append(QString(QLatin1Char(letter)));
        map += letter + QByteArray(",holding,") + QByteArray::number(letter - 'A') + ",uint16\n";
    }
    LocalDevice local(map, QStringLiteral("holding:2"));
    connectTo(local.machine(), writeMap(map));
    ASSERT_EQ(modbus::planReads(modbus::parseRegisterMap(map, QStringLiteral("m"))).size(), 1);
    for (int poll = 0; poll < 2; ++poll) {
        const int before = local.device.requestCount();
        const QList<VariableValue> found = read(names);
        ASSERT_EQ(found.size(), names.size());
        for (const VariableValue& value : found) {
            SCOPED_TRACE(value.name.toStdString());
            if (value.name == QStringLiteral("C")) {
                EXPECT_EQ(statusText(value), QStringLiteral("exception 02 (Illegal data address)"));
                EXPECT_FALSE(value.value.isValid());
            } else {
                EXPECT_EQ(statusText(value), QStringLiteral("good"));
                // Each register of the device holds its own address.
                EXPECT_EQ(value.value, QVariant(qint64(value.name.at(0).unicode() - 'A')));
            }
        }
        // Later polls read A-B and D-H and no more: around holding 2.
        if (poll == 1) {
            EXPECT_EQ(local.device.requestCount() - before, 2);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModbusRejectedBlock,
                         ::testing::Values(SplitCase{"NamedEntry", true}, SplitCase{"UnnamedGap", false}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

using ModbusRequests = ModbusValuesFixture;

TEST_F(ModbusRequests, BrowseAndPollSendOneRequestForEachBlock)
{
    LocalDevice local(kMap, QString());
    connectTo(local.machine(), writeMap(kMap));
    const qsizetype blocks = modbus::planReads(modbus::parseRegisterMap(kMap, QStringLiteral("m"))).size();
    ASSERT_EQ(blocks, 4);
    int before = local.device.requestCount();
    const QStringList names = textsOf(controller->VariableNames(Variant()));
    EXPECT_EQ(names.size(), 7);
    EXPECT_EQ(local.device.requestCount() - before, blocks);
    before = local.device.requestCount();
    const QList<VariableValue> found = read(names + QStringList{QStringLiteral("Missing")});
    EXPECT_EQ(local.device.requestCount() - before, blocks);
    EXPECT_EQ(statusText(found.last()), QStringLiteral("not found"));
}

} // namespace
