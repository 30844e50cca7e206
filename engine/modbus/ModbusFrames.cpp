#include "engine/modbus/ModbusFrames.h"

#include "engine/modbus/ModbusPdus.h"

namespace modbus {

namespace {

constexpr qsizetype kMbapSize = 7;
// The length field counts the unit id, the function code and at most 252 bytes of data.
constexpr int kShortestLength = 2;
constexpr int kLongestLength = 254;
constexpr int kLongestData = 252;
constexpr qsizetype kRtuHead = 2;
constexpr qsizetype kCrcSize = 2;

int frameWord(const QByteArray& bytes, qsizetype at)
{
    return (int(quint8(bytes.at(at))) << 8) | int(quint8(bytes.at(at + 1)));
}

QString hexWord(int word)
{
    return QStringLiteral("0x") + QString::number(word, 16).rightJustified(4, QLatin1Char('0')).toUpper();
}

FrameReading verdictOf(FrameReading::Verdict verdict, QString reason = {})
{
    FrameReading reading;
    reading.verdict = verdict;
    reading.reason = std::move(reason);
    return reading;
}

// The MBAP header and the PDU of a TCP frame, or what keeps it from being one.
FrameReading readMbap(const QByteArray& bytes)
{
    using Verdict = FrameReading::Verdict;
    if (bytes.size() < 4)
        return verdictOf(Verdict::NeedMore);
    if (const int protocol = frameWord(bytes, 2); protocol != 0)
        return verdictOf(Verdict::Garbage, QStringLiteral("the protocol id is %1, not 0").arg(protocol));
    if (bytes.size() < 6)
        return verdictOf(Verdict::NeedMore);
    const int length = frameWord(bytes, 4);
    if (length < kShortestLength || length > kLongestLength)
        return verdictOf(Verdict::Garbage,
                         QStringLiteral("the length field says %1 bytes, where %2 to %3 fit")
                             .arg(length)
                             .arg(kShortestLength)
                             .arg(kLongestLength));
    FrameReading reading;
    reading.size = 6 + length;
    if (bytes.size() < reading.size) {
        reading.expected = reading.size;
        return reading;
    }
    reading.verdict = Verdict::Complete;
    reading.transaction = quint16(frameWord(bytes, 0));
    reading.unit = quint8(bytes.at(6));
    reading.function = quint8(bytes.at(kMbapSize));
    reading.data = bytes.mid(kMbapSize + 1, reading.size - kMbapSize - 1);
    return reading;
}

// The unit, PDU and CRC of an RTU frame, its length told by the function code and the data as
// they come; the checksum is checked, the unit id is not.
FrameReading readRtu(const QByteArray& bytes, int (*dataSize)(quint8, const QByteArray&))
{
    using Verdict = FrameReading::Verdict;
    if (bytes.size() < kRtuHead)
        return verdictOf(Verdict::NeedMore);
    const quint8 function = quint8(bytes.at(1));
    qsizetype known = 0;
    for (;;) {
        const int need = dataSize(function, bytes.mid(kRtuHead, known));
        if (need < 0 || need > kLongestData)
            return verdictOf(Verdict::Garbage,
                             need < 0
                                 ? QStringLiteral("the bytes form no frame (function code %1 is unknown)")
                                       .arg(functionText(function))
                                 : QStringLiteral("the frame would hold %1 bytes of data").arg(need));
        if (need <= known)
            break;
        if (kRtuHead + need > bytes.size()) {
            FrameReading partial;
            partial.expected = kRtuHead + need + kCrcSize;
            return partial;
        }
        known = need;
    }
    FrameReading reading;
    reading.size = kRtuHead + known + kCrcSize;
    if (bytes.size() < reading.size) {
        reading.expected = reading.size;
        return reading;
    }
    reading.unit = quint8(bytes.at(0));
    reading.function = function;
    reading.data = bytes.mid(kRtuHead, known);
    const quint16 expected = crc16(bytes.constData(), reading.size - kCrcSize);
    const quint16 came =
        quint16(quint8(bytes.at(reading.size - 2)) | (quint8(bytes.at(reading.size - 1)) << 8));
    if (came != expected) {
        reading.verdict = Verdict::CrcError;
        reading.reason = QStringLiteral("its checksum is %1, not %2").arg(hexWord(came), hexWord(expected));
        return reading;
    }
    reading.verdict = Verdict::Complete;
    return reading;
}

// Whether a complete frame answers the request sent: of its unit, and fitting its function.
FrameReading matched(FrameReading reading, const SentRequest& sent)
{
    if (reading.unit != sent.unit) {
        reading.verdict = FrameReading::Verdict::OtherUnit;
        reading.reason =
            QStringLiteral("the answer came from unit %1, not unit %2").arg(reading.unit).arg(sent.unit);
        return reading;
    }
    const QString mismatch = answerMismatch(sent.pdu, reading.function, reading.data);
    if (!mismatch.isEmpty()) {
        reading.verdict = FrameReading::Verdict::Garbage;
        reading.reason = mismatch;
    }
    return reading;
}

} // namespace

quint16 crc16(const char* bytes, qsizetype size)
{
    quint16 crc = 0xFFFF;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint8(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QByteArray tcpFrame(quint16 transaction, int unit, quint8 function, const QByteArray& data)
{
    QByteArray frame;
    frame.reserve(kMbapSize + 1 + data.size());
    const int length = int(data.size()) + 2;
    for (const int byte :
         {transaction >> 8, transaction & 0xFF, 0, 0, length >> 8, length & 0xFF, unit, int(function)})
        frame.append(char(quint8(byte)));
    frame.append(data);
    return frame;
}

QByteArray rtuFrame(int unit, quint8 function, const QByteArray& data)
{
    QByteArray frame;
    frame.append(char(quint8(unit)));
    frame.append(char(function));
    frame.append(data);
    const quint16 crc = crc16(frame);
    frame.append(char(quint8(crc & 0xFF)));
    frame.append(char(quint8(crc >> 8)));
    return frame;
}

FrameReading readTcpAnswer(const QByteArray& bytes, const SentLookup& sent)
{
    FrameReading reading = readMbap(bytes);
    if (reading.verdict != FrameReading::Verdict::Complete)
        return reading;
    const std::optional<SentRequest> request = sent(reading.transaction);
    if (!request) {
        reading.verdict = FrameReading::Verdict::UnknownTransaction;
        reading.reason =
            QStringLiteral("its transaction id %1 is of no request sent").arg(reading.transaction);
        return reading;
    }
    return matched(std::move(reading), *request);
}

FrameReading readRtuAnswer(const QByteArray& bytes, const SentRequest& sent)
{
    FrameReading reading = readRtu(bytes, &answerDataSize);
    if (reading.verdict != FrameReading::Verdict::Complete)
        return reading;
    return matched(std::move(reading), sent);
}

FrameReading readTcpRequest(const QByteArray& bytes)
{
    return readMbap(bytes);
}

FrameReading readRtuRequest(const QByteArray& bytes)
{
    return readRtu(bytes, &requestDataSize);
}

} // namespace modbus
