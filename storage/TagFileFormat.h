#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

// The format of a tag setting file's section.
namespace TagFileFormat {

inline const QString kSection = QStringLiteral("QuorTagSetting");
inline const QString kType = QStringLiteral("Type");
inline const QString kController = QStringLiteral("Controller");
inline const QString kProvider = QStringLiteral("Provider");
inline const QString kMachine = QStringLiteral("Machine");
inline const QString kOption = QStringLiteral("Option");
inline const QString kTagDataCnt = QStringLiteral("TagDataCnt");

// Columns 1 to 10 of the grid are stored; column 0 is the running number.
constexpr int kFirstStoredColumn = 1;
constexpr int kStoredColumns = 10;
constexpr int kLastStoredColumn = kFirstStoredColumn + kStoredColumns - 1;
// The titles of the stored columns, as the grid's header row shows them.
inline const QStringList kStoredColumnTitles = {
    QStringLiteral("Tag Name"), QStringLiteral("Var Name"), QStringLiteral("Var Opt"), QStringLiteral("A"),
    QStringLiteral("B"),        QStringLiteral("C"),        QStringLiteral("D"),       QStringLiteral("E"),
    QStringLiteral("F"),        QStringLiteral("G")};

// "Tag" followed by the row number.
inline const QString kTagKeyPrefix = QStringLiteral("Tag");
QString tagKey(qint64 row);
// The ten cells of a row joined with "," (no quoting: a cell must not hold a comma).
QString joinRow(const QStringList& cells);
// The first ten fields of a stored row, or nothing when it has fewer than ten.
std::optional<QStringList> splitRow(const QString& value);
// The same fields as views into `value`.
std::optional<std::array<QStringView, kStoredColumns>> splitRowView(QStringView value);

// A text read as a whole number the way the file's numbers are read: blanks around it
// ignored, decimals rounded half to even; nothing for an empty, non-numeric or
// out-of-range text.
std::optional<qint32> toWholeNumber(const QString& text);

} // namespace TagFileFormat
