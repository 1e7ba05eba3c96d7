// Reaching and adding items in the real stock window: the item-number box (typed like a
// barcode scanner), the pick list, the duplicate guard, the name search, the category pick.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/grid/flexgrid.h"
#include "support/paintcounter.h"

#include <QApplication>

#include "platform/settingsstore.h"

using namespace WindowTest;

namespace {

class Lookup : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (IsSkipped())
            return;
        item("B1", "鹽", "包", "", "1", "N");
        item("A2", "砂糖", "包", "", "1", "Y");
        stock("2003/01/31", "B1", 1, 0);
        stock("2003/01/31", "A2", 1, 0);
    }

    // Types the number into the item box as a scanner does: the keys, then Enter.
    void scan(const QString &number)
    {
        Control<QLineEdit>(*window, "textSTKNo")->setFocus();
        QTest::keyClicks(Control<QLineEdit>(*window, "textSTKNo"), number);
        QTest::keyClick(Control<QLineEdit>(*window, "textSTKNo"), Qt::Key_Return);
        QApplication::processEvents();
    }

    int records() const { return db->scalar("select count(*) from STOCK").toInt(); }
};

} // namespace

TEST_P(Lookup, ExactMatchMovesToTheCountCellAfterSortingByNumber)
{
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Control<QCheckBox>(*window, "chkSortBySTKFlag")->setChecked(true);
    query("2003", "1");
    ASSERT_EQ(itemOrder(), QStringList({"A2", "B1"})); // flag "Y" first: A2... then B1
    db->exec("update STK set STKFlag = 'Z' where STKNo = 'B1';\n");
    query("2003", "1");
    ASSERT_EQ(itemOrder(), QStringList({"B1", "A2"}));
    scan("A2");
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1"}));
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(Control<QLineEdit>(*window, "textSTKNo")->text(), "");
    EXPECT_TRUE(window->isEnabled());
    // The count typed right after the scan goes into the count cell.
    QWidget *focused = QApplication::focusWidget();
    EXPECT_TRUE(focused && (focused == grid()->view() || grid()->isAncestorOf(focused)));

    // A scan of an item the grid shows repaints the grid and the item box, not the window
    // around them.
    QApplication::processEvents();
    PaintCounter button(Control<QPushButton>(*window, "cmdSeekSTKNo"));
    scan("B1");
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_EQ(button.count, 0);
}

// A run of scans as at the shelves: the grid stays in item-number order between scans, a
// sort by another column is undone by the next scan, and an item added by scan takes its
// place in that order at once.
TEST_P(Lookup, ScansKeepTheGridInItemNumberOrder)
{
    item("A0", "醋", "瓶", "", "1", "Y");
    item("C0", "油", "瓶", "", "1", "Y");
    start();
    query("2003", "1");
    ASSERT_EQ(itemOrder(), QStringList({"A2", "B1"}));
    scan("B1");
    EXPECT_EQ(grid()->row(), 2);
    grid()->sort(fmTOVRAN::ColName, Qt::DescendingOrder); // 鹽 before 砂糖
    ASSERT_EQ(itemOrder(), QStringList({"B1", "A2"}));
    scan("A2");
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1"}));
    EXPECT_EQ(grid()->row(), 1);
    scan("C0");
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1", "C0"}));
    EXPECT_EQ(grid()->row(), 3);
    scan("A0");
    EXPECT_EQ(itemOrder(), QStringList({"A0", "A2", "B1", "C0"}));
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    scan("B1");
    EXPECT_EQ(itemOrder(), QStringList({"A0", "A2", "B1", "C0"}));
    EXPECT_EQ(grid()->row(), 3);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_EQ(records(), 4);
}

