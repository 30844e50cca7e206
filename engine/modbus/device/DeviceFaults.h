#pragma once

#include <QList>
#include <QModbusDataUnit>
#include <QString>

// How the demo device misbehaves on purpose at chosen addresses, to prove a client against
// devices that do: "holding:50=late,holding:51=drop,input:3=ex02". A request that reads or
// writes any address with a fault gets the first such fault instead of its plain answer.
namespace modbus {

enum class DeviceFault
{
    // Answers after twice the client's timeout.
    Late,
    // Closes the connection without answering (over a serial line: does not answer).
    Drop,
    // Answers with another transaction id (TCP only).
    WrongTransaction,
    // Answers as another unit.
    WrongUnit,
    // Answers with the exception 01, 02, 03, 04 or 0B.
    Exception01,
    Exception02,
    Exception03,
    Exception04,
    Exception0B,
    // Answers a read with a byte count (and as many bytes) that the request did not ask for.
    BadByteCount,
    // Sends bytes that form no frame.
    Garbage,
    // Sends the first half of the answer's frame and falls silent.
    HalfFrame,
    // Sends the answer with a wrong checksum (serial line only).
    BadCrc,
    // Sends the answer in pieces, a few milliseconds apart.
    SplitFrame
};

struct AddressFault
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 address = 0;
    DeviceFault fault = DeviceFault::Late;
};

// "table:address=kind,...", kinds as faultName() writes them. Throws EngineError naming the piece
// that is wrong.
QList<AddressFault> parseFaults(const QString& text);

// late, drop, transaction, unit, ex01, ex02, ex03, ex04, ex0B, count, garbage, half, crc, split.
QString faultName(DeviceFault fault);
QList<DeviceFault> allFaults();

// The exception code the fault answers with, or 0.
int exceptionOf(DeviceFault fault);

} // namespace modbus
