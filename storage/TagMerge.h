#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// One side of a three-way merge of tag setting files, as the window reads it.
struct TagMergeSide
{
    static constexpr int kConnectionFields = 5;
    // The values of "Type", "Controller", "Provider", "Machine" and "Option", in that order.
    std::array<QString, kConnectionFields> connection;
    // The tag rows in file order, each its ten cells joined with "," as the writer stores them.
    QStringList rows;
};

// One connection field or one tag row of the merged file: settled, or a conflict with what each
// side holds (nothing where a side deleted the row).
struct TagMergeItem
{
    std::optional<QString> ours;
    std::optional<QString> theirs;
    bool conflict = false;
    // What a conflict is about, for the messages: `Controller` or `Tag "Motor"`, and how the
    // sides differ: "changed on both sides", "deleted in ours, changed in theirs", ...
    QString subject;
    QString how;
};

// The merged file before it is written: each connection field, then the rows in their new order.
struct TagMergeResult
{
    std::array<TagMergeItem, TagMergeSide::kConnectionFields> connection;
    std::vector<TagMergeItem> rows;
    qsizetype conflicts = 0;
};

// Merges THEIRS into OURS against their common BASE. Tags are matched by name without regard to
// letter case (the n-th of a repeated name with the n-th); a change, addition or deletion made
// on one side only is taken, the same change made on both sides is taken once, and different
// changes of one tag or one connection field are a conflict. The rows keep OURS's order; a run
// of rows THEIRS added follows the row before it in THEIRS that OURS holds too, and the rows only
// OURS holds right after that one (OURS's own additions there come first); with no such row
// before it, it follows the rows only OURS holds at the start.
TagMergeResult mergeTagTables(const TagMergeSide& base, const TagMergeSide& ours, const TagMergeSide& theirs);
