#include "storage/SettingsFile.h"
#include "storage/clsProfile.h"
#include "tests/storage/ProfileTestFiles.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ProfileTestFiles::readFile;
using ProfileTestFiles::writeFile;

CtrlParameterPtr connection(qint32 type, const QString& controller, const QString& option)
{
    auto record = std::make_shared<clsCtrlParameter>();
    record->m_lConnectType = type;
    record->m_strControllerName = controller;
    record->m_strProviderName = QStringLiteral("P");
    record->m_strOptionVal = option;
    return record;
}

// Everything the file keeps, one text each, so a comparison shows what differs.
QStringList kept(const RememberedSettings& settings)
{
    const auto number = [](const std::optional<int>& value) {
        return value ? QString::number(*value) : QStringLiteral("unset");
    };
    QStringList texts{settings.strLastFile,         settings.strLastFolder,
                      number(settings.place.top),   number(settings.place.left),
                      number(settings.place.width), number(settings.place.height)};
    for (qsizetype i = 1; i <= settings.colRecent.Count(); ++i) {
        const clsCtrlParameter& r = *settings.colRecent.Item(i);
        texts << QString::number(r.m_lConnectType) << r.m_strControllerName << r.m_strProviderName
              << r.m_strMachineName << r.m_strOptionVal;
    }
    return texts;
}

class SettingsFileTest : public ::testing::Test
{
protected:
    SettingsFile::SaveOutcome save(const RememberedSettings& settings)
    {
        clsProfile profile;
        profile.setFileName(m_path);
        return SettingsFile::write(profile, settings);
    }

    QString load(RememberedSettings& settings)
    {
        clsProfile profile;
        profile.setFileName(m_path);
        return SettingsFile::read(profile, settings);
    }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("settings.ini"));
};

TEST_F(SettingsFileTest, WhatIsSavedReadsBackTheSame)
{
    writeFile(m_path, "[Other]\r\nX=1\r\n");
    RememberedSettings saved;
    saved.place = WindowPlace{-600, 1500, 9630, 7110};
    saved.strLastFile = QStringLiteral("/tmp/trailing blank.qts ");
    saved.strLastFolder = QStringLiteral("\"/tmp/quoted\"");
    saved.colRecent.Add(connection(1, QStringLiteral(" PLC1"), QStringLiteral("Server=a,Timeout=3")));
    saved.colRecent.Add(connection(2, QStringLiteral("PLC2"), QStringLiteral("only the first is kept")));
    const SettingsFile::SaveOutcome outcome = save(saved);
    EXPECT_EQ(outcome.failure, QString());
    EXPECT_EQ(outcome.leftOut, QStringList());
    EXPECT_TRUE(readFile(m_path).startsWith("[Setting]\r\nPath=\"/tmp/trailing blank.qts \"\r\n"));

    RememberedSettings read;
    EXPECT_EQ(load(read), QString());
    saved.colRecent.RemoveAt(2);
    EXPECT_EQ(kept(read), kept(saved));
}

// A failure ends the reading where it happened; what came before it stays read.
struct StopCase
{
    const char* name;
    QByteArray file;
    QString reason;
    QStringList read;
};

class SettingsFileStop : public SettingsFileTest, public ::testing::WithParamInterface<StopCase>
{
};

TEST_P(SettingsFileStop, KeepsWhatCameBeforeTheFailure)
{
    writeFile(m_path, GetParam().file);
    RememberedSettings settings;
    EXPECT_EQ(load(settings), GetParam().reason);
    EXPECT_EQ(kept(settings), GetParam().read);
}

const StopCase kStopCases[] = {
    {"FormValueNoNumber",
     "[Setting]\r\nPath=/a.qts\r\n[Form]\r\nTop=1500\r\nLeft=x\r\nWidth=9000\r\nHeight=9000\r\n"
     "[Recent]\r\nType=1\r\nController=C\r\n",
     QStringLiteral(
         "The key \"Left\" of the section [Form] holds \"x\", which is not a window number in twips."),
     {QStringLiteral("/a.qts"), QString(), QStringLiteral("1500"), QStringLiteral("unset"),
      QStringLiteral("unset"), QStringLiteral("unset")}},
    {"RecentTwice",
     "[Recent]\r\nType=2\r\nController=C\r\n[Recent]\r\nType=1\r\nController=c\r\n"
     "[Setting]\r\nPath=/a.qts\r\n",
     QStringLiteral("The connection to \"C\" is remembered twice."),
     {QString(), QString(), QStringLiteral("unset"), QStringLiteral("unset"), QStringLiteral("unset"),
      QStringLiteral("unset"), QStringLiteral("2"), QStringLiteral("C"), QString(), QString(), QString()}},
};

INSTANTIATE_TEST_SUITE_P(Files, SettingsFileStop, ::testing::ValuesIn(kStopCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(SettingsFileTest, PathsNoLineCanHoldAreLeftOutAndTheRestIsSaved)
{
    RememberedSettings saved;
    saved.place = WindowPlace{1500, 1500, 9630, 7110};
    saved.strLastFile = QStringLiteral("/tmp/two\rlines.qts");
    saved.strLastFolder = QStringLiteral("/tmp/a") + QChar(u'\0') + QStringLiteral("b");
    saved.colRecent.Add(connection(1, QStringLiteral("PLC1"), QString()));
    const SettingsFile::SaveOutcome outcome = save(saved);
    EXPECT_EQ(outcome.failure, QString());
    EXPECT_EQ(
        outcome.leftOut,
        (QStringList{QStringLiteral("The path of the current file \"/tmp/two\rlines.qts\" holds a line "
                                    "break, which the setting file cannot keep."),
                     QStringLiteral("The last folder \"") + saved.strLastFolder +
                         QStringLiteral("\" holds a NUL character, which the setting file cannot keep.")}));

    RememberedSettings read;
    EXPECT_EQ(load(read), QString());
    saved.strLastFile.clear();
    saved.strLastFolder.clear();
    EXPECT_EQ(kept(read), kept(saved));
}

// The live values' view is written beside the path only where it differs from a first run's,
// and a value that does not read leaves the view as it was (the interval held to its range).
TEST_F(SettingsFileTest, TheLiveValuesViewIsKeptBesideThePathOnlyWhenChanged)
{
    RememberedSettings saved;
    saved.strLastFile = QStringLiteral("/a.qts");
    ASSERT_EQ(save(saved).failure, QString());
    EXPECT_EQ(readFile(m_path), QByteArray("[Setting]\r\nPath=/a.qts\r\n"));

    saved.bLiveValues = true;
    saved.lRefreshIntervalMs = 250;
    ASSERT_EQ(save(saved).failure, QString());
    EXPECT_EQ(readFile(m_path),
              QByteArray("[Setting]\r\nPath=/a.qts\r\nLiveValues=1\r\nRefreshInterval=250\r\n"));
    RememberedSettings read;
    EXPECT_EQ(load(read), QString());
    EXPECT_TRUE(read.bLiveValues);
    EXPECT_EQ(read.lRefreshIntervalMs, 250);

    writeFile(m_path, "[Setting]\r\nLiveValues=yes\r\nRefreshInterval=90000\r\n");
    RememberedSettings odd;
    odd.bLiveValues = true;
    EXPECT_EQ(load(odd), QString());
    EXPECT_TRUE(odd.bLiveValues);
    EXPECT_EQ(odd.lRefreshIntervalMs, 60000);
}

} // namespace
