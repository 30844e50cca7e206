#pragma once

#include "engine/modbus/device/ModbusTestDevice.h"
#include "tests/engine/SimTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

inline QString modbusPluginPath()
{
    return QStringLiteral(QUOR_MODBUS_PLUGIN);
}

// A real Modbus TCP device on 127.0.0.1 at a free port, or an RTU device on a pseudo-terminal,
// serving the registers of a map.
struct LocalDevice
{
    LocalDevice(const QByteArray& mapText, const QString& absent, int unit = 1, bool onSerialLine = false)
        : device(modbus::parseRegisterMap(mapText, QStringLiteral("device.csv")),
                 modbus::parseAddressRanges(absent), unit),
          serial(onSerialLine)
    {
        listening = serial ? device.openPseudoTerminal() : device.listen(0);
        if (!listening)
            ADD_FAILURE() << device.errorString().toStdString();
    }

    // Qt's server frees what it keeps for each client connection only when it closes that
    // connection and the socket's deferred deletion runs; a test has no event loop left to run it.
    ~LocalDevice()
    {
        device.disconnectDevice();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    LocalDevice(const LocalDevice&) = delete;
    LocalDevice& operator=(const LocalDevice&) = delete;

    QString machine() const { return QStringLiteral("127.0.0.1:%1").arg(device.port()); }

    modbus::ModbusTestDevice device;
    bool serial = false;
    bool listening = false;
};

// A peer that takes the connection and never answers.
struct SilentPeer
{
    SilentPeer()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0)) << server.errorString().toStdString();
    }
    QString machine() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }
    QTcpServer server;
};

// A port on 127.0.0.1 that is bound but never listens: a connection to it is refused, and no
// other program can take the port while the test holds it.
class RefusingPort final
{
public:
    RefusingPort() : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
        m_port = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(m_fd); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    QString machine() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

private:
    int m_fd;
    quint16 m_port = 0;
};
