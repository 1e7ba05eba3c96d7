#include "platform/grid/csvtext.h"
#include "platform/grid/flexgrid.h"
#include "platform/grid/textwidths.h"
#include "support/paintcounter.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QString cellText(int r, int c)
{
    return QStringLiteral("R%1C%2").arg(r).arg(c);
}

// A grid with a title row and the given data rows of text "R<row>C<col>".
void fill(FlexGrid &grid, int dataRows, int cols)
{
    grid.setFixedRows(1);
    grid.setCols(cols);
    grid.setRows(1);
    QList<QStringList> rows;
    for (int r = 1; r <= dataRows; ++r) {
        QStringList cells;
        for (int c = 0; c < cols; ++c)
            cells.append(cellText(r, c));
        rows.append(cells);
    }
    grid.addRows(rows);
}

int shownRows(FlexGrid &grid)
{
    return grid.view()->model()->rowCount();
}

} // namespace

TEST(FlexGridStructure, LoadsFiftyThousandRowsWithRedrawOff)
{
    FlexGrid grid;
    grid.resize(800, 600);
    grid.show();
    grid.setCols(24);
    for (int c = 0; c < 24; ++c)
        grid.setTextMatrix(0, c, QStringLiteral("T%1").arg(c));
    grid.setRedraw(false);
    QList<QStringList> rows;
    rows.reserve(50000);
    for (int r = 1; r <= 50000; ++r) {
        QStringList cells;
        cells.reserve(24);
        for (int c = 0; c < 24; ++c)
            cells.append(cellText(r, c));
        rows.append(cells);
    }
    grid.addRows(std::move(rows), 9);
    EXPECT_EQ(grid.rows(), 50001);
    EXPECT_FALSE(grid.redraw());
    grid.setRedraw(true);
    EXPECT_EQ(shownRows(grid), 50000);
    EXPECT_EQ(grid.view()->model()->columnCount(), 24);
    EXPECT_EQ(grid.textMatrix(1, 0), QStringLiteral("R1C0"));
    EXPECT_EQ(grid.textMatrix(50000, 23), QStringLiteral("R50000C23"));
    EXPECT_EQ(grid.rowData(50000).toInt(), 9);
    EXPECT_EQ(grid.view()->model()->headerData(5, Qt::Horizontal).toString(), "T5");
    EXPECT_EQ(grid.view()->model()->index(49999, 7).data().toString(), "R50000C7");
    EXPECT_EQ(grid.row(), 1); // the first data row becomes current
}

TEST(FlexGridStructure, RowsColumnsAndFixedRows)
{
    FlexGrid grid;
    fill(grid, 3, 2);
    grid.setRows(5); // grows with empty rows, keeps the cells
    EXPECT_EQ(grid.textMatrix(3, 1), "R3C1");
    EXPECT_EQ(grid.textMatrix(4, 0), "");
    grid.setCols(1);
    EXPECT_EQ(grid.textMatrix(1, 1), ""); // out of range reads empty
    grid.setCols(2);
    EXPECT_EQ(grid.textMatrix(1, 1), ""); // shrinking dropped the cells
    grid.clearData();
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.row(), -1); // no data row, no current row
    EXPECT_EQ(shownRows(grid), 0);

    // Without a fixed row every row is a data row and there is no header.
    grid.setFixedRows(0);
    grid.setRows(0);
    grid.addItem(QStringLiteral("a\tb"));
    grid.addItem(QStringLiteral("c\td"));
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(shownRows(grid), 2);
    EXPECT_TRUE(grid.view()->horizontalHeader()->isHidden());
    EXPECT_EQ(grid.view()->model()->index(0, 1).data().toString(), "b");
    EXPECT_EQ(grid.row(), 0);
    grid.setFixedRows(1);
    EXPECT_FALSE(grid.view()->horizontalHeader()->isHidden());
    EXPECT_EQ(shownRows(grid), 1);
    EXPECT_EQ(grid.view()->model()->headerData(0, Qt::Horizontal).toString(), "a");
}

TEST(FlexGridStructure, AddItemSplitsAtTheClipSeparatorAndAddRowNever)
{
    FlexGrid grid;
    grid.setCols(3);
    grid.addItem(QStringLiteral("1\t2\t3\t")); // a trailing separator adds nothing
    grid.addItem(QStringLiteral("x\ty"));
    grid.addItem(QStringLiteral("p\tq\tr\ts")); // surplus pieces are dropped
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.textMatrix(1, 2), "3");
    EXPECT_EQ(grid.textMatrix(2, 1), "y");
    EXPECT_EQ(grid.textMatrix(2, 2), "");
    EXPECT_EQ(grid.textMatrix(3, 2), "r");

    grid.setClipSeparators(QStringLiteral(";\n"));
    EXPECT_EQ(grid.clipSeparators(), QStringLiteral(";\n"));
    grid.addItem(QStringLiteral("a;b\tc"));
    EXPECT_EQ(grid.textMatrix(4, 1), "b\tc");

    // Cells given one by one keep a TAB where it is.
    grid.addRow({QStringLiteral("has\ttab"), QStringLiteral("2"), QStringLiteral("3")}, 7);
    EXPECT_EQ(grid.textMatrix(5, 0), "has\ttab");
    EXPECT_EQ(grid.textMatrix(5, 1), "2");
    EXPECT_EQ(grid.rowData(5).toInt(), 7);
    grid.setRowData(5, 12.5);
    EXPECT_DOUBLE_EQ(grid.rowData(5).toDouble(), 12.5);
    EXPECT_FALSE(grid.rowData(99).isValid());
}

