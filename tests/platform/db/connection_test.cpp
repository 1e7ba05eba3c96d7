#include "itemtable.h"
#include "platform/db/connection.h"
#include "platform/db/sqlscript.h"
#include "platform/db/transaction.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Ado;

using ConnectionTest = ItemTableTest;

TEST_P(ConnectionTest, ReportsWhatItWasOpenedWith)
{
    EXPECT_TRUE(conn->isOpen());
    EXPECT_EQ(conn->connectionString(), db->connectionString());
    switch (GetParam()) {
    case Backend::SQLite:
        EXPECT_EQ(conn->provider(), "SQLite");
        EXPECT_EQ(conn->dataSource(), db->file());
        EXPECT_EQ(conn->driverName(), "QSQLITE");
        break;
    case Backend::PostgreSQL:
        EXPECT_EQ(conn->provider(), "PostgreSQL OLE DB Provider");
        EXPECT_EQ(conn->dataSource(), PgTestDatabase::host());
        EXPECT_EQ(conn->driverName(), "QPSQL");
        break;
    case Backend::Odbc:
        EXPECT_EQ(conn->provider(), "MSDASQL");
        EXPECT_EQ(conn->dataSource(), PgTestDatabase::host());
        EXPECT_EQ(conn->driverName(), "QODBC");
        break;
    }
    // A second connection to the same database is a separate object.
    auto second = db->open();
    EXPECT_NE(second->database().connectionName(), conn->database().connectionName());
}

TEST_P(ConnectionTest, ValuesReadAsTextByTheOneRule)
{
    conn->executeNonQuery(
        QStringLiteral("INSERT INTO Item VALUES ('A1', '大白菜', 12.5, 3, '2019/12/24 00:00:00')"));
    conn->executeNonQuery(
        QStringLiteral("INSERT INTO Item VALUES ('A2', NULL, -3, 0, '2019/12/24 01:48:26')"));
    conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('A3', '', 0, NULL, NULL)"));
    conn->executeNonQuery(
        QStringLiteral("INSERT INTO Item VALUES ('A4', 'x', 1234567.0625, -7, NULL)"));

    Recordset rs = conn->execute(
        QStringLiteral("Select ItemNo, ItemName, Qty, Cnt, DocDate From Item Order by ItemNo"));
    ASSERT_TRUE(rs.isOpen());
    ASSERT_EQ(rs.fieldCount(), 5);
    // Names compare without regard to case (PostgreSQL hands them back in lower case).
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("ITEMNAME")), 1);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("docdate")), 4);
    EXPECT_EQ(rs.fieldName(0).toLower(), "itemno");

    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(QStringLiteral("itemno")), "A1");
    EXPECT_EQ(rs.text(QStringLiteral("ItemName")), "大白菜");
    EXPECT_EQ(rs.text(QStringLiteral("QTY")), "12.5");
    EXPECT_EQ(rs.number(QStringLiteral("Qty")), 12.5);
    EXPECT_EQ(rs.text(QStringLiteral("Cnt")), "3");
    EXPECT_EQ(rs.text(QStringLiteral("DocDate")), "2019/12/24");
    rs.moveNext();
    EXPECT_EQ(rs.text(QStringLiteral("ItemName")), "");
    EXPECT_TRUE(rs.isNull(QStringLiteral("ItemName")));
    EXPECT_EQ(rs.text(QStringLiteral("Qty")), "-3");
    EXPECT_EQ(rs.text(QStringLiteral("Cnt")), "0");
    EXPECT_EQ(rs.text(QStringLiteral("DocDate")), "2019/12/24 01:48:26");
    rs.moveNext();
    EXPECT_EQ(rs.text(QStringLiteral("Qty")), "0");
    EXPECT_EQ(rs.text(QStringLiteral("Cnt")), "");
    EXPECT_EQ(rs.number(QStringLiteral("Cnt")), 0.0);
    EXPECT_EQ(rs.text(QStringLiteral("DocDate")), "");
    rs.moveNext();
    EXPECT_EQ(rs.text(QStringLiteral("Qty")), "1234567.0625");
    EXPECT_EQ(rs.text(QStringLiteral("Cnt")), "-7");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

