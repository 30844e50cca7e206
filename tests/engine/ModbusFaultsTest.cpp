#include "engine/modbus/ModbusSession.h"
#include "tests/engine/ModbusValuesFixture.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

// The client against a device that misbehaves on purpose, over TCP and over RTU on a
// pseudo-terminal: each fault ends the request within its timeout with the reason, and the
// session goes on serving the next request.
namespace {

using modbus::DeviceFault;
using Kind = modbus::ModbusSession::Answer::Kind;

constexpr int kFaultTimeoutMs = 300;
// What a loaded machine may add to the timeout; far below the twice the timeout a late answer takes.
constexpr int kFaultMarginMs = 200;

const QByteArray kFaultMap = "Name,Table,Address,Type\n"
                             "Good,holding,0,uint16\n"
                             "Faulty,holding,1,uint16\n";

struct FaultOutcome
{
    Kind kind;
    // A part of the reason; for an exception, its code.
    const char* reason;
    int exceptionCode = 0;
};

struct FaultCase
{
    DeviceFault fault;
    FaultOutcome tcp;
    FaultOutcome rtu;
};

// A device serving the map, with the fault at holding 1, and a session to it.
struct FaultyDevice
{
    FaultyDevice(DeviceFault fault, bool rtu)
        : device(modbus::parseRegisterMap(kFaultMap, QStringLiteral("faults.csv")), {}, 1)
    {
        device.setFaults({{QModbusDataUnit::HoldingRegisters, 1, fault}}, kFaultTimeoutMs);
        modbus::ModbusSettings settings;
        settings.timeoutMs = kFaultTimeoutMs;
        if (rtu) {
            EXPECT_TRUE(device.openPseudoTerminal()) << device.errorString().toStdString();
            settings.transport = modbus::Transport::Rtu;
            settings.serialPort = device.serialPort();
        } else {
            EXPECT_TRUE(device.listen()) << device.errorString().toStdString();
            settings.host = QStringLiteral("127.0.0.1");
            settings.port = device.port();
        }
        session = std::make_unique<modbus::ModbusSession>(settings);
    }
    ~FaultyDevice()
    {
        session.reset();
        device.disconnectDevice();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    modbus::ModbusSession::Answer read(int first, int count, qint64* elapsedMs = nullptr)
    {
        auto answer = std::make_shared<std::optional<modbus::ModbusSession::Answer>>();
        // Quit at once when the answer comes, so that the time taken is the session's own.
        auto loop = std::make_shared<QEventLoop>();
        QTimer::singleShot(5 * kFaultTimeoutMs, loop.get(), &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        session->read(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, first, quint16(count)),
                      [answer, loop](const modbus::ModbusSession::Answer& got) {
                          *answer = got;
                          loop->quit();
                      });
        if (!answer->has_value())
            loop->exec();
        EXPECT_TRUE(answer->has_value()) << "no answer";
        if (elapsedMs)
            *elapsedMs = clock.elapsed();
        return answer->value_or(modbus::ModbusSession::Answer());
    }

    modbus::ModbusTestDevice device;
    std::unique_ptr<modbus::ModbusSession> session;
};

class ModbusDeviceFault : public ::testing::TestWithParam<std::tuple<FaultCase, bool>>
{
};

TEST_P(ModbusDeviceFault, EndsWithinTheTimeoutSayingWhyAndTheSessionGoesOn)
{
    const auto& [c, rtu] = GetParam();
    const FaultOutcome& expected = rtu ? c.rtu : c.tcp;
    FaultyDevice faulty(c.fault, rtu);
    // Connected first, so that only the faulty request is timed.
    ASSERT_EQ(faulty.read(0, 1).kind, Kind::Done);
    qint64 elapsed = 0;
    const modbus::ModbusSession::Answer answer = faulty.read(0, 2, &elapsed);
    EXPECT_EQ(answer.kind, expected.kind) << answer.reason.toStdString();
    EXPECT_TRUE(answer.reason.contains(QString::fromUtf8(expected.reason))) << answer.reason.toStdString();
    EXPECT_EQ(answer.exceptionCode, expected.exceptionCode);
    if (answer.kind == Kind::Done) {
        EXPECT_EQ(answer.unit.values(), (QList<quint16>{0, 1}));
    }
    EXPECT_LT(elapsed, kFaultTimeoutMs + kFaultMarginMs);
    const modbus::ModbusSession::Answer after = faulty.read(0, 1);
    EXPECT_EQ(after.kind, Kind::Done) << after.reason.toStdString();
    EXPECT_EQ(after.unit.value(0), 0);
}

const FaultOutcome kNoReply{Kind::Timeout, "does not answer: no reply from "};
const FaultOutcome kServed{Kind::Done, ""};

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusDeviceFault,
    ::testing::Combine(
        ::testing::Values(
            FaultCase{DeviceFault::Late, kNoReply, kNoReply},
            FaultCase{DeviceFault::Drop,
                      {Kind::Failed, "failed: The remote host closed the connection."},
                      kNoReply},
            FaultCase{
                DeviceFault::WrongTransaction,
                {Kind::Garbage, "answered with garbage: its transaction id 16386 is of no request sent."},
                kServed},
            FaultCase{DeviceFault::WrongUnit,
                      {Kind::Garbage, "did not answer: an answer came from unit 2 instead."},
                      {Kind::Garbage, "did not answer: an answer came from unit 2 instead."}},
            FaultCase{DeviceFault::Exception01,
                      {Kind::Exception, "answered exception 01 (Illegal function).", 1},
                      {Kind::Exception, "answered exception 01 (Illegal function).", 1}},
            FaultCase{DeviceFault::Exception02,
                      {Kind::Exception, "exception 02 (Illegal data address)", 2},
                      {Kind::Exception, "exception 02 (Illegal data address)", 2}},
            FaultCase{DeviceFault::Exception03,
                      {Kind::Exception, "exception 03 (Illegal data value)", 3},
                      {Kind::Exception, "exception 03 (Illegal data value)", 3}},
            FaultCase{DeviceFault::Exception04,
                      {Kind::Exception, "exception 04 (Server device failure)", 4},
                      {Kind::Exception, "exception 04 (Server device failure)", 4}},
            FaultCase{DeviceFault::Exception0B,
                      {Kind::Exception, "exception 11 (Gateway target device failed to respond)", 11},
                      {Kind::Exception, "exception 11 (Gateway target device failed to respond)", 11}},
            FaultCase{DeviceFault::BadByteCount,
                      {Kind::Garbage, "byte count 6 with 6 bytes does not fit the 2 registers asked for."},
                      {Kind::Garbage, "byte count 6 with 6 bytes does not fit the 2 registers asked for."}},
            FaultCase{DeviceFault::Garbage,
                      {Kind::Garbage, "answered with garbage: the protocol id is 26995, not 0."},
                      {Kind::Garbage, "answered with garbage: the bytes form no frame (function code 0x68"}},
            FaultCase{
                DeviceFault::HalfFrame,
                {Kind::Garbage, "answered with garbage: 8 of the 13 bytes of a frame came within 300 ms."},
                {Kind::Garbage, "answered with garbage: 4 of the 9 bytes of a frame came within 300 ms."}},
            FaultCase{DeviceFault::BadCrc,
                      kServed,
                      {Kind::CrcError, "answered with a CRC error: its checksum is 0x"}},
            FaultCase{DeviceFault::SplitFrame, kServed, kServed}),
        ::testing::Bool()),
    [](const auto& paramInfo) {
        return (modbus::faultName(std::get<0>(paramInfo.param).fault) +
                (std::get<1>(paramInfo.param) ? QStringLiteral("Rtu") : QStringLiteral("Tcp")))
            .toStdString();
    });

// "Read device identification" (function 43/14) as the scan's Identify sends it, raw.
TEST(ModbusDeviceIdentification, AnswersVendorProductAndRevisionOverTcpAndRtu)
{
    for (const bool rtu : {false, true}) {
        SCOPED_TRACE(rtu ? "RTU" : "TCP");
        FaultyDevice device(DeviceFault::Late, rtu);
        auto answer = std::make_shared<std::optional<modbus::ModbusSession::Answer>>();
        device.session->raw(QModbusRequest(QModbusPdu::FunctionCode(0x2B), QByteArray::fromHex("0e0100")), 1,
                            [answer](const modbus::ModbusSession::Answer& got) { *answer = got; });
        ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer->has_value(); }, 5 * kFaultTimeoutMs));
        ASSERT_EQ((*answer)->kind, Kind::Done) << (*answer)->reason.toStdString();
        EXPECT_EQ(int((*answer)->response.functionCode()), 0x2B);
        const QByteArray objects = QByteArray::fromHex("0012") + "QuorTagEditor demo" +
                                   QByteArray::fromHex("0112") + "quor-modbus-device" +
                                   QByteArray::fromHex("0203") + "1.0";
        EXPECT_EQ((*answer)->response.data(), QByteArray::fromHex("0e0181000003") + objects);
    }
}

