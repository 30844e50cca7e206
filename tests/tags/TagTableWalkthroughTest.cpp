#include "platform/ComboBoxes.h"
#include "tests/tags/TagTableFixture.h"

namespace {

class TagTableWalkthrough : public TagTableFixture
{
};

// Connected through the engine: three tags added from the picker, the second renamed to
// the first one's name in capitals (refused), then to "A.B=C", then the first deleted.
TEST_F(TagTableWalkthrough, AddRenameAndDeleteWhileConnected)
{
    frmMain& w = openWindow(false);
    ASSERT_FALSE(w.cmdAddItem->isEnabled());
    w.cmbCtrl->setEditText(QStringLiteral("Line1"));
    setComboText(w.cmbProvs, QStringLiteral("QuorProv.Sim.Ethernet"));
    QTest::mouseClick(w.chkConnQUOR, Qt::LeftButton);
    waitForEngine();
    ASSERT_TRUE(w.connectedController());
    ASSERT_TRUE(w.cmdAddItem->isEnabled());
    ASSERT_TRUE(dialogs.shown().isEmpty()) << dialogs.texts().join('|').toStdString();

    const int speed = w.cmbVars->findText(QStringLiteral("Speed"));
    ASSERT_GE(speed, 0);
    w.cmbVars->setCurrentIndex(speed);
    // Speed, once tagged, is tagged again only when the user says so.
    dialogs.answerNext(MsgAnswer::Yes);
    dialogs.answerNext(MsgAnswer::Yes);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(w.cmdAddItem, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts().size(), 2);
    dialogs.clear();
    EXPECT_EQ(numbers(), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2", "Tag3"}));
    EXPECT_EQ(column(2), (QStringList{"Speed", "Speed", "Speed"}));

    ASSERT_TRUE(edit(2, 1, QStringLiteral("TAG1")));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().text, QStringLiteral("[TAG1] is a duplicate."));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Exclamation);
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2", "Tag3"}));
    dialogs.clear();

    ASSERT_TRUE(edit(2, 1, QStringLiteral("A.B=C")));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(names(), (QStringList{"Tag1", "A.B=C", "Tag3"}));

    click(1, 1);
    dialogs.answerNext(MsgAnswer::Yes);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().text, QStringLiteral(u"Are you sure want to delete the [Tag1]\uFF1F"));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::YesNo);
    EXPECT_EQ(numbers(), (QStringList{"1", "2"}));
    EXPECT_EQ(names(), (QStringList{"A.B=C", "Tag3"}));
    EXPECT_TRUE(w.changed());
}

} // namespace
