#include "common/state.h"
#include "data/adodb.h"
#include "platform/programend.h"
#include "platform/settingsstore.h"
#include "support/testdatabase.h"

#include <QUuid>
#include <gtest/gtest.h>

// The database password as the suite's menu program stores it, read back at start-up.
namespace {

struct ProgramEnded
{
};

} // namespace

TEST(StoredPassword, AChinesePasswordStoredByTheSuiteLogsIn)
{
    TestDatabase server(Backend::PostgreSQL);
    if (!server.available())
        GTEST_SKIP() << server.skipReason().toStdString();
    SetEndProgramHandler([] { throw ProgramEnded{}; });
    const QString role =
        QStringLiteral("tovran_big5_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    const auto admin = server.open();
    admin->executeNonQuery(QStringLiteral("CREATE ROLE ") + role +
                           QStringLiteral(" LOGIN PASSWORD 'pw中文x'"));
    // The connection as the suite registers it: the user's own name, no password.
    QString base = server.connectionString(false);
    ASSERT_TRUE(base.endsWith(QLatin1String("=") + PgTestDatabase::user()));
    base = base.left(base.size() - PgTestDatabase::user().size()) + role;
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("APID"),
                QStringLiteral("BIG5"));
    SaveSetting(QStringLiteral("JX_KIT"), QStringLiteral("ADOCntStr"), QStringLiteral("BIG5"),
                base);
    // "pw中文x" scrambled with "QB_RUM" over its code page codes, as the menu program
    // stores it.
    SaveSetting(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), QStringLiteral("BIG5"),
                QStringLiteral("!5牛仄-"));
    try {
        ASSERT_TRUE(InitGCNT());
    } catch (const ProgramEnded &) {
        FAIL() << "the connection was refused";
    }
    EXPECT_EQ(Conn().gsDBPwd, "pw中文x");
    EXPECT_EQ(Conn().gCNT->execute(QStringLiteral("Select current_user")).text(0), role);
    EditConn().gCNT.reset();
    admin->executeNonQuery(QStringLiteral("DROP ROLE ") + role);
}
