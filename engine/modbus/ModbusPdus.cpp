#include "engine/modbus/ModbusPdus.h"

namespace modbus {

namespace {

bool isBitUnit(QModbusDataUnit::RegisterType table)
{
    return table == QModbusDataUnit::Coils || table == QModbusDataUnit::DiscreteInputs;
}

quint8 readFunction(QModbusDataUnit::RegisterType table)
{
    switch (table) {
    case QModbusDataUnit::Coils:
        return QModbusPdu::ReadCoils;
    case QModbusDataUnit::DiscreteInputs:
        return QModbusPdu::ReadDiscreteInputs;
    case QModbusDataUnit::InputRegisters:
        return QModbusPdu::ReadInputRegisters;
    default:
        return QModbusPdu::ReadHoldingRegisters;
    }
}

void appendWord(QByteArray& bytes, int word)
{
    bytes.append(char(quint8(word >> 8)));
    bytes.append(char(quint8(word)));
}

int wordAt(const QByteArray& bytes, qsizetype at)
{
    return (int(quint8(bytes.at(at))) << 8) | int(quint8(bytes.at(at + 1)));
}

QByteArray packedBits(const QModbusDataUnit& unit)
{
    QByteArray bits((unit.valueCount() + 7) / 8, '\0');
    for (qsizetype i = 0; i < unit.valueCount(); ++i) {
        if (unit.value(i) != 0)
            bits[i / 8] = char(quint8(bits.at(i / 8)) | (1 << (i % 8)));
    }
    return bits;
}

// The size of the device identification answer's data, as far as the bytes given tell it.
int identificationSize(const QByteArray& data)
{
    constexpr int kHeader = 6;
    if (data.isEmpty())
        return 1;
    if (quint8(data.at(0)) != kDeviceIdentification)
        return -1;
    if (data.size() < kHeader)
        return kHeader;
    int size = kHeader;
    for (int object = 0; object < quint8(data.at(5)); ++object) {
        if (data.size() < size + 2)
            return size + 2;
        size += 2 + quint8(data.at(size + 1));
    }
    return size;
}

} // namespace

QModbusRequest readRequest(const QModbusDataUnit& unit)
{
    QByteArray data;
    appendWord(data, unit.startAddress());
    appendWord(data, int(unit.valueCount()));
    return QModbusRequest(QModbusPdu::FunctionCode(readFunction(unit.registerType())), data);
}

QModbusRequest writeRequest(const QModbusDataUnit& unit)
{
    QByteArray data;
    appendWord(data, unit.startAddress());
    const bool bits = isBitUnit(unit.registerType());
    if (unit.valueCount() == 1) {
        appendWord(data, bits ? (unit.value(0) != 0 ? 0xFF00 : 0) : unit.value(0));
        return QModbusRequest(bits ? QModbusPdu::WriteSingleCoil : QModbusPdu::WriteSingleRegister, data);
    }
    appendWord(data, int(unit.valueCount()));
    if (bits) {
        const QByteArray packed = packedBits(unit);
        data.append(char(packed.size()));
        data.append(packed);
        return QModbusRequest(QModbusPdu::WriteMultipleCoils, data);
    }
    data.append(char(unit.valueCount() * 2));
    for (const quint16 value : unit.values())
        appendWord(data, value);
    return QModbusRequest(QModbusPdu::WriteMultipleRegisters, data);
}

QString answerMismatch(const QModbusRequest& request, quint8 function, const QByteArray& data)
{
    const quint8 asked = quint8(request.functionCode());
    if (function == (asked | kExceptionBit))
        return data.size() == 1
                   ? QString()
                   : QStringLiteral("an exception answer holds %1 bytes, not 1").arg(data.size());
    if (function != asked)
        return QStringLiteral("function code %1 answers no request (%2 was asked)")
            .arg(functionText(function), functionText(asked));
    const QByteArray sent = request.data();
    switch (asked) {
    case QModbusPdu::ReadCoils:
    case QModbusPdu::ReadDiscreteInputs:
    case QModbusPdu::ReadHoldingRegisters:
    case QModbusPdu::ReadInputRegisters: {
        const bool bits = asked <= QModbusPdu::ReadDiscreteInputs;
        const int count = sent.size() >= 4 ? wordAt(sent, 2) : 0;
        const int expected = bits ? (count + 7) / 8 : count * 2;
        const int said = data.isEmpty() ? -1 : quint8(data.at(0));
        if (said != expected || data.size() != expected + 1)
            return QStringLiteral("byte count %1 with %2 bytes does not fit the %3 %4 asked for")
                .arg(said)
                .arg(std::max<qsizetype>(data.size() - 1, 0))
                .arg(count)
                .arg(bits ? (count == 1 ? QStringLiteral("bit") : QStringLiteral("bits"))
                          : (count == 1 ? QStringLiteral("register") : QStringLiteral("registers")));
        return QString();
    }
    case QModbusPdu::WriteSingleCoil:
    case QModbusPdu::WriteSingleRegister:
    case QModbusPdu::WriteMultipleCoils:
    case QModbusPdu::WriteMultipleRegisters:
        return data == sent.left(4) ? QString()
                                    : QStringLiteral("the confirmation does not repeat the write");
    default:
        break;
    }
    return answerDataSize(function, data) == data.size()
               ? QString()
               : QStringLiteral("%1 bytes of data form no answer to function %2")
                     .arg(data.size())
                     .arg(functionText(asked));
}

QModbusDataUnit answeredValues(const QModbusDataUnit& asked, const QByteArray& data)
{
    QModbusDataUnit unit(asked.registerType(), asked.startAddress(), asked.valueCount());
    const bool bits = isBitUnit(asked.registerType());
    for (qsizetype i = 0; i < unit.valueCount(); ++i) {
        const qsizetype at = 1 + (bits ? i / 8 : i * 2);
        if (bits ? at >= data.size() : at + 1 >= data.size())
            break;
        unit.setValue(i, bits ? quint16((quint8(data.at(at)) >> (i % 8)) & 1) : quint16(wordAt(data, at)));
    }
    return unit;
}

int answerDataSize(quint8 function, const QByteArray& data)
{
    if (function & kExceptionBit)
        return 1;
    switch (function) {
    case QModbusPdu::ReadCoils:
    case QModbusPdu::ReadDiscreteInputs:
    case QModbusPdu::ReadHoldingRegisters:
    case QModbusPdu::ReadInputRegisters:
    case QModbusPdu::GetCommEventLog:
    case QModbusPdu::ReportServerId:
    case QModbusPdu::ReadFileRecord:
    case QModbusPdu::WriteFileRecord:
    case QModbusPdu::ReadWriteMultipleRegisters:
        return data.isEmpty() ? 1 : 1 + quint8(data.at(0));
    case QModbusPdu::ReadExceptionStatus:
        return 1;
    case QModbusPdu::WriteSingleCoil:
    case QModbusPdu::WriteSingleRegister:
    case QModbusPdu::Diagnostics:
    case QModbusPdu::GetCommEventCounter:
    case QModbusPdu::WriteMultipleCoils:
    case QModbusPdu::WriteMultipleRegisters:
        return 4;
    case QModbusPdu::MaskWriteRegister:
        return 6;
    case QModbusPdu::ReadFifoQueue:
        return data.size() < 2 ? 2 : 2 + wordAt(data, 0);
    case kEncapsulatedTransport:
        return identificationSize(data);
    default:
        return -1;
    }
}

int requestDataSize(quint8 function, const QByteArray& data)
{
    switch (function) {
    case QModbusPdu::ReadCoils:
    case QModbusPdu::ReadDiscreteInputs:
    case QModbusPdu::ReadHoldingRegisters:
    case QModbusPdu::ReadInputRegisters:
    case QModbusPdu::WriteSingleCoil:
    case QModbusPdu::WriteSingleRegister:
    case QModbusPdu::Diagnostics:
        return 4;
    case QModbusPdu::ReadExceptionStatus:
    case QModbusPdu::GetCommEventCounter:
    case QModbusPdu::GetCommEventLog:
    case QModbusPdu::ReportServerId:
        return 0;
    case QModbusPdu::WriteMultipleCoils:
    case QModbusPdu::WriteMultipleRegisters:
        return data.size() < 5 ? 5 : 5 + quint8(data.at(4));
    case QModbusPdu::MaskWriteRegister:
        return 6;
    case QModbusPdu::ReadWriteMultipleRegisters:
        return data.size() < 9 ? 9 : 9 + quint8(data.at(8));
    case QModbusPdu::ReadFifoQueue:
        return 2;
    case kEncapsulatedTransport:
        return data.isEmpty() ? 1 : quint8(data.at(0)) == kDeviceIdentification ? 3 : -1;
    default:
        return -1;
    }
}

QString exceptionName(int code)
{
    switch (code) {
    case QModbusPdu::IllegalFunction:
        return QStringLiteral("Illegal function");
    case QModbusPdu::IllegalDataAddress:
        return QStringLiteral("Illegal data address");
    case QModbusPdu::IllegalDataValue:
        return QStringLiteral("Illegal data value");
    case QModbusPdu::ServerDeviceFailure:
        return QStringLiteral("Server device failure");
    case QModbusPdu::Acknowledge:
        return QStringLiteral("Acknowledge");
    case QModbusPdu::ServerDeviceBusy:
        return QStringLiteral("Server device busy");
    case QModbusPdu::NegativeAcknowledge:
        return QStringLiteral("Negative acknowledge");
    case QModbusPdu::MemoryParityError:
        return QStringLiteral("Memory parity error");
    case QModbusPdu::GatewayPathUnavailable:
        return QStringLiteral("Gateway path unavailable");
    case QModbusPdu::GatewayTargetDeviceFailedToRespond:
        return QStringLiteral("Gateway target device failed to respond");
    default:
        return QStringLiteral("Unknown exception");
    }
}

QString functionText(quint8 function)
{
    return QStringLiteral("0x") + QString::number(function, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

} // namespace modbus
