#include "engine/modbus/ModbusSession.h"
#include "tests/engine/ModbusValuesFixture.h"

#include <QElapsedTimer>

// QuorProv.ModbusRTU against the demo device on a pseudo-terminal: connecting, browsing and live
// values as over TCP, and the option's faults named.
namespace {

const QString kRtuPressMap = QStringLiteral(QUOR_SOURCE_DIR "/examples/press.csv");

QByteArray rtuPressMapText()
{
    QFile file(kRtuPressMap);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The demo device of scripts/modbus-demo.sh --rtu, on a pseudo-terminal it opens.
struct SerialDevice
{
    explicit SerialDevice(int unit = 1)
        : device(modbus::parseRegisterMap(rtuPressMapText(), QStringLiteral("press.csv")),
                 modbus::parseAddressRanges(QStringLiteral("holding:40-43,input:12")), unit)
    {
        EXPECT_TRUE(device.openPseudoTerminal()) << device.errorString().toStdString();
    }
    ~SerialDevice() { device.disconnectDevice(); }
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    modbus::ModbusTestDevice device;
};

using ModbusRtu = ModbusValuesFixture;

TEST_F(ModbusRtu, ConnectsBrowsesReadsAndWritesItsUnitAndNoOther)
{
    SerialDevice line;
    const std::shared_ptr<IController> press = workspace->AddController(
        QString(), QStringLiteral("QuorProv.ModbusRTU"), line.device.serialPort(),
        QStringLiteral("Map=%1,Baud=9600,Parity=N,StopBits=2,Timeout=1000").arg(kRtuPressMap));
    EXPECT_EQ(press->Name(), QStringLiteral("ModbusRTU_1"));
    const QStringList names = textsOf(press->VariableNames(Variant()));
    EXPECT_EQ(names.size(), 16);
    EXPECT_FALSE(names.contains(QStringLiteral("Cushion.Pressure")));
    EXPECT_FALSE(names.contains(QStringLiteral("Die.Temp[3]")));
    controller = press;
    values = sources.of(controller);
    ASSERT_NE(values, nullptr);
    const QList<VariableValue> found = read({QStringLiteral("Recipe.Number"), QStringLiteral("Die.Temp[3]")});
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found.at(0).value, QVariant(qint64(12)));
    EXPECT_EQ(statusText(found.at(1)), QStringLiteral("exception 02 (Illegal data address)"));
    ASSERT_TRUE(write(QStringLiteral("Recipe.Number"), 7).written);
    EXPECT_EQ(readOne(QStringLiteral("Recipe.Number")).value, QVariant(qint64(7)));

    // Another unit on the same line is not taken for this one: unit 2 does not answer.
    try {
        workspace->AddController(QStringLiteral("Other"), QStringLiteral("QuorProv.ModbusRTU"),
                                 line.device.serialPort(),
                                 QStringLiteral("Unit=2,Timeout=200,Map=") + kRtuPressMap);
        ADD_FAILURE() << "unit 2 was connected";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unit 2 does not answer: no reply from %1 within 200 ms.")
                                   .arg(line.device.serialPort()));
    }
}

// Two sessions on one line, as a browse on one thread and the live values on another make: they
// take turns, and each gets its own answers.
TEST(ModbusRtuLine, SessionsOnOneLineTakeTurns)
{
    SerialDevice line;
    modbus::ModbusSettings settings;
    settings.transport = modbus::Transport::Rtu;
    settings.serialPort = line.device.serialPort();
    settings.timeoutMs = 1000;
    modbus::ModbusSession first(settings);
    modbus::ModbusSession second(settings);
    QList<int> got;
    const auto take = [&got](const modbus::ModbusSession::Answer& answer) {
        got.append(answer.kind == modbus::ModbusSession::Answer::Kind::Done ? answer.unit.value(0) : -1);
    };
    for (const auto& [holding, input] : {std::pair(10, 2), std::pair(12, 3), std::pair(13, 11)}) {
        first.read(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, holding, 1), take);
        second.read(QModbusDataUnit(QModbusDataUnit::InputRegisters, input, 1), take);
    }
    EXPECT_TRUE(QTest::qWaitFor([&got] { return got.size() == 6; }, 5000));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (QList<int>{2, 3, 10, 11, 12, 13}));
}