TEST(FlexGridStructure, FormatStringSetsTitlesAndAlignment)
{
    FlexGrid grid;
    grid.setFormatString(QStringLiteral("<編號|^名稱|>數量|備註"));
    EXPECT_EQ(grid.cols(), 4);
    EXPECT_EQ(grid.textMatrix(0, 0), "編號");
    EXPECT_EQ(grid.textMatrix(0, 2), "數量");
    EXPECT_EQ(grid.colAlignment(0), FlexGrid::AlignLeft);
    EXPECT_EQ(grid.colAlignment(1), FlexGrid::AlignCenter);
    EXPECT_EQ(grid.colAlignment(2), FlexGrid::AlignRight);
    EXPECT_EQ(grid.colAlignment(3), FlexGrid::AlignGeneral);
    grid.addItem(QStringLiteral("1\t2\t3\t-4.5"));
    grid.addItem(QStringLiteral("1\t2\t3\tabc"));
    QAbstractItemModel *m = grid.view()->model();
    auto align = [m](int r, int c) {
        return m->index(r, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(align(0, 0), Qt::AlignLeft);
    EXPECT_EQ(align(0, 1), Qt::AlignHCenter);
    EXPECT_EQ(align(0, 2), Qt::AlignRight);
    EXPECT_EQ(align(0, 3), Qt::AlignRight); // general: numbers right
    EXPECT_EQ(align(1, 3), Qt::AlignLeft);  // general: text left
}

TEST(FlexGridSearch, FindRowWholeTextOrPrefix)
{
    FlexGrid grid;
    grid.setCols(2);
    for (const char *code : {"B1", "A1", "a2", "A2", "AB"})
        grid.addItem(QString::fromLatin1(code));
    EXPECT_EQ(grid.findRow("A2", 1, 0), 3); // case-insensitive by default: "a2" first
    EXPECT_EQ(grid.findRow("A2", 1, 0, true), 4);
    EXPECT_EQ(grid.findRow("A", 1, 0, false, false), 2);
    EXPECT_EQ(grid.findRow("A", 3, 0, false, false), 3);
    EXPECT_EQ(grid.findRow("A", 5, 0, false, false), 5);
    EXPECT_EQ(grid.findRow("A", -1, 0, false, false), 2); // -1: from the first data row
    EXPECT_EQ(grid.findRow("C", 1, 0, false, false), -1);
    EXPECT_EQ(grid.findRow("A", 1, 0), -1);  // whole text only
    EXPECT_EQ(grid.findRow("A1", 1, 7), -1); // no such column
}

TEST(FlexGridSearch, SortIsCaseSensitiveStableAndMovesEverythingOfARow)
{
    FlexGrid grid;
    grid.setCols(3);
    // key in column 1; column 2 tells the original order
    const QList<QStringList> rows = {{"x", "b", "1"}, {"x", "B", "2"}, {"x", "a", "3"},
                                     {"x", "B", "4"}, {"x", "A", "5"}, {"x", "", "6"}};
    for (int i = 0; i < rows.size(); ++i)
        grid.addRow(rows[i], i + 1);
    grid.setRowHidden(2, true);                             // "B" #2
    grid.setCellBackColor(3, 1, 3, 1, QColor(255, 255, 0)); // "a" #3
    grid.setCellBold(3, 1, 3, 1, true);
    grid.sortAscending(1, 1);
    QStringList order;
    for (int r = 1; r < grid.rows(); ++r)
        order << grid.textMatrix(r, 1) + grid.textMatrix(r, 2);
    EXPECT_EQ(order, QStringList({"6", "A5", "B2", "B4", "a3", "b1"}));
    EXPECT_EQ(grid.rowData(3).toInt(), 2);
    EXPECT_TRUE(grid.rowHidden(3));
    EXPECT_FALSE(grid.rowHidden(2));
    EXPECT_EQ(grid.cellBackColor(5, 1), QColor(255, 255, 0));
    EXPECT_TRUE(grid.cellBold(5, 1));
    EXPECT_FALSE(grid.cellBold(3, 1));
    EXPECT_EQ(grid.textMatrix(0, 0), ""); // the title row stays
    EXPECT_EQ(shownRows(grid), 5);

    // A range of columns: the later ones break ties.
    grid.setTextMatrix(3, 2, "9");
    grid.sortAscending(1, 2);
    EXPECT_EQ(grid.textMatrix(3, 1) + grid.textMatrix(3, 2), "B4");
    EXPECT_EQ(grid.textMatrix(4, 1) + grid.textMatrix(4, 2), "B9");
}

// Sorting again after rows were appended, a key cell edited or the heading sort used gives
// what one stable sort of the whole rows gives, and the whole-text search finds the first
// equal row whatever the grid knows of its order.
TEST(FlexGridSearch, SortingAgainAfterChangesEqualsOneFullSort)
{
    FlexGrid grid;
    grid.setCols(2);
    QList<QStringList> all; // what the grid holds, in insertion order (column 1: serial)
    int serial = 0;
    auto append = [&](const QStringList &keys) {
        for (const QString &key : keys) {
            const QStringList cells = {key, QString::number(++serial)};
            all << cells;
            grid.addRow(cells);
        }
    };
    auto gridRows = [&] {
        QList<QStringList> rows;
        for (int r = 1; r < grid.rows(); ++r)
            rows << QStringList{grid.textMatrix(r, 0), grid.textMatrix(r, 1)};
        return rows;
    };
    auto fullSort = [](QList<QStringList> rows) {
        std::stable_sort(rows.begin(), rows.end(), [](const QStringList &a, const QStringList &b) {
            return a[0].compare(b[0], Qt::CaseSensitive) < 0;
        });
        return rows;
    };
    auto expectSearches = [&](const char *when) {
        for (const QString key : {"A1", "A10", "a1", "B", "", "Z9", "A11", "%_'", "zz"}) {
            int expected = -1;
            for (int r = 1; r < grid.rows() && expected < 0; ++r)
                if (grid.textMatrix(r, 0) == key)
                    expected = r;
            EXPECT_EQ(grid.findRow(key, 1, 0, true, true), expected)
                << when << " " << qPrintable(key);
            if (expected > 1) {
                EXPECT_EQ(grid.findRow(key, expected, 0, true, true), expected) << when;
            }
        }
    };

    append({"B", "A10", "a1", "A1", "", "A1", "%_'", "B"});
    grid.sortAscending(0, 0);
    EXPECT_EQ(gridRows(), fullSort(all));
    expectSearches("sorted");

    const int before = grid.rows();
    grid.sortAscending(0, 0); // already in order: nothing moves or is shown anew
    EXPECT_EQ(grid.rows(), before);
    EXPECT_EQ(gridRows(), fullSort(all));

    append({"A11", "A1", "0", "zz"}); // out of order at the end
    expectSearches("appended");
    grid.sortAscending(0, 0);
    all = gridRows();
    EXPECT_EQ(all, fullSort(all));
    expectSearches("appended and sorted");

    grid.setTextMatrix(3, 0, "Z9"); // a key edited in the middle
    all = gridRows();
    expectSearches("edited");
    grid.sortAscending(0, 0);
    EXPECT_EQ(gridRows(), fullSort(all));
    expectSearches("edited and sorted");

    grid.sort(0, Qt::DescendingOrder); // another order
    all = gridRows();
    expectSearches("descending");
    grid.sortAscending(0, 0);
    EXPECT_EQ(gridRows(), fullSort(all));
    expectSearches("sorted again");

    grid.setRows(4); // fewer rows keep their order
    all = gridRows();
    append({"A0"});
    grid.sortAscending(0, 0);
    EXPECT_EQ(gridRows(), fullSort(all));
    expectSearches("cut and sorted");
}

TEST(FlexGridSearch, HeadingClickSortsByThatColumnAndAgainDescending)
{
    FlexGrid grid;
    grid.resize(600, 300);
    grid.setFormatString(QStringLiteral("#|名稱|數量|序"));
    grid.setFixedCols(1);
    // Column 3 tells the original order; the row data, a hidden row and a style follow it.
    const QList<QStringList> rows = {{"", "b", "9", "1"},  {"", "B", "100", "2"},
                                     {"", "a", "", "3"},   {"", "鹽", "20.5", "4"},
                                     {"", "A", "-3", "5"}, {"", "b", "9", "6"}};
    for (int i = 0; i < rows.size(); ++i)
        grid.addRow(rows[i], i + 1);
    grid.setRowHidden(3, true);
    grid.setCellBold(4, 2, 4, 2, true);
    grid.show();
    QHeaderView *header = grid.view()->horizontalHeader();
    EXPECT_FALSE(grid.headingSort()); // lists whose order means something keep it
    grid.setHeadingSort(true);
    QSignalSpy sorts(&grid, &FlexGrid::afterSort);
    auto clickHeading = [&](int col) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col) + 5, header->height() / 2));
    };
    auto order = [&] {
        QString text;
        for (int r = 1; r < grid.rows(); ++r)
            text += grid.textMatrix(r, 3);
        return text;
    };
    grid.setRow(2);
    grid.setCol(2);

    struct Case
    {
        int col;
        QString order; // of column 3 afterwards
        Qt::SortOrder sortOrder;
    };
    const QList<Case> cases = {
        {2, "351642", Qt::AscendingOrder},  // numbers as numbers, empty first; ties stay
        {2, "241653", Qt::DescendingOrder}, // again: descending, ties still in order
        {1, "532164", Qt::AscendingOrder},  // text regardless of case; ties stay in order
        {0, "532164", Qt::AscendingOrder},  // a fixed column's heading sorts nothing
    };
    for (const Case &c : cases) {
        const auto before = sorts.count();
        clickHeading(c.col);
        EXPECT_EQ(order(), c.order) << "column " << c.col;
        if (c.col == 0) {
            EXPECT_EQ(sorts.count(), before);
            continue;
        }
        ASSERT_EQ(sorts.count(), before + 1);
        EXPECT_EQ(sorts.last(), QVariantList({c.col, QVariant::fromValue(c.sortOrder)}));
        EXPECT_EQ(header->sortIndicatorSection(), c.col);
        EXPECT_EQ(header->sortIndicatorOrder(), c.sortOrder);
    }
    for (int r = 1; r < grid.rows(); ++r) {
        const int original = grid.textMatrix(r, 3).toInt();
        EXPECT_EQ(grid.rowData(r).toInt(), original);
        EXPECT_EQ(grid.rowHidden(r), original == 3);
        EXPECT_EQ(grid.cellBold(r, 2), original == 4);
    }
    EXPECT_EQ(grid.textMatrix(0, 2), "數量"); // the title row stays
    // The current cell stays where it was.
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 2);

    // New rows end the shown order: the next click sorts ascending again.
    grid.addRow({"", "c", "1", "7"});
    EXPECT_FALSE(header->isSortIndicatorShown());
    clickHeading(1);
    EXPECT_EQ(order(), "5321674");
    EXPECT_EQ(sorts.last(), QVariantList({1, QVariant::fromValue(Qt::AscendingOrder)}));
    // The owner's own sort reports its order too.
    grid.sortAscending(3, 3);
    EXPECT_EQ(order(), "1234567");
    EXPECT_EQ(sorts.last(), QVariantList({3, QVariant::fromValue(Qt::AscendingOrder)}));
    // Without heading sorts a heading click sorts nothing.
    grid.setHeadingSort(false);
    const auto sortsSoFar = sorts.count();
    clickHeading(2);
    EXPECT_EQ(order(), "1234567");
    EXPECT_EQ(sorts.count(), sortsSoFar);
    grid.setHeadingSort(true);

    // No sort under an open editor: the edit would lose its row.
    grid.setRow(1);
    grid.setCol(1);
    grid.editCell();
    ASSERT_TRUE(grid.isEditing());
    const auto before = sorts.count();
    clickHeading(2);
    EXPECT_EQ(sorts.count(), before);
    EXPECT_EQ(order(), "1234567");
}

