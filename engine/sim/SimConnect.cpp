#include "engine/sim/SimConnect.h"

#include "engine/EngineError.h"
#include "engine/sim/SimOptions.h"

#include <chrono>
#include <thread>

namespace sim {

namespace {

const QString kTimeout = QStringLiteral("Timeout");
const QString kConn = QStringLiteral("Conn");
const QString kServer = QStringLiteral("Server");

[[noreturn]] void noAnswer(const QString& place, int timeoutMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    throw EngineError(QStringLiteral("No answer from %1 within %2 ms.").arg(place).arg(timeoutMs));
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Names the catalogued device a connection reaches, the same for every connection to it.
QString deviceKey(const QStringList& parts)
{
    return parts.join(QLatin1Char('\n'));
}

QString givenOrNewName(const QString& given, const Provider& provider, NameCounters& counters)
{
    if (!given.isEmpty())
        return given;
    const int number = ++counters[provider.namePrefix];
    return QStringLiteral("%1_%2").arg(provider.namePrefix).arg(number);
}

std::shared_ptr<const ControllerData> generalController(const Provider& provider,
                                                        const QString& controllerName,
                                                        const QString& machineName, const QString& option)
{
    const OptionText options(option, QStringList(provider.options) << kTimeout);
    const int timeoutMs = options.timeoutMs(provider.timeoutMs);
    if (!machineName.isEmpty()) {
        const Machine* machine = nullptr;
        for (const Machine& candidate : provider.machines) {
            if (sameName(candidate.name, machineName))
                machine = &candidate;
        }
        if (!machine)
            throw EngineError(
                QStringLiteral("The machine \"%1\" is unknown to %2.").arg(machineName, provider.name));
        if (!machine->reachable)
            noAnswer(QStringLiteral("the machine %1").arg(machine->name), timeoutMs);
    }
    if (controllerName.isEmpty())
        throw EngineError(QStringLiteral("%1 needs the name of a controller.").arg(provider.name));
    for (const ControllerDef& controller : provider.controllers) {
        if (sameName(controller.name, controllerName) && sameName(controller.machine, machineName)) {
            auto data = std::make_shared<ControllerData>();
            data->name = controller.name;
            data->variables = controller.variables.names();
            data->device = deviceKey({provider.name, controller.machine, controller.name});
            data->timeoutMs = timeoutMs;
            data->answerMs = controller.answerMs;
            return data;
        }
    }
    throw EngineError(
        QStringLiteral("%1 knows no controller \"%2\"%3.")
            .arg(provider.name, controllerName,
                 machineName.isEmpty() ? QString() : QStringLiteral(" on %1").arg(machineName)));
}

const Station* stationAt(const Provider& provider, const QString& host, int port)
{
    for (const Station& station : provider.stations) {
        if (sameName(station.address, host) && station.port == port)
            return &station;
    }
    return nullptr;
}

// The station at the address, once it has answered; waits out the timeout otherwise.
const Station& reach(const Provider& provider, const QString& host, int port, int timeoutMs)
{
    const Station* station = stationAt(provider, host, port);
    if (!station || !station->reachable)
        noAnswer(port ? QStringLiteral("%1:%2").arg(host).arg(port) : host, timeoutMs);
    return *station;
}

std::shared_ptr<const ControllerData> stationController(const Provider& provider, NameCounters& counters,
                                                        const QString& controllerName,
                                                        const QString& machineName, const QString& option)
{
    if (!machineName.isEmpty())
        throw EngineError(QStringLiteral("%1 takes no machine name.").arg(provider.name));
    auto data = std::make_shared<ControllerData>();
    const Station* station = nullptr;
    switch (provider.kind) {
    case ProviderKind::QueryServer: {
        const OptionText options(option, {kConn, kTimeout});
        const EthernetAddress address = parseEthernetAddress(options.required(kConn), true);
        data->timeoutMs = options.timeoutMs(provider.timeoutMs);
        const Station& server = reach(provider, address.host, address.port, data->timeoutMs);
        data->variables = server.variables.names();
        data->answersQueries = true;
        data->reported = server.controllers;
        station = &server;
        break;
    }
    case ProviderKind::Ferrit:
    case ProviderKind::Lyra8: {
        const bool ferrit = provider.kind == ProviderKind::Ferrit;
        const OptionText options(option, {ferrit ? kConn : kServer, kTimeout});
        const QString host = ferrit ? parseEthernetAddress(options.required(kConn), false).host
                                    : parseHost(options.required(kServer));
        data->timeoutMs = options.timeoutMs(provider.timeoutMs);
        station = &reach(provider, host, 0, data->timeoutMs);
        data->variables = station->variables.names();
        break;
    }
    case ProviderKind::General:
        throw EngineError(QStringLiteral("%1 is not reached through a station.").arg(provider.name));
    }
    data->name = givenOrNewName(controllerName, provider, counters);
    data->device = deviceKey({provider.name, station->address, QString::number(station->port)});
    data->answerMs = station->answerMs;
    return data;
}

} // namespace

std::shared_ptr<const ControllerData> connectController(const Catalog& catalog, NameCounters& counters,
                                                        const QString& controllerName,
                                                        const QString& providerName,
                                                        const QString& machineName, const QString& option)
{
    const Provider* provider = catalog.provider(providerName);
    if (!provider)
        throw EngineError(QStringLiteral("There is no provider \"%1\".").arg(providerName));
    if (provider->kind == ProviderKind::General)
        return generalController(*provider, controllerName, machineName, option);
    return stationController(*provider, counters, controllerName, machineName, option);
}

} // namespace sim
