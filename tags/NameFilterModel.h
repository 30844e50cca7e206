#pragma once

#include <QSortFilterProxyModel>

// A list of names filtered to those that contain a text anywhere, ignoring letter case.
// The names keep the order of the list under it. The name is the item's filter role (its
// display text unless set otherwise); with recursive filtering a branch of a tree stays
// while a name under it is shown.
class NameFilterModel final : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit NameFilterModel(QObject* parent = nullptr);

    const QString& containedText() const { return m_text; }
    // Shows the names that contain `text`; an empty text shows every name.
    void setContainedText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_text;
};
