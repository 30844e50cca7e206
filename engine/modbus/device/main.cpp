// quor-modbus-device: a Modbus device that serves the registers of a register map, over TCP on
// 127.0.0.1 or RTU on a pseudo-terminal (or a given serial device), to try the editor's Modbus
// providers without hardware; it misbehaves at the addresses given faults. Runs until stopped.
#include "engine/EngineError.h"
#include "engine/modbus/RegisterMap.h"
#include "engine/modbus/device/ModbusTestDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

void print(const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

int run(const QCommandLineParser& options)
{
    using namespace modbus;
    const QString mapPath = options.value(QStringLiteral("map"));
    const RegisterMap map = readRegisterMap(mapPath);
    ModbusTestDevice device(map, parseAddressRanges(options.value(QStringLiteral("absent"))),
                            options.value(QStringLiteral("unit")).toInt());
    device.setFaults(parseFaults(options.value(QStringLiteral("faults"))),
                     options.value(QStringLiteral("timeout")).toInt());
    if (!options.isSet(QStringLiteral("still")))
        device.startMoving();
    const bool serial = options.isSet(QStringLiteral("rtu")) || options.isSet(QStringLiteral("serial"));
    const bool opened = options.isSet(QStringLiteral("serial"))
                            ? device.openSerial(options.value(QStringLiteral("serial")))
                        : serial ? device.openPseudoTerminal()
                                 : device.listen(options.value(QStringLiteral("port")).toInt());
    if (!opened) {
        print(serial ? QStringLiteral("Cannot open the serial line: %1").arg(device.errorString())
                     : QStringLiteral("Cannot listen at 127.0.0.1:%1: %2")
                           .arg(options.value(QStringLiteral("port")), device.errorString()));
        return 1;
    }
    print(serial ? QStringLiteral("Modbus RTU device on %1 (any line settings), unit %2, register map %3")
                       .arg(device.serialPort())
                       .arg(device.serverAddress())
                       .arg(mapPath)
                 : QStringLiteral("Modbus TCP device at 127.0.0.1:%1, unit %2, register map %3")
                       .arg(device.port())
                       .arg(device.serverAddress())
                       .arg(mapPath));
    QStringList served;
    QStringList absent;
    for (const RegisterEntry& entry : map)
        (device.serves(entry) ? served : absent).append(entry.name);
    print(QStringLiteral("Serves %1 of %2 names: %3")
              .arg(served.size())
              .arg(map.size())
              .arg(served.join(QStringLiteral(", "))));
    if (!absent.isEmpty())
        print(QStringLiteral("Absent: %1").arg(absent.join(QStringLiteral(", "))));
    QStringList moving = device.movingNames();
    moving.removeIf([&served](const QString& name) { return !served.contains(name); });
    print(moving.isEmpty() ? QStringLiteral("Nothing moves.")
                           : QStringLiteral("Moving: %1").arg(moving.join(QStringLiteral(", "))));
    if (options.isSet(QStringLiteral("faults")))
        print(QStringLiteral("Misbehaves at: %1").arg(options.value(QStringLiteral("faults"))));
    print(QStringLiteral("Stop it with Ctrl+C."));
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "A Modbus device serving a register map over TCP on 127.0.0.1 or RTU on a serial line."));
    options.addHelpOption();
    options.addOptions({
        {QStringLiteral("map"), QStringLiteral("The register map (CSV) whose registers it serves."),
         QStringLiteral("file")},
        {QStringLiteral("port"), QStringLiteral("The TCP port (default 1502; 0 for a free one)."),
         QStringLiteral("port"), QStringLiteral("1502")},
        {QStringLiteral("unit"), QStringLiteral("Its unit id (default 1)."), QStringLiteral("id"),
         QStringLiteral("1")},
        {QStringLiteral("absent"),
         QStringLiteral("Addresses it lacks, as table:address or table:first-last, comma-separated."),
         QStringLiteral("list")},
        {QStringLiteral("still"),
         QStringLiteral("Keep still: each register holds its own address. Without it the ram goes up and "
                        "down, the counters count and the temperatures drift.")},
        {QStringLiteral("rtu"),
         QStringLiteral("Speak Modbus RTU on a pseudo-terminal it opens, and print the port to use.")},
        {QStringLiteral("serial"), QStringLiteral("Speak Modbus RTU on this serial device instead."),
         QStringLiteral("device")},
        {QStringLiteral("faults"),
         QStringLiteral(
             "Misbehave at addresses, as table:address=fault, comma-separated; faults: late, drop, "
             "transaction, unit, ex01, ex02, ex03, ex04, ex0B, count, garbage, half, crc, split."),
         QStringLiteral("list")},
        {QStringLiteral("timeout"),
         QStringLiteral("The client's timeout in ms (default 3000): a late answer comes after twice it."),
         QStringLiteral("ms"), QStringLiteral("3000")},
    });
    options.process(app);
    if (!options.isSet(QStringLiteral("map"))) {
        print(QStringLiteral("--map is required.\n") + options.helpText());
        return 2;
    }
    try {
        return run(options);
    } catch (const EngineError& e) {
        print(e.message());
        return 1;
    }
}
