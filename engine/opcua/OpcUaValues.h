#pragma once

#include "engine/ValueCapability.h"
#include "engine/opcua/OpcUaLink.h"

#include <atomic>
#include <memory>
#include <mutex>

class QObject;

// The live values of an OPC UA controller: reads in batches, writes of one value and the
// descriptions (type, access level, NodeId) through the bridge. A bad status code is shown by its
// name ("BadNotReadable"); a read without answer within the timeout gives Timeout. Answers come
// back through the event loop of the thread that asked.
namespace opcua {

class OpcUaController;

class OpcUaValues final : public IControllerValues
{
public:
    explicit OpcUaValues(const std::shared_ptr<OpcUaController>& controller);
    ~OpcUaValues() override;
    Q_DISABLE_COPY_MOVE(OpcUaValues)

    void read(const QStringList& names, ReadDone done) override;
    void describe(const QStringList& names, DescribeDone done) override;
    void write(const QString& name, const QVariant& value, WriteDone done) override;

    // Where answers are delivered: an object on the thread that asked, and whether they are wanted.
    struct Receiver
    {
        std::mutex mutex;
        QObject* context = nullptr;
        bool live = true;
    };

private:
    // The receiver on the calling thread, made anew when the calls come from another thread.
    const std::shared_ptr<Receiver>& receiverHere();
    void dropReceiver();

    std::weak_ptr<OpcUaController> m_controller;
    OpcUaLink m_link;
    std::shared_ptr<Receiver> m_receiver;
};

} // namespace opcua
