// The program's own start-up (run mode, engine, main window and its load), closed as soon as
// the window has been shown and painted once; the close runs the window's unload as the user's
// close would. Started by bench_startup.
#include "app/modMain.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    AppState state;
    QApplication app(argc, argv);
    Main(state);
    if (!isMainWindowOpen())
        return 1;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            QTimer::singleShot(0, window, &QWidget::close);
    }
    return QApplication::exec();
}
