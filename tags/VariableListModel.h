#pragma once

#include "engine/ValueCapability.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

// The variables of a controller as the "Add Variables..." dialog lists them: the name, and
// where the engine offers values, the live value, the type, the access and the address.
class VariableListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Name,
        Value,
        Type,
        Access,
        Address,
        ColumnCount
    };
    // The variable's full name, also where a view shows only part of it.
    static constexpr int VariableNameRole = Qt::UserRole + 1;

    VariableListModel(const QStringList& names, bool withValues, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(VariableListModel)

    const QStringList& names() const { return m_names; }
    bool withValues() const { return m_withValues; }
    void setDescriptions(const QList<VariableDescription>& descriptions);
    void setValues(const QList<VariableValue>& values);

    // "read/write", "read", "write", "none"; "not found" for a variable the controller lacks.
    static QString accessText(const VariableDescription& description);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString cellText(int row, int column) const;
    // Tells views that the cells from `first` to `last` column of the rows named changed.
    void changedNames(const QStringList& names, int first, int last);

    QStringList m_names;
    bool m_withValues;
    QHash<QString, int> m_rowOf;
    bool m_repeatedNames = false;
    QHash<QString, VariableDescription> m_descriptions;
    QHash<QString, VariableValue> m_values;
};
