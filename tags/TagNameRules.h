#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class TagGridModel;

// The characters a tag name must not contain, in the order they are tested: the backslash,
// "!", "#", "$", ":" and ",". A name with several of them is reported for the one that
// comes first here.
const QStringList& forbiddenTagNameCharacters();

// The first character of forbiddenTagNameCharacters() that `name` contains (exact match),
// or an empty string when it contains none.
QString firstForbiddenCharacter(const QString& name);

// True when the text of cell (row, col) equals the tag name (column 1) of another data row,
// ignoring letter case; blanks count. With at most one data row nothing is compared.
// Throws GridError when the cell lies outside the table.
bool isDuplicateTagName(const TagGridModel& table, qint32 row, qint32 col);

// The warnings shown for a rejected name.
QString duplicateTagNameMessage(const QString& name);
QString forbiddenCharacterMessage(const QString& ch);

// The name Add gives a new tag numbered `number`: "Tag" followed by the number, unless
// `taken` says a row already holds that name (after deletions one may); then "Tag"
// followed by the first higher number whose name is free.
QString defaultTagName(qint32 number, const std::function<bool(const QString&)>& taken);

// `variable` with every character that a tag name must not hold (and the dots, blanks and
// control characters that make poor names elsewhere) replaced by "_": "Ram.Position" gives
// "Ram_Position".
QString variableAsTagName(const QString& variable);

// `name` when `taken` says no row holds it, else `name` followed by "_2", "_3" ... , the first
// that is free.
QString freeTagName(const QString& name, const std::function<bool(const QString&)>& taken);