TEST_P(Lookup, ScannedItemMissingFromTheMonthIsAddedInDisplayUnits)
{
    item("C1", "可樂", "箱", "瓶", "12", "Y", "D");
    stock("2002/12/31", "C1", 0, 0, 2, 240); // last month's closing: 2 cases at 240
    SaveSetting("NORV", "STK", "UseUUnit", "Y");
    start();
    query("2003", "1");
    scan("C1");
    ASSERT_EQ(records(), 4);
    const int r = rowOf("C1");
    ASSERT_EQ(r, grid()->rows() - 1);
    EXPECT_EQ(grid()->row(), r);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_EQ(cell(r, fmTOVRAN::ColLastQty), "24");
    EXPECT_EQ(cell(r, fmTOVRAN::ColLastAmt), "480");
    EXPECT_EQ(cell(r, fmTOVRAN::ColUnit), "瓶");
    EXPECT_EQ(cell(r, fmTOVRAN::ColName), "可樂");
    EXPECT_EQ(cell(r, fmTOVRAN::ColAvgPrice), "20");
    EXPECT_EQ(grid()->factor(r), 12);
    const QString rno = cell(r, fmTOVRAN::ColRNo);
    EXPECT_EQ(stockNumber(rno, "LastQty"), 2);
    EXPECT_EQ(stockField(rno, "STKNo"), "C1");
    EXPECT_EQ(stockField(rno, "UserID"), "TESTER");
    EXPECT_EQ(Control<QLineEdit>(*window, "textSTKNo")->text(), "");

    // Its count is entered like any other row's, in bottles.
    ASSERT_TRUE(typeIntoCell(r, fmTOVRAN::ColSTKQty, "30"));
    EXPECT_EQ(stockNumber(rno, "STKQty"), 2.5);
}

TEST_P(Lookup, PrefixOfSeveralItemsOpensThePickList)
{
    item("A1", "麵粉");
    item("A10", "麵粉十");
    item("A11", "麵粉十一");
    start();
    query("2003", "1");
    QStringList listed;
    QString title;
    auto picked = TestModal::whenModal([&](QWidget *w) {
        title = w->windowTitle();
        auto *g = w->findChild<FlexGrid *>("fgCode");
        for (int r = 1; r < g->rows(); ++r)
            listed << g->textMatrix(r, 0) + "/" + g->textMatrix(r, 1);
        g->setRow(2);
        w->findChild<QPushButton *>("cmdOK")->click();
    });
    scan("A1");
    ASSERT_TRUE(*picked);
    EXPECT_EQ(listed, QStringList({"A1/麵粉", "A10/麵粉十", "A11/麵粉十一"}));
    EXPECT_EQ(records(), 3);
    EXPECT_EQ(cell(grid()->row(), fmTOVRAN::ColSTKNo), "A10");
    EXPECT_EQ(rowOf("A1"), -1);

    // Cancelled: nothing added.
    auto cancelled =
        TestModal::whenModal([](QWidget *w) { w->findChild<QPushButton *>("cmdCancel")->click(); });
    scan("A1");
    EXPECT_TRUE(*cancelled);
    EXPECT_EQ(records(), 3);
}

TEST_P(Lookup, UnknownItemGetsTheCriticalBox)
{
    start();
    query("2003", "1");
    auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    scan("ZZ'9");
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "物料檔,沒有該物料編號,請檢查");
    EXPECT_EQ(box->icon, QMessageBox::Critical);
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(grid()->rows(), 3);
    EXPECT_TRUE(window->isEnabled());

    // The window is disabled while the box is up.
    bool enabledMeanwhile = true;
    auto answered = TestModal::whenModal([&](QWidget *w) {
        enabledMeanwhile = window->isEnabled();
        static_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    scan("ZZ9");
    ASSERT_TRUE(*answered);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(window->isEnabled());
}

TEST_P(Lookup, RecordFilteredOutOfTheGridIsBroughtInNotInsertedAgain)
{
    db->exec("update STK set LType = 'X' where STKNo = 'A2';\n");
    start();
    Control<QLineEdit>(*window, "txtLType")->setText("A");
    query("2003", "1");
    ASSERT_EQ(itemOrder(), QStringList({"B1"}));
    const QString rno = db->scalar("select RNo from STOCK where STKNo = 'A2'");
    scan("A2");
    EXPECT_EQ(records(), 2);
    const int r = rowOf("A2");
    ASSERT_GE(r, 1);
    EXPECT_EQ(cell(r, fmTOVRAN::ColRNo), rno);
    EXPECT_EQ(cell(r, fmTOVRAN::ColName), "砂糖");
    EXPECT_EQ(cell(r, fmTOVRAN::ColLastQty), "1");
    EXPECT_EQ(grid()->row(), r);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    // Looking it up again finds the row.
    scan("A2");
    EXPECT_EQ(grid()->rows(), 3);
}

TEST_P(Lookup, NameSearchJumpsAsTheUserTypes)
{
    item("A3", "砂石");
    stock("2003/01/31", "A3", 1, 0);
    start();
    query("2003", "1");
    ASSERT_EQ(itemOrder(), QStringList({"A2", "A3", "B1"}));
    // Chinese arrives committed by the input method, one character at a time.
    auto typeName = [this](const QString &text) {
        for (const QChar c : text)
            Control<QLineEdit>(*window, "txtSeekItem")->insert(QString(c));
    };
    Control<QLineEdit>(*window, "txtSeekItem")->setFocus();
    typeName("鹽");
    EXPECT_EQ(grid()->row(), 3);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColName);
    Control<QLineEdit>(*window, "txtSeekItem")->clear();
    typeName("砂石");
    EXPECT_EQ(grid()->row(), 2);
    QTest::keyClicks(Control<QLineEdit>(*window, "txtSeekItem"), "X"); // no match: stays
    EXPECT_EQ(grid()->row(), 2);
}

