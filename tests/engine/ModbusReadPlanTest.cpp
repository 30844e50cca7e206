#include "engine/modbus/ReadPlan.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

// The fewest blocks that read a register map: neighbours merged within the request limits, small
// gaps read through, fences kept off.
namespace {

using namespace modbus;

// Blocks as "holding 0-5: A B", their entries by name.
QStringList blockTexts(const RegisterMap& map, const QList<ReadBlock>& blocks)
{
    QStringList texts;
    for (const ReadBlock& block : blocks) {
        QStringList names;
        for (const qsizetype entry : block.entries)
            names.append(map.at(entry).name);
        texts.append(QStringLiteral("%1 %2-%3: %4")
                         .arg(tableName(block.table))
                         .arg(block.start)
                         .arg(block.start + block.count - 1)
                         .arg(names.join(QLatin1Char(' '))));
    }
    return texts;
}

struct PlanCase
{
    const char* label;
    const char* rows;
    QList<Fence> fences;
    QStringList blocks;
};

class ModbusReadPlan : public ::testing::TestWithParam<PlanCase>
{
};

TEST_P(ModbusReadPlan, ReadsTheMapInTheFewestBlocks)
{
    const PlanCase& c = GetParam();
    const RegisterMap map =
        parseRegisterMap(QByteArray("Name,Table,Address,Type\n") + c.rows, QStringLiteral("plan.csv"));
    QList<qsizetype> wanted;
    // Asked in reverse and with a repeat: the plan sorts by address and reads each entry once.
    for (qsizetype i = map.size() - 1; i >= 0; --i)
        wanted.append(i);
    wanted.append(0);
    EXPECT_EQ(blockTexts(map, planReads(map, wanted, c.fences)), c.blocks);
}

const QModbusDataUnit::RegisterType kHolding = QModbusDataUnit::HoldingRegisters;

INSTANTIATE_TEST_SUITE_P(
    Cases, ModbusReadPlan,
    ::testing::Values(
        PlanCase{"GapsUpTo16RegistersReadThrough",
                 "A,holding,0,float32\nB,holding,18,int16\nC,holding,36,uint16\nD,input,0,int16\n",
                 {},
                 {"input 0-0: D", "holding 0-18: A B", "holding 36-36: C"}},
        PlanCase{"OverlapsAndNeighboursMerge",
                 "A,holding,4,uint32\nB,holding,5,uint16\nC,holding,6,int16\n",
                 {},
                 {"holding 4-6: A B C"}},
        PlanCase{"AtMost125Registers",
                 "A,holding,0,uint16\nB,holding,16,uint16\nC,holding,32,uint16\nD,holding,48,uint16\n"
                 "E,holding,64,uint16\nF,holding,80,uint16\nG,holding,96,uint16\nH,holding,112,uint16\n"
                 "I,holding,123,uint32\nJ,holding,125,uint16\n",
                 {},
                 {"holding 0-124: A B C D E F G H I", "holding 125-125: J"}},
        PlanCase{"BitsReadThroughGapsUpTo256AndAtMost2000",
                 "A,coil,0,bool\nB,coil,257,bool\nC,coil,1999,bool\nD,coil,2000,bool\nE,discrete,5,bool\n",
                 {},
                 {"discrete 5-5: E", "coil 0-257: A B", "coil 1999-2000: C D"}},
        PlanCase{
            "FencesAreNotCrossed",
            "A,holding,0,uint16\nB,holding,2,uint16\nC,holding,4,uint16\nD,holding,5,uint16\nE,holding,6,"
            "uint16\n",
            {Fence{kHolding, 1, 2}, Fence{kHolding, 5, 5}},
            {"holding 0-0: A", "holding 2-4: B C", "holding 5-6: D E"}},
        PlanCase{"AnEntryOnAFenceIsReadAlone",
                 "A,holding,0,uint16\nB,holding,1,uint32\nC,holding,3,uint16\n",
                 {Fence{kHolding, 2, 2}},
                 {"holding 0-0: A", "holding 1-2: B", "holding 3-3: C"}}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.label); });

} // namespace
