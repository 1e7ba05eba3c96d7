// The variance review in the real stock window, by keyboard: the parameters' thresholds,
// Enter on a row and on a chart bar going to the row in the grid, a bad threshold refused
// with the old one kept, a count written by another workstation showing in the open review,
// a recount mark, the report printed to PDF (thresholds, rows, chart) and CSV.
#include "stockwindow/windowfixture.h"
#include "support/controls.h"

#include "platform/db/transaction.h"
#include "platform/print/pdftext.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "stock/monthwatch.h"
#include "stockwindow/frmvariance.h"
#include "stockwindow/variancechart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace WindowTest;

namespace {

class Variance : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (IsSkipped())
            return;
        param(QStringLiteral("TOVRAN_VarPct"), QStringLiteral("10"));
        for (const char *no : {"V1", "V2", "V3", "V4"})
            item(QLatin1String(no), QStringLiteral("品") + QLatin1String(no));
        v1 = stock("2003/01/31", "V1", 100, 0, 80, 3);      // -20 (20 %), -60
        v2 = stock("2003/01/31", "V2", 10, 0, 10, 1);       // no difference
        v3 = stock("2003/01/31", "V3", 1000, 0, 1020, 100); // +20 (2 %), 2,000
        stock("2003/01/31", "V4", 5, 0, 0, 4);              // nobody counted it: -5, -20
        for (const QString &rno : {v1, v2, v3})
            db->exec(QStringLiteral("update STOCK set UpdUserID = 'BOSS', UpdDate = %1 where "
                                    "RNo = %2;\n")
                         .arg(Dialect().gsDBDate, rno));
    }

    frmVariance *openReview()
    {
        start();
        query("2003", "1");
        EXPECT_FALSE(Control<QPushButton>(*window, "cmdVariance")->isHidden());
        Control<QPushButton>(*window, "cmdVariance")->click();
        QApplication::processEvents();
        return window->findChild<frmVariance *>();
    }

    static QStringList listed(const frmVariance *review)
    {
        QStringList items;
        const QAbstractItemModel *model = review->fgVariance->model();
        for (int r = 0; r < model->rowCount(); ++r)
            items << model->index(r, 0).data().toString();
        return items;
    }

    static QString listedText(const frmVariance *review, const QString &no, int col)
    {
        const QAbstractItemModel *model = review->fgVariance->model();
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->index(r, 0).data().toString() == no)
                return model->index(r, col).data().toString();
        return QStringLiteral("(not listed)");
    }

    static void type(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
    }

    // The grid's current item and column.
    QString gridItem() const
    {
        return window->month().text(Control<StockGridView>(*window, "fgList")->currentMonthRow(),
                                    fmTOVRAN::ColSTKNo);
    }

    QString v1, v2, v3;
};

} // namespace

TEST_P(Variance, ReviewByKeyboard)
{
    frmVariance *review = openReview();
    ASSERT_NE(review, nullptr);
    EXPECT_EQ(review->windowTitle(), "差異檢視");
    EXPECT_EQ(review->txtVarPct->text(), "10"); // the parameter
    EXPECT_EQ(review->txtVarAmt->text(), "1000");
    EXPECT_EQ(listed(review), QStringList({"V3", "V1", "V4"}));
    EXPECT_EQ(listedText(review, "V4", VarianceColumns::ColState), "未盤點");
    EXPECT_EQ(listedText(review, "V1", VarianceColumns::ColCountedBy), "BOSS");
    EXPECT_EQ(review->lblTotals->text(), "盤盈 2000   盤虧 -80   淨額 1920   筆數 3");

    // Enter on a row: the grid's count cell of that row.
    review->fgVariance->setFocus();
    review->fgVariance->setCurrentIndex(review->fgVariance->model()->index(0, 0));
    QTest::keyClick(review->fgVariance, Qt::Key_Down);
    QTest::keyClick(review->fgVariance, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(gridItem(), "V1");
    EXPECT_EQ(Control<StockGridView>(*window, "fgList")->currentIndex().column(),
              fmTOVRAN::ColSTKQty);
    EXPECT_EQ(Control<QTabWidget>(*window, "tabPage")->currentIndex(), 1);

    // The chart: the largest bar first, chosen with the keyboard.
    ASSERT_EQ(review->chtVariance->barCount(), 3);
    review->chtVariance->setFocus();
    QTest::keyClick(review->chtVariance, Qt::Key_Down);
    EXPECT_EQ(review->chtVariance->currentBar(), 0);
    QTest::keyClick(review->chtVariance, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(gridItem(), "V3");
    EXPECT_EQ(review->currentMonthRow(),
              Control<StockGridView>(*window, "fgList")->currentMonthRow());

    // Bad thresholds: refused with a message, the old ones kept and the list unchanged.
    for (const char *bad : {"abc", "-1", "150"}) {
        type(review->txtVarPct, QString::fromUtf8(bad));
        EXPECT_FALSE(review->lblMsg->text().isEmpty()) << bad;
        EXPECT_EQ(review->txtVarPct->text(), "10") << bad;
        EXPECT_EQ(review->review().thresholds.pct, 10) << bad;
    }
    type(review->txtVarAmt, QStringLiteral("100000000"));
    EXPECT_TRUE(review->lblMsg->text().contains(QStringLiteral("99,999,999")));
    EXPECT_EQ(review->txtVarAmt->text(), "1000");
    EXPECT_EQ(listed(review), QStringList({"V3", "V1", "V4"}));
    // A good one is taken: V1 (20 %, 60) is now under it.
    type(review->txtVarPct, QStringLiteral("25"));
    EXPECT_TRUE(review->lblMsg->text().isEmpty());
    EXPECT_EQ(listed(review), QStringList({"V3", "V4"}));

    // A count typed on another workstation shows in the open review.
    db->countElsewhere(v2, 4); // -6 (60 %), -6
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed(review).contains("V2"); }, 3000));
    EXPECT_EQ(listedText(review, "V2", VarianceColumns::ColCountedBy), "OTHER");
    EXPECT_EQ(listed(review), QStringList({"V3", "V4", "V2"}));

    // The manager marks V3 for recount and clears it again.
    review->fgVariance->setCurrentIndex(review->fgVariance->model()->index(0, 0));
    review->cmdMarkRecount->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return listedText(review, "V3", VarianceColumns::ColState) == "需複盤"; }, 3000));
    EXPECT_EQ(review->currentMonthRow(), window->month().indexOfRno(v3.toDouble()));
    review->cmdClearRecount->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return listedText(review, "V3", VarianceColumns::ColState).isEmpty(); }, 3000));

    // A user who counts blind is not offered the review: it closes.
    window->setVarianceReviewOffered(false);
    EXPECT_TRUE(Control<QPushButton>(*window, "cmdVariance")->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->findChild<frmVariance *>(); }, 2000));
}

