#include "printing/slips.h"

#include "common/clock.h"
#include "common/state.h"
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
            QStringLiteral("insert into Corp (CompNo, compname) values ('A01', '美味食品中山店')"));
        saved = {Ini().gsCalendar, Ini().gsDateSep};
        EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
        EditIni().gsDateSep = QStringLiteral("/");
        Clock::setNow(QDateTime(QDate(2013, 6, 3), QTime(9, 30)));

        grid.setCols(24);
        grid.setRows(1);
        grid.setFixedRows(1);
        source.fgList = &grid;
        source.elaMsg = &panel;
        source.deptNo = QStringLiteral("A01");
        source.deptName = QStringLiteral("中山店廚房");
        source.year = QStringLiteral("102");
        source.month = QStringLiteral("5");
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
        const int r = grid.rows();
        grid.setRows(r + 1);
        grid.setTextMatrix(r, 3, item.no);
        grid.setTextMatrix(r, 4, item.name);
        grid.setTextMatrix(r, 5, item.spec);
        grid.setTextMatrix(r, 6, item.unit);
        grid.setTextMatrix(r, 8, item.openQty);
        grid.setTextMatrix(r, 9, item.openAmt);
        grid.setTextMatrix(r, 18, item.qty);
        grid.setTextMatrix(r, 19, item.amt);
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
        cmdPrintByMistra_Click(index, source);
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        if (frmVSPBlank().vsp().pageCount() > 0)
            frmVSPBlank().vsp().savePdf(pdf);
        return pdf;
    }

    TestDatabase db{Backend::SQLite};
    QTemporaryDir dir;
    FlexGrid grid;
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

TEST_F(Slips, MultipleOfTwentyPutsTotalsOnAPageWithoutHeading)
{
    addItems(40);
    const QString pdf = print(0, QStringLiteral("issue40"));
    ASSERT_EQ(frmVSPBlank().vsp().pageCount(), 3);
    const QString page2 = pageText(pdf, 2);
    const QString page3 = pageText(pdf, 3);
    EXPECT_TRUE(page2.contains("過次頁"));
    EXPECT_TRUE(page2.contains("頁次:2/2"));
    EXPECT_FALSE(page3.contains("領 用 單"));
    EXPECT_FALSE(page3.contains("頁次"));
    EXPECT_FALSE(page3.contains("序號"));
    EXPECT_TRUE(page3.contains("800")); // 40 x opening amount 20
    EXPECT_TRUE(squeezed(page3).contains("商管"));
    EXPECT_TRUE(squeezed(page3).contains("經理課長股長廠商簽收營業簽收"));
    EXPECT_TRUE(squeezed(page3).contains("主管驗收"));
}

TEST_F(Slips, IssueSlipTakesOpeningFiguresAndPeriodStart)
{
    source.stockEndDate = QStringLiteral("25");
    addItem({"M001", "麵粉", "25kg", "包", "4", "50", "9", "99"});
    addItem({"M002", "糖", "1kg", "包", "3", "10", "0", "0"});
    addItem({"M003", "退貨", "", "箱", "-2", "-7", "1", "5"});
    addItem({"M004", "鹽", "", "包", "0", "0", "6", "60"});
    print(0, QStringLiteral("issue"));

    const QStringList lines = mirrorLines();
    const QStringList expected{
        "領 用 單",
        "領用日期：102/04/26部門：A01中山店廚房",
        "列印日期：" + lines.value(2).mid(5, lines.value(2).size() - 9) + "備  註",
        "序號|物料編號|物料名稱|規格|單位|數量|單價|金額|入庫|大類別",
        "1|M001|麵粉|25kg|包|4|12.5|50",
        "2|M002|糖|1kg|包|3|3.33|10",
        "3|M003|退貨||箱|-2|3.5|-7",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(lines.value(2).startsWith("列印日期："));
    EXPECT_TRUE(lines.value(2).endsWith("備  註"));

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
    source.year = QStringLiteral("2013");
    source.deptNo = QStringLiteral("X99");
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
    source.deptNo = QStringLiteral("   ");
    cmdPrintByMistra_Click(1, source);
    EXPECT_EQ(panel.caption(), "請先選擇一個部門");

    source.deptNo = QStringLiteral("A01");
    cmdPrintByMistra_Click(1, source);
    EXPECT_EQ(panel.caption(), "無資料可列印");

    addItem({"M001", "麵粉", "", "包", "3", "30", "0", "0"});
    cmdPrintByMistra_Click(1, source);
    EXPECT_EQ(panel.caption(), "沒有任何品項的數單大於零");
    EXPECT_EQ(frmVSPBlank().vsp().pageCount(), 0);
    EXPECT_FALSE(frmVSPBlank().isVisible());

    // The opening quantity is not 0: the issue slip prints.
    cmdPrintByMistra_Click(0, source);
    EXPECT_EQ(frmVSPBlank().vsp().pageCount(), 1);
}

TEST_F(Slips, FirstPagePictures)
{
    addItem({"M001", "麵粉", "25kg", "包", "4", "50", "9", "99"});
    addItem({"M002", "砂糖", "1kg", "包", "3", "10", "2", "24"});
    addItem({"M003", "沙拉油", "3L", "桶", "1", "250", "1", "250"});
    addItems(18, 4); // a full first page and a second one
    for (int index : {1, 0}) {
        print(index, QStringLiteral("picture"));
        const QImage page = frmVSPBlank().vsp().renderPage(1, 100);
        ASSERT_FALSE(page.isNull());
        const QString name = index == 1 ? QStringLiteral("slip_stockin_page1.png")
                                        : QStringLiteral("slip_issue_page1.png");
        EXPECT_TRUE(page.save(QDir(TOVRAN_ARTIFACT_DIR).filePath(name)));
    }
}
