#include "engine/modbus/scan/DeviceIdentification.h"

#include "engine/modbus/scan/ExceptionText.h"

#include <memory>

namespace modbusscan {

namespace {

constexpr quint8 kMeiDeviceIdentification = 0x0E;
constexpr quint8 kBasicObjects = 0x01;
// A device that keeps saying more follow is not asked without end.
constexpr int kMaxIdentificationParts = 8;

QString objectText(const QByteArray& bytes)
{
    // The objects are ASCII; anything else is shown, not trusted.
    return QString::fromLatin1(bytes).trimmed();
}

struct IdentificationRead
{
    modbus::ModbusSession* session = nullptr;
    int unit = 0;
    int parts = 0;
    Identification found;
    std::function<void(const Identification&)> done;
};

void askFrom(const std::shared_ptr<IdentificationRead>& read, int firstObject)
{
    ++read->parts;
    read->session->raw(
        identificationRequest(firstObject), read->unit, [read](const modbus::ModbusSession::Answer& answer) {
            Identification& found = read->found;
            if (answer.kind == modbus::ModbusSession::Answer::Kind::Exception) {
                found.reason = QStringLiteral("The device does not serve its identification: %1.")
                                   .arg(exceptionText(answer.exceptionCode));
                read->done(found);
                return;
            }
            if (answer.kind != modbus::ModbusSession::Answer::Kind::Done) {
                found.reason = answer.reason;
                read->done(found);
                return;
            }
            const IdentificationPart part = parseIdentification(answer.response.data());
            if (!part.valid) {
                found.reason = QStringLiteral("The device's identification is malformed.");
                read->done(found);
                return;
            }
            for (const auto& [id, value] : part.objects) {
                if (id == 0)
                    found.vendor = objectText(value);
                else if (id == 1)
                    found.product = objectText(value);
                else if (id == 2)
                    found.revision = objectText(value);
            }
            if (part.nextObject > 0 && read->parts < kMaxIdentificationParts) {
                askFrom(read, part.nextObject);
                return;
            }
            found.served = true;
            read->done(found);
        });
}

} // namespace

QModbusRequest identificationRequest(int firstObject)
{
    QByteArray data;
    data.append(char(kMeiDeviceIdentification));
    data.append(char(kBasicObjects));
    data.append(char(firstObject));
    return QModbusRequest(QModbusRequest::EncapsulatedInterfaceTransport, data);
}

IdentificationPart parseIdentification(const QByteArray& data)
{
    IdentificationPart part;
    // MEI type, read code, conformity, more follows, next object, number of objects.
    if (data.size() < 6 || quint8(data.at(0)) != kMeiDeviceIdentification)
        return part;
    const bool more = quint8(data.at(3)) == 0xFF;
    const int count = quint8(data.at(5));
    qsizetype at = 6;
    for (int i = 0; i < count; ++i) {
        if (at + 2 > data.size())
            return part;
        const int id = quint8(data.at(at));
        const int length = quint8(data.at(at + 1));
        if (at + 2 + length > data.size())
            return part;
        part.objects.append({id, data.mid(at + 2, length)});
        at += 2 + length;
    }
    part.valid = true;
    part.nextObject = more ? quint8(data.at(4)) : -1;
    return part;
}

void readIdentification(modbus::ModbusSession& session, int unit,
                        std::function<void(const Identification&)> done)
{
    auto read = std::make_shared<IdentificationRead>();
    read->session = &session;
    read->unit = unit;
    read->done = std::move(done);
    askFrom(read, 0);
}

} // namespace modbusscan
