#pragma once

#include "engine/pluginkit/PluginOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The simulation engine's world: providers, the machines and controllers behind them, the
// query servers and BRAKKA stations they reach, and the variables of each controller.
//
// It is read from a JSON catalog: the built-in one, or the file named in QUOR_SIM_CATALOG.
// Objects take only the keys listed here (plus "about", a free note); a wrong key, type or
// value makes the whole catalog invalid, and the engine cannot be created.
//
// {
//   "variableSets": { "<set>": <variables> , ... },          shared variable lists
//   "providers": [ <provider>, ... ]                          in the order ProviderNames lists them
// }
// <provider>:  "name", "kind" ("general" | "queryServer" | "ferrit" | "lyra8"),
//              "timeoutMs" (used when the option gives no Timeout; default 1000),
//              "namePrefix" (names of engine-named controllers: prefix "_" count; default: the
//              text after the last dot of the name).
//   general:     "machines": [ "<name>" | {"name", "reachable"} ], "options": [ "<key>" ],
//                "controllers": [ {"name", "machine" (default ""), <variables>} ]
//   queryServer: "servers": [ {"address", "port", "reachable", "controllers": [...], <variables>} ]
//                (the server's own variables answer VariableNames on its connection)
//   ferrit, lyra8: "stations": [ {"address", "reachable", <variables>} ]
// <variables>: an array of names, or an object with any of
//              "variableSet": "<set>", "variables": [ names ],
//              "generate": [ {"prefix", "count", "first" (default 0), "digits" (zero padding), "suffix"} ]
//              taken in that order. Inside controllers, servers and stations these keys stand
//              directly in the object.
//
// Option texts are comma-separated "Key=Value" pieces (keys without regard to case):
//   general providers: "Timeout=<ms>" and the keys in the provider's "options"; may be empty.
//   queryServer:       "Conn=eth:<address>:<port>", optionally "Timeout=<ms>".
//   ferrit:            "Conn=eth:<address>", optionally "Timeout=<ms>".
//   lyra8:             "Server=<address>", optionally "Timeout=<ms>".
// A timeout is a whole number of milliseconds from 0 to 600000. An address or machine that is
// not catalogued, or catalogued with "reachable": false, answers nobody: adding the
// controller waits the timeout, then fails. An unknown machine name fails at once.
namespace sim {

enum class ProviderKind
{
    General,
    QueryServer,
    Ferrit,
    Lyra8
};

struct Machine
{
    QString name;
    bool reachable = true;
};

struct ControllerDef
{
    QString name;
    QString machine;
    QStringList variables;
};

// A place on the network: a query server (with a port) or a BRAKKA station.
struct Station
{
    QString address;
    int port = 0;
    bool reachable = true;
    QStringList variables;
    QList<ControllerDef> controllers;
};

struct Provider
{
    QString name;
    ProviderKind kind = ProviderKind::General;
    QString namePrefix;
    int timeoutMs = 1000;
    QList<Machine> machines;
    QStringList options;
    QList<ControllerDef> controllers;
    QList<Station> stations;
};

struct Catalog
{
    QList<Provider> providers;

    // The provider of that name (without regard to case), or nullptr.
    const Provider* provider(const QString& name) const;
};

using pluginkit::kMaxTimeoutMs;

// Parses a catalog; throws EngineError naming the place of the first fault.
Catalog parseCatalog(const QByteArray& json);
// The catalog in QUOR_SIM_CATALOG when set, otherwise the built-in one. Throws EngineError.
Catalog loadCatalog();

} // namespace sim
