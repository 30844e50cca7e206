#include "tags/StoredRowLength.h"

#include <QLocale>

namespace {

// Enough of a tag name to tell the row by; a name that makes its row too long may be huge.
constexpr qsizetype kShownNameLength = 60;
constexpr qsizetype kCommas = 9;
// No UTF-16 unit takes more than three bytes of UTF-8.
constexpr qsizetype kMostBytesAUnit = 3;

} // namespace

qsizetype storedTextBytes(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

std::optional<LongRow> longStoredRow(const std::array<QStringView, 10>& cells)
{
    qsizetype units = kCommas;
    for (const QStringView cell : cells)
        units += cell.size();
    // Rows are short: most are told apart by their length alone.
    if (units * kMostBytesAUnit <= kMostStoredRowBytes)
        return std::nullopt;
    LongRow row{kCommas, 0};
    qsizetype longestBytes = -1;
    for (size_t i = 0; i < cells.size(); ++i) {
        const qsizetype bytes = storedTextBytes(cells[i]);
        row.bytes += bytes;
        if (bytes > longestBytes) {
            longestBytes = bytes;
            row.longest = qsizetype(i);
        }
    }
    if (row.bytes <= kMostStoredRowBytes)
        return std::nullopt;
    return row;
}

std::optional<LongRow> longStoredRow(const QStringList& cells)
{
    std::array<QStringView, 10> views;
    for (qsizetype i = 0; i < cells.size() && i < qsizetype(views.size()); ++i)
        views[size_t(i)] = cells.at(i);
    return longStoredRow(views);
}

QString rowTooLongMessage(const QString& tagName, qint32 row, const QString& title, qsizetype bytes)
{
    const QString name =
        tagName.size() > kShownNameLength ? tagName.left(kShownNameLength) + QStringLiteral("...") : tagName;
    const QLocale english(QLocale::English);
    return QStringLiteral("The tag [%1] in row %2 cannot be saved: its column \"%3\" makes the row %4 bytes "
                          "long, and a tag setting file holds at most %5 bytes in a row. Shorten the text "
                          "and save again.")
        .arg(name, QString::number(row), title, english.toString(bytes),
             english.toString(kMostStoredRowBytes));
}
