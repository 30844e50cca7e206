#include "engine/EngineLoader.h"

#include "engine/EnginePlugin.h"
#include "platform/AppInfo.h"

#include <QDir>
#include <QLibrary>
#include <QPluginLoader>
#include <exception>

namespace {

const char* const kEngineVariable = "QUOR_ENGINE";

// The loader is kept with the engine, so both go together; the plug-in itself is never
// unloaded because objects handed out by the engine may outlive it.
struct LoadedEngine
{
    std::unique_ptr<QPluginLoader> loader;
    std::shared_ptr<IEngine> engine;
};

std::unique_ptr<QPluginLoader> openLoader(const QString& path)
{
    auto loader = std::make_unique<QPluginLoader>(path);
    loader->setLoadHints(QLibrary::PreventUnloadHint);
    return loader;
}

IEnginePlugin* enginePluginOf(QPluginLoader& loader)
{
    QObject* root = loader.instance();
    return root ? qobject_cast<IEnginePlugin*>(root) : nullptr;
}

// What the plug-in's root object says about a failure, if anything.
QString pluginError(QPluginLoader& loader)
{
    const QObject* root = loader.instance();
    return root ? root->property("errorString").toString() : QString();
}

std::shared_ptr<IEngine> engineFrom(std::unique_ptr<QPluginLoader> loader, IEnginePlugin& plugin,
                                    QString& reason)
{
    std::shared_ptr<IEngine> engine;
    try {
        engine = plugin.createEngine();
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
        reason = QStringLiteral("unknown failure");
    }
    const QString path = loader->fileName();
    if (!engine) {
        if (reason.isEmpty())
            reason = pluginError(*loader);
        reason = QStringLiteral("The engine plug-in %1 gave no engine: %2").arg(path, reason);
        return nullptr;
    }
    auto held = std::make_shared<LoadedEngine>();
    held->loader = std::move(loader);
    held->engine = std::move(engine);
    IEngine* raw = held->engine.get();
    return std::shared_ptr<IEngine>(std::move(held), raw);
}

std::shared_ptr<IEngine> engineAt(const QString& path, QString& reason)
{
    auto loader = openLoader(path);
    IEnginePlugin* plugin = enginePluginOf(*loader);
    if (!plugin) {
        reason =
            loader->isLoaded()
                ? QStringLiteral("%1 is not an engine plug-in.").arg(path)
                : QStringLiteral("Cannot load the engine plug-in %1: %2").arg(path, loader->errorString());
        return nullptr;
    }
    return engineFrom(std::move(loader), *plugin, reason);
}

std::shared_ptr<IEngine> firstEngineIn(const QString& folder, QString& reason)
{
    const QDir dir(folder);
    const QStringList files = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
    QStringList skipped;
    for (const QString& file : files) {
        if (!QLibrary::isLibrary(file))
            continue;
        auto loader = openLoader(dir.absoluteFilePath(file));
        IEnginePlugin* plugin = enginePluginOf(*loader);
        if (plugin)
            return engineFrom(std::move(loader), *plugin, reason);
        skipped.append(loader->isLoaded() ? QStringLiteral("%1: not an engine plug-in").arg(file)
                                          : loader->errorString());
    }
    reason = QStringLiteral("No engine plug-in in %1.").arg(QDir::toNativeSeparators(folder));
    if (!skipped.isEmpty())
        reason += QLatin1Char(' ') + skipped.join(QStringLiteral("; "));
    return nullptr;
}

} // namespace

std::shared_ptr<IEngine> CreateEngine(QString* errorText)
{
    QString reason;
    const QString configured = qEnvironmentVariable(kEngineVariable);
    std::shared_ptr<IEngine> engine =
        configured.isEmpty()
            ? firstEngineIn(AppInfo::applicationDirectory() + QStringLiteral("/engines"), reason)
            : engineAt(configured, reason);
    if (errorText)
        *errorText = engine ? QString() : reason;
    return engine;
}
