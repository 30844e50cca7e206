#include "engine/ValueCapability.h"
#include "tests/engine/SimTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <optional>

// The live values of the simulation engine's controllers, on the built-in catalog: "Press01"
// answers at once, "Press02" never.
namespace {

using Status = VariableValue::Status;

const QString kCounter = QStringLiteral("Stroke Counter");
const QString kTemperature = QStringLiteral("Oil.Temp");
const QString kNumber = QStringLiteral("Recipe.Number");

// Starts a call and waits for its one answer, which must not come inside the call.
template <typename Answer>
Answer answerOf(const std::function<void(std::function<void(Answer)>)>& start)
{
    auto answer = std::make_shared<std::optional<Answer>>();
    start([answer](Answer given) { *answer = std::move(given); });
    EXPECT_FALSE(answer->has_value()) << "answered inside the call";
    EXPECT_TRUE(QTest::qWaitFor([&answer] { return answer->has_value(); }, 5000)) << "never answered";
    return answer->value_or(Answer());
}

QList<VariableValue> readOf(IControllerValues& values, const QStringList& names)
{
    return answerOf<QList<VariableValue>>([&](auto done) { values.read(names, done); });
}

WriteOutcome writeOf(IControllerValues& values, const QString& name, const QVariant& value)
{
    return answerOf<WriteOutcome>([&](auto done) { values.write(name, value, done); });
}

class SimValuesTest : public SimWorkspaceTest
{
protected:
    // The values of a new connection to a controller of the general provider.
    std::shared_ptr<IControllerValues> connect(const QString& controller, const QString& option = QString())
    {
        if (!m_workspace)
            m_workspace = openWorkspace();
        m_controller = m_workspace->AddController(controller, QStringLiteral("QuorProv.Sim.Ethernet"),
                                                  QString(), option);
        return m_values.of(m_controller);
    }

