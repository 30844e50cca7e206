#include "engine/modbus/SerialLines.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>

namespace modbus::serial_lines {

namespace {

struct Waiter
{
    QObject* session = nullptr;
    std::function<void()> whenFree;
};

struct Line
{
    QObject* holder = nullptr;
    std::function<void()> whenWanted;
    QList<Waiter> waiting;
};

QMutex g_linesMutex;
QHash<QString, Line> g_lines;

} // namespace

bool take(const QString& port, QObject* session, std::function<void()> whenFree,
          std::function<void()> whenWanted)
{
    const QMutexLocker locker(&g_linesMutex);
    Line& line = g_lines[port];
    if (!line.holder || line.holder == session) {
        line.holder = session;
        line.whenWanted = std::move(whenWanted);
        return true;
    }
    line.waiting.removeIf([session](const Waiter& waiter) { return waiter.session == session; });
    line.waiting.append({session, std::move(whenFree)});
    // Posted under the lock, as in giveUp().
    QMetaObject::invokeMethod(line.holder, line.whenWanted, Qt::QueuedConnection);
    return false;
}

bool wanted(const QString& port)
{
    const QMutexLocker locker(&g_linesMutex);
    const auto found = g_lines.constFind(port);
    return found != g_lines.cend() && !found->waiting.isEmpty();
}

void giveUp(const QString& port, const QObject* session)
{
    const QMutexLocker locker(&g_linesMutex);
    const auto found = g_lines.find(port);
    if (found == g_lines.end() || found->holder != session)
        return;
    found->holder = nullptr;
    found->whenWanted = nullptr;
    // Posted under the lock: a waiter that goes away forgets its wait under it first, and its
    // destruction drops what was already posted to it.
    for (Waiter& waiter : std::exchange(found->waiting, {}))
        QMetaObject::invokeMethod(waiter.session, std::move(waiter.whenFree), Qt::QueuedConnection);
    g_lines.erase(found);
}

void forget(const QObject* session)
{
    const QMutexLocker locker(&g_linesMutex);
    for (Line& line : g_lines)
        line.waiting.removeIf([session](const Waiter& waiter) { return waiter.session == session; });
}

} // namespace modbus::serial_lines
