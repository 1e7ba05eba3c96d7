// Loading a month into the real stock window: the deadline, the period end, the use
// unit, the completion from the item master, the row filters and the display options.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/settingsstore.h"
#include "platform/widgets/screenunits.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>

using namespace WindowTest;

namespace {

class Loading : public WindowFixture
{
protected:
    QStringList logLines() const
    {
        QFile f(Ini().gsLogFile);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_P(Loading, DeadlineRefusesALatePeriodThroughTheConfirmationWindow)
{
    param("TOVRAN_DeadLine", "5");
    item("A1", "麵粉");
    stock("2003/01/31", "A1", 1, 2, 3);
    Clock::setNow(QDateTime(QDate(2003, 2, 6), QTime(8, 0)));
    start();
    auto sure = answerSure();
    query("2003", "1");
    ASSERT_TRUE(sure->shown);
    EXPECT_EQ(sure->message, "已超過期限2003/02/05,無法作業!");
    EXPECT_EQ(sure->title, "訊息視窗");
    EXPECT_FALSE(sure->cancelVisible);
    EXPECT_EQ(gvMsg, "已超過期限2003/02/05,無法作業!");
    EXPECT_EQ(msg(), "");
    EXPECT_EQ(grid()->rows(), 1);
    EXPECT_EQ(Control<QTabWidget>(*window, "tabPage")->currentIndex(), 0);
    EXPECT_TRUE(window->isEnabled());

    // The limit day itself is still allowed.
    Clock::setNow(QDateTime(QDate(2003, 2, 5), QTime(23, 59)));
    query("2003", "1");
    EXPECT_EQ(msg(), "查詢完成");
    EXPECT_EQ(itemOrder(), QStringList({"A1"}));
    EXPECT_EQ(Control<QTabWidget>(*window, "tabPage")->currentIndex(), 1);
}

TEST_P(Loading, ClosingDayMovesThePeriodEndAndTheDeadline)
{
    param("TOVRAN_DeadLine", "5");
    param("StockEndDate", "25");
    item("A1", "麵粉");
    item("A2", "砂糖");
    stock("2003/01/25", "A1", 1, 0);
    stock("2003/01/31", "A2", 1, 0);
    Clock::setNow(QDateTime(QDate(2003, 1, 31), QTime(8, 0)));
    start();
    auto sure = answerSure();
    query("2003", "1");
    EXPECT_EQ(sure->message, "已超過期限2003/01/30,無法作業!");
    Clock::setNow(QDateTime(QDate(2003, 1, 30), QTime(8, 0)));
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A1"}));
}

TEST_P(Loading, NoDeadlineWhenTheParameterIsZeroOrNegative)
{
    param("TOVRAN_DeadLine", "-3");
    item("A1", "麵粉");
    stock("2003/01/31", "A1", 1, 0);
    Clock::setNow(QDateTime(QDate(2010, 1, 1), QTime(8, 0)));
    start();
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A1"}));
}

TEST_P(Loading, RocYearsAndAClosingDayBeyondTheMonth)
{
    item("A1", "麵粉");
    item("A2", "砂糖");
    stock("2003/01/31", "A1", 1, 0);
    stock("2003/02/28", "A2", 1, 0);
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    start();
    query("92", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A1"}));

    // Closing day 31: February's period ends on its last day, and its deadline counts
    // from there.
    param("StockEndDate", "31");
    param("TOVRAN_DeadLine", "5");
    stock("2003/03/03", "A1", 1, 0);
    EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
    Clock::setNow(QDateTime(QDate(2003, 3, 6), QTime(8, 0)));
    start();
    auto sure = answerSure();
    query("2003", "2");
    EXPECT_EQ(sure->message, "已超過期限2003/03/05,無法作業!");
    Clock::setNow(QDateTime(QDate(2003, 3, 5), QTime(8, 0)));
    query("2003", "2");
    EXPECT_EQ(itemOrder(), QStringList({"A2"}));
    EXPECT_EQ(cell(1, fmTOVRAN::ColStkDate), "2003/02/28");
}

TEST_P(Loading, RowsAreCompletedFromTheItemMasterInTheUseUnit)
{
    item("U1", "可樂", "箱", "瓶", "12", "Y", "D", "24入");
    item("U0", "汽水", "箱", "瓶", "0", "N", "D");
    item("P1", "紙杯", "包", "", "5");
    stock("2003/01/31", "U1", 2.5, 1, 0, 100);
    stock("2003/01/31", "U0", 2.5, 1, 0, 100);
    stock("2003/01/31", "P1", 4, 0, 0, 10);
    stock("2003/01/31", "GONE", 7, 0, 0, 3);
    SaveSetting("NORV", "STK", "UseUUnit", "Y");
    start();
    ASSERT_TRUE(Control<QCheckBox>(*window, "chkUseUUnit")->isChecked());
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"GONE", "P1", "U0", "U1"}));

