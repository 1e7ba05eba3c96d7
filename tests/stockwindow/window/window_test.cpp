// The stock window's start, criteria page and exit, driven offscreen on SQLite.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/grid/flexgrid.h"

#include "platform/programend.h"
#include "platform/settingsstore.h"

#include <QHeaderView>
#include <QTabWidget>

using namespace WindowTest;

namespace {

struct ProgramEnded
{
};

class StockWindow : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (IsSkipped())
            return;
        item(QStringLiteral("A1"), QStringLiteral("麵粉"));
        item(QStringLiteral("A2"), QStringLiteral("砂糖"));
        item(QStringLiteral("B1"), QStringLiteral("鹽"));
    }

    fmTOVRAN &startActive()
    {
        start();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    // Types into a criteria box that has the focus and leaves it with the key.
    void typeAndLeave(QLineEdit *box, const QString &text, Qt::Key key = Qt::Key_Tab)
    {
        box->setFocus();
        QApplication::processEvents();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, key);
        QApplication::processEvents();
        QApplication::processEvents();
    }

    // The window active again after a modal window closed, as the desktop makes it.
    void activateAgain()
    {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }

    static FlexGrid *pickerGrid(QWidget *w) { return w->findChild<FlexGrid *>("fgCode"); }

    // Arms a pick of the given row (1 = first item) in the next code picker.
    std::shared_ptr<QStringList> pickRow(int row)
    {
        auto rows = std::make_shared<QStringList>();
        TestModal::whenModal([rows, row](QWidget *w) {
            FlexGrid *g = pickerGrid(w);
            for (int r = 1; r < g->rows(); ++r)
                *rows << g->textMatrix(r, 0);
            for (int r = 1; r < row; ++r)
                QTest::keyClick(g->view(), Qt::Key_Down);
            QTest::keyClick(g->view(), Qt::Key_Return);
        });
        return rows;
    }
};

} // namespace

TEST_P(StockWindow, ProposesLastMonthInTheCalendarOfTheSettings)
{
    Clock::setNow(QDateTime(QDate(2003, 1, 15), QTime(9, 0)));
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    start();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "91");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtMonth")->text(), "12");
    EXPECT_EQ(Control<QTabWidget>(*window, "tabPage")->currentIndex(), 0);
    EXPECT_EQ(Control<QLabel>(*window, "lblStatus")->text(), "TESTER");
    EXPECT_EQ(Control<QLabel>(*window, "lblHead(2)")->text(), "92/01/15");
    EditIni().gsCalendar = QStringLiteral("cc/MM/DD"); // either case
    start();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "91");

    EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
    startActive();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "2002");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtMonth")->text(), "12");
    // The year box has the focus with its text selected: what is typed replaces it.
    ASSERT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtYear"));
    QTest::keyClicks(QApplication::focusWidget(), "2001");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "2001");
}

TEST_P(StockWindow, SavedDefaultDepartmentFillsItsNameAndWarehouse)
{
    SaveSetting("STK", "A1", "DEFDEPTNO", "A01");
    start();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNoB")->text(), "A01");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "一店01");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtStockNo")->text(), "1");
    EXPECT_TRUE(Control<QLineEdit>(*window, "txtDeptNoB")->isEnabled());
    EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "2003");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtMonth")->text(), "1");
    // The saved department limits the departments the user may choose.
    EXPECT_EQ(Suite().gvDeptPrefix, "A01");
}

