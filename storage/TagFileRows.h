#pragma once

#include "tags/GridRow.h"

#include <QString>
#include <array>
#include <vector>

class clsProfile;
class TagGridModel;

// The tag rows of a tag setting file: read for the grid in one go, and written from it.
struct TagFileRows
{
    // Rows 1, 2 ... as read: the running number, then the ten fields of the row's key.
    std::vector<GridRow> rows;
    // False when a key was missing or had fewer than ten fields; `rows` holds those before it.
    bool complete = false;
};

// Reads the keys "Tag" 1 to `count` of the tag section. Each row gets exactly the cells the
// grid gives a row added as its number, a TAB and the ten fields joined with TABs: a TAB
// inside a field cuts it too, and cells beyond `columns` are dropped.
TagFileRows readTagFileRows(clsProfile& profile, qint32 count, qsizetype columns);

// The value stored for data row `row` of the table: its columns 1 to 10 joined with ",".
QString storedRowValue(const TagGridModel& table, qint32 row);

// The keys "Tag" 1, 2 ... built in one text kept from key to key.
class TagKeyText final
{
public:
    const QString& of(qint32 row);

private:
    QString m_key;
    std::array<char16_t, 12> m_digits{};
};
