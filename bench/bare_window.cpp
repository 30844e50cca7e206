// The floor of the start-up figure: a bare Qt main window with a table view, closed as soon as
// it has been shown and painted once. Started by bench_startup.
#include <QApplication>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    QStandardItemModel model(0, 11);
    auto* view = new QTableView(&window);
    view->setModel(&model);
    window.setCentralWidget(view);
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    return QApplication::exec();
}
