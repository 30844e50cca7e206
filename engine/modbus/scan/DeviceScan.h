#pragma once

#include "engine/modbus/ModbusSession.h"
#include "engine/modbus/scan/AddressSearch.h"
#include "engine/modbus/scan/ScanApi.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <memory>

// A scan of a Modbus device through a session of its own: for each unit id asked for, and each
// table, an AddressSearch over the address range, a few requests at a time and no faster than
// the rate allows. A unit whose first request goes unanswered is taken as absent and skipped.
namespace modbusscan {

class DeviceScan final : public QObject, public IDeviceScan
{
public:
    DeviceScan();
    ~DeviceScan() override;

    void start(const Request& request, Listener listener) override;
    void stop() override;
    bool running() const override { return m_session != nullptr; }
    void identify(const Request& request, int unit, std::function<void(const Identification&)> done) override;

    // The session settings a request reaches its device with; throws EngineError.
    static modbus::ModbusSettings settingsFor(const Request& request, int unit);

private:
    void pump();
    bool startNextSearch();
    void send(const Span& span);
    void answered(int generation, const Span& span, const modbus::ModbusSession::Answer& answer);
    void unitSilent(Status status, const QString& reason, int exceptionCode = 0);
    void deliver();
    void finish(Summary::Ending ending, const QString& reason = QString());
    Table currentTable() const { return m_request.tables.at(m_tableIndex); }

    Request m_request;
    Listener m_listener;
    std::unique_ptr<modbus::ModbusSession> m_session;
    std::unique_ptr<AddressSearch> m_search;
    // Counts the searches, so that answers to an abandoned one are dropped.
    int m_generation = 0;
    int m_unit = 0;
    int m_tableIndex = -1;
    bool m_unitAnswered = false;
    bool m_connected = false;
    bool m_anyServed = false;
    QList<int> m_answering;
    // The spans of the current search sent again after a broken connection.
    QSet<quint64> m_retried;
    int m_inFlight = 0;
    int m_requests = 0;
    qint64 m_addressesBefore = 0;
    qint64 m_addressesTotal = 0;
    QElapsedTimer m_clock;
    qint64 m_lastSendMs = -1;
    QTimer m_rateTimer;
    std::unique_ptr<modbus::ModbusSession> m_identifySession;
};

} // namespace modbusscan
