// Blind counting in the real stock window: a user of a group named in TOVRAN_BlindGroups sees
// no book figure in the grid's model, cannot bring one back through the display options, is
// offered no slip, and prints none in the stock report (PDF and CSV) or on the count sheet;
// a user of another group sees the window as ever.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "printing/printingfixture.h"
#include "stock/countingview.h"
#include "stockwindow/countlinesbar.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

using namespace WindowTest;

namespace {

// The texts found in both, for a failure's message.
QString shared(QSet<QString> a, const QSet<QString> &b)
{
    return QStringList(a.intersect(b).values()).join(QLatin1Char(' '));
}

class Blind : public WindowFixture
{
protected:
    // A1 kept on the books and not counted yet (its count is the book balance 41.75), B2 not
    // kept on the books, C3 kept on the books and counted (8, adjustment -1.75).
    void month()
    {
        param("UseSOut", "Y");
        param("TOVRAN_BlindGroups", " clerk , night ");
        item("A1", "麵粉");
        item("B2", "砂糖", "包", "", "1", "N");
        item("C3", "奶油");
        stock("2003/01/31", "A1", 37.25, 12.5, 41.75, 3.5, "A01", 6.5, 1.5);
        const QString b2 = stock("2003/01/31", "B2", 18.25, 9.75, 0, 2.25, "A01", 0, 0.75);
        db->exec(QStringLiteral("update STOCK set UseQty = 26.5 where RNo = %1;\n").arg(b2));
        const QString c3 = stock("2003/01/31", "C3", 5.5, 4.25, 8, 1.25);
        db->exec(
            QStringLiteral("update STOCK set AdjustQty = -1.75, ChkQty = 9.25 where RNo = %1;\n")
                .arg(c3));
    }

    // Every figure of the books the month holds (as the program reads them), none zero.
    QSet<QString> bookFigures() const
    {
        QSet<QString> figures;
        const StockMonth &m = window->month();
        for (int r = 0; r < m.size(); ++r)
            for (int c = 0; c < fmTOVRAN::ColumnCount; ++c)
                if (CountingView::isBookFigure(c) && m.figure(r, c) != 0)
                    figures.insert(m.text(r, c));
        figures.insert(QStringLiteral("41.75")); // A1's count cell before it is counted
        return figures;
    }

    // Every text of the grid's model: titles and cells.
    QSet<QString> modelTexts() const
    {
        QSet<QString> texts;
        QAbstractItemModel *model = Control<StockGridView>(*window, "fgList")->monthModel();
        for (int c = 0; c < model->columnCount(); ++c) {
            texts.insert(model->headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < model->rowCount(); ++r)
                texts.insert(model->index(r, c).data().toString());
        }
        return texts;
    }

    // The words of the document in the preview (saved as PDF) and the cells of its CSV file.
    QSet<QString> printed(const QString &name)
    {
        PreviewWindow &preview = frmVSPBlank();
        QSet<QString> texts;
        if (preview.vsp().pageCount() == 0)
            return texts;
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        preview.vsp().savePdf(pdf);
        for (const PdfText::Word &w : PdfText::words(pdf))
            texts.insert(w.text);
        const QString csv = dir.filePath(name + QStringLiteral(".csv"));
        preview.saveDocument(csv, false);
        QFile file(csv);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QStringList &row : ParseRfc4180(QString::fromUtf8(file.readAll().mid(3))))
            for (const QString &cell : row)
                texts.insert(cell);
        return texts;
    }

    QSet<QString> print(QPushButton *button, const QString &name)
    {
        frmVSPBlank().vsp().killDoc();
        button->click();
        QApplication::processEvents();
        QSet<QString> texts = printed(name);
        frmVSPBlank().hide();
        return texts;
    }

    // The month's window opened by a user of the group.
    void open(const QString &group)
    {
        month();
        EditUser().gsGrpID = group;
        start();
        query("2003", "1");
        ASSERT_EQ(grid()->rows() - 1, 3) << msg().toStdString();
    }

    QTemporaryDir dir;
};

