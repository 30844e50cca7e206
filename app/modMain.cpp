#include "app/modMain.h"

#include "app/CommandLine.h"
#include "app/frmMain.h"
#include "engine/EngineLoader.h"
#include "engine/FailureText.h"
#include "platform/AppInfo.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QPointer>
#include <cstdio>

namespace {

EngineFactory g_engineFactory;
QPointer<frmMain> g_mainWindow;

// The engine; problems receives why engine plug-ins were left out, also when an engine was made.
// Without an engine the reasons are raised.
std::shared_ptr<IEngine> createEngine(QString& problems, EngineValues& values)
{
    std::shared_ptr<IEngine> engine = g_engineFactory ? g_engineFactory() : CreateEngine(&problems, &values);
    if (!engine)
        throw EngineError(problems.isEmpty() ? QStringLiteral("The engine could not be created.") : problems);
    return engine;
}

// Plug-ins left out of a working engine are told on standard error, where a program started
// from a terminal or a service shows them.
void reportStartupProblems(const QString& problems)
{
    if (!problems.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(problems));
}

// Workspace 0 of the engine. The collection it comes from is released at once, so nothing of
// the engine but the workspace outlives this call.
std::shared_ptr<IWorkspace> workspaceZero(IEngine& engine)
{
    const std::shared_ptr<IWorkspaces> workspaces = engine.Workspaces();
    if (!workspaces)
        throw EngineError(QStringLiteral("The engine has no workspace collection."));
    std::shared_ptr<IWorkspace> workspace = workspaces->Item(0);
    if (!workspace)
        throw EngineError(QStringLiteral("The engine has no workspace 0."));
    return workspace;
}

// The start-up failure, with its reason in the box and on standard error.
void reportFailedStart(const QString& reason)
{
    std::fprintf(stderr, "QuorTagEditor: Failed to start. %s\n", qPrintable(reason));
    showMessageWithDetails(nullptr, QStringLiteral("Failed to start."), MsgIcon::Critical, reason);
}

} // namespace

void setEngineFactory(EngineFactory factory)
{
    g_engineFactory = std::move(factory);
}

bool isMainWindowOpen()
{
    return g_mainWindow && g_mainWindow->isVisible();
}

void Main(AppState& state)
{
    try {
        const QStringList arguments = QCoreApplication::arguments().mid(1);
        state.bBRAKKAMode = IsBRAKKAModeArgument(AppInfo::argumentText(arguments));
        state.strStartFile = StartFileArgument(arguments);

        QString problems;
        state.objEngine = createEngine(problems, state.objValues);
        reportStartupProblems(problems);
        state.objWorkspace = workspaceZero(*state.objEngine);

        auto* window = new frmMain(state);
        window->setAttribute(Qt::WA_DeleteOnClose);
        g_mainWindow = window;
        window->Form_Load();
        window->show();
        if (state.bLoadFailed)
            window->close();
    } catch (...) {
        reportFailedStart(currentFailureText());
        state.ReleaseEngine();
    }
}
