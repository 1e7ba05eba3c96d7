#include "platform/print/previewview.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "printing/stockreport.h"
#include "startup/programsetup.h"
#include "stock/stockcolumns.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

// The stock report of a large month: composing it from the month and showing the first
// preview page (goal: under 2 s together for 100,000 rows; 20,000 rows for the baseline), and
// writing it as PDF (time proportional to the pages).

namespace {

// A loaded month of the given size, with the columns the window shows by default.
struct BenchMonth
{
    StockMonth month;
    StockMonthSelection selection;
};

std::unique_ptr<BenchMonth> stockGrid(int rows)
{
    static bool setUp = false;
    if (!setUp) {
        SetupApplication(); // the suite's font faces
        setUp = true;
    }
    auto m = std::make_unique<BenchMonth>();
    m->month.reset({2013, 5, QStringLiteral("A01"), QDate(2013, 5, 31)}, false);
    m->month.reserve(rows);
    for (int r = 1; r <= rows; ++r) {
        StockRow row;
        row.stored.Rno = r;
        row.stored.STKNo = QStringLiteral("STK%1").arg(r, 6, 10, QLatin1Char('0'));
        row.name = QStringLiteral("物料名稱%1").arg(r);
        row.dscp = QStringLiteral("25kg x 4包");
        row.unit = QStringLiteral("包");
        for (int c = StockColumns::ColLastQty; c <= StockColumns::ColAvgPrice; ++c)
            StockMonth::storedFigure(row.stored, c) = (r * 7 + c) * 1.25;
        m->selection.rows.append(m->month.append(std::move(row)));
    }
    m->selection.month = &m->month;
    // Columns the window hides by default (keys and flags).
    for (int c = 3; c < 23; ++c)
        m->selection.columns.append(c);
    return m;
}

const StockReportCriteria criteria{QStringLiteral("102"),       QStringLiteral("5"),
                                   QStringLiteral("A01"),       QStringLiteral("中央廚房"),
                                   QStringLiteral("STK000001"), QStringLiteral("STK999999")};

void BM_ComposeAndFirstPage(benchmark::State &state)
{
    const auto grid = stockGrid(int(state.range(0)));
    PreviewWindow &window = frmVSPBlank();
    window.resize(1200, 900);
    window.show();
    for (auto _ : state) {
        ComposeStockReport(window, grid->selection, criteria);
        window.setPreviewPage(1);
        const QImage page = window.view()->pageImage();
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["pages"] = window.vsp().pageCount();
}
BENCHMARK(BM_ComposeAndFirstPage)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_LastPageAfterPaging(benchmark::State &state)
{
    const auto grid = stockGrid(20000);
    PreviewWindow &window = frmVSPBlank();
    ComposeStockReport(window, grid->selection, criteria);
    int page = 1;
    for (auto _ : state) {
        page = page % window.vsp().pageCount() + 1;
        window.setPreviewPage(page);
        benchmark::DoNotOptimize(window.view()->pageImage().constBits());
    }
}
BENCHMARK(BM_LastPageAfterPaging)->Unit(benchmark::kMillisecond);

void BM_WritePdf(benchmark::State &state)
{
    const auto grid = stockGrid(int(state.range(0)));
    PreviewWindow &window = frmVSPBlank();
    ComposeStockReport(window, grid->selection, criteria);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state)
        window.vsp().savePdf(file);
    const int pages = window.vsp().pageCount();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_WritePdf)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
