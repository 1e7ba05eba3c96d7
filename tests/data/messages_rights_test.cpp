#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"
#include "data/messages.h"
#include "data/rights.h"
#include "platform/settingsstore.h"
#include "support/modal.h"
#include "support/programtree.h"
#include "support/testdatabase.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QString handOver(const char *key)
{
    return GetSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QLatin1String(key),
                      QStringLiteral("(absent)"));
}

void writeHandOver(const QString &menuCntStr, const QString &group, const QString &user)
{
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("JXMENUCNTSTR"),
                menuCntStr);
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("GrpID"), group);
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("UserID"), user);
}

class Messages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EditIni().gsIniFile = tree.iniFile();
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
    }
    void TearDown() override { EditIni().gsIniFile.clear(); }
    ProgramTree tree;
};

} // namespace

TEST_F(Messages, LookupsFillThePlaceholdersInOrder)
{
    const QString file = tree.bin() + QStringLiteral("/JXMSG.MDB");
    BuildMessagesDatabase(file);
    {
        auto conn = Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file);
        conn->executeNonQuery(QStringLiteral(
            "INSERT INTO Msg (MsgID, MsgText) VALUES ('T1', '%%1-%%1-%%2'), ('T3', '%%3%%2%%1'), "
            "('TNULL', NULL)"));
    }
    ASSERT_TRUE(InitMsgDB());
    EXPECT_EQ(LocalMsg(QStringLiteral("NODATA")), "查無資料!");
    EXPECT_EQ(LocalMsg(QStringLiteral("ProgStopRun")), "程式停止執行!");
    EXPECT_EQ(LocalMsg(QStringLiteral("NoSuchId")), "NoSuchId");
    EXPECT_EQ(LocalMsg(QStringLiteral("NoSuchId %%1"), QStringLiteral("a")), "NoSuchId %%1");
    EXPECT_EQ(LocalMsg(QStringLiteral("T1"), QStringLiteral("a")), "a-a-%%2");
    EXPECT_EQ(LocalMsg(QStringLiteral("T1"), QStringLiteral("a"), QStringLiteral("b")), "a-a-b");
    EXPECT_EQ(LocalMsg(QStringLiteral("T1"), std::nullopt, QStringLiteral("b")), "%%1-%%1-%%2");
    EXPECT_EQ(
        LocalMsg(QStringLiteral("T3"), QStringLiteral("1"), std::nullopt, QStringLiteral("3")),
        "%%3%%21");
    EXPECT_EQ(
        JXMSG(QStringLiteral("T3"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")),
        "321");
    EXPECT_EQ(LocalMsg(QStringLiteral("TNULL")), "");
    EXPECT_EQ(LocalMsg(QStringLiteral("x'; DROP TABLE Msg; --")), "x'; DROP TABLE Msg; --");
    EXPECT_EQ(JXMSG(QStringLiteral("Connect_JXMENU_Fail")), "無法連線到主選單資料庫!");
}

TEST_F(Messages, TheSettingsFileNamesTheFile)
{
    BuildMessagesDatabase(tree.bin() + QStringLiteral("/OTHER.MDB"));
    tree.writeIni("[PARAM]\nJXMSG=OTHER.MDB\n");
    ASSERT_TRUE(InitMsgDB());
    EXPECT_EQ(LocalMsg(QStringLiteral("NODATA")), "查無資料!");
}

TEST_F(Messages, AMissingFileIsAnnouncedOnceAndLookupsGiveEmptyText)
{
    const auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    EXPECT_FALSE(InitMsgDB());
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "Error Open MSGDB:" + tree.bin() + "/JXMSG.MDB");
    EXPECT_EQ(box->icon, QMessageBox::Information);
    EXPECT_EQ(LocalMsg(QStringLiteral("NODATA")), "");
    EXPECT_EQ(JXMSG(QStringLiteral("NODATA")), "");
    const QByteArray err = tree.readFile(Ini().gsErrFile);
    EXPECT_TRUE(err.contains("(LocalMsg)"));
    EXPECT_TRUE(err.contains("(JXMSG)"));
}

TEST_F(Messages, AFolderIsNoMessagesFile)
{
    QDir(tree.bin()).mkpath(QStringLiteral("JXMSG.MDB"));
    const auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    EXPECT_FALSE(InitMsgDB());
    EXPECT_TRUE(box->shown);
}

namespace {

class Rights : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        menu = std::make_unique<TestDatabase>(GetParam(), QStringLiteral("menu.db"));
        if (!menu->available())
            GTEST_SKIP() << menu->skipReason().toStdString();
        EditIni().gsIniFile = tree.iniFile();
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
        BuildMessagesDatabase(tree.bin() + QStringLiteral("/JXMSG.MDB"));
        ASSERT_TRUE(InitMsgDB());
        menu->applySchema(QStringLiteral("menu"));
        auto conn = menu->open();
        conn->executeNonQuery(
            QStringLiteral("INSERT INTO JX_User (UserID) VALUES ('DEMO'), ('O''Brien')"));
        conn->executeNonQuery(QStringLiteral(
            "INSERT INTO JX_Right (GrpID, ProgID, RFlag, AFlag, QFlag, UFlag, DFlag, PFlag) VALUES "
            "('ADMIN', 'TOVRAN', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y'), "
            "('PRN', 'TOVRAN', 'Y', 'Y', 'Y', 'y', 'Y', 'N'), "
            "('NORUN', 'TOVRAN', 'N', 'Y', 'Y', 'Y', 'Y', 'Y'), "
            "('NULLS', 'TOVRAN', NULL, NULL, NULL, NULL, NULL, NULL), "
            "('G''1', 'TOVRAN', '', 'Y', 'Y', 'Y', 'Y', 'Y'), "
            "('ADMIN', 'OTHER', 'N', 'N', 'N', 'N', 'N', 'N')"));
        for (const char *name : {"cmdAddnew", "cmdQuery", "cmdBrowse", "cmdUpdate", "cmdDelete",
                                 "cmdPrint", "cmdPrintByMistra(0)"}) {
            auto *b = new QPushButton(&form);
            b->setObjectName(QLatin1String(name));
        }
    }
    void TearDown() override { EditIni().gsIniFile.clear(); }

    QStringList hidden() const
    {
        QStringList out;
        for (auto *b : form.findChildren<QPushButton *>())
            if (b->isHidden())
                out.append(b->objectName());
        out.sort();
        return out;
    }
    bool check(const QString &group, const QString &user, QString &errMsg)
    {
        writeHandOver(menu->connectionString(), group, user);
        return SetRight(QStringLiteral("TOVRAN"), errMsg, &form);
    }

    ProgramTree tree;
    std::unique_ptr<TestDatabase> menu;
    QWidget form;
};

} // namespace

