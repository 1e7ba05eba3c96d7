// Memory per row of a loaded month of 500,000 rows: the month model as loading fills it (each
// text read anew, as from the driver) and the stock window's grid over it (rows taking their
// texts from the month, the two entry columns styled), against the same grid holding the 24
// texts of every row itself. "Beyond the texts that must be kept" leaves out the text blocks
// of item number, name, specification and unit.
#include "heapbytes.h"
#include "platform/grid/flexgrid.h"
#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

#include <QAbstractItemModel>
#include <QSet>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <memory>
#include <numeric>

namespace {

constexpr int Rows = 500000;
using C = StockColumns;

// A fresh copy of the text, as a driver hands out every field.
QString fresh(const QString &text)
{
    return QString(text.constData(), text.size());
}

StockRow makeRow(int i)
{
    StockRow row;
    StockRecord &r = row.stored;
    r.Rno = i + 1;
    r.DeptNo = fresh(QStringLiteral("A01"));
    r.StkDate = QDate(2026, 11, 30);
    r.STKNo = QStringLiteral("S%1").arg(i, 7, 10, QLatin1Char('0'));
    r.LastQty = i % 97;
    r.LastAmt = r.LastQty * 12.5;
    r.InQty = i % 13;
    r.InAmt = r.InQty * 12.5;
    r.STKQty = (i % 31) + 0.5;
    r.STKAmt = r.STKQty * 12.5;
    r.AvgPrice = 12.5 + i % 7;
    r.UserID = fresh(QStringLiteral("MAKER"));
    r.UpdUserID = fresh(i % 5 ? QStringLiteral("MAKER") : QStringLiteral("CLERK1"));
    row.updDate =
        fresh(i % 5 ? QStringLiteral("2026/11/30 18:00:00")
                    : QStringLiteral("2026/12/09 10:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
    row.name = QStringLiteral("物料名稱%1").arg(i);
    row.dscp = QStringLiteral("規格 %1g").arg(100 + i % 400);
    row.unit = fresh(i % 3 ? QStringLiteral("包") : QStringLiteral("kg"));
    row.flag = fresh(i % 4 ? QStringLiteral("1") : QStringLiteral("0"));
    row.lType = fresh(QStringLiteral("L%1").arg(i % 20));
    return row;
}

// The texts every row must keep: its item number, name, specification and unit.
// (A block rows share counts once.)
size_t keptTextBytes(const StockMonth &month)
{
    size_t bytes = 0;
    QSet<const void *> counted;
    const auto count = [&](const QString &text) {
        const void *block = const_cast<QString &>(text).data_ptr().d_ptr();
        if (block && !counted.contains(block)) {
            counted.insert(block);
            bytes += HeapBytesOfText(text);
        }
    };
    for (int i = 0; i < month.size(); ++i) {
        for (const int col : {C::ColSTKNo, C::ColName, C::ColDscp, C::ColUnit})
            count(month.text(i, col));
    }
    return bytes;
}

void BM_MonthAndGridMemoryPerRow(benchmark::State &state)
{
    for (auto _ : state) {
        const size_t start = HeapBytesInUse();
        auto month = std::make_unique<StockMonth>();
        month->reset({2026, 11, QStringLiteral("A01"), QDate(2026, 11, 30)}, false);
        for (int i = 0; i < Rows; ++i)
            month->append(makeRow(i));
        const size_t afterMonth = HeapBytesInUse();

        // The stock window's grid: the month's model, its proxy and the table view.
        StockMonthModel monthModel(*month);
        StockGridView grid(&monthModel);
        grid.resize(1000, 700);
        grid.show();
        monthModel.reload();
        benchmark::DoNotOptimize(grid.model()->rowCount());
        const size_t afterGrid = HeapBytesInUse();

        // A grid holding every text itself.
        auto texts = std::make_unique<FlexGrid>();
        texts->resize(1000, 700);
        texts->setCols(C::ColumnCount);
        texts->show();
        texts->setRedraw(false);
        for (int i = 0; i < Rows; ++i) {
            QStringList cells;
            cells.reserve(C::ColumnCount);
            for (int c = 0; c < C::ColumnCount; ++c)
                cells.append(month->text(i, c));
            texts->addRow(cells, month->factor(i));
        }
        texts->setRedraw(true);
        benchmark::DoNotOptimize(texts->view()->model()->rowCount());
        const size_t afterTexts = HeapBytesInUse();

        const double kept = double(keptTextBytes(*month)) / Rows;
        const double model = double(afterMonth - start) / Rows;
        const double gridBytes = double(afterGrid - afterMonth) / Rows;
        state.counters["model_bytes_per_row"] = model;
        state.counters["grid_bytes_per_row"] = gridBytes;
        state.counters["kept_text_bytes_per_row"] = kept;
        state.counters["beyond_kept_bytes_per_row"] = model + gridBytes - kept;
        state.counters["text_grid_bytes_per_row"] = double(afterTexts - afterGrid) / Rows;
        state.counters["total_mb"] = double(afterGrid - start) / 1e6;
        state.counters["rows"] = Rows;
    }
}

} // namespace

BENCHMARK(BM_MonthAndGridMemoryPerRow)->Unit(benchmark::kMillisecond)->Iterations(1);
