#include "engine/modbus/BlockReading.h"

namespace modbus {

namespace {

// Requests one reading keeps open at a time: enough to hide most of the round trips, few enough
// that a device answering one request after the other answers the last within its timeout.
constexpr int kInFlight = 4;

} // namespace

void DeviceKnowledge::reject(const RegisterMap& map, qsizetype entry, int code)
{
    const RegisterEntry& e = map.at(entry);
    rejected.insert(entry, code);
    fences.append({e.table, e.address, e.address + e.count});
}

void DeviceKnowledge::forget()
{
    rejected.clear();
    fences.clear();
}

BlockReading::BlockReading(ModbusSession& session, std::shared_ptr<const RegisterMap> map,
                           std::shared_ptr<DeviceKnowledge> knowledge, Rules rules, Done done)
    : m_session(session), m_map(std::move(map)), m_knowledge(std::move(knowledge)), m_rules(std::move(rules)),
      m_done(std::move(done))
{
}

void BlockReading::start(ModbusSession& session, std::shared_ptr<const RegisterMap> map,
                         std::shared_ptr<DeviceKnowledge> knowledge, const QList<ReadBlock>& blocks,
                         Rules rules, Done done)
{
    auto reading = std::make_shared<BlockReading>(session, std::move(map), std::move(knowledge),
                                                  std::move(rules), std::move(done));
    for (const ReadBlock& block : blocks)
        reading->m_queue.append({block, -1});
    reading->pump();
}

void BlockReading::pump()
{
    while (!m_finished && m_inFlight < kInFlight && !m_queue.isEmpty()) {
        const Queued queued = m_queue.takeFirst();
        ++m_inFlight;
        const ReadBlock& block = queued.block;
        m_session.read(QModbusDataUnit(block.table, block.start, block.count),
                       [self = shared_from_this(), queued](const ModbusSession::Answer& answer) {
                           self->answered(queued, answer);
                       });
    }
    if (!m_finished && m_inFlight == 0 && m_queue.isEmpty())
        finish();
}

void BlockReading::answered(const Queued& queued, const ModbusSession::Answer& answer)
{
    --m_inFlight;
    if (m_finished)
        return;
    switch (answer.kind) {
    case ModbusSession::Answer::Kind::Done:
        gotValues(queued, answer.unit);
        break;
    case ModbusSession::Answer::Kind::Exception:
        gotException(queued, answer);
        break;
    case ModbusSession::Answer::Kind::Timeout:
    case ModbusSession::Answer::Kind::Failed:
    case ModbusSession::Answer::Kind::Garbage:
    case ModbusSession::Answer::Kind::CrcError:
        failed(queued, answer, EntryReading::Outcome::Unanswered);
        break;
    }
    if (m_rules.progress)
        m_rules.progress(m_readings.size(), m_map->size());
    pump();
}

void BlockReading::gotValues(const Queued& queued, const QModbusDataUnit& unit)
{
    const ReadBlock& block = queued.block;
    if (unit.valueCount() < block.count) {
        const QString reason = QStringLiteral("The connection to %1 failed: %2 values came for %3.")
                                   .arg(m_session.settings().place())
                                   .arg(unit.valueCount())
                                   .arg(block.count);
        failed(queued, ModbusSession::Answer::failure(ModbusSession::Answer::Kind::Failed, reason),
               EntryReading::Outcome::Unanswered);
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<quint16> values = unit.values();
    for (const qsizetype index : block.entries) {
        const RegisterEntry& entry = m_map->at(index);
        m_readings.insert(index, {EntryReading::Outcome::Read,
                                  values.mid(entry.address - block.start, entry.count), 0, now});
    }
    closeSplit(queued.split);
}

void BlockReading::gotException(const Queued& queued, const ModbusSession::Answer& answer)
{
    if (!m_rules.rejecting.contains(answer.exceptionCode)) {
        failed(queued, answer, EntryReading::Outcome::Exception);
        return;
    }
    // The fault lies within this block, not between it and its sibling.
    spoil(queued.split);
    if (queued.block.entries.size() > 1) {
        split(queued);
        return;
    }
    const qsizetype entry = queued.block.entries.first();
    m_knowledge->reject(*m_map, entry, answer.exceptionCode);
    m_readings.insert(
        entry, {EntryReading::Outcome::Rejected, {}, answer.exceptionCode, QDateTime::currentDateTimeUtc()});
    closeSplit(queued.split);
}

void BlockReading::failed(const Queued& queued, const ModbusSession::Answer& answer,
                          EntryReading::Outcome outcome)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const qsizetype entry : queued.block.entries)
        m_readings.insert(entry, {outcome, {}, answer.exceptionCode, now});
    spoil(queued.split);
    closeSplit(queued.split);
    if (m_rules.stopAtFailure) {
        m_failure = Failure{answer, queued.block};
        finish();
    }
}

void BlockReading::split(const Queued& queued)
{
    const QList<qsizetype>& entries = queued.block.entries;
    const qsizetype middle = entries.size() / 2;
    const ReadBlock first = blockOf(*m_map, entries.mid(0, middle));
    const ReadBlock second = blockOf(*m_map, entries.mid(middle));
    Split split;
    split.between = {first.table, first.start + first.count, second.start};
    split.learnable = split.between.from <= split.between.to;
    split.parent = queued.split;
    m_splits.append(split);
    const int index = int(m_splits.size() - 1);
    // The halves go first, so the split block is done before others start.
    m_queue.prepend({second, index});
    m_queue.prepend({first, index});
}

void BlockReading::closeSplit(int split)
{
    while (split >= 0) {
        Split& node = m_splits[split];
        if (--node.open > 0)
            return;
        // Both halves read at the first try: the gap (or the point) between them was at fault,
        // so later blocks keep off it.
        if (node.learnable && !node.spoiled)
            m_knowledge->fences.append(node.between);
        split = node.parent;
    }
}

void BlockReading::spoil(int split)
{
    for (; split >= 0; split = m_splits[split].parent)
        m_splits[split].spoiled = true;
}

void BlockReading::finish()
{
    m_finished = true;
    m_queue.clear();
    const std::shared_ptr<BlockReading> self = shared_from_this();
    m_done(*self);
}

} // namespace modbus
