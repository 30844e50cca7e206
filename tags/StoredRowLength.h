#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

// A tag row is stored as one value of the profile store: its ten cells joined with ",". The
// store reads a value back whole only up to this many bytes of its text, which is UTF-8 (a lone
// surrogate, as a byte the file's code page could not decode, takes three) whatever the file's
// encoding. The reader refuses a longer row, the writer does not write one, and rows coming
// into the table are held to it.
inline constexpr qsizetype kMostStoredRowBytes = 199998;

// The bytes of `text` in the store's text.
qsizetype storedTextBytes(QStringView text);

// A stored row longer than the limit: its bytes, and its longest cell (0 for Tag Name to 9 for G).
struct LongRow
{
    qsizetype bytes = 0;
    qsizetype longest = 0;
};
// The row of these ten cells when it is longer than the limit, or nothing.
std::optional<LongRow> longStoredRow(const std::array<QStringView, 10>& cells);
// The same for a row given as up to ten cells (the missing ones empty).
std::optional<LongRow> longStoredRow(const QStringList& cells);

// The message that refuses data row `row`, naming its tag and the column whose text makes it
// long (`title`).
QString rowTooLongMessage(const QString& tagName, qint32 row, const QString& title, qsizetype bytes);
