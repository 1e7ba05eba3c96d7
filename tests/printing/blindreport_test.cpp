// The stock report of a user who counts blind: no book figure on paper or in the CSV file,
// whatever columns the grid hands in; the same report shows them to everyone else.
#include "printing/printingfixture.h"
#include "printing/stockreport.h"

#include "common/clock.h"
#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"
#include "stock/countingview.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using C = StockColumns;

class BlindReportTest : public MonthPrintoutTest
{
protected:
    // The report of every column, as PDF words and CSV cells.
    void print(const StockMonthSelection &rows, const CountingView &view)
    {
        ASSERT_TRUE(PrintStockReport(rows, {"102", "5", "A01", "中央廚房", "", ""}, view));
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        frmVSPBlank().vsp().savePdf(pdf);
        pdfWords.clear();
        for (const PdfText::Word &w : PdfText::words(pdf))
            pdfWords.insert(w.text);
        const QString csv = dir.filePath(QStringLiteral("report.csv"));
        frmVSPBlank().saveDocument(csv, false);
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        csvCells.clear();
        for (const QStringList &row : ParseRfc4180(QString::fromUtf8(file.readAll().mid(3))))
            for (const QString &cell : row)
                csvCells.insert(cell);
    }
    bool printed(const QString &text) const
    {
        return pdfWords.contains(text) && csvCells.contains(text);
    }
    bool nowhere(const QString &text) const
    {
        return !pdfWords.contains(text) && !csvCells.contains(text);
    }

    QSet<QString> pdfWords;
    QSet<QString> csvCells;
};

TEST_F(BlindReportTest, BlindUserSeesNoBookFigureOthersSeeThemAll)
{
    TestStockMonth grid(6);
    // Row 4 is kept on the books and uncounted: its count is the book balance. Row 3 is too,
    // but has count lines: its count is a count.
    grid.row(3).stored.AdjustQty = 0;
    grid.row(4).stored.AdjustQty = 0;
    const StockMonthSelection &rows = grid.selection(); // every column handed in
    const StockMonth &month = *rows.month;
    const auto bookKept = [](int monthRow) { return monthRow == 2 || monthRow == 3; };
    const auto hasLines = [](int monthRow) { return monthRow == 2; };

    print(rows, CountingView::blind(bookKept, hasLines));
    for (int r = 0; r < month.size(); ++r) {
        for (int c = C::ColLastQty; c <= C::ColAvgPrice; ++c) {
            const QString figure = month.text(r, c);
            if (c == C::ColSTKQty && r != 3) {
                EXPECT_TRUE(printed(figure)) << "count " << figure.toStdString();
            } else if (c != C::ColAdjustQty || (r != 2 && r != 3)) { // an adjustment of 0
                EXPECT_TRUE(nowhere(figure)) << "book figure " << figure.toStdString();
            }
        }
    }
    for (const char *title : {"上期庫存", "進貨數量", "領貨數量", "耗損數量", "盤點數量", "盤盈虧",
                              "耗用數量", "庫存金額", "平均價格", "上期庫存金額"})
        EXPECT_TRUE(nowhere(QString::fromUtf8(title))) << title;
    for (const char *kept : {"料號", "物料名稱", "規格", "單位", "庫存量", "M00004", "麵粉4"})
        EXPECT_TRUE(printed(QString::fromUtf8(kept))) << kept;

    // Everyone else: the book columns the grid shows (as many as the page holds).
    for (int c : {0, 1, 2, 9, 11, 13, 19, 21, 22, 23})
        grid.setColHidden(c);
    print(grid.selection(), CountingView());
    for (int r = 0; r < month.size(); ++r)
        for (int c : {C::ColLastQty, C::ColInQty, C::ColLostQty, C::ColUseQty, C::ColSTKQty})
            EXPECT_TRUE(printed(month.text(r, c))) << month.text(r, c).toStdString();
}

TEST(CountingViewTest, GroupsMatchAsTheMenuMatchesThem)
{
    EXPECT_TRUE(CountingView::isBlindGroup(QStringLiteral(" clerk , Night"), "CLERK"));
    EXPECT_TRUE(CountingView::isBlindGroup(QStringLiteral("clerk,night"), " Night "));
    EXPECT_FALSE(CountingView::isBlindGroup(QStringLiteral("clerk,night"), "CLERKS"));
    EXPECT_FALSE(CountingView::isBlindGroup(QStringLiteral("clerk,,"), ""));
    EXPECT_FALSE(CountingView::isBlindGroup(QString(), "CLERK"));
}

} // namespace