TEST(FlexGridVisibility, HiddenRowsAndColumns)
{
    FlexGrid grid;
    grid.resize(600, 400);
    grid.show();
    fill(grid, 10, 4);
    grid.setRowHidden(2, true);
    grid.setRowHidden(5, true);
    EXPECT_EQ(shownRows(grid), 8);
    EXPECT_EQ(grid.view()->model()->index(1, 0).data().toString(), "R3C0");
    EXPECT_TRUE(grid.rowHidden(5));
    grid.setRowHidden(5, false);
    EXPECT_EQ(shownRows(grid), 9);

    grid.setColHidden(1, true);
    EXPECT_TRUE(grid.colHidden(1));
    EXPECT_TRUE(grid.view()->isColumnHidden(1));
    // Column states survive a reload of the rows.
    grid.setRedraw(false);
    grid.clearData();
    fill(grid, 3, 4);
    grid.setRedraw(true);
    EXPECT_TRUE(grid.view()->isColumnHidden(1));
    grid.setColHidden(1, false);
    EXPECT_FALSE(grid.view()->isColumnHidden(1));
}

// A few rows appended, hidden or merged into the order reach the view as single rows, not
// as a reset: an open editor keeps its row and text, the current cell stays where it was, and
// the view shows what the grid holds.
TEST(FlexGridVisibility, FewRowsReachTheViewWithoutAReset)
{
    FlexGrid grid;
    grid.resize(600, 400);
    grid.show();
    grid.setCols(2);
    QList<QStringList> rows;
    for (int i = 0; i < 2000; ++i)
        rows << QStringList{QStringLiteral("K%1").arg(i * 10, 6, 10, QLatin1Char('0')),
                            QString::number(i)};
    grid.addRows(rows);
    grid.sortAscending(0, 0);
    QApplication::processEvents();
    QAbstractItemModel *model = grid.view()->model();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(model, &QAbstractItemModel::rowsMoved);
    auto viewMatchesGrid = [&] {
        int shown = 0;
        for (int r = 1; r < grid.rows(); ++r) {
            if (grid.rowHidden(r))
                continue;
            if (model->index(shown, 0).data().toString() != grid.textMatrix(r, 0) ||
                model->index(shown, 1).data().toString() != grid.textMatrix(r, 1))
                return false;
            ++shown;
        }
        return shown == model->rowCount();
    };
    auto rowOf = [&](const QString &key) { return grid.findRow(key, 1, 0, true, true); };

    // Editing row K005000 (grid row 501) while rows come and go.
    grid.setRow(501);
    grid.setCol(1);
    grid.editCell();
    QApplication::processEvents();
    QLineEdit *box = grid.view()->findChild<QLineEdit *>(QStringLiteral("gridEditor"));
    ASSERT_TRUE(box);
    box->setText(QStringLiteral("typed"));

    grid.addRow({QStringLiteral("K000005"), QStringLiteral("a")}); // sorts near the top
    grid.addRow({QStringLiteral("K004995"), QStringLiteral("b")}); // just above the edited row
    grid.addRow({QStringLiteral("K099999"), QStringLiteral("c")}); // already in place
    grid.setRowHidden(3, true);
    QApplication::processEvents();
    EXPECT_EQ(model->rowCount(), 2002);
    EXPECT_EQ(inserted.count(), 1); // the three appended rows in one insertion
    EXPECT_EQ(removed.count(), 1);
    EXPECT_TRUE(viewMatchesGrid());
    ASSERT_TRUE(grid.isEditing());
    EXPECT_EQ(box->text(), "typed");

    grid.sortAscending(0, 0);
    EXPECT_EQ(moved.count(), 2);
    EXPECT_TRUE(viewMatchesGrid());
    EXPECT_EQ(rowOf("K000005"), 2);
    EXPECT_EQ(rowOf("K099999"), 2003);
    // The editor moved down with its row; the current cell went along.
    ASSERT_TRUE(grid.isEditing());
    EXPECT_EQ(box->text(), "typed");
    EXPECT_EQ(grid.row(), 503);
    EXPECT_EQ(grid.textMatrix(grid.row(), 0), "K005000");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(grid.textMatrix(503, 1), "typed");

    // Without an editor the current cell stays at its place, as after any sort.
    grid.setRow(10);
    grid.addRow({QStringLiteral("K000001"), QStringLiteral("d")});
    grid.sortAscending(0, 0);
    EXPECT_EQ(grid.row(), 10);
    EXPECT_EQ(grid.view()->currentIndex(), model->index(8, 1)); // a row above is hidden
    EXPECT_TRUE(viewMatchesGrid());
    EXPECT_EQ(resets.count(), 0);

    // More rows than a few: one reset.
    for (int i = 0; i < 100; ++i)
        grid.addRow({QStringLiteral("K%1").arg(i * 13, 6, 10, QLatin1Char('0')), "e"});
    grid.sortAscending(0, 0);
    QApplication::processEvents();
    EXPECT_EQ(resets.count(), 2); // the appended rows, then their sort
    EXPECT_TRUE(viewMatchesGrid());
}

