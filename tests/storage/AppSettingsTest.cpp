#include "app/LayoutRules.h"
#include "storage/clsProfile.h"
#include "tests/storage/ProfileTestFiles.h"
#include "tests/storage/StorageWindowFixture.h"

#include <QDir>
#include <QLocale>
#include <QMenuBar>

namespace {

const QString kFailedToReadSettings = QStringLiteral("Failed to read the setting file.");
const QString kFailedToCreateSettings = QStringLiteral("Failed to create setting file.");

class AppSettings : public StorageWindow
{
protected:
    void TearDown() override
    {
        StorageWindow::TearDown();
        QLocale::setDefault(m_locale);
    }

    QStringList sectionsOfSettings() const
    {
        clsProfile profile;
        profile.setFileName(settingsPath());
        return profile.GetSectNames();
    }

    QString setting(const char* section, const char* key) const
    {
        clsProfile profile;
        profile.setFileName(settingsPath());
        return profile.GetString(QString::fromLatin1(section), QString::fromLatin1(key));
    }

    // The "Form" lines the window's place gives, in the C locale.
    QByteArray formLines() const
    {
        return "[Form]\r\nTop=" + QByteArray::number(pixelsToTwips(window->y())) +
               "\r\nLeft=" + QByteArray::number(pixelsToTwips(window->x())) + "\r\nWidth=" +
               QByteArray::number(pixelsToTwips(window->client->width()) + kFrameAllowanceWidth) +
               "\r\nHeight=" +
               QByteArray::number(pixelsToTwips(window->client->height()) + kFrameAllowanceHeight) + "\r\n";
    }

private:
    QLocale m_locale;
};

} // namespace

TEST_F(AppSettings, FirstStartWithoutAFileChangesNothing)
{
    AppState designedState;
    const frmMain designed(designedState);
    loadWindow();
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(window->size(), designed.size());
    EXPECT_EQ(window->pos(), designed.pos());
    EXPECT_EQ(window->cmbCtrl->count(), 0);
    EXPECT_EQ(window->cmbServer->count(), 0);
    EXPECT_EQ(window->cmbConn->count(), 0);
    EXPECT_FALSE(QFile::exists(settingsPath()));

    // Without a connection and a file only the window's place is kept.
    window->show();
    window->SaveAppSettings();
    EXPECT_EQ(bytesOf(settingsPath()), formLines());
}

TEST_F(AppSettings, SavedFileHoldsSettingFormRecentInThisOrderAndNothingElse)
{
    writeBytes(settingsPath(),
               "[Other]\r\nX=1\r\n[Recent]\r\nType=1\r\nController=Old\r\nProvider=P\r\n"
               "Machine=\r\nOption=\r\n[form]\r\nTop=45000\r\n[Setting]\r\nPath=/none/a.qts\r\n");
    AppState designedState;
    const frmMain designed(designedState);
    loadWindow();
    // "form" is not "Form"; the missing tag file is reported by its reader.
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Failed to read the file.")});
    EXPECT_EQ(window->pos(), designed.pos());
    EXPECT_EQ(window->document().filePath(), QStringLiteral("/none/a.qts"));
    ASSERT_EQ(state.settings.colRecent.Count(), 1);

    window->show();
    connectQuor(QStringLiteral("PLC1"), kSimProvider, QStringLiteral("m1"), QStringLiteral("o1"));
    window->SaveAppSettings();
    EXPECT_EQ(bytesOf(settingsPath()), "[Setting]\r\nPath=/none/a.qts\r\n" + formLines() +
                                           "[Recent]\r\nType=1\r\nController=PLC1\r\n"
                                           "Provider=QuorProv.Sim.Ethernet\r\nMachine=m1\r\nOption=o1\r\n");
}

