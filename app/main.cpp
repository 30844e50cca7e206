#include "app/modMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Main();
    // Main leaves the window open, or ends with no window after a failed start.
    if (!isMainWindowOpen())
        return 0;
    return QApplication::exec();
}
