#pragma once

#include "engine/EngineApi.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>

// The tests' engine. Every object shares one FakeEngineScript: the values it answers with,
// the operations that fail, the calls made and the objects destroyed. The fake objects hold
// no references to one another, so each lives exactly as long as the program holds it.
//
// Calls are logged as "Operation(arguments)", arguments joined by "|", values by their text:
//   "Workspaces()", "Item(0)", "ProviderNames()", "AddController(ctrl|prov|mach|opt)", "Name()",
//   "VariableNames()", "AddExtension(QuorSQL|)", "Extensions()", "setValue(GET:...)",
//   "Execute(0)", "Value()", "Index()", "Remove(1)".
// Destructors append "Engine", "Workspaces", "Workspace", "Controller", "Extensions" or
// "Extension" to released.
class FakeEngineScript final : public std::enable_shared_from_this<FakeEngineScript>
{
public:
    static std::shared_ptr<FakeEngineScript> create() { return std::make_shared<FakeEngineScript>(); }

    // A new engine object answering from this script.
    std::shared_ptr<IEngine> createEngine();

    // The named operation (as in the log, e.g. "Execute") throws EngineError from now on.
    void failOn(const QString& operation) { m_failing.insert(operation); }
    void succeedOn(const QString& operation) { m_failing.remove(operation); }
    // Throws when the operation is set to fail; called by the fake objects after logging.
    void check(const QString& operation) const;
    // The named operation waits on entry, after logging, until it is let go: a device that
    // does not answer, for calls made on the engine thread.
    void holdOn(const QString& operation);
    void letGo(const QString& operation);
    // Whether a call of the operation waits in it now.
    bool isHolding(const QString& operation) const;
    // Called by the fake objects after logging.
    void waitWhileHeld(const QString& operation);
    void log(const QString& call) { calls.append(call); }
    // The calls whose operation is the given one, e.g. callsTo("AddController").
    QStringList callsTo(const QString& operation) const;

    // ---- What the engine answers with.
    Variant providerNames =
        Variant::textArray({QStringLiteral("QuorProv.Sim.Ethernet"), QStringLiteral("QuorProv.TULO")});
    Variant variableNames = Variant::textArray({QStringLiteral("Speed"), QStringLiteral("Temp")});
    // Name() answers this; when empty, the controller name that AddController was given.
    QString controllerName;
    // The extension's Value after Execute, per query text; Execute fails for other queries.
    QHash<QString, Variant> answers;
    qint32 extensionIndex = 1;
    bool noWorkspaces = false;
    bool noWorkspace = false;
    bool noController = false;
    bool noExtension = false;
    bool noExtensions = false;

    // ---- What happened.
    QStringList calls;
    QStringList released;

private:
    QSet<QString> m_failing;
    mutable std::mutex m_holdMutex;
    std::condition_variable m_letGo;
    QSet<QString> m_held;
    QSet<QString> m_holding;
};

// Text of a value as the log shows it.
QString describeValue(const Variant& value);
