#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class TagGridModel;

// What the command line's check finds in one tag setting file.
struct TagFileCheckResult
{
    // One line per problem, in row order, each beginning with the file's name as given, a colon
    // and, for a problem of one row, its key ("a.qts:Tag3: ...").
    QStringList problems;
    // The file could not be read at all (missing, a folder, a pipe, no permission, no tag
    // setting). Its one line is then an error, not a problem of the file's content.
    bool unreadable = false;
};

// Reports each block of conflict markers that an unfinished merge left, by its lines. Otherwise
// reads the file as the window reads it and checks what the window would refuse or lose: the
// Type and TagDataCnt keys, rows that are missing or do not read back as stored, and every row
// against the tag name rules (duplicates without regard to letter case, forbidden characters)
// and the save check.
TagFileCheckResult checkTagFile(const QString& path);
// The same check of a file the store keeps in memory (ProfileFileCache::setMemoryFile), or of
// one already known to be a readable regular file.
TagFileCheckResult checkTagFileContent(const QString& path);

// The check of each data row of a table, in row order: its name against the names of the rows
// before it and against the forbidden characters, its cells against what a tag setting file can
// store.
class TagRowCheck final
{
public:
    explicit TagRowCheck(const TagGridModel& table);

    // The problems of data row `row`, each without the row's key; rows are checked from the
    // first on, each once.
    QStringList problemsOf(qint32 row);

private:
    const TagGridModel& m_table;
    QHash<QString, qint32> m_firstRowOfName;
};