TEST_F(AppSettings, RememberedTextsComeBackExactly)
{
    loadWindow();
    connectQuor(QStringLiteral("PLC1"));
    clsCtrlParameter& recent = *state.settings.colRecent.Item(1);
    recent.m_strControllerName = QStringLiteral("'Q'");
    recent.m_strMachineName = QStringLiteral(" m ");
    recent.m_strOptionVal = QStringLiteral("\"o\"");
    const clsCtrlParameter saved = recent;
    window->document().setFilePath(appPath(QStringLiteral("trailing blank.qts ")));
    const QString path = window->document().filePath();
    restart();
    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    const clsCtrlParameter& read = *state.settings.colRecent.Item(1);
    EXPECT_EQ((QStringList{read.m_strControllerName, read.m_strProviderName, read.m_strMachineName,
                           read.m_strOptionVal, window->document().filePath()}),
              (QStringList{saved.m_strControllerName, saved.m_strProviderName, saved.m_strMachineName,
                           saved.m_strOptionVal, path}));
}

TEST_F(AppSettings, FormWithoutHeightAppliesWhatItHasThenStops)
{
    writeBytes(settingsPath(),
               "[Form]\r\nTop=1500\r\nLeft=600\r\nWidth=10320\r\n"
               "[Recent]\r\nType=1\r\nController=PLC1\r\nProvider=P\r\nMachine=\r\nOption=\r\n"
               "[Setting]\r\nPath=/none/a.qts\r\n");
    AppState designedState;
    const frmMain designed(designedState);
    loadWindow();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, kFailedToReadSettings);
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.shown().at(0).details,
              QStringLiteral("File: ") + settingsPath() +
                  QStringLiteral("\nThe key \"Height\" is missing from the section [Form]."));
    EXPECT_EQ(window->pos(), QPoint(40, 100));
    window->show();
    EXPECT_EQ(window->client->width(), 680);
    EXPECT_EQ(window->height(), designed.height());
    // Later sections are not read.
    EXPECT_EQ(state.settings.colRecent.Count(), 0);
    EXPECT_EQ(window->cmbCtrl->count(), 0);
    EXPECT_EQ(window->document().filePath(), QString());
}

TEST_F(AppSettings, WindowPlaceAndSizeSurviveARestart)
{
    loadWindow();
    window->show();
    window->move(23, 17);
    window->resize(700, 520);
    const QSize client = window->client->size();
    connectQuor(QStringLiteral("PLC1"));
    const QByteArray form = formLines();

    restart();
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_TRUE(bytesOf(settingsPath()).contains(form));
    window->show();
    EXPECT_EQ(window->pos(), QPoint(23, 17));
    EXPECT_EQ(window->size(), QSize(700, 520));
    EXPECT_EQ(window->client->size(), client);

    // A second round gives the same file.
    const QByteArray bytes = bytesOf(settingsPath());
    restart();
    EXPECT_EQ(bytesOf(settingsPath()), bytes);
}

TEST_F(AppSettings, WindowNumbersFollowTheLocale)
{
    // Arabic digits, and a direction mark before the minus sign that the locale's own reading refuses.
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    loadWindow();
    window->show();
    window->move(-40, 30);
    restart();
    EXPECT_EQ(dialogs.texts(), QStringList());
    const QString left = setting("Form", "Left");
    EXPECT_EQ(left, QLocale().toString(-600));
    EXPECT_NE(left, QStringLiteral("-600"));
    // Read back without complaint, then fitted into the screen.
    EXPECT_EQ(window->pos(), QPoint(0, 30));

    // Decimals and group separators as the locale writes them.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    window.reset();
    writeBytes(settingsPath(), "[Form]\r\nTop=1.500,4\r\nLeft=1.199,6\r\nWidth=9630\r\nHeight=7110\r\n");
    loadWindow();
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(window->pos(), QPoint(80, 100));
}

TEST_F(AppSettings, UnusableWindowNumbersAreReadFailures)
{
    AppState designedState;
    const frmMain designed(designedState);
    for (const char* top : {"", "abc", "nan", "inf", "1e30", "-5e9", "491506"}) {
        SCOPED_TRACE(top);
        window.reset();
        dialogs.clear();
        writeBytes(settingsPath(), QByteArray("[Form]\r\nTop=") + top +
                                       "\r\nLeft=1500\r\nWidth=9000\r\n"
                                       "Height=9000\r\n");
        loadWindow();
        EXPECT_EQ(dialogs.texts(), QStringList{kFailedToReadSettings});
        EXPECT_EQ(window->pos(), designed.pos());
        EXPECT_EQ(window->size(), designed.size());
    }
    // The largest place the window system keeps is taken, then fitted into the screen.
    window.reset();
    dialogs.clear();
    writeBytes(settingsPath(), "[Form]\r\nTop=-491505\r\nLeft=0\r\nWidth=9630\r\nHeight=7110\r\n");
    loadWindow();
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(window->y(), 0);
}

