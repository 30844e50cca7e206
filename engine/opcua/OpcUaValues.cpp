#include "engine/opcua/OpcUaValues.h"

#include "engine/opcua/OpcUaController.h"

#include <QJsonArray>
#include <QObject>
#include <QThread>

namespace opcua {

namespace {

const QStringList kWholeNumberTypes = {
    QStringLiteral("int8"),  QStringLiteral("uint8"),  QStringLiteral("int16"), QStringLiteral("uint16"),
    QStringLiteral("int32"), QStringLiteral("uint32"), QStringLiteral("int64"), QStringLiteral("uint64")};

// Runs the function on the receiver's thread, unless the answers are no longer wanted by then.
void deliver(const std::shared_ptr<OpcUaValues::Receiver>& receiver, std::function<void()> function)
{
    const std::lock_guard<std::mutex> lock(receiver->mutex);
    if (!receiver->live || !receiver->context)
        return;
    QMetaObject::invokeMethod(
        receiver->context,
        [receiver, function = std::move(function)] {
            bool live = false;
            {
                const std::lock_guard<std::mutex> check(receiver->mutex);
                live = receiver->live;
            }
            if (live)
                function();
        },
        Qt::QueuedConnection);
}

QVariant plainValue(const QJsonValue& json, const QString& type)
{
    switch (json.type()) {
    case QJsonValue::Bool:
        return json.toBool();
    case QJsonValue::Double:
        if (kWholeNumberTypes.contains(type))
            return qint64(json.toDouble());
        return json.toDouble();
    case QJsonValue::String:
        return json.toString();
    default:
        return QVariant();
    }
}

// A bad status code as the value's status, shown by its name.
void setBadStatus(VariableValue& value, const QString& status, qint64 code)
{
    if (status == QStringLiteral("BadTimeout")) {
        value.status = VariableValue::Status::Timeout;
        return;
    }
    value.status = VariableValue::Status::BadStatus;
    value.exceptionCode = int((code >> 16) & 0x0fff);
    value.exceptionName = status;
}

VariableValue valueFrom(const QString& name, const QJsonObject& item, const QDateTime& now)
{
    VariableValue value;
    value.name = name;
    value.type = item.value(QStringLiteral("type")).toString();
    const QDateTime time =
        QDateTime::fromString(item.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    value.timestamp = time.isValid() ? time.toUTC() : now;
    const QString status = item.value(QStringLiteral("status")).toString();
    if (status == QStringLiteral("Good")) {
        value.status = VariableValue::Status::Good;
        value.value = plainValue(item.value(QStringLiteral("value")), value.type);
    } else {
        setBadStatus(value, status, item.value(QStringLiteral("code")).toInteger());
    }
    return value;
}

QList<VariableValue> valuesFrom(const QStringList& names, const BridgeAnswer& answer)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QJsonArray items = answer.body.value(QStringLiteral("values")).toArray();
    QList<VariableValue> values;
    values.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (answer.ok) {
            values.append(valueFrom(names.at(i), items.at(i).toObject(), now));
            continue;
        }
        VariableValue value;
        value.name = names.at(i);
        value.timestamp = now;
        setBadStatus(value, answer.status, answer.body.value(QStringLiteral("code")).toInteger());
        values.append(value);
    }
    return values;
}

QList<VariableDescription> descriptionsFrom(const QStringList& names, const BridgeAnswer& answer)
{
    const QJsonArray items = answer.body.value(QStringLiteral("descriptions")).toArray();
    QList<VariableDescription> descriptions;
    descriptions.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QJsonObject item = items.at(i).toObject();
        VariableDescription description;
        description.name = names.at(i);
        if (answer.ok) {
            description.known = item.value(QStringLiteral("known")).toBool();
            description.type = item.value(QStringLiteral("type")).toString();
            description.readable = description.known && item.value(QStringLiteral("readable")).toBool(true);
            description.writable = item.value(QStringLiteral("writable")).toBool();
            description.address = item.value(QStringLiteral("node")).toString();
        }
        descriptions.append(description);
    }
    return descriptions;
}

QList<VariableValue> notConnected(const QStringList& names)
{
    QList<VariableValue> values;
    for (const QString& name : names) {
        VariableValue value;
        value.name = name;
        value.timestamp = QDateTime::currentDateTimeUtc();
        values.append(value);
    }
    return values;
}

QJsonArray namesArray(const QStringList& names)
{
    QJsonArray array;
    for (const QString& name : names)
        array.append(name);
    return array;
}

} // namespace

OpcUaValues::OpcUaValues(const std::shared_ptr<OpcUaController>& controller)
    : m_controller(controller), m_link(controller->link())
{
}

OpcUaValues::~OpcUaValues()
{
    dropReceiver();
}

const std::shared_ptr<OpcUaValues::Receiver>& OpcUaValues::receiverHere()
{
    if (m_receiver && m_receiver->context->thread() != QThread::currentThread())
        dropReceiver();
    if (!m_receiver) {
        m_receiver = std::make_shared<Receiver>();
        m_receiver->context = new QObject;
    }
    return m_receiver;
}

void OpcUaValues::dropReceiver()
{
    if (!m_receiver)
        return;
    const std::lock_guard<std::mutex> lock(m_receiver->mutex);
    m_receiver->live = false;
    // Deleted on its own thread, from its event loop, after the answers posted to it.
    m_receiver->context->deleteLater();
    m_receiver->context = nullptr;
    m_receiver.reset();
}

void OpcUaValues::read(const QStringList& names, ReadDone done)
{
    const std::shared_ptr<Receiver>& receiver = receiverHere();
    if (m_controller.expired()) {
        deliver(receiver, [values = notConnected(names), done] { done(values); });
        return;
    }
    QJsonObject request = m_link.request(QStringLiteral("read"));
    request.insert(QStringLiteral("names"), namesArray(names));
    Bridge::instance().send(
        request, m_link.settings().timeoutMs, [receiver, names, done](const BridgeAnswer& answer) {
            deliver(receiver, [values = valuesFrom(names, answer), done] { done(values); });
        });
}

void OpcUaValues::describe(const QStringList& names, DescribeDone done)
{
    const std::shared_ptr<Receiver>& receiver = receiverHere();
    QJsonObject request = m_link.request(QStringLiteral("describe"));
    request.insert(QStringLiteral("names"), namesArray(names));
    Bridge::instance().send(
        request, m_link.settings().timeoutMs, [receiver, names, done](const BridgeAnswer& answer) {
            deliver(receiver, [descriptions = descriptionsFrom(names, answer), done] { done(descriptions); });
        });
}

void OpcUaValues::write(const QString& name, const QVariant& value, WriteDone done)
{
    const std::shared_ptr<Receiver>& receiver = receiverHere();
    if (m_controller.expired()) {
        deliver(receiver, [done] { done({false, QStringLiteral("The controller has been released.")}); });
        return;
    }
    QJsonObject request = m_link.request(QStringLiteral("write"));
    request.insert(QStringLiteral("name"), name);
    request.insert(QStringLiteral("value"), QJsonValue::fromVariant(value));
    Bridge::instance().send(request, m_link.settings().timeoutMs,
                            [receiver, link = m_link, name, done](const BridgeAnswer& answer) {
                                WriteOutcome outcome{answer.ok, {}};
                                if (!answer.ok)
                                    outcome.reason =
                                        link.failureText(QStringLiteral("Writing %1 to").arg(name), answer);
                                deliver(receiver, [outcome, done] { done(outcome); });
                            });
}

} // namespace opcua
