#include "common/state.h"
#include "data/adodb.h"
#include "dialogs/fmcodedate.h"
#include "dialogs/frmcode.h"
#include "dialogs/frmcombo.h"
#include "dialogs/frmpickf1.h"
#include "dialogs/frmpickf2.h"
#include "dialogs/frmselect.h"
#include "platform/grid/flexgrid.h"
#include "support/modal.h"
#include "support/programtree.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A real SQLite file as the shared connection: a code table and stock periods.
class Pickers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
        EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
        EditIni().gsDateSep = QStringLiteral("/");
        const QString file = tree.dat() + QStringLiteral("/stock.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "pickers");
            db.setDatabaseName(file);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec("CREATE TABLE Codes (Code varchar(10), Dscp varchar(40), "
                               "Seq int)"));
            ASSERT_TRUE(q.exec("INSERT INTO Codes VALUES ('B1', '乙一', 1), ('A1', '甲一', 2), "
                               "('A2', '甲二', 3)"));
            ASSERT_TRUE(q.exec("CREATE TABLE Stock (STKDate varchar(10), STKNo varchar(10))"));
            ASSERT_TRUE(q.exec("INSERT INTO Stock VALUES ('2019/11/30', 'A1'), "
                               "('2019/12/31', 'A1'), ('2019/10/31', 'A1'), "
                               "('2019/12/31', 'A2')"));
            db.close();
        }
        QSqlDatabase::removeDatabase("pickers");
        EditConn().gCNT =
            Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file);
    }
    void TearDown() override
    {
        EditConn().gCNT.reset();
        EditIni().gsErrFile.clear();
    }

    static constexpr const char *CodeSql = "Select Code, Dscp From Codes Order by Seq";

    ProgramTree tree;
};

FlexGrid *gridOf(QWidget *window)
{
    return window->findChild<FlexGrid *>(QStringLiteral("fgCode"));
}

// Keys pressed on the grid of the modal window that appears next.
std::shared_ptr<bool> pressOnGrid(QList<Qt::Key> keys, QStringList *seen = nullptr)
{
    return TestModal::whenModal([keys, seen](QWidget *w) {
        if (seen)
            *seen << w->objectName() << w->windowTitle();
        for (Qt::Key key : keys)
            QTest::keyClick(gridOf(w)->view(), key);
    });
}

void clickRow(FlexGrid *grid, int row)
{
    QTableView *view = grid->view();
    const QModelIndex index = view->model()->index(row - grid->fixedRows(), 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

} // namespace

TEST_F(Pickers, CodePickerShowPickFillsBothBoxes)
{
    QLineEdit code, name;
    QStringList seen;
    auto done = pressOnGrid({Qt::Key_Down, Qt::Key_Return}, &seen);
    EXPECT_TRUE(frmCodeWindow().ShowPick(CodeSql, &code, &name, "部門", "名稱"));
    EXPECT_TRUE(*done);
    EXPECT_EQ(seen, QStringList({"frmCode", "代碼輸入輔助視窗"}));
    EXPECT_EQ(code.text(), "A1");
    EXPECT_EQ(name.text(), "甲一");
    EXPECT_EQ(frmCodeWindow().pickedValue(), "A1");
    EXPECT_FALSE(frmCodeWindow().isVisible());
    FlexGrid *grid = frmCodeWindow().fgCode;
    EXPECT_EQ(grid->textMatrix(0, 0), "部門");
    EXPECT_EQ(grid->textMatrix(0, 1), "名稱");

    // Esc: true (the list was shown) but the boxes stay; the default headings return.
    code.setText("keep");
    auto esc = pressOnGrid({Qt::Key_Escape});
    EXPECT_TRUE(frmCodeWindow().ShowPick(CodeSql, &code, nullptr));
    EXPECT_TRUE(*esc);
    EXPECT_EQ(code.text(), "keep");
    EXPECT_EQ(grid->textMatrix(0, 0), "代碼");
    EXPECT_EQ(grid->textMatrix(0, 1), "說明");
    EXPECT_EQ(frmCodeWindow().pickedValue(), "");
}

TEST_F(Pickers, CodePickerWithAnEmptyListNeverShows)
{
    QLineEdit code;
    auto shown = TestModal::whenModal([](QWidget *w) { w->hide(); }, 300);
    EXPECT_FALSE(frmCodeWindow().ShowPick("Select Code, Dscp From Codes Where 1 = 0", &code));
    TestModal::waitFor([] { return false; }, 400);
    EXPECT_FALSE(*shown);
}

TEST_F(Pickers, CodePickerPickItemStartsOnTheKey)
{
    int startRow = -1;
    auto done = TestModal::whenModal([&](QWidget *w) {
        startRow = gridOf(w)->row();
        QTest::keyClick(gridOf(w)->view(), Qt::Key_Space);
    });
    QString result;
    EXPECT_TRUE(frmCodeWindow().PickItem(CodeSql, result, "A"));
    EXPECT_TRUE(*done);
    EXPECT_EQ(startRow, 2);
    EXPECT_EQ(result, "A1");

    // A key that matches nothing starts on row 1; Esc returns false and leaves result.
    auto esc = TestModal::whenModal([&](QWidget *w) {
        startRow = gridOf(w)->row();
        QTest::keyClick(gridOf(w)->view(), Qt::Key_Escape);
    });
    result = "before";
    EXPECT_FALSE(frmCodeWindow().PickItem(CodeSql, result, "Z"));
    EXPECT_EQ(startRow, 1);
    EXPECT_EQ(result, "before");
}

TEST_F(Pickers, CodePickerClickOnTheHeaderPicksNothing)
{
    QLineEdit code, name;
    bool stillOpen = false;
    auto done = TestModal::whenModal([&](QWidget *w) {
        FlexGrid *grid = gridOf(w);
        QHeaderView *header = grid->view()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionPosition(0) + 5, header->height() / 2));
        stillOpen = w->isVisible();
        clickRow(grid, 3);
    });
    EXPECT_TRUE(frmCodeWindow().ShowPick(CodeSql, &code, &name));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(code.text(), "A2");
    EXPECT_EQ(name.text(), "甲二");
}

