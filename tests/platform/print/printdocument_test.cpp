#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"

#include "common/runerror.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr double PointsPerTwip = 1.0 / 20.0;

class PrintDocumentTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    PrintDocument doc;

    QString pdfPath(const char *name) { return dir.filePath(QString::fromLatin1(name)); }

    QString savePdf(const char *name)
    {
        const QString path = pdfPath(name);
        doc.savePdf(path);
        return path;
    }
};

TEST_F(PrintDocumentTest, ParagraphsFollowTheAlignmentCodes)
{
    doc.setOrientation(PrintDocument::Landscape);
    doc.setMarginLeft(720);
    doc.setMarginRight(720);
    doc.startDoc();
    doc.setFontName(QStringLiteral("新細明體"));
    doc.setFontSize(16);
    doc.setTextAlign(7);
    doc.paragraph(QStringLiteral("庫存報表"));
    doc.setFontSize(10);
    doc.setTextAlign(6);
    doc.paragraph(QStringLiteral("部門:A01"));
    doc.setTextAlign(8);
    doc.paragraph(QStringLiteral("右邊"));
    const double yBefore = doc.currentY();
    doc.paragraph(QString());
    EXPECT_GT(doc.currentY(), yBefore) << "an empty paragraph still takes a line";
    doc.endDoc();
    EXPECT_EQ(doc.pageWidth(), 16838);
    EXPECT_EQ(doc.pageHeight(), 11906);

    const auto words = PdfText::words(savePdf("align.pdf"));
    const auto title = PdfText::find(words, QStringLiteral("庫存報表"));
    const auto dept = PdfText::find(words, QStringLiteral("部門:A01"));
    const auto right = PdfText::find(words, QStringLiteral("右邊"));
    ASSERT_EQ(title.size(), 1);
    ASSERT_EQ(dept.size(), 1);
    ASSERT_EQ(right.size(), 1);
    const double pageCentre = 16838 * PointsPerTwip / 2;
    EXPECT_NEAR((title[0].xMin + title[0].xMax) / 2, pageCentre, 3);
    EXPECT_NEAR(dept[0].xMin, 720 * PointsPerTwip, 3);
    EXPECT_NEAR(right[0].xMax, (16838 - 720) * PointsPerTwip, 3);
    EXPECT_LT(title[0].yMax, dept[0].yMin);
    EXPECT_LT(dept[0].yMax, right[0].yMin);
}

TEST_F(PrintDocumentTest, TextAtAPositionAndTheRightMarginTrick)
{
    doc.startDoc();
    doc.setFontSize(12);
    doc.setCurrentX(3500);
    doc.setCurrentY(12400);
    doc.text(QStringLiteral("過次頁"));
    EXPECT_GT(doc.currentX(), 3500);
    EXPECT_EQ(doc.currentY(), 12400);
    // A right-aligned figure ends at a margin moved in for it.
    doc.setMarginRight(doc.pageWidth() - 8300);
    doc.setTextAlign(8);
    doc.setCurrentX(7500);
    doc.setCurrentY(12320);
    doc.paragraph(QStringLiteral("12,345"));
    doc.endDoc();

    const auto words = PdfText::words(savePdf("pos.pdf"));
    const auto next = PdfText::find(words, QStringLiteral("過次頁"));
    const auto total = PdfText::find(words, QStringLiteral("12,345"));
    ASSERT_EQ(next.size(), 1);
    ASSERT_EQ(total.size(), 1);
    EXPECT_NEAR(next[0].xMin, 3500 * PointsPerTwip, 2);
    EXPECT_NEAR(next[0].yMin, 12400 * PointsPerTwip, 6);
    EXPECT_NEAR(total[0].xMax, 8300 * PointsPerTwip, 2);
}

