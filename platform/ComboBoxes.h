#pragma once

#include <QStringList>

class QComboBox;

// Combo box operations with the meaning the program gives them: the "text" of an editable
// combo box is its edit text, and appending entries never changes that text.

// Appends entries at the end of the list; the box's text stays as it was.
void appendItems(QComboBox* combo, const QStringList& items);
void appendItem(QComboBox* combo, const QString& item);
// Sets the text: the edit text of an editable box; for a selection-only box the entry
// with that text is chosen (none when there is no such entry).
void setComboText(QComboBox* combo, const QString& text);
// Empties the list; the text of an editable box stays as it was.
void clearItems(QComboBox* combo);
// The entries of the list, in list order.
QStringList comboItems(const QComboBox* combo);