TEST_P(Variance, PrintsTheReport)
{
    frmVariance *review = openReview();
    ASSERT_NE(review, nullptr);
    review->cmdPrint->click();
    QApplication::processEvents();
    PreviewWindow &preview = frmVSPBlank();
    ASSERT_TRUE(preview.isVisible());
    QTemporaryDir dir;
    const QString pdf = dir.filePath("variance.pdf");
    preview.vsp().savePdf(pdf);
    // Kept for a look at the page and the review window.
    const QDir artifacts(QStringLiteral(TOVRAN_ARTIFACT_DIR));
    QFile::remove(
        artifacts.filePath(QString::fromStdString("variance-" + BackendName(GetParam()) + ".pdf")));
    QFile::copy(pdf, artifacts.filePath(
                         QString::fromStdString("variance-" + BackendName(GetParam()) + ".pdf")));
    review->grab().save(artifacts.filePath("frmVariance.png"));
    const QString csv = dir.filePath("variance.csv");
    preview.saveDocument(csv, false);
    preview.hide();

    const QStringList lines = PdfText::lines(PdfText::words(pdf));
    const auto printed = [&](const QString &text) {
        return std::ranges::any_of(lines, [&](const QString &l) { return l.contains(text); });
    };
    EXPECT_TRUE(printed("差異檢視表")) << lines.join('\n').toStdString();
    EXPECT_TRUE(printed("差異門檻: 數量 > 10% 或 金額 > 1000")) << lines.join('\n').toStdString();
    // The rows in the review's order, each with its book, count, difference and value.
    const QStringList rows{"V3 品V3 個 1000 1020 20 100 2000 BOSS",
                           "V1 品V1 個 100 80 -20 3 -60 BOSS", "V4 品V4 個 5 0 -5 4 -20 未盤點"};
    qsizetype at = -1;
    for (const QString &row : rows) {
        const auto found = std::find_if(lines.begin(), lines.end(),
                                        [&](const QString &l) { return l.startsWith(row); });
        ASSERT_NE(found, lines.end()) << row.toStdString() << "\n"
                                      << lines.join('\n').toStdString();
        EXPECT_GT(found - lines.begin(), at) << row.toStdString();
        at = found - lines.begin();
    }
    EXPECT_TRUE(printed("盤盈 2000 盤虧 -80 淨額 1920 筆數 3"));
    // The chart is a picture on the first page.
    const QString images = PdfText::run("pdfimages", {"-list", "-f", "1", "-l", "1", pdf});
    EXPECT_GE(images.split('\n', Qt::SkipEmptyParts).size(), 3) << images.toStdString();

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains("> 10%")) << saved.toStdString();
    EXPECT_LT(saved.indexOf("V3"), saved.indexOf("V1"));
    EXPECT_LT(saved.indexOf("V1"), saved.indexOf("V4"));
}

INSTANTIATE_TEST_SUITE_P(Backends, Variance,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), kindName);
