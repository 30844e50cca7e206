#pragma once

#include "storage/FileEncoding.h"
#include "storage/TagMerge.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A tag setting file read for a merge, through the store as the window reads it.
struct TagMergeFile
{
    TagMergeSide side;
    // The file's encoding, in which the merged file is written when this is OURS.
    FileEncoding encoding;
};

// Reads one side; nothing, and `error` set to the reason, when the window would not open the
// file. With `emptyIsNoTags` a file without a single byte reads as an empty table with an empty
// connection: git hands such a file as the base of a file both sides added.
std::optional<TagMergeFile> readTagMergeFile(const QString& path, bool emptyIsNoTags, QString& error);

// The merged file as the writer writes a table, in `encoding`: the section, the connection keys,
// the rows numbered from "Tag1" on and "TagDataCnt". A conflict is written between the markers
// "<<<<<<< ours", "=======" and ">>>>>>> theirs", neighbouring conflicts in one block; the keys
// are numbered, and "TagDataCnt" counted, as if OURS's side of each were taken. Nothing when the
// encoding cannot hold a text of the result.
std::optional<QByteArray> mergedFileBytes(const TagMergeResult& merged, const FileEncoding& encoding);

// How a merge of three files ended.
struct TagMergeOutcome
{
    enum class Result
    {
        Clean,     // written without a conflict
        Conflicts, // written with conflict markers
        Failed     // a file could not be read or the result not written; nothing was written
    };
    Result result = Result::Failed;
    // The conflicts ("Tag \"Motor\": changed on both sides, differently"), or why it failed.
    QStringList messages;
};

// Merges the files BASE, OURS and THEIRS (mergeTagTables) and writes the result to `target`
// in OURS's encoding, replacing it at once or not at all. A target that is no regular file is
// refused before anything is read.
TagMergeOutcome mergeTagFiles(const QString& base, const QString& ours, const QString& theirs,
                              const QString& target);
