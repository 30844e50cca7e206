#include "storage/TagTableCheck.h"

#include "engine/clsCtrlParameter.h"
#include "storage/ProfileText.h"
#include "storage/TagFileFormat.h"
#include "storage/TagFileRows.h"
#include "storage/clsProfile.h"
#include "tags/StoredRowLength.h"
#include "tags/TagGridModel.h"

#include <algorithm>
#include <array>
#include <utility>

using namespace TagFileFormat;

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// The stored cells of one row: a data row of the table, or the cells given for a row to come.
struct StoredCells
{
    const TagGridModel* table = nullptr;
    const QStringList* cells = nullptr;
    qint32 row = 0;

    QStringView text(int col) const
    {
        if (table)
            return table->rowAt(row).cell(col);
        const qsizetype at = col - kFirstStoredColumn;
        return at < cells->size() ? QStringView(cells->at(at)) : QStringView();
    }
    QString title(int col) const
    {
        return table ? table->TextMatrix(0, col) : kStoredColumnTitles.at(col - kFirstStoredColumn);
    }
};

QString refusal(const StoredCells& row, int col, const QString& reason)
{
    return QStringLiteral("The tag [%1] in row %2 cannot be saved: its column \"%3\" %4")
        .arg(row.text(kFirstStoredColumn).toString(), QString::number(row.row), row.title(col), reason);
}

// The characters of a text that a stored line cannot keep, found in one plain pass: texts are
// short, and most of their characters come after ',' in the code table.
struct Unkept
{
    bool lineBreak = false;
    bool nul = false;
    bool comma = false;
    bool tab = false;
};

Unkept unkeptIn(QStringView text)
{
    Unkept found;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c > u',')
            continue;
        found.lineBreak = found.lineBreak || c == u'\r' || c == u'\n';
        found.nul = found.nul || c == u'\0';
        found.comma = found.comma || c == u',';
        found.tab = found.tab || c == u'\t';
    }
    return found;
}

// What makes a text impossible to write as one line of a file.
std::optional<QString> unwritable(const Unkept& found)
{
    if (found.lineBreak)
        return QStringLiteral("a line break");
    if (found.nul)
        return QStringLiteral("a NUL character");
    return std::nullopt;
}

std::array<std::pair<QString, QString>, 4> connectionTexts(const clsCtrlParameter& connection)
{
    return {{{kController, connection.m_strControllerName},
             {kProvider, connection.m_strProviderName},
             {kMachine, connection.m_strMachineName},
             {kOption, connection.m_strOptionVal}}};
}

QString connectionRefusal(const QString& field, const QString& reason)
{
    return QStringLiteral("The connection cannot be saved: its \"%1\" text %2").arg(field, reason);
}

// The first character of `text` that the file's encoding cannot hold, as a message names it.
QString unheldCharacter(const QString& text, clsProfile& file)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!file.EncodingHolds(character)) {
            if (ProfileText::isByteEscape(character[0].unicode()))
                return QStringLiteral("the unreadable byte 0x%1")
                    .arg(QString::number(character[0].unicode() - 0xDC00, 16).toUpper());
            return QLatin1Char('"') + character + QLatin1Char('"');
        }
        i += length - 1;
    }
    return QStringLiteral("text");
}

QString encodingReason(const QString& text, clsProfile& file)
{
    const QString character = unheldCharacter(text, file);
    // A new file is written in UTF-8: it holds any character, but no byte that is none.
    const bool newFileHolds = file.EncodingName() != QLatin1String("UTF-8") &&
                              !character.startsWith(QLatin1String("the unreadable"));
    return QStringLiteral("holds %1, which this file's character encoding (%2) cannot store. %3")
        .arg(character, file.EncodingName(),
             newFileHolds ? QStringLiteral("Change the text, or use Save As and give the name of a file that "
                                           "does not exist yet: a new file is written in UTF-8.")
                          : QStringLiteral("Change the text and save again."));
}