TEST(FlexGridVisibility, BulkHidingWithRedrawOnCostsOneReset)
{
    FlexGrid grid;
    grid.resize(600, 400);
    grid.show();
    fill(grid, 50000, 3);
    QSignalSpy resets(grid.view()->model(), &QAbstractItemModel::modelReset);
    for (int r = 1; r <= 50000; r += 2)
        grid.setRowHidden(r, true);
    QApplication::processEvents();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(shownRows(grid), 25000);
    EXPECT_EQ(grid.view()->model()->index(0, 0).data().toString(), "R2C0");
    for (int r = 1; r <= 50000; r += 2)
        grid.setRowHidden(r, false);
    EXPECT_EQ(shownRows(grid), 50000); // reading the view brings it up to date
}

TEST(FlexGridCurrent, CurrentCellTopRowAndTheirEvent)
{
    FlexGrid grid;
    grid.resize(400, 200);
    grid.show();
    fill(grid, 500, 3);
    QSignalSpy moves(&grid, &FlexGrid::afterRowColChange);
    grid.setRow(40);
    grid.setCol(2);
    EXPECT_EQ(grid.row(), 40);
    EXPECT_EQ(grid.col(), 2);
    ASSERT_EQ(moves.count(), 2);
    EXPECT_EQ(moves[0], QVariantList({1, 0, 40, 0}));
    EXPECT_EQ(grid.view()->currentIndex().row(), 39);
    grid.setRow(0); // the title row is never current
    EXPECT_EQ(grid.row(), 40);
    grid.setTopRow(300);
    EXPECT_EQ(grid.topRow(), 300);
    // The top row and current row survive a sort with redraw off.
    grid.setRedraw(false);
    grid.sortAscending(0, 0);
    grid.setTopRow(200);
    EXPECT_EQ(grid.topRow(), 200);
    grid.setRedraw(true);
    EXPECT_EQ(grid.topRow(), 200);
    EXPECT_EQ(grid.row(), 40);
    // A hidden top row gives way to the next shown one.
    grid.setRowHidden(100, true);
    grid.setTopRow(100);
    EXPECT_EQ(grid.topRow(), 101);
    // Moving in the view tells the grid.
    grid.view()->setCurrentIndex(grid.view()->model()->index(9, 1));
    EXPECT_EQ(grid.row(), 10);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(moves.last(), QVariantList({40, 2, 10, 1}));
}

