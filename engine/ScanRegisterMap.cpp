#include "engine/ScanRegisterMap.h"

#include <QSet>
#include <algorithm>

using namespace modbusscan;

namespace {

QString namePrefix(Table table)
{
    switch (table) {
    case Table::Coil:
        return QStringLiteral("CO");
    case Table::Discrete:
        return QStringLiteral("DI");
    case Table::Input:
        return QStringLiteral("IR");
    case Table::Holding:
        break;
    }
    return QStringLiteral("HR");
}

QByteArray mapField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && bytes.trimmed() == bytes)
        return bytes;
    return '"' + bytes.replace("\"", "\"\"") + '"';
}

} // namespace

QString defaultScanName(Table table, int address, int unit)
{
    const QString name = namePrefix(table) + QString::number(address);
    return unit >= 0 ? QStringLiteral("U%1.%2").arg(unit).arg(name) : name;
}

QList<ScanMapRow> scanMapRows(const QList<Result>& results)
{
    QSet<int> units;
    for (const Result& result : results) {
        if (result.status == Status::Served)
            units.insert(result.unit);
    }
    QList<std::pair<std::tuple<int, int, int>, ScanMapRow>> keyed;
    for (const Result& result : results) {
        if (result.status != Status::Served)
            continue;
        for (int address = result.first; address <= result.last; ++address) {
            ScanMapRow row;
            row.table = result.table;
            row.address = address;
            row.name = defaultScanName(result.table, address, units.size() > 1 ? result.unit : -1);
            row.type = isBitTable(result.table) ? QStringLiteral("bool") : QStringLiteral("uint16");
            keyed.append({{result.unit, int(result.table), address}, row});
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<ScanMapRow> rows;
    rows.reserve(keyed.size());
    for (const auto& [key, row] : keyed)
        rows.append(row);
    return rows;
}

QByteArray registerMapText(const QList<ScanMapRow>& rows)
{
    QByteArray text = "Name,Table,Address,Type,Order\n";
    for (const ScanMapRow& row : rows)
        text += mapField(row.name) + ',' + tableName(row.table).toUtf8() + ',' +
                QByteArray::number(row.address) + ',' + row.type.toUtf8() + ",\n";
    return text;
}
