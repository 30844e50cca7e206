#include "engine/ModbusScanLoader.h"

#include "engine/EngineError.h"
#include "engine/EngineLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

const QString kScanLibrary = QStringLiteral("modbus/libquormodbus_link.so");

QStringList scanLibraryCandidates()
{
    QStringList folders;
    const QString configured = qEnvironmentVariable("QUOR_ENGINE");
    for (const QString& path : configured.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QFileInfo info(path);
        folders.append(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    }
    if (folders.isEmpty())
        folders = EnginePluginFolders();
    QStringList candidates;
    for (const QString& folder : folders)
        candidates.append(QDir(folder).filePath(kScanLibrary));
    return candidates;
}

} // namespace

std::unique_ptr<modbusscan::IDeviceScan> createModbusScan()
{
    const QStringList candidates = scanLibraryCandidates();
    for (const QString& path : candidates) {
        if (!QFileInfo(path).isFile())
            continue;
        QLibrary library(path);
        // Kept loaded: the scanner runs its code, and a connection may share it.
        library.setLoadHints(QLibrary::PreventUnloadHint);
        auto* entry = reinterpret_cast<QuorModbusScan*>(library.resolve(QUOR_MODBUS_SCAN_SYMBOL));
        if (!entry)
            throw EngineError(
                QStringLiteral("Cannot load the Modbus connection library: %1").arg(library.errorString()));
        std::unique_ptr<modbusscan::IDeviceScan> scan;
        entry(scan);
        if (!scan)
            throw EngineError(QStringLiteral("The Modbus connection library made no scanner."));
        return scan;
    }
    throw EngineError(QStringLiteral("The Modbus connection library is not installed: none of %1.")
                          .arg(candidates.join(QStringLiteral(", "))));
}
