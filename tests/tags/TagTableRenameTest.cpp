#include "tests/tags/TagTableFixture.h"

namespace {

using Shown = ScriptedDialogs::Shown;

// A shown window with tags whose names are edited in place.
class TagTableRename : public TagTableFixture
{
protected:
    // The one warning shown since the last call, checked for its icon and button.
    QString onlyWarning()
    {
        const QList<Shown> shown = dialogs.shown();
        const QStringList texts = dialogs.texts();
        dialogs.clear();
        if (shown.size() != 1)
            return QStringLiteral("%1 boxes: %2").arg(shown.size()).arg(texts.join(QLatin1Char('|')));
        EXPECT_EQ(shown.first().icon, MsgIcon::Exclamation);
        EXPECT_EQ(shown.first().buttons, MsgButtons::Ok);
        return shown.first().text;
    }
};

TEST_F(TagTableRename, ANameOfAnotherRowInOtherLetterCaseIsRefusedAndTheOldNameComesBack)
{
    frmMain& w = withTags(3);
    ASSERT_TRUE(edit(2, 1, QStringLiteral("TAG3")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("[TAG3] is a duplicate."));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2", "Tag3"}));
    EXPECT_FALSE(w.changed());

    // Blanks count: a name that differs by one is another name.
    ASSERT_TRUE(edit(2, 1, QStringLiteral("Tag3 ")));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag3 ", "Tag3"}));
    EXPECT_TRUE(w.changed());
}

TEST_F(TagTableRename, EachForbiddenCharacterDrawsItsOwnWarning)
{
    frmMain& w = withTags(2);
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("a\\b"), QStringLiteral("This character \"\\ \" cannot be used as a TagName.")},
        {QStringLiteral("a!b"), QStringLiteral("This character \"! \" cannot be used as a TagName.")},
        {QStringLiteral("a#b"), QStringLiteral("This character \"# \" cannot be used as a TagName.")},
        {QStringLiteral("a$b"), QStringLiteral("This character \"$ \" cannot be used as a TagName.")},
        {QStringLiteral("a:b"), QStringLiteral("This character \": \" cannot be used as a TagName.")},
        {QStringLiteral("a,b"), QStringLiteral("This character \", \" cannot be used as a TagName.")},
    };
    for (const auto& [name, warning] : cases) {
        ASSERT_TRUE(edit(1, 1, name));
        EXPECT_EQ(onlyWarning(), warning) << name.toStdString();
        EXPECT_EQ(grid().TextMatrix(1, 1), QStringLiteral("Tag1")) << name.toStdString();
    }
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableRename, ChecksRunInTheirFixedOrderAndStopAtTheFirstFailure)
{
    withTags(2);
    // "#" comes first in the name, "!" first among the checks.
    ASSERT_TRUE(edit(1, 1, QStringLiteral("A#B!C")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("This character \"! \" cannot be used as a TagName."));
    ASSERT_TRUE(edit(1, 1, QStringLiteral(",:$#!\\")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("This character \"\\ \" cannot be used as a TagName."));

    // Duplicate before characters: a name read from a file may hold a comma.
    grid().setTextMatrix(2, 1, QStringLiteral("a,b"));
    ASSERT_TRUE(edit(1, 1, QStringLiteral("A,B")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("[A,B] is a duplicate."));
    EXPECT_EQ(names(), (QStringList{"Tag1", "a,b"}));
}

TEST_F(TagTableRename, FullStopEqualsBlanksAndOtherLettersAreAccepted)
{
    frmMain& w = withTags(2);
    for (const QString& name : {QStringLiteral("A.B=C"), QStringLiteral("Pump 1"),
                                QStringLiteral("Ventil\u00C4"), QStringLiteral(u"\u6E29\u5EA6")}) {
        ASSERT_TRUE(edit(2, 1, name));
        EXPECT_TRUE(dialogs.shown().isEmpty()) << name.toStdString();
        EXPECT_EQ(grid().TextMatrix(2, 1), name);
    }
    EXPECT_TRUE(w.changed());
}

TEST_F(TagTableRename, OneTagIsNeverADuplicateAndEmptyNamesCollideOnlyWithEachOther)
{
    frmMain& w = withTags(1);
    ASSERT_TRUE(edit(1, 1, QString()));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(names(), (QStringList{""}));

    add(QStringLiteral("V2"));
    ASSERT_TRUE(edit(2, 1, QStringLiteral("x")));
    ASSERT_TRUE(dialogs.shown().isEmpty());
    w.setChanged(false);
    ASSERT_TRUE(edit(2, 1, QString()));
    EXPECT_EQ(onlyWarning(), QStringLiteral("[] is a duplicate."));
    EXPECT_EQ(names(), (QStringList{"", "x"}));
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableRename, OnlyEditsThatStandAndChangeTheTextMarkTheTableChanged)
{
    frmMain& w = withTags(2);
    ASSERT_TRUE(edit(2, 1, QStringLiteral("Tag2")));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(w.changed());

    ASSERT_TRUE(edit(2, 1, QStringLiteral("Pump")));
    EXPECT_TRUE(w.changed());

    // Saved meanwhile; the same text again is no change.
    w.setChanged(false);
    ASSERT_TRUE(edit(2, 1, QStringLiteral("Pump")));
    EXPECT_FALSE(w.changed());
    ASSERT_TRUE(edit(2, 1, QStringLiteral("a$b")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("This character \"$ \" cannot be used as a TagName."));
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableRename, ASecondRefusedEditOfTheSameCellRestoresTheLastAcceptedName)
{
    withTags(2);
    ASSERT_TRUE(edit(2, 1, QStringLiteral("Pump")));
    // The cell is still the entered one: the click below does not enter it again.
    ASSERT_TRUE(edit(2, 1, QStringLiteral("tag1")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("[tag1] is a duplicate."));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Pump"}));

    // Taking the old default name back is no duplicate either.
    ASSERT_TRUE(edit(2, 1, QStringLiteral("Tag2")));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    ASSERT_TRUE(edit(2, 1, QStringLiteral("x:y")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("This character \": \" cannot be used as a TagName."));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2"}));
}

TEST_F(TagTableRename, AnEditFinishedByClickingAnotherCellIsCheckedForItsOwnCell)
{
    withTags(3);
    click(2, 1);
    QTest::keyClick(&grid(), Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    QTest::keyClicks(editor(), QStringLiteral("TAG1"));
    click(3, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(onlyWarning(), QStringLiteral("[TAG1] is a duplicate."));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2", "Tag3"}));
    EXPECT_EQ(window->cmbVars->currentText(), QStringLiteral("V3"));

    // The row now entered is the one checked next.
    ASSERT_TRUE(edit(3, 1, QStringLiteral("tag2")));
    EXPECT_EQ(onlyWarning(), QStringLiteral("[tag2] is a duplicate."));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2", "Tag3"}));
}

TEST_F(TagTableRename, AnEditStillOpenWhenTheWindowClosesIsFinishedBeforeTheSaveQuestion)
{
    frmMain& w = withTags(2);
    const auto typeWithoutEnter = [this](const QString& text) {
        click(2, 1);
        QTest::keyClick(&grid(), Qt::Key_F2);
        ASSERT_NE(editor(), nullptr);
        editor()->selectAll();
        QTest::keyClicks(editor(), text);
    };

    typeWithoutEnter(QStringLiteral("Pump"));
    dialogs.answerNext(MsgAnswer::Cancel);
    EXPECT_FALSE(w.close());
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().first().buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(names(), (QStringList{"Tag1", "Pump"}));
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(editor(), nullptr);

    // A refused name is put back first; then nothing is left to save.
    w.setChanged(false);
    dialogs.clear();
    typeWithoutEnter(QStringLiteral("TAG1"));
    EXPECT_TRUE(w.close());
    EXPECT_EQ(dialogs.texts(), (QStringList{"[TAG1] is a duplicate."}));
    EXPECT_EQ(names(), (QStringList{"Tag1", "Pump"}));
}

TEST_F(TagTableRename, NumberVariableAndOptionColumnsCannotBeEdited)
{
    frmMain& w = withTags(2);
    grid().setTextMatrix(2, 3, QStringLiteral("Conn=1"));
    for (qint32 col : {0, 2, 3}) {
        click(2, col);
        QTest::keyClick(&grid(), Qt::Key_F2);
        EXPECT_EQ(editor(), nullptr) << col;
        QTest::keyClicks(&grid(), QStringLiteral("z"));
        EXPECT_EQ(editor(), nullptr) << col;
        QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {},
                           grid().visualRect(grid().model()->index(1, col)).center());
        EXPECT_EQ(editor(), nullptr) << col;
    }
    EXPECT_EQ((QStringList{grid().TextMatrix(2, 0), grid().TextMatrix(2, 2), grid().TextMatrix(2, 3)}),
              (QStringList{"2", "V2", "Conn=1"}));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(w.changed());
}

TEST_F(TagTableRename, ColumnsAToGTakeAnyTextWithoutChecks)
{
    frmMain& w = withTags(2);
    for (qint32 col = 4; col <= 10; ++col) {
        ASSERT_TRUE(edit(2, col, QStringLiteral("Tag1,!#$:\\")));
        EXPECT_EQ(grid().TextMatrix(2, col), QStringLiteral("Tag1,!#$:\\")) << col;
    }
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(names(), (QStringList{"Tag1", "Tag2"}));

    // An A-to-G edit that leaves the text as it was is no change.
    w.setChanged(false);
    ASSERT_TRUE(edit(1, 4, QString()));
    EXPECT_FALSE(w.changed());
}

} // namespace
