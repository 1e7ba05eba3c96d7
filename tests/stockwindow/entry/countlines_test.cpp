// Counting by location and by scanning in the real stock window, by keyboard: the location
// box, two locations adding up, a scan count with "n*", a refused scan, two clerks who
// disagree (the recount mark), the count history and its undo, a handheld file imported; the
// database checked after each step, every record equal to the sum of its current lines.
#include "platform/settingsstore.h"
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "printing/printingfixture.h"
#include "stock/stockcounting.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/frmcounthistory.h"

#include <QFileDialog>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>

using namespace WindowTest;

namespace {

class CountLines : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (IsSkipped())
            return;
        item("A2", "砂糖", "包");
        item("B1", "鹽", "包", "", "1", "N");
        a2 = stock("2003/01/31", "A2", 10, 5, 15);
        b1 = stock("2003/01/31", "B1", 1, 0, 1);
    }

    void typeLocation(const QString &location)
    {
        QLineEdit *box = Control<QLineEdit>(*window, "txtLocation");
        box->setFocus();
        box->selectAll();
        box->insert(location); // as an input method hands over Chinese text
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
    }
    void scan(const QString &text)
    {
        Control<QLineEdit>(*window, "textSTKNo")->setFocus();
        QTest::keyClicks(Control<QLineEdit>(*window, "textSTKNo"), text);
        QTest::keyClick(Control<QLineEdit>(*window, "textSTKNo"), Qt::Key_Return);
        QApplication::processEvents();
    }
    double linesSum(const QString &rno) const
    {
        return db
            ->scalar("select coalesce(sum(Qty), 0) from STOCKCNT where VoidDate is null "
                     "and RNo = " +
                     rno)
            .toDouble();
    }
    QString shownLines() const { return Control<QLabel>(*window, "lblCountLines")->text(); }

    QString a2, b1;
};

} // namespace

