#include "app/modMain.h"

#include "app/CommandLine.h"
#include "app/frmMain.h"
#include "engine/EngineLoader.h"
#include "platform/AppInfo.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QPointer>
#include <cstdio>

std::shared_ptr<IEngine> g_objEngine;
std::shared_ptr<IWorkspace> g_objWorkspace;
bool g_bBRAKKAMode = false;
bool g_bLoadFailed = false;
QString g_strFilePath;
QString g_strLastFolder;
QString g_strStartFile;

namespace {

EngineFactory g_engineFactory;
QPointer<frmMain> g_mainWindow;

struct StartFailure
{
};

// The engine; problems receives why engine plug-ins were left out or none could be used.
std::shared_ptr<IEngine> createEngine(QString& problems)
{
    return g_engineFactory ? g_engineFactory() : CreateEngine(&problems);
}

// The start-up details also go to standard error, where a program started from a terminal
// or a service shows them.
void reportStartupProblems(const QString& problems)
{
    if (!problems.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(problems));
}

} // namespace

void setEngineFactory(EngineFactory factory)
{
    g_engineFactory = std::move(factory);
}

void ReleaseEngine()
{
    // The workspace goes before the engine it belongs to.
    g_objWorkspace.reset();
    g_objEngine.reset();
}

bool isMainWindowOpen()
{
    return g_mainWindow && g_mainWindow->isVisible();
}

void Main()
{
    QString problems;
    try {
        const QStringList arguments = QCoreApplication::arguments().mid(1);
        g_bBRAKKAMode = IsBRAKKAModeArgument(AppInfo::argumentText(arguments));
        g_strStartFile = StartFileArgument(arguments);

        g_objEngine = createEngine(problems);
        reportStartupProblems(problems);
        if (!g_objEngine)
            throw StartFailure();
        const std::shared_ptr<IWorkspaces> workspaces = g_objEngine->Workspaces();
        if (!workspaces)
            throw StartFailure();
        g_objWorkspace = workspaces->Item(0);
        if (!g_objWorkspace)
            throw StartFailure();

        auto* window = new frmMain();
        window->setAttribute(Qt::WA_DeleteOnClose);
        g_mainWindow = window;
        window->Form_Load();
        window->show();
        if (g_bLoadFailed)
            window->close();
    } catch (...) {
        showMessageWithDetails(nullptr, QStringLiteral("Failed to start."), MsgIcon::Critical, problems);
        ReleaseEngine();
    }
}
