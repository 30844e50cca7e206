#pragma once

#include "engine/EngineApi.h"

#include <QList>
#include <memory>

// The engines of several plug-ins offered to the program as one engine. Its workspace 0 lists
// the providers of every engine (each name once, the first engine's first) and adds each
// controller through the engine that offers its provider.
class EngineSet final : public IEngine
{
public:
    struct Member
    {
        std::shared_ptr<IEngine> engine;
        std::shared_ptr<IWorkspace> workspace0;
    };

    explicit EngineSet(QList<Member> members);

    std::shared_ptr<IWorkspaces> Workspaces() override;

private:
    std::shared_ptr<IWorkspaces> m_workspaces;
};
