#pragma once

#include <QStringList>

class TagTableIndex;

// Adding tags from the variable picker: the rows an Add appends, and what the window tells
// the user about it.

// True when the picker's text names no variable: it is empty, or the prompt "[Select]" in
// any letter case.
bool namesNoVariable(const QString& text);

// How new tags are named: "Tag" and their row number as Add names them, or after their
// variables ("Ram.Position" gives "Ram_Position").
enum class TagNaming
{
    Numbered,
    AfterVariable
};

// The rows that adding `variables` one after another, each with `option`, appends to a
// table of `rows` rows (the header row counts), as texts for AddItem: numbered on from
// `rows`, each named by defaultTagName, or after its variable by freeTagName, among the
// table's names and the ones before it.
QStringList newTagRows(const TagTableIndex& table, qint32 rows, const QStringList& variables,
                       const QString& option, TagNaming naming = TagNaming::Numbered);

// "1 tag", "12 tags": the status bar's count.
QString tagCountText(qint64 tags);
// "1 tag added.", "100 tags added."
QString tagsAddedText(qint64 added);
// The tool tip of a variable that has tags: "Already tagged: Tag3, Tag7".
QString alreadyTaggedToolTip(const QStringList& tags);
// The question before a variable that has tags is added once more.
QString addAgainQuestion(const QString& variable, const QStringList& tags);
// The question before several chosen variables, `tagged` of them with tags, are added;
// No adds only the others.
QString addManyAgainQuestion(qsizetype tagged, qsizetype chosen);
// One line per chosen variable that has tags: "Oil.Temp: Tag3, Tag7".
QString addManyAgainDetails(const TagTableIndex& table, const QStringList& tagged);
