#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

// A scan of a Modbus device: which addresses of which tables it serves, for which unit ids, and
// what it answers where it serves none. It runs in the Modbus connection library (with the
// network and serial libraries), which the program loads only when a scan is asked for; these
// types use nothing but QtCore, so the window and the command line can hold them.
namespace modbusscan {

enum class Table
{
    Coil,
    Discrete,
    Input,
    Holding
};

// The table's name as a register map writes it ("coil", "discrete", "input", "holding").
inline QString tableName(Table table)
{
    switch (table) {
    case Table::Coil:
        return QStringLiteral("coil");
    case Table::Discrete:
        return QStringLiteral("discrete");
    case Table::Input:
        return QStringLiteral("input");
    case Table::Holding:
        break;
    }
    return QStringLiteral("holding");
}

inline bool isBitTable(Table table)
{
    return table == Table::Coil || table == Table::Discrete;
}

constexpr int kDefaultScanTimeoutMs = 1000;

struct Request
{
    // "host" or "host:port" (port 502), or a serial device such as "/dev/ttyUSB0".
    QString target;
    // The serial line, with a serial device.
    int baudRate = 19200;
    char parity = 'E';
    int dataBits = 8;
    int stopBits = 1;
    int firstUnit = 1;
    int lastUnit = 1;
    QList<Table> tables = {Table::Coil, Table::Discrete, Table::Input, Table::Holding};
    int firstAddress = 0;
    int lastAddress = 9999;
    // Requests a second; 0 for as fast as the device answers.
    double rate = 50;
    // One address a request, for devices that reject block reads.
    bool oneAtATime = false;
    int timeoutMs = kDefaultScanTimeoutMs;

    bool serial() const { return target.startsWith(QLatin1Char('/')); }
};

enum class Status
{
    // The addresses answered with values.
    Served,
    // The device answered with an exception.
    Exception,
    // No answer within the timeout.
    Timeout,
    // A serial frame with a wrong checksum came.
    CrcError,
    // Bytes came that are no answer: another unit's, no request's, a wrong length, noise.
    Garbage,
    // The connection broke or could not be made.
    Failed
};

// What a run of addresses of one table of one unit answered.
struct Result
{
    int unit = 1;
    Table table = Table::Holding;
    int first = 0;
    int last = 0;
    Status status = Status::Served;
    // Served: one raw value a address (0 or 1 for a bit).
    QList<quint16> values;
    int exceptionCode = 0;
    // Not served: the reason as the user reads it ("exception 02 (Illegal data address)",
    // "timeout", "CRC error", the garbage's description).
    QString reason;
};

struct Progress
{
    qint64 addressesDone = 0;
    qint64 addressesTotal = 0;
    int requests = 0;
    // The time left, estimated from the time so far; -1 before anything is known.
    qint64 msLeft = -1;

    // ", about 12 s left", or "" before anything is known.
    QString timeLeftText() const
    {
        return msLeft < 0 ? QString() : QStringLiteral(", about %1 s left").arg((msLeft + 500) / 1000);
    }
};

struct Summary
{
    enum class Ending
    {
        // At least one address was served.
        Answered,
        // The device was reached but served nothing.
        NothingAnswered,
        // The device could not be reached: the target is wrong, refused or silent.
        Unreachable,
        // Stopped before the end.
        Stopped
    };
    Ending ending = Ending::NothingAnswered;
    // Unreachable: why.
    QString reason;
    int requests = 0;
    qint64 elapsedMs = 0;
    // The unit ids that answered anything, values or exceptions.
    QList<int> answeringUnits;
};

// Read Device Identification (function 43/14), its basic objects.
struct Identification
{
    bool served = false;
    QString vendor;
    QString product;
    QString revision;
    // Not served: why.
    QString reason;
};

class IDeviceScan
{
public:
    virtual ~IDeviceScan() = default;

    struct Listener
    {
        std::function<void(const Result&)> result;
        std::function<void(const Progress&)> progress;
        // Last of all, once.
        std::function<void(const Summary&)> finished;
    };

    // Starts the scan on the calling thread, which must run an event loop: results, progress and
    // the end come from it, never inside the call. One scan at a time.
    virtual void start(const Request& request, Listener listener) = 0;
    // Ends a running scan: its end comes (Stopped) without further requests.
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // Reads the device identification of the unit, as for the scan; done comes from the event loop.
    virtual void identify(const Request& request, int unit,
                          std::function<void(const Identification&)> done) = 0;
};

} // namespace modbusscan

// The connection library's entry point for scans: a new scanner.
#define QUOR_MODBUS_SCAN_SYMBOL "quorModbusScan"
using QuorModbusScan = void(std::unique_ptr<modbusscan::IDeviceScan>& scan);
