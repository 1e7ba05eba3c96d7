// Stocktake entry in the real stock window: refusals, recomputation, what reaches the
// database (read back after every accepted edit), database failures and keypad entry.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include <QTest>

#include "common/numtext.h"
#include "platform/settingsstore.h"
#include "support/clibrarylocale.h"

#include <QTabBar>
#include <QTabWidget>
#include <cmath>
#include <functional>

using namespace WindowTest;

namespace {

class Entry : public WindowFixture
{
protected:
    // Every figure the grid shows, converted to stock units, equals the stored record.
    void expectRowStored(int row, const QString &rno)
    {
        const double factor = grid()->factor(row);
        const double precision =
            Control<QCheckBox>(*window, "chkUseUUnit")->isChecked() ? 10000 : 100;
        auto stored = [&](int col) {
            return std::floor(Val(cell(row, col)) * precision / factor + 0.5) / precision;
        };
        EXPECT_DOUBLE_EQ(stockNumber(rno, "STKQty"), stored(fmTOVRAN::ColSTKQty));
        EXPECT_DOUBLE_EQ(stockNumber(rno, "UseQty"), stored(fmTOVRAN::ColUseQty));
        EXPECT_DOUBLE_EQ(stockNumber(rno, "AdjustQty"), stored(fmTOVRAN::ColAdjustQty));
        EXPECT_NEAR(stockNumber(rno, "STKAmt"), Val(cell(row, fmTOVRAN::ColSTKAmt)), 1e-9);
        EXPECT_EQ(stockField(rno, "UpdUserID"), "TESTER");
        EXPECT_EQ(cell(row, fmTOVRAN::ColUpdUserID), "TESTER"); // the grid shows the stamp
        EXPECT_FALSE(stockField(rno, "UpdDate").isEmpty());
    }

    // Every text of the item's row stays as it is when the month is queried again: the
    // grid shows what the database keeps.
    void expectRequeryShowsTheSame(const QString &no)
    {
        auto texts = [this](int row) {
            QStringList cells;
            for (int c = 0; c < fmTOVRAN::ColumnCount; ++c)
                cells << cell(row, c);
            return cells;
        };
        const QStringList before = texts(rowOf(no));
        query(Control<QLineEdit>(*window, "txtYear")->text(),
              Control<QLineEdit>(*window, "txtMonth")->text());
        EXPECT_EQ(texts(rowOf(no)), before);
    }

    QString sureMessageOf(int row, int col, const QString &text, bool confirm = true)
    {
        auto sure = answerSure(confirm);
        EXPECT_TRUE(typeIntoCell(row, col, text));
        escapeEditor();
        return sure->shown ? sure->message : QString();
    }
};

} // namespace

