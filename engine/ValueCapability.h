#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtPlugin>
#include <functional>
#include <memory>

class IController;

// The live values of a connected controller: an optional capability of an engine plug-in,
// beside the engine interface. Plug-ins that do not offer it keep loading and simply show no
// values.

// What one read found out about one variable.
struct VariableValue
{
    enum class Status
    {
        Good,
        // The controller has no variable of that name.
        NotFound,
        // The variable exists but cannot be read.
        NotReadable,
        // The device answered with an exception (code and name below).
        DeviceException,
        // The device did not answer within the timeout.
        Timeout,
        // The server answered with a bad status code of its own, named in exceptionName
        // ("BadNotReadable"); exceptionCode holds its number.
        BadStatus,
        // No connection to read through.
        NotConnected
    };

    QString name;
    // bool, qint64, double or QString; invalid unless the status is Good.
    QVariant value;
    // The type's name: "bool", "int16", "uint16", "int32", "uint32", "float32", "float64",
    // "text", ...; "" when unknown.
    QString type;
    Status status = Status::NotConnected;
    // With DeviceException: the device's code and the code's name ("Illegal data address");
    // with BadStatus: the server's status code and its name.
    int exceptionCode = 0;
    QString exceptionName;
    // When the value was read, in UTC.
    QDateTime timestamp;
};

// The status as the window shows it: "good", "not found", "not readable",
// "exception 02 (Illegal data address)", "timeout", "not connected", or a bad status by name.
inline QString statusText(const VariableValue& value)
{
    switch (value.status) {
    case VariableValue::Status::Good:
        return QStringLiteral("good");
    case VariableValue::Status::NotFound:
        return QStringLiteral("not found");
    case VariableValue::Status::NotReadable:
        return QStringLiteral("not readable");
    case VariableValue::Status::DeviceException:
        return QStringLiteral("exception %1 (%2)")
            .arg(value.exceptionCode, 2, 10, QLatin1Char('0'))
            .arg(value.exceptionName);
    case VariableValue::Status::Timeout:
        return QStringLiteral("timeout");
    case VariableValue::Status::BadStatus:
        return value.exceptionName;
    case VariableValue::Status::NotConnected:
        break;
    }
    return QStringLiteral("not connected");
}

// Whether a value holds a whole number, of any of Qt's integer types (not a bool).
inline bool isWholeNumberValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// Whether a value holds a number, whole or floating.
inline bool isNumberValue(const QVariant& value)
{
    return isWholeNumberValue(value) || value.typeId() == QMetaType::Double ||
           value.typeId() == QMetaType::Float;
}

// What the engine knows of a variable without asking the device.
struct VariableDescription
{
    QString name;
    // As VariableValue::type; "" when unknown.
    QString type;
    bool readable = true;
    bool writable = false;
    // Where the variable lives, in the engine's words ("holding 40001", a NodeId); "" when
    // the engine does not say.
    QString address;
    // False when the controller has no variable of that name.
    bool known = true;
};

// How a write ended: written, or the reason it was not.
struct WriteOutcome
{
    bool written = false;
    QString reason;
};

// The values of one connected controller. Every call starts the work and returns at once; its
// callback runs later on the thread that made the call, through that thread's event loop, and
// never inside the call itself. The calls are made on the thread that asked for this object,
// which may differ from the thread on which the engine made the controller.
// Once the controller is released, reads answer NotConnected and writes fail; once this object
// is destroyed, callbacks of calls still running are dropped without being called.
class IControllerValues
{
public:
    virtual ~IControllerValues() = default;

    // Reads the variables; the values come in the order of the names, one for each name.
    using ReadDone = std::function<void(QList<VariableValue>)>;
    virtual void read(const QStringList& names, ReadDone done) = 0;

    // Describes the variables, one description for each name in their order.
    using DescribeDone = std::function<void(QList<VariableDescription>)>;
    virtual void describe(const QStringList& names, DescribeDone done) = 0;

    // Writes one value (of the variable's type, as a read gives it).
    using WriteDone = std::function<void(WriteOutcome)>;
    virtual void write(const QString& name, const QVariant& value, WriteDone done) = 0;
};

// The capability as a plug-in's root object offers it, beside IEnginePlugin.
class IValueEnginePlugin
{
public:
    virtual ~IValueEnginePlugin() = default;
    // The values of a controller that this plug-in's engine made; no object for any other.
    virtual std::shared_ptr<IControllerValues> values(const std::shared_ptr<IController>& controller) = 0;
};

#define QuorValueEnginePlugin_iid "org.quortageditor.ValueEnginePlugin/1.0"
Q_DECLARE_INTERFACE(IValueEnginePlugin, QuorValueEnginePlugin_iid)
