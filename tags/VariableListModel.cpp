#include "tags/VariableListModel.h"

#include "tags/LiveColumnsModel.h"

VariableListModel::VariableListModel(const QStringList& names, bool withValues, QObject* parent)
    : QAbstractTableModel(parent), m_names(names), m_withValues(withValues)
{
    m_rowOf.reserve(names.size());
    for (int row = 0; row < names.size(); ++row) {
        if (m_rowOf.contains(names.at(row)))
            m_repeatedNames = true;
        else
            m_rowOf.insert(names.at(row), row);
    }
}

void VariableListModel::setDescriptions(const QList<VariableDescription>& descriptions)
{
    QStringList named;
    for (const VariableDescription& description : descriptions) {
        m_descriptions.insert(description.name, description);
        named.append(description.name);
    }
    changedNames(named, Type, Address);
}

void VariableListModel::setValues(const QList<VariableValue>& values)
{
    QStringList named;
    for (const VariableValue& value : values) {
        m_values.insert(value.name, value);
        named.append(value.name);
    }
    changedNames(named, Value, Type);
}

QString VariableListModel::accessText(const VariableDescription& description)
{
    if (!description.known)
        return QStringLiteral("not found");
    if (description.readable && description.writable)
        return QStringLiteral("read/write");
    if (description.readable)
        return QStringLiteral("read");
    return description.writable ? QStringLiteral("write") : QStringLiteral("none");
}

int VariableListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

int VariableListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_withValues ? ColumnCount : 1;
}

QVariant VariableListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role == VariableNameRole)
        return m_names.at(index.row());
    if (role != Qt::DisplayRole)
        return QVariant();
    return cellText(index.row(), index.column());
}

QVariant VariableListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = {"Name", "Value", "Type", "Access", "Address"};
    return QString::fromLatin1(titles[section]);
}

Qt::ItemFlags VariableListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QString VariableListModel::cellText(int row, int column) const
{
    const QString& name = m_names.at(row);
    if (column == Name)
        return name;
    const auto value = m_values.constFind(name);
    const auto description = m_descriptions.constFind(name);
    switch (column) {
    case Value:
        if (value == m_values.cend())
            return QString();
        return value->status == VariableValue::Status::Good ? LiveColumnsModel::valueText(*value)
                                                            : statusText(*value);
    case Type:
        if (description != m_descriptions.cend() && !description->type.isEmpty())
            return description->type;
        return value == m_values.cend() ? QString() : value->type;
    case Access:
        return description == m_descriptions.cend() ? QString() : accessText(*description);
    case Address:
        return description == m_descriptions.cend() ? QString() : description->address;
    default:
        return QString();
    }
}

void VariableListModel::changedNames(const QStringList& names, int first, int last)
{
    if (!m_withValues || names.isEmpty() || m_names.isEmpty())
        return;
    int top = static_cast<int>(m_names.size());
    int bottom = -1;
    for (const QString& name : names) {
        const auto row = m_rowOf.constFind(name);
        if (row == m_rowOf.cend())
            continue;
        top = std::min(top, *row);
        bottom = std::max(bottom, *row);
    }
    // A name listed twice has rows that the first one does not tell.
    if (m_repeatedNames) {
        top = 0;
        bottom = static_cast<int>(m_names.size()) - 1;
    }
    if (bottom >= top)
        emit dataChanged(index(top, first), index(bottom, last), {Qt::DisplayRole});
}
