#include "tests/support/FakeEngine.h"
#include "engine/EngineError.h"
#include "engine/VariantList.h"

#include <gtest/gtest.h>

// The test double that the program's tests rely on must log, answer and fail as it says.
namespace {

TEST(FakeEngineTest, LogsEveryCallWithItsArgumentsInOrder)
{
    const auto script = FakeEngineScript::create();
    script->answers.insert(QStringLiteral("GET:X::!ItemNames:"),
                           Variant::textArray({QStringLiteral("V")}, 7));
    script->extensionIndex = 4;
    {
        const auto workspace = script->createEngine()->Workspaces()->Item(0);
        const auto controller = workspace->AddController(QStringLiteral("C"), QStringLiteral("P"), QString(),
                                                         QStringLiteral("Conn=eth:h:1"));
        EXPECT_EQ(controller->Name(), QStringLiteral("C"));
        const auto extension = controller->AddExtension(QStringLiteral("QuorSQL"), Variant());
        extension->setValue(Variant::text(QStringLiteral("GET:X::!ItemNames:")));
        extension->Execute(0);
        EXPECT_EQ(extension->Value().lowerBound(), 7);
        controller->Extensions()->Remove(Variant::number(extension->Index()));
    }
    EXPECT_EQ(
        script->calls,
        (QStringList{QStringLiteral("Workspaces()"), QStringLiteral("Item(0)"),
                     QStringLiteral("AddController(C|P||Conn=eth:h:1)"), QStringLiteral("Name()"),
                     QStringLiteral("AddExtension(QuorSQL|)"), QStringLiteral("setValue(GET:X::!ItemNames:)"),
                     QStringLiteral("Execute(0)"), QStringLiteral("Value()"), QStringLiteral("Extensions()"),
                     QStringLiteral("Index()"), QStringLiteral("Remove(4)")}));
    EXPECT_EQ(script->callsTo(QStringLiteral("Remove")), QStringList{QStringLiteral("Remove(4)")});
}

TEST(FakeEngineTest, FailsOnDemandAndGivesNoObjectsWhenAsked)
{
    const auto script = FakeEngineScript::create();
    const auto workspace = script->createEngine()->Workspaces()->Item(0);
    script->failOn(QStringLiteral("ProviderNames"));
    EXPECT_THROW(workspace->ProviderNames(Variant()), EngineError);
    EXPECT_EQ(script->calls.last(), QStringLiteral("ProviderNames()"));
    script->succeedOn(QStringLiteral("ProviderNames"));
    EXPECT_EQ(textsOf(workspace->ProviderNames(Variant())).size(), 2);

    script->noController = true;
    EXPECT_EQ(workspace->AddController(QString(), QString(), QString(), QString()), nullptr);
    script->noController = false;
    const auto extension = workspace->AddController(QString(), QString(), QString(), QString())
                               ->AddExtension(QStringLiteral("QuorSQL"), Variant());
    extension->setValue(Variant::text(QStringLiteral("GET:unknown")));
    EXPECT_THROW(extension->Execute(0), EngineError);
}

TEST(FakeEngineTest, RecordsTheOrderInWhichObjectsAreReleased)
{
    const auto script = FakeEngineScript::create();
    std::shared_ptr<IEngine> engine = script->createEngine();
    std::shared_ptr<IWorkspace> workspace = engine->Workspaces()->Item(0);
    EXPECT_EQ(script->released, QStringList{QStringLiteral("Workspaces")});
    engine.reset();
    workspace.reset();
    EXPECT_EQ(script->released, (QStringList{QStringLiteral("Workspaces"), QStringLiteral("Engine"),
                                             QStringLiteral("Workspace")}));
}

} // namespace
