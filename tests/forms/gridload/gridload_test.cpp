#include "common/state.h"
#include "data/adodb.h"
#include "forms/gridload.h"
#include "platform/grid/flexgrid.h"
#include "support/modal.h"
#include "support/programtree.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

// A real SQLite file with a small item table, opened as the shared connection.
class GridLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
        const QString file = tree.dat() + QStringLiteral("/stock.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "gridload");
            db.setDatabaseName(file);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec("CREATE TABLE STK (STKNo varchar(20), STKName varchar(40), "
                               "Qty numeric(12,2), Memo varchar(40))"));
            ASSERT_TRUE(q.exec("INSERT INTO STK VALUES ('A1', '螺絲', 12.5, NULL), "
                               "('A2', 'tab\there', 0, 'x'), ('B1', '逗號,引號\"', -3, '')"));
            db.close();
        }
        QSqlDatabase::removeDatabase("gridload");
        EditConn().gCNT =
            Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file);
    }
    void TearDown() override
    {
        EditConn().gCNT.reset();
        EditIni().gsErrFile.clear();
    }

    QString errorFile() const { return QString::fromUtf8(tree.readFile(Ini().gsErrFile)); }

    ProgramTree tree;
    FlexGrid grid;
};

} // namespace

TEST_F(GridLoad, FGLoadPutsEachFieldInItsOwnCell)
{
    grid.setCols(2);
    grid.addItem(QStringLiteral("old\trow"));
    int count = -1;
    ASSERT_TRUE(FGLoad(&grid, "Select STKNo, STKName, Qty, Memo From STK Order by STKNo", &count));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.cols(), 4);
    EXPECT_EQ(grid.textMatrix(1, 0), "A1");
    EXPECT_EQ(grid.textMatrix(1, 1), "螺絲");
    EXPECT_EQ(grid.textMatrix(1, 2), "12.5");
    EXPECT_EQ(grid.textMatrix(1, 3), ""); // NULL
    // A TAB inside a value stays in its cell; the next field keeps its column.
    EXPECT_EQ(grid.textMatrix(2, 1), "tab\there");
    EXPECT_EQ(grid.textMatrix(2, 2), "0");
    EXPECT_EQ(grid.textMatrix(2, 3), "x");
    EXPECT_EQ(grid.textMatrix(3, 1), "逗號,引號\"");
    EXPECT_EQ(grid.textMatrix(3, 2), "-3");
    EXPECT_EQ(grid.rowData(3).toInt(), 9);
    EXPECT_TRUE(grid.redraw());
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.view()->model()->rowCount(), 3);
}

TEST_F(GridLoad, FGLoadWithoutRecordsKeepsColumnsAndCount)
{
    grid.setCols(5);
    grid.addItem(QStringLiteral("1\t2"));
    int count = 77;
    EXPECT_FALSE(FGLoad(&grid, "Select STKNo From STK Where STKNo = 'none'", &count));
    EXPECT_EQ(count, 77);
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.cols(), 5);
    EXPECT_TRUE(grid.redraw());
}

TEST_F(GridLoad, FGLoadReportsABadStatementWithItsText)
{
    grid.setCols(2);
    grid.addItem(QStringLiteral("old\trow"));
    auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    const QString sql = "Select Nothing From NoSuchTable";
    EXPECT_FALSE(FGLoad(&grid, sql));
    ASSERT_TRUE(box->shown);
    EXPECT_TRUE(box->text.startsWith("處理程序: (FGLoad\r\npvSQL:" + sql + ")\r\n"))
        << box->text.toStdString();
    EXPECT_TRUE(errorFile().contains("pvSQL:" + sql + ")"));
    EXPECT_EQ(grid.rows(), 1); // no data rows
    EXPECT_TRUE(grid.redraw());
}

TEST_F(GridLoad, FGLoadWithoutAConnectionIsReported)
{
    EditConn().gCNT.reset();
    auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    EXPECT_FALSE(FGLoad(&grid, "Select 1"));
    EXPECT_TRUE(box->shown);
    EXPECT_TRUE(grid.redraw());
}

TEST_F(GridLoad, FGLoadRSTWritesFieldNamesAndLeavesTheRecordsetOpen)
{
    grid.setFixedRows(1);
    Ado::Recordset rs = Conn().gCNT->execute("Select STKNo, STKName, Memo From STK Order by STKNo");
    int count = -1;
    ASSERT_TRUE(FGLoadRST(&grid, rs, &count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.textMatrix(0, 0), "STKNo");
    EXPECT_EQ(grid.textMatrix(0, 2), "Memo");
    EXPECT_EQ(grid.textMatrix(2, 1), "tab\there");
    EXPECT_EQ(grid.textMatrix(2, 2), "x");
    EXPECT_EQ(grid.rowData(1).toInt(), 9);
    EXPECT_TRUE(rs.isOpen());
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(grid.redraw());
}

TEST_F(GridLoad, FGLoadRSTOnAClosedOrEmptyRecordsetOnlyTurnsRedrawOn)
{
    grid.setCols(2);
    grid.addItem(QStringLiteral("keep\tme"));
    grid.setRedraw(false);
    Ado::Recordset closed;
    int count = 5;
    EXPECT_FALSE(FGLoadRST(&grid, closed, &count));
    EXPECT_TRUE(grid.redraw());
    Ado::Recordset empty = Conn().gCNT->execute("Select STKNo From STK Where 1 = 0");
    EXPECT_FALSE(FGLoadRST(&grid, empty, &count));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.textMatrix(1, 0), "keep");
}

TEST_F(GridLoad, LoadsManyRows)
{
    Conn().gCNT->executeNonQuery("CREATE TABLE Big (a int, b varchar(10))");
    Conn().gCNT->executeNonQuery("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < 20000) INSERT INTO Big SELECT i, 'v' || i FROM n");
    int count = 0;
    ASSERT_TRUE(FGLoad(&grid, "Select a, b From Big Order by a", &count));
    EXPECT_EQ(count, 20001);
    EXPECT_EQ(grid.textMatrix(20000, 1), "v20000");
}
