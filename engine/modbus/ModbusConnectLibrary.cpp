#include "engine/modbus/ModbusConnectLibrary.h"

#include "engine/EngineError.h"

#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <atomic>
#include <dlfcn.h>

namespace modbus {

QString connectLibraryPath()
{
    // The plug-in's own file, from the address of code inside it.
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&connectLibraryPath), &info) == 0 || !info.dli_fname)
        return QStringLiteral("modbus/libquormodbus_link.so");
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() +
           QStringLiteral("/modbus/libquormodbus_link.so");
}

namespace {

// The values entry, set once the library is loaded; read from any thread.
std::atomic<QuorModbusValues*> g_valuesEntry = nullptr;

} // namespace

QuorModbusConnect& connectEntry()
{
    // Kept, never unloaded: the controllers made by the library run its code as long as the
    // program holds them. A library that failed to load is tried again at the next call.
    // Connections may be made on any thread.
    static QMutex mutex;
    static QLibrary* library = nullptr;
    static QuorModbusConnect* entry = nullptr;
    const QMutexLocker locker(&mutex);
    if (entry)
        return *entry;
    if (!library) {
        library = new QLibrary(connectLibraryPath());
        library->setLoadHints(QLibrary::PreventUnloadHint);
    }
    entry = reinterpret_cast<QuorModbusConnect*>(library->resolve(QUOR_MODBUS_CONNECT_SYMBOL));
    if (!entry)
        throw EngineError(
            QStringLiteral("Cannot load the Modbus connection library: %1").arg(library->errorString()));
    g_valuesEntry = reinterpret_cast<QuorModbusValues*>(library->resolve(QUOR_MODBUS_VALUES_SYMBOL));
    return *entry;
}

QuorModbusValues* loadedValuesEntry()
{
    return g_valuesEntry.load();
}

} // namespace modbus
