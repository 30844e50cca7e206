#include "engine/modbus/ModbusSettings.h"

#include "engine/EngineError.h"
#include "engine/modbus/ModbusEngine.h"
#include "engine/pluginkit/PluginOptions.h"

namespace modbus {

namespace {

const QString kUnit = QStringLiteral("Unit");
const QString kTimeout = QStringLiteral("Timeout");
const QString kMap = QStringLiteral("Map");
const QString kBaud = QStringLiteral("Baud");
const QString kParity = QStringLiteral("Parity");
const QString kDataBits = QStringLiteral("DataBits");
const QString kStopBits = QStringLiteral("StopBits");
constexpr int kFastestBaud = 4000000;

[[noreturn]] void badMachine(const QString& machine)
{
    throw EngineError(
        QStringLiteral("The machine \"%1\" is not a device address: %2 takes host or host:port.")
            .arg(machine, kProviderName));
}

int portOf(const QString& text, const QString& machine)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        throw EngineError(
            QStringLiteral("The machine \"%1\" has no port from 1 to 65535 after its colon.").arg(machine));
    return port;
}

void readMachine(const QString& text, ModbusSettings& settings)
{
    const QString machine = text.trimmed();
    if (machine.isEmpty())
        throw EngineError(
            QStringLiteral("%1 needs the device's address in the machine field (host or host:port).")
                .arg(kProviderName));
    if (machine.startsWith(QLatin1Char('['))) {
        const qsizetype close = machine.indexOf(QLatin1Char(']'));
        const QString rest = close < 0 ? QString() : machine.mid(close + 1);
        if (close < 2 || !(rest.isEmpty() || rest.startsWith(QLatin1Char(':'))))
            badMachine(machine);
        settings.host = machine.mid(1, close - 1);
        if (!rest.isEmpty())
            settings.port = portOf(rest.mid(1), machine);
    } else if (machine.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = machine.indexOf(QLatin1Char(':'));
        settings.host = machine.left(colon);
        settings.port = portOf(machine.mid(colon + 1), machine);
    } else {
        // No colon, or a bare IPv6 address.
        settings.host = machine;
    }
    if (settings.host.isEmpty() || settings.host.contains(QLatin1Char(' ')))
        badMachine(machine);
}

// The option pieces both providers take: the unit, the timeout and the map.
void readCommonOptions(const pluginkit::OptionText& options, const QString& provider,
                       ModbusSettings& settings)
{
    settings.unit = options.wholeNumber(kUnit, kDefaultUnit, 0, 255, QStringLiteral("a unit id"));
    settings.timeoutMs = options.timeoutMs(kDefaultTimeoutMs);
    if (!options.has(kMap))
        throw EngineError(
            QStringLiteral("%1 needs a register map: \"Map=<file>\" in the option.").arg(provider));
    settings.mapPath = options.required(kMap);
}

char parityOf(const pluginkit::OptionText& options)
{
    if (!options.has(kParity))
        return 'E';
    const QString text = options.value(kParity).toUpper();
    if (text != QStringLiteral("N") && text != QStringLiteral("E") && text != QStringLiteral("O"))
        pluginkit::malformedOption(
            QStringLiteral("\"%1=%2\" is not a parity N, E or O.").arg(kParity, options.value(kParity)));
    return text.at(0).toLatin1();
}

} // namespace

void readTcpMachine(const QString& machine, ModbusSettings& settings)
{
    readMachine(machine, settings);
}

ModbusSettings parseSettings(const QString& machine, const QString& option)
{
    ModbusSettings settings;
    readMachine(machine, settings);
    const pluginkit::OptionText options(option, {kUnit, kTimeout, kMap});
    readCommonOptions(options, kProviderName, settings);
    return settings;
}

ModbusSettings parseRtuSettings(const QString& machine, const QString& option)
{
    ModbusSettings settings;
    settings.transport = Transport::Rtu;
    settings.serialPort = machine.trimmed();
    if (settings.serialPort.isEmpty())
        throw EngineError(
            QStringLiteral("%1 needs the serial device in the machine field (for example /dev/ttyUSB0).")
                .arg(kRtuProviderName));
    const pluginkit::OptionText options(option,
                                        {kUnit, kTimeout, kMap, kBaud, kParity, kDataBits, kStopBits});
    settings.baudRate =
        options.wholeNumber(kBaud, kDefaultBaudRate, 50, kFastestBaud, QStringLiteral("a baud rate"));
    settings.parity = parityOf(options);
    settings.dataBits = options.wholeNumber(kDataBits, 8, 5, 8, QStringLiteral("a number of data bits"));
    settings.stopBits = options.wholeNumber(kStopBits, 1, 1, 2, QStringLiteral("a number of stop bits"));
    readCommonOptions(options, kRtuProviderName, settings);
    return settings;
}

} // namespace modbus
