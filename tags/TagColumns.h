#pragma once

#include <QtGlobal>

// The columns of the tag table that the program reads by meaning (column 0 holds the row number).
inline constexpr qint32 kTagNameColumn = 1;
inline constexpr qint32 kVarNameColumn = 2;
