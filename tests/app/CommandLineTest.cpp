#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Split
{
    qint16 count;
    QStringList parts;
};

Split split(const QString& text, int lower, int upper)
{
    ArgumentSlots args(lower, upper);
    const qint16 count = SplitCommandLine(text, args);
    QStringList parts;
    for (int i = lower; i <= upper; ++i)
        parts.append(args[i]);
    return {count, parts};
}

} // namespace

TEST(SplitCommandLine, FillsSeveralSlotsAndCountsThem)
{
    const Split s = split(QStringLiteral("  one\t\"two three\" fo\"ur  "), 1, 3);
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.parts,
              (QStringList{QStringLiteral("one"), QStringLiteral("two three"), QStringLiteral("fo\"ur")}));
}

TEST(SplitCommandLine, EmptyOrBlankTextFindsNothing)
{
    EXPECT_EQ(split(QString(), 1, 1).count, 0);
    EXPECT_EQ(split(QStringLiteral(" \t  "), 1, 1).count, 0);
    EXPECT_EQ(split(QStringLiteral(" \t  "), 1, 1).parts.first(), QString());
}

TEST(SplitCommandLine, StopsAtTheUpperBoundAndKeepsLaterArgumentsUnread)
{
    const Split s = split(QStringLiteral("BRAKKA C:\\tags\\a.qts"), 1, 1);
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.parts.first(), QStringLiteral("BRAKKA"));
}

TEST(SplitCommandLine, UnterminatedQuoteRunsToTheEnd)
{
    const Split s = split(QStringLiteral("\"a b"), 1, 2);
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.parts.first(), QStringLiteral("a b"));
}

TEST(SplitCommandLine, EmptyQuotedArgumentCounts)
{
    const Split s = split(QStringLiteral("\"\" x"), 1, 2);
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.parts, (QStringList{QString(), QStringLiteral("x")}));
}

TEST(SplitCommandLine, AppendsToWhatTheSlotsHoldAndHonoursTheLowerBound)
{
    ArgumentSlots args(3, 4);
    args[3] = QStringLiteral("pre-");
    args[4] = QStringLiteral("kept");
    EXPECT_EQ(SplitCommandLine(QStringLiteral("x"), args), 3);
    EXPECT_EQ(args[3], QStringLiteral("pre-x"));
    EXPECT_EQ(args[4], QStringLiteral("kept"));
}

TEST(SplitCommandLine, TrailingBlankAfterTheLastSlotKeepsTheCount)
{
    // The argument that ends at the upper bound stops the reading in its state.
    EXPECT_EQ(split(QStringLiteral("a b "), 1, 2).count, 2);
    EXPECT_EQ(split(QStringLiteral("a b "), 1, 3).count, 2);
}

TEST(RunMode, SelectedByTheFirstArgumentOnly)
{
    const struct
    {
        const char* text;
        bool brakka;
    } cases[] = {
        {"", false},
        {" \t ", false},
        {"BRAKKA", true},
        {"brakka", true},
        {"bRaKkA", true},
        {"\"BRAKKA\"", true},
        {" \t BRAKKA", true},
        {"BRAKKA /tmp/file.qts", true},
        {"\"BRAKKA\"tail", true},
        {"BRAKKAX", false},
        {"BRAKKA\"", false},
        {"BRA\"KKA", false},
        {"\"BRAKKA x\"", false},
        {"\"\"", false},
        {"/tmp/file.qts", false},
        {"/tmp/file.qts BRAKKA", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsBRAKKAModeArgument(QString::fromUtf8(c.text)), c.brakka) << c.text;
}

TEST(StartFile, AnExistingFileFirstOrAfterBrakkaIsOpenedAnythingElseIsNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("a b.qts"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString missing = dir.filePath(QStringLiteral("missing.qts"));
    const QString brakka = QStringLiteral("BRAKKA");
    const struct
    {
        QStringList arguments;
        QString opened;
    } cases[] = {
        {{}, QString()},
        {{file}, file},
        {{file, QStringLiteral("x")}, file},
        {{brakka, file}, file},
        {{QStringLiteral("brakka"), file}, file},
        {{brakka}, QString()},
        {{QStringLiteral("BRAKKAX"), file}, QString()},
        {{missing}, QString()},
        {{dir.path()}, QString()},
        {{QStringLiteral("x"), file}, QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartFileArgument(c.arguments), c.opened)
            << c.arguments.join(QLatin1Char('|')).toStdString();

    // A relative name is opened by its full path.
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(StartFileArgument({QStringLiteral("a b.qts")}), file);
    QDir::setCurrent(current);
}
