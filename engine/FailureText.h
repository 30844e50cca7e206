#pragma once

#include <QString>

// Inside a catch block: what the failure being handled says about itself (an engine error's
// message, an exception's text), or a plain note when it says nothing.
QString currentFailureText();

// The reason behind a message: the lines joined, empty ones left out.
QString reasonLines(const QStringList& lines);
