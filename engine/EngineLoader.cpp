#include "engine/EngineLoader.h"

#include "engine/EnginePlugin.h"
#include "engine/EngineSet.h"
#include "engine/ValueCapability.h"
#include "platform/AppInfo.h"

#include <QDir>
#include <QFileInfo>
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

// What the plug-in's root object says about a failure, if anything.
QString pluginError(QPluginLoader& loader)
{
    const QObject* root = loader.instance();
    return root ? root->property("errorString").toString() : QString();
}

QString failureText(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown failure");
    }
}

std::shared_ptr<IEngine> engineFrom(std::unique_ptr<QPluginLoader> loader, IEnginePlugin& plugin,
                                    QString& reason)
{
    std::shared_ptr<IEngine> engine;
    try {
        engine = plugin.createEngine();
    } catch (...) {
        reason = failureText(std::current_exception());
    }
    if (!engine) {
        if (reason.isEmpty())
            reason = pluginError(*loader);
        reason = QStringLiteral("The engine plug-in %1 gave no engine: %2").arg(loader->fileName(), reason);
        return nullptr;
    }
    auto held = std::make_shared<LoadedEngine>();
    held->loader = std::move(loader);
    held->engine = std::move(engine);
    IEngine* raw = held->engine.get();
    return std::shared_ptr<IEngine>(std::move(held), raw);
}

std::shared_ptr<IEngine> engineAt(const QString& path, QString& reason, EngineValues* values)
{
    auto loader = openLoader(path);
    QObject* root = loader->instance();
    auto* plugin = root ? qobject_cast<IEnginePlugin*>(root) : nullptr;
    if (!plugin) {
        reason =
            loader->isLoaded()
                ? QStringLiteral("%1 is not an engine plug-in.").arg(path)
                : QStringLiteral("Cannot load the engine plug-in %1: %2").arg(path, loader->errorString());
        return nullptr;
    }
    auto* valuePlugin = qobject_cast<IValueEnginePlugin*>(root);
    std::shared_ptr<IEngine> engine = engineFrom(std::move(loader), *plugin, reason);
    // The root object lives as long as the plug-in, which is never unloaded.
    if (engine && values && valuePlugin)
        values->add([valuePlugin](const std::shared_ptr<IController>& controller) {
            return valuePlugin->values(controller);
        });
    return engine;
}

// Workspace 0 of the engine, without which it is of no use.
std::shared_ptr<IWorkspace> workspace0Of(IEngine& engine, const QString& path, QString& reason)
{
    std::shared_ptr<IWorkspace> workspace;
    try {
        const std::shared_ptr<IWorkspaces> workspaces = engine.Workspaces();
        workspace = workspaces ? workspaces->Item(0) : nullptr;
    } catch (...) {
        reason = failureText(std::current_exception());
    }
    if (!workspace)
        reason = QStringLiteral("The engine of %1 has no workspace 0: %2").arg(path, reason);
    return workspace;
}

// The library files in the folder, by name.
QStringList pluginFilesIn(const QString& folder)
{
    const QDir dir(folder);
    QStringList files;
    for (const QString& file : dir.entryList(QDir::Files | QDir::Readable, QDir::Name)) {
        if (QLibrary::isLibrary(file))
            files.append(dir.absoluteFilePath(file));
    }
    return files;
}

// The plug-in files to load, in order; problems receives what was looked for in vain.
QStringList pluginFiles(QStringList& problems)
{
    const QString configured = qEnvironmentVariable(kEngineVariable);
    if (configured.isEmpty()) {
        const QStringList folders = EnginePluginFolders();
        for (const QString& folder : folders) {
            const QStringList files = pluginFilesIn(folder);
            if (!files.isEmpty())
                return files;
        }
        problems.append(QStringLiteral("No engine plug-in in %1.").arg(folders.join(QStringLiteral(" or "))));
        return {};
    }
    QStringList files;
    for (const QString& path : configured.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        const QStringList inFolder = pluginFilesIn(path);
        if (inFolder.isEmpty())
            problems.append(QStringLiteral("No engine plug-in in %1.").arg(path));
        files += inFolder;
    }
    return files;
}

// The same plug-in named twice is loaded once: its one root object would give two engines
// with the same providers.
QStringList withoutRepeats(const QStringList& files)
{
    QStringList seen;
    QStringList unique;
    for (const QString& file : files) {
        const QString canonical = QFileInfo(file).canonicalFilePath();
        const QString key = canonical.isEmpty() ? file : canonical;
        if (!seen.contains(key)) {
            seen.append(key);
            unique.append(file);
        }
    }
    return unique;
}

} // namespace

QStringList EnginePluginFolders()
{
    const QString appDir = AppInfo::applicationDirectory();
    return {appDir + QStringLiteral("/engines"),
            QDir::cleanPath(appDir + QLatin1Char('/') + QStringLiteral(QUOR_ENGINE_DIR_FROM_BIN))};
}

std::shared_ptr<IEngine> CreateEngine(QString* errorText, EngineValues* values)
{
    QStringList problems;
    QList<EngineSet::Member> members;
    for (const QString& path : withoutRepeats(pluginFiles(problems))) {
        QString reason;
        std::shared_ptr<IEngine> engine = engineAt(path, reason, values);
        std::shared_ptr<IWorkspace> workspace = engine ? workspace0Of(*engine, path, reason) : nullptr;
        if (workspace)
            members.append({std::move(engine), std::move(workspace)});
        else
            problems.append(reason);
    }
    if (members.isEmpty() && problems.isEmpty())
        problems.append(
            QStringLiteral("%1 names no engine plug-in.").arg(QLatin1StringView(kEngineVariable)));
    if (errorText)
        *errorText = problems.join(QLatin1Char('\n'));
    if (members.isEmpty())
        return nullptr;
    if (members.size() == 1)
        return members.first().engine;
    return std::make_shared<EngineSet>(std::move(members));
}
