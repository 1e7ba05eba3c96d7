// The preview of counts from a handheld file, offscreen: a real file read with the month in
// memory, every line and the totals shown, Enter applying through the callback (only when
// a line is accepted), a refusing callback keeping the preview open, Esc cancelling, the
// refused lines saved through the file dialog.
#include "stock/stockmonth.h"
#include "stockwindow/frmcountimport.h"
#include "support/modal.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CountImportPreview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        month.reset({2026, 11, QStringLiteral("A01"), QDate(2026, 11, 30)}, false);
        for (const char *no : {"A1", "A2"}) {
            StockRow row;
            row.stored.Rno = 100 + month.size();
            row.stored.STKNo = QString::fromLatin1(no);
            month.append(row);
        }
        path = dir.filePath(QStringLiteral("handheld.csv"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("品號,數量,區位\n"
                   "A1,5,前場\n"
                   "A2,abc\n"
                   "Z9,1\n"
                   "A1,2.5,前場\n");
    }

    // The preview of the file, its callback counting the calls and refusing while refuse.
    std::unique_ptr<frmCountImport> preview(bool pastDeadline = false)
    {
        auto form =
            std::make_unique<frmCountImport>([this](const CountImportPlan &plan, QString *error) {
                ++calls;
                written = plan.importLines().value_or(QList<StockCounting::ImportLine>{});
                if (refuse)
                    *error = QStringLiteral("另一工作站正在修改，未寫入任何資料。");
                return !refuse;
            });
        form->read(
            path, month, [](const QString &) { return false; }, pastDeadline);
        return form;
    }

    static QString cell(QTableView *view, int row, int col)
    {
        return view->model()->index(row, col).data().toString();
    }

    QTemporaryDir dir;
    QString path;
    StockMonth month;
    int calls = 0;
    bool refuse = false;
    QList<StockCounting::ImportLine> written;
};

} // namespace

TEST_F(CountImportPreview, EnterAppliesAndARefusalKeepsItOpen)
{
    const auto form = preview();
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("匯入盤點檔"));
    auto *grid = form->findChild<QTableView *>(QStringLiteral("fgImport"));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("2"));
    EXPECT_EQ(cell(grid, 0, 2), QStringLiteral("前場"));
    EXPECT_EQ(cell(grid, 0, 4), QStringLiteral("計入本月盤點，連同重複行合計 7.5"));
    EXPECT_EQ(cell(grid, 1, 4), QStringLiteral("第 3 行：數量「abc」不是數字。"));
    EXPECT_EQ(cell(grid, 2, 4), QStringLiteral("第 4 行：物料「Z9」不在物料主檔。"));
    EXPECT_EQ(cell(grid, 3, 4), QStringLiteral("與第 2 行重複，數量併入該行"));
    EXPECT_TRUE(form->findChild<QLabel *>(QStringLiteral("lblTotals"))
                    ->text()
                    .startsWith(QStringLiteral("共 4 行：可匯入 2 行（盤點 1 列，新增物料 0 項，"
                                               "數量合計 7.5），未匯入 2 行。第 1 行為標題行。")));
    EXPECT_FALSE(form->findChild<QProgressBar *>(QStringLiteral("prgImport"))->isVisible());

    // A refusing apply: its message shown, the preview still open, nothing marked applied.
    refuse = true;
    const auto box = TestModal::answerMessageBox(QMessageBox::Ok);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_TRUE(box->shown);
    EXPECT_EQ(box->text, QStringLiteral("另一工作站正在修改，未寫入任何資料。"));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->applied());

    // Enter again, accepted: the one summed line written, the preview closed.
    refuse = false;
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written.at(0).index, 0);
    EXPECT_EQ(written.at(0).location, QStringLiteral("前場"));
    EXPECT_EQ(written.at(0).qty, 7.5);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->applied());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

// Nothing to apply: Enter does nothing, Esc cancels; the refused lines are saved.
TEST_F(CountImportPreview, NothingAcceptedEscapeCancelsAndRefusedLinesSave)
{
    const auto form = preview(true);
    auto *apply = form->findChild<QPushButton *>(QStringLiteral("cmdApply"));
    EXPECT_FALSE(apply->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_Return);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(form->isVisible());

    const QString saved = dir.filePath(QStringLiteral("refused.csv"));
    TestModal::whenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).fileName(),
                  QStringLiteral("handheld_未匯入.csv"));
        dialog->selectFile(saved);
        static_cast<QDialog *>(dialog)->accept(); // as its Save button does
    });
    form->findChild<QPushButton *>(QStringLiteral("cmdSaveRefused"))->click();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), form->plan().refusedFile());
    EXPECT_EQ(form->plan().totals().refused, 4);

    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(calls, 0);
}