// The slip's notation: every cell lands in its own column; zero-width columns are carried
// but print nothing; "~" keeps a long text on one line while other columns wrap.
TEST_F(PrintDocumentTest, SlipTableNotationPutsCellsInTheirColumns)
{
    const QString format =
        QStringLiteral("^500~|<1500~|<2600~|<1600~|<1000~|>1000|>1000|>1000|^0|<0;");
    const QList<int> widths = {500, 1500, 2600, 1600, 1000, 1000, 1000, 1000, 0, 0};
    doc.startDoc();
    doc.setTableSep(QStringLiteral("|;"));
    doc.setMarginLeft(100);
    doc.setFontSize(11);
    doc.setTextAlign(6);
    doc.addTable(format, QString(),
                 QStringLiteral("序號|物料編號|物料名稱|規格|單位|數量|單價|金額|入庫|大類別;"), -1,
                 0);
    const double rowTop = doc.currentY();
    doc.setCurrentX(200);
    doc.addTable(format,
                 QStringLiteral("序號|物料編號|物料名稱|規格|單位|數量|單價|金額|入庫|大類別;"),
                 QStringLiteral("3|M001|麵粉|25kg|包|4|12.5|50|X|Y;"), -1, -1, true);
    const double singleRow = doc.currentY() - rowTop;
    // A long name stays on one line in a "~" column...
    doc.addTable(
        format, QString(),
        QStringLiteral("9|M002|特級高筋麵粉特級高筋麵粉特級高筋麵粉特級高筋麵粉|x|包|2|2|2||;"));
    EXPECT_DOUBLE_EQ(doc.currentY() - rowTop - singleRow, singleRow);
    // ...and wraps in a column without it.
    const double before = doc.currentY();
    doc.addTable(QStringLiteral("<800|>800;"), QString(),
                 QStringLiteral("甲乙丙丁戊己庚辛壬癸|9;"));
    EXPECT_GT(doc.currentY() - before, singleRow * 1.5);
    doc.endDoc();
    ASSERT_EQ(doc.pageCount(), 1);

    const auto words = PdfText::words(savePdf("slip.pdf"));
    double left = 100;
    const QStringList heading = {QStringLiteral("序號"),     QStringLiteral("物料編號"),
                                 QStringLiteral("物料名稱"), QStringLiteral("規格"),
                                 QStringLiteral("單位"),     QStringLiteral("數量"),
                                 QStringLiteral("單價"),     QStringLiteral("金額")};
    const QStringList row = {
        "3", "M001", QStringLiteral("麵粉"), "25kg", QStringLiteral("包"), "4", "12.5", "50"};
    for (int c = 0; c < heading.size(); ++c) {
        const double l = left * PointsPerTwip, r = (left + widths[c]) * PointsPerTwip;
        for (const QString &text : {heading[c], row[c]}) {
            const auto found = PdfText::find(words, text);
            ASSERT_FALSE(found.isEmpty()) << text.toStdString();
            EXPECT_GE(found[0].xMin, l) << text.toStdString();
            EXPECT_LE(found[0].xMax, r) << text.toStdString();
        }
        left += widths[c];
    }
    // Right-aligned figures end at their column's right edge (less the cell room).
    const auto amount = PdfText::find(words, QStringLiteral("50"));
    ASSERT_FALSE(amount.isEmpty());
    EXPECT_NEAR(amount[0].xMax, (100 + 500 + 1500 + 2600 + 1600 + 1000 + 3000) * PointsPerTwip, 4);
    for (const char *hidden : {"入庫", "大類別", "X", "Y"})
        EXPECT_TRUE(PdfText::find(words, QString::fromUtf8(hidden)).isEmpty()) << hidden;
    // The header passed with the row for page breaks is not printed again mid-page.
    EXPECT_EQ(PdfText::find(words, QStringLiteral("物料編號")).size(), 1);
}

