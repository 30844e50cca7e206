#pragma once

#include <QString>

class TagDocument;
class TagGridModel;
class clsCtrlParameter;

// How writing a tag setting file ended.
struct TagFileWriteResult
{
    enum class Outcome
    {
        Written, // the file holds the table and its connection
        Refused, // a text cannot be written; nothing was touched; `message` says which
        Failed   // the store or the disk failed; nothing of the write reached the file; `message` says why
    };
    Outcome outcome = Outcome::Written;
    QString message;
};

// Writes a tag table and its connection record to a tag setting file the one way the program
// writes it, through the profile store: every old section goes, the connection keys, then the
// rows "Tag1" on and "TagDataCnt". A file read in a code page is written in it; a new file in
// UTF-8. The file is replaced at once, or not at all.
class TagFileWriter final
{
public:
    static TagFileWriteResult write(const TagDocument& document, const QString& path);
    static TagFileWriteResult write(const TagGridModel& table, const clsCtrlParameter& connection,
                                    const QString& path);
};
