#pragma once

#include <QString>

class QIODevice;

// Sets up the git repository that holds `folder` for tag setting files: the line
// "*.qts diff=qts merge=qts" in its .gitattributes, and in its config the diff that shows a file's
// tag table as CSV (through --export-csv; a file it cannot read as it is) and the merge driver
// that merges tags by name (through --merge), both running this program. Says what it did on `out`; what is
// already set up is left as it is, so a second run changes nothing. Returns 0, or 2 when the folder is not in
// a repository or git fails, with the reason on `err`.
int setUpGitForTagFiles(const QString& folder, QIODevice& out, QIODevice& err);