TEST_F(Pickers, PeriodPickerListsStartAndEndOfEachPeriod)
{
    QLineEdit from, to;
    QStringList rows, seen;
    auto done = TestModal::whenModal([&](QWidget *w) {
        seen << w->objectName() << w->windowTitle();
        FlexGrid *grid = gridOf(w);
        for (int r = 1; r < grid->rows(); ++r)
            rows << grid->textMatrix(r, 0) + "-" + grid->textMatrix(r, 1);
        QTest::keyClick(grid->view(), Qt::Key_Return);
    });
    EXPECT_TRUE(fmCodeDateWindow().ShowPick(&from, &to));
    EXPECT_EQ(seen, QStringList({"fmCodeDate", "日期選擇輔助視窗"}));
    EXPECT_EQ(rows, QStringList({"2019/12/01-2019/12/31", "2019/11/01-2019/11/30", "-2019/10/31"}));
    EXPECT_EQ(gvSQL, " Select distinct STKDate From Stock  Order by STKDate Desc ");
    EXPECT_EQ(from.text(), "2019/12/01");
    EXPECT_EQ(to.text(), "2019/12/31");

    // The ROC calendar shows in the list too.
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    auto second = pressOnGrid({Qt::Key_Down, Qt::Key_Return});
    EXPECT_TRUE(fmCodeDateWindow().ShowPick(&from, &to));
    EXPECT_EQ(from.text(), "108/11/01");
    EXPECT_EQ(to.text(), "108/11/30");

    Conn().gCNT->executeNonQuery("DELETE FROM Stock");
    EXPECT_FALSE(fmCodeDateWindow().ShowPick(&from, &to));
}

