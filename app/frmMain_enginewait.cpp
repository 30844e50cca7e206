#include "app/EngineWaitIndicator.h"
#include "app/frmMain.h"

#include <QAction>
#include <QFrame>
#include <utility>

// While a connect or browse waits for the engine the window stays usable, but nothing that would
// start another engine call or change the connection's fields while it is made: the connection
// groups are disabled (their controls keep their own states for afterwards), and so are New and
// Open, which clear or fill those fields.

void frmMain::createEngineWait()
{
    m_engineWait = new EngineWaitIndicator(this);
    connect(m_engineWait, &EngineWaitIndicator::cancelRequested, this, &frmMain::cancelEngineWait);
    connect(&m_engineSteps, &AsyncConnection::waitingChanged, this, &frmMain::engineWaitChanged);
}

void frmMain::expectEngineAnswer(const QString& text, std::function<void()> cancelled)
{
    m_engineWaitText = text;
    m_engineWaitCancelled = std::move(cancelled);
}

void frmMain::cancelEngineWait()
{
    if (!m_engineSteps.waiting())
        return;
    const std::function<void()> cancelled = std::exchange(m_engineWaitCancelled, nullptr);
    m_engineSteps.cancel();
    if (cancelled)
        cancelled();
}

void frmMain::engineWaitChanged(bool waiting)
{
    if (waiting) {
        m_focusBeforeWait = focusWidget();
        lockEngineCommands(true);
        m_engineWait->start(m_engineWaitText);
        return;
    }
    m_engineWait->stop();
    lockEngineCommands(false);
    // Disabling the groups moved the focus away from the control that had it.
    if (m_focusBeforeWait && m_focusBeforeWait->isEnabled())
        m_focusBeforeWait->setFocus();
    m_focusBeforeWait = nullptr;
    m_engineWaitCancelled = nullptr;
}

void frmMain::lockEngineCommands(bool locked)
{
    fraGeneral->setEnabled(!locked);
    fraBRAKKA->setEnabled(!locked);
    mnuFileItem[0]->setEnabled(!locked);
    mnuFileItem[1]->setEnabled(!locked);
    // The toolbar's Open.
    tbarButtons[1]->setEnabled(!locked);
}