// A scan of an item whose row a display option hides shows that row and makes it current:
// the count typed next lands on it, not on whatever row was current before. The row stays
// shown until the next query.
TEST_P(Lookup, AScanShowsTheRowTheDisplayOptionsHide)
{
    item("A1", "麵粉");
    const QString hidden = stock("2003/01/31", "A1", 0, 0, 4);
    start();
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->setChecked(true);
    query("2003", "1");
    ASSERT_EQ(rowOf("A1"), -1);
    ASSERT_GE(rowOf("A2"), 1);
    grid()->setRow(rowOf("A2"));
    grid()->setCol(fmTOVRAN::ColSTKQty);

    scan("A1");
    ASSERT_GE(rowOf("A1"), 1);
    EXPECT_EQ(grid()->row(), rowOf("A1"));
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_EQ(records(), 3); // found, not added again
    QWidget *focused = QApplication::focusWidget();
    ASSERT_TRUE(focused);
    QTest::keyClicks(focused, "7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(stockField(hidden, "STKQty").toDouble(), 7);
    EXPECT_EQ(stockField(hidden, "UpdUserID"), "TESTER");
    EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColSTKQty), "7");
    EXPECT_EQ(msg(), QString());

    query("2003", "1");
    EXPECT_EQ(rowOf("A1"), -1);
}

TEST_P(Lookup, CategoryBoxPicksFromTheCodes)
{
    db->exec("insert into xxCODE (CodeType, Code, Dscp) values ('LTYPE', '1', 'A');\n"
             "insert into xxCODE (CodeType, Code, Dscp) values ('LTYPE', '2', 'D');\n");
    start();
    QStringList listed;
    auto picked = TestModal::whenModal([&](QWidget *w) {
        auto *g = w->findChild<FlexGrid *>("fgCode");
        for (int r = g->fixedRows(); r < g->rows(); ++r)
            listed << g->textMatrix(r, 0);
        QTest::keyClick(g->view(), Qt::Key_Down);
        QTest::keyClick(g->view(), Qt::Key_Return);
    });
    QTest::mouseDClick(Control<QLineEdit>(*window, "txtLType"), Qt::LeftButton);
    ASSERT_TRUE(*picked);
    EXPECT_EQ(listed, QStringList({"A", "D"}));
    EXPECT_EQ(Control<QLineEdit>(*window, "txtLType")->text(), "D");

    auto esc = TestModal::whenModal([](QWidget *w) {
        QTest::keyClick(w->findChild<FlexGrid *>("fgCode")->view(), Qt::Key_Escape);
    });
    QTest::mouseDClick(Control<QLineEdit>(*window, "txtLType"), Qt::LeftButton);
    ASSERT_TRUE(*esc);
    EXPECT_EQ(Control<QLineEdit>(*window, "txtLType")->text(),
              ""); // a cancelled pick clears the box
}

INSTANTIATE_TEST_SUITE_P(Databases, Lookup, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         kindName);
