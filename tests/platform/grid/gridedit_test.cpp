#include "platform/grid/flexgrid.h"
#include "support/modal.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A shown, active grid with three data rows; columns 1 and 2 hold numbers.
class GridEdit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.resize(500, 300);
        grid.setFormatString(QStringLiteral("料號|庫存量|平均價格"));
        grid.addItem(QStringLiteral("A1\t10\t2.5"));
        grid.addItem(QStringLiteral("A2\t20\t3"));
        grid.addItem(QStringLiteral("A3\t30\t4"));
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.view()->setFocus();
    }

    QModelIndex index(int row, int col) const
    {
        return grid.view()->model()->index(row - grid.fixedRows(), col);
    }

    // A double-click as the window system delivers it: press, release, double-click, release.
    void doubleClick(int row, int col)
    {
        QWidget *viewport = grid.view()->viewport();
        const QPoint at = grid.view()->visualRect(index(row, col)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }

    QLineEdit *editor() const { return qobject_cast<QLineEdit *>(QApplication::focusWidget()); }

    FlexGrid grid;
};

} // namespace

TEST_F(GridEdit, AcceptedEditIsValidatedOnceAndMayBeRewritten)
{
    QList<std::tuple<int, int, QString>> seen;
    QObject::connect(&grid, &FlexGrid::validateEdit, [&](int row, int col, bool *, QString *text) {
        seen.append({row, col, *text});
        *text = text->trimmed().toUpper();
    });
    QSignalSpy keys(&grid, &FlexGrid::keyDown);
    grid.view()->edit(index(2, 1));
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(grid.isEditing());
    editor()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), " 15x ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], std::make_tuple(2, 1, QStringLiteral(" 15x ")));
    EXPECT_EQ(grid.textMatrix(2, 1), "15X");
    EXPECT_FALSE(grid.isEditing());
    // The Enter that ended the edit reaches the grid's key-down event.
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys[0][0].toInt(), int(Qt::Key_Return));
}

TEST_F(GridEdit, RefusedEnterPutsTheCellTextBackSelectedSoTheNextKeysReplaceIt)
{
    QStringList seen;
    QObject::connect(&grid, &FlexGrid::validateEdit, [&](int, int, bool *cancel, QString *text) {
        seen << *text;
        *cancel = text->toDouble() < 15;
    });
    // Typed as a clerk types: the first key opens the editor on the cell.
    grid.setRow(1);
    grid.setCol(1);
    QTest::keyClicks(grid.view(), "1");
    ASSERT_TRUE(grid.isEditing());
    QTest::keyClicks(QApplication::focusWidget(), "4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(seen, QStringList({"14"}));
    EXPECT_EQ(grid.textMatrix(1, 1), "10");
    ASSERT_TRUE(grid.isEditing());
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), "10");
    EXPECT_EQ(editor()->selectedText(), "10");
    // Refused again: still nothing appended to what was refused.
    QTest::keyClicks(QApplication::focusWidget(), "-1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(seen, QStringList({"14", "-1"}));
    EXPECT_EQ(editor()->selectedText(), "10");
    QTest::keyClicks(QApplication::focusWidget(), "55");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(seen, QStringList({"14", "-1", "55"}));
    EXPECT_EQ(grid.textMatrix(1, 1), "55");
    EXPECT_FALSE(grid.isEditing());

    // Esc after a refusal leaves the editor without a change.
    grid.view()->edit(index(2, 1));
    editor()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(grid.textMatrix(2, 1), "20");
    EXPECT_EQ(seen.size(), 4);
}

TEST_F(GridEdit, FocusLeavingCommitsThroughTheSameValidation)
{
    int calls = 0;
    QObject::connect(&grid, &FlexGrid::validateEdit,
                     [&](int, int, bool *cancel, QString *) { *cancel = ++calls == 1; });
    QLineEdit other(nullptr);
    other.show();
    grid.view()->edit(index(3, 2));
    editor()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "99");
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    TestModal::waitFor([&] { return !grid.isEditing(); });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(grid.textMatrix(3, 2), "4"); // refused: old text

    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.view()->edit(index(3, 2));
    editor()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "99");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(grid.textMatrix(3, 2), "99");
}

