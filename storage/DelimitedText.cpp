#include "storage/DelimitedText.h"

namespace DelimitedText {

namespace {

class Splitter
{
public:
    Splitter(const QString& text, QChar separator, EmptyLines emptyLines)
        : m_text(text), m_separator(separator), m_keepEmpty(emptyLines == EmptyLines::Kept)
    {
    }

    std::optional<Error> split(QList<Record>& records)
    {
        enum class State
        {
            FieldStart,
            Plain,
            Quoted,
            QuoteInQuoted
        } state = State::FieldStart;
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar c = m_text.at(i);
            const bool lineEnd = c == QLatin1Char('\n') || c == QLatin1Char('\r');
            const bool crOfCrLf =
                c == QLatin1Char('\r') && i + 1 < m_text.size() && m_text.at(i + 1) == QLatin1Char('\n');
            switch (state) {
            case State::Quoted:
                if (c == QLatin1Char('"'))
                    state = State::QuoteInQuoted;
                else
                    m_field += c;
                break;
            case State::QuoteInQuoted:
                if (c == QLatin1Char('"')) {
                    m_field += c;
                    state = State::Quoted;
                    break;
                }
                if (c != m_separator && !lineEnd)
                    return Error{m_line,
                                 QStringLiteral("text follows the quotation mark that closes a field.")};
                [[fallthrough]];
            case State::FieldStart:
            case State::Plain:
                if (c == m_separator) {
                    endField();
                    state = State::FieldStart;
                } else if (lineEnd) {
                    // CR LF is one line break: the record ends at its LF.
                    if (!crOfCrLf)
                        endRecord(records, true);
                    state = State::FieldStart;
                } else if (c == QLatin1Char('"') && state == State::FieldStart) {
                    m_content = true;
                    state = State::Quoted;
                } else {
                    m_field += c;
                    m_content = true;
                    state = State::Plain;
                }
                break;
            }
            if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && !crOfCrLf))
                ++m_line;
        }
        if (state == State::Quoted)
            return Error{m_recordLine, QStringLiteral("a quoted field is not closed.")};
        endRecord(records, false);
        return std::nullopt;
    }

private:
    void endField()
    {
        m_fields.append(m_field);
        m_field.clear();
        m_content = true;
    }

    void endRecord(QList<Record>& records, bool lineBreak)
    {
        if (m_content || (m_keepEmpty && lineBreak)) {
            endField();
            records.append({m_recordLine, m_fields});
        }
        m_fields.clear();
        m_field.clear();
        m_content = false;
        m_recordLine = m_line + 1;
    }

    const QString& m_text;
    const QChar m_separator;
    const bool m_keepEmpty;
    QString m_field;
    QStringList m_fields;
    bool m_content = false;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
};

} // namespace

Split split(const QString& text, QChar separator, EmptyLines emptyLines)
{
    Split result;
    result.error = Splitter(text, separator, emptyLines).split(result.records);
    if (result.error)
        result.records.clear();
    return result;
}

void appendField(QString& line, const QString& field, bool quote)
{
    if (!quote) {
        line += field;
        return;
    }
    QString escaped = field;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    line += QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace DelimitedText
