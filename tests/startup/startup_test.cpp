#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"
#include "data/messages.h"
#include "data/norv.h"
#include "dialogs/frmsure.h"
#include "forms/runwindows.h"
#include "platform/programend.h"
#include "platform/settingsstore.h"
#include "printing/previewwindow.h"
#include "startup/submain.h"
#include "stockwindow/fmtovran.h"
#include "support/modal.h"
#include "support/programtree.h"
#include "support/testdatabase.h"

#include <QAbstractButton>
#include <QPointer>
#include <QUuid>
#include <gtest/gtest.h>

// Start-up as the menu program hands it over: the connection of an application id, the
// hand-over values, the messages database beside the program.
namespace {

struct ProgramEnded
{
};

void save(const char *app, const char *section, const QString &key, const QString &value)
{
    SaveSetting(QLatin1String(app), QLatin1String(section), key, value);
}

void registerConnection(const QString &apid, const QString &cntStr, const QString &password)
{
    save("SYS", "JX", QStringLiteral("APID"), apid);
    save("JX_KIT", "ADOCntStr", apid, cntStr);
    save("JX_KIT", "DBPWD", apid, Encrypt(password, QStringLiteral("QB_RUM")));
}

void handOver(const QString &menuCntStr, const QString &group, const QString &user)
{
    save("SYS", "JX", QStringLiteral("JXMENUCNTSTR"), menuCntStr);
    save("SYS", "JX", QStringLiteral("GrpID"), group);
    save("SYS", "JX", QStringLiteral("UserID"), user);
}

// Answers the next n message boxes with OK, recording each.
std::shared_ptr<QList<TestModal::BoxSeen>> answerBoxes(int n)
{
    auto seen = std::make_shared<QList<TestModal::BoxSeen>>();
    auto step = std::make_shared<std::function<void(int)>>();
    *step = [seen, step](int left) {
        if (left == 0)
            return;
        TestModal::whenModal([seen, step, left](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box)
                return;
            seen->append({true, box->text(), box->windowTitle(), box->icon()});
            (*step)(left - 1);
            box->button(QMessageBox::Ok)->click();
        });
    };
    (*step)(n);
    return seen;
}

class StartUp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetEndProgramHandler([] { throw ProgramEnded{}; });
        tree.writeIni("[PARAM]\nCalendar=CC/MM/DD\n");
        BuildMessagesDatabase(tree.bin() + QStringLiteral("/JXMSG.MDB"));
        business.applySchema(QStringLiteral("business"));
        {
            auto conn = business.open();
            conn->executeNonQuery(QStringLiteral(
                "INSERT INTO Corp (CompNo, compname, CompSName, DeptNo, StockNo) VALUES "
                "('A01', 'NORV 中央廚房', '中央廚房', '01', 1)"));
            conn->executeNonQuery(QStringLiteral(
                "INSERT INTO xxPARAM (ParamID, ParamValue) VALUES ('StockEndDate', ''), "
                "('POSMode', 'N'), ('FontName', '標楷體'), ('UseRcvWork', 'N'), ('UseSOut', 'N'), "
                "('TOVRAN_DeadLine', '0'), ('AvgPriceMethod', 'l')"));
        }
        menu.applySchema(QStringLiteral("menu"));
        {
            auto conn = menu.open();
            conn->executeNonQuery(QStringLiteral("INSERT INTO JX_User (UserID) VALUES ('DEMO')"));
            conn->executeNonQuery(QStringLiteral(
                "INSERT INTO JX_Right (GrpID, ProgID, RFlag, AFlag, QFlag, UFlag, DFlag, PFlag) "
                "VALUES ('ADMIN', 'TOVRAN', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y')"));
        }
        for (const char *key : {"APID", "JXMENUCNTSTR", "GrpID", "UserID"})
            save("SYS", "JX", QLatin1String(key), QString());
    }
    void TearDown() override
    {
        if (gMainForm)
            gMainForm->hide();
        ReleaseInstanceLock();
        SetEndProgramHandler(nullptr);
        EditConn().gCNT.reset();
        EditDialect().gsDBType.clear();
    }

    ProgramTree tree;
    TestDatabase business{Backend::SQLite, QStringLiteral("demo.db")};
    TestDatabase menu{Backend::SQLite, QStringLiteral("menu.db")};
};

} // namespace

