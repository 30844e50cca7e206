#include "tags/SeriesPattern.h"

#include "tags/TagNameRules.h"

namespace {

// A zero-padded counter is at most this wide.
constexpr int kMaxCounterWidth = 9;

QString unknownPlaceholder(const QString& pattern, const QString& placeholder)
{
    return QStringLiteral("The pattern \"%1\" has an unknown placeholder {%2}. Use {n}, {n:03} or {var}.")
        .arg(pattern, placeholder);
}

// The counter placeholder's width: 0 for "n", 3 for "n:03"; nothing when it is no counter.
std::optional<int> counterWidth(const QString& inside)
{
    if (inside == QLatin1String("n"))
        return 0;
    if (!inside.startsWith(QLatin1String("n:0")))
        return std::nullopt;
    bool ok = false;
    const int width = inside.mid(3).toInt(&ok);
    if (!ok || width < 1 || width > kMaxCounterWidth || inside.size() != 4)
        return std::nullopt;
    return width;
}

} // namespace

std::optional<SeriesPattern> SeriesPattern::parse(const QString& text, QString& error)
{
    SeriesPattern pattern;
    QString literal;
    const auto keepLiteral = [&] {
        if (!literal.isEmpty())
            pattern.m_pieces.append({Piece::Kind::Text, literal, 0});
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c == QLatin1Char('{') || c == QLatin1Char('}')) && i + 1 < text.size() && text.at(i + 1) == c) {
            literal.append(c);
            ++i;
            continue;
        }
        if (c != QLatin1Char('{')) {
            literal.append(c);
            continue;
        }
        const qsizetype close = text.indexOf(QLatin1Char('}'), i + 1);
        if (close < 0) {
            error = QStringLiteral("The pattern \"%1\" has a \"{\" that is not closed.").arg(text);
            return std::nullopt;
        }
        const QString inside = text.mid(i + 1, close - i - 1);
        keepLiteral();
        if (inside == QLatin1String("var")) {
            pattern.m_pieces.append({Piece::Kind::Variable, {}, 0});
        } else if (const std::optional<int> width = counterWidth(inside)) {
            pattern.m_pieces.append({Piece::Kind::Counter, {}, *width});
        } else {
            error = unknownPlaceholder(text, inside);
            return std::nullopt;
        }
        i = close;
    }
    keepLiteral();
    return pattern;
}

QString SeriesPattern::expand(qint64 n, const QString& variable) const
{
    QString text;
    for (const Piece& piece : m_pieces) {
        switch (piece.kind) {
        case Piece::Kind::Text:
            text += piece.text;
            break;
        case Piece::Kind::Counter: {
            const QString digits =
                QString::number(n < 0 ? -n : n).rightJustified(piece.width, QLatin1Char('0'));
            text += n < 0 ? QLatin1Char('-') + digits : digits;
            break;
        }
        case Piece::Kind::Variable:
            text += variableAsTagName(variable);
            break;
        }
    }
    return text;
}
