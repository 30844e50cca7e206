#pragma once

#include "platform/BusyCursor.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

class QProgressDialog;
class QWidget;

// What the window shows while it waits for the engine: the busy cursor at once and, after half a
// second, a small progress window with the wait's text, a busy indicator and Cancel. The progress
// window is not modal: the window stays usable behind it.
class EngineWaitIndicator final : public QObject
{
    Q_OBJECT

public:
    explicit EngineWaitIndicator(QWidget* window);
    ~EngineWaitIndicator() override;
    Q_DISABLE_COPY_MOVE(EngineWaitIndicator)

    void start(const QString& text);
    void stop();
    // How far the wait has got, where the engine tells: `done` of `total`, shown as counts under
    // the text and on the progress bar.
    void setProgress(qint64 done, qint64 total);
    // The progress window while it is shown, else nullptr.
    QProgressDialog* progressWindow() const;

signals:
    // Cancel was pressed, Escape typed or the progress window closed.
    void cancelRequested();

private:
    void showProgress();
    void showCounts();

    QWidget* m_window;
    QTimer m_delay;
    QString m_text;
    qint64 m_done = 0;
    // 0 while nothing told how far the wait has got.
    qint64 m_total = 0;
    std::optional<BusyCursor> m_busy;
    QPointer<QProgressDialog> m_progress;
};
