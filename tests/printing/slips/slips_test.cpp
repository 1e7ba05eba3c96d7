#include "printing/slips.h"

#include "common/clock.h"
#include "common/numtext.h"
#include "common/state.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "platform/grid/flexgrid.h"
#include "platform/print/printdocument.h"
#include "platform/widgets/elasticpanel.h"
#include "printing/previewwindow.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// One item line of the stock grid: opening and closing quantity and amount.
struct Item
{
    QString no;
    QString name;
    QString spec;
    QString unit;
    QString openQty;
    QString openAmt;
    QString qty;
    QString amt;
};

// A word of a PDF page with its box in twips.
struct Word
{
    int page = 0;
    QString text;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<Word> pdfWords(const QString &pdf)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<Word> words;
    int page = 0;
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(5), m.captured(1).toDouble() * 20,
                      m.captured(2).toDouble() * 20, m.captured(3).toDouble() * 20,
                      m.captured(4).toDouble() * 20});
    }
    return words;
}

QString pageText(const QString &pdf, int page)
{
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
}

QString squeezed(QString text)
{
    return text.remove(QLatin1Char(' '));
}

QList<Word> find(const QList<Word> &words, const QString &text, int page = 0)
{
    QList<Word> found;
    for (const Word &w : words)
        if (w.text == text && (page == 0 || w.page == page))
            found.append(w);
    return found;
}

// The rows of the mirror grid (the CSV source) as "|"-joined lines.
QStringList mirrorLines()
{
    FlexGrid *grid = frmVSPBlank().fgList();
    QStringList lines;
    for (int r = 0; r < grid->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->cols(); ++c)
            cells << grid->textMatrix(r, c);
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

class Slips : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.available()) << db.skipReason().toStdString();
        db.applySchema(QStringLiteral("business"));
        EditConn().gCNT = db.open();
        SetDBType();
        Conn().gCNT->executeNonQuery(
            QStringLiteral("insert into Corp (CompNo, compname, CompSName, DeptNo) values ('A01', "
                           "'美味食品中山店', "
                           "'中山店', '廚房')"));
        saved = {Ini().gsCalendar, Ini().gsDateSep};
        EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
        EditIni().gsDateSep = QStringLiteral("/");
        Clock::setNow(QDateTime(QDate(2013, 6, 3), QTime(9, 30)));

        source.elaMsg = &panel;
        source.fontName = QStringLiteral("標楷體");
    }
    void TearDown() override
    {
        EditIni().gsCalendar = saved[0];
        EditIni().gsDateSep = saved[1];
        Clock::setNow(QDateTime());
        EditConn().gCNT.reset();
    }

    void addItem(const Item &item)
    {
        StockRow row;
        row.stored.Rno = double(rows.size() + 1);
        row.stored.STKNo = item.no;
        row.name = item.name;
        row.dscp = item.spec;
        row.unit = item.unit;
        row.stored.LastQty = Val(item.openQty);
        row.stored.LastAmt = Val(item.openAmt);
        row.stored.STKQty = Val(item.qty);
        row.stored.STKAmt = Val(item.amt);
        rows.push_back(row);
    }
    // n items with a closing quantity of 1 and amount 10 (M001, M002, ...).
    void addItems(int n, int from = 1)
    {
        for (int i = from; i < from + n; ++i)
            addItem({QStringLiteral("M%1").arg(i, 3, 10, QLatin1Char('0')),
                     QStringLiteral("品項%1").arg(i), QStringLiteral("1kg"), QStringLiteral("包"),
                     QStringLiteral("2"), QStringLiteral("20"), QStringLiteral("1"),
                     QStringLiteral("10")});
    }

    // Prints the slip through the button logic and writes the document as PDF.
    QString print(int index, const QString &name)
    {
        frmVSPBlank().vsp().killDoc();
        loadMonth();
        cmdPrintByMistra_Click(index, source);
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        if (frmVSPBlank().vsp().pageCount() > 0)
            frmVSPBlank().vsp().savePdf(pdf);
        return pdf;
    }

    TestDatabase db{Backend::SQLite};
    QTemporaryDir dir;
    // The month as loaded: the rows added so far, in order.
    void loadMonth()
    {
        month.reset(period, false);
        source.rows = {&month, {}, {}};
        for (const StockRow &row : rows)
            source.rows.rows.append(month.append(row));
    }

    std::vector<StockRow> rows;
    StockMonth::Period period{2013, 5, QStringLiteral("A01"), QDate(2013, 5, 31)};
    StockMonth month;
    ElasticPanel panel;
    SlipSource source;
    QStringList saved;
};

} // namespace

