#include "app/VersionText.h"
#include "tests/support/MainWindowFixture.h"

#include <QAction>

namespace {
class Commands : public MainWindowFixture
{
};
} // namespace

TEST_F(Commands, TitleShowsThePathAfterABlankAndAHyphen)
{
    frmMain& w = loadWindow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor"));
    g_strFilePath = QStringLiteral("/data/line 1.qts");
    w.UpdateTitle();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor -/data/line 1.qts"));
    g_strFilePath.clear();
    w.UpdateTitle();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvo2 QUOR Online Tag Editor"));
}

TEST_F(Commands, VersionBoxReadsOneZeroZeroZero)
{
    frmMain& w = loadWindow();
    w.mnuHelpItem[0]->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().text, QStringLiteral("QuorTagEditor Version : 1.0.0.0"));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Information);
    EXPECT_EQ(VersionText(2, 13, 7), QStringLiteral("QuorTagEditor Version : 2.13.0.7"));
}