    const int u1 = rowOf("U1");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColLastQty), "30");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColInQty), "12");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColAvgPrice), "8.33");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColLastAmt), "250"); // amounts are never converted
    EXPECT_EQ(cell(u1, fmTOVRAN::ColUnit), "瓶");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColName), "可樂");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColDscp), "24入");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColFlag), "Y");
    EXPECT_EQ(cell(u1, fmTOVRAN::ColLType), "D");
    EXPECT_EQ(grid()->factor(u1), 12);

    // A use unit without a factor: shown in the use unit, quantities unchanged, one line
    // in the log naming the item.
    const int u0 = rowOf("U0");
    EXPECT_EQ(cell(u0, fmTOVRAN::ColLastQty), "2.5");
    EXPECT_EQ(cell(u0, fmTOVRAN::ColAvgPrice), "100");
    EXPECT_EQ(cell(u0, fmTOVRAN::ColUnit), "瓶");
    EXPECT_EQ(grid()->factor(u0), 1);
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].endsWith(" => 未設定換算數量:汽水(U0)")) << log[0].toStdString();

    // No use unit: the stock unit and factor 1.
    const int p1 = rowOf("P1");
    EXPECT_EQ(cell(p1, fmTOVRAN::ColLastQty), "4");
    EXPECT_EQ(cell(p1, fmTOVRAN::ColUnit), "包");
    EXPECT_EQ(grid()->factor(p1), 1);

    // An item missing from the master keeps empty texts and factor 1.
    const int gone = rowOf("GONE");
    for (int c : {fmTOVRAN::ColName, fmTOVRAN::ColDscp, fmTOVRAN::ColUnit, fmTOVRAN::ColFlag,
                  fmTOVRAN::ColLType})
        EXPECT_EQ(cell(gone, c), "") << "column " << c;
    EXPECT_EQ(cell(gone, fmTOVRAN::ColLastQty), "7");
    EXPECT_EQ(grid()->factor(gone), 1);

    // The stock unit when the box is off: the next query shows it.
    Control<QCheckBox>(*window, "chkUseUUnit")->click();
    EXPECT_EQ(GetSetting("NORV", "STK", "UseUUnit"), "N");
    EXPECT_EQ(cell(rowOf("U1"), fmTOVRAN::ColLastQty), "30"); // not reconverted
    query("2003", "1");
    EXPECT_EQ(cell(rowOf("U1"), fmTOVRAN::ColLastQty), "2.5");
    EXPECT_EQ(cell(rowOf("U1"), fmTOVRAN::ColAvgPrice), "100");
    EXPECT_EQ(cell(rowOf("U1"), fmTOVRAN::ColUnit), "箱");
    EXPECT_EQ(logLines().size(), 1);
}

TEST_P(Loading, CompletionReportsAndFormatsTheGrid)
{
    item("A1", "麵粉");
    item("A2", "砂糖");
    stock("2003/01/31", "A2", 1, 0, 2, 5);
    stock("2003/01/31", "A1", 1, 0, 2, 5);
    start();
    query("2003", "1");
    EXPECT_EQ(msg(), "查詢完成");
    EXPECT_EQ(Control<QTabWidget>(*window, "tabPage")->currentIndex(), 1);
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    EXPECT_EQ(itemOrder(), QStringList({"A1", "A2"}));
    for (int r = 1; r < grid()->rows(); ++r) {
        EXPECT_EQ(grid()->cellBackColor(r, fmTOVRAN::ColSTKQty), FromWinColor(65535));
        EXPECT_EQ(grid()->cellBackColor(r, fmTOVRAN::ColAvgPrice), FromWinColor(0x808EFF));
        EXPECT_TRUE(grid()->cellBold(r, fmTOVRAN::ColSTKQty));
        EXPECT_TRUE(grid()->cellBold(r, fmTOVRAN::ColAvgPrice));
        EXPECT_FALSE(grid()->cellBold(r, fmTOVRAN::ColUseQty));
    }
    EXPECT_EQ(grid()->view()->columnWidth(fmTOVRAN::ColName), ScreenTwipsToPixels(2000));
    EXPECT_EQ(grid()->view()->columnWidth(fmTOVRAN::ColSTKNo), ScreenTwipsToPixels(800));
    EXPECT_EQ(cell(1, fmTOVRAN::ColUserID), "MAKER");
    EXPECT_EQ(cell(1, fmTOVRAN::ColRNo), db->scalar("select RNo from STOCK where STKNo = 'A1'"));

    // Another month without records: the local message, no rows.
    const QString noData = LocalMsg("NODATA");
    ASSERT_FALSE(noData.isEmpty());
    EXPECT_NE(noData, "NODATA");
    query("2003", "2");
    EXPECT_EQ(msg(), noData);
    EXPECT_EQ(grid()->rows(), 1);
}

