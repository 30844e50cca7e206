#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// The conflict markers a line-based merge leaves in a file it could not merge: "<<<<<<<" opens a
// block, "|||||||" and "=======" part its sides, ">>>>>>>" closes it, each at the start of a line.
// Such a file is half merged: read as it is, it would give one side and silently lose the other.
namespace MergeConflictMarkers {

inline constexpr char kOurs = '<';
inline constexpr char kBase = '|';
inline constexpr char kSeparator = '=';
inline constexpr char kTheirs = '>';
// How many of its character make a marker, as git writes them by default.
inline constexpr int kMarkerLength = 7;

// The marker line of that kind with its label: "<<<<<<< ours".
QByteArray markerLine(char kind, QByteArrayView label = {});

// The lines of one block, numbered from 1: from its opening marker to its closing one. A marker
// outside any block is a block of its own line; a block that is never closed ends at the last line.
struct Block
{
    qsizetype firstLine = 0;
    qsizetype lastLine = 0;
};

// The blocks of a file's text, in file order. CR LF, LF and a lone CR each end a line, as the
// store reads them.
QList<Block> find(QByteArrayView text);

// "lines 4 to 10, line 15": where the blocks are, for messages.
QString linesText(const QList<Block>& blocks);

} // namespace MergeConflictMarkers