TEST_P(ConnectionTest, AggregatesAndExpressionsFollowTheRuleToo)
{
    conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('A1', 'a', 0.1, 1, NULL)"));
    conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('A2', 'b', 0.2, 2, NULL)"));
    Recordset rs = conn->execute(
        QStringLiteral("Select sum(Qty) as SumQty, count(*) as RecCount, max(ItemNo) as MaxNo "
                       "From Item"));
    EXPECT_EQ(rs.text(QStringLiteral("SumQty")), "0.3");
    EXPECT_EQ(rs.text(QStringLiteral("RecCount")), "2");
    EXPECT_EQ(rs.text(QStringLiteral("MaxNo")), "A2");
    // A sum over no rows is NULL: empty text, number 0.
    Recordset none = conn->execute(QStringLiteral("Select sum(Qty) as SumQty From Item Where 1=0"));
    ASSERT_FALSE(none.eof());
    EXPECT_EQ(none.text(QStringLiteral("SumQty")), "");
    EXPECT_EQ(none.number(QStringLiteral("SumQty")), 0.0);
}

TEST_P(ConnectionTest, FailuresThrowTheDatabasesText)
{
    try {
        conn->execute(QStringLiteral("Select * From NoSuchTable"));
        FAIL() << "no error";
    } catch (const RunError &e) {
        EXPECT_EQ(e.number(), RunError::Database);
        EXPECT_TRUE(e.description().contains(QLatin1String("nosuchtable"), Qt::CaseInsensitive))
            << e.description().toStdString();
    }
    Recordset rs = conn->execute(QStringLiteral("Select * From Item"));
    EXPECT_TRUE(rs.eof());
    try {
        rs.text(QStringLiteral("ItemNo"));
        FAIL() << "read past the end";
    } catch (const RunError &e) {
        EXPECT_EQ(e.number(), RunError::Database);
    }
    conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('A1', 'a', 1, 1, NULL)"));
    Recordset one = conn->execute(QStringLiteral("Select * From Item"));
    try {
        one.text(QStringLiteral("NoSuchField"));
        FAIL() << "unknown field";
    } catch (const RunError &e) {
        EXPECT_EQ(e.number(), ItemNotFound);
        EXPECT_TRUE(e.description().contains(QLatin1String("NoSuchField")));
    }
    // A statement through execute gives a closed recordset; its touched rows are counted.
    EXPECT_FALSE(conn->execute(QStringLiteral("UPDATE Item SET Cnt = 2")).isOpen());
    EXPECT_EQ(conn->executeNonQuery(QStringLiteral("UPDATE Item SET Cnt = 3")), 1);
}

TEST_P(ConnectionTest, TransactionScopeKeepsOnlyWhatItCommits)
{
    // A statement that fails inside the scope: the rows written before it go too.
    try {
        Transaction transaction(*conn);
        conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('T1', 'a', 1, 1, NULL)"));
        conn->executeNonQuery(QStringLiteral("INSERT INTO NoSuchTable VALUES (1)"));
        transaction.commit();
        FAIL() << "the insert into a missing table succeeded";
    } catch (const RunError &e) {
        EXPECT_EQ(e.number(), RunError::Database);
    }
    {
        Transaction transaction(*conn);
        conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('T2', 'b', 1, 1, NULL)"));
        transaction.commit();
    }
    {
        Transaction transaction(*conn); // ends without commit
        conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('T3', 'c', 1, 1, NULL)"));
    }
    // The connection takes a new transaction after each scope.
    {
        Transaction transaction(*conn);
        transaction.commit();
    }
    auto other = db->open();
    Recordset rs = other->execute(QStringLiteral("Select ItemNo From Item"));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(0), "T2");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

TEST_P(ConnectionTest, PreparedCommandTakesAnyTextAsItsParameter)
{
    conn->executeNonQuery(
        QStringLiteral("INSERT INTO Item VALUES ('O''Neil', '單引號', 1, 1, NULL)"));
    conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('中文', '中文鍵', 2, 1, NULL)"));
    Command cmd = conn->prepare(QStringLiteral("Select * From Item Where ItemNo = ?"));
    Recordset a = cmd.execute(QStringLiteral("O'Neil"));
    ASSERT_FALSE(a.eof());
    EXPECT_EQ(a.text(QStringLiteral("ItemName")), "單引號");
    Recordset b = cmd.execute(QStringLiteral("中文"));
    ASSERT_FALSE(b.eof());
    EXPECT_EQ(b.text(QStringLiteral("ItemName")), "中文鍵");
    EXPECT_TRUE(cmd.execute(QStringLiteral("x' OR '1'='1")).eof());
}

