// The count sheet: the month's items and their count locations on paper, with an empty count
// column and no figure of the month, read back from the PDF and the CSV file.
#include "printing/countsheet.h"
#include "printing/printingfixture.h"

#include "common/clock.h"
#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"
#include "stock/stockcolumns.h"

#include <QDateTime>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class CountSheetTest : public MonthPrintoutTest
{
protected:
    // 70 items; M00002 is counted in two places, M00005 and M00070 in one.
    CountSheet sheet(TestStockMonth &grid, CountSheet::Order order)
    {
        CountSheet s;
        const StockMonthSelection &selection = grid.selection();
        s.month = selection.month;
        s.rows = selection.rows;
        s.locationsOf = [](int monthRow) {
            switch (monthRow + 1) {
            case 2:
                return QStringList{QStringLiteral("貨架"), QStringLiteral("冷凍庫")};
            case 5:
            case 70:
                return QStringList{QStringLiteral("貨架")};
            default:
                return QStringList();
            }
        };
        s.criteria = {QStringLiteral("102"),      QStringLiteral("5"), QStringLiteral("A01"),
                      QStringLiteral("中央廚房"), QString(),           QString()};
        s.order = order;
        return s;
    }

    QString savePdf(const char *name)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        frmVSPBlank().vsp().savePdf(path);
        return path;
    }

    // The item numbers printed, in page order (the page heading has none).
    static QStringList printedItems(const QList<PdfText::Word> &words)
    {
        static const QRegularExpression itemNo(QStringLiteral("^M\\d{5}$"));
        QStringList items;
        for (const QString &line : PdfText::lines(words)) {
            const QString first = line.section(QLatin1Char(' '), 0, 0);
            if (itemNo.match(first).hasMatch())
                items << line.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') +
                             (line.contains(QStringLiteral("冷凍庫")) ? QStringLiteral("冷凍庫")
                              : line.contains(QStringLiteral("貨架")) ? QStringLiteral("貨架")
                                                                      : QString());
        }
        return items;
    }
};

TEST_F(CountSheetTest, EveryPageCarriesHeadingAndPageOfPagesAndNoFigure)
{
    TestStockMonth grid(70);
    grid.row(3).name = QStringLiteral("特級|高筋;麵粉");
    ASSERT_TRUE(PrintCountSheet(sheet(grid, CountSheet::ByItem)));
    PreviewWindow &w = frmVSPBlank();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.vsp().orientation(), PrintDocument::Portrait);
    const QString pdf = savePdf("sheet.pdf");
    const int pages = PdfText::pages(pdf);
    ASSERT_GE(pages, 2) << "70 items and their locations take more than a page";
    ASSERT_EQ(pages, w.vsp().pageCount());

    for (int p = 1; p <= pages; ++p) {
        SCOPED_TRACE(p);
        const QString page = PdfText::text(pdf, p, p);
        for (const QString &expected :
             {QStringLiteral("盤點表"), QStringLiteral("部門:A01 - 中央廚房"),
              QStringLiteral("庫存月份:102/5"), QStringLiteral("列印日期:2013/06/03 14:05"),
              QStringLiteral("第 %1 頁 / 共 %2 頁").arg(p).arg(pages)})
            EXPECT_TRUE(page.contains(expected)) << expected.toStdString();
        // The titles head every page's table.
        EXPECT_TRUE(page.contains(QStringLiteral("盤點區位")));
        EXPECT_TRUE(page.contains(QStringLiteral("盤點數量")));
        EXPECT_EQ(page.contains(QStringLiteral("盤點人")), p == pages);
        EXPECT_EQ(page.contains(QStringLiteral("複核人")), p == pages);
    }

    const auto words = PdfText::words(pdf);
    const QStringList all = PdfText::lines(words);
    EXPECT_TRUE(all.contains(QStringLiteral("料號 物料名稱 規格 單位 盤點區位 盤點數量")));
    EXPECT_TRUE(all.contains(QStringLiteral("M00003 特級|高筋;麵粉 25kg 包")));
    EXPECT_TRUE(all.contains(QStringLiteral("M00002 麵粉2 25kg 包 貨架")));
    EXPECT_TRUE(all.contains(QStringLiteral("M00002 麵粉2 25kg 包 冷凍庫")));
    // Every item, by item number, an item's locations in their order.
    QStringList expected;
    for (int r = 1; r <= 70; ++r) {
        const QString no = QStringLiteral("M%1").arg(r, 5, 10, QLatin1Char('0'));
        if (r == 2)
            expected << no + QStringLiteral(" 貨架") << no + QStringLiteral(" 冷凍庫");
        else
            expected << no + QLatin1Char(' ') +
                            (r == 5 || r == 70 ? QStringLiteral("貨架") : QString());
    }
    EXPECT_EQ(printedItems(words), expected);

    // No figure of the month: every figure column's text of every row is missing, and no
    // printed word is a decimal number at all.
    const StockMonth &month = *grid.selection().month;
    QSet<QString> printed;
    for (const PdfText::Word &word : words)
        printed.insert(word.text);
    for (int r = 0; r < month.size(); ++r)
        for (int c = StockColumns::ColLastQty; c <= StockColumns::ColAvgPrice; ++c)
            EXPECT_FALSE(printed.contains(month.text(r, c))) << month.text(r, c).toStdString();
    static const QRegularExpression decimal(QStringLiteral("^-?\\d+\\.\\d+$"));
    for (const PdfText::Word &word : words)
        EXPECT_FALSE(decimal.match(word.text).hasMatch()) << word.text.toStdString();
}

