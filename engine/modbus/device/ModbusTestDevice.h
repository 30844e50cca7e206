#pragma once

#include "engine/modbus/RegisterMap.h"
#include "engine/modbus/device/DeviceFaults.h"
#include "engine/modbus/device/DeviceMemory.h"
#include "engine/modbus/device/DeviceMotion.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

// A Modbus device to try the Modbus providers against without hardware: a TCP server on
// 127.0.0.1, or an RTU device on a serial line (a pseudo-terminal it opens itself, or a given
// serial device). It serves exactly the addresses a register map names (DeviceMemory.h),
// except those given as absent, and misbehaves at the addresses given faults (DeviceFaults.h).
// Requests for another unit than its own go unanswered. It keeps still, each register holding
// its own address, until it is set moving. It answers "read device identification" (function
// 43/14) with its vendor, product and revision.
namespace modbus {

// "holding:40-41,input:11": table names as in the map, an address or a range of them.
// Throws EngineError naming the piece that is wrong.
QList<AddressRange> parseAddressRanges(const QString& text);

class ModbusTestDevice final : public QObject
{
public:
    ModbusTestDevice(const RegisterMap& map, QList<AddressRange> absent, int unit = 1);
    ~ModbusTestDevice() override;
    Q_DISABLE_COPY_MOVE(ModbusTestDevice)

    // Listens on 127.0.0.1 at the port, 0 for a free one; false (see errorString()) when it cannot.
    bool listen(int port = 0);
    // The port it listens at.
    int port() const;

    // Serves RTU frames on a pseudo-terminal pair it opens; serialPort() is the device a client
    // opens (any line settings do). False (see errorString()) when it cannot.
    bool openPseudoTerminal();
    // Serves RTU frames on the serial device at the path.
    bool openSerial(const QString& path);
    QString serialPort() const { return m_serialPath; }

    // Stops listening and closes every connection and the serial line.
    void disconnectDevice();
    QString errorString() const { return m_error; }

    void setServerAddress(int unit) { m_unit = unit; }
    int serverAddress() const { return m_unit; }

    bool serves(const RegisterEntry& entry) const;
    bool setData(const QModbusDataUnit& unit) { return m_memory.setData(unit); }
    bool data(QModbusDataUnit* unit) const { return m_memory.data(unit); }

    // Misbehaves at these addresses; a late answer comes after twice the client's timeout.
    void setFaults(QList<AddressFault> faults, int clientTimeoutMs);

    // Sets the values moving (DeviceMotion.h); every entry that does not move holds its own
    // address as its value, in its type and order (a bool: whether the address is odd).
    void startMoving();
    // The names that move, once moving.
    QStringList movingNames() const;

    // The requests it has answered or rejected so far, and the function codes of the last 64.
    int requestCount() const { return m_requests.load(); }
    QList<int> functionCodes() const { return m_functionCodes; }

private:
    // Where an answer goes: a TCP connection, or the serial line when none.
    struct Link
    {
        QPointer<QTcpSocket> socket;
        quint16 transaction = 0;
        bool serial = false;
        // The serial line's generation the request came on.
        int generation = 0;
    };

    void accept();
    void tcpReceived(QTcpSocket* socket);
    bool serveSerial(int fd, int keptOpen, const QString& path);
    void serialReceived();
    // Answers a complete request frame, as its fault (if any) says.
    void handle(const Link& link, int unit, quint8 function, const QByteArray& data);
    const AddressFault* faultFor(quint8 function, const QByteArray& data) const;
    QByteArray frame(const Link& link, int unit, quint8 function, const QByteArray& data) const;
    void sendNow(const Link& link, const QByteArray& bytes);
    void sendLater(const Link& link, const QByteArray& bytes, int ms);
    void closeSerial();

    RegisterMap m_map;
    DeviceMemory m_memory;
    int m_unit = 1;
    QList<AddressFault> m_faults;
    int m_clientTimeoutMs = 3000;
    std::unique_ptr<DeviceMotion> m_motion;
    std::atomic_int m_requests = 0;
    QList<int> m_functionCodes;
    QString m_error;

    QTcpServer* m_server = nullptr;
    QHash<QTcpSocket*, QByteArray> m_received;
    int m_serialFd = -1;
    // The other side of an own pseudo-terminal, kept open so that the line stays up between
    // clients.
    int m_keptOpenFd = -1;
    // Counts the serial lines opened, so that an answer for a closed one is not sent on the next.
    int m_serialGeneration = 0;
    QString m_serialPath;
    QSocketNotifier* m_serialNotifier = nullptr;
    QByteArray m_serialReceived;
    QElapsedTimer m_sinceSerialByte;
};

} // namespace modbus
