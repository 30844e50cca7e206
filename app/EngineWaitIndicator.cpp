#include "app/EngineWaitIndicator.h"

#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QProgressDialog>

namespace {
// A wait shorter than this shows only the busy cursor.
constexpr int kProgressDelayMs = 500;
} // namespace

EngineWaitIndicator::EngineWaitIndicator(QWidget* window) : QObject(window), m_window(window)
{
    m_delay.setSingleShot(true);
    m_delay.setInterval(kProgressDelayMs);
    connect(&m_delay, &QTimer::timeout, this, &EngineWaitIndicator::showProgress);
}

EngineWaitIndicator::~EngineWaitIndicator()
{
    stop();
}

QProgressDialog* EngineWaitIndicator::progressWindow() const
{
    return m_progress;
}

void EngineWaitIndicator::start(const QString& text)
{
    stop();
    m_text = text;
    m_busy.emplace();
    m_delay.start();
}

void EngineWaitIndicator::stop()
{
    m_delay.stop();
    m_busy.reset();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

void EngineWaitIndicator::showProgress()
{
    auto* progress = new QProgressDialog(m_text, QStringLiteral("Cancel"), 0, 0, m_window);
    progress->setObjectName(QStringLiteral("dlgEngineWait"));
    progress->setWindowTitle(applicationTitle());
    progress->setWindowModality(Qt::NonModal);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    connect(progress, &QProgressDialog::canceled, this, &EngineWaitIndicator::cancelRequested);
    m_progress = progress;
    // The program still works and can be pointed at: the cursor shows both from now on.
    QGuiApplication::changeOverrideCursor(QCursor(Qt::BusyCursor));
    progress->show();
}
