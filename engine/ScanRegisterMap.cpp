#include "engine/ScanRegisterMap.h"

#include <QHash>
#include <QSaveFile>
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
            row.type = defaultScanType(result.table);
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

QString defaultScanType(Table table)
{
    return isBitTable(table) ? QStringLiteral("bool") : QStringLiteral("uint16");
}

QString addressRangeText(int first, int last)
{
    return first == last ? QString::number(first) : QStringLiteral("%1-%2").arg(first).arg(last);
}

bool continuesRun(const Result& run, const Result& next)
{
    return run.unit == next.unit && run.table == next.table && run.status == next.status &&
           run.reason == next.reason && run.last + 1 == next.first;
}

QList<Result> joinedUnserved(const QList<Result>& results)
{
    QList<Result> unserved;
    for (const Result& result : results) {
        if (result.status != Status::Served)
            unserved.append(result);
    }
    std::stable_sort(unserved.begin(), unserved.end(), [](const Result& a, const Result& b) {
        return std::tuple(a.unit, int(a.table), a.first) < std::tuple(b.unit, int(b.table), b.first);
    });
    QList<Result> joined;
    for (const Result& result : unserved) {
        if (!joined.isEmpty()) {
            Result& previous = joined.last();
            if (continuesRun(previous, result)) {
                previous.last = result.last;
                continue;
            }
        }
        joined.append(result);
    }
    return joined;
}

QByteArray registerMapText(const QList<ScanMapRow>& rows)
{
    QByteArray text = "Name,Table,Address,Type,Order\n";
    for (const ScanMapRow& row : rows)
        text += mapField(row.name) + ',' + tableName(row.table).toUtf8() + ',' +
                QByteArray::number(row.address) + ',' + row.type.toUtf8() + ",\n";
    return text;
}

std::optional<QString> scanMapFault(const QList<ScanMapRow>& rows)
{
    const QStringList registerTypes = {QStringLiteral("int16"), QStringLiteral("uint16"),
                                       QStringLiteral("int32"), QStringLiteral("uint32"),
                                       QStringLiteral("float32")};
    QHash<QString, QString> seen;
    for (const ScanMapRow& row : rows) {
        const QString place = defaultScanName(row.table, row.address);
        if (row.name.isEmpty())
            return QStringLiteral("The name of %1 is empty.").arg(place);
        if (std::any_of(row.name.begin(), row.name.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; }))
            return QStringLiteral("The name of %1 holds a control character.").arg(place);
        const QString folded = row.name.toCaseFolded();
        if (seen.contains(folded))
            return QStringLiteral("The name '%1' of %2 is already the name of %3.")
                .arg(row.name, place, seen.value(folded));
        seen.insert(folded, place);
        const QString type = row.type.toLower();
        if (isBitTable(row.table) ? type != QLatin1String("bool") : !registerTypes.contains(type))
            return QStringLiteral("The type '%1' of %2 does not fit its table: %3.")
                .arg(row.type, place,
                     isBitTable(row.table) ? QStringLiteral("bool")
                                           : registerTypes.join(QStringLiteral(", ")));
        if (type.endsWith(QLatin1String("32")) && row.address == 65535)
            return QStringLiteral("The %1 at %2 runs past address 65535.").arg(type, place);
    }
    return std::nullopt;
}

std::optional<QString> saveScanMap(const QString& path, const QList<ScanMapRow>& rows)
{
    const QByteArray text = registerMapText(rows);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return std::nullopt;
    return QStringLiteral("%1: %2").arg(path, file.errorString());
}
