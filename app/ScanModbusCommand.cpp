#include "app/ScanModbusCommand.h"

#include "app/ScriptOutput.h"
#include "engine/EngineError.h"
#include "engine/ModbusScanLoader.h"
#include "engine/ScanRegisterMap.h"

#include <QEventLoop>
#include <QIODevice>

using namespace modbusscan;
using namespace ScriptOutput;

namespace {

// The runs of addresses that served nothing the end of a scan lists; a log stays readable.
constexpr qsizetype kUnservedLines = 20;

// "N" or "A-B" of whole numbers within the bounds; false when it is not.
bool readBounds(const QString& text, int lowest, int highest, int& first, int& last)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() > 2)
        return false;
    bool firstOk = false;
    bool lastOk = false;
    first = parts.first().trimmed().toInt(&firstOk);
    last = parts.size() == 2 ? parts.last().trimmed().toInt(&lastOk) : first;
    if (parts.size() == 1)
        lastOk = firstOk;
    return firstOk && lastOk && lowest <= first && first <= last && last <= highest;
}

std::optional<Table> tableNamed(const QString& name)
{
    for (const Table table : {Table::Coil, Table::Discrete, Table::Input, Table::Holding}) {
        if (tableName(table).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return table;
    }
    return std::nullopt;
}

bool readSerial(const QString& text, Request& request)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool baudOk = false;
    bool dataOk = false;
    bool stopOk = false;
    request.baudRate = parts.at(0).trimmed().toInt(&baudOk);
    request.dataBits = parts.at(1).trimmed().toInt(&dataOk);
    const QString parity = parts.at(2).trimmed().toUpper();
    request.stopBits = parts.at(3).trimmed().toInt(&stopOk);
    if (parity.size() != 1 || !QStringLiteral("NEO").contains(parity))
        return false;
    request.parity = parity.at(0).toLatin1();
    return baudOk && request.baudRate > 0 && dataOk && request.dataBits >= 5 && request.dataBits <= 8 &&
           stopOk && (request.stopBits == 1 || request.stopBits == 2);
}

QString progressLine(const Progress& progress)
{
    const qint64 percent =
        progress.addressesTotal > 0 ? progress.addressesDone * 100 / progress.addressesTotal : 100;
    QString line = QStringLiteral("%1% of %2 addresses, %3 requests")
                       .arg(percent)
                       .arg(progress.addressesTotal)
                       .arg(progress.requests);
    return line + progress.timeLeftText() + QLatin1Char('\n');
}

} // namespace

std::optional<Request> scanRequestFrom(const ScanOptionTexts& texts, QString& error)
{
    Request request;
    request.target = texts.target.trimmed();
    if (request.target.isEmpty()) {
        error = QStringLiteral("--scan-modbus needs the device: host[:port] or a serial device");
        return std::nullopt;
    }
    if (!texts.units.isEmpty() && !readBounds(texts.units, 0, 255, request.firstUnit, request.lastUnit)) {
        error = QStringLiteral("--unit takes a unit id or a range of them from 0 to 255, not \"%1\"")
                    .arg(texts.units);
        return std::nullopt;
    }
    if (!texts.tables.isEmpty()) {
        request.tables.clear();
        for (const QString& name : texts.tables.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const std::optional<Table> table = tableNamed(name);
            if (!table) {
                error =
                    QStringLiteral("--table takes coil, discrete, input and holding, not \"%1\"").arg(name);
                return std::nullopt;
            }
            if (!request.tables.contains(*table))
                request.tables.append(*table);
        }
    }
    if (!texts.range.isEmpty() &&
        !readBounds(texts.range, 0, 65535, request.firstAddress, request.lastAddress)) {
        error = QStringLiteral("--range takes addresses A-B from 0 to 65535, not \"%1\"").arg(texts.range);
        return std::nullopt;
    }
    if (!texts.rate.isEmpty()) {
        bool ok = false;
        request.rate = texts.rate.toDouble(&ok);
        if (!ok || request.rate < 0 || !std::isfinite(request.rate)) {
            error =
                QStringLiteral("--rate takes requests a second, 0 for no limit, not \"%1\"").arg(texts.rate);
            return std::nullopt;
        }
    }
    if (!texts.serial.isEmpty() && !readSerial(texts.serial, request)) {
        error = QStringLiteral("--serial takes BAUD,DATA,PARITY,STOP such as 19200,8,E,1, not \"%1\"")
                    .arg(texts.serial);
        return std::nullopt;
    }
    if (!texts.serial.isEmpty() && !request.serial()) {
        error = QStringLiteral("--serial goes with a serial device such as /dev/ttyUSB0");
        return std::nullopt;
    }
    return request;
}

int runModbusScan(const Request& request, QIODevice& out, QIODevice& err)
{
    std::unique_ptr<IDeviceScan> scan;
    try {
        scan = createModbusScan();
    } catch (const EngineError& e) {
        print(err, QStringLiteral("QuorTagEditor: %1\n").arg(e.message()));
        return kFailed;
    }
    QList<Result> results;
    Summary summary;
    QEventLoop loop;
    qint64 lastPercent = -1;
    IDeviceScan::Listener listener;
    listener.result = [&results](const Result& result) { results.append(result); };
    listener.progress = [&err, &lastPercent](const Progress& progress) {
        // A line for every tenth of the way, so that a log stays short.
        const qint64 percent =
            progress.addressesTotal > 0 ? progress.addressesDone * 10 / progress.addressesTotal : 10;
        if (percent != lastPercent) {
            lastPercent = percent;
            print(err, progressLine(progress));
        }
    };
    listener.finished = [&summary, &loop](const Summary& got) {
        summary = got;
        loop.quit();
    };
    print(err, QStringLiteral("Scanning %1, unit %2 to %3, addresses %4 to %5...\n")
                   .arg(request.target)
                   .arg(request.firstUnit)
                   .arg(request.lastUnit)
                   .arg(request.firstAddress)
                   .arg(request.lastAddress));
    scan->start(request, listener);
    loop.exec();
    if (summary.ending == Summary::Ending::Unreachable) {
        print(
            err,
            QStringLiteral("QuorTagEditor: %1 cannot be reached: %2\n").arg(request.target, summary.reason));
        return kFailed;
    }
    // What served nothing, in short: a line for each run of addresses that answered alike.
    const QList<Result> unserved = joinedUnserved(results);
    for (qsizetype i = 0; i < unserved.size() && i < kUnservedLines; ++i) {
        const Result& result = unserved.at(i);
        print(err, QStringLiteral("unit %1 %2 %3: %4\n")
                       .arg(result.unit)
                       .arg(tableName(result.table))
                       .arg(addressRangeText(result.first, result.last))
                       .arg(result.reason));
    }
    if (unserved.size() > kUnservedLines)
        print(err, QStringLiteral("... and %1 more runs that served nothing.\n")
                       .arg(unserved.size() - kUnservedLines));
    const QList<ScanMapRow> rows = scanMapRows(results);
    print(err, QStringLiteral("%1 addresses served, %2 requests in %3 ms.\n")
                   .arg(rows.size())
                   .arg(summary.requests)
                   .arg(summary.elapsedMs));
    if (rows.isEmpty())
        return kFound;
    const QByteArray text = registerMapText(rows);
    if (out.write(text) != text.size()) {
        print(err, QStringLiteral("standard output cannot be written: %1\n").arg(out.errorString()));
        return kFailed;
    }
    return kClean;
}
