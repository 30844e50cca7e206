#include "app/EngineWaitIndicator.h"

#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <limits>

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
    m_done = 0;
    m_total = 0;
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
    showCounts();
    // The program still works and can be pointed at: the cursor shows both from now on.
    QGuiApplication::changeOverrideCursor(QCursor(Qt::BusyCursor));
    progress->show();
}

void EngineWaitIndicator::setProgress(qint64 done, qint64 total)
{
    m_done = done;
    m_total = total;
    showCounts();
}

void EngineWaitIndicator::showCounts()
{
    if (!m_progress || m_total <= 0)
        return;
    const qint64 done = qBound<qint64>(0, m_done, m_total);
    // The bar counts in ints; a larger total is scaled down to them.
    const qint64 scale = m_total / std::numeric_limits<int>::max() + 1;
    m_progress->setRange(0, int(m_total / scale));
    m_progress->setValue(int(done / scale));
    m_progress->setLabelText(
        QStringLiteral("%1\n%2 of %3").arg(m_text, QLocale().toString(done), QLocale().toString(m_total)));
}
