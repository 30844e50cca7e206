#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// The commands for scripts: they check, export and compare tag setting files without a window,
// a display or an engine.

// True when the program's first argument asks for one of them ("--check", "--export-csv",
// "--diff", "--merge", "--git-setup", "--help", "--version"). Any other first argument keeps its
// meaning for the window.
bool isScriptCommand(const QString& firstArgument);

// Runs the command named by `arguments` (the program's name first) and returns the exit code:
// 0 clean or equal, 1 problems found or files differ, 2 a file could not be read or written, or
// the command line is wrong. Results go to `out`, errors to `err`.
int runScriptCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);