TEST_P(ConnectionTest, ResultsKeepTheirConnectionAlive)
{
    conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ('K1', 'a', 1, 1, NULL)"));
    Recordset rs = conn->execute(QStringLiteral("Select * From Item"));
    conn.reset();
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(QStringLiteral("ItemNo")), "K1");
    rs.close();
    EXPECT_FALSE(rs.isOpen());
    EXPECT_TRUE(rs.eof());
}

TEST_P(ConnectionTest, SchemaScriptsCreateEveryTableAndTheRecordNumber)
{
    db->applySchema(QStringLiteral("business"));
    db->applySchema(QStringLiteral("menu"));
    for (const char *table :
         {"STOCK", "STK", "SIN", "SOut", "Corp", "xxCODE", "xxPARAM", "JX_User", "JX_Right"})
        EXPECT_NO_THROW(conn->execute(QStringLiteral("Select * From %1").arg(QLatin1String(table))))
            << table;
    const QString lastId = GetParam() == Backend::SQLite
                               ? QStringLiteral(" SELECT last_insert_rowid() AS NewRNo ")
                               : QStringLiteral(" SELECT lastval() AS NewRNo ");
    int previous = 0;
    for (const char *item : {"I1", "I2"}) {
        conn->executeNonQuery(QStringLiteral("INSERT INTO STOCK (DeptNo, StkDate, STKNo, LastQty) "
                                             "VALUES ('A01', '2019/12/31 00:00:00', '%1', 1)")
                                  .arg(QLatin1String(item)));
        Recordset rs = conn->execute(lastId);
        const int rno = rs.text(QStringLiteral("NewRNo")).toInt();
        EXPECT_GT(rno, previous);
        previous = rno;
    }
    // The period key is unique.
    EXPECT_THROW(conn->executeNonQuery(
                     QStringLiteral("INSERT INTO STOCK (DeptNo, StkDate, STKNo) VALUES ('A01', "
                                    "'2019/12/31 00:00:00', 'I1')")),
                 RunError);
    Recordset rs =
        conn->execute(QStringLiteral("Select * From Stock Where RNo = %1").arg(previous));
    EXPECT_EQ(rs.text(QStringLiteral("StkDate")), "2019/12/31");
    EXPECT_EQ(rs.text(QStringLiteral("STKNO")), "I2");
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectionTest,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL, Backend::Odbc),
                         [](const auto &info) { return BackendName(info.param); });

TEST(SqliteConnection, ADateTimeTextOtherwiseReadsAsStored)
{
    TestDatabase db(Backend::SQLite);
    auto conn = db.open();
    Recordset rs = conn->execute(QStringLiteral(
        "Select '2019/12/24 00:00:00' as A, '2019/12/24 00:00:00 ' as B, '2019-12-24 00:00:00' "
        "as C, '2019/12/24' as D"));
    EXPECT_EQ(rs.text(QStringLiteral("A")), "2019/12/24");
    EXPECT_EQ(rs.text(QStringLiteral("B")), "2019/12/24 00:00:00 ");
    EXPECT_EQ(rs.text(QStringLiteral("C")), "2019-12-24 00:00:00");
    EXPECT_EQ(rs.text(QStringLiteral("D")), "2019/12/24");
}

TEST(SqliteConnection, MessagesFileShippedAsJetOpensThroughSqlite)
{
    TestDatabase db(Backend::SQLite, QStringLiteral("JXMSG.MDB"));
    {
        auto conn = db.open();
        conn->executeNonQuery(QStringLiteral("CREATE TABLE Msg (MsgID VARCHAR(30), MsgText TEXT)"));
    }
    auto jet = Connection::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;data source=") +
                                db.file() + QLatin1Char(';'));
    EXPECT_EQ(jet->provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_NO_THROW(jet->execute(QStringLiteral("Select * From Msg")));
}

TEST(PostgresConnection, WrongPasswordAndUnreachableServerFail)
{
    PgTestDatabase pg;
    if (!pg.available())
        GTEST_SKIP() << pg.skipReason().toStdString();
    try {
        Connection::open(pg.connectionString(false) + QStringLiteral(";Password=wrong"));
        FAIL() << "opened with a wrong password";
    } catch (const RunError &e) {
        EXPECT_EQ(e.number(), RunError::Database);
        EXPECT_FALSE(e.description().isEmpty());
    }
    EXPECT_THROW(Connection::open(QStringLiteral(
                     "Provider=PostgreSQL;Data Source=127.0.0.1;Port=1;Location=x;User ID=u")),
                 RunError);
}