TEST_P(CountLines, ClerksCountByLocationScanAndUndo)
{
    start();
    query("2003", "1");
    ASSERT_TRUE(window->counting().countLinesOn());

    // Two locations of one item: no shortage question for a location's part, the count is
    // their sum, the current row's lines shown.
    typeLocation(QStringLiteral("貨架"));
    const auto noQuestion = answerSure();
    ASSERT_TRUE(typeIntoCell(rowOf("A2"), fmTOVRAN::ColSTKQty, "5"));
    EXPECT_FALSE(noQuestion->shown) << noQuestion->message.toStdString();
    typeLocation(QStringLiteral("倉庫"));
    ASSERT_TRUE(typeIntoCell(rowOf("A2"), fmTOVRAN::ColSTKQty, "3"));
    EXPECT_EQ(stockNumber(a2, "STKQty"), 8);
    EXPECT_EQ(stockNumber(a2, "UseQty"), 7);
    EXPECT_EQ(cell(rowOf("A2"), fmTOVRAN::ColSTKQty), "8");
    grid()->view()->setCurrentIndex(grid()->index(rowOf("A2"), fmTOVRAN::ColSTKQty));
    EXPECT_TRUE(shownLines().contains(QStringLiteral("貨架  5  TESTER")))
        << shownLines().toStdString();
    EXPECT_TRUE(shownLines().contains(QStringLiteral("倉庫  3  TESTER")));
    EXPECT_EQ(grid()
                  ->model()
                  ->data(grid()->index(rowOf("A2"), fmTOVRAN::ColSTKQty), Qt::ToolTipRole)
                  .toString()
                  .count(QLatin1Char('\n')),
              1);

    // Scan counting: each scan one piece, "12*" twelve, on the location's line.
    Control<QCheckBox>(*window, "chkScanCount")->setChecked(true);
    scan("B1");
    scan("B1");
    scan("12*B1");
    EXPECT_EQ(stockNumber(b1, "STKQty"), 14);
    EXPECT_EQ(cell(rowOf("B1"), fmTOVRAN::ColSTKQty), "14");
    EXPECT_EQ(grid()->row(), rowOf("B1"));
    EXPECT_EQ(db->scalar("select count(*) from STOCKCNT where Kind = 'S'").toInt(), 3);
    // A scan whose count is no number says why and writes nothing; the next one counts.
    scan("x*B1");
    EXPECT_TRUE(msg().contains(QStringLiteral("不是"))) << msg().toStdString();
    EXPECT_EQ(stockNumber(b1, "STKQty"), 14);
    scan("B1");
    EXPECT_EQ(stockNumber(b1, "STKQty"), 15);
    Control<QCheckBox>(*window, "chkScanCount")->setChecked(false);

    // Another clerk counts the shelf differently: marked for recount, in its column and its
    // item cells' colour.
    EditUser().gsUserID = QStringLiteral("OTHER");
    typeLocation(QStringLiteral("貨架"));
    ASSERT_TRUE(typeIntoCell(rowOf("A2"), fmTOVRAN::ColSTKQty, "6"));
    EXPECT_EQ(stockNumber(a2, "STKQty"), 9);
    Control<QCheckBox>(*window, "chkShowRecount")->setChecked(true);
    EXPECT_FALSE(grid()->colHidden(StockMonthModel::RecountColumn));
    EXPECT_EQ(cell(rowOf("A2"), StockMonthModel::RecountColumn), "需複盤");
    EXPECT_EQ(cell(rowOf("B1"), StockMonthModel::RecountColumn), "");
    EXPECT_NE(grid()->cellBackColor(rowOf("A2"), fmTOVRAN::ColSTKNo),
              grid()->cellBackColor(rowOf("B1"), fmTOVRAN::ColSTKNo));

    // The history by F9: every line, newest first; undo takes the other clerk's count back.
    grid()->view()->setCurrentIndex(grid()->index(rowOf("A2"), fmTOVRAN::ColSTKQty));
    grid()->view()->setFocus();
    int listed = -1;
    bool undoFocused = false;
    QString newest;
    const auto seen = TestModal::whenModal([&](QWidget *w) {
        auto *history = qobject_cast<frmCountHistory *>(w);
        if (!history)
            return;
        listed = history->fgHistory->model()->rowCount();
        newest = history->fgHistory->model()->index(0, 1).data().toString() + ' ' +
                 history->fgHistory->model()->index(0, 4).data().toString();
        // The undo button has the focus: Enter presses it.
        undoFocused = history->focusWidget() == history->cmdUndo;
        QTest::keyClick(history->cmdUndo, Qt::Key_Return);
        QApplication::processEvents();
        history->cmdClose->click();
    });
    QTest::keyClick(grid()->view(), Qt::Key_F9);
    QApplication::processEvents();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(listed, 3);
    EXPECT_TRUE(undoFocused);
    EXPECT_EQ(newest, "OTHER 6");
    EXPECT_EQ(stockNumber(a2, "STKQty"), 8);
    EXPECT_EQ(cell(rowOf("A2"), fmTOVRAN::ColSTKQty), "8");
    EXPECT_EQ(cell(rowOf("A2"), StockMonthModel::RecountColumn), "");

    // A handheld file: good lines written in one go (an item the month lacks added first),
    // the bad ones listed and left out.
    item("N1", "醋", "瓶");
    QTemporaryDir dir;
    const QString file = dir.filePath("handheld.csv");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("item,qty,location\nA2,4,倉庫\nB1,2\nC9,1\nB1,x\nN1,7,貨架\nN1,0.5,貨架\n");
    }
    QTableView *previewList = nullptr;
    int previewRows = -1;
    TestModal::whenModal([&](QWidget *w) {
        auto *open = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(open, nullptr);
        // The whole path typed as the clerk may type it, then Enter.
        auto *name = open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(file);
        QTest::keyClick(name, Qt::Key_Return);
        ASSERT_FALSE(open->isVisible());
        TestModal::whenModal([&](QWidget *preview) {
            ASSERT_EQ(preview->objectName(), "frmCountImport");
            previewList = preview->findChild<QTableView *>("fgImport");
            ASSERT_NE(previewList, nullptr);
            // The preview shows itself while it reads the file (this runs inside the
            // reading), then waits for the clerk: Enter once it waits.
            auto press = std::make_shared<std::function<void()>>();
            *press = [&, preview, press] {
                if (QApplication::activeModalWidget() != preview ||
                    previewList->model()->rowCount() == 0) {
                    QTimer::singleShot(50, *press);
                    return;
                }
                previewRows = previewList->model()->rowCount();
                QTest::keyClick(preview, Qt::Key_Return);
            };
            QTimer::singleShot(50, *press);
        });
    });
    Control<QPushButton>(*window, "cmdImport")->click();
    QApplication::processEvents();
    EXPECT_EQ(previewRows, 6);
    EXPECT_EQ(stockNumber(a2, "STKQty"), 9);
    EXPECT_EQ(stockNumber(b1, "STKQty"), 17); // scanned at 倉庫 (15) and 2 at no location
    const QString n1 = db->scalar("select RNo from STOCK where STKNo = 'N1'");
    ASSERT_FALSE(n1.isEmpty());
    EXPECT_EQ(stockNumber(n1, "STKQty"), 7.5);
    // The next import starts in this folder.
    EXPECT_EQ(GetSetting("TOVRAN", "Count", "ImportDir"), dir.path());
    EXPECT_EQ(cell(rowOf("N1"), fmTOVRAN::ColSTKQty), "7.5");
    EXPECT_EQ(db->scalar("select count(*) from STOCKCNT where Kind = 'I'").toInt(), 3);

    for (const QString &rno : {a2, b1, n1})
        EXPECT_EQ(stockNumber(rno, "STKQty"), linesSum(rno)) << rno.toStdString();

    // The count detail list: every current line and each item's total (the mark beside it),
    // as PDF and CSV.
    frmVSPBlank().vsp().killDoc();
    Control<QPushButton>(*window, "cmdCountDetail")->click();
    QApplication::processEvents();
    PreviewWindow &preview = frmVSPBlank();
    ASSERT_EQ(preview.vsp().pageCount(), 1);
    const QString pdf = dir.filePath("detail.pdf");
    preview.vsp().savePdf(pdf);
    QStringList words;
    for (const PdfText::Word &w : PdfText::words(pdf))
        words << w.text;
    for (const char *expected : {"盤點明細表", "TESTER", "OTHER", "7.5", "17", "需複盤"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected;
    const QString csv = dir.filePath("detail.csv");
    preview.saveDocument(csv, false);
    QFile saved(csv);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QStringList rows;
    for (const QStringList &row : ParseRfc4180(QString::fromUtf8(saved.readAll().mid(3))))
        rows << row.mid(0, 6).join('|');
    // A2's shelf line came back by the undo (written by OTHER), its back room by the import,
    // which replaced TESTER's 3 with 4: marked.
    for (const char *expected :
         {"A2|砂糖|包|貨架|5|OTHER", "A2|砂糖|包|倉庫|4|OTHER", "A2|需複盤||合計|9|",
          "B1|鹽|包|倉庫|15|TESTER", "B1|鹽|包||2|OTHER", "B1|||合計|17|",
          "N1|醋|瓶|貨架|7.5|OTHER", "N1|||合計|7.5|"})
        EXPECT_TRUE(rows.contains(QString::fromUtf8(expected)))
            << expected << " in " << rows.join(" / ").toStdString();
    preview.hide();

    // The location is this workstation's: a new window starts with it.
    window.reset();
    start();
    EXPECT_EQ(Control<QLineEdit>(*window, "txtLocation")->text(), QStringLiteral("貨架"));
}

INSTANTIATE_TEST_SUITE_P(Databases, CountLines,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), kindName);