TEST_F(GridEdit, AMessageAnsweredWithEnterNeitherCommitsNorGluesTheNextCount)
{
    QStringList seen;
    QObject::connect(&grid, &FlexGrid::validateEdit, [&](int, int, bool *cancel, QString *text) {
        seen << *text;
        if (text->toDouble() >= 15)
            return;
        // The clerk answers the message with Enter, in the box that has the focus.
        auto answered = TestModal::whenModal([](QWidget *box) {
            ASSERT_NE(box->focusWidget(), nullptr);
            QTest::keyClick(box->focusWidget(), Qt::Key_Return);
        });
        QMessageBox::information(&grid, "TOVRAN", "庫存量不得小於期初量加進貨量之和");
        EXPECT_TRUE(*answered);
        *cancel = true;
    });
    grid.setRow(1);
    grid.setCol(1);
    QTest::keyClicks(grid.view(), "1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(seen, QStringList({"1"}));
    EXPECT_EQ(grid.textMatrix(1, 1), "10");
    // Back in the grid's window (the window manager's part), the editor has the focus
    // and holds the cell's text selected.
    ASSERT_TRUE(grid.isEditing());
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->selectedText(), "10");
    QTest::keyClicks(QApplication::focusWidget(), "55");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(seen, QStringList({"1", "55"}));
    EXPECT_EQ(grid.textMatrix(1, 1), "55");
    EXPECT_FALSE(grid.isEditing());
}

TEST_F(GridEdit, TypingF2AndDoubleClickOpenTheEditorWhereEditingIsAllowed)
{
    // A typed character opens the editor with that character; control keys do not.
    grid.setRow(2);
    grid.setCol(1);
    QTest::keyClick(grid.view(), Qt::Key_Backspace);
    EXPECT_FALSE(grid.isEditing());
    QTest::keyClick(grid.view(), Qt::Key_7);
    ASSERT_TRUE(grid.isEditing());
    EXPECT_EQ(editor()->text(), "7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(grid.textMatrix(2, 1), "20");

    // F2 on the current cell opens it with the cell's text.
    QTest::keyClick(grid.view(), Qt::Key_F2);
    ASSERT_TRUE(grid.isEditing());
    EXPECT_EQ(editor()->text(), "20");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    doubleClick(3, 2);
    ASSERT_TRUE(grid.isEditing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // A fixed column is a row heading; a grid that is not editable opens nothing.
    grid.setFixedCols(1);
    doubleClick(3, 0);
    EXPECT_FALSE(grid.isEditing());
    grid.setEditable(false);
    grid.setRow(1);
    grid.setCol(1);
    QTest::keyClick(grid.view(), Qt::Key_F2);
    QTest::keyClick(grid.view(), Qt::Key_5);
    doubleClick(3, 2);
    EXPECT_FALSE(grid.isEditing());
    EXPECT_EQ(grid.textMatrix(1, 1), "10");
}

TEST_F(GridEdit, KeyDownCanSwallowKeysAndEscapeIsTheWindows)
{
    QList<int> seen;
    QObject::connect(&grid, &FlexGrid::keyDown, [&](int key, Qt::KeyboardModifiers, bool *handled) {
        seen << key;
        *handled = key == Qt::Key_Down;
    });
    grid.setRow(1);
    QTest::keyClick(grid.view(), Qt::Key_Down);
    EXPECT_EQ(grid.row(), 1); // swallowed
    QTest::keyClick(grid.view(), Qt::Key_Right);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(seen, QList<int>({Qt::Key_Down, Qt::Key_Right}));

    // Esc goes on to the window (a dialog closes); Enter stays with the grid.
    struct KeysSeen : QObject
    {
        QList<int> keys;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::KeyPress)
                keys << static_cast<QKeyEvent *>(event)->key();
            return false;
        }
    } window;
    grid.installEventFilter(&window);
    QTest::keyClick(grid.view(), Qt::Key_Escape);
    QTest::keyClick(grid.view(), Qt::Key_Return);
    EXPECT_EQ(window.keys, QList<int>({Qt::Key_Escape}));
}

TEST_F(GridEdit, ClickOnACellButNotOnTheHeader)
{
    QSignalSpy clicks(&grid, &FlexGrid::clicked);
    const QRect cell = grid.view()->visualRect(index(3, 0));
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid.row(), 3);
    QHeaderView *header = grid.view()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid.row(), 3);
    // A double-click is one click, not two.
    grid.setEditable(false);
    doubleClick(2, 0);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(grid.row(), 2);
}
