#include "engine/BrowseProgress.h"
#include "engine/TagFileFolder.h"
#include "tests/engine/ModbusTestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <sys/stat.h>

// The Modbus TCP plug-in against a real device on 127.0.0.1.
namespace {

// Blocks of neighbouring addresses with holes: holding 3 is absent (inside a block), input 9
// is absent at a block's end, and the device has no coils at all.
const QByteArray kDeviceMap = "Name,Table,Address,Type,Order\n"
                              "Speed,holding,0,float32,CDAB\n"
                              "Mode,holding,2,uint16,\n"
                              "Missing.Word,holding,3,int16,\n"
                              "Count,holding,4,uint32,\n"
                              "Temp,input,8,int16,\n"
                              "Missing.Temp,input,9,int16,\n"
                              "Far,holding,300,uint16,\n"
                              "Door,discrete,5,bool,\n";
const QString kAbsent = QStringLiteral("holding:3,input:9");

class ModbusEngine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ScopedEnv engine("QUOR_ENGINE", modbusPluginPath());
        QString reason;
        m_engine = CreateEngine(&reason);
        ASSERT_NE(m_engine, nullptr) << reason.toStdString();
        workspace = m_engine->Workspaces()->Item(0);
    }

    QString writeMap(const QByteArray& text, const QString& name = QStringLiteral("map.csv"))
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        return path;
    }

    std::shared_ptr<IController> add(const QString& machine, const QString& option,
                                     const QString& name = QStringLiteral("Press1"))
    {
        return workspace->AddController(name, QStringLiteral("QuorProv.ModbusTCP"), machine, option);
    }

    // The engine's refusal of a connection, and how long it took.
    QString refusal(const QString& machine, const QString& option, qint64* elapsedMs = nullptr)
    {
        QElapsedTimer clock;
        clock.start();
        try {
            add(machine, option);
        } catch (const EngineError& e) {
            if (elapsedMs)
                *elapsedMs = clock.elapsed();
            return e.message();
        }
        ADD_FAILURE() << "the connection was made";
        return QString();
    }

    std::shared_ptr<IWorkspace> workspace;

private:
    QTemporaryDir m_dir;
    std::shared_ptr<IEngine> m_engine;
};

TEST_F(ModbusEngine, ListsTheMapsNamesTheDeviceServesAndNoOthers)
{
    EXPECT_EQ(textsOf(workspace->ProviderNames(Variant())),
              (QStringList{QStringLiteral("QuorProv.ModbusTCP"), QStringLiteral("QuorProv.ModbusRTU")}));
    LocalDevice local(kDeviceMap, kAbsent);
    // The client's map also names a coil, a table the device does not have.
    const QString map = writeMap(kDeviceMap + "Pump,coil,0,bool,\n");
    const std::shared_ptr<IController> controller = add(local.machine(), QStringLiteral("Map=") + map);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->Name(), QStringLiteral("Press1"));
    const QStringList served = {QStringLiteral("Speed"), QStringLiteral("Mode"), QStringLiteral("Count"),
                                QStringLiteral("Temp"),  QStringLiteral("Far"),  QStringLiteral("Door")};
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), served);

    // A listing tells how far it got, up to every entry of the map.
    auto* progress = dynamic_cast<IBrowseProgress*>(controller.get());
    ASSERT_NE(progress, nullptr);
    QList<std::pair<qint64, qint64>> reports;
    progress->setBrowseListener([&reports](qint64 done, qint64 total) { reports.append({done, total}); });
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), served);
    progress->setBrowseListener(nullptr);
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_EQ(reports.last(), std::make_pair(qint64(9), qint64(9)));
    EXPECT_TRUE(std::is_sorted(reports.cbegin(), reports.cend()));

    // The QuorSQL extension answers for the controller itself.
    const std::shared_ptr<IExtension> sql = controller->AddExtension(QStringLiteral("QuorSQL"), Variant());
    const auto query = [&sql](const QString& text) {
        sql->setValue(Variant::text(text));
        sql->Execute(0);
        return textsOf(sql->Value());
    };
    EXPECT_EQ(query(QStringLiteral("GET:press1::!ItemNames:")), served);
    EXPECT_EQ(query(QStringLiteral("GET:$ENGINE$::!ControllerNames:")),
              QStringList{QStringLiteral("Press1")});
    controller->Extensions()->Remove(Variant::number(sql->Index()));

    // Unit, timeout and port given explicitly; a controller added without a name is named.
    const std::shared_ptr<IController> unnamed =
        add(local.machine(), QStringLiteral(" unit = 1 , Timeout=2000,MAP=") + map, QString());
    EXPECT_EQ(unnamed->Name(), QStringLiteral("ModbusTCP_1"));

    // The device goes away: listing fails with the reason instead of listing nothing.
    local.device.disconnectDevice();
    EXPECT_THROW(controller->VariableNames(Variant()), EngineError);
}