TEST_P(Loading, ALongLoadShowsItsProgressAndTheCountWhenDone)
{
    // 3,000 records of department A01 (3 of them with item master records) and one of
    // another department, which the load neither reads nor counts.
    item("P100001", "麵粉");
    item("P101500", "砂糖");
    item("P103000", "鹽");
    db->exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                            "where i < 3000) insert into STOCK (DeptNo, StkDate, STKNo, LastQty, "
                            "UserID) select 'A01', %1, 'P' || (100000 + i), i, 'MAKER' from n;\n")
                 .arg(QuotDate(QStringLiteral("2003/01/31"))));
    stock("2003/01/31", "P100001", 1, 0, 0, 0, "B02");
    start();
    // Progress from the first rows on, a repaint at every step of the read.
    window->setLoadProgressTiming({0, 0});
    struct Seen
    {
        QString caption;
        qint64 value, maximum;
        bool windowEnabled;
    };
    QList<Seen> seen;
    struct PaintWatch : QObject
    {
        std::function<void()> onPaint;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                onPaint();
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        ElasticPanel *p = Control<ElasticPanel>(*window, "elaMsg");
        if (p->caption().startsWith(QStringLiteral("資料整理中")))
            seen.append({p->caption(), p->floodValue(), p->floodMaximum(), window->isEnabled()});
    };
    Control<ElasticPanel>(*window, "elaMsg")->installEventFilter(&watch);
    query("2003", "1");
    Control<ElasticPanel>(*window, "elaMsg")->removeEventFilter(&watch);

    // Rows read of rows expected, painted as they rise, the window disabled meanwhile.
    ASSERT_GE(seen.size(), 3);
    for (int i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(seen[i].caption.toStdString());
        EXPECT_EQ(seen[i].maximum, 3000);
        EXPECT_FALSE(seen[i].windowEnabled);
        EXPECT_EQ(seen[i].caption, QStringLiteral("資料整理中：%1 / 3000").arg(seen[i].value));
        if (i > 0) {
            EXPECT_GE(seen[i].value, seen[i - 1].value);
        }
    }
    EXPECT_LT(seen.first().value, 3000);
    EXPECT_EQ(seen.last().value, 3000);

    // Done: the message, the count beside it, the flood cleared, every row in the grid.
    EXPECT_EQ(msg(), "查詢完成");
    EXPECT_EQ(Control<ElasticPanel>(*window, "elaMsg")->note(), "共 3000 筆");
    EXPECT_EQ(Control<ElasticPanel>(*window, "elaMsg")->floodValue(), 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(grid()->rows(), 3001);
    EXPECT_EQ(cell(1500, fmTOVRAN::ColName), "砂糖");
    EXPECT_EQ(cell(3000, fmTOVRAN::ColSTKNo), "P103000");

    // Texts that repeat from record to record are kept once.
    const StockMonth &m = window->month();
    ASSERT_EQ(m.size(), 3000);
    EXPECT_EQ(m.at(0).stored.UserID, "MAKER");
    EXPECT_EQ(m.at(2999).stored.DeptNo, "A01");
    EXPECT_EQ(m.at(0).stored.UserID.constData(), m.at(2999).stored.UserID.constData());
    EXPECT_EQ(m.at(0).stored.DeptNo.constData(), m.at(2999).stored.DeptNo.constData());

    // The next message has no count beside it.
    query("2003", "2");
    EXPECT_EQ(msg(), LocalMsg("NODATA"));
    EXPECT_EQ(Control<ElasticPanel>(*window, "elaMsg")->note(), "");
}

TEST_P(Loading, CriteriaFilterTheRowsAndTheFlagOrdersThem)
{
    item("A1", "麵粉", "個", "", "1", "N", "A");
    item("A2", "砂糖", "個", "", "1", "Y", "B");
    item("B1", "鹽", "個", "", "1", "Y", "A");
    item("B2", "醋", "個", "", "1", "", "B");
    for (const char *no : {"A1", "A2", "B1", "B2"})
        stock("2003/01/31", no, 1, 0);
    stock("2003/01/31", "A1", 1, 0, 0, 0, "B02"); // another department
    start();
    Control<QLineEdit>(*window, "txtLType")->setText("A");
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A1", "B1"}));

    // The category pick fills in the description; it finds the items of its code.
    db->exec(QStringLiteral(
        "insert into xxCODE (CodeType, Code, Dscp) values ('LTYPE', 'A', '乾貨');\n"));
    Control<QLineEdit>(*window, "txtLType")->setText(QStringLiteral("乾貨"));
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A1", "B1"}));

    Control<QLineEdit>(*window, "txtLType")->clear();
    Control<QLineEdit>(*window, "txtSTKNoB")->setText("A2");
    Control<QLineEdit>(*window, "txtSTKNoE")->setText("B1");
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1"}));

    Control<QLineEdit>(*window, "txtSTKNoB")->clear();
    Control<QLineEdit>(*window, "txtSTKNoE")->clear();
    Control<QCheckBox>(*window, "chkSortBySTKFlag")->setChecked(true);
    query("2003", "1");
    EXPECT_EQ(itemOrder(), QStringList({"A2", "B1", "A1", "B2"}));
}

