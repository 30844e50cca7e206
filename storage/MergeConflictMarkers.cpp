#include "storage/MergeConflictMarkers.h"

#include <QStringList>
#include <algorithm>

namespace MergeConflictMarkers {

namespace {

// The marker kind a line starts with, or 0: seven of the same character, then the end of the
// line or a blank before a label.
char markerOf(QByteArrayView line)
{
    if (line.size() < kMarkerLength)
        return 0;
    const char kind = line.front();
    if (kind != kOurs && kind != kBase && kind != kSeparator && kind != kTheirs)
        return 0;
    if (!std::all_of(line.begin(), line.begin() + kMarkerLength, [kind](char c) { return c == kind; }))
        return 0;
    if (line.size() > kMarkerLength && line[kMarkerLength] != ' ' && line[kMarkerLength] != '\t')
        return 0;
    return kind;
}

} // namespace

QByteArray markerLine(char kind, QByteArrayView label)
{
    QByteArray line(kMarkerLength, kind);
    if (!label.isEmpty())
        line += ' ' + label.toByteArray();
    return line;
}

QList<Block> find(QByteArrayView text)
{
    QList<Block> blocks;
    bool open = false;
    qsizetype number = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* const lineEnd = std::find_if(p, end, [](char c) { return c == '\n' || c == '\r'; });
        ++number;
        // Most lines are key lines: only a line that starts like a marker is looked at further.
        const char kind = (*p == kOurs || *p == kBase || *p == kSeparator || *p == kTheirs)
                              ? markerOf(QByteArrayView(p, lineEnd))
                              : 0;
        if (kind == kOurs) {
            if (open)
                blocks.last().lastLine = number - 1;
            blocks.append({number, number});
            open = true;
        } else if (kind != 0) {
            if (!open)
                blocks.append({number, number});
            blocks.last().lastLine = number;
            open = open && kind != kTheirs;
        }
        p = lineEnd;
        if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n')
            ++p;
        ++p;
    }
    if (open)
        blocks.last().lastLine = number;
    return blocks;
}

QString linesText(const QList<Block>& blocks)
{
    QStringList parts;
    for (const Block& block : blocks) {
        parts.append(block.firstLine == block.lastLine
                         ? QStringLiteral("line %1").arg(block.firstLine)
                         : QStringLiteral("lines %1 to %2").arg(block.firstLine).arg(block.lastLine));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace MergeConflictMarkers