TEST(SlipRules, NumberDateAndTotalText)
{
    EXPECT_EQ(SlipNumber(2013, 5, QStringLiteral(" A01 "), QStringLiteral("B")), "1305-A01B");
    EXPECT_EQ(SlipNumber(2009, 12, QStringLiteral("K7"), QStringLiteral("A")), "0912-K7A");
    // Calendar months.
    EXPECT_EQ(SlipDate(false, 2013, 5, QString()), QDate(2013, 5, 1));
    EXPECT_EQ(SlipDate(true, 2013, 5, QString()), QDate(2013, 5, 31));
    EXPECT_EQ(SlipDate(true, 2012, 2, QString()), QDate(2012, 2, 29));
    // Periods closing on the 25th.
    EXPECT_EQ(SlipDate(false, 2013, 5, QStringLiteral("25")), QDate(2013, 4, 26));
    EXPECT_EQ(SlipDate(true, 2013, 5, QStringLiteral("25")), QDate(2013, 5, 25));
    EXPECT_EQ(SlipDate(false, 2013, 1, QStringLiteral("25")), QDate(2012, 12, 26));
    // Closing days beyond a short month: its period ends on its last day.
    EXPECT_EQ(SlipDate(true, 2003, 2, QStringLiteral("31")), QDate(2003, 2, 28));
    EXPECT_EQ(SlipDate(false, 2003, 3, QStringLiteral("31")), QDate(2003, 3, 1));
    EXPECT_EQ(SlipDate(false, 2004, 3, QStringLiteral("30")), QDate(2004, 3, 1));
    EXPECT_EQ(SlipDate(false, 2004, 2, QStringLiteral("29")), QDate(2004, 1, 30));
    // Whatever the closing day, the stock-in slip carries the date of the period's records,
    // the issue slip the day after the previous period's, and the number the period's month.
    for (const char *day : {"", "25", "28", "29", "30", "31"}) {
        const QString setting = QString::fromLatin1(day);
        for (const QDate month : {QDate(2003, 2, 1), QDate(2004, 2, 1), QDate(2004, 3, 1),
                                  QDate(2004, 12, 1), QDate(2005, 1, 1)}) {
            const int y = month.year(), m = month.month();
            const QDate before = month.addMonths(-1);
            const QDate end = SlipDate(true, y, m, setting);
            EXPECT_EQ(end, PeriodEndDate(y, m, setting)) << day << " " << y << "/" << m;
            EXPECT_EQ(SlipDate(false, y, m, setting),
                      SlipDate(true, before.year(), before.month(), setting).addDays(1))
                << day << " " << y << "/" << m;
            EXPECT_EQ(SlipNumber(y, m, QStringLiteral("A01"), QStringLiteral("B")),
                      end.toString(QStringLiteral("yyMM")) + QStringLiteral("-A01B"));
        }
    }

    EXPECT_EQ(GroupedWhole(0), "");
    EXPECT_EQ(GroupedWhole(0.4), "");
    EXPECT_EQ(GroupedWhole(1234567.5), "1,234,568");
    EXPECT_EQ(GroupedWhole(999), "999");
    EXPECT_EQ(GroupedWhole(-1234.4), "-1,234");
    EXPECT_EQ(GroupedWhole(2.5), "3");
    EXPECT_EQ(GroupedWhole(1e20), "100,000,000,000,000,000,000");
}

