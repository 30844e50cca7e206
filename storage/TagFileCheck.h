#pragma once

#include <QString>
#include <QStringList>

// What the command line's check finds in one tag setting file.
struct TagFileCheckResult
{
    // One line per problem, each beginning with the file's name as given, a colon and, for a
    // problem of one row, its key ("a.qts:Tag3: ...").
    QStringList problems;
    // The file could not be read at all (missing, a folder, no permission, no tag setting).
    bool unreadable = false;
};

// Reports each block of conflict markers that an unfinished merge left, by its lines. Otherwise
// reads the file as the window reads it and checks what the window would refuse or lose: the
// Type and TagDataCnt keys, rows that are missing or do not read back as stored, and every row
// against the tag name rules (duplicates without regard to letter case, forbidden characters)
// and the save check.
TagFileCheckResult checkTagFile(const QString& path);
