// A server connection that was lost (server restarted, session killed) is opened again
// before the next piece of work; the statement that failed is reported, never run twice.
#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <gtest/gtest.h>

namespace {

class Reconnect : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pg.available())
            GTEST_SKIP() << pg.skipReason().toStdString();
        admin = Ado::Connection::open(pg.connectionString());
        cn = Ado::Connection::open(pg.connectionString());
        cn->executeNonQuery(QStringLiteral("create table t (n integer)"));
    }

    // Ends the session of the connection under test from the server's side.
    void killSession()
    {
        Ado::Recordset rs = cn->execute(QStringLiteral("select pg_backend_pid()"));
        const QString pid = rs.text(0);
        rs.close();
        admin->execute(QStringLiteral("select pg_terminate_backend(") + pid + QLatin1Char(')'));
    }

    int rows()
    {
        Ado::Recordset rs = admin->execute(QStringLiteral("select count(*) from t"));
        return rs.text(0).toInt();
    }

    PgTestDatabase pg;
    Ado::ConnectionPtr admin;
    Ado::ConnectionPtr cn;
};

} // namespace

TEST_F(Reconnect, TheFailingStatementIsReportedAndTheNextOneRunsOnANewSession)
{
    killSession();
    EXPECT_THROW(cn->executeNonQuery(QStringLiteral("insert into t values (1)")), RunError);
    EXPECT_EQ(rows(), 0); // reported, not retried behind the caller's back
    EXPECT_EQ(cn->executeNonQuery(QStringLiteral("insert into t values (2)")), 1);
    EXPECT_EQ(rows(), 1);
    Ado::Recordset rs = cn->execute(QStringLiteral("select n from t"));
    EXPECT_EQ(rs.text(0), "2");
}

TEST_F(Reconnect, NeverInsideATransaction)
{
    cn->beginTrans();
    cn->executeNonQuery(QStringLiteral("insert into t values (1)"));
    killSession();
    // The rest of the transaction fails: its first statement is lost with the session,
    // and nothing reconnects halfway through.
    EXPECT_THROW(cn->executeNonQuery(QStringLiteral("insert into t values (2)")), RunError);
    try {
        cn->rollbackTrans();
    } catch (const RunError &) {
    }
    EXPECT_EQ(rows(), 0);
    // The next transaction starts on a new session and is written whole.
    cn->beginTrans();
    cn->executeNonQuery(QStringLiteral("insert into t values (3)"));
    cn->executeNonQuery(QStringLiteral("insert into t values (4)"));
    cn->commitTrans();
    EXPECT_EQ(rows(), 2);
}
