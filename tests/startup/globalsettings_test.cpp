#include "common/state.h"
#include "data/globalsettings.h"
#include "platform/settingsstore.h"
#include "support/programtree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

void writeBytes(const QString &path, qint64 size)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(size, 'x'));
}

// Start-up settings against a throw-away program tree; globals and the ckHidAmt
// setting are put back afterwards.
class InitGlobalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_userID = User().gsUserID;
        SetLoginName(QString());
        SaveSetting(QStringLiteral("EXE"), QStringLiteral("TOVRAN"), QStringLiteral("ckHidAmt"),
                    QString());
    }
    void TearDown() override
    {
        SetLoginName(QString());
        EditUser().gsUserID = m_userID;
        EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
        EditIni().gsDateSep = QStringLiteral("/");
        EditIni().gsErrFile.clear();
        EditIni().gsLogFile.clear();
    }
    ProgramTree tree;
    QString m_userID;
};

} // namespace

TEST_F(InitGlobalTest, NoSettingsFileGivesTheDefaults)
{
    EditIni().gsCustName = EditIni().gsCorpName = EditIni().gsLogoFile = EditIni().gsAmtFmt =
        QStringLiteral("stale");
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    EditIni().gsDateSep = QStringLiteral("-");
    EditDialect().gsDateQuot = QStringLiteral("TO_DATE");
    InitGlobal();
    EXPECT_EQ(Ini().gsCalendar, QStringLiteral("YYYY/MM/DD"));
    EXPECT_EQ(Ini().gsDateSep, QStringLiteral("/"));
    EXPECT_EQ(Ini().gsCustName, QString());
    EXPECT_EQ(Ini().gsCorpName, QString());
    EXPECT_EQ(Ini().gsLogoFile, QString());
    EXPECT_EQ(Ini().gsAmtFmt, QString());
    EXPECT_EQ(Dialect().gsDateQuot, QStringLiteral("'"));
    EXPECT_EQ(Ini().gsPCName, GetPCName());
    EXPECT_EQ(User().gsUserID, GetLoginName().left(20));
}

TEST_F(InitGlobalTest, PathsBesideTheProgramFolder)
{
    InitGlobal(QStringLiteral("JXPARAM.INI"));
    EXPECT_EQ(Ini().gsIniFile, tree.bin() + QStringLiteral("/../DAT/JXPARAM.INI"));
    EXPECT_EQ(Ini().gsLogFile, tree.bin() + QStringLiteral("/../LOG/TOVRAN.LOG"));
    EXPECT_EQ(Ini().gsErrFile, tree.bin() + QStringLiteral("/../LOG/TOVRAN.ERR"));
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(tree.bin()).canonicalFilePath());
    // They lead to the DAT and LOG folders beside the program's folder.
    EXPECT_EQ(QFileInfo(Ini().gsIniFile).absoluteFilePath(), QDir::cleanPath(tree.iniFile()));

    const QString elsewhere = tree.root() + QStringLiteral("/elsewhere");
    InitGlobal(QStringLiteral("OTHER.INI"), elsewhere);
    EXPECT_EQ(Ini().gsIniFile, elsewhere + QStringLiteral("/OTHER.INI"));
    EXPECT_EQ(Ini().gsLogFile, elsewhere + QStringLiteral("/TOVRAN.LOG"));
    EXPECT_EQ(Ini().gsErrFile, elsewhere + QStringLiteral("/TOVRAN.ERR"));
}

TEST_F(InitGlobalTest, ValuesOfTheParamSection)
{
    tree.writeIni("[PARAM]\r\nCustName=\xE5\x8F\xB0\xE7\x81\xA3\xE9\xA3\x9F\xE5\x93\x81\r\n"
                  "CorpName=NORV\r\nCalendar=CC/MM/DD\r\nDateSep=-\r\nLogoFile=logo.bmp\r\n"
                  "AmtFmt=#,##0.00\r\n");
    InitGlobal();
    EXPECT_EQ(Ini().gsCustName, QStringLiteral("台灣食品"));
    EXPECT_EQ(Ini().gsCorpName, QStringLiteral("NORV"));
    EXPECT_EQ(Ini().gsCalendar, QStringLiteral("CC/MM/DD"));
    EXPECT_EQ(Ini().gsDateSep, QStringLiteral("-"));
    EXPECT_EQ(Ini().gsLogoFile, QStringLiteral("logo.bmp"));
    EXPECT_EQ(Ini().gsAmtFmt, QStringLiteral("#,##0.00"));

    tree.writeIni("[PARAM]\r\nCalendar=\r\nDateSep=\"\"\r\n");
    InitGlobal();
    EXPECT_EQ(Ini().gsCalendar, QStringLiteral("YYYY/MM/DD"));
    EXPECT_EQ(Ini().gsDateSep, QStringLiteral("/"));
}

