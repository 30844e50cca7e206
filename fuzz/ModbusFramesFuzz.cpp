// Arbitrary bytes as what a Modbus client receives: the first byte chooses TCP or RTU and the
// request that is open, the rest is the stream. Reading its front never reads past the bytes
// given; a complete frame is the frame of its own fields again, answers the request sent, and
// every cut of it is a frame still coming.

#include "engine/modbus/ModbusFrames.h"
#include "engine/modbus/ModbusPdus.h"
#include "fuzz/FuzzCheck.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

using Verdict = modbus::FrameReading::Verdict;

QModbusRequest openRequest(quint8 choice)
{
    switch (choice % 4) {
    case 0:
        return modbus::readRequest(QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 10, 3));
    case 1:
        return modbus::readRequest(QModbusDataUnit(QModbusDataUnit::Coils, 0, 11));
    case 2:
        return modbus::writeRequest(
            QModbusDataUnit(QModbusDataUnit::HoldingRegisters, 4, QList<quint16>{1, 2}));
    default:
        return QModbusRequest(QModbusPdu::FunctionCode(0x2B), QByteArray::fromHex("0e0100"));
    }
}

modbus::FrameReading readFront(bool rtu, const QByteArray& bytes, const modbus::SentRequest& sent)
{
    return rtu ? modbus::readRtuAnswer(bytes, sent)
               : modbus::readTcpAnswer(bytes, [&sent](quint16 transaction) {
                     return transaction == 1 ? std::optional(sent) : std::nullopt;
                 });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool rtu = data[0] & 0x80;
    const modbus::SentRequest sent{1, openRequest(data[0])};
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const modbus::FrameReading reading = readFront(rtu, bytes, sent);
    if (reading.verdict == Verdict::NeedMore) {
        FUZZ_CHECK(reading.expected == 0 || reading.expected > bytes.size());
        return 0;
    }
    FUZZ_CHECK(reading.size <= bytes.size());
    if (reading.verdict != Verdict::Complete) {
        FUZZ_CHECK(!reading.reason.isEmpty());
        return 0;
    }
    FUZZ_CHECK(reading.size > 0 && reading.unit == sent.unit);
    FUZZ_CHECK(modbus::answerMismatch(sent.pdu, reading.function, reading.data).isEmpty());
    const QByteArray again =
        rtu ? modbus::rtuFrame(reading.unit, reading.function, reading.data)
            : modbus::tcpFrame(reading.transaction, reading.unit, reading.function, reading.data);
    FUZZ_CHECK(again == bytes.left(reading.size));
    for (const qsizetype cut : {qsizetype(0), reading.size / 2, reading.size - 1})
        FUZZ_CHECK(readFront(rtu, bytes.left(cut), sent).verdict == Verdict::NeedMore);
    return 0;
}
