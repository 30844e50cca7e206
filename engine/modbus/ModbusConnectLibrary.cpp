#include "engine/modbus/ModbusConnectLibrary.h"

#include "engine/EngineError.h"

#include <QFileInfo>
#include <QLibrary>
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

QuorModbusConnect& connectEntry()
{
    static QuorModbusConnect* entry = nullptr;
    if (entry)
        return *entry;
    // Never unloaded: the controllers made by the library live as long as the program holds them.
    auto* library = new QLibrary(connectLibraryPath());
    library->setLoadHints(QLibrary::PreventUnloadHint);
    entry = reinterpret_cast<QuorModbusConnect*>(library->resolve(QUOR_MODBUS_CONNECT_SYMBOL));
    if (!entry) {
        const QString reason = library->errorString();
        delete library;
        throw EngineError(QStringLiteral("Cannot load the Modbus connection library: %1").arg(reason));
    }
    return *entry;
}

} // namespace modbus