TEST_F(InitGlobalTest, HiddenAmountsOnlyForAnUpperCaseY)
{
    tree.writeIni("[PARAM]\r\nAmtFmt=#,##0.00\r\n");
    const QString exe = QStringLiteral("EXE"), key = QStringLiteral("ckHidAmt");
    SaveSetting(exe, QStringLiteral("TOVRAN"), key, QStringLiteral("y"));
    InitGlobal();
    EXPECT_EQ(Ini().gsAmtFmt, QStringLiteral("#,##0.00"));
    SaveSetting(exe, QStringLiteral("TOVRAN"), key, QStringLiteral("Y"));
    InitGlobal();
    EXPECT_EQ(Ini().gsAmtFmt, QStringLiteral("#,##0"));
    // The setting is the program's own: another executable name does not see it.
    SetProgramLocation(tree.bin(), QStringLiteral("TOVRAN2"));
    InitGlobal();
    EXPECT_EQ(Ini().gsAmtFmt, QStringLiteral("#,##0.00"));
    SetProgramLocation(tree.bin(), QStringLiteral("TOVRAN"));
}

TEST_F(InitGlobalTest, LoginNameCutToTwentyCharacters)
{
    SetLoginName(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    InitGlobal();
    EXPECT_EQ(User().gsUserID, QStringLiteral("abcdefghijklmnopqrst"));
    SetLoginName(QStringLiteral("王小明王小明王小明王小明王小明王小明王小明"));
    InitGlobal();
    EXPECT_EQ(User().gsUserID, QStringLiteral("王小明王小明王小明王小明王小明王小明王小"));
    SetLoginName(QStringLiteral("DEMO"));
    InitGlobal();
    EXPECT_EQ(User().gsUserID, QStringLiteral("DEMO"));
    SetLoginName(QString());
    EXPECT_FALSE(GetLoginName().isEmpty()); // the system's name is back
}

TEST_F(InitGlobalTest, LogFilesAboveOneHundredKilobytesAreDeleted)
{
    const QString log = tree.log() + QStringLiteral("/TOVRAN.LOG");
    const QString err = tree.log() + QStringLiteral("/TOVRAN.ERR");
    writeBytes(log, 102400);
    writeBytes(err, 102400);
    InitGlobal();
    EXPECT_TRUE(QFile::exists(log));
    EXPECT_TRUE(QFile::exists(err));
    writeBytes(log, 102401);
    InitGlobal();
    EXPECT_FALSE(QFile::exists(log));
    EXPECT_TRUE(QFile::exists(err));
    writeBytes(err, 102401);
    InitGlobal();
    EXPECT_FALSE(QFile::exists(err));
}

TEST_F(InitGlobalTest, SizeChecksWithOtherLimitsAndMissingFiles)
{
    InitGlobal();
    writeBytes(Ini().gsLogFile, 2048);
    ChkLogSize(QStringLiteral("2"));
    EXPECT_TRUE(QFile::exists(Ini().gsLogFile));
    ChkLogSize(QStringLiteral("1KB")); // the leading number counts
    EXPECT_FALSE(QFile::exists(Ini().gsLogFile));
    writeBytes(Ini().gsErrFile, 102401);
    ChkErrSize(QStringLiteral("200"));
    EXPECT_TRUE(QFile::exists(Ini().gsErrFile));
    ChkErrSize();
    EXPECT_FALSE(QFile::exists(Ini().gsErrFile));
    ChkLogSize(); // missing files are no error
    ChkErrSize();
    // A folder in the place of the log is left alone.
    QDir().mkpath(Ini().gsLogFile);
    ChkLogSize(QStringLiteral("0"));
    EXPECT_TRUE(QFileInfo(Ini().gsLogFile).isDir());
}

TEST_F(InitGlobalTest, MissingLogFolderIsNotCreated)
{
    ASSERT_TRUE(QDir(tree.log()).removeRecursively());
    InitGlobal();
    EXPECT_FALSE(QDir(tree.log()).exists());
    EXPECT_EQ(Ini().gsCalendar, QStringLiteral("YYYY/MM/DD"));
}

TEST(DevMode, OnlyTheSwitchTurnsItOn)
{
    const bool before = ChkDevIDE();
    SetDevMode(true);
    EXPECT_TRUE(ChkDevIDE());
    SetDevMode(false);
    EXPECT_FALSE(ChkDevIDE());
    SetDevMode(before);
}
