#pragma once

#include <QString>
#include <functional>

class QObject;

// The serial lines of this program's Modbus sessions. A line can be open only once, and RTU
// frames of two sessions must not mix on it, so the sessions on one line take turns: one holds
// it (has it open), the others wait until it gives the line up. The holder keeps the line open
// between its requests (opening a line may reset a device on it) until another session wants it.
// Sessions may live on different threads.
namespace modbus::serial_lines {

// True when the session now holds the line; whenWanted then runs from its event loop each time
// another session waits for the line. Otherwise whenFree runs from the session's event loop once
// the line is given up, to try again.
bool take(const QString& port, QObject* session, std::function<void()> whenFree,
          std::function<void()> whenWanted);
// Whether another session waits for the line.
bool wanted(const QString& port);
// Gives the line up, if the session holds it, and tells those waiting.
void giveUp(const QString& port, const QObject* session);
// Forgets the session's wait, as it goes away.
void forget(const QObject* session);

} // namespace modbus::serial_lines