TEST_P(Blind, ABlindGroupSeesNoBookFigureAnywhere)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("CLERK")));
    const QSet<QString> book = bookFigures();
    ASSERT_GE(book.size(), 15);

    // The model: book columns have no title and no text, and are not shown.
    for (int c = 0; c < fmTOVRAN::ColumnCount; ++c) {
        if (!CountingView::isBookFigure(c))
            continue;
        EXPECT_TRUE(grid()->colHidden(c)) << c;
        EXPECT_TRUE(cell(0, c).isEmpty()) << c;
        for (int r = 1; r < grid()->rows(); ++r)
            EXPECT_TRUE(cell(r, c).isEmpty()) << r << "," << c;
    }
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColSTKQty));
    EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColSTKQty), "") << "the book balance is no count";
    EXPECT_EQ(cell(rowOf("B2"), fmTOVRAN::ColSTKQty), "0");
    EXPECT_EQ(cell(rowOf("C3"), fmTOVRAN::ColSTKQty), "8");
    EXPECT_EQ(cell(rowOf("C3"), fmTOVRAN::ColName), "奶油");
    EXPECT_EQ(shared(modelTexts(), book), "");
    // Nor does the order of a sort by the count tell it.
    grid()->sort(fmTOVRAN::ColSTKQty, Qt::DescendingOrder);
    EXPECT_EQ(itemOrder(), (QStringList{"C3", "B2", "A1"}));

    // The display options cannot bring a book column back.
    Control<QCheckBox>(*window, "chkHideAvgPrice")->setChecked(false);
    Control<QCheckBox>(*window, "chkAutoCalQty")->setChecked(false);
    Control<QCheckBox>(*window, "chkAutoCalQty")->setChecked(true);
    Control<QCheckBox>(*window, "chkAutoCalQty")->setChecked(false);
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColAvgPrice));
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColAdjustQty));
    EXPECT_FALSE(Control<QCheckBox>(*window, "chkHideAvgPrice")->isVisibleTo(window.get()));
    Control<QCheckBox>(*window, "chkHideDscp")->setChecked(true);
    EXPECT_TRUE(grid()->colHidden(fmTOVRAN::ColDscp));
    Control<QCheckBox>(*window, "chkHideDscp")->setChecked(false);
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColDscp));

    // No slip and no variance review is offered, and no slip prints when asked all the same.
    for (const char *slip : {"cmdPrintByMistra(0)", "cmdPrintByMistra(1)"})
        EXPECT_FALSE(Control<QPushButton>(*window, slip)->isVisibleTo(window.get()));
    EXPECT_FALSE(Control<QPushButton>(*window, "cmdVariance")->isVisibleTo(window.get()));
    frmVSPBlank().vsp().killDoc();
    Control<QPushButton>(*window, "cmdPrintByMistra(1)")->click();
    EXPECT_EQ(frmVSPBlank().vsp().pageCount(), 0);

    // The stock report and the count sheet, on paper and in the CSV file.
    const QSet<QString> report =
        print(Control<QPushButton>(*window, "cmdPrintRpt"), QStringLiteral("report"));
    for (const char *text : {"A1", "B2", "C3", "麵粉", "庫存量", "8"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(shared(report, book), "");
    for (int order : {0, 1}) {
        Control<QComboBox>(*window, "cboCountSheetOrder")->setCurrentIndex(order);
        const QSet<QString> sheet =
            print(Control<QPushButton>(*window, "cmdCountSheet"), QStringLiteral("sheet"));
        for (const char *text : {"A1", "B2", "C3", "奶油", "盤點表", "盤點數量"})
            EXPECT_TRUE(sheet.contains(QString::fromUtf8(text))) << text;
        EXPECT_EQ(shared(sheet, book), "");
        EXPECT_FALSE(sheet.contains(QStringLiteral("8"))) << "a count sheet shows no count";
    }

    // The clerk's own count shows once typed; a count below opening plus receipts is not
    // questioned (the question would tell where the books stand).
    const auto question = answerSure(false);
    ASSERT_TRUE(typeIntoCell(rowOf("A1"), fmTOVRAN::ColSTKQty, "20"));
    EXPECT_FALSE(question->shown) << question->message.toStdString();
    EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColSTKQty), "20");
    ASSERT_TRUE(typeIntoCell(rowOf("A1"), fmTOVRAN::ColSTKQty, "50"));
    EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColSTKQty), "50");
    EXPECT_EQ(stockNumber(db->scalar("select RNo from STOCK where STKNo = 'A1'"), "STKQty"), 50);
    EXPECT_EQ(shared(modelTexts(), book), "");

    // C3 counted on the shelf: the sheet by location names the shelf, never the counts.
    QLineEdit *location = Control<QLineEdit>(*window, "txtLocation");
    location->setFocus();
    location->insert(QStringLiteral("貨架"));
    QTest::keyClick(location, Qt::Key_Return);
    ASSERT_TRUE(typeIntoCell(rowOf("C3"), fmTOVRAN::ColSTKQty, "9"));
    ASSERT_EQ(cell(rowOf("C3"), fmTOVRAN::ColSTKQty), "9");
    Control<QComboBox>(*window, "cboCountSheetOrder")->setCurrentIndex(1);
    const QSet<QString> sheet =
        print(Control<QPushButton>(*window, "cmdCountSheet"), QStringLiteral("located"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("貨架")));
    for (const char *count : {"9", "50", "8"})
        EXPECT_FALSE(sheet.contains(QString::fromUtf8(count))) << count;
}

TEST_P(Blind, OtherGroupsSeeTheBooksAsEver)
{
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("CLERKS")));
    EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColLastQty), "37.25");
    EXPECT_EQ(cell(rowOf("A1"), fmTOVRAN::ColSTKQty), "41.75");
    EXPECT_EQ(cell(0, fmTOVRAN::ColLastQty), "上期庫存");
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColLastQty));
    Control<QCheckBox>(*window, "chkHideAvgPrice")->setChecked(false);
    EXPECT_FALSE(grid()->colHidden(fmTOVRAN::ColAvgPrice));
    for (const char *slip : {"cmdPrintByMistra(0)", "cmdPrintByMistra(1)"})
        EXPECT_TRUE(Control<QPushButton>(*window, slip)->isVisibleTo(window.get()));
    EXPECT_TRUE(Control<QPushButton>(*window, "cmdVariance")->isVisibleTo(window.get()));
    const QSet<QString> report =
        print(Control<QPushButton>(*window, "cmdPrintRpt"), QStringLiteral("report"));
    for (const char *figure : {"37.25", "12.5", "41.75", "18.25", "26.5", "3.5"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(figure))) << figure;
    // The count sheet has no figure for anyone.
    const QSet<QString> sheet =
        print(Control<QPushButton>(*window, "cmdCountSheet"), QStringLiteral("sheet"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("A1")));
    EXPECT_EQ(shared(sheet, bookFigures()), "");
}

INSTANTIATE_TEST_SUITE_P(Databases, Blind, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         kindName);

} // namespace