TEST(FlexGridStyles, BackColourAndBoldForRanges)
{
    FlexGrid grid;
    fill(grid, 5, 4);
    const QColor yellow(255, 255, 0);
    const QColor lightRed(0xFF, 0x8E, 0x80);
    grid.setCellBackColor(1, 2, 5, 2, yellow);
    grid.setCellBackColor(5, 3, 1, 3, lightRed); // corners in any order
    grid.setCellBold(1, 2, 5, 3, true);
    EXPECT_EQ(grid.cellBackColor(3, 2), yellow);
    EXPECT_EQ(grid.cellBackColor(1, 3), lightRed);
    EXPECT_FALSE(grid.cellBackColor(3, 1).isValid());
    EXPECT_TRUE(grid.cellBold(5, 3));
    EXPECT_FALSE(grid.cellBold(5, 1));
    QAbstractItemModel *m = grid.view()->model();
    EXPECT_EQ(m->index(2, 2).data(Qt::BackgroundRole).value<QBrush>().color(), yellow);
    EXPECT_TRUE(m->index(2, 3).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m->index(2, 1).data(Qt::FontRole).isValid());
    // Bold off keeps the colour; an invalid colour clears it.
    grid.setCellBold(1, 2, 5, 2, false);
    EXPECT_FALSE(grid.cellBold(2, 2));
    EXPECT_EQ(grid.cellBackColor(2, 2), yellow);
    grid.setCellBackColor(1, 2, 5, 2, QColor());
    EXPECT_FALSE(grid.cellBackColor(2, 2).isValid());
    EXPECT_TRUE(grid.cellBold(2, 3));
}

