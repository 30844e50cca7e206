#pragma once

#include <QList>
#include <QString>
#include <optional>

// A pattern for names made in series: text with placeholders.
//   {n}      the counter;  {n:03} the counter, zero-padded to three digits
//   {var}    the row's variable, as a tag name may hold it (variableAsTagName of
//            tags/TagNameRules.h)
//   {{ }}    a literal brace
class SeriesPattern final
{
public:
    // The pattern `text`, or nothing and `error` says what is wrong with it.
    static std::optional<SeriesPattern> parse(const QString& text, QString& error);

    // The text for counter `n` and a row whose variable is `variable`.
    QString expand(qint64 n, const QString& variable) const;

private:
    struct Piece
    {
        enum class Kind
        {
            Text,
            Counter,
            Variable
        };
        Kind kind = Kind::Text;
        QString text;
        int width = 0;
    };
    QList<Piece> m_pieces;
};
