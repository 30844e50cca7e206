#pragma once

#include "engine/modbus/ModbusSession.h"
#include "engine/modbus/ReadPlan.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <memory>
#include <optional>

// One pass over a device: reads planned blocks through a session, a few requests at a time, and
// splits a block the device rejects until the entry it rejects is found.
namespace modbus {

// What reading a device taught about it: the entries it rejects, with their exception codes, and
// the fences no later block may cross (those entries, and gaps it rejected between entries it
// serves). Forgotten when a connection is made anew, as the device may have changed.
struct DeviceKnowledge
{
    QHash<qsizetype, int> rejected;
    QList<Fence> fences;

    void reject(const RegisterMap& map, qsizetype entry, int code);
    void forget();
};

// What one entry's read found.
struct EntryReading
{
    enum class Outcome
    {
        // The words hold its registers (or its bit).
        Read,
        // The device rejected the entry itself (remembered in the knowledge).
        Rejected,
        // The device answered its block with an exception that does not point at an entry.
        Exception,
        // No answer, or no connection.
        Unanswered
    };
    Outcome outcome = Outcome::Unanswered;
    QList<quint16> words;
    int exceptionCode = 0;
    // When the answer came, in UTC.
    QDateTime time;
};

class BlockReading final : public std::enable_shared_from_this<BlockReading>
{
public:
    struct Rules
    {
        // The exception codes that mean a block holds an address the device lacks: such a block
        // is split, and a single entry answered so is rejected.
        QList<int> rejecting;
        // Whether the first other failure (a timeout, a broken connection, another exception)
        // ends the reading.
        bool stopAtFailure = false;
        // Told after each answer: the entries with a reading, of the map's entries.
        std::function<void(qsizetype read, qsizetype total)> progress;
    };

    // The failure that ended a reading, with the block it happened to.
    struct Failure
    {
        ModbusSession::Answer answer;
        ReadBlock block;
    };

    using Done = std::function<void(const BlockReading&)>;

    // Reads the blocks (at least one); done runs from the event loop once every entry has its
    // reading, or at the first failure when the rules say so. The session must
    // outlive the reading; destroying (or closing) the session drops it.
    static void start(ModbusSession& session, std::shared_ptr<const RegisterMap> map,
                      std::shared_ptr<DeviceKnowledge> knowledge, const QList<ReadBlock>& blocks, Rules rules,
                      Done done);

    const QHash<qsizetype, EntryReading>& readings() const { return m_readings; }
    const std::optional<Failure>& failure() const { return m_failure; }

    BlockReading(ModbusSession& session, std::shared_ptr<const RegisterMap> map,
                 std::shared_ptr<DeviceKnowledge> knowledge, Rules rules, Done done);

private:
    // A block that was split: its two halves are still being read.
    struct Split
    {
        Fence between;
        bool learnable = false;
        int open = 2;
        // Whether a half of it was not read at the first try (then the fault lies within that
        // half, not between the two), or went unanswered.
        bool spoiled = false;
        int parent = -1;
    };

    struct Queued
    {
        ReadBlock block;
        int split = -1;
    };

    void pump();
    void answered(const Queued& queued, const ModbusSession::Answer& answer);
    void gotValues(const Queued& queued, const QModbusDataUnit& unit);
    void gotException(const Queued& queued, const ModbusSession::Answer& answer);
    void failed(const Queued& queued, const ModbusSession::Answer& answer, EntryReading::Outcome outcome);
    void split(const Queued& queued);
    void closeSplit(int split);
    void spoil(int split);
    void finish();

    ModbusSession& m_session;
    std::shared_ptr<const RegisterMap> m_map;
    std::shared_ptr<DeviceKnowledge> m_knowledge;
    Rules m_rules;
    Done m_done;
    QList<Queued> m_queue;
    QList<Split> m_splits;
    int m_inFlight = 0;
    bool m_finished = false;
    QHash<qsizetype, EntryReading> m_readings;
    std::optional<Failure> m_failure;
};

} // namespace modbus