TEST_F(Slips, TwentyOneRowsMakeTwoPagesWithCarryOverAndPageNumbers)
{
    addItems(10);
    // Rows of quantity 0 are skipped without using a line number.
    addItem({"Z001", "零庫存", "", "個", "0", "0", "0", "0"});
    addItem({"Z002", "零庫存", "", "個", "3", "30", "abc", "0"});
    addItems(11, 11);
    const QString pdf = print(1, QStringLiteral("stockin21"));
    ASSERT_EQ(frmVSPBlank().vsp().pageCount(), 2);
    EXPECT_TRUE(frmVSPBlank().isVisible());

    const QString page1 = pageText(pdf, 1);
    const QString page2 = pageText(pdf, 2);
    EXPECT_TRUE(page1.contains("過次頁"));
    EXPECT_FALSE(page2.contains("過次頁"));
    EXPECT_TRUE(page1.contains("頁次:1/2"));
    EXPECT_TRUE(page2.contains("頁次:2/2"));
    EXPECT_FALSE(page1.contains("Z00"));
    EXPECT_TRUE(page1.contains("M020"));
    EXPECT_FALSE(page1.contains("M021"));
    EXPECT_TRUE(page2.contains("M021"));
    EXPECT_TRUE(page2.contains("入 庫 單"));
    EXPECT_TRUE(page1.contains("入庫單號 :1305-A01B"));
    EXPECT_TRUE(page1.contains("美味食品中山店"));
    // Totals and signatures on the last page only.
    EXPECT_FALSE(squeezed(page1).contains("驗收"));
    EXPECT_TRUE(squeezed(page2).contains("主管驗收"));

    const QList<Word> words = pdfWords(pdf);
    // Line numbers 1..20 on page 1 and 1 on page 2, in the first column.
    auto lineNumbers = [&](int page) {
        QStringList numbers;
        for (const Word &w : words)
            if (w.page == page && w.x1 < 620 && w.y0 > 2400 && w.y1 < 12300)
                numbers << w.text;
        return numbers;
    };
    QStringList expected;
    for (int i = 1; i <= 20; ++i)
        expected << QString::number(i);
    EXPECT_EQ(lineNumbers(1), expected);
    EXPECT_EQ(lineNumbers(2), QStringList({"1"}));
    // The 20th line ends above the carry-over text and the totals.
    const QList<Word> carry = find(words, "過次頁", 1);
    ASSERT_EQ(carry.size(), 1);
    EXPECT_NEAR(carry[0].x0, 3500, 40);
    EXPECT_NEAR(carry[0].y0, 12400, 120);
    const QList<Word> last = find(words, "M020", 1);
    ASSERT_EQ(last.size(), 1);
    EXPECT_LT(last[0].y1, 12300);

    // Grand total 210 right-aligned to 8300 twips, twice, 480 twips apart.
    const QList<Word> totals = find(words, "210", 2);
    ASSERT_EQ(totals.size(), 2);
    EXPECT_NEAR(totals[0].x1, 8300, 60);
    EXPECT_NEAR(totals[1].x1, 8300, 60);
    EXPECT_NEAR(totals[1].y0 - totals[0].y0, 480, 10);
    EXPECT_NEAR(totals[0].y0, 12320, 150);
}

TEST_F(Slips, IssueSlipTakesOpeningFiguresAndPeriodStart)
{
    source.stockEndDate = QStringLiteral("25");
    addItem({"M001", "麵粉", "25kg", "包", "4", "50", "9", "99"});
    addItem({"M002", "糖", "1kg", "包", "3", "10", "0", "0"});
    addItem({"M003", "退貨", "", "箱", "-2", "-7", "1", "5"});
    addItem({"M004", "鹽", "", "包", "0", "0", "6", "60"});
    print(0, QStringLiteral("issue"));

    // The printing date and time in the short formats of the tests' C locale, run together.
    ASSERT_EQ(QLocale::system().name(), "C") << "the tests run with LC_ALL=C.UTF-8";
    const QStringList lines = mirrorLines();
    const QStringList expected{
        "領 用 單",
        "領用日期：102/04/26部門：A01中山店廚房",
        "列印日期：3 Jun 201309:30:00備  註",
        "序號|物料編號|物料名稱|規格|單位|數量|單價|金額|入庫|大類別",
        "1|M001|麵粉|25kg|包|4|12.5|50",
        "2|M002|糖|1kg|包|3|3.33|10",
        "3|M003|退貨||箱|-2|3.5|-7",
    };
    EXPECT_EQ(lines, expected);

    // The stock-in slip of the same period is dated at its end.
    print(1, QStringLiteral("stockin"));
    const QStringList stockIn = mirrorLines();
    EXPECT_EQ(stockIn.value(0), "入 庫 單");
    EXPECT_EQ(stockIn.value(1), "入庫單號 :1305-A01B入庫日期：102/05/25");
    EXPECT_EQ(stockIn.value(2), "部門：A01中山店廚房");
    EXPECT_EQ(stockIn.value(5), "1|M001|麵粉|25kg|包|9|11|99");
    EXPECT_EQ(stockIn.size(), 3 + 2 + 3);
}

TEST_F(Slips, ZeroTotalPrintsNothingAndSeparatorsStayInTheirCell)
{
    addItem({"M001", "贈品|樣品;新", "", "個", "0", "0", "5", "0"});
    const QString pdf = print(1, QStringLiteral("zero"));
    ASSERT_EQ(frmVSPBlank().vsp().pageCount(), 1);
    EXPECT_EQ(mirrorLines().value(5), "1|M001|贈品|樣品;新||個|5|0|0");
    const QList<Word> words = pdfWords(pdf);
    for (const Word &w : words)
        EXPECT_FALSE(w.x1 > 7400 && w.x1 < 8400 && w.y0 > 12200 && w.y0 < 13000)
            << "total box holds " << w.text.toStdString();
    EXPECT_EQ(find(words, "贈品|樣品;新").size(), 1);
}