TEST_P(Entry, RefusalsKeepCellAndRecord)
{
    item("A1", "麵粉");
    const QString rno = stock("2003/01/31", "A1", 10, 5, 15, 2);
    start();
    query("2003", "1");
    const int r = rowOf("A1");
    ASSERT_GE(r, 1);
    const QString cantEdit = LocalMsg("CanNotEditThisCol");
    const QString badInput = LocalMsg("ErrorInputData");
    ASSERT_FALSE(cantEdit.isEmpty());
    ASSERT_FALSE(badInput.isEmpty());

    for (int col : {fmTOVRAN::ColName, fmTOVRAN::ColLastQty, fmTOVRAN::ColUseQty}) {
        Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
        EXPECT_FALSE(typeIntoCell(r, col, "1")) << "column " << col;
        EXPECT_EQ(msg(), cantEdit) << "column " << col;
    }

    EXPECT_TRUE(typeIntoCell(r, fmTOVRAN::ColSTKQty, "abc"));
    escapeEditor();
    EXPECT_EQ(msg(), badInput);
    EXPECT_EQ(sureMessageOf(r, fmTOVRAN::ColSTKQty, "-1"), "庫存量不得為負值");
    EXPECT_EQ(msg(), badInput);
    // Below opening plus receipts is a warning: cancelled, nothing is written.
    EXPECT_EQ(sureMessageOf(r, fmTOVRAN::ColSTKQty, "14", false),
              "庫存量不得小於期初量加進貨量之和,是否確定?");
    EXPECT_EQ(msg(), badInput);
    Control<QCheckBox>(*window, "chkHideAvgPrice")->click();
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
    EXPECT_TRUE(typeIntoCell(r, fmTOVRAN::ColAvgPrice, "x"));
    escapeEditor();
    EXPECT_EQ(msg(), badInput); // after "只能輸入數字"

    EXPECT_EQ(cell(r, fmTOVRAN::ColSTKQty), "15");
    EXPECT_EQ(cell(r, fmTOVRAN::ColAvgPrice), "2");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 15);
    EXPECT_EQ(stockField(rno, "UpdUserID"), "MAKER");
    EXPECT_TRUE(stockField(rno, "UpdDate").isEmpty());

    // Confirmed, the shortage is a count like any other: usage follows.
    EXPECT_EQ(sureMessageOf(r, fmTOVRAN::ColSTKQty, "14"),
              "庫存量不得小於期初量加進貨量之和,是否確定?");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 14);
    EXPECT_EQ(stockNumber(rno, "UseQty"), 1);
    expectRowStored(r, rno);
    expectRequeryShowsTheSame("A1");

    // 15 = opening + received: accepted, and Enter moves down to the next row.
    item("A2", "砂糖");
    stock("2003/01/31", "A2", 0, 0);
    query("2003", "1");
    ASSERT_EQ(rowOf("A1"), 1);
    // F1 has no drop-down list to open here and leaves the current cell alone.
    grid()->setRow(1);
    grid()->setCol(fmTOVRAN::ColSTKQty);
    QTest::keyClick(grid()->view(), Qt::Key_F1);
    QApplication::processEvents();
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_FALSE(grid()->isEditing());
    EXPECT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "15"));
    TestModal::waitFor([this] { return grid()->row() == 2; }, 1000);
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    expectRowStored(1, rno);
}

