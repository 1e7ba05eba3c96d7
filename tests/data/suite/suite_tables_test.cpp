// The program's statements on the suite's own tables (support/suitetables.h): exactly the
// columns the suite has, none of the project's, no index but the stock record number's key.
// The month is picked, loaded, sorted and filtered, items are added by every price method,
// counts and prices are entered, another workstation's write is seen, and the start-up
// look-ups and the rights check run, all in the real stock window where they have one.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/grid/flexgrid.h"

#include "data/norv.h"
#include "data/rights.h"
#include "platform/db/transaction.h"
#include "platform/settingsstore.h"
#include "stock/monthwatch.h"
#include "support/suitetables.h"

#include <QTest>

using namespace WindowTest;

namespace {

class SuiteTablesTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QString why;
        db = TestDatabase::createSuiteTables(GetParam(), &why);
        ASSERT_TRUE(db) << why.toStdString();
        db->makeShared();
        db->exec(QStringLiteral(
            "insert into Corp (CompNo, compname, CompSName, DeptNo, StockNo) values "
            "('A01', '第一店', '一店', '01', 1);\n"
            "insert into Corp (CompNo, compname, CompSName, DeptNo, StockNo) values "
            "('B02', '第二店', '二店', '02', 2);\n"
            "insert into Corp (CompNo, compname, CompSName, DeptNo, StockNo) values "
            "('C00', '倉外', '倉外', '00', 0);\n"
            "insert into xxCODE (CodeType, Code, Dscp) values ('LTYPE', 'A', '主食');\n"
            "insert into xxCODE (CodeType, Code, Dscp) values ('LTYPE', 'B', '調味');\n"
            "insert into xxCODE (CodeType, Code, Dscp) values ('SLIPTYPE', 'T', '調撥單');\n"));
        param(QStringLiteral("UseSOut"), QStringLiteral("Y"));
        param(QStringLiteral("UseRcvWork"), QStringLiteral("Y"));
        item(QStringLiteral("A1"), QStringLiteral("麵粉"), QStringLiteral("包"), QString(),
             QStringLiteral("1"), QStringLiteral("Y"), QStringLiteral("A"));
        item(QStringLiteral("A2"), QStringLiteral("米"), QStringLiteral("包"), QString(),
             QStringLiteral("1"), QStringLiteral("N"), QStringLiteral("A"));
        item(QStringLiteral("B1"), QStringLiteral("鹽"), QStringLiteral("包"), QString(),
             QStringLiteral("1"), QStringLiteral("Y"), QStringLiteral("B"));
        for (const char *no : {"C1", "C2", "C3", "D1", "D10"})
            item(QLatin1String(no), QStringLiteral("品") + QLatin1String(no));
        a1 = stock(QStringLiteral("2003/01/31"), QStringLiteral("A1"), 1, 0, 0, 2);
        stock(QStringLiteral("2003/01/31"), QStringLiteral("A2"), 1, 0);
        stock(QStringLiteral("2003/01/31"), QStringLiteral("B1"), 1, 0);
        stock(QStringLiteral("2002/12/31"), QStringLiteral("C1"), 4, 0, 4, 10);
        for (const char *no : {"C1", "C2", "C3"}) {
            receipt(no, "2003/01/05", 2, 11);
            receipt(no, "2003/01/20", 1, 14);
        }
        db->exec(QStringLiteral(
                     "insert into SOut (DeptNo, SuppNo, STKNo, SOutDate, OutQty, OutAmt, SlipType) "
                     "values ('B02', 'A01', 'C1', %1, 1, 10, '1');\n")
                     .arg(QuotDate(QStringLiteral("2003/01/10"))));
    }

    void receipt(const char *no, const char *date, double qty, double price) const
    {
        db->exec(QStringLiteral("insert into SIN (DeptNo, SuppNo, STKNo, SINDate, InQty, InAmt, "
                                "RcvQty, inprice, SlipType) values ('A01', '', '%1', %2, %3, %4, "
                                "%3, %5, '1');\n")
                     .arg(QLatin1String(no), QuotDate(QLatin1String(date)))
                     .arg(qty)
                     .arg(qty * price)
                     .arg(price));
    }

    void scan(const QString &number)
    {
        Control<QLineEdit>(*window, "textSTKNo")->setFocus();
        QTest::keyClicks(Control<QLineEdit>(*window, "textSTKNo"), number);
        QTest::keyClick(Control<QLineEdit>(*window, "textSTKNo"), Qt::Key_Return);
        QApplication::processEvents();
    }

    // The rows of the next picker (its first columns joined by "|"), which is left by Esc.
    std::shared_ptr<QStringList> listOfNextPicker(int columns = 2)
    {
        auto rows = std::make_shared<QStringList>();
        TestModal::whenModal([rows, columns](QWidget *w) {
            auto *g = w->findChild<FlexGrid *>(QStringLiteral("fgCode"));
            for (int r = g->fixedRows(); r < g->rows(); ++r) {
                QStringList texts;
                for (int c = 0; c < columns; ++c)
                    texts << g->textMatrix(r, c);
                *rows << texts.join(QLatin1Char('|'));
            }
            QTest::keyClick(g->view(), Qt::Key_Escape);
        });
        return rows;
    }

    QString stkNoOf(const QString &rno) const { return stockField(rno, QStringLiteral("STKNo")); }
    QString rnoOf(const char *no) const
    {
        return db->scalar(
            QStringLiteral("select RNo from STOCK where STKNo = '%1' and DeptNo = 'A01' and "
                           "StkDate = %2")
                .arg(QLatin1String(no), QuotDate(QStringLiteral("2003/01/31"))));
    }

    QString a1;
};

} // namespace

