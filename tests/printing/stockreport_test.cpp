#include "printing/printingfixture.h"
#include "printing/stockreport.h"

#include "common/clock.h"
#include "platform/print/previewview.h"
#include "platform/print/printdocument.h"
#include "support/modal.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

class StockReportTest : public MonthPrintoutTest
{
protected:
    StockReportCriteria criteria() const
    {
        return {QStringLiteral("102"),      QStringLiteral("5"),      QStringLiteral("A01"),
                QStringLiteral("中央廚房"), QStringLiteral("M00001"), QStringLiteral("M99999")};
    }

    QString savePdf(const char *name)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        frmVSPBlank().vsp().savePdf(path);
        return path;
    }
};

// Lines of the PDF's text, blank lines dropped.
QStringList lines(const QString &text)
{
    QStringList result;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            result.append(line.trimmed());
    return result;
}

TEST_F(StockReportTest, PrintsHeadingBlockTitlesAndVisibleRowsInOrder)
{
    auto grid = std::make_unique<TestStockMonth>(12);
    // Display options hide some columns; rows can be hidden too.
    for (int c : {0, 1, 2, 7, 9, 11, 12, 13, 14, 15, 16, 17, 20, 21, 22, 23})
        grid->setColHidden(c);
    grid->setColHidden(5);
    grid->setRowHidden(4);
    grid->setRowHidden(9);
    grid->row(2).name = QStringLiteral("麵粉|特級;高筋");

    ASSERT_TRUE(PrintStockReport(grid->selection(), criteria()));
    PreviewWindow &w = frmVSPBlank();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.vsp().orientation(), PrintDocument::Landscape);
    EXPECT_EQ(w.vsp().marginLeft(), 720);
    EXPECT_EQ(w.vsp().marginTop(), 1000);
    EXPECT_EQ(w.vsp().fontName(), QStringLiteral("新細明體"));
    EXPECT_TRUE(Button(w, "cmdSaveDoc")->isVisibleTo(&w));

    const QString pdf = savePdf("report.pdf");
    const QStringList text = lines(PdfText::text(pdf));
    ASSERT_GE(text.size(), 6);
    EXPECT_EQ(text[0], QStringLiteral("庫存報表"));
    EXPECT_EQ(text[1], QStringLiteral("庫存月份:102/5"));
    EXPECT_EQ(text[2], QStringLiteral("部門:A01 - 中央廚房"));
    EXPECT_EQ(text[3], QStringLiteral("物料:M00001 - M99999"));
    EXPECT_EQ(text[4], QStringLiteral("列印日期:2013/06/03 14:05"));

    // Titles and rows, read cell by cell in page order.
    const auto words = PdfText::words(pdf);
    const QString all = PdfText::lines(words).join(QLatin1Char('\n')) + QLatin1Char('\n');
    EXPECT_TRUE(
        all.contains(QStringLiteral("料號 物料名稱 單位 上期庫存 進貨數量 庫存量 庫存金額")));
    EXPECT_FALSE(all.contains(QStringLiteral("規格")));
    EXPECT_FALSE(all.contains(QStringLiteral("入庫")));
    int position = 0;
    for (int r = 1; r <= 12; ++r) {
        const QString number = QStringLiteral("M%1").arg(r, 5, 10, QLatin1Char('0'));
        const int at = all.indexOf(QLatin1Char('\n') + number + QLatin1Char(' '));
        if (r == 4 || r == 9) {
            EXPECT_EQ(at, -1) << "hidden row " << r;
            continue;
        }
        ASSERT_GT(at, position) << "row " << r;
        position = at;
        const QString expected =
            number + QLatin1Char(' ') +
            (r == 2 ? QStringLiteral("麵粉|特級;高筋") : QStringLiteral("麵粉%1").arg(r)) +
            QStringLiteral(" 包 %1.8 %1.1 %1.18 %1.19").arg(r);
        EXPECT_EQ(all.mid(at + 1, expected.size() + 1), expected + QLatin1Char('\n'))
            << "row " << r;
        EXPECT_FALSE(all.contains(QStringLiteral("%1.7 ").arg(r)));
        EXPECT_FALSE(all.contains(QStringLiteral("25kg")));
    }

    // The column format follows the visible columns: item number 900, name 1200, unit 700.
    const auto title = PdfText::find(words, QStringLiteral("料號"));
    const auto name = PdfText::find(words, QStringLiteral("物料名稱"));
    const auto unit = PdfText::find(words, QStringLiteral("單位"));
    const auto figure = PdfText::find(words, QStringLiteral("上期庫存"));
    ASSERT_EQ(title.size(), 1);
    ASSERT_EQ(name.size(), 1);
    ASSERT_EQ(unit.size(), 1);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_NEAR(name[0].xMin - title[0].xMin, 900 / 20.0, 1);
    EXPECT_NEAR(unit[0].xMin - name[0].xMin, 1200 / 20.0, 1);
    // Figures are right-aligned in 800-twip columns after the 700-twip unit column.
    EXPECT_NEAR(figure[0].xMax, (720 + 900 + 1200 + 700 + 800 - 40) / 20.0, 2);
}

