#pragma once

#include "engine/ValueCapability.h"
#include "engine/modbus/ModbusPdus.h"
#include "engine/modbus/ModbusSettings.h"
#include "engine/modbus/RegisterMap.h"

#include <QHash>
#include <atomic>
#include <memory>

class IController;

// The live values of a Modbus controller. Each read polls the wanted entries in the fewest
// blocks (ReadPlan.h) through a connection of its own, made on the thread that reads, and
// remembers the entries the device rejects so that later reads go around them. A device that
// cannot be reached, or does not answer in time, gives the status Timeout; the next read
// connects again. NotConnected is kept for a released controller. Calls come from one thread at
// a time; when that thread changes, the connection is made anew on the new one.
namespace modbus {

class ModbusController;
class ModbusSession;
struct DeviceKnowledge;

class ModbusValues final : public IControllerValues
{
public:
    explicit ModbusValues(const std::shared_ptr<ModbusController>& controller);
    ~ModbusValues() override;
    Q_DISABLE_COPY_MOVE(ModbusValues)

    void read(const QStringList& names, ReadDone done) override;
    void describe(const QStringList& names, DescribeDone done) override;
    void write(const QString& name, const QVariant& value, WriteDone done) override;

private:
    // The session on the calling thread, made when there is none there.
    ModbusSession& sessionHere();
    // Drops the session and every answer still to come from it.
    void dropSession();
    // Runs the function from the calling thread's event loop, unless this object is gone by then.
    void later(std::function<void()> function);
    qsizetype indexOf(const QString& name) const;

    std::weak_ptr<ModbusController> m_controller;
    QString m_controllerName;
    ModbusSettings m_settings;
    std::shared_ptr<const RegisterMap> m_map;
    QHash<QString, qsizetype> m_byName;
    ModbusSession* m_session = nullptr;
    std::shared_ptr<DeviceKnowledge> m_knowledge;
    // False once the session's answers are no longer wanted.
    std::shared_ptr<std::atomic_bool> m_live;
};

// The values of a controller this library made; no object for any other.
std::shared_ptr<IControllerValues> valuesOf(const std::shared_ptr<IController>& controller);

// Where the entry lives, in the traditional 1-based numbering whose first digit names the table:
// coil 00001, discrete 10001, input 30001, holding 40001 for address 0 of the map; six digits
// from the 10,000th address on (holding 410000).
QString addressText(const RegisterEntry& entry);

} // namespace modbus
