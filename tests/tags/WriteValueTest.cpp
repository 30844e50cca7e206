#include "app/WriteValueDialog.h"
#include "tests/tags/LiveValuesFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// V1 can be written, V2 only read.
class WriteValue : public LiveValuesFixture
{
protected:
    frmMain& openWith()
    {
        frmMain& w = connectedWith(2);
        (*values)[QStringLiteral("V1")].writable = true;
        return w;
    }

    WriteValueDialog* openDialogAt(qint32 row)
    {
        click(row, 1);
        WAIT_TRUE(window->mnuEditWriteValue->isEnabled());
        window->mnuEditWriteValue->trigger();
        return window->findChild<WriteValueDialog*>();
    }
};

TEST_F(WriteValue, IsOfferedOnlyForAVariableThatCanBeWritten)
{
    frmMain& w = openWith();
    click(2, 1);
    WAIT_TRUE(values->describes.contains(QStringList{QStringLiteral("V2")}));
    QTest::qWait(20);
    EXPECT_FALSE(w.mnuEditWriteValue->isEnabled());
    w.mnuEditWriteValue->trigger();
    EXPECT_EQ(w.findChild<WriteValueDialog*>(), nullptr);
    click(1, 1);
    WAIT_TRUE(w.mnuEditWriteValue->isEnabled());
    // Nothing can be written without a connection.
    QTest::mouseClick(w.chkConnQUOR, Qt::LeftButton);
    waitForEngine();
    EXPECT_FALSE(w.mnuEditWriteValue->isEnabled());
    EXPECT_TRUE(values->writes.isEmpty());
}

// The field takes only values of the variable's type; No writes nothing, Yes writes and shows
// what the device reads back. The tag table and its file know nothing of it.
TEST_F(WriteValue, AConfirmedWriteReadsBackAndNoWritesNothing)
{
    frmMain& w = openWith();
    WriteValueDialog* dialog = openDialogAt(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->lblVariable->text(), QStringLiteral("V1"));
    EXPECT_EQ(dialog->lblType->text(), QStringLiteral("int16"));
    WAIT_EQ(dialog->lblValue->text(), QStringLiteral("1"));
    QTest::keyClicks(dialog->txtNewValue, QStringLiteral("x7"));
    EXPECT_EQ(dialog->txtNewValue->text(), QStringLiteral("7"));
    EXPECT_TRUE(dialog->cmdWrite->isEnabled());

    dialogs.answerNext(MsgAnswer::No);
    QTest::mouseClick(dialog->cmdWrite, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().text, QStringLiteral("Write 7 to V1 on Line1?"));
    EXPECT_EQ(dialogs.shown().first().icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::YesNoDefaultNo);
    QTest::qWait(20);
    EXPECT_TRUE(values->writes.isEmpty());

    dialogs.answerNext(MsgAnswer::Yes);
    QTest::mouseClick(dialog->cmdWrite, Qt::LeftButton);
    WAIT_EQ(dialog->lblOutcome->text(), QStringLiteral("Written; read back: 7"));
    EXPECT_EQ(values->writes, QStringList{QStringLiteral("V1=7")});
    EXPECT_EQ(dialog->lblValue->text(), QStringLiteral("7"));
    EXPECT_EQ(grid().TextMatrix(1, 2), QStringLiteral("V1"));
    EXPECT_FALSE(w.changed());

    // The device may still refuse: its reason is shown.
    (*values)[QStringLiteral("V1")].writable = false;
    dialog->txtNewValue->setText(QStringLiteral("-3"));
    dialogs.answerNext(MsgAnswer::Yes);
    QTest::mouseClick(dialog->cmdWrite, Qt::LeftButton);
    WAIT_EQ(dialog->lblOutcome->text(), QStringLiteral("Not written: read-only"));
    EXPECT_EQ(dialog->lblValue->text(), QStringLiteral("7"));
}

} // namespace
