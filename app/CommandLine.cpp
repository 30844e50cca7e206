#include "app/CommandLine.h"

#include "platform/AppInfo.h"

#include <QFileInfo>
#include <stdexcept>

ArgumentSlots::ArgumentSlots(int lowerBound, int upperBound)
    : m_lower(lowerBound), m_upper(upperBound), m_slots(qMax(0, upperBound - lowerBound + 1))
{
}

QString& ArgumentSlots::operator[](int index)
{
    if (index < m_lower || index > m_upper)
        throw std::out_of_range("argument slot out of range");
    return m_slots[index - m_lower];
}

const QString& ArgumentSlots::operator[](int index) const
{
    if (index < m_lower || index > m_upper)
        throw std::out_of_range("argument slot out of range");
    return m_slots[index - m_lower];
}

namespace {

enum class SplitState
{
    BetweenArguments,
    InPlainArgument,
    InQuotedArgument
};

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

qint16 SplitCommandLine(const QString& argumentText, ArgumentSlots& args)
{
    int slot = argumentText.isEmpty() ? 0 : args.lowerBound();
    SplitState state = SplitState::BetweenArguments;
    const QChar quote = QLatin1Char('"');

    for (const QChar c : argumentText) {
        bool argumentEnds = false;
        switch (state) {
        case SplitState::BetweenArguments:
            if (c == quote) {
                state = SplitState::InQuotedArgument;
            } else if (!isBlank(c)) {
                state = SplitState::InPlainArgument;
                args[slot].append(c);
            }
            break;
        case SplitState::InPlainArgument:
            if (isBlank(c))
                argumentEnds = true;
            else
                args[slot].append(c);
            break;
        case SplitState::InQuotedArgument:
            if (c == quote)
                argumentEnds = true;
            else
                args[slot].append(c);
            break;
        }
        if (argumentEnds) {
            // The upper bound is reached: stop at once and leave the state as it is.
            if (slot >= args.upperBound())
                break;
            ++slot;
            state = SplitState::BetweenArguments;
        }
    }

    if (state == SplitState::BetweenArguments)
        --slot;
    return static_cast<qint16>(slot > 0 ? slot : 0);
}

bool IsBRAKKAModeArgument(const QString& argumentText)
{
    // One slot, index 1: only the first argument is ever looked at.
    ArgumentSlots args(1, 1);
    if (SplitCommandLine(argumentText, args) <= 0)
        return false;
    return args[1].toUpper() == QLatin1String("BRAKKA");
}

QString StartFileArgument(const QStringList& argumentsAfterProgram)
{
    const bool brakka = IsBRAKKAModeArgument(AppInfo::argumentText(argumentsAfterProgram));
    const QString candidate = argumentsAfterProgram.value(brakka ? 1 : 0);
    const QFileInfo info(candidate);
    if (candidate.isEmpty() || !info.isFile())
        return {};
    return info.absoluteFilePath();
}
