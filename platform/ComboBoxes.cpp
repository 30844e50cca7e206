#include "platform/ComboBoxes.h"

#include <QComboBox>
#include <QSignalBlocker>

void appendItems(QComboBox* combo, const QStringList& items)
{
    const QString text = combo->currentText();
    const int index = combo->currentIndex();
    {
        // Adding to an empty list would choose the first entry; keep the box as it was.
        const QSignalBlocker blocker(combo);
        combo->addItems(items);
        combo->setCurrentIndex(index);
    }
    if (combo->isEditable() && combo->currentText() != text)
        combo->setEditText(text);
}

void appendItem(QComboBox* combo, const QString& item)
{
    appendItems(combo, QStringList{item});
}

void setComboText(QComboBox* combo, const QString& text)
{
    if (combo->isEditable())
        combo->setEditText(text);
    else
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
}

void clearItems(QComboBox* combo)
{
    const QString text = combo->currentText();
    combo->clear();
    if (combo->isEditable())
        combo->setEditText(text);
}

QStringList comboItems(const QComboBox* combo)
{
    QStringList items;
    items.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}