TEST_F(StartUp, AFreshHandOverStartsOnceAndASecondStartIsRefused)
{
    registerConnection(QStringLiteral("DEMO"), business.connectionString(), QString());
    handOver(menu.connectionString(), QStringLiteral("ADMIN"), QStringLiteral("DEMO"));
    ASSERT_TRUE(sub_Main());
    ASSERT_NE(gMainForm, nullptr);
    EXPECT_TRUE(gMainForm->isVisible());
    EXPECT_EQ(User().gsUserID, "DEMO");
    EXPECT_EQ(User().gsGrpID, "ADMIN");
    EXPECT_EQ(Dialect().gsDBType, "SQLITE");
    // The empty stored password completed the string.
    EXPECT_EQ(Conn().gsCntStr, business.connectionString() + ";Password=;");
    gMainForm->hide();
    ReleaseInstanceLock();

    // Started again without the menu: the hand-over is used up.
    const auto boxes = answerBoxes(2);
    EXPECT_FALSE(sub_Main());
    ASSERT_EQ(boxes->size(), 2);
    EXPECT_EQ(boxes->at(0).text, "無法連線到主選單資料庫!\r\n");
    EXPECT_EQ(boxes->at(1).text, "無法連線到主選單資料庫!\r\n\r\n程式停止執行!");
    EXPECT_EQ(boxes->at(1).icon, QMessageBox::Critical);
    EXPECT_FALSE(gMainForm->isVisible());
}

TEST_F(StartUp, WindowsMadeOnceGoTogetherAtTheEndAndComeBackWhenAskedFor)
{
    registerConnection(QStringLiteral("DEMO"), business.connectionString(), QString());
    handOver(menu.connectionString(), QStringLiteral("ADMIN"), QStringLiteral("DEMO"));
    ASSERT_TRUE(sub_Main());
    const QPointer<fmTOVRAN> main = gMainForm.data();
    const QPointer<frmSure> sure = &frmSureWindow();
    const QPointer<PreviewWindow> preview = &frmVSPBlank();
    ASSERT_TRUE(main && sure && preview);
    EXPECT_EQ(main->parent(), nullptr); // owned by the run, not by another window

    DeleteRunWindows();
    EXPECT_TRUE(main.isNull());
    EXPECT_TRUE(gMainForm.isNull());
    EXPECT_TRUE(sure.isNull());
    EXPECT_TRUE(preview.isNull());
    // Asked for again, each is made anew rather than handed out deleted.
    EXPECT_EQ(frmSureWindow().objectName(), "frmSure");
    EXPECT_EQ(frmVSPBlank().objectName(), "frmVSPBlank");
}

TEST_F(StartUp, ARefusedRightShowsTheReasonAndStopRun)
{
    registerConnection(QStringLiteral("DEMO"), business.connectionString(), QString());
    handOver(menu.connectionString(), QStringLiteral("ADMIN"), QStringLiteral("NOBODY"));
    const auto boxes = answerBoxes(1);
    EXPECT_FALSE(sub_Main());
    ASSERT_EQ(boxes->size(), 1);
    EXPECT_EQ(boxes->at(0).text, "主選單資料庫中找不到您的使用者資料!\r\n程式停止執行!");
    EXPECT_EQ(boxes->at(0).icon, QMessageBox::Critical);
}

TEST_F(StartUp, AMissingConnectionStringEndsTheProgram)
{
    handOver(menu.connectionString(), QStringLiteral("ADMIN"), QStringLiteral("DEMO"));
    const auto boxes = answerBoxes(1);
    EXPECT_THROW(sub_Main(), ProgramEnded);
    ASSERT_EQ(boxes->size(), 1);
    EXPECT_EQ(boxes->at(0).text, "未設定連線字串!\r\n請系統管理人員檢查主選單系統設定");
    EXPECT_EQ(boxes->at(0).icon, QMessageBox::Critical);
    EXPECT_FALSE(gMainForm->isVisible());
}

TEST_F(StartUp, AnUnreachableServerEndsTheProgramWithoutShowingThePassword)
{
    registerConnection(QStringLiteral("NORV"),
                       QStringLiteral("Provider=PostgreSQL;Data Source=127.0.0.1;Port=1;"
                                      "Location=norv;User ID=jx"),
                       QStringLiteral("s3cret-pw"));
    const auto boxes = answerBoxes(1);
    EXPECT_THROW(sub_Main(), ProgramEnded);
    ASSERT_EQ(boxes->size(), 1);
    EXPECT_EQ(boxes->at(0).text, "連線失敗!\r\nProvider=PostgreSQL;Data Source=127.0.0.1;Port=1;"
                                 "Location=norv;User ID=jx;Password=****;\r\n");
    EXPECT_EQ(boxes->at(0).icon, QMessageBox::Critical);
    EXPECT_EQ(Conn().gsDBPwd, "s3cret-pw");
    const QByteArray err = tree.readFile(Ini().gsErrFile);
    EXPECT_TRUE(err.contains("(ConnectADO)"));
    EXPECT_FALSE(err.contains("s3cret-pw"));
}