// After a refusal the cell is as if the clerk had not typed: however the clerk then leaves
// it (Tab, an arrow key, a click on another cell or on another page), nothing is checked
// or written, and no warning comes up for a count the clerk never typed. What the clerk
// types next is written as typed.
TEST_P(Entry, ARefusedCountIsNotWrittenWhenTheCellIsLeft)
{
    item("A1", "麵粉");
    item("A2", "砂糖");
    // A count below opening plus receipts: checking it again would bring up the warning.
    const QString rno = stock("2003/01/31", "A1", 10, 5, 12, 2);
    stock("2003/01/31", "A2", 0, 0);
    start();
    query("2003", "1");
    ASSERT_EQ(rowOf("A1"), 1);
    QTableView *view = grid()->view();
    auto clickCell = [view](int row, int col) {
        const QRect rect = view->visualRect(view->model()->index(row - 1, col));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    };
    const QList<std::pair<const char *, std::function<void(QLineEdit *)>>> leaves = {
        {"Tab", [](QLineEdit *box) { QTest::keyClick(box, Qt::Key_Tab); }},
        {"Down", [](QLineEdit *box) { QTest::keyClick(box, Qt::Key_Down); }},
        {"a click on another cell", [&](QLineEdit *) { clickCell(2, fmTOVRAN::ColName); }},
        {"a click on the criteria page",
         [this](QLineEdit *) {
             QTabBar *tabs = Control<QTabWidget>(*window, "tabPage")->tabBar();
             QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
         }},
    };
    for (const auto &[how, leave] : leaves) {
        Control<QTabWidget>(*window, "tabPage")->setCurrentIndex(1);
        auto sure = answerSure();
        ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "-1")) << how;
        EXPECT_EQ(sure->message, "庫存量不得為負值") << how;
        QLineEdit *box = openEditor();
        ASSERT_TRUE(box) << how << ": a refusal by Enter keeps the editor open";
        EXPECT_EQ(box->text(), "12") << how;
        EXPECT_EQ(box->selectedText(), "12") << how;
        leave(box);
        QApplication::processEvents();
        EXPECT_EQ(openEditor(), nullptr) << how;
        EXPECT_EQ(stockField(rno, "UpdUserID"), "MAKER") << how;
        EXPECT_TRUE(stockField(rno, "UpdDate").isEmpty()) << how;
        EXPECT_EQ(stockNumber(rno, "STKQty"), 12) << how;
        EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColSTKQty), "12") << how;
    }

    // Typing again after a refusal: the new count is written.
    Control<QTabWidget>(*window, "tabPage")->setCurrentIndex(1);
    auto sure = answerSure();
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "-1"));
    ASSERT_TRUE(openEditor());
    QTest::keyClicks(openEditor(), "16");
    QTest::keyClick(openEditor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(stockNumber(rno, "STKQty"), 16);
    expectRowStored(1, rno);

    // A cell opened and left without a key typed writes nothing either.
    db->exec(QStringLiteral("update STOCK set UpdUserID = 'MAKER' where RNo = %1;\n").arg(rno));
    grid()->setRow(1);
    grid()->setCol(fmTOVRAN::ColSTKQty);
    view->setFocus();
    grid()->editCell();
    QApplication::processEvents();
    ASSERT_TRUE(openEditor());
    QTest::keyClick(openEditor(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(stockField(rno, "UpdUserID"), "MAKER");
}

TEST_P(Entry, CountOfAnItemNotKeptInStockGoesToUsage)
{
    item("A1", "麵粉");
    const QString rno = stock("2003/01/31", "A1", 10, 5, 0, 2, "A01", 3, 1);
    start();
    query("2003", "1");
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "15"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColChkQty), "15");
    EXPECT_EQ(cell(1, fmTOVRAN::ColUseQty), "-4");
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKAmt), "30");
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "15");
    EXPECT_EQ(stockNumber(rno, "UseQty"), -4);
    EXPECT_EQ(stockNumber(rno, "STKQty"), 15);
    EXPECT_EQ(stockNumber(rno, "STKAmt"), 30);
    EXPECT_EQ(stockNumber(rno, "ChkQty"), 15); // the counted quantity shown is stored
    expectRowStored(1, rno);
    expectRequeryShowsTheSame("A1");
}

TEST_P(Entry, CountOfABookKeptItemGoesToTheAdjustment)
{
    param("UseSOut", "Y");
    item("A1", "麵粉");
    const QString rno = stock("2003/01/31", "A1", 10, 5, 0, 2, "A01", 3, 1);
    db->exec("update STOCK set UseQty = 7;\n");
    start();
    query("2003", "1");
    ASSERT_EQ(Control<QLineEdit>(*window, "txtStockNo")->text(), "1");
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "15"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColAdjustQty), "4");
    EXPECT_EQ(cell(1, fmTOVRAN::ColUseQty), "7");
    EXPECT_EQ(stockNumber(rno, "AdjustQty"), 4);
    EXPECT_EQ(stockNumber(rno, "UseQty"), 7);
    expectRowStored(1, rno);

    // The same item in warehouse 2 is not book-kept.
    db->exec("update Corp set StockNo = 2 where CompNo = 'A01';\n");
    query("2003", "1");
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "16"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColChkQty), "16");
    EXPECT_EQ(stockNumber(rno, "UseQty"), -5);
}

