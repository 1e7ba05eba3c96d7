#include "platform/grid/csvtext.h"
#include "platform/grid/flexgrid.h"

#include <QApplication>
#include <QBrush>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
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
    grid.setRows(1);
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

    // Fixed columns are row headings: on the button colour, never edited.
    grid.setFixedCols(1);
    QAbstractItemModel *m = grid.view()->model();
    EXPECT_EQ(m->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
              grid.view()->palette().color(QPalette::Button));
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->index(0, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
    grid.setEditable(false);
    EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
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
    grid.addItem(QStringLiteral("a;b\tc"));
    EXPECT_EQ(grid.textMatrix(4, 1), "b\tc");

    // Cells given one by one keep a TAB where it is.
    grid.addRow({QStringLiteral("has\ttab"), QStringLiteral("2"), QStringLiteral("3")}, 7);
    EXPECT_EQ(grid.textMatrix(5, 0), "has\ttab");
    EXPECT_EQ(grid.textMatrix(5, 1), "2");
    EXPECT_EQ(grid.rowData(5).toInt(), 7);
    EXPECT_FALSE(grid.rowData(99).isValid());
}

TEST(FlexGridStructure, FormatStringSetsTitlesAndAlignment)
{
    FlexGrid grid;
    grid.setFormatString(QStringLiteral("<編號|^名稱|>數量|備註"));
    EXPECT_EQ(grid.cols(), 4);
    EXPECT_EQ(grid.textMatrix(0, 0), "編號");
    EXPECT_EQ(grid.textMatrix(0, 2), "數量");
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
    grid.setColAlignment(3, FlexGrid::AlignCenter);
    EXPECT_EQ(align(1, 3), Qt::AlignHCenter);
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

// Rows added one by one reach the view once, as one insertion: the current cell and an open
// editor stay where they were. Rows removed or refilled reach it in one reset. With redraw
// off the view hears of nothing until redraw is back on.
TEST(FlexGridStructure, RowsAddedOneByOneReachTheViewOnce)
{
    FlexGrid grid;
    grid.resize(600, 400);
    grid.show();
    fill(grid, 3, 2);
    QApplication::processEvents();
    QAbstractItemModel *model = grid.view()->model();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    grid.setRow(2);
    grid.setCol(1);
    grid.view()->edit(grid.view()->currentIndex());
    auto *box = grid.view()->findChild<QLineEdit *>(QStringLiteral("gridEditor"));
    ASSERT_TRUE(box);
    box->setText(QStringLiteral("typed"));

    for (int r = 4; r <= 1000; ++r)
        grid.addRow({cellText(r, 0), cellText(r, 1)});
    QApplication::processEvents();
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(model->rowCount(), 1000);
    EXPECT_EQ(model->index(999, 1).data().toString(), "R1000C1");
    ASSERT_TRUE(grid.isEditing());
    EXPECT_EQ(box->text(), "typed");
    EXPECT_EQ(grid.row(), 2);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(grid.textMatrix(2, 1), "typed");

    // Refilled: one reset, and the view shows the new rows.
    grid.setRedraw(false);
    grid.setRows(1);
    for (int r = 1; r <= 5; ++r)
        grid.addItem(QStringLiteral("new%1\tx").arg(r));
    QApplication::processEvents();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(model->rowCount(), 1000); // redraw off: the view still has the old rows
    grid.setRedraw(true);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model->rowCount(), 5);
    EXPECT_EQ(model->index(4, 0).data().toString(), "new5");
    EXPECT_EQ(grid.row(), 1); // emptied, then refilled: the first row is current
    EXPECT_EQ(grid.view()->currentIndex(), model->index(0, 1));
}

TEST(FlexGridCurrent, CurrentCellAndTopRow)
{
    FlexGrid grid;
    grid.resize(400, 200);
    grid.show();
    fill(grid, 500, 3);
    grid.setRow(40);
    grid.setCol(2);
    EXPECT_EQ(grid.row(), 40);
    EXPECT_EQ(grid.col(), 2);
    EXPECT_EQ(grid.view()->currentIndex(), grid.view()->model()->index(39, 2));
    grid.setRow(0); // the title row is never current
    EXPECT_EQ(grid.row(), 40);
    grid.setTopRow(300);
    EXPECT_EQ(grid.topRow(), 300);
    // A top row set with redraw off holds once redraw is back on.
    grid.setRedraw(false);
    grid.addRow({"x"});
    grid.setTopRow(200);
    EXPECT_EQ(grid.topRow(), 200);
    grid.setRedraw(true);
    EXPECT_EQ(grid.topRow(), 200);
    EXPECT_EQ(grid.row(), 40);
    // Moving in the view tells the grid; whole-row selection selects the row.
    grid.setRowSelection(true);
    grid.view()->setCurrentIndex(grid.view()->model()->index(9, 1));
    EXPECT_EQ(grid.row(), 10);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.view()->selectionModel()->selectedIndexes().size(), 3);
    // Fewer rows than the current one: the last row becomes current.
    grid.setRows(6);
    EXPECT_EQ(grid.row(), 5);
    grid.setRows(1);
    EXPECT_EQ(grid.row(), -1);
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

    // A changed text shows at once.
    grid.setTextMatrix(1, 0, QStringLiteral("1234567"));
    grid.setTextMatrix(1, 3, QStringLiteral("12"));
    shot = shoot();
    EXPECT_GT(inkIn(shot, cell(0, 0)).width(), 2 * left.width());
    EXPECT_FALSE(inkIn(shot, cell(0, 3)).isEmpty());
}

TEST(FlexGridAutoSize, ColumnsFitTheirWidestTextOrTitle)
{
    FlexGrid grid;
    grid.setFormatString(QStringLiteral("料號|上期庫存金額|名稱"));
    grid.addItem(QStringLiteral("A1\t12.5\t短"));
    grid.addItem(QStringLiteral("A2\t1234567.25\t物料 Wide Name"));
    grid.addItem(QStringLiteral("A3\t3\tx"));
    const QFontMetrics plain(grid.view()->font());
    grid.autoSize(0, 2);
    auto px = [&](int col) { return grid.view()->horizontalHeader()->sectionSize(col); };
    // The titles alone, for comparison.
    FlexGrid titles;
    titles.setFormatString(QStringLiteral("料號|上期庫存金額|名稱"));
    titles.autoSize(0, 2);
    auto titlePx = [&](int col) { return titles.view()->horizontalHeader()->sectionSize(col); };
    // Every column is its widest text plus one margin, or its title when that is wider.
    const int margin = px(2) - plain.horizontalAdvance("物料 Wide Name");
    EXPECT_GT(margin, 0);
    EXPECT_EQ(px(1), std::max(plain.horizontalAdvance("1234567.25") + margin, titlePx(1)));
    EXPECT_EQ(px(0), std::max(plain.horizontalAdvance("A3") + margin, titlePx(0)));
    EXPECT_GT(titlePx(1), titlePx(0));
    // A bigger font makes wider columns.
    QFont big = grid.font();
    big.setPointSize(big.pointSize() * 2);
    grid.setFont(big);
    grid.autoSize(2);
    EXPECT_GT(px(2), 3 * plain.horizontalAdvance("物料 Wide Name") / 2);

    // The width reads back in twips.
    grid.setColWidth(1, 1200);
    EXPECT_EQ(grid.colWidth(1), 1200);
    EXPECT_EQ(px(1), 80); // 96 dpi: 15 twips to the pixel
    grid.autoSize(1, 1);
    EXPECT_NEAR(grid.colWidth(1), px(1) * 15, 15);
}
