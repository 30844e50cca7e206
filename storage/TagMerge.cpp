#include "storage/TagMerge.h"

#include "storage/TagFileFormat.h"

#include <QHash>
#include <vector>

using namespace TagFileFormat;

namespace {

// The rows of one side by match key: the name folded to ignore case, and its occurrence.
struct KeyedRows
{
    QStringList keys;
    QHash<QString, qsizetype> indexOfKey;

    const QString* valueOf(const QStringList& rows, const QString& key) const
    {
        const auto found = indexOfKey.constFind(key);
        return found == indexOfKey.cend() ? nullptr : &rows.at(*found);
    }
    bool holds(const QString& key) const { return indexOfKey.contains(key); }
};

QStringView rowName(const QString& row)
{
    const qsizetype comma = row.indexOf(QLatin1Char(','));
    return comma < 0 ? QStringView(row) : QStringView(row).left(comma);
}

KeyedRows keyedRowsOf(const QStringList& rows)
{
    KeyedRows keyed;
    keyed.keys.reserve(rows.size());
    keyed.indexOfKey.reserve(rows.size());
    QHash<QString, int> seen;
    for (const QString& row : rows) {
        const QString folded = rowName(row).toString().toCaseFolded();
        const int occurrence = seen[folded]++;
        QString key = occurrence == 0 ? folded : folded + QLatin1Char('\n') + QString::number(occurrence);
        keyed.indexOfKey.insert(key, keyed.keys.size());
        keyed.keys.append(std::move(key));
    }
    return keyed;
}

bool sameValue(const QString* a, const QString* b)
{
    return a == b || (a && b && *a == *b);
}

std::optional<QString> valueOrNothing(const QString* value)
{
    return value ? std::optional<QString>(*value) : std::nullopt;
}

// The three-way rule for one field or one row; a missing one is nullptr.
TagMergeItem mergeOne(const QString* base, const QString* ours, const QString* theirs)
{
    TagMergeItem item;
    if (sameValue(ours, theirs) || sameValue(base, theirs)) {
        item.ours = item.theirs = valueOrNothing(ours);
    } else if (sameValue(base, ours)) {
        item.ours = item.theirs = valueOrNothing(theirs);
    } else {
        item.conflict = true;
        item.ours = valueOrNothing(ours);
        item.theirs = valueOrNothing(theirs);
        item.how = !base     ? QStringLiteral("added on both sides, differently")
                   : !ours   ? QStringLiteral("deleted in ours, changed in theirs")
                   : !theirs ? QStringLiteral("changed in ours, deleted in theirs")
                             : QStringLiteral("changed on both sides, differently");
    }
    return item;
}

void addRow(TagMergeResult& result, TagMergeItem&& item, QStringView name)
{
    if (item.conflict) {
        ++result.conflicts;
        item.subject = QStringLiteral("Tag \"%1\"").arg(name);
    } else if (!item.ours) {
        return; // deleted
    }
    result.rows.append(std::move(item));
}

} // namespace

TagMergeResult mergeTagTables(const TagMergeSide& base, const TagMergeSide& ours, const TagMergeSide& theirs)
{
    TagMergeResult result;
    const QStringList connectionKeys = {kType, kController, kProvider, kMachine, kOption};
    for (int i = 0; i < TagMergeSide::kConnectionFields; ++i) {
        TagMergeItem& item = result.connection[size_t(i)] =
            mergeOne(&base.connection[size_t(i)], &ours.connection[size_t(i)], &theirs.connection[size_t(i)]);
        item.subject = connectionKeys.at(i);
        result.conflicts += item.conflict ? 1 : 0;
    }

    const KeyedRows b = keyedRowsOf(base.rows);
    const KeyedRows o = keyedRowsOf(ours.rows);
    const KeyedRows t = keyedRowsOf(theirs.rows);

    // The rows only THEIRS holds go after the last row before them that OURS holds too, and
    // past the rows OURS alone holds there. Slot 0 is before OURS's first row, slot i + 1 after
    // OURS's row i.
    const auto pastOursAlone = [&](qsizetype slot) {
        while (slot < ours.rows.size() && !t.holds(o.keys.at(slot)))
            ++slot;
        return slot;
    };
    std::vector<std::vector<qsizetype>> theirsAfter(size_t(ours.rows.size()) + 1);
    qsizetype slot = pastOursAlone(0);
    for (qsizetype i = 0; i < theirs.rows.size(); ++i) {
        const auto inOurs = o.indexOfKey.constFind(t.keys.at(i));
        if (inOurs != o.indexOfKey.cend())
            slot = pastOursAlone(*inOurs + 1);
        else
            theirsAfter[size_t(slot)].push_back(i);
    }

    const auto addTheirs = [&](qsizetype at) {
        for (const qsizetype i : theirsAfter[size_t(at)]) {
            const QString& key = t.keys.at(i);
            addRow(result, mergeOne(b.valueOf(base.rows, key), nullptr, &theirs.rows.at(i)),
                   rowName(theirs.rows.at(i)));
        }
    };
    result.rows.reserve(qMax(ours.rows.size(), theirs.rows.size()));
    addTheirs(0);
    for (qsizetype i = 0; i < ours.rows.size(); ++i) {
        const QString& key = o.keys.at(i);
        addRow(result, mergeOne(b.valueOf(base.rows, key), &ours.rows.at(i), t.valueOf(theirs.rows, key)),
               rowName(ours.rows.at(i)));
        addTheirs(i + 1);
    }
    return result;
}