std::optional<QString> cellProblem(const StoredCells& row, int col)
{
    const QStringView text = row.text(col);
    if (text.isEmpty())
        return std::nullopt;
    const Unkept found = unkeptIn(text);
    if (const std::optional<QString> what = unwritable(found))
        return refusal(row, col,
                       QStringLiteral("holds %1, which a tag setting file cannot store. "
                                      "Remove it and save again.")
                           .arg(*what));
    if (found.comma)
        return refusal(row, col,
                       QStringLiteral("holds a comma (\",\"), which a tag setting file cannot store. "
                                      "Remove the comma and save again."));
    if (found.tab)
        return refusal(row, col,
                       QStringLiteral("holds a tab character, which a tag setting file cannot store. "
                                      "Remove the tab and save again."));
    if (col == kFirstStoredColumn && isBlank(text.front()))
        return refusal(row, col,
                       QStringLiteral("begins with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    if (col == kLastStoredColumn && isBlank(text.back()))
        return refusal(row, col,
                       QStringLiteral("ends with a blank, which a tag setting file does not keep. "
                                      "Remove the blank and save again."));
    return std::nullopt;
}

// A row longer than the store reads back whole.
std::optional<QString> lengthProblem(const StoredCells& row)
{
    std::array<QStringView, kStoredColumns> cells;
    for (int i = 0; i < kStoredColumns; ++i)
        cells[size_t(i)] = row.text(kFirstStoredColumn + i);
    const std::optional<LongRow> longRow = longStoredRow(cells);
    if (!longRow)
        return std::nullopt;
    return rowTooLongMessage(row.text(kFirstStoredColumn).toString(), row.row,
                             row.title(kFirstStoredColumn + int(longRow->longest)), longRow->bytes);
}

std::optional<QString> rowProblem(const StoredCells& row)
{
    for (int col = kFirstStoredColumn; col <= kLastStoredColumn; ++col) {
        if (std::optional<QString> problem = cellProblem(row, col))
            return problem;
    }
    const QStringView first = row.text(kFirstStoredColumn);
    const QStringView last = row.text(kLastStoredColumn);
    if (!first.isEmpty() && isQuote(first.front()) && last.endsWith(first.front()))
        return refusal(row, kFirstStoredColumn,
                       QStringLiteral("begins with the quotation mark that ends its column \"%1\"; "
                                      "a tag setting file does not keep such a pair. Remove one of "
                                      "them and save again.")
                           .arg(row.title(kLastStoredColumn)));
    return std::nullopt;
}

} // namespace

std::optional<QString> rowStorageProblem(const TagGridModel& table, qint32 row)
{
    return rowProblem({&table, nullptr, row});
}

std::optional<QString> storedCellsProblem(const QStringList& cells, qint32 row)
{
    if (std::optional<QString> problem = rowProblem({nullptr, &cells, row}))
        return problem;
    return lengthProblem({nullptr, &cells, row});
}

std::optional<QString> rowLengthProblem(const TagGridModel& table, qint32 row)
{
    return lengthProblem({&table, nullptr, row});
}

std::optional<QString> storageProblem(const TagGridModel& table, const clsCtrlParameter* connection)
{
    if (connection) {
        for (const auto& [field, text] : connectionTexts(*connection)) {
            if (const std::optional<QString> what = unwritable(unkeptIn(text)))
                return connectionRefusal(field, QStringLiteral("holds %1, which a tag setting file cannot "
                                                               "store. Connect again with other settings.")
                                                    .arg(*what));
        }
    }
    for (qint32 row = 1; row < table.Rows(); ++row) {
        if (std::optional<QString> problem = rowStorageProblem(table, row))
            return problem;
    }
    return std::nullopt;
}

std::optional<QString> encodingProblem(const TagGridModel& table, const clsCtrlParameter& connection,
                                       clsProfile& file)
{
    // Each text is checked as the line it is written in.
    const auto line = [](const QString& key, const QString& value) { return key + QLatin1Char('=') + value; };
    for (const auto& [field, text] : connectionTexts(connection)) {
        if (!file.EncodingHolds(line(field, clsProfile::Quoted(text))))
            return connectionRefusal(field, encodingReason(text, file));
    }
    TagKeyText keys;
    for (qint32 row = 1; row < table.Rows(); ++row) {
        // A whole row at a time, as it is written; the cell is looked for only when the row fails.
        const QString value = storedRowValue(table, row);
        if (file.EncodingHolds(line(keys.of(row), value)))
            continue;
        const GridRow& cells = table.rowAt(row);
        for (int col = kFirstStoredColumn; col <= kLastStoredColumn; ++col) {
            const QString text = cells.cell(col).toString();
            if (!file.EncodingHolds(text))
                return refusal({&table, nullptr, row}, col, encodingReason(text, file));
        }
        return refusal({&table, nullptr, row}, kFirstStoredColumn, encodingReason(value, file));
    }
    return std::nullopt;
}
