#pragma once

#include <QStringList>

struct TagFileContent;

// What changed from one tag setting file to another, one line each, in a stable order:
// - the connection keys that differ, in file order: `Controller: "PLC1" -> "PLC2"`;
// - tags removed, in the old file's order: `removed Tag3 "Valve": Valve,I3,,,,,,,,`;
// - tags added, in the new file's order: `added Tag4 "Pump": Pump,I4,,,,,,,,`;
// - tags whose cells changed, in the new order: `changed Tag1 "Motor": Var Name "I1" -> "I9"`;
// - tags that moved against the others, in the new order: `moved Tag5 "Fan": was Tag2`.
// Tags are matched by name without regard to letter case (the n-th of a repeated name with the
// n-th); removed tags carry their old key, the others their new one. No line: equal tables and
// connections.
QStringList diffTagFiles(const TagFileContent& before, const TagFileContent& after);
