#pragma once

#include "engine/EngineApi.h"
#include "engine/EngineError.h"

#include <memory>

// An engine of one workspace, number 0, of the plug-in's own kind: what a plug-in that offers
// providers and nothing else needs around its workspace.
namespace pluginkit {

template <typename Workspace>
class OneWorkspace final : public IWorkspaces
{
public:
    std::shared_ptr<IWorkspace> Item(qint16 index) override
    {
        if (index != 0)
            throw EngineError(QStringLiteral("There is no workspace %1.").arg(index));
        return m_workspace0;
    }

private:
    std::shared_ptr<Workspace> m_workspace0 = std::make_shared<Workspace>();
};

template <typename Workspace>
class OneWorkspaceEngine final : public IEngine
{
public:
    std::shared_ptr<IWorkspaces> Workspaces() override { return m_workspaces; }

private:
    std::shared_ptr<OneWorkspace<Workspace>> m_workspaces = std::make_shared<OneWorkspace<Workspace>>();
};

} // namespace pluginkit