TEST_P(StockWindow, UnknownOrMisnumberedDefaultDepartmentStopsTheSetUp)
{
    db->exec(
        "insert into Corp (CompNo, CompSName, DeptNo, StockNo) values ('Z00', '零', '00', 0);\n"
        "insert into Corp (CompNo, CompSName, DeptNo, StockNo) values ('Z11', '十一', '11', "
        "11);\n");
    SaveSetting("STK", "A1", "DEFDEPTNO", "NOPE");
    start();
    EXPECT_EQ(msg(), "無此部門代號");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNoB")->text(), "NOPE");
    // The rest of the set-up was left undone: no proposed period.
    EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "");
    EXPECT_TRUE(window->isMaximized());

    for (const char *dept : {"Z00", "Z11"}) {
        SaveSetting("STK", "A1", "DEFDEPTNO", dept);
        start();
        EXPECT_EQ(msg(), "倉庫碼錯誤") << dept;
        EXPECT_EQ(Control<QLineEdit>(*window, "txtStockNo")->text(), "") << dept;
        EXPECT_EQ(Control<QLineEdit>(*window, "txtYear")->text(), "") << dept;
    }
}

TEST_P(StockWindow, OptionsWithoutSavedValues)
{
    start();
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkAutoCalQty")->isChecked());
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColAdjustQty));
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkHideAvgPrice")->isChecked());
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColAvgPrice));
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkSortBySTKFlag")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkSortBySTKFlag")->isHidden());
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkUseUUnit")->isChecked());
    // Hidden at start: record number, department, date, amounts, count and price.
    for (int c = 0; c < fmTOVRAN::ColumnCount; ++c) {
        const bool hidden = QList<int>{0, 1, 2, 9, 11, 12, 13, 15, 19, 20}.contains(c);
        EXPECT_EQ(grid()->colHidden(c), hidden) << "column " << c;
    }
    // ... and the recount mark's column after the grid's 24, until the option shows it.
    EXPECT_EQ(grid()->cols(), 25);
    EXPECT_TRUE(grid()->colHidden(StockMonthModel::RecountColumn));
    EXPECT_EQ(cell(0, fmTOVRAN::ColSTKQty), "庫存量");
    EXPECT_EQ(cell(0, fmTOVRAN::ColLType), "大類別");
    EXPECT_EQ(grid()->rows(), 1);
}

TEST_P(StockWindow, SavedOptionsAndTheColumnSixteenQuirk)
{
    SaveSetting("TOVRAN", "Stock", "chkAutoCalQty", "1");
    SaveSetting("TOVRAN", "Stock", "chkNoDisplayQtyIsZero", "1");
    SaveSetting("TOVRAN", "Stock", "chkSortBySTKFlag", "1");
    SaveSetting("NORV", "STK", "UseUUnit", "Y");
    start();
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkAutoCalQty")->isChecked());
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColAdjustQty)); // still shown
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkSortBySTKFlag")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkUseUUnit")->isChecked());
    // Clicking twice brings box and column into line.
    Control<QCheckBox>(*window, "chkAutoCalQty")->click();
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColAdjustQty));
    Control<QCheckBox>(*window, "chkAutoCalQty")->click();
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkAutoCalQty")->isChecked());
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColAdjustQty));
}

TEST_P(StockWindow, IssueSlipsShowTheIssuedColumnAndHideTheFlagOrder)
{
    param("UseSOut", "y");
    SaveSetting("TOVRAN", "Stock", "chkSortBySTKFlag", "1"); // a hidden box takes no effect
    start();
    EXPECT_EQ(window->params().UseSOut, "Y");
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColOutQty));
    EXPECT_TRUE(Control<QCheckBox>(*window, "chkSortBySTKFlag")->isHidden());
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkSortBySTKFlag")->isChecked());
}