TEST_P(Entry, UseUnitCountsAndPricesAreStoredInTheStockUnit)
{
    item("U1", "可樂", "箱", "瓶", "12");
    const QString rno = stock("2003/01/31", "U1", 0, 0, 0, 24);
    SaveSetting("NORV", "STK", "UseUUnit", "Y");
    start();
    query("2003", "1");
    ASSERT_EQ(cell(1, fmTOVRAN::ColAvgPrice), "2");
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "30"));
    EXPECT_EQ(stockNumber(rno, "STKQty"), 2.5);
    EXPECT_EQ(stockNumber(rno, "STKAmt"), 60); // displayed price x displayed count
    expectRowStored(1, rno);
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "7"));
    EXPECT_EQ(stockNumber(rno, "STKQty"), 0.5833);
    EXPECT_EQ(stockNumber(rno, "UseQty"), -0.5833);
    EXPECT_EQ(stockNumber(rno, "ChkQty"), 0.5833);
    expectRowStored(1, rno);
    expectRequeryShowsTheSame("U1");

    // The box off without a new query: the rows keep their factor, two decimals stored.
    Control<QCheckBox>(*window, "chkUseUUnit")->click();
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "7"));
    EXPECT_EQ(stockNumber(rno, "STKQty"), 0.58);
    expectRowStored(1, rno);

    // A price of 2.5 per bottle is 30 per case; the amount follows the shown count.
    Control<QCheckBox>(*window, "chkHideAvgPrice")->click();
    ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColAvgPrice, "2.5"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColAvgPrice), "2.5");
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKAmt), "17.5");
    EXPECT_EQ(stockNumber(rno, "AvgPrice"), 30);
    EXPECT_EQ(stockNumber(rno, "STKAmt"), 17.5);
}

TEST_P(Entry, CountsPricesAndCriteriaReadTheSameUnderEveryMachineLocale)
{
    item("A1", "麵粉");
    const QString rno = stock("2003/01/31", "A1", 10, 5, 15, 2);
    start();
    query("2003", "1");
    ASSERT_EQ(rowOf("A1"), 1);
    Control<QCheckBox>(*window, "chkHideAvgPrice")->click();
    const QString badInput = LocalMsg("ErrorInputData");
    double count = 15.5;
    for (const char *name : {"C", "de_DE.UTF-8", "zh_TW.UTF-8"}) {
        const CLibraryLocale machine{QString::fromLatin1(name)};
        ASSERT_TRUE(machine.active()) << machine.failure().toStdString();
        // Out of range is no number, not the digits before the point.
        Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
        EXPECT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, "2.5e400"));
        escapeEditor();
        EXPECT_EQ(msg(), badInput) << name;
        EXPECT_EQ(stockNumber(rno, "STKQty"), 15) << name;
        ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColSTKQty, NumText(count))) << name;
        EXPECT_EQ(stockNumber(rno, "STKQty"), count) << name;
        ASSERT_TRUE(typeIntoCell(1, fmTOVRAN::ColAvgPrice, "2.25")) << name;
        EXPECT_EQ(stockNumber(rno, "AvgPrice"), 2.25) << name;
        expectRowStored(1, rno);
        db->exec("update STOCK set STKQty = 15, AvgPrice = 2;\n");
        query("2003", "1");
        count += 1.25;

        // "1.5e1" is month 15 everywhere.
        const auto typeMonth = [this](const QString &text) {
            Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
            Control<QLineEdit>(*window, "txtMonth")->setFocus();
            Control<QLineEdit>(*window, "txtMonth")->selectAll();
            QTest::keyClicks(Control<QLineEdit>(*window, "txtMonth"), text);
            QTest::keyClick(Control<QLineEdit>(*window, "txtMonth"), Qt::Key_Tab);
            QApplication::processEvents();
        };
        typeMonth(QStringLiteral("1.5e1"));
        EXPECT_EQ(msg(), "月份一定在1-12之間") << name;
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth")) << name;
        typeMonth(QStringLiteral("1"));
        EXPECT_NE(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth")) << name;
    }
}

