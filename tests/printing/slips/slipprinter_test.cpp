#include "printing/slipprinter.h"

#include "platform/grid/flexgrid.h"
#include "platform/print/printdocument.h"
#include "platform/settingsstore.h"
#include "support/modal.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The texts of column 1 of the list window's grid, below its title row.
QStringList listedNames(QWidget *window)
{
    auto *grid = window->findChild<FlexGrid *>(QStringLiteral("fgCode"));
    QStringList names;
    for (int r = 1; grid && r < grid->rows(); ++r)
        names << grid->textMatrix(r, 1);
    return names;
}

bool clickCell(QWidget *window, const QString &text)
{
    auto *grid = window->findChild<FlexGrid *>(QStringLiteral("fgCode"));
    QTableView *view = grid->view();
    QAbstractItemModel *model = view->model();
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            if (index.data().toString() == text) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(index).center());
                return true;
            }
        }
    return false;
}

} // namespace

TEST(SlipPrinter, LeavingTheListEmptiesAndSavesTheSetting)
{
    SaveSetting("GL", "TOVSEL", "KXPrinter", "OldPrinter");
    QLineEdit txtKXPrinter(QStringLiteral("OldPrinter"));
    auto names = std::make_shared<QStringList>();
    auto ran = TestModal::whenModal([names](QWidget *w) {
        *names = listedNames(w);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    cmdListPrinter_Click(0, &txtKXPrinter);
    EXPECT_TRUE(*ran);
    // Whatever is installed on this machine is offered, numbered from 0.
    EXPECT_EQ(*names, PrintDocument::devices());
    EXPECT_EQ(txtKXPrinter.text(), "");
    EXPECT_EQ(SavedSlipPrinter(), "");
    EXPECT_EQ(GetSetting("GL", "TOVSEL", "KXPrinter", "unset"), "");
}

TEST(SlipPrinter, PickingTheTestQueueStoresItsName)
{
    const QString printer = qEnvironmentVariable("TOVRAN_TEST_PRINTER");
    if (printer.isEmpty())
        GTEST_SKIP() << "no test printer: TOVRAN_TEST_PRINTER names no CUPS queue in this run";
    ASSERT_TRUE(PrintDocument::devices().contains(printer))
        << "queue " << printer.toStdString() << " is not installed";

    QLineEdit txtKXPrinter;
    auto names = std::make_shared<QStringList>();
    auto clicked = std::make_shared<bool>(false);
    TestModal::whenModal([names, clicked, printer](QWidget *w) {
        *names = listedNames(w);
        *clicked = clickCell(w, printer);
        if (!*clicked)
            QTest::keyClick(w, Qt::Key_Escape);
    });
    cmdListPrinter_Click(0, &txtKXPrinter);
    EXPECT_TRUE(names->contains(printer));
    EXPECT_TRUE(*clicked);
    EXPECT_EQ(txtKXPrinter.text(), printer);
    EXPECT_EQ(SavedSlipPrinter(), printer);
}