TEST_F(StockReportTest, ItemRangeLineFollowsTheBoxes)
{
    auto grid = std::make_unique<TestStockMonth>(2);
    StockReportCriteria c = criteria();
    c.stkNoB.clear();
    ASSERT_TRUE(PrintStockReport(grid->selection(), c));
    QStringList text = lines(PdfText::text(savePdf("end.pdf")));
    EXPECT_EQ(text[3], QStringLiteral("物料: - M99999"));

    c.stkNoE.clear();
    ASSERT_TRUE(PrintStockReport(grid->selection(), c));
    text = lines(PdfText::text(savePdf("none.pdf")));
    EXPECT_TRUE(text[3].startsWith(QStringLiteral("列印日期:"))) << text[3].toStdString();
    EXPECT_FALSE(text.join(QString()).contains(QStringLiteral("物料:")));
}

TEST_F(StockReportTest, EmptyGridSaysNoDataAndOpensNothing)
{
    auto grid = std::make_unique<TestStockMonth>(0);
    frmVSPBlank().hide();
    auto seen = TestModal::answerMessageBox(QMessageBox::Ok);
    EXPECT_FALSE(PrintStockReport(grid->selection(), criteria()));
    EXPECT_TRUE(seen->shown);
    EXPECT_EQ(seen->text, QStringLiteral("無資料"));
    EXPECT_EQ(seen->icon, QMessageBox::Critical);
    EXPECT_FALSE(frmVSPBlank().isVisible());
}

// Every page but the last is filled: the page count follows from the rows that fit.
TEST_F(StockReportTest, PageCountFollowsTheRows)
{
    const int rows = 300;
    auto grid = std::make_unique<TestStockMonth>(rows);
    for (int c = 10; c < 24; ++c)
        grid->setColHidden(c);
    ASSERT_TRUE(PrintStockReport(grid->selection(), criteria()));
    PrintDocument &vsp = frmVSPBlank().vsp();
    const QString pdf = savePdf("pages.pdf");
    ASSERT_EQ(PdfText::pages(pdf), vsp.pageCount());
    ASSERT_GT(vsp.pageCount(), 3);

    const auto words = PdfText::words(pdf);
    QList<int> perPage(vsp.pageCount() + 1, 0);
    QList<double> lowest(vsp.pageCount() + 1, 0);
    int seen = 0;
    for (const auto &w : words) {
        if (!w.text.startsWith(QLatin1Char('M')) || w.text.size() != 6 ||
            w.text == criteria().stkNoE)
            continue;
        ++seen;
        EXPECT_EQ(w.text, QStringLiteral("M%1").arg(seen, 5, 10, QLatin1Char('0')));
        ++perPage[w.page];
        lowest[w.page] = qMax(lowest[w.page], w.yMax);
    }
    EXPECT_EQ(seen, rows);
    const double bottom = (vsp.pageHeight() - vsp.marginBottom()) / 20.0;
    const double rowPitch = (lowest[3] - lowest[2]) / qMax(1, perPage[3] - perPage[2] + 1);
    for (int p = 2; p < vsp.pageCount(); ++p) {
        EXPECT_EQ(perPage[p], perPage[2]) << "page " << p;
        EXPECT_LE(lowest[p], bottom) << "page " << p;
    }
    // The rows after the first page fill whole pages of the same size.
    const int perFull = perPage[2];
    const int afterFirst = rows - perPage[1];
    EXPECT_EQ(vsp.pageCount(), 1 + (afterFirst + perFull - 1) / perFull);
    (void)rowPitch;
}