TEST_F(Pickers, ComboPicksModallyAndDropsDownWithoutWaiting)
{
    frmCombo &combo = frmComboWindow();
    QLineEdit target;
    QStringList seen;
    auto done = pressOnGrid({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, &seen);
    EXPECT_TRUE(combo.ShowPick("Select Code From Codes Order by Seq", &target));
    EXPECT_EQ(seen, QStringList({"frmCombo", "選取項目輔助視窗"}));
    EXPECT_EQ(target.text(), "A2");

    auto cancel =
        TestModal::whenModal([](QWidget *w) { w->findChild<QPushButton *>("cmdCancel")->click(); });
    target.setText("same");
    EXPECT_FALSE(combo.ShowPick("Select Code From Codes Order by Seq", &target, "選物料"));
    EXPECT_EQ(target.text(), "same");
    EXPECT_EQ(combo.windowTitle(), "選物料");

    QString item;
    auto click = TestModal::whenModal([](QWidget *w) { clickRow(gridOf(w), 2); });
    EXPECT_TRUE(combo.PickItem("Select Code, Dscp From Codes Order by Seq", item));
    EXPECT_EQ(item, "A1");

    // The drop-down returns at once; a click later fills the box.
    combo.DropDown("Select Code From Codes Order by Code", &target);
    ASSERT_TRUE(combo.isVisible());
    EXPECT_FALSE(combo.isModal());
    EXPECT_EQ(combo.fgCode->textMatrix(0, 0), "Code"); // field names as titles
    EXPECT_EQ(combo.fgCode->textMatrix(1, 0), "A1");
    clickRow(combo.fgCode, 3);
    EXPECT_FALSE(combo.isVisible());
    EXPECT_EQ(target.text(), "B1");
    // The same query again is not reloaded; no rows shows nothing.
    combo.fgCode->setTextMatrix(1, 0, "marker");
    combo.DropDown("Select Code From Codes Order by Code", &target);
    EXPECT_EQ(combo.fgCode->textMatrix(1, 0), "marker");
    QTest::keyClick(combo.fgCode->view(), Qt::Key_Escape);
    EXPECT_FALSE(combo.isVisible());
    combo.DropDown("Select Code From Codes Where 1 = 0", &target);
    EXPECT_FALSE(combo.isVisible());
}

TEST_F(Pickers, ComboRecordsetListAndPageButton)
{
    frmCombo &combo = frmComboWindow();
    Conn().gCNT->executeNonQuery("CREATE TABLE Many (v varchar(10))");
    Conn().gCNT->executeNonQuery("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < 20) INSERT INTO Many SELECT 'V' || i FROM n");
    Ado::Recordset rs = Conn().gCNT->execute("Select v From Many Order by rowid");
    QList<int> tops;
    auto done = TestModal::whenModal([&](QWidget *w) {
        auto *page = w->findChild<QPushButton *>("cmdBottom");
        FlexGrid *grid = gridOf(w);
        w->resize(w->width(), 150); // a few rows in sight, so any row can be the top one
        QApplication::processEvents();
        tops << grid->topRow();
        for (int i = 0; i < 3; ++i) {
            page->click();
            tops << grid->topRow();
        }
        grid->setRow(9);
        QTest::keyClick(grid->view(), Qt::Key_Return);
    });
    QString item;
    EXPECT_TRUE(combo.PickRST(rs, item));
    EXPECT_EQ(item, "V9");
    EXPECT_EQ(combo.fgCode->colWidth(0), 2500);
    EXPECT_EQ(combo.fgCode->rows(), 21);
    // 20 rows: 1, 8, 15, then fewer than 7 below row 15 wraps to the top.
    EXPECT_EQ(tops, QList<int>({1, 8, 15, 1}));
}

TEST_F(Pickers, PickF2ListsRecordsetsAndQueries)
{
    frmPickF2 &pick = frmPickF2Window();
    FlexGrid *grid = pick.fgCode;
    grid->setRows(1);
    grid->setCols(2);
    grid->addItem("X1\t第一");
    grid->addItem("X2\t第二");
    QStringList seen;
    auto done = pressOnGrid({Qt::Key_Down, Qt::Key_Space}, &seen);
    EXPECT_TRUE(pick.PickList("代號", "品名"));
    EXPECT_EQ(seen, QStringList({"frmPickF2", "代碼輸入輔助視窗"}));
    EXPECT_EQ(pick.PickCode, "X2");
    EXPECT_EQ(pick.PickName, "第二");
    EXPECT_EQ(grid->textMatrix(0, 1), "品名");

    Ado::Recordset rs = Conn().gCNT->execute("Select Code, Dscp From Codes Order by Seq");
    auto esc = pressOnGrid({Qt::Key_Escape});
    EXPECT_FALSE(pick.PickRST(rs));
    EXPECT_EQ(grid->textMatrix(0, 0), "Code");

    QLineEdit code, name;
    auto third = pressOnGrid({Qt::Key_Return});
    EXPECT_TRUE(pick.ShowPick(CodeSql, &code, &name));
    EXPECT_EQ(code.text(), "B1");
    EXPECT_EQ(name.text(), "乙一");

    // An empty list still shows; Esc then returns false.
    auto empty = pressOnGrid({Qt::Key_Return, Qt::Key_Escape});
    EXPECT_FALSE(pick.ShowPick("Select Code, Dscp From Codes Where 1 = 0", &code, &name));
    EXPECT_TRUE(*empty);
    EXPECT_EQ(code.text(), "B1");
}

TEST_F(Pickers, PickF1HasNoTitleRow)
{
    Ado::Recordset rs = Conn().gCNT->execute("Select Dscp, Code From Codes Order by Seq");
    int rowsSeen = -1;
    bool headerShown = true;
    auto done = TestModal::whenModal([&](QWidget *w) {
        FlexGrid *grid = gridOf(w);
        rowsSeen = grid->rows();
        headerShown = grid->view()->horizontalHeader()->isVisible();
        QTest::keyClick(grid->view(), Qt::Key_Down);
        QTest::keyClick(grid->view(), Qt::Key_Return);
    });
    QString item;
    EXPECT_TRUE(frmPickF1Window().PickItem(rs, item));
    EXPECT_EQ(rowsSeen, 3);
    EXPECT_FALSE(headerShown);
    EXPECT_EQ(item, "甲一");
    EXPECT_EQ(frmPickF1Window().windowTitle(), "選取項目輔助視窗");
}

TEST_F(Pickers, SelectWindowLinesButtonsAndKeys)
{
    frmSelect &select = frmSelectWindow();
    select.fgCode->setRows(1);
    select.AddLine("S1\t螺絲\t五金");
    select.AddLine("S2\t螺帽"); // the column count follows the last line
    EXPECT_EQ(select.fgCode->cols(), 2);
    EXPECT_EQ(select.fgCode->textMatrix(1, 2), "");

    // Cancel: false, both values empty.
    auto cancel =
        TestModal::whenModal([](QWidget *w) { w->findChild<QPushButton *>("cmdCancel")->click(); });
    EXPECT_FALSE(select.PickList());
    EXPECT_EQ(select.fgCode->textMatrix(0, 1), "代碼說明");
    EXPECT_EQ(select.PickCode, "");

    // OK takes the current row.
    auto ok = TestModal::whenModal([](QWidget *w) {
        QTest::keyClick(gridOf(w)->view(), Qt::Key_Down);
        w->findChild<QPushButton *>("cmdOK")->click();
    });
    EXPECT_TRUE(select.PickList("料號|名稱"));
    EXPECT_EQ(select.PickCode, "S2");
    EXPECT_EQ(select.PickDscp, "螺帽");
    EXPECT_EQ(select.fgCode->textMatrix(0, 0), "料號");

    // Enter takes the current row too; a click alone picks nothing.
    bool openAfterClick = false;
    auto enter = TestModal::whenModal([&](QWidget *w) {
        clickRow(gridOf(w), 1);
        openAfterClick = w->isVisible();
        QTest::keyClick(gridOf(w)->view(), Qt::Key_Return);
    });
    EXPECT_TRUE(select.PickList());
    EXPECT_TRUE(openAfterClick);
    EXPECT_EQ(select.PickCode, "S1");

    // Esc: false.
    auto esc = pressOnGrid({Qt::Key_Escape});
    EXPECT_FALSE(select.PickList());
}

TEST_F(Pickers, SelectWindowFromARecordset)
{
    frmSelect &select = frmSelectWindow();
    Ado::Recordset rs = Conn().gCNT->execute("Select Code, Dscp, Seq From Codes Order by Seq");
    bool okShown = true;
    QString title;
    auto done = TestModal::whenModal([&](QWidget *w) {
        okShown = w->findChild<QPushButton *>("cmdOK")->isVisible();
        title = w->windowTitle();
        QTest::keyClick(gridOf(w)->view(), Qt::Key_Down);
        QTest::keyClick(gridOf(w)->view(), Qt::Key_Space);
    });
    EXPECT_TRUE(select.PickRST(rs, "編號|名稱|序", "請選擇要盤點的物料", true));
    EXPECT_FALSE(okShown);
    EXPECT_EQ(title, "請選擇要盤點的物料");
    EXPECT_EQ(select.PickCode, "A1");
    EXPECT_EQ(select.PickDscp, "甲一");
    EXPECT_EQ(select.fgCode->textMatrix(0, 2), "序");

    // No records: false without showing; the default caption.
    Ado::Recordset none = Conn().gCNT->execute("Select Code From Codes Where 1 = 0");
    EXPECT_FALSE(select.PickRST(none));
    Ado::Recordset again = Conn().gCNT->execute("Select Code, Dscp From Codes Order by Seq");
    auto esc = TestModal::whenModal([&](QWidget *w) {
        title = w->windowTitle();
        okShown = w->findChild<QPushButton *>("cmdOK")->isVisible();
        w->findChild<QPushButton *>("cmdCancel")->click();
    });
    EXPECT_FALSE(select.PickRST(again));
    EXPECT_EQ(title, "輔助輸入視窗");
    EXPECT_TRUE(okShown);
}

TEST_F(Pickers, SelectWindowOkWithoutARowAsksForOne)
{
    frmSelect &select = frmSelectWindow();
    select.fgCode->setRows(1);
    std::shared_ptr<TestModal::BoxSeen> box;
    bool openAfterOk = false;
    auto done = TestModal::whenModal([&](QWidget *w) {
        box = TestModal::answerMessageBox(QMessageBox::Ok);
        w->findChild<QPushButton *>("cmdOK")->click();
        openAfterOk = w->isVisible();
        w->findChild<QPushButton *>("cmdCancel")->click();
    });
    EXPECT_FALSE(select.PickList());
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->shown);
    EXPECT_EQ(box->text, "請選擇一筆資料");
    EXPECT_TRUE(openAfterOk);
}