TEST_F(StartUp, TheStoredPasswordCompletesAServerConnection)
{
    for (const Backend backend : {Backend::PostgreSQL, Backend::Odbc}) {
        TestDatabase server(backend);
        if (!server.available())
            GTEST_SKIP() << server.skipReason().toStdString();
        EditIni().gsIniFile = tree.iniFile();
        registerConnection(QStringLiteral("PG"), server.connectionString(false), server.password());
        EXPECT_TRUE(InitGCNT());
        ASSERT_TRUE(Conn().gCNT);
        EXPECT_EQ(Dialect().gsDBType, "PG_SQL");
        EXPECT_EQ(Conn().gsCntStr,
                  server.connectionString(false) + ";Password=" + server.password() + ";");
        EditConn().gCNT.reset();

        // A wrong password: the box, the end, and no password on the screen.
        registerConnection(QStringLiteral("PG"), server.connectionString(false),
                           QStringLiteral("wrong-pw-123"));
        const auto boxes = answerBoxes(1);
        EXPECT_THROW(InitGCNT(), ProgramEnded);
        ASSERT_EQ(boxes->size(), 1);
        EXPECT_EQ(boxes->at(0).text,
                  "連線失敗!\r\n" + server.connectionString(false) + ";Password=****;\r\n");
        EXPECT_FALSE(boxes->at(0).text.contains(QLatin1String("wrong-pw-123")));
    }
}

TEST_F(StartUp, PasswordsWithSemicolonsEqualsQuotesAndBlanksLogIn)
{
    for (const Backend backend : {Backend::PostgreSQL, Backend::Odbc}) {
        TestDatabase server(backend);
        if (!server.available())
            GTEST_SKIP() << server.skipReason().toStdString();
        EditIni().gsIniFile = tree.iniFile();
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
        const QString role =
            QStringLiteral("tovran_pw_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        const QString ownUser = PgTestDatabase::user();
        QString base = server.connectionString(false);
        ASSERT_TRUE(base.endsWith(QLatin1String("=") + ownUser));
        base = base.left(base.size() - ownUser.size()) + role;
        EditConn().gCNT = server.open();
        Conn().gCNT->executeNonQuery(QStringLiteral("DROP ROLE IF EXISTS ") + role);
        Conn().gCNT->executeNonQuery(QStringLiteral("CREATE ROLE ") + role +
                                     QStringLiteral(" LOGIN"));
        const auto admin = Conn().gCNT;
        const QStringList passwords = {
            QStringLiteral("se;cret"),         QStringLiteral("a=b;c=d"),
            QStringLiteral("it's \"quoted\""), QStringLiteral(" blanks around "),
            QStringLiteral("'lead;"),          QStringLiteral("\"dq;"),
            QStringLiteral("{brace};}"),       QStringLiteral("密碼 ;= '\" x")};
        for (const QString &pw : passwords) {
            admin->executeNonQuery(
                QStringLiteral("ALTER ROLE %1 PASSWORD '%2'")
                    .arg(role, QString(pw).replace(QLatin1Char('\''), QStringLiteral("''"))));
            registerConnection(QStringLiteral("PG"), base, pw);
            ASSERT_TRUE(InitGCNT()) << pw.toStdString();
            EXPECT_EQ(Conn().gsCntStr,
                      base + ";Password=" + Ado::QuoteConnectionStringValue(pw) + ";");
            EXPECT_EQ(Ado::ConnectionStringItem(Conn().gsCntStr, QStringLiteral("Password")), pw);
            EXPECT_EQ(Conn().gCNT->execute(QStringLiteral("Select current_user")).text(0), role)
                << BackendName(backend) << " " << pw.toStdString();
            EXPECT_EQ(Ado::MaskPassword(Conn().gsCntStr), base + ";Password=****;");
            EditConn().gCNT.reset();

            // One character off: refused, and no part of the password in the box or record.
            registerConnection(QStringLiteral("PG"), base, pw + QStringLiteral(";tail"));
            const auto boxes = answerBoxes(1);
            EXPECT_THROW(InitGCNT(), ProgramEnded);
            ASSERT_EQ(boxes->size(), 1);
            EXPECT_EQ(boxes->at(0).text, "連線失敗!\r\n" + base + ";Password=****;\r\n");
            const QByteArray err = tree.readFile(Ini().gsErrFile);
            EXPECT_TRUE(err.contains("(ConnectADO)"));
            EXPECT_FALSE(err.contains("tail"));
        }
        admin->executeNonQuery(QStringLiteral("DROP ROLE ") + role);
    }
}

TEST_F(StartUp, AConnectionStringWithItsOwnPasswordIsUsedAsItIs)
{
    EditIni().gsIniFile = tree.iniFile();
    registerConnection(QStringLiteral("X"), business.connectionString() + ";PASSWORD=own",
                       QStringLiteral("stored"));
    EXPECT_TRUE(InitGCNT());
    EXPECT_EQ(Conn().gsCntStr, business.connectionString() + ";PASSWORD=own");
    // An application id given by the caller wins over the stored one.
    registerConnection(QStringLiteral("Y"),
                       QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;"
                                      "Data Source=") +
                           business.file(),
                       QStringLiteral("pw"));
    save("SYS", "JX", QStringLiteral("APID"), QStringLiteral("X"));
    EXPECT_TRUE(InitGCNT(QStringLiteral("Y")));
    EXPECT_EQ(Conn().gsCntStr, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + business.file() +
                                   ";Jet OLEDB:Database Password=pw;");
    EXPECT_EQ(Dialect().gsDBType, "ACCESS");
}