    std::shared_ptr<IWorkspace> m_workspace;
    std::shared_ptr<IController> m_controller;
};

struct VariableCase
{
    const char* label;
    const char* name;
    Status status;
    const char* type;
    bool writable;
    // The type of the value read, and the bounds of a number.
    int valueType;
    double low;
    double high;
};

void PrintTo(const VariableCase& c, std::ostream* os)
{
    *os << c.label;
}

class SimVariables : public SimValuesTest, public ::testing::WithParamInterface<VariableCase>
{
};

TEST_P(SimVariables, ReadAndDescribedAsTheirNamesSay)
{
    const VariableCase& c = GetParam();
    const QString name = QString::fromUtf8(c.name);
    const auto values = connect(QStringLiteral("Press01"));
    ASSERT_NE(values, nullptr);
    const VariableValue read = readOf(*values, {name}).value(0);
    EXPECT_EQ(read.name, name);
    EXPECT_EQ(read.status, c.status) << statusText(read).toStdString();
    EXPECT_EQ(read.type, QString::fromUtf8(c.type));
    EXPECT_EQ(read.value.typeId(), c.valueType);
    if (c.low < c.high) {
        EXPECT_GE(read.value.toDouble(), c.low);
        EXPECT_LE(read.value.toDouble(), c.high);
    }
    EXPECT_EQ(read.timestamp.timeSpec(), Qt::UTC);

    const VariableDescription described =
        answerOf<QList<VariableDescription>>([&](auto done) { values->describe({name}, done); }).value(0);
    const qsizetype place = variablesOf(*m_controller).indexOf(name);
    EXPECT_EQ(described.known, place >= 0);
    EXPECT_EQ(described.type, QString::fromUtf8(c.type));
    EXPECT_EQ(described.readable, c.status == Status::Good);
    EXPECT_EQ(described.writable, c.writable);
    EXPECT_EQ(described.address, place >= 0 ? QStringLiteral("sim:Press01/%1").arg(place + 1) : QString());
}

constexpr int kNone = QMetaType::UnknownType;

INSTANTIATE_TEST_SUITE_P(
    Press, SimVariables,
    ::testing::Values(
        VariableCase{"Counter", "Stroke Counter", Status::Good, "int32", true, QMetaType::LongLong, 0,
                     999999},
        VariableCase{"Temperature", "Oil.Temp", Status::Good, "float32", false, QMetaType::Double, 35, 65},
        VariableCase{"State", "Main Motor.Running", Status::Good, "bool", false, QMetaType::Bool, 0, 0},
        VariableCase{"Text", "Recipe.Name", Status::Good, "text", true, QMetaType::QString, 0, 0},
        VariableCase{"Hidden", "Brake.Wear", Status::NotReadable, "int16", false, kNone, 0, 0},
        VariableCase{"OtherCase", "ram.position", Status::NotFound, "", false, kNone, 0, 0}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

TEST_F(SimValuesTest, CounterCountsAndTemperatureDriftsAsTheTimeStampsPredict)
{
    const auto values = connect(QStringLiteral("Press01"));
    ASSERT_NE(values, nullptr);
    const QList<VariableValue> first = readOf(*values, {kCounter, kTemperature});
    QTest::qWait(300);
    const QList<VariableValue> second = readOf(*values, {kCounter, kTemperature});
    ASSERT_TRUE(first.size() == 2 && second.size() == 2);
    const qint64 t1 = first.at(0).timestamp.toMSecsSinceEpoch();
    const qint64 t2 = second.at(0).timestamp.toMSecsSinceEpoch();
    // One count every 250 ms of the clock, from 999999 on to 0.
    const qint64 counted =
        (second.at(0).value.toLongLong() - first.at(0).value.toLongLong() + 1000000) % 1000000;
    EXPECT_EQ(counted, t2 / 250 - t1 / 250);
    EXPECT_GE(counted, 1);
    // Less than 0.6 a second (and the rounding to hundredths) apart.
    const double drift = std::fabs(second.at(1).value.toDouble() - first.at(1).value.toDouble());
    EXPECT_LE(drift, 0.6 * static_cast<double>(t2 - t1) / 1000 + 0.02);

    // Written, the counter counts on from the written value.
    QElapsedTimer sinceWrite;
    sinceWrite.start();
    ASSERT_TRUE(writeOf(*values, kCounter, 0).written);
    EXPECT_LE(readOf(*values, {kCounter}).value(0).value.toLongLong(), sinceWrite.elapsed() / 250 + 1);
}

struct SimWriteCase
{
    const char* label;
    const char* name;
    QVariant value;
    // What reads give after the write; invalid when it is refused for the reason below.
    QVariant readBack;
    const char* refusal;
};

void PrintTo(const SimWriteCase& c, std::ostream* os)
{
    *os << c.label;
}

class SimWrites : public SimValuesTest, public ::testing::WithParamInterface<SimWriteCase>
{
};

TEST_P(SimWrites, TakeTheVariablesTypeOrAreRefusedWithTheReason)
{
    const SimWriteCase& c = GetParam();
    const QString name = QString::fromUtf8(c.name);
    const auto values = connect(QStringLiteral("Press01"));
    ASSERT_NE(values, nullptr);
    const WriteOutcome outcome = writeOf(*values, name, c.value);
    EXPECT_EQ(outcome.written, c.readBack.isValid()) << outcome.reason.toStdString();
    EXPECT_TRUE(outcome.reason.contains(QString::fromUtf8(c.refusal))) << outcome.reason.toStdString();
    if (!outcome.written)
        return;
    const VariableValue read = readOf(*values, {name}).value(0);
    EXPECT_EQ(read.value.typeId(), c.readBack.typeId());
    EXPECT_EQ(read.value, c.readBack);
    // The device keeps it: a new connection to it reads it back too.
    EXPECT_EQ(readOf(*connect(QStringLiteral("Press01")), {name}).value(0).value, c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Press, SimWrites,
    ::testing::Values(SimWriteCase{"Number", "Recipe.Number", qint64(7), qint64(7), ""},
                      SimWriteCase{"Fraction", "Recipe.Number", 7.5, {}, "whole numbers"},
                      SimWriteCase{"BeyondTheType", "Recipe.Number", 40000, {}, "-32768 to 32767"},
                      SimWriteCase{"TextForANumber", "Recipe.Number", QStringLiteral("7"), {}, "no text"},
                      SimWriteCase{"Float", "Feed.Length", 12.5, 12.5, ""},
                      SimWriteCase{"ZeroForFalse", "Mode.Auto", 0, false, ""},
                      SimWriteCase{"ReadOnly", "Oil.Temp", 40.0, {}, "Oil.Temp is read-only."},
                      SimWriteCase{"Unknown", "Nothing", 1, {}, "Press01 has no variable \"Nothing\"."}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

TEST_F(SimValuesTest, ReleasedControllerAnswersNotConnected)
{
    const auto values = connect(QStringLiteral("Press01"));
    ASSERT_NE(values, nullptr);
    m_controller.reset();
    const QList<VariableValue> read = readOf(*values, {kTemperature, QStringLiteral("Nothing")});
    EXPECT_EQ(read.size(), 2);
    for (const VariableValue& value : read)
        EXPECT_EQ(value.status, Status::NotConnected);
    EXPECT_EQ(writeOf(*values, kNumber, 7).reason, QStringLiteral("Press01 is no longer connected."));
}

TEST_F(SimValuesTest, SilentDeviceAnswersTimeoutOnceTheTimeoutHasPassed)
{
    const auto values = connect(QStringLiteral("Press02"), QStringLiteral("Timeout=150"));
    ASSERT_NE(values, nullptr);
    QElapsedTimer timer;
    timer.start();
    const VariableValue read = readOf(*values, {kNumber}).value(0);
    EXPECT_GE(timer.elapsed(), 150);
    EXPECT_EQ(statusText(read), QStringLiteral("timeout"));
    timer.restart();
    const WriteOutcome outcome = writeOf(*values, kNumber, 7);
    EXPECT_GE(timer.elapsed(), 150);
    EXPECT_EQ(outcome.reason, QStringLiteral("No answer from Press02 within 150 ms."));
}

TEST_F(SimValuesTest, DestroyedValuesObjectNeverAnswers)
{
    int dropped = 0;
    bool answered = false;
    auto first = connect(QStringLiteral("Press01"));
    const auto second = m_values.of(m_controller);
    ASSERT_NE(first, nullptr);
    first->read({kTemperature}, [&dropped](auto) { ++dropped; });
    first->write(QStringLiteral("Nothing"), 1, [&dropped](auto) { ++dropped; });
    second->read({kTemperature}, [&answered](auto) { answered = true; });
    first.reset();
    // The answers come in the order of the calls: those of the first object would be in.
    EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; }, 5000));
    EXPECT_EQ(dropped, 0);
}

} // namespace
