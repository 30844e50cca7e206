#include "engine/pluginkit/PluginOptions.h"

#include "engine/EngineError.h"

namespace pluginkit {

void malformedOption(const QString& what)
{
    throw EngineError(QStringLiteral("Malformed option: %1").arg(what));
}

void requireEmptyOption(const Variant& option, const QString& operation)
{
    if (option.isEmpty() || (option.kind() == Variant::Kind::Text && option.toText().isEmpty()))
        return;
    throw EngineError(QStringLiteral("%1 takes no option.").arg(operation));
}

OptionText::OptionText(const QString& text, const QStringList& allowedKeys)
{
    if (text.trimmed().isEmpty())
        return;
    for (const QString& rawPiece : text.split(QLatin1Char(','))) {
        const qsizetype equals = rawPiece.indexOf(QLatin1Char('='));
        const QString key = rawPiece.left(equals).trimmed();
        if (equals < 0 || key.isEmpty())
            malformedOption(QStringLiteral("\"%1\" is not of the form Key=Value.").arg(rawPiece));
        if (!allowedKeys.contains(key, Qt::CaseInsensitive))
            malformedOption(QStringLiteral("the key \"%1\" is not understood here.").arg(key));
        if (has(key))
            malformedOption(QStringLiteral("the key \"%1\" is given twice.").arg(key));
        m_pieces.append({key, rawPiece.mid(equals + 1).trimmed()});
    }
}

bool OptionText::has(const QString& key) const
{
    for (const Piece& piece : m_pieces) {
        if (piece.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString OptionText::value(const QString& key) const
{
    for (const Piece& piece : m_pieces) {
        if (piece.key.compare(key, Qt::CaseInsensitive) == 0)
            return piece.value;
    }
    return QString();
}

QString OptionText::required(const QString& key) const
{
    if (!has(key))
        malformedOption(QStringLiteral("\"%1=\" is missing.").arg(key));
    const QString text = value(key);
    if (text.isEmpty())
        malformedOption(QStringLiteral("\"%1=\" has no value.").arg(key));
    return text;
}

int OptionText::timeoutMs(int fallback) const
{
    return wholeNumber(QStringLiteral("Timeout"), fallback, 0, kMaxTimeoutMs,
                       QStringLiteral("a number of milliseconds"));
}

int OptionText::wholeNumber(const QString& key, int fallback, int min, int max, const QString& meaning) const
{
    if (!has(key))
        return fallback;
    bool ok = false;
    const int number = value(key).toInt(&ok);
    if (!ok || number < min || number > max)
        malformedOption(QStringLiteral("\"%1=%2\" is not %3 from %4 to %5.")
                            .arg(key, value(key), meaning)
                            .arg(min)
                            .arg(max));
    return number;
}

} // namespace pluginkit
