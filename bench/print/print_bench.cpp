#include "platform/grid/flexgrid.h"
#include "platform/print/previewview.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "printing/stockreport.h"
#include "startup/programsetup.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

// The stock report of a large month: composing it from the grid and showing the first
// preview page (goal: under 2 s together for 20,000 rows), and writing it as PDF (time
// proportional to the pages).

namespace {

std::unique_ptr<FlexGrid> stockGrid(int rows)
{
    static bool setUp = false;
    if (!setUp) {
        SetupApplication(); // the suite's font faces
        setUp = true;
    }
    auto grid = std::make_unique<FlexGrid>();
    grid->setCols(24);
    grid->setFixedRows(1);
    grid->setRows(1);
    for (int c = 0; c < 24; ++c)
        grid->setTextMatrix(0, c, QStringLiteral("欄位%1").arg(c));
    QList<QStringList> data;
    data.reserve(rows);
    for (int r = 1; r <= rows; ++r) {
        QStringList cells;
        for (int c = 0; c < 24; ++c)
            cells.append(QString::number((r * 7 + c) * 1.25, 'f', 2));
        cells[3] = QStringLiteral("STK%1").arg(r, 6, 10, QLatin1Char('0'));
        cells[4] = QStringLiteral("物料名稱%1").arg(r);
        cells[5] = QStringLiteral("25kg x 4包");
        cells[6] = QStringLiteral("包");
        data.append(cells);
    }
    grid->addRows(data);
    // Columns the window hides by default (keys and flags).
    for (int c : {0, 1, 2, 23})
        grid->setColHidden(c, true);
    return grid;
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
        ComposeStockReport(window, *grid, criteria);
        window.setPreviewPage(1);
        const QImage page = window.view()->pageImage();
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["pages"] = window.vsp().pageCount();
}
BENCHMARK(BM_ComposeAndFirstPage)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LastPageAfterPaging(benchmark::State &state)
{
    const auto grid = stockGrid(20000);
    PreviewWindow &window = frmVSPBlank();
    ComposeStockReport(window, *grid, criteria);
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
    ComposeStockReport(window, *grid, criteria);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state)
        window.vsp().savePdf(file);
    const int pages = window.vsp().pageCount();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_WritePdf)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
