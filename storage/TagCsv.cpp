#include "storage/TagCsv.h"

#include "storage/DelimitedText.h"
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

void appendRecord(QString& text, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        DelimitedText::appendField(text, fields.at(i), needsQuotes(fields.at(i)));
    }
    text += QStringLiteral("\r\n");
}

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

std::optional<QString> textOf(const QByteArray& bytes, ParseError& error)
{
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    if (const std::optional<qint64> line = firstLineNotUtf8(body)) {
        error = ParseError{*line, QStringLiteral("the text is not UTF-8.")};
        return std::nullopt;
    }
    return QString::fromUtf8(body);
}

Parsed toRecords(const QByteArray& bytes)
{
    Parsed parsed;
    ParseError notText;
    const std::optional<QString> text = textOf(bytes, notText);
    if (!text) {
        parsed.error = notText;
        return parsed;
    }
    const DelimitedText::Split split =
        DelimitedText::split(*text, QLatin1Char(','), DelimitedText::EmptyLines::Skipped);
    if ((parsed.error = split.error))
        return parsed;
    const QList<DelimitedText::Record>& raw = split.records;
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
        const DelimitedText::Record& record = raw.at(r);
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
