// quor-modbus-device: a Modbus TCP device on 127.0.0.1 that serves the registers of a register
// map, to try the editor's Modbus provider without hardware. Runs until it is stopped.
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
    if (!options.isSet(QStringLiteral("still")))
        device.startMoving();
    if (!device.listen(options.value(QStringLiteral("port")).toInt())) {
        print(QStringLiteral("Cannot listen at 127.0.0.1:%1: %2")
                  .arg(options.value(QStringLiteral("port")), device.errorString()));
        return 1;
    }
    QStringList served;
    QStringList absent;
    for (const RegisterEntry& entry : map)
        (device.serves(entry) ? served : absent).append(entry.name);
    print(QStringLiteral("Modbus TCP device at 127.0.0.1:%1, unit %2, register map %3")
              .arg(device.port())
              .arg(device.serverAddress())
              .arg(mapPath));
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
    print(QStringLiteral("Stop it with Ctrl+C."));
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("A Modbus TCP device on 127.0.0.1 serving a register map."));
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
