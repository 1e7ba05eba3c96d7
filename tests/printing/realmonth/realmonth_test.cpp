// Slips and the stock report of months with real store amounts: built in a test database,
// loaded through the stock window, printed to PDF and read back with pdftotext -bbox.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"

#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cmath>

using namespace WindowTest;

namespace {

constexpr double TwipsPerPoint = 20;
// Room a word's box may stray over a line because of rounding (points).
constexpr double Slack = 0.6;

double pt(double twips)
{
    return twips / TwipsPerPoint;
}

// One item of a month: opening and closing quantity and amount.
struct ItemFigures
{
    QString no;
    QString name;
    double openQty = 0, openAmt = 0, qty = 0, amt = 0;
};

// Decimal text without grouping or trailing zeros, written here apart from the program.
QString plain(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.contains(QLatin1Char('.')) &&
           (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text;
}

// A whole number with a comma between groups of three digits.
QString grouped(double value)
{
    QString digits = QString::number(qint64(std::llround(value)));
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

// Names of 40 characters, the most the item master holds.
QString longName(int i)
{
    QString name = QStringLiteral("%1號特級高筋麵粉").arg(i, 3, 10, QLatin1Char('0'));
    while (name.size() < 40)
        name += QStringLiteral("高筋麵粉");
    return name.left(40);
}

// Closing amounts from a cent to just under a hundred million; opening amounts that add
// up to totals of eight digits; quantities of every size.
QList<ItemFigures> monthItems(int count)
{
    const double amounts[] = {0.01,        99999999.99, 161538.8, 123456.78,  1680328, 7.5,
                              45678901.23, 0.99,        250,      98765432.1, 3.33,    10000000};
    const double quantities[] = {1, 3, 0.5, 1234567.8, 12, 99999.9, 7, 2.5, 100, 1, 33, 8};
    QList<ItemFigures> items;
    for (int i = 1; i <= count; ++i) {
        ItemFigures f;
        f.no = QStringLiteral("M%1").arg(i, 4, 10, QLatin1Char('0'));
        f.name = longName(i);
        f.qty = quantities[(i - 1) % std::size(quantities)];
        f.amt = amounts[(i - 1) % std::size(amounts)];
        f.openQty = quantities[i % std::size(quantities)];
        f.openAmt = i % 5 == 0 ? 4999999.99 : 1234.56 * i;
        items.append(f);
    }
    return items;
}

// The slip's table columns (twips from the paper's left edge).
struct Column
{
    double left, right;
};
constexpr double SlipLeft = 100;
constexpr double SlipWidths[] = {500, 1500, 2600, 1600, 1000, 1000, 1000, 1000};
enum SlipCol { Line, ItemNo, Name, Spec, Unit, Qty, Price, Amount };

Column slipColumn(int c)
{
    double left = SlipLeft;
    for (int i = 0; i < c; ++i)
        left += SlipWidths[i];
    return {left, left + SlipWidths[c]};
}

bool inside(const PdfText::Word &w, const Column &c)
{
    return w.xMin >= pt(c.left) - Slack && w.xMax <= pt(c.right) + Slack;
}

// Words of the same page whose middle lies within the height of the given word.
QList<PdfText::Word> lineOf(const QList<PdfText::Word> &words, const PdfText::Word &at)
{
    QList<PdfText::Word> line;
    for (const PdfText::Word &w : words) {
        const double middle = (w.yMin + w.yMax) / 2;
        if (w.page == at.page && middle > at.yMin && middle < at.yMax)
            line.append(w);
    }
    return line;
}

// Words whose middle lies in the column.
QList<PdfText::Word> inColumn(const QList<PdfText::Word> &line, const Column &c)
{
    QList<PdfText::Word> found;
    for (const PdfText::Word &w : line) {
        const double middle = (w.xMin + w.xMax) / 2;
        if (middle > pt(c.left) && middle < pt(c.right))
            found.append(w);
    }
    return found;
}

// No two words of a page cover the same spot. The height of a word's box is its font's
// full height; lines set closer than that may touch, so only its middle half counts.
void expectNoOverlaps(const QList<PdfText::Word> &words)
{
    for (int i = 0; i < words.size(); ++i)
        for (int j = i + 1; j < words.size(); ++j) {
            const PdfText::Word &a = words[i], &b = words[j];
            if (a.page != b.page)
                continue;
            const double aq = (a.yMax - a.yMin) / 4, bq = (b.yMax - b.yMin) / 4;
            const bool across = a.xMin < b.xMax - Slack && b.xMin < a.xMax - Slack;
            const bool down = a.yMin + aq < b.yMax - bq && b.yMin + bq < a.yMax - aq;
            EXPECT_FALSE(across && down) << "page " << a.page << ": \"" << a.text.toStdString()
                                         << "\" overlaps \"" << b.text.toStdString() << "\"";
        }
}

class RealMonth : public WindowFixture
{
protected:
    void buildMonth(int month, const QList<ItemFigures> &items)
    {
        const QString date = QStringLiteral("2003/%1/%2")
                                 .arg(month, 2, 10, QLatin1Char('0'))
                                 .arg(QDate(2003, month, 1).daysInMonth());
        QString sql;
        for (const ItemFigures &f : items) {
            if (!m_inMaster.contains(f.no))
                item(f.no, f.name, QStringLiteral("包"), QString(), QStringLiteral("1"),
                     QStringLiteral("Y"), QStringLiteral("A"), QStringLiteral("25kg×20包/箱"));
            m_inMaster.insert(f.no);
            sql += QStringLiteral("insert into STOCK (DeptNo, StkDate, STKNo, LastQty, LastAmt, "
                                  "InQty, InAmt, OutQty, LostQty, STKQty, STKAmt, AvgPrice, "
                                  "UserID, UpdUserID) values ('A01', %1, '%2', %3, %4, 0, 0, 0, "
                                  "0, %5, %6, 0, 'MAKER', 'MAKER');\n")
                       .arg(QuotDate(date), f.no, plain(f.openQty), plain(f.openAmt), plain(f.qty),
                            plain(f.amt));
        }
        db->exec(sql);
    }

    QString printSlip(int index, const QString &name)
    {
        frmVSPBlank().vsp().killDoc();
        Control<QPushButton>(*window, QStringLiteral("cmdPrintByMistra(%1)").arg(index))->click();
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        frmVSPBlank().vsp().savePdf(pdf);
        return pdf;
    }

    // Every figure whole and in its cell, the rows at one pitch, the pages as counted.
    void checkSlip(const QString &pdf, const QList<ItemFigures> &items, bool stockIn)
    {
        const auto words = PdfText::words(pdf);
        ASSERT_FALSE(words.isEmpty()) << pdf.toStdString();
        const int pages = (int(items.size()) + 19) / 20;
        EXPECT_EQ(PdfText::pages(pdf), pages) << "pages printed";
        for (int p = 1; p <= pages; ++p) {
            QStringList pageNumbers;
            for (const PdfText::Word &w : words)
                if (w.page == p && w.text.startsWith(QStringLiteral("頁次:")))
                    pageNumbers << w.text;
            EXPECT_EQ(pageNumbers, QStringList{QStringLiteral("頁次:%1/%2").arg(p).arg(pages)});
            const auto carry = PdfText::find(words, QStringLiteral("過次頁"), p);
            if (p < pages) {
                ASSERT_EQ(carry.size(), 1) << "page " << p;
                EXPECT_NEAR(carry[0].xMin, pt(3500), 1);
            } else {
                EXPECT_TRUE(carry.isEmpty()) << "nothing follows the last page";
            }
        }

        double printedSum = 0, expectedSum = 0;
        QList<double> tops;
        for (int i = 0; i < items.size(); ++i) {
            const ItemFigures &f = items[i];
            SCOPED_TRACE(f.no.toStdString());
            const int page = i / 20 + 1;
            const auto no = PdfText::find(words, f.no, page);
            ASSERT_EQ(no.size(), 1);
            EXPECT_TRUE(inside(no[0], slipColumn(ItemNo)));
            const auto line = lineOf(words, no[0]);
            const auto lineNo = inColumn(line, slipColumn(Line));
            ASSERT_EQ(lineNo.size(), 1);
            EXPECT_EQ(lineNo[0].text, QString::number(i % 20 + 1));
            const auto name = inColumn(line, slipColumn(Name));
            ASSERT_EQ(name.size(), 1);
            EXPECT_TRUE(inside(name[0], slipColumn(Name))) << "a long name is cut at its cell";
            EXPECT_TRUE(f.name.startsWith(name[0].text));

            const double qty = stockIn ? f.qty : f.openQty;
            const double amt = stockIn ? f.amt : f.openAmt;
            const double price = std::floor(amt * 100 / qty + 0.5) / 100;
            for (int c : {Qty, Price, Amount}) {
                const auto cell = inColumn(line, slipColumn(c));
                ASSERT_EQ(cell.size(), 1) << "column " << c << ": one word";
                EXPECT_TRUE(inside(cell[0], slipColumn(c)))
                    << cell[0].text.toStdString() << " in column " << c;
            }
            EXPECT_EQ(inColumn(line, slipColumn(Qty))[0].text, plain(qty));
            EXPECT_NEAR(inColumn(line, slipColumn(Price))[0].text.toDouble(), price, 0.006);
            const QString amount = inColumn(line, slipColumn(Amount))[0].text;
            EXPECT_EQ(amount, plain(amt));
            printedSum += amount.toDouble();
            expectedSum += amt;
            if (page == 1)
                tops.append(no[0].yMin);
            // Every row ends above the carry-over line and the totals.
            EXPECT_LT(no[0].yMax, pt(12320));
        }
        // One pitch for every row of the page.
        for (int i = 2; i < tops.size(); ++i)
            EXPECT_NEAR(tops[i] - tops[i - 1], tops[1] - tops[0], 0.1) << "row " << i + 1;

        // The grand total and the second figure: one word each, right-aligned at 8300.
        EXPECT_NEAR(printedSum, expectedSum, 0.001);
        const QString total = grouped(printedSum);
        EXPECT_GE(total.size(), 10) << "a total of eight digits or more";
        const auto totals = PdfText::find(words, total, pages);
        ASSERT_EQ(totals.size(), 2) << total.toStdString();
        for (const PdfText::Word &w : totals)
            EXPECT_NEAR(w.xMax, pt(8300), 1.5);
        EXPECT_NEAR(totals[0].yMin, pt(12320), 8);
        EXPECT_NEAR(totals[1].yMin - totals[0].yMin, pt(480), 0.5);
        expectNoOverlaps(words);
    }

    // The stock report: every figure one word in its cell, the boxes apart.
    void checkReport(const QString &pdf, const QList<ItemFigures> &items)
    {
        const auto words = PdfText::words(pdf);
        ASSERT_FALSE(words.isEmpty());
        GridProbe grid = this->grid();
        QList<int> visible;
        QList<Column> boxes;
        double left = 720;
        for (int c = 0; c < grid->cols(); ++c) {
            if (grid->colHidden(c))
                continue;
            const double width = c == 3 ? 900 : c == 4 ? 1200 : c == 5 ? 1500 : c == 6 ? 700 : 800;
            visible << c;
            boxes << Column{left, left + width};
            left += width;
        }
        int figures = 0;
        for (int r = 1; r < grid->rows(); ++r) {
            const QString no = grid->text(r, fmTOVRAN::ColSTKNo);
            SCOPED_TRACE(no.toStdString());
            const auto found = PdfText::find(words, no);
            ASSERT_EQ(found.size(), 1);
            const auto line = lineOf(words, found[0]);
            for (int i = 0; i < visible.size(); ++i) {
                const int c = visible[i];
                const QString text = grid->text(r, c);
                static const QRegularExpression figure(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
                if (c <= fmTOVRAN::ColFlag || !figure.match(text).hasMatch())
                    continue;
                const auto cell = inColumn(line, boxes[i]);
                ASSERT_EQ(cell.size(), 1) << "column " << c << ": " << text.toStdString();
                EXPECT_EQ(cell[0].text, text) << "column " << c;
                EXPECT_TRUE(inside(cell[0], boxes[i])) << text.toStdString();
                ++figures;
            }
        }
        EXPECT_GE(figures, items.size() * 4);
        expectNoOverlaps(words);
    }

    QTemporaryDir dir;
    QSet<QString> m_inMaster; // items written to the item master
};

} // namespace

TEST_P(RealMonth, SlipsAndReportKeepEveryFigureWholeAndCountTheirPages)
{
    const QList<int> sizes = {20, 21, 40};
    QList<QList<ItemFigures>> months;
    for (int m = 1; m <= sizes.size(); ++m) {
        months << monthItems(sizes[m - 1]);
        buildMonth(m, months.last());
    }
    start();
    for (int m = 1; m <= sizes.size(); ++m) {
        SCOPED_TRACE(QStringLiteral("%1 rows").arg(sizes[m - 1]).toStdString());
        query(QStringLiteral("2003"), QString::number(m));
        ASSERT_EQ(grid()->rows() - 1, sizes[m - 1]) << msg().toStdString();
        ASSERT_EQ(cell(rowOf("M0002"), fmTOVRAN::ColSTKAmt), "99999999.99");

        checkSlip(printSlip(1, QStringLiteral("stockin%1").arg(m)), months[m - 1], true);
        checkSlip(printSlip(0, QStringLiteral("issue%1").arg(m)), months[m - 1], false);

        // The report prints the grid as shown; the amounts are shown for it.
        grid()->setColHidden(fmTOVRAN::ColLastAmt, false);
        grid()->setColHidden(fmTOVRAN::ColSTKAmt, false);
        frmVSPBlank().vsp().killDoc();
        Control<QPushButton>(*window, "cmdPrintRpt")->click();
        const QString report = dir.filePath(QStringLiteral("report%1.pdf").arg(m));
        frmVSPBlank().vsp().savePdf(report);
        checkReport(report, months[m - 1]);
    }
    frmVSPBlank().hide();
}

INSTANTIATE_TEST_SUITE_P(Databases, RealMonth, ::testing::Values(Backend::SQLite), kindName);

// A slip belongs to the month of the last accepted query: criteria typed after it move
// neither its heading (number, date, department, company) nor its rows to another month.
TEST_P(RealMonth, SlipsKeepTheLoadedMonthWhenTheCriteriaChange)
{
    const QList<ItemFigures> january = monthItems(3);
    QList<ItemFigures> february = monthItems(2);
    for (ItemFigures &f : february)
        f.no[0] = QLatin1Char('N');
    buildMonth(1, january);
    buildMonth(2, february);
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    query(QStringLiteral("92"), QStringLiteral("1"));
    ASSERT_EQ(grid()->rows() - 1, january.size()) << msg().toStdString();

    // Back on the criteria page the clerk types another month and department.
    auto *pages = window->findChild<QTabWidget *>(QStringLiteral("tabPage"));
    pages->setCurrentIndex(0);
    for (const auto &[name, text] : {std::pair{"txtMonth", "2"}, std::pair{"txtDeptNoB", "B02"}}) {
        auto *box = window->findChild<QLineEdit *>(QLatin1String(name));
        box->setFocus();
        QApplication::processEvents();
        box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(text));
        QTest::keyClick(box, Qt::Key_Tab);
        QApplication::processEvents();
    }
    ASSERT_EQ(window->findChild<QLineEdit *>(QStringLiteral("txtDeptNameB"))->text(), "二店02");
    pages->setCurrentIndex(1);

    const QStringList loadedItems{QStringLiteral("M0001"), QStringLiteral("M0002"),
                                  QStringLiteral("M0003")};
    static const QRegularExpression itemNo(QStringLiteral("^[MN]\\d{4}$"));
    for (const auto &[button, heading] :
         {std::pair{"cmdPrintByMistra(1)",
                    QStringList{"入庫單號 :0301-A01B", "入庫日期：92/01/31"}},
          std::pair{"cmdPrintByMistra(0)",
                    QStringList{"領用單號 :0301-A01A", "領用日期：92/01/01"}}}) {
        SCOPED_TRACE(button);
        frmVSPBlank().vsp().killDoc();
        QTest::mouseClick(window->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        const QString pdf = dir.filePath(QLatin1String(button) + QStringLiteral(".pdf"));
        frmVSPBlank().vsp().savePdf(pdf);
        const auto words = PdfText::words(pdf);
        const QString printed = PdfText::lines(words).join(QLatin1Char('\n'));
        for (const QString &text : heading + QStringList{"部門：A01一店01", "第一店"})
            EXPECT_TRUE(printed.contains(text)) << text.toStdString() << " in\n"
                                                << printed.toStdString();
        EXPECT_FALSE(printed.contains(QStringLiteral("二店")));
        QStringList items;
        for (const PdfText::Word &w : words)
            if (itemNo.match(w.text).hasMatch())
                items << w.text;
        EXPECT_EQ(items, loadedItems);
    }
    // The stock report too.
    frmVSPBlank().vsp().killDoc();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdPrintRpt")),
                      Qt::LeftButton);
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    frmVSPBlank().vsp().savePdf(pdf);
    const QString printed = PdfText::lines(PdfText::words(pdf)).join(QLatin1Char('\n'));
    for (const QString &text :
         {QStringLiteral("庫存月份:92/1"), QStringLiteral("部門:A01 - 一店01")})
        EXPECT_TRUE(printed.contains(text)) << text.toStdString() << " in\n"
                                            << printed.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("二店")));
    frmVSPBlank().hide();
}
