#include "tests/engine/ModbusValuesFixture.h"

#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

// The live values of the Modbus plug-in over time: a device that stops answering, goes away
// and comes back, a controller connected on another thread or released, the moving demo device.
namespace {

const QByteArray kPressMap = "Name,Table,Address,Type,Order\n"
                             "Speed,holding,0,float32,CDAB\n"
                             "Mode,holding,2,uint16,\n"
                             "Temp,input,0,int16,\n";

using ModbusLive = ModbusValuesFixture;

TEST_F(ModbusLive, SilentDeviceTimesOutWhileTheEventLoopTurnsAndAnswersAgainLater)
{
    LocalDevice local(kPressMap, QString());
    connectTo(local.machine(), writeMap(kPressMap), 300);
    // The device now ignores unit 1, as a device that hangs would.
    local.device.setServerAddress(9);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(1);
    const QList<VariableValue> silent = read({QStringLiteral("Mode"), QStringLiteral("Temp")});
    ticker.stop();
    ASSERT_EQ(silent.size(), 2);
    EXPECT_EQ(statusText(silent.at(0)), QStringLiteral("timeout"));
    EXPECT_EQ(statusText(silent.at(1)), QStringLiteral("timeout"));
    // Some 300 ticks in the 300 ms waited; a loop that blocked would give none.
    EXPECT_GT(ticks, 20);
    local.device.setServerAddress(1);
    EXPECT_EQ(readOne(QStringLiteral("Mode")).value, QVariant(qint64(2)));
}

TEST_F(ModbusLive, DeviceThatGoesAwayTimesOutAndIsReconnectedWhenBack)
{
    LocalDevice local(kPressMap, QString());
    connectTo(local.machine(), writeMap(kPressMap), 500);
    EXPECT_EQ(statusText(readOne(QStringLiteral("Temp"))), QStringLiteral("good"));
    const int port = local.device.port();
    local.device.disconnectDevice();
    EXPECT_EQ(statusText(readOne(QStringLiteral("Temp"))), QStringLiteral("timeout"));
    EXPECT_EQ(statusText(readOne(QStringLiteral("Temp"))), QStringLiteral("timeout"));
    ASSERT_TRUE(local.device.listen(port)) << local.device.errorString().toStdString();
    const VariableValue back = readOne(QStringLiteral("Temp"));
    EXPECT_EQ(statusText(back), QStringLiteral("good"));
    EXPECT_EQ(back.value, QVariant(qint64(0)));
}

TEST_F(ModbusLive, ReleasedControllerReadsNotConnectedAndRefusesWrites)
{
    LocalDevice local(kPressMap, QString());
    connectTo(local.machine(), writeMap(kPressMap));
    EXPECT_EQ(statusText(readOne(QStringLiteral("Speed"))), QStringLiteral("good"));
    controller.reset();
    const QList<VariableValue> after = read({QStringLiteral("Speed"), QStringLiteral("Missing")});
    EXPECT_EQ(statusText(after.value(0)), QStringLiteral("not connected"));
    EXPECT_FALSE(after.value(0).value.isValid());
    EXPECT_EQ(statusText(after.value(1)), QStringLiteral("not connected"));
    const WriteOutcome outcome = write(QStringLiteral("Mode"), 3);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.reason, QStringLiteral("The controller has been released."));
}

// A controller of another engine has no Modbus values.
class OtherController final : public IController
{
public:
    QString Name() const override { return QStringLiteral("Other"); }
    Variant VariableNames(const Variant&) override { return Variant(); }
    std::shared_ptr<IExtension> AddExtension(const QString&, const Variant&) override { return nullptr; }
    std::shared_ptr<IExtensions> Extensions() override { return nullptr; }
};

TEST_F(ModbusLive, OffersNoValuesForAnotherEnginesController)
{
    LocalDevice local(kPressMap, QString());
    connectTo(local.machine(), writeMap(kPressMap));
    EXPECT_EQ(sources.of(std::make_shared<OtherController>()), nullptr);
}

// How the engine calls run on a thread of their own.
enum class Worker
{
    StdThread,
    QtThread
};

class ModbusOtherThread : public ModbusValuesFixture, public ::testing::WithParamInterface<Worker>
{
};

TEST_P(ModbusOtherThread, ConnectsAndBrowsesThereWhileValuesAreReadHere)
{
    LocalDevice local(kPressMap, QString());
    const QString map = writeMap(kPressMap);
    std::shared_ptr<IController> made;
    QStringList names;
    std::atomic_bool done = false;
    // The device answers from this thread's event loop while the worker waits.
    const auto work = [&] {
        made = workspace->AddController(QStringLiteral("Press1"), QStringLiteral("QuorProv.ModbusTCP"),
                                        local.machine(), QStringLiteral("Map=") + map);
        names = textsOf(made->VariableNames(Variant()));
        done = true;
    };
    if (GetParam() == Worker::StdThread) {
        std::thread worker(work);
        EXPECT_TRUE(QTest::qWaitFor([&done] { return done.load(); }, 15000));
        worker.join();
    } else {
        std::unique_ptr<QThread> worker(QThread::create(work));
        worker->start();
        EXPECT_TRUE(QTest::qWaitFor([&done] { return done.load(); }, 15000));
        worker->wait();
    }
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(names.size(), 3);
    controller = made;
    values = sources.of(controller);
    ASSERT_NE(values, nullptr);
    const QList<VariableValue> found = read(names);
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found.at(1).value, QVariant(qint64(2)));
    EXPECT_EQ(statusText(found.at(2)), QStringLiteral("good"));
    // Browsing again here, on the main thread.
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), names);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModbusOtherThread, ::testing::Values(Worker::StdThread, Worker::QtThread),
                         [](const auto& paramInfo) {
                             return std::string(paramInfo.param == Worker::StdThread ? "StdThread"
                                                                                     : "QThread");
                         });

// The demo device of scripts/modbus-demo.sh on examples/press.csv.
TEST_F(ModbusLive, DemoDeviceMovesAndKeepsWhatIsWritten)
{
    const QString press = QStringLiteral(QUOR_SOURCE_DIR "/examples/press.csv");
    QFile file(press);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    LocalDevice local(file.readAll(), QStringLiteral("holding:40-43,input:12"));
    local.device.startMoving();
    connectTo(local.machine(), press);
    const QStringList names = {QStringLiteral("Ram.Position"), QStringLiteral("Oil.Temp"),
                               QStringLiteral("Die.Temp[3]"), QStringLiteral("Recipe.Number")};
    const QList<VariableValue> first = read(names);
    QTest::qWait(150);
    const QList<VariableValue> second = read(names);
    ASSERT_EQ(second.size(), 4);
    EXPECT_EQ(statusText(second.at(0)), QStringLiteral("good"));
    EXPECT_NE(first.at(0).value, second.at(0).value);
    EXPECT_GE(second.at(0).value.toDouble(), 0.0);
    EXPECT_LE(second.at(0).value.toDouble(), 250.0);
    EXPECT_GE(second.at(1).value.toLongLong(), 35);
    EXPECT_LE(second.at(1).value.toLongLong(), 55);
    EXPECT_EQ(statusText(second.at(2)), QStringLiteral("exception 02 (Illegal data address)"));
    // Still entries hold their own address until written.
    EXPECT_EQ(second.at(3).value, QVariant(qint64(12)));
    ASSERT_TRUE(write(QStringLiteral("Recipe.Number"), 7).written);
    EXPECT_EQ(readOne(QStringLiteral("Recipe.Number")).value, QVariant(qint64(7)));
}

} // namespace