TEST(ModbusDeviceFaults, AreParsedOrRefusedNamingThePiece)
{
    const QList<modbus::AddressFault> faults =
        modbus::parseFaults(QStringLiteral(" holding:50=late,COIL:3=ex0b"));
    ASSERT_EQ(faults.size(), 2);
    EXPECT_EQ(faults.at(1).table, QModbusDataUnit::Coils);
    EXPECT_EQ(faults.at(1).address, 3);
    EXPECT_EQ(faults.at(1).fault, DeviceFault::Exception0B);
    for (const char* wrong : {"holding:50=slow", "holding=late", "register:1=late", "holding:70000=drop"}) {
        try {
            modbus::parseFaults(QString::fromUtf8(wrong));
            ADD_FAILURE() << wrong;
        } catch (const EngineError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("\"%1\" ").arg(QString::fromUtf8(wrong))))
                << e.message().toStdString();
        }
    }
}

// A device that rejects every name of the map (exception 02 for each) connects to nothing usable:
// the connection is refused saying so, instead of listing no names without a word.
using ModbusRejectAll = ModbusValuesFixture;

TEST_F(ModbusRejectAll, IsRefusedAsServingNoneOfTheMapsNames)
{
    LocalDevice local(kFaultMap, QStringLiteral("holding:0-1"));
    const QString map = writeMap(kFaultMap);
    try {
        workspace->AddController(QStringLiteral("P"), QStringLiteral("QuorProv.ModbusTCP"), local.machine(),
                                 QStringLiteral("Map=") + map);
        ADD_FAILURE() << "the connection was made";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Unit 1 at %1 serves none of the 2 names of the register map map.csv: "
                                 "it rejects every read of them (exception 02, Illegal data address).")
                      .arg(local.machine()));
    }
    // One name served is enough to connect; the listing then holds it alone.
    LocalDevice some(kFaultMap, QStringLiteral("holding:0"));
    controller = workspace->AddController(QStringLiteral("P"), QStringLiteral("QuorProv.ModbusTCP"),
                                          some.machine(), QStringLiteral("Map=") + map);
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), QStringList{QStringLiteral("Faulty")});
}

} // namespace
