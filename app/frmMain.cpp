#include "app/frmMain.h"

#include "app/Icons.h"
#include "app/LayoutRules.h"
#include "tags/TagDocument.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QUndoStack>

namespace {
// The designed client area.
constexpr int kDesignClientWidth = 9510;
constexpr int kDesignClientHeight = 6405;
} // namespace

frmMain::frmMain(AppState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_document(new TagDocument(this))
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
    createLiveValues();
    createTrend();
    setTabOrder();
    fitCaptions();
    createEngineWait();
    connectEvents();

    // The window is never smaller than the size at which the layout applies.
    client->setMinimumSize(twipsToPixels(kMinimumOuterWidth - kFrameAllowanceWidth),
                           twipsToPixels(kMinimumOuterHeight - kFrameAllowanceHeight));
    client->installEventFilter(this);
    resize(twipsToPixels(kDesignClientWidth),
           twipsToPixels(kDesignClientHeight) + menuBar()->sizeHint().height());
}

frmMain::~frmMain()
{
    // An answer still awaited is dropped unseen; the controller goes while the engine thread
    // it may have been made on still stands.
    disconnect(&m_engineSteps, nullptr, this, nullptr);
    m_engineSteps.cancel();
    m_connection.disconnect();
    // The document tells the window as its history goes; it goes before the controls it
    // would look at.
    delete m_document;
}

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