// A figure is one word on one line: in a cell it is printed smaller until it fits (down to
// 6 pt), right-aligned, and only beyond that runs out to the left; a figure paragraph runs
// past its box on the aligned side.
TEST_F(PrintDocumentTest, FiguresAreNeverBroken)
{
    const double cellLeft = 1000 + 1500, cellRight = cellLeft + 1000, pad = 40;
    struct Case
    {
        QString figure;
        enum { Fits, Shrinks, BeyondFloor } how;
    };
    const Case cases[] = {
        {QStringLiteral("12.5"), Case::Fits},
        {QStringLiteral("99999999.99"), Case::Shrinks},
        {QStringLiteral("1,680,328.25"), Case::Shrinks},
        {QStringLiteral("-0.01"), Case::Fits},
        {QStringLiteral("-.5"), Case::Fits},
        {QStringLiteral("12.5%"), Case::Fits},
        {QStringLiteral("1.5E+12"), Case::Fits},
        {QStringLiteral("１２３４５６"), Case::Shrinks},
        {QStringLiteral("123456789012345678901234567"), Case::BeyondFloor},
    };
    doc.setMarginLeft(1000);
    doc.startDoc();
    doc.setFontSize(11);
    for (const Case &c : cases)
        doc.addTable(QStringLiteral("<1500~|>1000|>1000;"), QStringList(),
                     {{QStringLiteral("名稱"), c.figure, QStringLiteral("7")}});
    const double rowHeight = (doc.currentY() - doc.marginTop()) / std::size(cases);
    // The slip's totals: a figure right-aligned to a margin moved in to 8300 twips.
    doc.setMarginRight(doc.pageWidth() - 8300);
    doc.setTextAlign(8);
    doc.setCurrentX(7500);
    doc.setCurrentY(12320);
    doc.paragraph(QStringLiteral("1,680,328"));
    doc.endDoc();
    ASSERT_EQ(doc.pageCount(), 1);

    const auto words = PdfText::words(savePdf("figures.pdf"));
    const auto nominal = PdfText::find(words, QStringLiteral("12.5"));
    ASSERT_EQ(nominal.size(), 1);
    const double nominalHeight = nominal[0].yMax - nominal[0].yMin;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.figure.toStdString());
        const auto found = PdfText::find(words, c.figure);
        ASSERT_EQ(found.size(), 1) << "the figure is one word";
        const PdfText::Word &w = found[0];
        const double height = w.yMax - w.yMin;
        EXPECT_NEAR(w.xMax, (cellRight - pad) * PointsPerTwip, 1.5) << "right-aligned";
        EXPECT_LT(height, rowHeight * PointsPerTwip) << "one line";
        switch (c.how) {
        case Case::Fits:
            EXPECT_NEAR(height, nominalHeight, 0.2);
            break;
        case Case::Shrinks:
            EXPECT_GE(w.xMin, (cellLeft + pad) * PointsPerTwip - 0.5) << "inside its cell";
            EXPECT_LT(height, nominalHeight - 0.5);
            EXPECT_GT(height, nominalHeight * 6 / 11 - 0.2);
            break;
        case Case::BeyondFloor:
            EXPECT_LT(w.xMin, cellLeft * PointsPerTwip) << "runs out to the left";
            EXPECT_NEAR(height, nominalHeight * 6 / 11, 0.5) << "at the 6 pt floor";
            break;
        }
    }
    // The neighbours keep their own cells.
    for (const auto &w : PdfText::find(words, QStringLiteral("7")))
        EXPECT_GE(w.xMin, cellRight * PointsPerTwip);
    const auto total = PdfText::find(words, QStringLiteral("1,680,328"));
    ASSERT_EQ(total.size(), 1);
    EXPECT_NEAR(total[0].xMax, 8300 * PointsPerTwip, 1.5);
    EXPECT_LT(total[0].xMin, 7500 * PointsPerTwip) << "wider than its box: runs out leftwards";
    EXPECT_NEAR(total[0].yMin, 12320 * PointsPerTwip, 8);
}

TEST_F(PrintDocumentTest, RowsThatCrossTheBottomMarginGoToANewPage)
{
    doc.setOrientation(PrintDocument::Landscape);
    doc.setMarginTop(1000);
    doc.setMarginBottom(1000);
    doc.startDoc();
    doc.setFontSize(8);
    const int rows = 150;
    for (int i = 1; i <= rows; ++i)
        doc.addTable(QStringLiteral("<900|>800;"), QString(),
                     QStringLiteral("R%1|%2;").arg(i, 4, 10, QLatin1Char('0')).arg(i * 3));
    doc.endDoc();
    ASSERT_GT(doc.pageCount(), 2);

    const QString pdf = savePdf("rows.pdf");
    EXPECT_EQ(PdfText::pages(pdf), doc.pageCount());
    const auto words = PdfText::words(pdf);
    int expected = 1;
    int lastPage = 1;
    for (const auto &w : words) {
        if (!w.text.startsWith(QLatin1Char('R')))
            continue;
        EXPECT_EQ(w.text, QStringLiteral("R%1").arg(expected, 4, 10, QLatin1Char('0')));
        EXPECT_LE(w.yMax, (11906 - 1000) * PointsPerTwip + 0.5) << "row below the margin";
        EXPECT_GE(w.page, lastPage);
        lastPage = w.page;
        ++expected;
    }
    EXPECT_EQ(expected - 1, rows);
    EXPECT_EQ(lastPage, doc.pageCount());

    // A form that breaks its own pages turns the automatic breaks off.
    doc.setAutoPageBreak(false);
    doc.startDoc();
    for (int i = 1; i <= rows; ++i)
        doc.addTable(QStringLiteral("<900|>800;"), QString(), QStringLiteral("R|1;"));
    doc.paragraph(QStringLiteral("段落"));
    doc.endDoc();
    EXPECT_EQ(doc.pageCount(), 1);
}

