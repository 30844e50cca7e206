#include "storage/TagCsv.h"

#include "storage/TagFileFormat.h"
#include "tags/TagGridModel.h"

#include <QStringDecoder>

using namespace TagFileFormat;

namespace TagCsv {

namespace {

bool needsQuotes(const QString& field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            return true;
    }
    return !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
}

void appendField(QString& line, const QString& field)
{
    if (!needsQuotes(field)) {
        line += field;
        return;
    }
    QString escaped = field;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    line += QLatin1Char('"') + escaped + QLatin1Char('"');
}

void appendRecord(QString& text, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        appendField(text, fields.at(i));
    }
    text += QStringLiteral("\r\n");
}

// Splits decoded CSV text into records of raw fields, each with the line it begins on.
class Splitter
{
public:
    explicit Splitter(const QString& text) : m_text(text) {}

    struct Raw
    {
        qint64 line;
        QStringList fields;
    };

    std::optional<ParseError> split(QList<Raw>& records)
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
                if (c != QLatin1Char(',') && !lineEnd)
                    return ParseError{m_line,
                                      QStringLiteral("text follows the quotation mark that closes a field.")};
                [[fallthrough]];
            case State::FieldStart:
            case State::Plain:
                if (c == QLatin1Char(',')) {
                    endField();
                    state = State::FieldStart;
                } else if (lineEnd) {
                    endRecord(records);
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
            if (c == QLatin1Char('\n') ||
                (c == QLatin1Char('\r') && (i + 1 == m_text.size() || m_text.at(i + 1) != QLatin1Char('\n'))))
                ++m_line;
        }
        if (state == State::Quoted)
            return ParseError{m_recordLine, QStringLiteral("a quoted field is not closed.")};
        endRecord(records);
        return std::nullopt;
    }

private:
    void endField()
    {
        m_fields.append(m_field);
        m_field.clear();
        m_content = true;
    }

    void endRecord(QList<Raw>& records)
    {
        // A line with nothing on it is no record.
        if (m_content) {
            endField();
            records.append({m_recordLine, m_fields});
        }
        m_fields.clear();
        m_field.clear();
        m_content = false;
        m_recordLine = m_line + 1;
    }

    const QString& m_text;
    QString m_field;
    QStringList m_fields;
    bool m_content = false;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
};

// The line of the first byte that is not UTF-8, or nothing.
std::optional<qint64> firstLineNotUtf8(const QByteArray& bytes)
{
    qint64 line = 1;
    for (const QByteArray& piece : bytes.split('\n')) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(piece);
        if (decoder.hasError())
            return line;
        ++line;
    }
    return std::nullopt;
}

} // namespace

QByteArray fromTable(const TagGridModel& table)
{
    QString text;
    appendRecord(text, kStoredColumnTitles);
    QStringList cells;
    for (qint32 row = 1; row < table.Rows(); ++row) {
        cells.clear();
        for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col)
            cells.append(table.TextMatrix(row, col));
        appendRecord(text, cells);
    }
    return text.toUtf8();
}

Parsed toRecords(const QByteArray& bytes)
{
    Parsed parsed;
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    if (const std::optional<qint64> line = firstLineNotUtf8(body)) {
        parsed.error = ParseError{*line, QStringLiteral("the text is not UTF-8.")};
        return parsed;
    }
    const QString text = QString::fromUtf8(body);
    QList<Splitter::Raw> raw;
    if ((parsed.error = Splitter(text).split(raw)))
        return parsed;
    if (raw.isEmpty()) {
        parsed.error = ParseError{1, QStringLiteral("the header row is missing.")};
        return parsed;
    }

    // The stored column each field of a record goes to (-1: none).
    QList<int> target;
    bool named = false;
    for (const QString& name : raw.first().fields) {
        int column = -1;
        for (int i = 0; i < kStoredColumns; ++i) {
            if (kStoredColumnTitles.at(i).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                column = i;
        }
        if (column >= 0 && target.contains(column)) {
            parsed.error =
                ParseError{raw.first().line, QStringLiteral("the header row names the column \"%1\" twice.")
                                                 .arg(kStoredColumnTitles.at(column))};
            return parsed;
        }
        named = named || column >= 0;
        target.append(column);
    }
    if (!named) {
        parsed.error =
            ParseError{raw.first().line, QStringLiteral("the header row names none of the columns %1.")
                                             .arg(kStoredColumnTitles.join(QStringLiteral(", ")))};
        return parsed;
    }

    for (qsizetype r = 1; r < raw.size(); ++r) {
        const Splitter::Raw& record = raw.at(r);
        if (record.fields.size() > target.size()) {
            parsed.records.clear();
            parsed.error = ParseError{record.line, QStringLiteral("it holds %1 fields, the header row %2.")
                                                       .arg(record.fields.size())
                                                       .arg(target.size())};
            return parsed;
        }
        QStringList cells(kStoredColumns);
        for (qsizetype f = 0; f < record.fields.size(); ++f) {
            if (target.at(f) >= 0)
                cells[target.at(f)] = record.fields.at(f);
        }
        parsed.records.append({record.line, cells});
    }
    return parsed;
}

} // namespace TagCsv
