#pragma once

#include "engine/ValueCapability.h"

#include <QIdentityProxyModel>
#include <QPointer>
#include <functional>
#include <vector>

class TagGridModel;

// The tag table as the grid shows it: the table's own columns unchanged, and while shown,
// three read-only columns after them with the live "Value", "Type" and "Status" of each row's
// variable. The live columns belong to the view alone: they are not cells of the table, so
// saving, exporting, copying and pasting never meet them.
class LiveColumnsModel final : public QIdentityProxyModel
{
    Q_OBJECT

public:
    enum LiveColumn
    {
        Value,
        Type,
        Status,
        LiveColumnCount
    };
    // The latest value of a variable; nullptr when none is known.
    using Lookup = std::function<const VariableValue*(const QString& variable)>;

    explicit LiveColumnsModel(TagGridModel& table, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(LiveColumnsModel)

    void setLookup(Lookup lookup);
    bool isShown() const { return m_shown; }
    // Inserts or removes the live columns after the table's columns.
    void setShown(bool shown);

    // The column of `live` in this model, or -1 while the live columns are hidden.
    int columnOf(LiveColumn live) const;
    bool isLiveColumn(int column) const;
    // The variable of data row `modelRow` (model numbering); "" when it has none.
    QString variableAt(int modelRow) const;
    // The latest value of the row's variable; nullptr without one.
    const VariableValue* valueAt(int modelRow) const;
    // The live cells of these model rows show new values.
    void valuesChangedAt(const std::vector<int>& modelRows);

    // The value as the Value column shows it: "true"/"false", whole and decimal numbers,
    // text as it is; "" without a value.
    static QString valueText(const VariableValue& value);

    // QAbstractItemModel
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& idx) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int tableColumns() const;
    QVariant liveData(int row, int live, int role) const;

    // Gone when the table goes before the view.
    QPointer<TagGridModel> m_table;
    Lookup m_lookup;
    bool m_shown = false;
};