TEST_F(AppSettings, BadRecentRecordsAreReadFailures)
{
    for (const QByteArray& recent :
         {QByteArray("[Recent]\r\nType=\r\nController=A\r\n"),
          QByteArray("[Recent]\r\nType=x\r\nController=A\r\n"),
          // A second record under a name already remembered.
          QByteArray("[Recent]\r\nType=1\r\nController=A\r\n[Recent]\r\nType=2\r\nController=B\r\n")}) {
        SCOPED_TRACE(recent.toStdString());
        window.reset();
        dialogs.clear();
        state.settings.colRecent.Clear();
        writeBytes(settingsPath(), recent + "[Setting]\r\nPath=/none/a.qts\r\n");
        loadWindow();
        EXPECT_EQ(dialogs.texts(), QStringList{kFailedToReadSettings});
        EXPECT_EQ(window->document().filePath(), QString());
    }
    EXPECT_EQ(state.settings.colRecent.Count(), 1);
}

TEST_F(AppSettings, AValueTheStoreRefusesFailsTheSaveAndKeepsTheOldFile)
{
    // A file in a code page that cannot hold the path's characters.
    ProfileTestFiles::ScopedEnvironment environment{{"QUOR_ANSI_CODEPAGE", "CP1252"}};
    const QByteArray old = "[Setting]\r\nLastFolder=/tmp/caf\xE9\r\n"
                           "[Form]\r\nTop=1500\r\nLeft=1500\r\nWidth=9630\r\nHeight=7110\r\n";
    writeBytes(settingsPath(), old);
    loadWindow();
    window->document().setFilePath(QStringLiteral("/tmp/\u65E5\u672C.qts"));
    window->SaveAppSettings();
    EXPECT_EQ(dialogs.texts(), QStringList{kFailedToCreateSettings});
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(bytesOf(settingsPath()), old);
}

TEST_F(AppSettings, APathNoLineCanHoldIsLeftOutAndTheRestIsSaved)
{
    loadWindow();
    connectQuor(QStringLiteral("PLC1"));
    window->document().setFilePath(QStringLiteral("/tmp/two\nlines.qts"));
    window->SaveAppSettings();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().at(0).text, QStringLiteral("A path was left out of the setting file."));
    EXPECT_EQ(dialogs.shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.shown().at(0).details,
              QStringLiteral("File: ") + settingsPath() +
                  QStringLiteral("\nThe path of the current file \"/tmp/two\nlines.qts\" holds a line break, "
                                 "which the setting file cannot keep."));
    EXPECT_EQ(sectionsOfSettings(), (QStringList{QStringLiteral("Form"), QStringLiteral("Recent")}));

    // The next run starts without a file and with the rest of the settings, without a message.
    restart();
    EXPECT_EQ(dialogs.texts(), QStringList());
    EXPECT_EQ(window->document().filePath(), QString());
    ASSERT_EQ(state.settings.colRecent.Count(), 1);
    EXPECT_EQ(state.settings.colRecent.Item(1)->m_strControllerName, QStringLiteral("PLC1"));
}

TEST_F(AppSettings, ASettingsFileThatCannotBeWrittenIsReported)
{
    loadWindow();
    ASSERT_TRUE(QDir().mkdir(settingsPath()));
    window->SaveAppSettings();
    EXPECT_EQ(dialogs.texts(), QStringList{kFailedToCreateSettings});
    // The file's name and the system's reason.
    EXPECT_EQ(dialogs.shown().at(0).details,
              QStringLiteral("File: ") + settingsPath() +
                  QStringLiteral("\nThe file could not be written: Filename refers to a directory"));
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}
