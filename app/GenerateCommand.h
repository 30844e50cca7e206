#pragma once

#include <QString>

class QIODevice;

// The command line's --generate: writes one tag setting file per row of the instance table into
// `folder` (made when missing), from the template (storage/TagGenerate.h). Nothing is written
// while any problem is found, and a file that exists only with `force`. Problems and errors go to
// `err`. Returns 0 when every file was written, 1 for problems, 2 when a file cannot be read or
// written.
int runGenerate(const QString& templatePath, const QString& instancesPath, const QString& folder, bool force,
                QIODevice& err);
