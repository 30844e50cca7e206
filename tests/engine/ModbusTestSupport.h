#pragma once

#include "engine/modbus/device/ModbusTestDevice.h"
#include "tests/engine/SimTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>
#include <memory>

inline QString modbusPluginPath()
{
    return QStringLiteral(QUOR_MODBUS_PLUGIN);
}

// A real Modbus TCP device on 127.0.0.1 at a free port, serving the registers of a map.
struct LocalDevice
{
    LocalDevice(const QByteArray& mapText, const QString& absent, int unit = 1)
        : device(modbus::parseRegisterMap(mapText, QStringLiteral("device.csv")),
                 modbus::parseAddressRanges(absent), unit)
    {
        listening = device.listen(0);
        if (!listening)
            ADD_FAILURE() << device.errorString().toStdString();
    }

    QString machine() const { return QStringLiteral("127.0.0.1:%1").arg(device.port()); }

    modbus::ModbusTestDevice device;
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

// "127.0.0.1:<port>" at a port that was just bound and closed again, so nothing listens.
inline QString machineWithoutListener()
{
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}