TEST_P(StockWindow, MonthAndYearBoxesRefuseWhatIsNoMonth)
{
    startActive();
    for (const char *bad : {"0", "13", "1.5e1"}) {
        typeAndLeave(Control<QLineEdit>(*window, "txtMonth"), bad);
        EXPECT_EQ(msg(), "月份一定在1-12之間") << bad;
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth")) << bad;
        EXPECT_EQ(Control<QLineEdit>(*window, "txtMonth")->selectedText(), bad);
    }
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
    typeAndLeave(Control<QLineEdit>(*window, "txtMonth"), "abc");
    EXPECT_EQ(msg(), "一定要輸入數字");
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth"));
    typeAndLeave(Control<QLineEdit>(*window, "txtYear"), "9x");
    EXPECT_EQ(msg(), "一定要輸入數字");
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtYear"));
    // Numbers that name no year are refused too, not turned into some year.
    for (const char *bad : {"1e308", "2003.5", "-5", "0"}) {
        Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
        typeAndLeave(Control<QLineEdit>(*window, "txtYear"), bad);
        EXPECT_EQ(msg(), "年度不正確") << bad;
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtYear")) << bad;
    }

    // A refused box keeps the focus also against a click elsewhere and a query.
    typeAndLeave(Control<QLineEdit>(*window, "txtYear"), "2003");
    typeAndLeave(Control<QLineEdit>(*window, "txtMonth"), "13");
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
    QTest::mouseClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth"));
    EXPECT_EQ(msg(), "月份一定在1-12之間");
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
    Control<QPushButton>(*window, "cmdQry")->click();
    EXPECT_EQ(msg(), "月份一定在1-12之間");

    // Good values move on: Enter and Down to the next box, Up back.
    typeAndLeave(Control<QLineEdit>(*window, "txtYear"), "2003", Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth"));
    typeAndLeave(Control<QLineEdit>(*window, "txtMonth"), "12", Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"));
    QTest::keyClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtMonth"));

    // F8 in year or month opens nothing.
    auto opened = TestModal::whenModal([](QWidget *w) { w->hide(); }, 500);
    QTest::keyClick(Control<QLineEdit>(*window, "txtMonth"), Qt::Key_F8);
    QTest::keyClick(Control<QLineEdit>(*window, "txtYear"), Qt::Key_F8);
    TestModal::waitFor([] { return false; }, 600);
    EXPECT_FALSE(*opened);
}

TEST_P(StockWindow, DepartmentBoxChecksOnLeavingAndAtQuery)
{
    startActive();
    typeAndLeave(Control<QLineEdit>(*window, "txtDeptNoB"), "B02");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "二店02");
    EXPECT_NE(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"));

    typeAndLeave(Control<QLineEdit>(*window, "txtDeptNoB"), "X99");
    EXPECT_EQ(msg(), "無此部門代號");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"));

    // Still in the box: the query refuses to start, with the box's message.
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
    Control<QPushButton>(*window, "cmdQry")->click();
    EXPECT_EQ(msg(), "無此部門代號");
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"));

    // A department that never went through the box (the saved default) is checked by the
    // query, with its own message.
    SaveSetting("STK", "A1", "DEFDEPTNO", "X99");
    startActive();
    Control<QLineEdit>(*window, "txtYear")->setText("2003");
    Control<QLineEdit>(*window, "txtMonth")->setText("1");
    auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    Control<QPushButton>(*window, "cmdQry")->click();
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "此部門未設定倉庫代號");
    EXPECT_EQ(box->icon, QMessageBox::Critical);
    EXPECT_EQ(gvMsg, "此部門未設定倉庫代號");
    EXPECT_TRUE(window->isEnabled());

    // Empty criteria are refused by the query in order.
    Control<QLineEdit>(*window, "txtMonth")->setText("");
    box = TestModal::answerMessageBox(QMessageBox::Ok);
    Control<QPushButton>(*window, "cmdQry")->click();
    EXPECT_EQ(box->text, "請輸入轉檔的月份");
}

TEST_P(StockWindow, RestrictedUserStaysSilentlyInTheDepartmentBox)
{
    db->exec("insert into Corp (CompNo, CompSName, DeptNo, StockNo) values ('120', '分店', "
             "'20', 1);\n");
    startActive();
    EditSuite().gvDeptPrefix = QStringLiteral("12");
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QString());
    for (const char *refused : {"1", "13"}) {
        typeAndLeave(Control<QLineEdit>(*window, "txtDeptNoB"), refused);
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"))
            << refused;
        EXPECT_EQ(msg(), "") << refused;
    }
    typeAndLeave(Control<QLineEdit>(*window, "txtDeptNoB"), "120");
    EXPECT_NE(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"));
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "分店20");
}

