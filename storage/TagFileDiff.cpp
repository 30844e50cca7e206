#include "storage/TagFileDiff.h"

#include "storage/TagFileFormat.h"
#include "storage/TagFileReader.h"
#include "tags/TagGridModel.h"

#include <QHash>
#include <algorithm>
#include <vector>

using namespace TagFileFormat;

namespace {

struct Tag
{
    qint32 row;
    QStringList cells;
};

// The tags of a table by match key: the name without regard to case and its occurrence.
struct Tags
{
    QList<Tag> inOrder;
    QList<QString> keys;
    QHash<QString, qsizetype> indexOfKey;
};

Tags tagsOf(const TagGridModel& table)
{
    Tags tags;
    QHash<QString, int> seen;
    for (qint32 row = 1; row < table.Rows(); ++row) {
        QStringList cells;
        for (int col = kFirstStoredColumn; col < kFirstStoredColumn + kStoredColumns; ++col)
            cells.append(table.TextMatrix(row, col));
        const QString folded = cells.first().toCaseFolded();
        const QString key = folded + QLatin1Char('\n') + QString::number(seen[folded]++);
        tags.indexOfKey.insert(key, tags.inOrder.size());
        tags.keys.append(key);
        tags.inOrder.append({row, cells});
    }
    return tags;
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString tagLine(const char* what, const Tag& tag)
{
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(what), tagKey(tag.row), quoted(tag.cells.first()));
}

void diffConnection(const TagFileConnection& a, const TagFileConnection& b, QStringList& lines)
{
    const QList<std::pair<QString, std::pair<QString, QString>>> fields = {
        {kType, {QString::number(a.type), QString::number(b.type)}},
        {kController, {a.controller, b.controller}},
        {kProvider, {a.provider, b.provider}},
        {kMachine, {a.machine, b.machine}},
        {kOption, {a.option, b.option}}};
    for (const auto& [key, values] : fields) {
        if (values.first != values.second)
            lines.append(
                QStringLiteral("%1: %2 -> %3").arg(key, quoted(values.first), quoted(values.second)));
    }
}

QString cellChanges(const QStringList& before, const QStringList& after)
{
    QStringList changes;
    for (int i = 0; i < kStoredColumns; ++i) {
        if (before.at(i) != after.at(i))
            changes.append(QStringLiteral("%1 %2 -> %3")
                               .arg(kStoredColumnTitles.at(i), quoted(before.at(i)), quoted(after.at(i))));
    }
    return changes.join(QStringLiteral("; "));
}

// Positions (in `newIndexes`) of a longest run of increasing new indexes: the tags that kept
// their order against each other. The others moved.
std::vector<bool> keptOrder(const QList<qsizetype>& newIndexes)
{
    std::vector<qsizetype> tailEnd; // position in newIndexes of the smallest tail of each length
    std::vector<qsizetype> previous(newIndexes.size(), -1);
    for (qsizetype i = 0; i < newIndexes.size(); ++i) {
        const auto at =
            std::lower_bound(tailEnd.begin(), tailEnd.end(), newIndexes.at(i),
                             [&](qsizetype pos, qsizetype value) { return newIndexes.at(pos) < value; });
        const qsizetype length = at - tailEnd.begin();
        previous[i] = length > 0 ? tailEnd[length - 1] : -1;
        if (at == tailEnd.end())
            tailEnd.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> kept(newIndexes.size(), false);
    for (qsizetype i = tailEnd.empty() ? -1 : tailEnd.back(); i >= 0; i = previous[i])
        kept[i] = true;
    return kept;
}

} // namespace

QStringList diffTagFiles(const TagFileContent& before, const TagFileContent& after)
{
    QStringList lines;
    diffConnection(before.connection, after.connection, lines);
    const Tags a = tagsOf(before.document->table());
    const Tags b = tagsOf(after.document->table());

    QList<qsizetype> newIndexes; // of the tags both hold, in the old order
    for (qsizetype i = 0; i < a.inOrder.size(); ++i) {
        const auto match = b.indexOfKey.constFind(a.keys.at(i));
        if (match == b.indexOfKey.cend())
            lines.append(tagLine("removed", a.inOrder.at(i)) + QStringLiteral(": ") +
                         joinRow(a.inOrder.at(i).cells));
        else
            newIndexes.append(*match);
    }
    QStringList changed;
    for (qsizetype j = 0; j < b.inOrder.size(); ++j) {
        const auto match = a.indexOfKey.constFind(b.keys.at(j));
        const Tag& tag = b.inOrder.at(j);
        if (match == a.indexOfKey.cend())
            lines.append(tagLine("added", tag) + QStringLiteral(": ") + joinRow(tag.cells));
        else if (a.inOrder.at(*match).cells != tag.cells)
            changed.append(tagLine("changed", tag) + QStringLiteral(": ") +
                           cellChanges(a.inOrder.at(*match).cells, tag.cells));
    }
    lines += changed;

    const std::vector<bool> kept = keptOrder(newIndexes);
    QList<qsizetype> moved;
    for (qsizetype i = 0; i < newIndexes.size(); ++i) {
        if (!kept[i])
            moved.append(newIndexes.at(i));
    }
    std::sort(moved.begin(), moved.end());
    for (const qsizetype j : moved) {
        const Tag& tag = b.inOrder.at(j);
        const Tag& old = a.inOrder.at(a.indexOfKey.value(b.keys.at(j)));
        lines.append(tagLine("moved", tag) + QStringLiteral(": was ") + tagKey(old.row));
    }
    return lines;
}
