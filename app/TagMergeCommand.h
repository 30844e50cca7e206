#pragma once

#include <QString>

class QIODevice;

// The merge driver for git: merges THEIRS into OURS against BASE by tag name and writes the
// result to `target` (OURS when empty, as git expects). Prints each conflict on `out` (git runs
// it on temporary copies, so no file is named), a file it cannot read or write on `err`. Returns 0 clean, 1
// written with conflict markers, 2 failed.
int runTagMerge(const QString& base, const QString& ours, const QString& theirs, const QString& target,
                QIODevice& out, QIODevice& err);