TEST_F(Slips, GregorianYearsAndUnknownDepartments)
{
    EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
    period.deptNo = QStringLiteral("X99");
    addItems(1);
    const QString pdf = print(1, QStringLiteral("gregorian"));
    const QString page1 = pageText(pdf, 1);
    EXPECT_TRUE(page1.contains("入庫單號 :1305-X99B"));
    EXPECT_TRUE(page1.contains("入庫日期：2013/05/31"));
    EXPECT_FALSE(page1.contains("美味食品"));
    // The company name's place stays empty: nothing printed near (4800, 500).
    for (const Word &w : pdfWords(pdf))
        EXPECT_FALSE(w.x0 > 4700 && w.x0 < 5000 && w.y0 < 700) << w.text.toStdString();
}

TEST_F(Slips, RefusalsGoToTheMessagePanel)
{
    frmVSPBlank().vsp().killDoc();
    frmVSPBlank().hide();
    // No month loaded: no department chosen.
    cmdPrintByMistra_Click(1, source);
    EXPECT_EQ(panel.caption(), "請先選擇一個部門");

    loadMonth();
    cmdPrintByMistra_Click(1, source);
    EXPECT_EQ(panel.caption(), "無資料可列印");

    addItem({"M001", "麵粉", "", "包", "3", "30", "0", "0"});
    loadMonth();
    cmdPrintByMistra_Click(1, source);
    EXPECT_EQ(panel.caption(), "沒有任何品項的數單大於零");
    EXPECT_EQ(frmVSPBlank().vsp().pageCount(), 0);
    EXPECT_FALSE(frmVSPBlank().isVisible());

    // The opening quantity is not 0: the issue slip prints.
    cmdPrintByMistra_Click(0, source);
    EXPECT_EQ(frmVSPBlank().vsp().pageCount(), 1);
}

// The page pictures (also kept for a look by eye) carry the table's rules: the heading
// row's column lines at the form's positions, and every item line's box below it.
TEST_F(Slips, FirstPagePicturesRuleTheColumns)
{
    addItem({"M001", "麵粉", "25kg", "包", "4", "50", "9", "99"});
    addItem({"M002", "砂糖", "1kg", "包", "3", "10", "2", "24"});
    addItem({"M003", "沙拉油", "3L", "桶", "1", "250", "1", "250"});
    addItems(18, 4); // a full first page and a second one
    const double dpi = 100;
    auto px = [&](double twips) { return qRound(twips * dpi / 1440); };
    for (int index : {1, 0}) {
        const QString pdf = print(index, QStringLiteral("picture"));
        const QImage page = frmVSPBlank().vsp().renderPage(1, dpi);
        const QString name = index == 1 ? QStringLiteral("slip_stockin_page1.png")
                                        : QStringLiteral("slip_issue_page1.png");
        EXPECT_TRUE(page.save(QDir(TOVRAN_ARTIFACT_DIR).filePath(name)));
        // Dark pixels down the column x (one pixel either side) between two heights.
        auto ruled = [&](double xTwips, double topTwips, double bottomTwips) {
            int dark = 0, rows = 0;
            for (int y = px(topTwips); y <= px(bottomTwips); ++y, ++rows)
                for (int dx = -1; dx <= 1; ++dx)
                    if (qGray(page.pixel(px(xTwips) + dx, y)) < 128) {
                        ++dark;
                        break;
                    }
            return rows > 0 && dark == rows;
        };
        // The heading row's top line and the first item's number give the rows' height.
        const QList<Word> words = pdfWords(pdf);
        const QList<Word> heading = find(words, "物料編號", 1);
        const QList<Word> first = find(words, "M001", 1);
        const QList<Word> last = find(words, "M020", 1);
        ASSERT_EQ(heading.size(), 1);
        ASSERT_EQ(first.size(), 1);
        ASSERT_EQ(last.size(), 1);
        auto middle = [](const Word &w) { return (w.y0 + w.y1) / 2; };
        double x = 100;
        for (double width : {0.0, 500.0, 1500.0, 2600.0, 1600.0, 1000.0, 1000.0, 1000.0, 1000.0}) {
            x += width;
            for (const Word &w : {heading[0], first[0], last[0]})
                EXPECT_TRUE(ruled(x, middle(w) - 40, middle(w) + 40))
                    << w.text.toStdString() << " at " << x;
        }
        // Between the columns there are no rules: the name column is blank beside the
        // item's short name.
        EXPECT_FALSE(
            ruled(100 + 500 + 1500 + 2600 - 200, middle(first[0]) - 40, middle(first[0]) + 40));
    }
}
