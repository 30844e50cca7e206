#include "app/ScriptCommands.h"
#include "app/modMain.h"

#include <QApplication>
#include <QFile>

int main(int argc, char** argv)
{
    // The commands for scripts need no window, no display and no engine.
    if (argc > 1 && isScriptCommand(QString::fromLocal8Bit(argv[1]))) {
        QCoreApplication app(argc, argv);
        QFile out;
        QFile err;
        if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
            return 2;
        return runScriptCommand(QCoreApplication::arguments(), out, err);
    }
    // The run's state outlives the window and the application object.
    AppState state;
    QApplication app(argc, argv);
    // Desktops match the window to its menu entry, and so to its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quortageditor.QuorTagEditor"));
    Main(state);
    // Main leaves the window open, or ends with no window after a failed start.
    if (!isMainWindowOpen())
        return 0;
    return QApplication::exec();
}
