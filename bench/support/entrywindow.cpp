#include "support/entrywindow.h"
#include "support/controls.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/state.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "stockwindow/stockgridview.h"
#include "support/showngrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

BenchDatabase::Size EntrySize(EntryScale scale)
{
    BenchDatabase::Size size;
    size.months = 2;
    if (scale == EntryScale::Huge) {
        size.items = 240000;
        size.stockRows = 200000;
        size.slipLines = 5000000;
    } else if (scale == EntryScale::Large) {
        size.items = 60000;
        size.stockRows = 50000;
        size.slipLines = 1000000;
    } else {
        size.items = 6000;
        size.stockRows = 5000;
        size.slipLines = 100000;
    }
    return size;
}

QString EntryScaleName(EntryScale scale)
{
    switch (scale) {
    case EntryScale::Small:
        return QStringLiteral("small");
    case EntryScale::Large:
        return QStringLiteral("large");
    case EntryScale::Huge:
        break;
    }
    return QStringLiteral("huge");
}

void PrepareEntryRun()
{
    static QTemporaryDir settings;
    qputenv("NORV_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    Clock::setNow(QDateTime(*ParseDate(BenchDatabase::today()), QTime(12, 0)));
    EditUser().gsUserID = QStringLiteral("BENCH");
}

std::unique_ptr<fmTOVRAN> OpenMonth()
{
    auto window = std::make_unique<fmTOVRAN>();
    window->showWindow();
    Control<QLineEdit>(*window, "txtDeptNoB")->setText(QStringLiteral("A01"));
    std::fprintf(stderr, "loading the month into the stock window...\n");
    Control<QPushButton>(*window, "cmdQry")->click();
    QApplication::processEvents();
    return window;
}

QStringList ItemsWithoutRecord(const fmTOVRAN &window, int count, Qt::SortOrder order)
{
    const QDate end = window.month().period().end;
    Ado::Recordset rs = Conn().gCNT->execute(
        QStringLiteral("Select STKNo From STK Where STKNo Not In (Select STKNo From STOCK "
                       "Where DeptNo = 'A01' And StkDate = ") +
        QuotDate(end) + QStringLiteral(") Order By STKNo") +
        (order == Qt::DescendingOrder ? QStringLiteral(" Desc") : QString()));
    QStringList items;
    while (!rs.eof() && items.size() < count) {
        items << rs.text(0);
        rs.moveNext();
    }
    return items;
}

bool TypeIntoCurrentCell(StockGridView &grid, const QString &text)
{
    grid.editCurrentCell();
    QLineEdit *box = grid.editor();
    if (!box)
        return false;
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
    return true;
}

QStringList ItemsShown(const fmTOVRAN &window, int count, qint64 step, qint64 offset)
{
    const StockGridView &grid = *Control<StockGridView>(window, "fgList");
    const int shown = ShownGrid::rows(grid);
    QStringList items;
    for (int i = 0; i < count && shown > 0; ++i)
        items << ShownGrid::text(grid, int((i * step + offset) % shown), fmTOVRAN::ColSTKNo);
    return items;
}
