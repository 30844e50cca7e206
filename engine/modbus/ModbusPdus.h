#pragma once

#include <QByteArray>
#include <QModbusDataUnit>
#include <QModbusPdu>
#include <QString>

// The protocol data units of the requests a client sends and what their answers must look like,
// the same for Modbus TCP and RTU (the frames around them are ModbusFrames.h).
namespace modbus {

// Function 43 with MEI type 14, read device identification.
constexpr quint8 kEncapsulatedTransport = 0x2B;
constexpr quint8 kDeviceIdentification = 0x0E;
constexpr quint8 kExceptionBit = 0x80;

// Reads the unit's table from its start address, as many values as it holds (functions 1 to 4).
QModbusRequest readRequest(const QModbusDataUnit& unit);
// Writes the unit's values: one coil by function 5 (on as 0xFF00), one register by 6, more by
// 15 or 16.
QModbusRequest writeRequest(const QModbusDataUnit& unit);

// Why the answer (its function code byte as it came and its data) is no answer to the request:
// empty when it is the request's values or confirmation, or an exception answering it.
QString answerMismatch(const QModbusRequest& request, quint8 function, const QByteArray& data);

// The values of a read's answer that answerMismatch() accepted, as a unit like the one asked for.
QModbusDataUnit answeredValues(const QModbusDataUnit& asked, const QByteArray& data);

// The size of a PDU's data, told from its function code and the first bytes of its data:
// complete when it is at most the bytes given; -1 when no PDU of that function exists.
int answerDataSize(quint8 function, const QByteArray& data);
int requestDataSize(quint8 function, const QByteArray& data);

// The Modbus name of an exception code ("Illegal data address").
QString exceptionName(int code);

// The function code as the messages write it ("0x03").
QString functionText(quint8 function);

} // namespace modbus
