#include "tests/support/FakeEngine.h"

#include "engine/BrowseProgress.h"
#include "engine/EngineError.h"

namespace {

using Script = std::shared_ptr<FakeEngineScript>;

// Logs the call, then fails when the script says so.
void enter(const Script& script, const QString& operation, const QStringList& arguments = {})
{
    script->log(operation + QLatin1Char('(') + arguments.join(QLatin1Char('|')) + QLatin1Char(')'));
    script->waitWhileHeld(operation);
    script->check(operation);
}

class FakeObject
{
public:
    FakeObject(Script script, QString kind) : m_script(std::move(script)), m_kind(std::move(kind)) {}
    ~FakeObject() { m_script->released.append(m_kind); }
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

protected:
    Script m_script;

private:
    QString m_kind;
};

class FakeExtension final : public IExtension, private FakeObject
{
public:
    explicit FakeExtension(Script script) : FakeObject(std::move(script), QStringLiteral("Extension")) {}

    Variant Value() const override
    {
        enter(m_script, QStringLiteral("Value"));
        return m_value;
    }
    void setValue(const Variant& value) override
    {
        enter(m_script, QStringLiteral("setValue"), {describeValue(value)});
        m_value = value;
    }
    void Execute(qint32 mode) override
    {
        enter(m_script, QStringLiteral("Execute"), {QString::number(mode)});
        const QString query = describeValue(m_value);
        if (!m_script->answers.contains(query))
            throw EngineError(QStringLiteral("The fake engine has no answer to \"%1\".").arg(query));
        m_value = m_script->answers.value(query);
    }
    qint32 Index() const override
    {
        enter(m_script, QStringLiteral("Index"));
        return m_script->extensionIndex;
    }

private:
    Variant m_value;
};

class FakeExtensions final : public IExtensions, private FakeObject
{
public:
    explicit FakeExtensions(Script script) : FakeObject(std::move(script), QStringLiteral("Extensions")) {}

    void Remove(const Variant& index) override
    {
        enter(m_script, QStringLiteral("Remove"), {describeValue(index)});
    }
};

class FakeController final : public IController, public IBrowseProgress, private FakeObject
{
public:
    FakeController(Script script, QString name)
        : FakeObject(std::move(script), QStringLiteral("Controller")), m_name(std::move(name))
    {
    }

    QString Name() const override
    {
        enter(m_script, QStringLiteral("Name"));
        return m_script->controllerName.isEmpty() ? m_name : m_script->controllerName;
    }
    Variant VariableNames(const Variant& option) override
    {
        enter(m_script, QStringLiteral("VariableNames"), {describeValue(option)});
        // Tells how far the listing got, one name after the other, where asked to.
        const qint64 names = m_script->variableNames.elements().size();
        for (qint64 listed = 1; m_listener && listed <= names; ++listed)
            m_listener(listed, names);
        return m_script->variableNames;
    }
    void setBrowseListener(Listener listener) override { m_listener = std::move(listener); }
    std::shared_ptr<IExtension> AddExtension(const QString& name, const Variant& option) override
    {
        enter(m_script, QStringLiteral("AddExtension"), {name, describeValue(option)});
        return m_script->noExtension ? nullptr : std::make_shared<FakeExtension>(m_script);
    }
    std::shared_ptr<IExtensions> Extensions() override
    {
        enter(m_script, QStringLiteral("Extensions"));
        return m_script->noExtensions ? nullptr : std::make_shared<FakeExtensions>(m_script);
    }

private:
    QString m_name;
    Listener m_listener;
};

class FakeWorkspace final : public IWorkspace, private FakeObject
{
public:
    explicit FakeWorkspace(Script script) : FakeObject(std::move(script), QStringLiteral("Workspace")) {}

    Variant ProviderNames(const Variant& option) override
    {
        enter(m_script, QStringLiteral("ProviderNames"), {describeValue(option)});
        return m_script->providerNames;
    }
    std::shared_ptr<IController> AddController(const QString& controllerName, const QString& providerName,
                                               const QString& machineName, const QString& option) override
    {
        enter(m_script, QStringLiteral("AddController"), {controllerName, providerName, machineName, option});
        return m_script->noController ? nullptr : std::make_shared<FakeController>(m_script, controllerName);
    }
};

class FakeWorkspaces final : public IWorkspaces, private FakeObject
{
public:
    explicit FakeWorkspaces(Script script) : FakeObject(std::move(script), QStringLiteral("Workspaces")) {}

    std::shared_ptr<IWorkspace> Item(qint16 index) override
    {
        enter(m_script, QStringLiteral("Item"), {QString::number(index)});
        return m_script->noWorkspace ? nullptr : std::make_shared<FakeWorkspace>(m_script);
    }
};

class FakeEngine final : public IEngine, private FakeObject
{
public:
    explicit FakeEngine(Script script) : FakeObject(std::move(script), QStringLiteral("Engine")) {}

    std::shared_ptr<IWorkspaces> Workspaces() override
    {
        enter(m_script, QStringLiteral("Workspaces"));
        return m_script->noWorkspaces ? nullptr : std::make_shared<FakeWorkspaces>(m_script);
    }
};

} // namespace

std::shared_ptr<IEngine> FakeEngineScript::createEngine()
{
    return std::make_shared<FakeEngine>(shared_from_this());
}

void FakeEngineScript::check(const QString& operation) const
{
    if (m_failing.contains(operation))
        throw EngineError(QStringLiteral("The fake engine fails %1 as asked.").arg(operation));
}

void FakeEngineScript::holdOn(const QString& operation)
{
    const std::lock_guard lock(m_holdMutex);
    m_held.insert(operation);
}

void FakeEngineScript::letGo(const QString& operation)
{
    {
        const std::lock_guard lock(m_holdMutex);
        m_held.remove(operation);
    }
    m_letGo.notify_all();
}

bool FakeEngineScript::isHolding(const QString& operation) const
{
    const std::lock_guard lock(m_holdMutex);
    return m_holding.contains(operation);
}

void FakeEngineScript::waitWhileHeld(const QString& operation)
{
    std::unique_lock lock(m_holdMutex);
    if (!m_held.contains(operation))
        return;
    m_holding.insert(operation);
    m_letGo.wait(lock, [this, &operation] { return !m_held.contains(operation); });
    m_holding.remove(operation);
}

QStringList FakeEngineScript::callsTo(const QString& operation) const
{
    QStringList matching;
    const QString start = operation + QLatin1Char('(');
    for (const QString& call : calls) {
        if (call.startsWith(start))
            matching.append(call);
    }
    return matching;
}

QString describeValue(const Variant& value)
{
    switch (value.kind()) {
    case Variant::Kind::Object:
        return QStringLiteral("<object>");
    case Variant::Kind::Array:
        return QStringLiteral("<array>");
    default:
        return value.toText();
    }
}