TEST_P(StockWindow, ItemRangeBoxesShowNamesAndAcceptUnknownItems)
{
    startActive();
    typeAndLeave(Control<QLineEdit>(*window, "txtSTKNoB"), "A2");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSTKNameB")->text(), "砂糖");
    Control<QLineEdit>(*window, "txtSTKNameE")->setText("old");
    typeAndLeave(Control<QLineEdit>(*window, "txtSTKNoE"), "ZZ");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSTKNameE")->text(), "");
    EXPECT_NE(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtSTKNoE"));
}

TEST_P(StockWindow, PickersOpenByDoubleClickAndByF8)
{
    startActive();
    // Department: only departments with a warehouse.
    db->exec("insert into Corp (CompNo, CompSName, DeptNo, StockNo) values ('C00', '倉外', "
             "'00', 0);\n");
    auto rows = pickRow(2);
    QTest::mouseDClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::LeftButton);
    EXPECT_EQ(*rows, QStringList({"A01", "B02"}));
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNoB")->text(), "B02");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "二店02");

    Control<QLineEdit>(*window, "txtSTKNoB")->setFocus();
    rows = pickRow(3);
    QTest::keyClick(Control<QLineEdit>(*window, "txtSTKNoB"), Qt::Key_F8);
    EXPECT_EQ(*rows, QStringList({"A1", "A2", "B1"}));
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSTKNoB")->text(), "B1");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSTKNameB")->text(), "鹽");

    rows = pickRow(1);
    QTest::mouseDClick(Control<QLineEdit>(*window, "txtSTKNoE"), Qt::LeftButton);
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSTKNoE")->text(), "A1");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSTKNameE")->text(), "麵粉");

    Control<QLineEdit>(*window, "txtDeptNoB")->setFocus();
    rows = pickRow(1);
    QTest::keyClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::Key_F8);
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNoB")->text(), "A01");

    // Esc leaves a picker without a pick.
    auto esc = TestModal::whenModal(
        [](QWidget *w) { QTest::keyClick(pickerGrid(w)->view(), Qt::Key_Escape); });
    QTest::keyClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::Key_F8);
    EXPECT_TRUE(*esc);
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNoB")->text(), "A01");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtDeptNameB")->text(), "一店01");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_P(StockWindow, RocDateRangeFromThePickerPassesTheDateCheck)
{
    stock("2025/11/30", "A1", 1, 0);
    stock("2025/12/31", "A1", 1, 0);
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    startActive();
    Control<QLineEdit>(*window, "txtSINDateB")->setFocus();
    QApplication::processEvents();
    auto rows = pickRow(1);
    QTest::keyClick(Control<QLineEdit>(*window, "txtSINDateB"), Qt::Key_F8);
    EXPECT_EQ(*rows, QStringList({"114/12/01", ""}));
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSINDateB")->text(), "114/12/01");
    EXPECT_EQ(Control<QLineEdit>(*window, "txtSINDateE")->text(), "114/12/31");
    activateAgain();
    // Leaving either box accepts the picked date.
    QTest::keyClick(Control<QLineEdit>(*window, "txtSINDateB"), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_NE(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtSINDateB"));
    Control<QLineEdit>(*window, "txtSINDateE")->setFocus();
    QApplication::processEvents();
    QTest::mouseClick(Control<QLineEdit>(*window, "txtDeptNoB"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtDeptNoB"));

    // A date that does not exist is still refused, and the box keeps the focus.
    Control<QLineEdit>(*window, "txtSINDateE")->setText("114/02/29");
    auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    QTest::keyClick(Control<QLineEdit>(*window, "txtSINDateE"), Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "日期格式錯誤");
    activateAgain();
    EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(*window, "txtSINDateE"));
}

TEST_P(StockWindow, ExitQuestionNoKeepsTheWindowYesSavesTheOptions)
{
    SetEndProgramHandler([] { throw ProgramEnded(); });
    start();
    Control<ElasticPanel>(*window, "elaMsg")->setCaption(QStringLiteral("something"));
    auto box = TestModal::answerMessageBox(QMessageBox::No);
    Control<QPushButton>(*window, "cmdExit")->click();
    ASSERT_TRUE(box->shown);
    EXPECT_EQ(box->text, "確定要離開嗎?");
    EXPECT_EQ(box->icon, QMessageBox::Information);
    EXPECT_EQ(msg(), "");
    EXPECT_TRUE(window->isVisible());

    // The title bar's close button asks the same.
    box = TestModal::answerMessageBox(QMessageBox::No);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(box->shown);
    EXPECT_EQ(box->text, "確定要離開嗎?");
    EXPECT_TRUE(window->isVisible());

    Control<QCheckBox>(*window, "chkAutoCalQty")->setChecked(true);
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->setChecked(false);
    Control<QCheckBox>(*window, "chkSortBySTKFlag")->setChecked(true);
    box = TestModal::answerMessageBox(QMessageBox::Yes);
    EXPECT_THROW(Control<QPushButton>(*window, "cmdExit")->click(), ProgramEnded);
    EXPECT_EQ(GetSetting("TOVRAN", "Stock", "chkAutoCalQty"), "1");
    EXPECT_EQ(GetSetting("TOVRAN", "Stock", "chkNoDisplayQtyIsZero"), "0");
    EXPECT_EQ(GetSetting("TOVRAN", "Stock", "chkSortBySTKFlag"), "1");
    SetEndProgramHandler(nullptr);
}

TEST_P(StockWindow, NameHeadingSortsForTheNameSearchAndAScanStillFindsItsRow)
{
    stock("2003/01/31", "A1", 1, 0);
    stock("2003/01/31", "A2", 1, 0);
    stock("2003/01/31", "B1", 1, 0);
    startActive();
    query("2003", "1");
    ASSERT_EQ(itemOrder(), QStringList({"A1", "A2", "B1"}));
    QHeaderView *header = grid()->view()->horizontalHeader();
    auto clickHeading = [header](int col) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col) + 5, header->height() / 2));
        QApplication::processEvents();
    };
    // 砂糖 < 鹽 < 麵粉 in the order of the characters; a second click reverses, a third
    // sorts ascending again.
    clickHeading(fmTOVRAN::ColName);
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1", "A1"}));
    clickHeading(fmTOVRAN::ColName);
    EXPECT_EQ(itemOrder(), QStringList({"A1", "B1", "A2"}));
    clickHeading(fmTOVRAN::ColName);
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1", "A1"}));
    Control<QTabWidget>(*window, "tabPage")->setCurrentIndex(1);
    Control<QLineEdit>(*window, "txtSeekItem")->setFocus();
    Control<QLineEdit>(*window, "txtSeekItem")
        ->insert(QStringLiteral("麵")); // as the input method commits it
    EXPECT_EQ(grid()->row(), 3);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColName);
    // A scan still finds its row (and puts the rows back in item order).
    Control<QLineEdit>(*window, "textSTKNo")->setFocus();
    QTest::keyClicks(Control<QLineEdit>(*window, "textSTKNo"), QStringLiteral("B1"));
    QTest::keyClick(Control<QLineEdit>(*window, "textSTKNo"), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(cell(grid()->row(), fmTOVRAN::ColSTKNo), "B1");
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from STOCK")).toInt(), 3);
}

INSTANTIATE_TEST_SUITE_P(Databases, StockWindow, ::testing::Values(Backend::SQLite), kindName);
