#pragma once

#include <QList>
#include <QString>

// An array of argument slots with its own lower and upper bound, as the command-line
// splitting fills it.
class ArgumentSlots final
{
public:
    ArgumentSlots(int lowerBound, int upperBound);
    int lowerBound() const { return m_lower; }
    int upperBound() const { return m_upper; }
    // The slot with that index; throws std::out_of_range outside the bounds.
    QString& operator[](int index);
    const QString& operator[](int index) const;

private:
    int m_lower;
    int m_upper;
    QList<QString> m_slots;
};

// Splits the argument text into the slots of `args`, appending each argument's characters
// to what its slot holds. Blanks and tabs separate arguments; a double quote at the start
// of an argument quotes it up to the next double quote; there is no escape character.
// Reading stops at the end of the argument that fills the upper bound. Returns the number
// of arguments found, 0 at the least.
qint16 SplitCommandLine(const QString& argumentText, ArgumentSlots& args);

// The run mode the program's one argument selects: True for the word BRAKKA in any case.
bool IsBRAKKAModeArgument(const QString& argumentText);

// The tag setting file that the command line names for the window to open, as a full path:
// the first argument when it is an existing file, or the second when the first selects the
// BRAKKA run mode; "" otherwise. The arguments are those after the program's name, as the
// system delivers them (already split).
QString StartFileArgument(const QStringList& argumentsAfterProgram);