TEST_F(StartUp, DevelopmentModeReadsTheSettingsFile)
{
    tree.writeIni("[PARAM]\nGCNT=" + business.connectionString().toUtf8() + "\n");
    SetDevMode(true);
    ASSERT_TRUE(sub_Main());
    EXPECT_EQ(User().gsUserID, "VURUD");
    EXPECT_EQ(Dialect().gsDBType, "SQLITE");
    gMainForm->hide();
    ReleaseInstanceLock();

    tree.writeIni("[PARAM]\nGCNT=Provider=PostgreSQL;Data Source=127.0.0.1;Port=1;PWD=dev-pw\n");
    const auto boxes = answerBoxes(1);
    EXPECT_THROW(sub_Main(), ProgramEnded);
    SetDevMode(false);
    ASSERT_EQ(boxes->size(), 1);
    EXPECT_EQ(boxes->at(0).text, "連線失敗!\r\nProvider=PostgreSQL;Data Source=127.0.0.1;Port=1;"
                                 "PWD=****");
    EXPECT_EQ(boxes->at(0).icon, QMessageBox::NoIcon);
}

TEST_F(StartUp, SuiteSettingsLimitTheDepartmentsOfAllButTheDevelopmentUser)
{
    EditConn().gCNT = business.open();
    SetDBType();
    SaveSetting(QStringLiteral("STK"), QStringLiteral("A1"), QStringLiteral("DEFDEPTNO"),
                QStringLiteral("A01"));
    EditUser().gsUserID = QStringLiteral("DEMO");
    InitNORV();
    EXPECT_EQ(Suite().gvAvgPriceMethod, "L");
    EXPECT_EQ(Suite().gvDeptPrefix, "A01");
    EditUser().gsUserID = QStringLiteral("VURUD");
    InitNORV();
    EXPECT_EQ(Suite().gvDeptPrefix, "");
    SaveSetting(QStringLiteral("STK"), QStringLiteral("A1"), QStringLiteral("DEFDEPTNO"),
                QString());
    EditUser().gsUserID = QStringLiteral("DEMO");
    InitNORV();
    EXPECT_EQ(Suite().gvDeptPrefix, "");
    Conn().gCNT->executeNonQuery(
        QStringLiteral("DELETE FROM xxPARAM WHERE ParamID = 'AvgPriceMethod'"));
    InitNORV();
    EXPECT_EQ(Suite().gvAvgPriceMethod, "");
}

TEST_F(StartUp, AScrambledPasswordSurvivesTheSettingsStoreEvenAsNulCharacters)
{
    EditIni().gsIniFile = tree.iniFile();
    // Characters equal to the key scramble to NUL.
    for (const QString &pw : {QStringLiteral("QB_RUM"), QStringLiteral("QB_RUMQB密碼\\;=\"'")}) {
        registerConnection(QStringLiteral("Z"), business.connectionString(), pw);
        EXPECT_TRUE(InitGCNT());
        EXPECT_EQ(Conn().gsDBPwd, pw);
    }
}