TEST_F(CountSheetTest, ByLocationListsEachLocationsItemsThenTheUnplaced)
{
    TestStockMonth grid(70);
    // The grid's order is not the sheet's: it sorts.
    CountSheet s = sheet(grid, CountSheet::ByLocation);
    std::reverse(s.rows.begin(), s.rows.end());
    ASSERT_TRUE(PrintCountSheet(s));
    const auto words = PdfText::words(savePdf("bylocation.pdf"));
    QStringList expected{QStringLiteral("M00002 冷凍庫"), QStringLiteral("M00002 貨架"),
                         QStringLiteral("M00005 貨架"), QStringLiteral("M00070 貨架")};
    for (int r = 1; r <= 69; ++r)
        if (r != 2 && r != 5)
            expected << QStringLiteral("M%1 ").arg(r, 5, 10, QLatin1Char('0'));
    EXPECT_EQ(printedItems(words), expected);

    // The CSV file: heading lines, titles, then the same lines with an empty count cell.
    const QString path = dir.filePath(QStringLiteral("sheet.csv"));
    frmVSPBlank().saveDocument(path, false);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QStringList> csv = ParseRfc4180(QString::fromUtf8(file.readAll().mid(3)));
    ASSERT_EQ(csv.size(), 3 + 1 + 71);
    EXPECT_EQ(csv[0].first(), QStringLiteral("庫存月份:102/5"));
    EXPECT_EQ(csv[1].first(), QStringLiteral("部門:A01 - 中央廚房"));
    EXPECT_EQ(csv[2].first(), QStringLiteral("列印日期:2013/06/03 14:05"));
    EXPECT_EQ(csv[3], (QStringList{"料號", "物料名稱", "規格", "單位", "盤點區位", "盤點數量"}));
    EXPECT_EQ(csv[4], (QStringList{"M00002", "麵粉2", "25kg", "包", "冷凍庫", ""}));
    EXPECT_EQ(csv[74], (QStringList{"M00069", "麵粉69", "25kg", "包", "", ""}));
    for (int i = 4; i < csv.size(); ++i)
        EXPECT_TRUE(csv[i][5].isEmpty()) << "line " << i;
}

} // namespace
