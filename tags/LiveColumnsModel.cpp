#include "tags/LiveColumnsModel.h"

#include "tags/TagColumns.h"
#include "tags/TagGridModel.h"

#include <algorithm>

LiveColumnsModel::LiveColumnsModel(TagGridModel& table, QObject* parent)
    : QIdentityProxyModel(parent), m_table(&table)
{
    setSourceModel(&table);
}

void LiveColumnsModel::setLookup(Lookup lookup)
{
    m_lookup = std::move(lookup);
}

void LiveColumnsModel::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    const int first = tableColumns();
    if (shown) {
        beginInsertColumns(QModelIndex(), first, first + LiveColumnCount - 1);
        m_shown = true;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), first, first + LiveColumnCount - 1);
        m_shown = false;
        endRemoveColumns();
    }
}

int LiveColumnsModel::columnOf(LiveColumn live) const
{
    return m_shown ? tableColumns() + live : -1;
}

bool LiveColumnsModel::isLiveColumn(int column) const
{
    return m_shown && column >= tableColumns() && column < tableColumns() + LiveColumnCount;
}

QString LiveColumnsModel::variableAt(int modelRow) const
{
    if (!m_table || modelRow < 0 || modelRow >= m_table->rowCount() || m_table->Cols() <= kVarNameColumn)
        return QString();
    return m_table->textAt(modelRow + 1, kVarNameColumn).toString();
}

const VariableValue* LiveColumnsModel::valueAt(int modelRow) const
{
    if (!m_lookup)
        return nullptr;
    const QString variable = variableAt(modelRow);
    return variable.isEmpty() ? nullptr : m_lookup(variable);
}

void LiveColumnsModel::valuesChangedAt(const std::vector<int>& modelRows)
{
    if (!m_shown || modelRows.empty())
        return;
    std::vector<int> rows = modelRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int first = tableColumns();
    const int last = first + LiveColumnCount - 1;
    const int count = rowCount();
    // One notification for each run of neighbouring rows.
    for (size_t i = 0; i < rows.size();) {
        size_t end = i + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        if (rows[i] >= 0 && rows[end - 1] < count)
            emit dataChanged(index(rows[i], first), index(rows[end - 1], last), {Qt::DisplayRole});
        i = end;
    }
}

QString LiveColumnsModel::valueText(const VariableValue& value)
{
    const QVariant& v = value.value;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', value.type == QLatin1String("float32") ? 7 : 15);
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 7);
    default:
        return v.toString();
    }
}

int LiveColumnsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : tableColumns() + (m_shown ? LiveColumnCount : 0);
}

QModelIndex LiveColumnsModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!isLiveColumn(column))
        return QIdentityProxyModel::index(row, column, parent);
    if (parent.isValid() || row < 0 || row >= rowCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex LiveColumnsModel::sibling(int row, int column, const QModelIndex& idx) const
{
    return idx.isValid() ? index(row, column) : QModelIndex();
}

QModelIndex LiveColumnsModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.column() >= tableColumns())
        return QModelIndex();
    return QIdentityProxyModel::mapToSource(proxyIndex);
}

QVariant LiveColumnsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !isLiveColumn(index.column()))
        return QIdentityProxyModel::data(index, role);
    return liveData(index.row(), index.column() - tableColumns(), role);
}

bool LiveColumnsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (index.isValid() && isLiveColumn(index.column()))
        return false;
    return QIdentityProxyModel::setData(index, value, role);
}

Qt::ItemFlags LiveColumnsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !isLiveColumn(index.column()))
        return QIdentityProxyModel::flags(index);
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QVariant LiveColumnsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !isLiveColumn(section))
        return QIdentityProxyModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole)
        return QVariant();
    static const char* const titles[] = {"Value", "Type", "Status"};
    return QString::fromLatin1(titles[section - tableColumns()]);
}

int LiveColumnsModel::tableColumns() const
{
    return m_table ? m_table->Cols() : 0;
}

QVariant LiveColumnsModel::liveData(int row, int live, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    const VariableValue* value = valueAt(row);
    if (!value)
        return QVariant();
    switch (live) {
    case Value:
        return valueText(*value);
    case Type:
        return value->type;
    case Status:
        return statusText(*value);
    default:
        return QVariant();
    }
}
