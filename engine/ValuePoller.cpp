#include "engine/ValuePoller.h"

#include <algorithm>

namespace {

// What a view shows of a value: a new time stamp alone is no change.
bool sameShown(const VariableValue& a, const VariableValue& b)
{
    return a.status == b.status && a.value == b.value && a.type == b.type &&
           a.exceptionCode == b.exceptionCode && a.exceptionName == b.exceptionName;
}

VariableValue notConnected(const QString& name)
{
    VariableValue value;
    value.name = name;
    value.status = VariableValue::Status::NotConnected;
    value.timestamp = QDateTime::currentDateTimeUtc();
    return value;
}

} // namespace

ValuePoller::ValuePoller(QObject* parent) : QObject(parent), m_alive(std::make_shared<ValuePoller*>(this))
{
    m_timer.setInterval(kDefaultIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ValuePoller::refresh);
}

ValuePoller::~ValuePoller() = default;

void ValuePoller::setSource(std::shared_ptr<IControllerValues> values)
{
    if (values == m_source)
        return;
    m_source = std::move(values);
    // The answer of the old source's read in flight is not waited for.
    ++m_generation;
    m_reading = false;
    m_fresh.clear();
    QStringList known = m_latest.keys();
    for (const QString& name : m_wanted) {
        if (!m_latest.contains(name))
            known.append(name);
    }
    markNotConnected(known);
    if (m_source) {
        m_refreshWaiting = true;
        scheduleWaitingReads();
    }
}

void ValuePoller::setWanted(const QStringList& names)
{
    QStringList unique;
    unique.reserve(names.size());
    QSet<QString> seen;
    seen.reserve(names.size());
    for (const QString& name : names) {
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            unique.append(name);
        }
    }
    if (unique == m_wanted)
        return;
    m_wanted = std::move(unique);
    if (!m_active)
        return;
    if (!m_source)
        markNotConnected(m_wanted);
    else if (!unreadNames().isEmpty())
        scheduleWaitingReads();
}

void ValuePoller::setInterval(int milliseconds)
{
    m_timer.setInterval(std::clamp(milliseconds, kMinIntervalMs, kMaxIntervalMs));
}

void ValuePoller::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (!active) {
        m_timer.stop();
        m_refreshWaiting = false;
        return;
    }
    m_timer.start();
    m_refreshWaiting = true;
    scheduleWaitingReads();
}

void ValuePoller::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (!paused)
        scheduleWaitingReads();
}

const VariableValue* ValuePoller::latest(const QString& name) const
{
    const auto it = m_latest.constFind(name);
    return it == m_latest.cend() ? nullptr : &it.value();
}

void ValuePoller::refresh()
{
    emit refreshDue();
    if (!m_active)
        return;
    if (!m_source) {
        markNotConnected(m_wanted);
        return;
    }
    m_refreshWaiting = true;
    readWhatWaits();
}

void ValuePoller::startRead(QStringList names)
{
    if (names.isEmpty())
        return;
    m_reading = true;
    m_asked = names;
    const quint64 generation = m_generation;
    const std::weak_ptr<ValuePoller*> alive = m_alive;
    emit readStarted(names);
    try {
        m_source->read(names, [alive, generation](QList<VariableValue> values) {
            if (const std::shared_ptr<ValuePoller*> poller = alive.lock())
                (*poller)->finishRead(generation, values);
        });
    } catch (...) {
        // An engine that refuses to start a read answers nothing; the next refresh tries again.
        if (generation == m_generation)
            m_reading = false;
    }
}

void ValuePoller::finishRead(quint64 generation, const QList<VariableValue>& values)
{
    if (generation != m_generation || !m_reading)
        return;
    m_reading = false;
    // Names the engine gave no value for count as read, so they are not asked for at once again.
    for (const QString& name : std::as_const(m_asked))
        m_fresh.insert(name);
    m_asked.clear();
    store(values);
    emit valuesRead(values);
    readWhatWaits();
}

void ValuePoller::readWhatWaits()
{
    if (!m_active || m_paused || m_reading || !m_source)
        return;
    if (m_refreshWaiting) {
        m_refreshWaiting = false;
        startRead(m_wanted);
        return;
    }
    startRead(unreadNames());
}

void ValuePoller::scheduleWaitingReads()
{
    if (m_readsScheduled)
        return;
    m_readsScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_readsScheduled = false;
            readWhatWaits();
        },
        Qt::QueuedConnection);
}

QStringList ValuePoller::unreadNames() const
{
    QStringList unread;
    for (const QString& name : m_wanted) {
        if (!m_fresh.contains(name))
            unread.append(name);
    }
    return unread;
}

void ValuePoller::store(const QList<VariableValue>& values)
{
    QStringList changed;
    for (const VariableValue& value : values) {
        auto it = m_latest.find(value.name);
        if (it == m_latest.end()) {
            m_latest.insert(value.name, value);
            changed.append(value.name);
        } else {
            if (!sameShown(*it, value))
                changed.append(value.name);
            *it = value;
        }
    }
    if (!changed.isEmpty())
        emit valuesChanged(changed);
}

void ValuePoller::markNotConnected(const QStringList& names)
{
    QList<VariableValue> values;
    for (const QString& name : names) {
        const VariableValue* known = latest(name);
        if (!known || known->status != VariableValue::Status::NotConnected)
            values.append(notConnected(name));
    }
    store(values);
}