// Rows whose texts come from their owner behave as rows holding the same texts: reading,
// the view, sorts, searches, CSV and column sizes; a text set on such a row is kept while it
// differs from the owner's, and the owner's later texts show once the row is refreshed.
TEST(FlexGridSource, SourceRowsBehaveAsRowsHoldingTheOwnersTexts)
{
    QTemporaryDir dir;
    // The owner: texts by key; numbers in column 1, codes in column 2.
    QList<QStringList> owner;
    for (int k = 0; k < 300; ++k)
        owner << QStringList{QStringLiteral("k%1").arg(k), QString::number((k * 37) % 101 - 50),
                             QStringLiteral("%1x").arg((k * 7919) % 300, 3, 10, QLatin1Char('0')),
                             k % 3 ? QStringLiteral("Ab") : QStringLiteral("aB長")};
    FlexGrid plain;
    FlexGrid sourced;
    QList<int> keys;
    for (FlexGrid *grid : {&plain, &sourced}) {
        grid->resize(500, 300);
        grid->show();
        grid->setFormatString(QStringLiteral("名|數|碼|字"));
    }
    for (int k = 0; k < owner.size(); ++k) {
        plain.addRow(owner[k], k);
        plain.setRowKey(k + 1, k);
        keys << k;
    }
    sourced.setCellSource([&owner](int key, int col) { return owner.value(key).value(col); });
    sourced.addSourceRows(keys);
    for (int k = 0; k < owner.size(); ++k)
        sourced.setRowData(k + 1, k);
    auto same = [&](const char *when) {
        ASSERT_EQ(sourced.rows(), plain.rows()) << when;
        for (int r = 0; r < plain.rows(); ++r) {
            EXPECT_EQ(sourced.rowKey(r), plain.rowKey(r)) << when << " row " << r;
            EXPECT_EQ(sourced.rowData(r), plain.rowData(r)) << when << " row " << r;
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(sourced.textMatrix(r, c), plain.textMatrix(r, c)) << when << " " << r;
        }
        QAbstractItemModel *a = plain.view()->model();
        QAbstractItemModel *b = sourced.view()->model();
        ASSERT_EQ(b->rowCount(), a->rowCount()) << when;
        for (int r = 0; r < a->rowCount(); r += 7)
            for (int c = 0; c < 4; ++c)
                for (int role : {int(Qt::DisplayRole), int(Qt::TextAlignmentRole)})
                    EXPECT_EQ(b->index(r, c).data(role), a->index(r, c).data(role)) << when;
    };
    same("added");
    for (const auto &[col, order] : QList<std::pair<int, Qt::SortOrder>>{
             {1, Qt::AscendingOrder}, {3, Qt::DescendingOrder}, {2, Qt::AscendingOrder}}) {
        plain.sort(col, order);
        sourced.sort(col, order);
        same("heading sort");
    }
    plain.sortAscending(3, 0);
    sourced.sortAscending(3, 0);
    same("sorted by a range");
    plain.sortAscending(2, 2);
    sourced.sortAscending(2, 2);
    same("sorted by codes");
    for (const char *code : {"000x", "150x", "299x", "nope"})
        EXPECT_EQ(sourced.findRow(code, 1, 2, true, true), plain.findRow(code, 1, 2, true, true));
    EXPECT_EQ(sourced.findRow("AB長", 1, 3, false, false),
              plain.findRow("AB長", 1, 3, false, false));
    plain.autoSize(0, 3);
    sourced.autoSize(0, 3);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(sourced.colWidth(c), plain.colWidth(c));

    // A text set on a source row stays while it differs; set back, the owner's shows again.
    const int row = sourced.findRow("k5", 1, 0, true, true);
    ASSERT_GE(row, 1);
    sourced.setTextMatrix(row, 1, "edited");
    owner[5][1] = "later";
    owner[5][0] = "K5";
    EXPECT_EQ(sourced.textMatrix(row, 1), "edited");
    EXPECT_EQ(sourced.textMatrix(row, 0), "K5");
    QSignalSpy changed(sourced.view()->model(), &QAbstractItemModel::dataChanged);
    sourced.setTextMatrix(row, 1, "later");
    sourced.refreshRow(row);
    ASSERT_EQ(changed.count(), 2);
    const QModelIndex from = changed.last()[0].toModelIndex();
    const QModelIndex to = changed.last()[1].toModelIndex();
    EXPECT_EQ(from.column(), 0);
    EXPECT_EQ(to.column(), 3);
    EXPECT_EQ(from.data().toString(), "K5");
    owner[5][1] = "again";
    EXPECT_EQ(sourced.textMatrix(row, 1), "again");
    // A changed key breaks the known order: the next sort puts the row in place.
    plain.setTextMatrix(row, 0, "K5");
    plain.setTextMatrix(row, 1, "again");
    owner[5][2] = "999x";
    plain.setTextMatrix(row, 2, "999x");
    sourced.refreshRow(row);
    plain.sortAscending(2, 2);
    sourced.sortAscending(2, 2);
    same("key changed and sorted");
    EXPECT_EQ(sourced.findRow("999x", 1, 2, true, true), sourced.rows() - 1);

    const QString a = dir.filePath("plain.csv");
    const QString b = dir.filePath("sourced.csv");
    ASSERT_TRUE(plain.saveCsv(a));
    ASSERT_TRUE(sourced.saveCsv(b));
    QFile fa(a);
    QFile fb(b);
    ASSERT_TRUE(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    EXPECT_EQ(fb.readAll(), fa.readAll());
}

TEST(FlexGridCsv, RoundTripWithCommasQuotesLineBreaksAndChinese)
{
    QTemporaryDir dir;
    FlexGrid grid;
    grid.setFormatString(QStringLiteral("料號|物料名稱|數量"));
    grid.addRow({"A,1", "他說\"好\"", "-12.5"});
    grid.addRow({"B\r\n2", "第一行\n第二行", ""});
    grid.addRow({"=SUM(A1)", "tab\there", "+3"});
    const QString file = dir.filePath("grid.csv");
    ASSERT_TRUE(grid.saveCsv(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QString text = QString::fromUtf8(bytes);
    EXPECT_TRUE(text.contains(QStringLiteral("\"A,1\",\"他說\"\"好\"\"\",-12.5\r\n")));
    bool ok = false;
    const QList<QStringList> lines = ReadCsvFile(file, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringList({"料號", "物料名稱", "數量"}));
    EXPECT_EQ(lines[1], QStringList({"A,1", "他說\"好\"", "-12.5"}));
    EXPECT_EQ(lines[2], QStringList({"B\r\n2", "第一行\n第二行", ""}));
    // A formula is written as text; plain numbers stay numbers.
    EXPECT_EQ(lines[3], QStringList({"'=SUM(A1)", "tab\there", "+3"}));
    EXPECT_FALSE(grid.saveCsv(dir.filePath("no/such/folder/grid.csv")));
}

namespace {

// The box of the dark pixels inside a cell (grid lines left out).
QRect inkIn(const QImage &shot, const QRect &cell)
{
    QRect ink;
    for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
        for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
            if (qGray(shot.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

TEST(FlexGridPaint, TextsSitAsAlignedStayInTheirCellsAndFollowChanges)
{
    FlexGrid grid;
    grid.resize(600, 200);
    grid.setFixedRows(1);
    grid.setCols(4);
    grid.setRows(1);
    grid.addRows({{QStringLiteral("12"), QStringLiteral("12"),
                   QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), QString()},
                  {QStringLiteral("12"), QStringLiteral("12"), QString(), QString()}});
    for (int c = 0; c < 4; ++c)
        grid.setColWidth(c, 1500);
    grid.setColAlignment(0, FlexGrid::AlignLeft);
    grid.setColAlignment(1, FlexGrid::AlignRight);
    grid.setCellBold(2, 1, 2, 1, true);
    grid.setRow(2); // the current cell (highlighted) is one no check looks at
    grid.setCol(2);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QTableView *view = grid.view();
    QAbstractItemModel *m = view->model();
    auto shoot = [&] {
        QApplication::processEvents();
        return view->viewport()->grab().toImage();
    };
    auto cell = [&](int row, int col) { return view->visualRect(m->index(row, col)); };

    QImage shot = shoot();
    const QRect left = inkIn(shot, cell(0, 0));
    const QRect right = inkIn(shot, cell(0, 1));
    ASSERT_FALSE(left.isEmpty());
    ASSERT_FALSE(right.isEmpty());
    EXPECT_LT(left.center().x(), cell(0, 0).center().x());
    EXPECT_GT(right.center().x(), cell(0, 1).center().x());
    // A text wider than its column is cut short inside it: nothing spills into the next.
    EXPECT_FALSE(inkIn(shot, cell(0, 2)).isEmpty());
    EXPECT_TRUE(inkIn(shot, cell(0, 3)).isEmpty());
    // The same text in bold is drawn bolder, not from the plain text's layout.
    EXPECT_GT(inkIn(shot, cell(1, 1)).width(), right.width());

    // A changed text shows at once.
    grid.setTextMatrix(1, 0, QStringLiteral("1234567"));
    grid.setTextMatrix(1, 3, QStringLiteral("12"));
    shot = shoot();
    EXPECT_GT(inkIn(shot, cell(0, 0)).width(), 2 * left.width());
    EXPECT_FALSE(inkIn(shot, cell(0, 3)).isEmpty());
}

namespace {

// The cell painting the grid had before it drew plain cells itself: the style draws every
// cell, each text laid out in full and drawn as the style places it.
class StyleDrawnCells : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString text = cell.text;
        cell.text.clear();
        QStyle *style = cell.widget->style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
        if (text.isEmpty())
            return;
        QPalette::ColorGroup group =
            cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
            group = QPalette::Inactive;
        painter->setPen(cell.palette.color(group, cell.state & QStyle::State_Selected
                                                      ? QPalette::HighlightedText
                                                      : QPalette::Text));
        const int margin =
            style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
        const QRect area = cell.rect.adjusted(margin, 0, -margin, 0);
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), cell.font);
        if (laidOut.size().width() > area.width())
            laidOut.setText(
                QFontMetrics(cell.font).elidedText(text, cell.textElideMode, area.width()));
        laidOut.prepare(QTransform(), cell.font);
        const QRect at = QStyle::alignedRect(cell.direction, cell.displayAlignment,
                                             laidOut.size().toSize(), area);
        painter->save();
        painter->setFont(cell.font);
        painter->setClipRect(cell.rect, Qt::IntersectClip); // as the style clips a cell
        painter->drawStaticText(at.topLeft(), laidOut);
        painter->restore();
    }
};

} // namespace

// Plain cells are drawn by the grid itself and numbers placed glyph by glyph: the picture
// is the one the style draws, pixel for pixel, in several fonts, with colours, bold cells,
// a fixed column, the current cell, a selected row, texts cut short and texts of every kind.
TEST(FlexGridPaint, CellsLookAsTheStyleDrawsThem)
{
    const QStringList texts = {"0",
                               "-0.5",
                               "1,234.50",
                               "2019/12/31",
                               "12:30:00",
                               "(15)",
                               "100%",
                               "1 2 3",
                               "+7",
                               "-1-1-1",
                               "12 ",
                               " 12",
                               "1..2",
                               "A01-23",
                               "AV To.",
                               "Wolf",
                               "物料名稱",
                               "包",
                               "12包",
                               "98765.4321",
                               "1234567890123456789012345",
                               "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                               "",
                               "-",
                               "3.",
                               ".5",
                               "07/01",
                               "1.1.1"};
    const int cols = 7;
    QList<QFont> fonts = {QFont(),
                          QFont(QStringLiteral("DejaVu Serif"), 11),
                          QFont(QStringLiteral("AR PL UMing TW"), 12),
                          QFont(QStringLiteral("Noto Sans CJK TC"), 13),
                          QFont(QStringLiteral("Nimbus Sans"), 10),
                          QFont(QStringLiteral("DejaVu Serif"), 12, QFont::Normal, true)};
    ASSERT_TRUE(DigitsInterchangeable(QFont())); // numbers take the glyph path here
    for (const QFont &font : fonts) {
        for (const bool rowSelection : {false, true}) {
            FlexGrid grid;
            grid.setFont(font);
            grid.resize(900, 420);
            grid.setFixedRows(1);
            grid.setCols(cols);
            grid.setFixedCols(1);
            grid.setRows(1);
            QList<QStringList> rows;
            for (int r = 0; r < 12; ++r) {
                QStringList cells;
                for (int c = 0; c < cols; ++c)
                    cells << texts[(r * cols + c * 5) % texts.size()];
                // A column of names, each new and cut short, as a stock month's.
                if (r >= 6)
                    cells[2] = QStringLiteral("業務用經濟包有機白蝦%1").arg(r * 37);
                rows << cells;
            }
            grid.addRows(rows);
            for (int c = 0; c < cols; ++c)
                grid.setColWidth(c, 1300 + 150 * c);
            grid.setColAlignment(2, FlexGrid::AlignLeft);
            grid.setColAlignment(3, FlexGrid::AlignCenter);
            grid.setColAlignment(4, FlexGrid::AlignRight);
            grid.setCellBackColor(2, 1, 4, 3, QColor(0xC0, 0xFF, 0xFF));
            grid.setCellBackColor(6, 4, 6, 6, QColor(0xE0, 0xE0, 0xE0));
            grid.setCellBold(3, 2, 8, 5, true);
            grid.setRowSelection(rowSelection);
            grid.setRow(5);
            grid.setCol(3);
            grid.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
            grid.view()->setFocus();
            QApplication::processEvents();
            QTableView *view = grid.view();
            const QImage drawn = view->viewport()->grab().toImage();
            QAbstractItemDelegate *own = view->itemDelegate();
            // The reference: the application style draws every cell, the table strokes its
            // grid lines.
            StyleDrawnCells reference;
            view->setItemDelegate(&reference);
            QStyle *ownStyle = view->style();
            view->setStyle(nullptr);
            const Qt::PenStyle ownLines = view->gridStyle();
            view->setGridStyle(Qt::SolidLine);
            const QImage expected = view->viewport()->grab().toImage();
            view->setGridStyle(ownLines);
            view->setStyle(ownStyle);
            view->setItemDelegate(own);
            ASSERT_EQ(drawn.size(), expected.size());
            int differing = 0;
            QPoint first(-1, -1);
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x)
                    if (drawn.pixel(x, y) != expected.pixel(x, y) && differing++ == 0)
                        first = QPoint(x, y);
            EXPECT_EQ(differing, 0)
                << font.family().toStdString() << " row selection " << rowSelection << ", first at "
                << first.x() << "," << first.y();
        }
    }
}

// Moving the current cell and the top row, as a scan does, repaints the cells and the
// vertical scroll bar, not the headings or the horizontal scroll bar.
TEST(FlexGridPaint, MovingTheCurrentCellRepaintsNeitherHeadingsNorTheOtherScrollBar)
{
    FlexGrid grid;
    grid.resize(500, 300);
    fill(grid, 500, 30);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setRow(1);
    grid.setCol(2);
    QApplication::processEvents();
    QTableView *view = grid.view();
    PaintCounter cells(view->viewport());
    PaintCounter headings(view->horizontalHeader()->viewport());
    PaintCounter across(view->horizontalScrollBar());
    PaintCounter down(view->verticalScrollBar());
    grid.setRow(1);
    grid.setCol(3);
    grid.setRow(321);
    grid.setCol(2);
    grid.setTopRow(321);
    QApplication::processEvents();
    EXPECT_EQ(grid.topRow(), 321);
    EXPECT_GE(cells.count, 1);
    EXPECT_GE(down.count, 1);
    EXPECT_EQ(headings.count, 0);
    EXPECT_EQ(across.count, 0);
}