TEST_F(StockReportTest, CsvMirrorHoldsHeadingLinesTitlesAndRows)
{
    auto grid = std::make_unique<TestStockMonth>(3);
    for (int c = 8; c < 24; ++c)
        grid->setColHidden(c);
    grid->row(1).name = QStringLiteral("麵粉, \"特級\"\r\n第二行");
    grid->row(2).name = QStringLiteral("=SUM(A1)");
    grid->row(3).flag = QStringLiteral("-12.5");
    ASSERT_TRUE(PrintStockReport(grid->selection(), criteria()));
    PreviewWindow &w = frmVSPBlank();
    const QString path = dir.filePath(QStringLiteral("mirror.csv"));
    w.saveDocument(path, false);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> csv = ParseRfc4180(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(csv.size(), 4 + 1 + 3);
    auto cellsOf = [](const QStringList &row) {
        QStringList cells = row;
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        return cells;
    };
    EXPECT_EQ(cellsOf(csv[0]), QStringList{QStringLiteral("庫存月份:102/5")});
    EXPECT_EQ(cellsOf(csv[1]), QStringList{QStringLiteral("部門:A01 - 中央廚房")});
    EXPECT_EQ(cellsOf(csv[2]), QStringList{QStringLiteral("物料:M00001 - M99999")});
    EXPECT_EQ(cellsOf(csv[3]), QStringList{QStringLiteral("列印日期:2013/06/03 14:05")});
    EXPECT_EQ(cellsOf(csv[4]).mid(0, 8), (QStringList{"紀錄序號", "店別碼", "物料庫存日期", "料號",
                                                      "物料名稱", "規格", "單位", "入庫"}));
    EXPECT_EQ(csv[5][4], QStringLiteral("麵粉, \"特級\"\r\n第二行"));
    EXPECT_EQ(csv[6][4], QStringLiteral("'=SUM(A1)"));
    EXPECT_EQ(csv[7][7], QStringLiteral("-12.5"));
    EXPECT_EQ(csv[7][3], QStringLiteral("M00003"));
    for (const QStringList &row : csv)
        EXPECT_EQ(row.size(), 20) << "the mirror has 20 columns";
}

// The first preview page (kept as a PNG for a look by eye) rules every column of the
// table where the visible columns put it.
TEST_F(StockReportTest, FirstPreviewPageRulesTheColumns)
{
    auto grid = std::make_unique<TestStockMonth>(60);
    const QList<int> hidden = {0, 1, 2, 10, 11, 12, 13};
    for (int c : hidden)
        grid->setColHidden(c);
    ASSERT_TRUE(PrintStockReport(grid->selection(), criteria()));
    PreviewWindow &w = frmVSPBlank();
    w.view()->setZoomMode(PreviewView::Percentage);
    w.view()->setZoom(100);
    const QImage page = w.view()->pageImage();
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height()) << "landscape";
    const QString png = QStringLiteral(TOVRAN_ARTIFACT_DIR "/stock_report_page1.png");
    QDir().mkpath(QStringLiteral(TOVRAN_ARTIFACT_DIR));
    ASSERT_TRUE(page.save(png));

    // The rows' heights from the PDF: the column titles and the first and last row.
    const auto words = PdfText::words(savePdf("ruled.pdf"));
    const auto title = PdfText::find(words, QStringLiteral("料號"), 1);
    const auto first = PdfText::find(words, QStringLiteral("M00001"), 1);
    ASSERT_EQ(title.size(), 1);
    ASSERT_EQ(first.size(), 1);
    const double perTwip = page.width() / w.vsp().pageWidth();
    // Dark pixels down the column x (one pixel either side) through a word's middle.
    auto ruled = [&](double xTwips, const PdfText::Word &word) {
        const double middle = (word.yMin + word.yMax) / 2 * 20;
        const int x = qRound(xTwips * perTwip);
        for (int y = qRound((middle - 30) * perTwip); y <= qRound((middle + 30) * perTwip); ++y) {
            bool dark = false;
            for (int dx = -1; dx <= 1; ++dx)
                dark = dark || qGray(page.pixel(x + dx, y)) < 128;
            if (!dark)
                return false;
        }
        return true;
    };
    double x = 720;
    QList<double> edges{x};
    for (int c = 0; c < 24; ++c) {
        if (hidden.contains(c))
            continue;
        x += c == 3 ? 900 : c == 4 ? 1200 : c == 5 ? 1500 : c == 6 ? 700 : 800;
        edges << x;
    }
    for (double edge : edges) {
        EXPECT_TRUE(ruled(edge, title[0])) << "titles at " << edge;
        EXPECT_TRUE(ruled(edge, first[0])) << "first row at " << edge;
    }
    // No rule inside a column: the specification column beside a short text.
    EXPECT_FALSE(ruled(720 + 900 + 1200 + 1200, first[0]));
}

} // namespace
