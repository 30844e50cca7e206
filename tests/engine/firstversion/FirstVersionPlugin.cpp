#include "engine/EngineError.h"
#include "engine/EnginePlugin.h"

#include <QObject>

// An engine plug-in of the first version: the engine interface alone, no live values. Its one
// provider, "Test.FirstVersion", adds controllers without variables; one object is all of them.
namespace {

class Engine final : public IEngine, public IWorkspaces, public IWorkspace, public IController
{
public:
    std::shared_ptr<IWorkspaces> Workspaces() override { return m_self.lock(); }
    std::shared_ptr<IWorkspace> Item(qint16) override { return m_self.lock(); }
    Variant ProviderNames(const Variant&) override
    {
        return Variant::textArray({QStringLiteral("Test.FirstVersion")});
    }
    std::shared_ptr<IController> AddController(const QString&, const QString&, const QString&,
                                               const QString&) override
    {
        return m_self.lock();
    }
    QString Name() const override { return QStringLiteral("A"); }
    Variant VariableNames(const Variant&) override { return Variant::textArray({}); }
    std::shared_ptr<IExtension> AddExtension(const QString&, const Variant&) override
    {
        throw EngineError(QStringLiteral("No extensions."));
    }
    std::shared_ptr<IExtensions> Extensions() override
    {
        throw EngineError(QStringLiteral("No extensions."));
    }

    std::weak_ptr<Engine> m_self;
};

} // namespace

class FirstVersionPlugin final : public QObject, public IEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorEnginePlugin_iid)
    Q_INTERFACES(IEnginePlugin)

public:
    std::shared_ptr<IEngine> createEngine() override
    {
        auto engine = std::make_shared<Engine>();
        engine->m_self = engine;
        return engine;
    }
};

#include "FirstVersionPlugin.moc"