// A line whose device goes away (its pseudo-terminal closes) fails the next requests saying why,
// within the timeout, and never waits on it.
TEST(ModbusRtuLine, LineThatGoesAwayFailsTheNextRequests)
{
    SerialDevice line;
    modbus::ModbusSettings settings;
    settings.transport = modbus::Transport::Rtu;
    settings.serialPort = line.device.serialPort();
    settings.timeoutMs = 300;
    modbus::ModbusSession session(settings);
    QList<modbus::ModbusSession::Answer> answers;
    const auto take = [&answers](const modbus::ModbusSession::Answer& answer) { answers.append(answer); };
    session.read(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 12, 1), take);
    ASSERT_TRUE(QTest::qWaitFor([&answers] { return answers.size() == 1; }, 2000));
    EXPECT_EQ(answers.at(0).kind, modbus::ModbusSession::Answer::Kind::Done);
    line.device.disconnectDevice();
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer clock;
        clock.start();
        session.read(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 12, 1), take);
        ASSERT_TRUE(QTest::qWaitFor([&answers, i] { return answers.size() == i + 2; }, 2000));
        EXPECT_NE(answers.last().kind, modbus::ModbusSession::Answer::Kind::Done);
        EXPECT_TRUE(answers.last().reason.contains(settings.serialPort))
            << answers.last().reason.toStdString();
        EXPECT_LT(clock.elapsed(), 600);
    }
}

struct RtuOptionCase
{
    const char* label;
    const char* machine;
    const char* option;
    const char* reason;
};

class ModbusRtuRefusal : public ModbusValuesFixture, public ::testing::WithParamInterface<RtuOptionCase>
{
};

TEST_P(ModbusRtuRefusal, NamesThePieceThatIsWrong)
{
    const RtuOptionCase& c = GetParam();
    try {
        workspace->AddController(QStringLiteral("P"), QStringLiteral("QuorProv.ModbusRTU"),
                                 QString::fromUtf8(c.machine),
                                 QString::fromUtf8(c.option).replace(QStringLiteral("$MAP"), kRtuPressMap));
        ADD_FAILURE() << "the connection was made";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8(c.reason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusRtuRefusal,
    ::testing::Values(
        RtuOptionCase{
            "NoDevice", " ", "Map=$MAP",
            "QuorProv.ModbusRTU needs the serial device in the machine field (for example /dev/ttyUSB0)."},
        RtuOptionCase{"NoMap", "/dev/null", "Baud=9600",
                      "QuorProv.ModbusRTU needs a register map: \"Map=<file>\" in the option."},
        RtuOptionCase{"Parity", "/dev/null", "Map=$MAP,Parity=M",
                      "Malformed option: \"Parity=M\" is not a parity N, E or O."},
        RtuOptionCase{"Baud", "/dev/null", "Baud=fast,Map=$MAP",
                      "Malformed option: \"Baud=fast\" is not a baud rate from 50 to 4000000."},
        RtuOptionCase{"DataBits", "/dev/null", "DataBits=9,Map=$MAP",
                      "Malformed option: \"DataBits=9\" is not a number of data bits from 5 to 8."},
        RtuOptionCase{"StopBits", "/dev/null", "StopBits=3,Map=$MAP",
                      "Malformed option: \"StopBits=3\" is not a number of stop bits from 1 to 2."},
        RtuOptionCase{"TcpKey", "/dev/null", "Map=$MAP,Port=502",
                      "Malformed option: the key \"Port\" is not understood here."},
        RtuOptionCase{"MissingPort", "/nonexistent/ttyQ9", "Timeout=300,Map=$MAP",
                      "Cannot connect to /nonexistent/ttyQ9: No such file or directory."}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

} // namespace
