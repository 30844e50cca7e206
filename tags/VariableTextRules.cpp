#include "tags/VariableTextRules.h"

namespace {

std::optional<QString> problemOf(const QString& text, const QString& what)
{
    QString held;
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        held = QStringLiteral("a line break");
    else if (text.contains(QChar(u'\0')))
        held = QStringLiteral("a NUL character");
    else if (text.contains(QLatin1Char('\t')))
        held = QStringLiteral("a tab character");
    else
        return std::nullopt;
    return QStringLiteral("The variable %1 cannot be added: it holds %2, which a tag cannot keep.")
        .arg(what, held);
}

} // namespace

std::optional<QString> variableTextProblem(const QString& name, const QString& option)
{
    if (std::optional<QString> problem = problemOf(name, QStringLiteral("name")))
        return problem;
    return problemOf(option, QStringLiteral("option"));
}