TEST_P(Loading, DisplayOptionsHideColumnsAndRows)
{
    item("A1", "麵粉", "個", "", "1", "Y");
    item("A2", "砂糖", "個", "", "1", "y");
    item("B1", "鹽", "個", "", "1", "N");
    item("B2", "醋", "個", "", "1", "");
    stock("2003/01/31", "A1", 1, 0);
    stock("2003/01/31", "A2", 0, 0, 5); // nothing before, nothing received, counted 5
    stock("2003/01/31", "B1", 0, 2);
    stock("2003/01/31", "B2", 0, 0);
    start();
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->setChecked(true);
    query("2003", "1");
    EXPECT_EQ(visibleItems(), QStringList({"A1", "B1"}));

    // Unchecked: every row again.
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->click();
    EXPECT_EQ(visibleItems(), QStringList({"A1", "A2", "B1", "B2"}));

    // Rows of items not kept in stock ("y" counts as "Y", empty does not).
    Control<QCheckBox>(*window, "chkHideSTKFlag")->click();
    EXPECT_EQ(visibleItems(), QStringList({"A1", "A2"}));
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->click();
    EXPECT_EQ(visibleItems(), QStringList({"A1"}));
    // Unchecking the zero box shows every row, those of the flag box too.
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->click();
    EXPECT_EQ(visibleItems(), QStringList({"A1", "A2", "B1", "B2"}));
    Control<QCheckBox>(*window, "chkHideSTKFlag")
        ->click(); // unchecked: shows the flag's rows (all shown already)
    EXPECT_EQ(visibleItems(), QStringList({"A1", "A2", "B1", "B2"}));

    // Columns.
    Control<QCheckBox>(*window, "chkHideDscp")->click();
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColDscp));
    Control<QCheckBox>(*window, "chkHideDscp")->click();
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColDscp));
    Control<QCheckBox>(*window, "chkHideAvgPrice")->click();
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColAvgPrice));
    Control<QCheckBox>(*window, "chkAutoCalQty")->click();
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColAdjustQty));
    // Column states stay across queries; row states do not: the flag box has to be
    // clicked again, while the zero rule returns with the query.
    Control<QCheckBox>(*window, "chkHideSTKFlag")->click();
    EXPECT_EQ(visibleItems(), QStringList({"A1", "A2"}));
    query("2003", "1");
    EXPECT_EQ(visibleItems(), QStringList({"A1", "A2", "B1", "B2"}));
    Control<QCheckBox>(*window, "chkNoDisplayQtyIsZero")->click();
    query("2003", "1");
    EXPECT_EQ(visibleItems(), QStringList({"A1", "B1"}));
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColAdjustQty));
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColAvgPrice));
}

TEST_P(Loading, DataPageScreenshot)
{
    if (GetParam() != Backend::SQLite)
        GTEST_SKIP() << "one screenshot is enough";
    item("A1", "高筋麵粉", "包", "公斤", "25", "Y", "A", "25kg");
    item("A2", "細砂糖", "包", "", "1", "N", "A", "1kg");
    item("B1", "鹽", "包", "", "1", "Y", "B", "500g");
    stock("2003/01/31", "A1", 2, 1, 3, 500);
    stock("2003/01/31", "A2", 5, 10, 12, 35);
    stock("2003/01/31", "B1", 1, 0, 1, 12);
    SaveSetting("STK", "A1", "DEFDEPTNO", "A01");
    start();
    window->resize(1280, 800);
    query("2003", "1");
    ASSERT_EQ(Control<QTabWidget>(*window, "tabPage")->currentIndex(), 1);
    QApplication::processEvents();
    const QString dir = QStringLiteral(TOVRAN_ARTIFACT_DIR);
    QDir().mkpath(dir);
    const QImage shot = window->grab().toImage();
    ASSERT_TRUE(shot.save(dir + QStringLiteral("/data.png")));
    // The yellow of the count column is on the page.
    int yellow = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            yellow += QColor(shot.pixel(x, y)) == FromWinColor(65535);
    EXPECT_GT(yellow, 200);
}

INSTANTIATE_TEST_SUITE_P(Databases, Loading,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), kindName);
