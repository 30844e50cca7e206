#include "engine/EngineSet.h"

#include "engine/VariantList.h"

namespace {

using Members = QList<EngineSet::Member>;

class SetWorkspace final : public IWorkspace
{
public:
    explicit SetWorkspace(Members members) : m_members(std::move(members)) {}

    Variant ProviderNames(const Variant& option) override
    {
        QStringList names;
        for (const EngineSet::Member& member : m_members) {
            for (const QString& name : textsOf(member.workspace0->ProviderNames(option))) {
                if (!names.contains(name, Qt::CaseInsensitive))
                    names.append(name);
            }
        }
        return Variant::textArray(names);
    }

    std::shared_ptr<IController> AddController(const QString& controllerName, const QString& providerName,
                                               const QString& machineName, const QString& option) override
    {
        for (const EngineSet::Member& member : m_members) {
            if (textsOf(member.workspace0->ProviderNames(Variant()))
                    .contains(providerName, Qt::CaseInsensitive))
                return member.workspace0->AddController(controllerName, providerName, machineName, option);
        }
        throw EngineError(QStringLiteral("There is no provider \"%1\".").arg(providerName));
    }

private:
    // The engines stay with their workspaces, so the workspace may outlive the set.
    Members m_members;
};

class SetWorkspaces final : public IWorkspaces
{
public:
    explicit SetWorkspaces(Members members) : m_workspace0(std::make_shared<SetWorkspace>(std::move(members)))
    {
    }

    std::shared_ptr<IWorkspace> Item(qint16 index) override
    {
        if (index != 0)
            throw EngineError(QStringLiteral("There is no workspace %1.").arg(index));
        return m_workspace0;
    }

private:
    std::shared_ptr<IWorkspace> m_workspace0;
};

} // namespace

EngineSet::EngineSet(QList<Member> members)
    : m_workspaces(std::make_shared<SetWorkspaces>(std::move(members)))
{
}

std::shared_ptr<IWorkspaces> EngineSet::Workspaces()
{
    return m_workspaces;
}
