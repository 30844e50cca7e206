#include "engine/modbus/ModbusSession.h"

#include "engine/modbus/ModbusFrames.h"
#include "engine/modbus/ModbusPdus.h"

#include <QIODevice>
#include <QTimerEvent>

// The session's side of the answers: reading frames from what the device sends, matching them to
// the requests open, and ending requests that time out.
namespace modbus {

namespace {

using Kind = ModbusSession::Answer::Kind;

// Late answers remembered at most, to drop them when they come.
constexpr qsizetype kExpiredKept = 64;

} // namespace

void ModbusSession::received()
{
    m_received += m_io->readAll();
    while (!m_closing && !m_received.isEmpty() && takeFrame()) {
    }
}

bool ModbusSession::takeFrame()
{
    using Verdict = FrameReading::Verdict;
    if (isRtu()) {
        if (m_open.isEmpty()) {
            // Bytes that come while no request is open answer none.
            m_received.clear();
            return false;
        }
        const FrameReading frame = readRtuAnswer(m_received, {m_open.first().unitId, m_open.first().pdu});
        if (frame.verdict == Verdict::NeedMore)
            return false;
        // The one request open gets whatever came; what may follow answers nothing.
        m_received.clear();
        settle(0, answerOf(frame, m_open.first()));
        return false;
    }
    const auto indexOf = [this](quint16 transaction) -> qsizetype {
        for (qsizetype i = 0; i < m_open.size(); ++i) {
            if (m_open.at(i).transaction == transaction)
                return i;
        }
        return -1;
    };
    const FrameReading frame =
        readTcpAnswer(m_received, [this, &indexOf](quint16 transaction) -> std::optional<SentRequest> {
            const qsizetype index = indexOf(transaction);
            if (index < 0)
                return std::nullopt;
            return SentRequest{m_open.at(index).unitId, m_open.at(index).pdu};
        });
    switch (frame.verdict) {
    case Verdict::NeedMore:
        return false;
    case Verdict::Garbage:
        if (frame.size == 0) {
            // The stream cannot be followed past bytes that form no frame: every open request ends.
            const int unitId = m_open.isEmpty() ? m_settings.unit : m_open.first().unitId;
            failOpen(Answer::failure(
                Kind::Garbage,
                QStringLiteral("%1 answered with garbage: %2.").arg(unitAt(unitId), frame.reason)));
            dropConnection();
            return false;
        }
        break;
    case Verdict::UnknownTransaction:
        m_received.remove(0, frame.size);
        if (m_expired.contains(frame.transaction) || m_open.isEmpty())
            return true;
        // Most devices answer in order: the oldest request open is the one it got wrong.
        settle(0, Answer::failure(Kind::Garbage, QStringLiteral("%1 answered with garbage: %2.")
                                                     .arg(unitAt(m_open.first().unitId), frame.reason)));
        return true;
    case Verdict::Complete:
    case Verdict::OtherUnit:
    case Verdict::CrcError:
        break;
    }
    m_received.remove(0, frame.size);
    const qsizetype index = indexOf(frame.transaction);
    if (index >= 0)
        settle(index, answerOf(frame, m_open.at(index)));
    return true;
}

ModbusSession::Answer ModbusSession::answerOf(const FrameReading& frame, const Open& open) const
{
    using Verdict = FrameReading::Verdict;
    const QString unit = unitAt(open.unitId);
    switch (frame.verdict) {
    case Verdict::Complete:
        break;
    case Verdict::OtherUnit:
        return Answer::failure(Kind::Garbage,
                               QStringLiteral("%1 did not answer: an answer came from unit %2 instead.")
                                   .arg(unit)
                                   .arg(frame.unit));
    case Verdict::CrcError:
        return Answer::failure(Kind::CrcError,
                               QStringLiteral("%1 answered with a CRC error: %2.").arg(unit, frame.reason));
    case Verdict::Garbage:
    case Verdict::UnknownTransaction:
    case Verdict::NeedMore:
        return Answer::failure(Kind::Garbage,
                               QStringLiteral("%1 answered with garbage: %2.").arg(unit, frame.reason));
    }
    Answer answer;
    if (frame.function & kExceptionBit) {
        answer.kind = Kind::Exception;
        answer.exceptionCode = quint8(frame.data.at(0));
        answer.reason = QStringLiteral("%1 answered exception %2 (%3).")
                            .arg(unit)
                            .arg(answer.exceptionCode, 2, 10, QLatin1Char('0'))
                            .arg(exceptionName(answer.exceptionCode));
        return answer;
    }
    answer.kind = Kind::Done;
    answer.response = QModbusResponse(QModbusPdu::FunctionCode(frame.function), frame.data);
    if (!open.request.pdu.isValid())
        answer.unit = open.request.write ? open.request.unit : answeredValues(open.request.unit, frame.data);
    return answer;
}

void ModbusSession::settle(qsizetype index, const Answer& answer)
{
    const Open open = m_open.takeAt(index);
    killTimer(open.timer);
    if (isRtu())
        m_lineGap.start(lineGapMs(m_settings.baudRate));
    open.request.done(answer);
}

void ModbusSession::timerEvent(QTimerEvent* event)
{
    for (qsizetype i = 0; i < m_open.size(); ++i) {
        if (m_open.at(i).timer == event->timerId()) {
            timedOut(i);
            return;
        }
    }
    QObject::timerEvent(event);
}

void ModbusSession::timedOut(qsizetype index)
{
    const Open& open = m_open.at(index);
    const QString unit = unitAt(open.unitId);
    if (m_received.isEmpty()) {
        if (!isRtu()) {
            m_expired.append(open.transaction);
            if (m_expired.size() > kExpiredKept)
                m_expired.removeFirst();
        }
        settle(index,
               Answer::failure(Kind::Timeout,
                               QStringLiteral("Unit %1 does not answer: no reply from %2 within %3 ms.")
                                   .arg(open.unitId)
                                   .arg(m_settings.place())
                                   .arg(m_settings.timeoutMs)));
        return;
    }
    // A frame began and did not end: the rest will not come, and the stream cannot be followed.
    const FrameReading partial = isRtu() ? readRtuAnswer(m_received, {open.unitId, open.pdu})
                                         : readTcpAnswer(m_received, [](quint16) { return std::nullopt; });
    const QString what =
        partial.expected > 0
            ? QStringLiteral("%1 of the %2 bytes of a frame").arg(m_received.size()).arg(partial.expected)
            : QStringLiteral("%1 bytes that end no frame").arg(m_received.size());
    const Answer answer =
        Answer::failure(Kind::Garbage, QStringLiteral("%1 answered with garbage: %2 came within %3 ms.")
                                           .arg(unit, what)
                                           .arg(m_settings.timeoutMs));
    m_received.clear();
    if (isRtu()) {
        settle(index, answer);
        return;
    }
    failOpen(answer);
    dropConnection();
}

} // namespace modbus
