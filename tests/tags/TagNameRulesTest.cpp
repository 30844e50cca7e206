#include "tags/TagNameRules.h"
#include "tags/TagGridModel.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<TagGridModel> tableOf(const QStringList& names)
{
    auto table = std::make_unique<TagGridModel>(5);
    for (qsizetype i = 0; i < names.size(); ++i)
        table->AddItem(QString::number(i + 1) + u'\t' + names.at(i));
    return table;
}

TEST(TagNameRules, ForbiddenCharactersInTestOrder)
{
    EXPECT_EQ(forbiddenTagNameCharacters(), (QStringList{"\\", "!", "#", "$", ":", ","}));
    for (const QString& ch : forbiddenTagNameCharacters())
        EXPECT_EQ(firstForbiddenCharacter(QStringLiteral("ab") + ch + QStringLiteral("cd")), ch);
    // The table's order decides, not the name's.
    EXPECT_EQ(firstForbiddenCharacter(QStringLiteral("a#b!c")), "!");
    EXPECT_EQ(firstForbiddenCharacter(QStringLiteral("a,b\\c")), "\\");
    for (const char* allowed : {"a.b", "a=b", "a b", "", "Tag/1"})
        EXPECT_EQ(firstForbiddenCharacter(QString::fromLatin1(allowed)), "") << allowed;
    EXPECT_EQ(firstForbiddenCharacter(QStringLiteral(u"\u00E4\u30BF\u30B0")), "");
}

TEST(TagNameRules, Messages)
{
    EXPECT_EQ(duplicateTagNameMessage(QStringLiteral("Tag1")), "[Tag1] is a duplicate.");
    EXPECT_EQ(duplicateTagNameMessage(QString()), "[] is a duplicate.");
    EXPECT_EQ(forbiddenCharacterMessage(QStringLiteral("$")),
              "This character \"$ \" cannot be used as a TagName.");
    EXPECT_EQ(forbiddenCharacterMessage(QStringLiteral("\\")),
              "This character \"\\ \" cannot be used as a TagName.");
}

TEST(TagNameRules, DuplicatesIgnoreCaseButNotBlanks)
{
    const auto two = tableOf({"Pump", "PUMP"});
    EXPECT_TRUE(isDuplicateTagName(*two, 2, 1));
    EXPECT_TRUE(isDuplicateTagName(*two, 1, 1));

    const auto blanks = tableOf({"Pump", "Pump ", " Pump", "Pu mp"});
    for (qint32 row = 1; row <= 4; ++row)
        EXPECT_FALSE(isDuplicateTagName(*blanks, row, 1)) << row;

    // A row's own name does not count; only other rows' names do.
    const auto three = tableOf({"A", "B", "C"});
    EXPECT_FALSE(isDuplicateTagName(*three, 2, 1));
    EXPECT_TRUE(isDuplicateTagName(*tableOf({"A", "", ""}), 3, 1));
    EXPECT_THROW(isDuplicateTagName(*three, 4, 1), GridError);
}

TEST(TagNameRules, OneDataRowIsNeverADuplicate)
{
    // Nothing is even read: a cell outside the table does not matter.
    EXPECT_FALSE(isDuplicateTagName(*tableOf({"A"}), 7, 1));
    EXPECT_FALSE(isDuplicateTagName(*tableOf({}), 1, 1));
}

} // namespace
