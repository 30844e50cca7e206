#pragma once

#include <QString>

// The providers of the simulation engine's built-in catalog, and the query that lists a query
// server's controllers, as the engine tests name them.
inline const QString kEthernet = QStringLiteral("QuorProv.Sim.Ethernet");
inline const QString kTulo = QStringLiteral("QuorProv.TULO");
inline const QString kFerrit = QStringLiteral("QuorProv.BRAKKA.Ferrit");
inline const QString kLyra8 = QStringLiteral("QuorProv.BRAKKA.Lyra8");
inline const QString kControllerNames = QStringLiteral("GET:$ENGINE$::!ControllerNames:");