TEST_P(SuiteTablesTest, TheMonthIsPickedLoadedSortedAndFiltered)
{
    start();
    auto rows = listOfNextPicker();
    QTest::mouseDClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::LeftButton);
    EXPECT_EQ(*rows, QStringList({"A01|一店01", "B02|二店02"}));
    Control<QLineEdit>(*window, "txtSTKNoB")->setFocus();
    rows = listOfNextPicker();
    QTest::keyClick(Control<QLineEdit>(*window, "txtSTKNoB"), Qt::Key_F8);
    EXPECT_EQ(rows->size(), 8);
    EXPECT_EQ(rows->value(0), "A1|麵粉");
    Control<QLineEdit>(*window, "txtSINDateB")->setFocus();
    rows = listOfNextPicker();
    QTest::keyClick(Control<QLineEdit>(*window, "txtSINDateB"), Qt::Key_F8);
    EXPECT_EQ(*rows, QStringList({"2003/01/01|2003/01/31", "|2002/12/31"}));
    rows = listOfNextPicker(1);
    QTest::mouseDClick(Control<QLineEdit>(*window, "txtLType"), Qt::LeftButton);
    EXPECT_EQ(*rows, QStringList({"主食", "調味"}));

    // The saved department comes with its name and warehouse.
    SaveSetting(QStringLiteral("STK"), QStringLiteral("A1"), QStringLiteral("DEFDEPTNO"),
                QStringLiteral("A01"));
    start();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "一店01");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtStockNo")->text(), "1");

    Control<QCheckBox>(*window, "chkSortBySTKFlag")->setChecked(true);
    query(QStringLiteral("2003"), QStringLiteral("1"));
    EXPECT_EQ(itemOrder(), QStringList({"A1", "B1", "A2"}));
    const int r = rowOf(QStringLiteral("A1"));
    ASSERT_GE(r, 1);
    EXPECT_EQ(cell(r, fmTOVRAN::ColRNo), a1);
    EXPECT_EQ(cell(r, fmTOVRAN::ColName), "麵粉");
    EXPECT_EQ(cell(r, fmTOVRAN::ColLastQty), "1");
    Control<QLineEdit>(*window, "txtLType")->setText(QStringLiteral("調味"));
    query(QStringLiteral("2003"), QStringLiteral("1"));
    EXPECT_EQ(itemOrder(), QStringList({"B1"}));
    Control<QLineEdit>(*window, "txtLType")->setText(QStringLiteral("A"));
    query(QStringLiteral("2003"), QStringLiteral("1"));
    EXPECT_EQ(itemOrder(), QStringList({"A1", "A2"}));
}

