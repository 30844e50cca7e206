#include "storage/TagMerge.h"

#include "storage/TagFileFormat.h"

#include <QHash>
#include <algorithm>
#include <vector>

using namespace TagFileFormat;

namespace {

QStringView rowName(const QString& row)
{
    const qsizetype comma = row.indexOf(QLatin1Char(','));
    return comma < 0 ? QStringView(row) : QStringView(row).left(comma);
}

// The rows that hold one match key (the name folded to ignore case, and its occurrence) on
// each side, -1 where a side has none.
struct RowsOfKey
{
    qsizetype base = -1;
    qsizetype ours = -1;
    qsizetype theirs = -1;
};

// The match keys of the three sides in one table, each side's keys kept in its row order.
class MatchKeys final
{
public:
    explicit MatchKeys(qsizetype expected) { m_rows.reserve(expected); }

    QStringList add(const QStringList& rows, qsizetype RowsOfKey::*side)
    {
        QStringList keys;
        keys.reserve(rows.size());
        QHash<QString, int> repeats; // of the names seen more than once on this side: how often
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QString key = rowName(rows.at(i)).toString().toCaseFolded();
            RowsOfKey* found = &m_rows[key];
            // No name holds a line break: a repeated one is told apart by its occurrence after one.
            if (found->*side >= 0) {
                const int occurrence = ++repeats[key];
                key += QLatin1Char('\n') + QString::number(occurrence);
                found = &m_rows[key];
            }
            found->*side = i;
            keys.append(std::move(key));
        }
        return keys;
    }
    RowsOfKey of(const QString& key) const { return m_rows.value(key); }

private:
    QHash<QString, RowsOfKey> m_rows;
};

const QString* rowAt(const QStringList& rows, qsizetype at)
{
    return at < 0 ? nullptr : &rows.at(at);
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
    result.rows.push_back(std::move(item));
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

    MatchKeys keys(ours.rows.size() + theirs.rows.size() / 8);
    keys.add(base.rows, &RowsOfKey::base);
    const QStringList oursKeys = keys.add(ours.rows, &RowsOfKey::ours);
    const QStringList theirsKeys = keys.add(theirs.rows, &RowsOfKey::theirs);
    std::vector<RowsOfKey> oursRows(size_t(ours.rows.size()));
    std::transform(oursKeys.begin(), oursKeys.end(), oursRows.begin(),
                   [&](const QString& k) { return keys.of(k); });
    std::vector<RowsOfKey> theirsRows(size_t(theirs.rows.size()));
    std::transform(theirsKeys.begin(), theirsKeys.end(), theirsRows.begin(),
                   [&](const QString& k) { return keys.of(k); });

    // The rows only THEIRS holds go after the last row before them that OURS holds too, and
    // past the rows OURS alone holds there. Slot 0 is before OURS's first row, slot i + 1 after
    // OURS's row i.
    const auto pastOursAlone = [&](qsizetype slot) {
        while (slot < ours.rows.size() && oursRows[size_t(slot)].theirs < 0)
            ++slot;
        return slot;
    };
    std::vector<std::vector<qsizetype>> theirsAfter(size_t(ours.rows.size()) + 1);
    qsizetype slot = pastOursAlone(0);
    for (size_t i = 0; i < theirsRows.size(); ++i) {
        if (theirsRows[i].ours >= 0)
            slot = pastOursAlone(theirsRows[i].ours + 1);
        else
            theirsAfter[size_t(slot)].push_back(qsizetype(i));
    }

    const auto addTheirs = [&](qsizetype at) {
        for (const qsizetype i : theirsAfter[size_t(at)]) {
            addRow(result,
                   mergeOne(rowAt(base.rows, theirsRows[size_t(i)].base), nullptr, &theirs.rows.at(i)),
                   rowName(theirs.rows.at(i)));
        }
    };
    result.rows.reserve(size_t(ours.rows.size() + theirs.rows.size()));
    addTheirs(0);
    for (qsizetype i = 0; i < ours.rows.size(); ++i) {
        addRow(result,
               mergeOne(rowAt(base.rows, oursRows[size_t(i)].base), &ours.rows.at(i),
                        rowAt(theirs.rows, oursRows[size_t(i)].theirs)),
               rowName(ours.rows.at(i)));
        addTheirs(i + 1);
    }
    return result;
}
