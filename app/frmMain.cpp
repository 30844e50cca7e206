#include "app/frmMain.h"

#include "app/Icons.h"
#include "app/LayoutRules.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace {
// The designed client area.
constexpr int kDesignClientWidth = 9510;
constexpr int kDesignClientHeight = 6405;
} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Halvo2 QUOR Online Tag Editor"));
    setWindowIcon(Icons::windowIcon());

    // The controls were designed for an 8-point dialog font; a larger one would not fit them.
    QFont designFont = font();
    designFont.setPointSize(8);
    setFont(designFont);

    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    createMenus();
    createToolbar();
    createGeneralFrame();
    createBrakkaFrame();
    createItemFrame();
    createGrid();
    createStatusBar();
    createVariablePicker();
    setTabOrder();
    fitCaptions();
    connectEvents();

    // The window is never smaller than the size at which the layout applies.
    client->setMinimumSize(twipsToPixels(kMinimumOuterWidth - kFrameAllowanceWidth),
                           twipsToPixels(kMinimumOuterHeight - kFrameAllowanceHeight));
    client->installEventFilter(this);
    resize(twipsToPixels(kDesignClientWidth),
           twipsToPixels(kDesignClientHeight) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

void frmMain::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}