TEST_P(SuiteTablesTest, ItemsAreAddedByEveryPriceMethodAndCountsAndPricesStored)
{
    SaveSetting(QStringLiteral("TOVRAN"), QStringLiteral("Stock"), QStringLiteral("chkAutoCalQty"),
                QStringLiteral("1"));
    start();
    query(QStringLiteral("2003"), QStringLiteral("1"));
    ASSERT_EQ(grid()->rows(), 4);
    // Receipts 2 at 11 and 1 at 14; C1 opens with 4 at 10 and issues 1.
    const struct
    {
        const char *item, *method;
        double avgPrice;
    } added[] = {{"C1", "", 10.86}, {"C2", "S", 12}, {"C3", "L", 14}};
    for (const auto &a : added) {
        EditSuite().gvAvgPriceMethod = QLatin1String(a.method);
        scan(QLatin1String(a.item));
        const QString rno = rnoOf(a.item);
        ASSERT_FALSE(rno.isEmpty()) << a.item;
        EXPECT_EQ(stockNumber(rno, QStringLiteral("AvgPrice")), a.avgPrice) << a.item;
        EXPECT_EQ(stockNumber(rno, QStringLiteral("InQty")), 3) << a.item;
        EXPECT_EQ(stockField(rno, QStringLiteral("UserID")), "TESTER");
        EXPECT_FALSE(stockField(rno, QStringLiteral("FileDate")).isEmpty());
        const int r = rowOf(QLatin1String(a.item));
        ASSERT_GE(r, 1) << a.item;
        EXPECT_EQ(cell(r, fmTOVRAN::ColRNo), rno);
        EXPECT_EQ(grid()->row(), r);
        EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    }
    EXPECT_EQ(stockNumber(rnoOf("C1"), QStringLiteral("STKQty")), 6); // 4 + 3 - 1

    // A number that begins several items: picked from the list.
    auto picked = TestModal::whenModal([](QWidget *w) {
        auto *g = w->findChild<FlexGrid *>(QStringLiteral("fgCode"));
        g->setRow(2);
        w->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    scan(QStringLiteral("D1"));
    ASSERT_TRUE(*picked);
    EXPECT_FALSE(rnoOf("D10").isEmpty());
    EXPECT_TRUE(rnoOf("D1").isEmpty());

    // A count and a price, stamped with the clerk and the database's clock.
    const int r = rowOf(QStringLiteral("A1"));
    ASSERT_TRUE(typeIntoCell(r, fmTOVRAN::ColSTKQty, QStringLiteral("5")));
    EXPECT_EQ(stockNumber(a1, QStringLiteral("STKQty")), 5);
    EXPECT_EQ(stockNumber(a1, QStringLiteral("AdjustQty")), 4);
    EXPECT_EQ(stockField(a1, QStringLiteral("UpdUserID")), "TESTER");
    EXPECT_FALSE(stockField(a1, QStringLiteral("UpdDate")).isEmpty());
    Control<QCheckBox>(*window, "chkHideAvgPrice")->click();
    ASSERT_TRUE(typeIntoCell(r, fmTOVRAN::ColAvgPrice, QStringLiteral("2.5")));
    EXPECT_EQ(stockNumber(a1, QStringLiteral("AvgPrice")), 2.5);
    EXPECT_EQ(stockNumber(a1, QStringLiteral("STKAmt")), 12.5);
}

TEST_P(SuiteTablesTest, AnotherWorkstationsCountShows)
{
    start();
    query(QStringLiteral("2003"), QStringLiteral("1"));
    const int r = rowOf(QStringLiteral("B1"));
    ASSERT_GE(r, 1);
    const QString rno = cell(r, fmTOVRAN::ColRNo);
    const Ado::ConnectionPtr other = db->open();
    {
        Ado::Transaction transaction(*other);
        other->executeNonQuery(QStringLiteral("Update Stock set STKQty = 7, UpdUserID = 'OTHER', "
                                              "UpdDate = ") +
                               Dialect().gsDBDate + QStringLiteral(" Where RNo = ") + rno);
        AnnounceStockWrite(other, rno.toDouble());
        transaction.commit();
    }
    EXPECT_TRUE(TestModal::waitFor([&] { return cell(r, fmTOVRAN::ColSTKQty) == "7"; }, 10000));
    EXPECT_EQ(cell(r, fmTOVRAN::ColUpdUserID), "OTHER");
}

TEST_P(SuiteTablesTest, StartUpLookUpsAndTheRightsCheck)
{
    param(QStringLiteral("AvgPriceMethod"), QStringLiteral("l"));
    InitNORV();
    EXPECT_EQ(Suite().gvAvgPriceMethod, "L");
    QString name;
    EXPECT_TRUE(GetDeptName(QStringLiteral("B02"), name));
    EXPECT_EQ(name, "二店02");
    QString value;
    EXPECT_TRUE(getParamValue(QStringLiteral("UseSOut"), value));
    EXPECT_EQ(value, "Y");

    TestDatabase menu(GetParam(), QStringLiteral("menu.db"));
    menu.exec(SuiteTablesScript(GetParam(), SuiteTables::Menu) +
              QStringLiteral("insert into JX_User (UserID) values ('TESTER');\n"
                             "insert into JX_Right (GrpID, ProgID, RFlag, AFlag, QFlag, UFlag, "
                             "DFlag, PFlag) values ('G1', 'TOVRAN', 'Y', 'Y', 'Y', 'Y', 'Y', "
                             "'N');\n"));
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("JXMENUCNTSTR"),
                menu.connectionString());
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("GrpID"),
                QStringLiteral("G1"));
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("UserID"),
                QStringLiteral("TESTER"));
    QWidget form;
    auto *print = new QPushButton(&form);
    print->setObjectName(QStringLiteral("cmdPrint"));
    QString errMsg;
    EXPECT_TRUE(SetRight(QStringLiteral("TOVRAN"), errMsg, &form)) << errMsg.toStdString();
    EXPECT_TRUE(print->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Databases, SuiteTablesTest,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), kindName);
