#pragma once

#include <QByteArray>
#include <QModbusPdu>
#include <QString>
#include <functional>
#include <optional>

// The frames around a PDU, shared by the client and the test device: Modbus TCP's MBAP header
// (transaction id, protocol id 0, length, unit id) and RTU's unit id and CRC-16. Reading a
// stream of bytes tells at its front a complete frame, a frame still coming, or what is wrong.
namespace modbus {

// A request as it went out, to match answers against.
struct SentRequest
{
    int unit = 0;
    QModbusRequest pdu;
};

struct FrameReading
{
    enum class Verdict
    {
        // A frame that answers its request (values, confirmation or exception): pdu holds it.
        Complete,
        // The bytes so far begin a frame; more must come.
        NeedMore,
        // Bytes that are no answer: no frame at all, a length or byte count that does not fit, a
        // function code that answers no request.
        Garbage,
        // A frame of another unit than the one asked.
        OtherUnit,
        // A TCP frame whose transaction id is of no request sent.
        UnknownTransaction,
        // An RTU frame whose checksum is wrong.
        CrcError
    };
    Verdict verdict = Verdict::NeedMore;
    // The bytes the frame takes at the front of the stream; 0 where it cannot be told.
    qsizetype size = 0;
    quint16 transaction = 0;
    int unit = -1;
    // The function code byte as it came (with the exception bit) and the data after it.
    quint8 function = 0;
    QByteArray data;
    // With Garbage, OtherUnit, UnknownTransaction and CrcError: what is wrong, a phrase
    // ("the protocol id is 17, not 0").
    QString reason;
    // With NeedMore: the whole frame's size when the bytes so far tell it, else 0.
    qsizetype expected = 0;
};

// The CRC-16 of Modbus RTU (polynomial 0xA001 reflected, start 0xFFFF); sent low byte first.
quint16 crc16(const char* bytes, qsizetype size);
inline quint16 crc16(const QByteArray& bytes)
{
    return crc16(bytes.constData(), bytes.size());
}

QByteArray tcpFrame(quint16 transaction, int unit, quint8 function, const QByteArray& data);
QByteArray rtuFrame(int unit, quint8 function, const QByteArray& data);
inline QByteArray tcpFrame(quint16 transaction, int unit, const QModbusPdu& pdu)
{
    return tcpFrame(transaction, unit, quint8(pdu.functionCode()), pdu.data());
}
inline QByteArray rtuFrame(int unit, const QModbusPdu& pdu)
{
    return rtuFrame(unit, quint8(pdu.functionCode()), pdu.data());
}

// The front of what a TCP client received; sent(transaction id) gives the request that went out
// under it, or none.
using SentLookup = std::function<std::optional<SentRequest>(quint16 transaction)>;
FrameReading readTcpAnswer(const QByteArray& bytes, const SentLookup& sent);
// The front of what an RTU client received while the request was open.
FrameReading readRtuAnswer(const QByteArray& bytes, const SentRequest& sent);

// The front of what a device received: a request frame (Complete, with any unit id), one still
// coming, or Garbage (and CrcError over RTU).
FrameReading readTcpRequest(const QByteArray& bytes);
FrameReading readRtuRequest(const QByteArray& bytes);

} // namespace modbus