TEST_P(Rights, AFullRightHidesNothingAndUsesUpTheHandOver)
{
    QString errMsg = QStringLiteral("old");
    EXPECT_TRUE(check(QStringLiteral("ADMIN"), QStringLiteral("DEMO"), errMsg));
    EXPECT_EQ(errMsg, "");
    EXPECT_EQ(hidden(), QStringList());
    EXPECT_EQ(User().gsUserID, "DEMO");
    EXPECT_EQ(User().gsGrpID, "ADMIN");
    EXPECT_EQ(User().gsMenuCntStr, menu->connectionString());
    EXPECT_EQ(handOver("JXMENUCNTSTR"), "");
    EXPECT_EQ(handOver("GrpID"), "");
    EXPECT_EQ(handOver("UserID"), "");
}

TEST_P(Rights, MissingFlagsHideTheirButtonsOnly)
{
    QString errMsg;
    EXPECT_TRUE(check(QStringLiteral("PRN"), QStringLiteral("DEMO"), errMsg));
    // "y" is not "Y"; the other print buttons are not the rights check's business.
    EXPECT_EQ(hidden(), QStringList({QStringLiteral("cmdPrint"), QStringLiteral("cmdUpdate")}));
}

TEST_P(Rights, NullFlagsRunButHideEveryButton)
{
    QString errMsg;
    EXPECT_TRUE(check(QStringLiteral("NULLS"), QStringLiteral("DEMO"), errMsg));
    EXPECT_EQ(hidden(), QStringList({"cmdAddnew", "cmdBrowse", "cmdDelete", "cmdPrint", "cmdQuery",
                                     "cmdUpdate"}));
}

TEST_P(Rights, RefusalsLeaveTheReason)
{
    QString errMsg;
    EXPECT_FALSE(check(QStringLiteral("NORUN"), QStringLiteral("DEMO"), errMsg));
    EXPECT_EQ(errMsg, "您所屬的群組沒有執行本程式的權限!");
    EXPECT_FALSE(check(QStringLiteral("ADMIN"), QStringLiteral("NOBODY"), errMsg));
    EXPECT_EQ(errMsg, "主選單資料庫中找不到您的使用者資料!");
    EXPECT_FALSE(check(QStringLiteral("NONE"), QStringLiteral("DEMO"), errMsg));
    EXPECT_EQ(errMsg, "Select * from JX_Right  Where GrpID = 'NONE' And ProgID = 'TOVRAN'");
    EXPECT_EQ(hidden(), QStringList());
}

TEST_P(Rights, QuotesInIdsAreDoubled)
{
    QString errMsg;
    EXPECT_TRUE(check(QStringLiteral("G'1"), QStringLiteral("O'Brien"), errMsg))
        << errMsg.toStdString();
    EXPECT_EQ(User().gsUserID, "O'Brien");
}

TEST_P(Rights, AnUnreachableMenuDatabaseIsShownWithoutItsPassword)
{
    writeHandOver(QStringLiteral("Provider=PostgreSQL;Data Source=127.0.0.1;Port=1;Location=m;"
                                 "User ID=u;Password=menu-secret"),
                  QStringLiteral("ADMIN"), QStringLiteral("DEMO"));
    const auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    EXPECT_FALSE(SetRight(QStringLiteral("TOVRAN"), gvMsg, &form));
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->icon, QMessageBox::Critical);
    EXPECT_EQ(box->text, "無法連線到主選單資料庫!\r\nProvider=PostgreSQL;Data Source=127.0.0.1;"
                         "Port=1;Location=m;User ID=u;Password=****");
    EXPECT_EQ(gvMsg, box->text);
    EXPECT_FALSE(box->text.contains(QLatin1String("menu-secret")));
    EXPECT_FALSE(tree.readFile(Ini().gsErrFile).contains("menu-secret"));
    // The refused hand-over is used up as well: the next check has nothing to go on.
    EXPECT_EQ(handOver("JXMENUCNTSTR"), "");
}

TEST_P(Rights, DevelopmentModeSkipsTheCheck)
{
    writeHandOver(QStringLiteral("kept"), QStringLiteral("G"), QStringLiteral("U"));
    SetDevMode(true);
    QString errMsg;
    const bool ok = SetRight(QStringLiteral("TOVRAN"), errMsg, &form);
    SetDevMode(false);
    EXPECT_TRUE(ok);
    EXPECT_EQ(User().gsUserID, "VURUD");
    EXPECT_EQ(User().gsGrpID, "VURUD");
    EXPECT_EQ(User().gsMenuCntStr, "kept");
    EXPECT_EQ(handOver("UserID"), "U");
    EXPECT_EQ(hidden(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Backends, Rights,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL, Backend::Odbc),
                         [](const auto &info) { return BackendName(info.param); });
