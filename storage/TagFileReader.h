#pragma once

#include "engine/clsCtrlParameter.h"
#include "storage/MergeConflictMarkers.h"
#include "storage/clsProfile.h"
#include "tags/TagDocument.h"
#include "tags/TagGridModel.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The connection a tag setting file was built on, as its keys hold it.
struct TagFileConnection
{
    // The "Type" value read as a whole number: 1 provider connection, 2 query server.
    qint32 type = 0;
    QString controller;
    QString provider;
    QString machine;
    QString option;
};

// How reading the tag rows of a file ended.
struct TagRowsRead
{
    enum class Result
    {
        Read,       // every row up to "TagDataCnt" was read
        BadCount,   // "TagDataCnt" is missing or not a number
        MissingRow, // the key of row `stoppedAt` is missing
        ShortRow,   // the value of row `stoppedAt` holds fewer than ten fields
        LongRow     // the value of row `stoppedAt` is longer than a row may be (`longBytes`)
    };
    Result result = Result::Read;
    // "TagDataCnt" as read; nothing when it is missing or not a number.
    std::optional<qint32> count;
    // The row that stopped the reading (MissingRow, ShortRow, LongRow).
    qint32 stoppedAt = 0;
    // The bytes of the value of a LongRow.
    qsizetype longBytes = 0;
    // The stored value of every row read, in order, when asked for.
    QStringList stored;
};

// Reads a tag setting file the one way the program reads it, through the profile store: the
// connection first, then the tag rows into a table. The window's Open and the command line
// both read with it, so they see a file alike.
class TagFileReader final
{
public:
    explicit TagFileReader(const QString& path);
    Q_DISABLE_COPY_MOVE(TagFileReader)

    // Why the file cannot be read at all (missing, a folder, a pipe or device, no permission), or
    // nothing. A pipe is refused before it is opened, which would wait for a writer.
    static std::optional<QString> accessProblem(const QString& path);

    // The connection keys; nothing when "Type" is missing or not a whole number, which is also
    // what a file without the section, or without any file, gives.
    std::optional<TagFileConnection> readConnection();
    // Reads "TagDataCnt" and appends the rows "Tag1" to "Tag<count>" to `table`: column 0 gets
    // the running number, the following columns the first ten fields of the value (a TAB in a
    // value splits its field, as the grid takes rows). Stops at the first row that is missing,
    // holds fewer than ten fields or is longer than the store reads back whole
    // (tags/StoredRowLength.h); the rows before it are appended. The rows reach the table in
    // one insertion. The stored values are kept in the result only with `keepStored`.
    TagRowsRead readRows(TagGridModel& table, bool keepStored = false);
    // The blocks of conflict markers an unfinished merge left in the file: a file that holds
    // any is half merged, and is refused before it is read.
    QList<MergeConflictMarkers::Block> mergeConflicts();
    // True when the file holds the section, without regard to letter case.
    bool hasSection();
    // True when the file holds the key "Tag<number>", read or not.
    bool hasTag(qint32 number);

private:
    QString value(const QString& key);

    clsProfile m_profile;
};

// Why a file's row could not be read, in the words of the window's message details.
QString longRowReason(qint32 row, qsizetype bytes);
// Why a half-merged file is not read, in the same words.
QString mergeConflictReason(const QList<MergeConflictMarkers::Block>& blocks);

// The connection record a file's connection keys give.
clsCtrlParameter connectionRecordOf(const TagFileConnection& connection);

// Reads the whole file as the window reads it in the normal mode, its rows appended to `table`
// and its connection keys into `connection`. False, and `error` set to the reason, when the
// window would fail to read it; the rows before the one that stopped the reading are then in
// the table, and the connection is there once it was read.
bool readTagTable(const QString& path, TagGridModel& table, std::optional<TagFileConnection>& connection,
                  QString& error, TagRowsRead* rowsRead = nullptr);

// Reads the whole file into `document` as the window reads it in the normal mode: its rows
// replace the document's, the connection keys become its connection record, the path its file;
// the history is forgotten. False, and `error` set to the reason, when the window would fail to
// read it; the rows before the one that stopped the reading are then in the document.
bool readTagDocument(const QString& path, TagDocument& document, QString& error,
                     TagRowsRead* rowsRead = nullptr);

// A whole tag setting file read as the window reads it, for the commands that need all of it.
struct TagFileContent
{
    TagFileConnection connection;
    TagRowsRead rows;
    // The tag table (the header row with the column titles, then the rows read) with the file's
    // connection record.
    std::unique_ptr<TagDocument> document;
};

// Reads the whole file; nothing, and `error` set to the reason, when the window would fail to
// read it.
std::optional<TagFileContent> readTagFileContent(const QString& path, QString& error);
// The same without first asking the disk whether `path` is a regular file that can be read (for
// files the profile functions hold in memory).
std::optional<TagFileContent> readTagFileContentAsGiven(const QString& path, QString& error);

// A tag table as the window's grid holds it: 11 columns, the header row with the titles.
std::unique_ptr<TagGridModel> newTagTable();