struct RefusedCase
{
    const char* label;
    // 'r' nothing listens, 's' a silent peer, 'd' the device.
    char peer;
    const char* option;
    const char* reason;
};

class ModbusRefusal : public ModbusEngine, public ::testing::WithParamInterface<RefusedCase>
{
};

TEST_P(ModbusRefusal, FailsWithinTheTimeoutSayingWhy)
{
    const RefusedCase& c = GetParam();
    LocalDevice local(kDeviceMap, kAbsent);
    SilentPeer silent;
    const RefusingPort refusing;
    const QString machine = c.peer == 'r'   ? refusing.machine()
                            : c.peer == 's' ? silent.machine()
                                            : local.machine();
    const QString option = QString::fromUtf8(c.option).replace(QStringLiteral("$MAP"), writeMap(kDeviceMap));
    qint64 elapsed = 0;
    const QString reason = refusal(machine, option, &elapsed);
    EXPECT_EQ(reason, QString::fromUtf8(c.reason).replace(QStringLiteral("$MACHINE"), machine));
    // A sanity bound far above the 300 ms asked for, not a measurement.
    EXPECT_LT(elapsed, 5000);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusRefusal,
    ::testing::Values(RefusedCase{"NothingListens", 'r', "Timeout=300,Map=$MAP",
                                  "Connection refused by $MACHINE."},
                      RefusedCase{"SilentPeer", 's', "Timeout=300,Map=$MAP",
                                  "Unit 1 does not answer: no reply from $MACHINE within 300 ms."},
                      RefusedCase{"WrongUnit", 'd', "Unit=7,Timeout=300,Map=$MAP",
                                  "Unit 7 does not answer: no reply from $MACHINE within 300 ms."},
                      RefusedCase{"NoMap", 'd', "Unit=1",
                                  "QuorProv.ModbusTCP needs a register map: \"Map=<file>\" in the option."},
                      RefusedCase{"UnitOutOfRange", 'd', "Unit=256,Map=$MAP",
                                  "Malformed option: \"Unit=256\" is not a unit id from 0 to 255."},
                      RefusedCase{"UnknownKey", 'd', "Map=$MAP,Retry=2",
                                  "Malformed option: the key \"Retry\" is not understood here."}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

TEST_F(ModbusEngine, MachineAndMapFileFaultsAreNamed)
{
    const QString map = QStringLiteral("Map=") + writeMap(kDeviceMap);
    EXPECT_EQ(refusal(QString(), map),
              QStringLiteral(
                  "QuorProv.ModbusTCP needs the device's address in the machine field (host or host:port)."));
    EXPECT_EQ(refusal(QStringLiteral("127.0.0.1:70000"), map),
              QStringLiteral("The machine \"127.0.0.1:70000\" has no port from 1 to 65535 after its colon."));
    const QString missing = writeMap("x") + QStringLiteral(".gone");
    EXPECT_TRUE(refusal(QStringLiteral("127.0.0.1"), QStringLiteral("Map=") + missing)
                    .startsWith(QStringLiteral("Register map %1 cannot be read: ").arg(missing)));
    const QString pipe = missing + QStringLiteral(".pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(refusal(QStringLiteral("127.0.0.1"), QStringLiteral("Map=") + pipe),
              QStringLiteral("Register map %1 cannot be read: it is not a regular file.").arg(pipe));
}

struct MapCase
{
    const char* label;
    const char* text;
    const char* reason;
};

class MalformedMap : public ModbusEngine, public ::testing::WithParamInterface<MapCase>
{
};

// The map is read before the device is asked, so no device is needed.
TEST_P(MalformedMap, IsRefusedNamingItsLineAndReason)
{
    const QString path = writeMap(GetParam().text, QStringLiteral("press.csv"));
    EXPECT_EQ(refusal(QStringLiteral("127.0.0.1:1"), QStringLiteral("Map=") + path),
              QStringLiteral("Register map press.csv ") + QString::fromUtf8(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedMap,
    ::testing::Values(
        MapCase{"UnknownType", "Name,Table,Address,Type\r\nA,holding,0,int16\r\n\r\nB,holding,1,int8\r\n",
                "line 4: unknown type 'int8'."},
        MapCase{"WrongHeader", "\xEF\xBB\xBFName,Address,Table,Type\nA,holding,0,int16\n",
                "line 1: the header must be Name,Table,Address,Type with an optional Order column, not "
                "'Name,Address,Table,Type'."},
        MapCase{"DuplicateName", "name,table,address,type\n\"A,1\",holding,0,int16\n\"a,1\",input,0,int16\n",
                "line 3: the name 'a,1' is already on line 2."},
        MapCase{"UnknownTable", "Name,Table,Address,Type\nA,register,0,int16\n",
                "line 2: unknown table 'register' (coil, discrete, input or holding)."},
        MapCase{"BitInARegister", "Name,Table,Address,Type\nA,holding,0,bool\n",
                "line 2: type 'bool' does not fit table 'holding' (bool goes with coil and discrete, numbers "
                "with "
                "input and holding)."},
        MapCase{"AddressTooLarge", "Name,Table,Address,Type\nA,coil,65536,bool\n",
                "line 2: '65536' is not an address from 0 to 65535."},
        MapCase{"NegativeAddress", "Name,Table,Address,Type\nA,coil,-1,bool\n",
                "line 2: '-1' is not an address from 0 to 65535."},
        MapCase{"PastTheLastAddress", "Name,Table,Address,Type\nA,input,65535,float32\n",
                "line 2: a float32 at 65535 runs past address 65535."},
        MapCase{"UnknownOrder", "Name,Table,Address,Type,Order\nA,input,0,uint32,ABDC\n",
                "line 2: unknown order 'ABDC' for uint32 (ABCD, CDAB, BADC, DCBA)."},
        MapCase{"TooManyFields", "Name,Table,Address,Type\nA,input,0,int16,AB\n",
                "line 2: expected 4 fields, found 5."},
        MapCase{"UnclosedQuote", "Name,Table,Address,Type\n\"A,input,0,int16\n",
                "line 2: a quoted field is not closed."},
        MapCase{"EmptyName", "Name,Table,Address,Type\n ,input,0,int16\n", "line 2: the name is empty."},
        MapCase{"HeaderOnly", "Name,Table,Address,Type\n", "line 1: no register follows the header."},
        MapCase{"TabInName", "Name,Table,Address,Type\n\"A\tB\",input,0,int16\n",
                "line 2: the name holds the control character tab."},
        MapCase{"EscapeInName", "Name,Table,Address,Type\nA\x1b[1m,input,0,int16\n",
                "line 2: the name holds the control character U+001B."},
        MapCase{"LineBreakInName", "Name,Table,Address,Type\nA\rB,input,0,int16\n",
                "line 2: the name holds the control character line break."},
        MapCase{"EveryFaultyLine",
                "Name,Table,Address,Type\nA,input,0,int8\nB,input,1,int16\nC,coils,2,bool\nB,input,3,int16\n",
                "line 2: unknown type 'int8'.\nRegister map press.csv line 4: unknown table 'coils' (coil, "
                "discrete, "
                "input or holding).\nRegister map press.csv line 5: the name 'B' is already on line 3."}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

} // namespace

TEST_F(ModbusEngine, AMapWithManyFaultsListsTheFirstTwentyAndCountsTheRest)
{
    QByteArray text = "Name,Table,Address,Type\n";
    for (int i = 0; i < 25; ++i)
        text += "N" + QByteArray::number(i) + ",input,0,int8\n";
    const QStringList lines = refusal(QStringLiteral("127.0.0.1:1"), QStringLiteral("Map=") + writeMap(text))
                                  .split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines.at(19), QStringLiteral("Register map map.csv line 21: unknown type 'int8'."));
    EXPECT_EQ(lines.at(20), QStringLiteral("5 more faulty lines are not listed."));
}

// What spreadsheets write and what fits at the top of a table is taken.
TEST(RegisterMapEdges, TheLastAddressesAndALeftOutOrderAreTaken)
{
    const modbus::RegisterMap map = modbus::parseRegisterMap(
        "Name,Table,Address,Type,Order\nTop,holding,65534,uint32\nLast,input,65535,int16\n",
        QStringLiteral("edges.csv"));
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(std::tie(map.at(0).address, map.at(0).count, map.at(0).order),
              std::make_tuple(quint16(65534), quint16(2), QByteArray("ABCD")));
    EXPECT_EQ(map.at(1).order, QByteArray("AB"));
}

TEST(RegisterMapEdges, ANulInANameIsRefusedNamingItsLine)
{
    const QByteArray text("Name,Table,Address,Type\nA,input,0,int16\nB\0C,input,1,int16\n", 58);
    try {
        modbus::parseRegisterMap(text, QStringLiteral("nul.csv"));
        ADD_FAILURE() << "the map was taken";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Register map nul.csv line 3: the name holds the control character NUL."));
    }
}

// A relative map is found beside the tag file before the working folder, and only there when it
// is not in the working folder.
TEST_F(ModbusEngine, ARelativeMapIsLookedForBesideTheTagFileFirst)
{
    LocalDevice local(kDeviceMap, kAbsent);
    QTemporaryDir tagFolder;
    QFile beside(QDir(tagFolder.path()).filePath(QStringLiteral("beside.csv")));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.write("Name,Table,Address,Type\nMode,holding,2,uint16\n");
    beside.close();
    const ScopedEnv folder(kTagFileFolderVariable, QString());
    publishTagFileFolder(QDir(tagFolder.path()).filePath(QStringLiteral("press.qts")));
    const std::shared_ptr<IController> controller = add(local.machine(), QStringLiteral("Map=beside.csv"));
    EXPECT_EQ(textsOf(controller->VariableNames(Variant())), QStringList{QStringLiteral("Mode")});
    publishTagFileFolder(QString());
    EXPECT_TRUE(refusal(local.machine(), QStringLiteral("Map=beside.csv"))
                    .startsWith(QStringLiteral("Register map beside.csv cannot be read")));
}

namespace {

// A plug-in whose connection library is missing still offers its provider and says, at the
// connection, what could not be loaded.
TEST(ModbusConnectionLibrary, MissingLibraryRefusesTheConnectionSayingSo)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("libquormodbus.so"));
    ASSERT_TRUE(QFile::copy(modbusPluginPath(), copy));
    const ScopedEnv engineVariable("QUOR_ENGINE", copy);
    QString reason;
    const std::shared_ptr<IEngine> engine = CreateEngine(&reason);
    ASSERT_NE(engine, nullptr) << reason.toStdString();
    const std::shared_ptr<IWorkspace> workspace = engine->Workspaces()->Item(0);
    EXPECT_EQ(textsOf(workspace->ProviderNames(Variant())),
              (QStringList{QStringLiteral("QuorProv.ModbusTCP"), QStringLiteral("QuorProv.ModbusRTU")}));
    try {
        workspace->AddController(QStringLiteral("P"), QStringLiteral("QuorProv.ModbusTCP"),
                                 QStringLiteral("127.0.0.1"), QStringLiteral("Map=m.csv"));
        ADD_FAILURE() << "the connection was made";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot load the Modbus connection library: ")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(dir.filePath(QStringLiteral("modbus/libquormodbus_link.so"))))
            << e.message().toStdString();
    }
}

} // namespace
