#include "engine/modbus/ModbusFrames.h"
#include "engine/modbus/ModbusPdus.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

// The Modbus frames shared by the client and the demo device: the checksum, and how the front of
// a stream of bytes is told a complete answer, one still coming, or what is wrong with it.
namespace {

using Verdict = modbus::FrameReading::Verdict;

QByteArray frameBytes(const char* text)
{
    return QByteArray::fromHex(text);
}

TEST(ModbusFrames, CrcAndFramesAreThoseOfTheProtocol)
{
    // Read holding registers 0-9 of unit 1: the checksum the protocol's own examples give.
    EXPECT_EQ(modbus::crc16(frameBytes("01030000000a")), 0xCDC5);
    const QModbusRequest read =
        modbus::readRequest(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 0, 10));
    EXPECT_EQ(modbus::rtuFrame(1, read), frameBytes("01030000000ac5cd"));
    EXPECT_EQ(modbus::tcpFrame(0x1234, 1, read), frameBytes("12340000000601030000000a"));
    // A coil's on goes as 0xFF00; two registers by function 16.
    QModbusDataUnit coil(QModbusDataUnit::Coils, 7, 1);
    coil.setValue(0, 1);
    EXPECT_EQ(modbus::writeRequest(coil).data(), frameBytes("0007ff00"));
    const QModbusRequest two = modbus::writeRequest(
        QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 2, QList<quint16>{1, 0xABCD}));
    EXPECT_EQ(int(two.functionCode()), 16);
    EXPECT_EQ(two.data(), frameBytes("0002000204"
                                     "0001abcd"));
}

struct FrameCase
{
    const char* label;
    bool rtu;
    // The request: function 3 reading two registers of unit 1 (transaction 5 over TCP).
    const char* bytes;
    Verdict verdict;
    const char* reason;
    qsizetype size;
};

class ModbusFrameReading : public ::testing::TestWithParam<FrameCase>
{
};

TEST_P(ModbusFrameReading, TellsTheAnswerOrWhatIsWrong)
{
    const FrameCase& c = GetParam();
    const modbus::SentRequest sent{
        1, modbus::readRequest(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 10, 2))};
    QByteArray bytes = frameBytes(c.bytes);
    // The RTU frames that tell their size get their checksum here, a right one but where it is wrong.
    if (c.rtu && c.size > 0 && c.verdict != Verdict::CrcError) {
        const quint16 crc = modbus::crc16(bytes);
        bytes.append(char(crc & 0xFF)).append(char(crc >> 8));
    }
    const modbus::FrameReading reading =
        c.rtu ? modbus::readRtuAnswer(bytes, sent)
              : modbus::readTcpAnswer(bytes, [&sent](quint16 transaction) {
                    return transaction == 5 ? std::optional(sent) : std::nullopt;
                });
    EXPECT_EQ(reading.verdict, c.verdict) << reading.reason.toStdString();
    EXPECT_TRUE(reading.reason.contains(QString::fromUtf8(c.reason))) << reading.reason.toStdString();
    EXPECT_EQ(reading.size, c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusFrameReading,
    ::testing::Values(FrameCase{"TcpValues", false, "000500000007010304000a000b", Verdict::Complete, "", 13},
                      FrameCase{"TcpValuesAndMore", false, "000500000007010304000a000b0006",
                                Verdict::Complete, "", 13},
                      FrameCase{"TcpException", false, "000500000003018302", Verdict::Complete, "", 9},
                      FrameCase{"TcpHeaderOnly", false, "0005000000", Verdict::NeedMore, "", 0},
                      FrameCase{"TcpHalfFrame", false, "000500000007010304", Verdict::NeedMore, "", 13},
                      FrameCase{"TcpProtocolId", false, "0005697300070103", Verdict::Garbage,
                                "the protocol id is 26995, not 0", 0},
                      FrameCase{"TcpLengthTooShort", false, "00050000000101", Verdict::Garbage,
                                "the length field says 1 bytes", 0},
                      FrameCase{"TcpLengthTooLong", false, "000500000100", Verdict::Garbage,
                                "the length field says 256 bytes", 0},
                      FrameCase{"TcpOtherUnit", false, "000500000007020304000a000b", Verdict::OtherUnit,
                                "the answer came from unit 2, not unit 1", 13},
                      FrameCase{"TcpNoSuchTransaction", false, "000600000007010304000a000b",
                                Verdict::UnknownTransaction, "transaction id 6 is of no request sent", 13},
                      FrameCase{"TcpOtherFunction", false, "000500000007010404000a000b", Verdict::Garbage,
                                "function code 0x04 answers no request (0x03 was asked)", 13},
                      FrameCase{"TcpByteCount", false, "000500000009010306000a000b0000", Verdict::Garbage,
                                "byte count 6 with 6 bytes does not fit the 2 registers asked for", 15},
                      FrameCase{"TcpLongException", false, "00050000000401830200", Verdict::Garbage,
                                "an exception answer holds 2 bytes", 10},
                      FrameCase{"RtuValues", true, "010304000a000b", Verdict::Complete, "", 9},
                      FrameCase{"RtuException", true, "018302", Verdict::Complete, "", 5},
                      FrameCase{"RtuHalfFrame", true, "010304000a", Verdict::NeedMore, "", 0},
                      FrameCase{"RtuWrongCrc", true, "010304000a000b0000", Verdict::CrcError,
                                "its checksum is 0x0000, not", 9},
                      FrameCase{"RtuOtherUnit", true, "020304000a000b", Verdict::OtherUnit,
                                "the answer came from unit 2", 9},
                      FrameCase{"RtuByteCount", true, "010306000a000b0000", Verdict::Garbage,
                                "byte count 6 with 6 bytes", 11},
                      FrameCase{"RtuNoFrame", true, "5468697320697320", Verdict::Garbage,
                                "function code 0x68 is unknown", 0}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

// A frame cut anywhere is a frame still coming, never anything else.
TEST(ModbusFrames, EveryCutOfAnAnswerNeedsMore)
{
    const modbus::SentRequest sent{
        7, modbus::readRequest(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 0, 3))};
    QByteArray values = frameBytes("06000100020003");
    const QByteArray rtu = modbus::rtuFrame(7, 3, values);
    const QByteArray tcp = modbus::tcpFrame(5, 7, 3, values);
    for (qsizetype cut = 0; cut < tcp.size(); ++cut) {
        SCOPED_TRACE(cut);
        if (cut < rtu.size()) {
            EXPECT_EQ(modbus::readRtuAnswer(rtu.left(cut), sent).verdict, Verdict::NeedMore);
        }
        EXPECT_EQ(
            modbus::readTcpAnswer(tcp.left(cut), [&sent](quint16) { return std::optional(sent); }).verdict,
            Verdict::NeedMore);
    }
    const modbus::FrameReading whole = modbus::readRtuAnswer(rtu, sent);
    ASSERT_EQ(whole.verdict, Verdict::Complete);
    EXPECT_EQ(
        modbus::answeredValues(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 0, 3), whole.data).values(),
        (QList<quint16>{1, 2, 3}));
    // A device identification answer, its objects counted as they come.
    const QByteArray identification = frameBytes("0e0181000002"
                                                 "0003616263"
                                                 "010178");
    EXPECT_EQ(modbus::answerDataSize(0x2B, identification.left(7)), 8);
    EXPECT_EQ(modbus::answerDataSize(0x2B, identification.left(8)), 13);
    EXPECT_EQ(modbus::answerDataSize(0x2B, identification), identification.size());
}

} // namespace
