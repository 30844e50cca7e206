#include "engine/modbus/device/DeviceFaults.h"

#include "engine/EngineError.h"
#include "engine/modbus/RegisterMap.h"

namespace modbus {

namespace {

QModbusDataUnit::RegisterType faultTable(const QString& name)
{
    for (const auto table : {QModbusDataUnit::Coils, QModbusDataUnit::DiscreteInputs,
                             QModbusDataUnit::InputRegisters, QModbusDataUnit::HoldingRegisters}) {
        if (tableName(table).compare(name, Qt::CaseInsensitive) == 0)
            return table;
    }
    return QModbusDataUnit::Invalid;
}

} // namespace

QList<DeviceFault> allFaults()
{
    return {DeviceFault::Late,         DeviceFault::Drop,        DeviceFault::WrongTransaction,
            DeviceFault::WrongUnit,    DeviceFault::Exception01, DeviceFault::Exception02,
            DeviceFault::Exception03,  DeviceFault::Exception04, DeviceFault::Exception0B,
            DeviceFault::BadByteCount, DeviceFault::Garbage,     DeviceFault::HalfFrame,
            DeviceFault::BadCrc,       DeviceFault::SplitFrame};
}

QString faultName(DeviceFault fault)
{
    switch (fault) {
    case DeviceFault::Late:
        return QStringLiteral("late");
    case DeviceFault::Drop:
        return QStringLiteral("drop");
    case DeviceFault::WrongTransaction:
        return QStringLiteral("transaction");
    case DeviceFault::WrongUnit:
        return QStringLiteral("unit");
    case DeviceFault::Exception01:
        return QStringLiteral("ex01");
    case DeviceFault::Exception02:
        return QStringLiteral("ex02");
    case DeviceFault::Exception03:
        return QStringLiteral("ex03");
    case DeviceFault::Exception04:
        return QStringLiteral("ex04");
    case DeviceFault::Exception0B:
        return QStringLiteral("ex0B");
    case DeviceFault::BadByteCount:
        return QStringLiteral("count");
    case DeviceFault::Garbage:
        return QStringLiteral("garbage");
    case DeviceFault::HalfFrame:
        return QStringLiteral("half");
    case DeviceFault::BadCrc:
        return QStringLiteral("crc");
    case DeviceFault::SplitFrame:
        return QStringLiteral("split");
    }
    return QString();
}

int exceptionOf(DeviceFault fault)
{
    switch (fault) {
    case DeviceFault::Exception01:
        return 0x01;
    case DeviceFault::Exception02:
        return 0x02;
    case DeviceFault::Exception03:
        return 0x03;
    case DeviceFault::Exception04:
        return 0x04;
    case DeviceFault::Exception0B:
        return 0x0B;
    default:
        return 0;
    }
}

QList<AddressFault> parseFaults(const QString& text)
{
    QList<AddressFault> faults;
    for (const QString& raw : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString piece = raw.trimmed();
        const QString place = piece.section(QLatin1Char('='), 0, 0);
        const QString kind = piece.section(QLatin1Char('='), 1);
        AddressFault fault;
        fault.table = faultTable(place.section(QLatin1Char(':'), 0, 0));
        bool addressOk = false;
        fault.address = place.section(QLatin1Char(':'), 1).toUShort(&addressOk);
        bool kindOk = false;
        for (const DeviceFault known : allFaults()) {
            if (faultName(known).compare(kind, Qt::CaseInsensitive) == 0) {
                fault.fault = known;
                kindOk = true;
            }
        }
        if (fault.table == QModbusDataUnit::Invalid || !addressOk || place.count(QLatin1Char(':')) != 1)
            throw EngineError(QStringLiteral("\"%1\" is not table:address=fault.").arg(piece));
        if (!kindOk)
            throw EngineError(
                QStringLiteral("\"%1\" names no fault: late, drop, transaction, unit, ex01, ex02, "
                               "ex03, ex04, ex0B, count, garbage, half, crc or split.")
                    .arg(piece));
        faults.append(fault);
    }
    return faults;
}

} // namespace modbus
