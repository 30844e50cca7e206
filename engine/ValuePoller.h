#pragma once

#include "engine/ValueCapability.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <memory>

// Keeps the live values of the variables a view wants: every refresh interval it reads them
// from the connected controller's values, with at most one read in flight, and keeps the
// latest value of each name. A slow device costs nothing here: the read's answer comes
// through the event loop whenever the engine gives it (at the latest with its timeout), and
// the next read waits for it. Without values to read from, every wanted name is
// "not connected".
class ValuePoller final : public QObject
{
    Q_OBJECT

public:
    explicit ValuePoller(QObject* parent = nullptr);
    ~ValuePoller() override;
    Q_DISABLE_COPY_MOVE(ValuePoller)

    static constexpr int kDefaultIntervalMs = 1000;
    static constexpr int kMinIntervalMs = 250;
    static constexpr int kMaxIntervalMs = 60000;

    // The values to read from; none while nothing is connected. A new source makes every
    // value known so far "not connected" until it is read again; an answer of the old one
    // that still comes is dropped.
    void setSource(std::shared_ptr<IControllerValues> values);
    const std::shared_ptr<IControllerValues>& source() const { return m_source; }

    // The names to read, each once, in the order given. Names not read before are read at
    // the next turn of the event loop (when no read is in flight), not only at the next
    // refresh.
    void setWanted(const QStringList& names);
    const QStringList& wanted() const { return m_wanted; }

    // Clamped to kMinIntervalMs .. kMaxIntervalMs.
    void setInterval(int milliseconds);
    int interval() const { return m_timer.interval(); }

    // Polling on or off (the values known so far are kept).
    void setActive(bool active);
    bool isActive() const { return m_active; }
    // Held while the controller's engine is busy elsewhere (a connection or a browse); a read
    // in flight still ends, no new one starts until resumed.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }

    bool isReading() const { return m_reading; }
    // The latest value of `name`; nullptr when it was never read.
    const VariableValue* latest(const QString& name) const;

signals:
    // A refresh is due: the owner may bring the source and the wanted names up to date.
    void refreshDue();
    // A read asked the source for these names.
    void readStarted(const QStringList& names);
    // Every value a read gave (also the unchanged ones), in the order read.
    void valuesRead(const QList<VariableValue>& values);
    // The names whose value, type or status changed, after they were stored.
    void valuesChanged(const QStringList& names);

private:
    void refresh();
    void startRead(QStringList names);
    void finishRead(quint64 generation, const QList<VariableValue>& values);
    // Starts what waited for the read in flight: a due refresh, else the names never read.
    void readWhatWaits();
    // readWhatWaits() at the next turn of the event loop, once however often asked.
    void scheduleWaitingReads();
    // The wanted names not read from the present source yet.
    QStringList unreadNames() const;
    // Stores values, announcing the changed ones.
    void store(const QList<VariableValue>& values);
    void markNotConnected(const QStringList& names);

    std::shared_ptr<IControllerValues> m_source;
    QStringList m_wanted;
    QHash<QString, VariableValue> m_latest;
    // The names read from the present source.
    QSet<QString> m_fresh;
    // The names of the read in flight.
    QStringList m_asked;
    QTimer m_timer;
    bool m_active = false;
    bool m_paused = false;
    bool m_reading = false;
    // A refresh came while a read was in flight or while paused.
    bool m_refreshWaiting = false;
    bool m_readsScheduled = false;
    // Tells the answers of a replaced source from those of the present one.
    quint64 m_generation = 0;
    // Lets callbacks that outlive the poller see that it is gone.
    std::shared_ptr<ValuePoller*> m_alive;
};