TEST_F(PrintDocumentTest, TableHeaderRepeatsOnEveryPageTheTableReaches)
{
    doc.startDoc();
    QList<QStringList> body;
    for (int i = 0; i < 120; ++i)
        body.append({QStringLiteral("r%1").arg(i), QStringLiteral("x")});
    doc.addTable(QStringLiteral("<1000|<1000;"),
                 QStringList{QStringLiteral("甲欄"), QStringLiteral("乙欄")}, body, 0xE0E0E0);
    doc.endDoc();
    ASSERT_GT(doc.pageCount(), 1);
    const auto words = PdfText::words(savePdf("header.pdf"));
    for (int p = 1; p <= doc.pageCount(); ++p)
        EXPECT_EQ(PdfText::find(words, QStringLiteral("甲欄"), p).size(), 1) << "page " << p;
}

TEST_F(PrintDocumentTest, CellsGivenOneByOneKeepSeparatorCharacters)
{
    doc.startDoc();
    doc.addTable(QStringLiteral("<3000|<3000;"), QStringList(),
                 QList<QStringList>{{QStringLiteral("a|b;c"), QStringLiteral("second")}});
    // A table separator of "#;" splits at "#".
    doc.setTableSep(QStringLiteral("#;"));
    doc.addTable(QStringLiteral("<3000#<3000;"), QString(), QStringLiteral("left|cell#right;"));
    doc.endDoc();
    const auto words = PdfText::words(savePdf("cells.pdf"));
    EXPECT_EQ(PdfText::find(words, QStringLiteral("a|b;c")).size(), 1);
    const auto left = PdfText::find(words, QStringLiteral("left|cell"));
    const auto right = PdfText::find(words, QStringLiteral("right"));
    ASSERT_EQ(left.size(), 1);
    ASSERT_EQ(right.size(), 1);
    EXPECT_GE(right[0].xMin, (1440 + 3000) * PointsPerTwip);
}

TEST_F(PrintDocumentTest, OverlaysDrawOntoFinishedPages)
{
    doc.startDoc();
    doc.paragraph(QStringLiteral("第一頁"));
    doc.newPage();
    doc.paragraph(QStringLiteral("第二頁"));
    doc.newPage();
    doc.paragraph(QStringLiteral("第三頁"));
    int ended = 0;
    QObject::connect(&doc, &PrintDocument::documentEnded, [&]() {
        ++ended;
        for (int p = 1; p <= doc.pageCount(); ++p) {
            doc.startOverlay(p);
            doc.setFontSize(8);
            // Below the bottom margin: an overlay never breaks the page.
            doc.setCurrentY(doc.pageHeight() - doc.marginBottom() + 150);
            doc.setTextAlign(2);
            doc.paragraph(QStringLiteral("頁次:%1/%2").arg(p).arg(doc.pageCount()));
            doc.endOverlay();
        }
    });
    doc.endDoc();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(doc.pageCount(), 3);
    EXPECT_THROW(doc.startOverlay(4), RunError);

    const QString pdf = savePdf("overlay.pdf");
    for (int p = 1; p <= 3; ++p)
        EXPECT_TRUE(PdfText::text(pdf, p, p).contains(QStringLiteral("頁次:%1/3").arg(p)));
    EXPECT_TRUE(PdfText::text(pdf, 2, 2).contains(QStringLiteral("第二頁")));
}

TEST_F(PrintDocumentTest, PicturesAndPagesRenderAtTheGivenResolution)
{
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    doc.startDoc();
    doc.drawPicture(logo, 800, 500, 800 + 1440, 500 + 720);
    doc.endDoc();
    const QImage page = doc.renderPage(1, 72);
    EXPECT_EQ(page.width(), qRound(11906 / 20.0));
    EXPECT_EQ(page.height(), qRound(16838 / 20.0));
    EXPECT_EQ(page.pixelColor(40 + 36, 25 + 18), QColor(Qt::red));
    EXPECT_EQ(page.pixelColor(10, 10), QColor(Qt::white));

    doc.killDoc();
    EXPECT_EQ(doc.pageCount(), 0);
}

TEST_F(PrintDocumentTest, UnknownPrinterIsAnError)
{
    doc.startDoc();
    doc.paragraph(QStringLiteral("x"));
    doc.endDoc();
    doc.setDevice(QStringLiteral("no such printer 4711"));
    try {
        doc.printDoc();
        FAIL() << "printing to a missing printer succeeded";
    } catch (const RunError &e) {
        EXPECT_EQ(e.number(), PrintDocument::PrinterError);
        EXPECT_TRUE(e.description().contains(QStringLiteral("no such printer 4711")));
    }
}

} // namespace