TEST_P(Entry, DatabaseFailureRefusesTheEditAndReportsIt)
{
    item("A1", "麵粉");
    item("A2", "砂糖");
    const QString rno = stock("2003/01/31", "A1", 1, 0, 1, 2);
    stock("2003/01/31", "A2", 1, 0, 1, 2);
    start();
    query("2003", "1");

    // The record was deleted meanwhile (at another workstation): the clerk is told.
    db->exec(QStringLiteral("delete from STOCK where RNo = %1;\n").arg(rno));
    EXPECT_EQ(sureMessageOf(1, fmTOVRAN::ColSTKQty, "9"), "庫存紀錄已不存在,無法更新");
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "1");
    EXPECT_EQ(cell(1, fmTOVRAN::ColUseQty), "0");
    EXPECT_EQ(msg(), LocalMsg("ErrorInputData"));

    // The table is gone.
    db->exec("drop table STOCK;\n");
    auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    ASSERT_TRUE(typeIntoCell(2, fmTOVRAN::ColSTKQty, "9"));
    escapeEditor();
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(cell(2, fmTOVRAN::ColSTKQty), "1");
    EXPECT_TRUE(window->isEnabled());
}

TEST_P(Entry, KeypadEntryInTouchMode)
{
    param("POSMode", "y");
    item("A1", "麵粉");
    const QString rno = stock("2003/01/31", "A1", 10, 5, 0, 2);
    start();
    ASSERT_EQ(window->params().POSMode, "Y");
    query("2003", "1");

    auto clickCount = [this](QStringList keys) {
        auto done = TestModal::whenModal([keys](QWidget *w) {
            for (const QString &key : keys)
                w->findChild<QPushButton *>(key)->click();
        });
        QTableView *view = grid()->view();
        const QRect rect = view->visualRect(view->model()->index(0, fmTOVRAN::ColSTKQty));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
        return *done;
    };
    EXPECT_TRUE(clickCount({"cmdNum(1)", "cmdNum(5)", "cmdEnter"}));
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "15");
    EXPECT_EQ(cell(1, fmTOVRAN::ColUseQty), "0");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 15);
    expectRowStored(1, rno);

    // Not a number: refused like the grid editor, nothing written.
    db->exec("update STOCK set UpdUserID = 'MAKER';\n");
    EXPECT_TRUE(clickCount({"cmdDot", "cmdDot", "cmdEnter"}));
    EXPECT_EQ(msg(), LocalMsg("ErrorInputData"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "15");
    EXPECT_EQ(stockField(rno, "UpdUserID"), "MAKER");

    // Cancelled: nothing happens.
    EXPECT_TRUE(clickCount({"cmdNum(3)", "cmdExit"}));
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "15");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 15);
}

INSTANTIATE_TEST_SUITE_P(Databases, Entry, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         kindName);

TEST_P(Entry, TypingOnTheGridStartsTheEditWithThatKey)
{
    item("A1", "麵粉");
    const QString rno = stock("2003/01/31", "A1", 0, 0, 8, 2);
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    query("2003", "1");
    auto typeOnGrid = [this](const QString &text) {
        grid()->setRow(1);
        grid()->setCol(fmTOVRAN::ColSTKQty);
        grid()->view()->setFocus();
        QApplication::processEvents();
        // The first key opens the editor and must arrive in it, like every later key.
        for (QChar c : text) {
            QWidget *target = QApplication::focusWidget();
            QTest::keyClick(target, c.toLatin1() ? c.toLatin1() : 'x', Qt::NoModifier);
            if (!c.toLatin1()) { // full-width characters come from the input method
                QLineEdit *box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
                if (box) {
                    box->backspace();
                    box->insert(QString(c));
                }
            }
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    };
    typeOnGrid(QStringLiteral("-0"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "0");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 0);
    typeOnGrid(QStringLiteral("１５"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "15");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 15);
    typeOnGrid(QStringLiteral("7"));
    EXPECT_EQ(cell(1, fmTOVRAN::ColSTKQty), "7");
    EXPECT_EQ(stockNumber(rno, "STKQty"), 7);
    expectRowStored(1, rno);
}
