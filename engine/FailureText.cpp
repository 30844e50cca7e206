#include "engine/FailureText.h"

#include "engine/EngineError.h"

#include <QStringList>
#include <exception>

QString currentFailureText()
{
    try {
        throw;
    } catch (const EngineError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    return QStringLiteral("An unexpected failure with no description.");
}

QString reasonLines(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines) {
        if (!line.isEmpty())
            kept.append(line);
    }
    return kept.join(QLatin1Char('\n'));
}
