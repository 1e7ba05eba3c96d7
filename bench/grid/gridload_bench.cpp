#include "platform/grid/flexgrid.h"

#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <chrono>

// Loading the stock window's largest month: 50,000 rows of 24 columns, into our grid with
// redraw off, against a plain QStandardItemModel shown in a QTableView.

namespace {

constexpr int Rows = 50000;
constexpr int Cols = 24;

// Cell texts like those of a stock month: item numbers, names and amounts.
QString cellText(int r, int c)
{
    switch (c % 4) {
    case 0:
        return QStringLiteral("STK%1").arg(r, 6, 10, QLatin1Char('0'));
    case 1:
        return QStringLiteral("物料名稱%1").arg(r);
    case 2:
        return QString::number(r * 1.25 + c, 'f', 2);
    default:
        return QString::number((r * 7 + c) % 1000);
    }
}

QList<QStringList> makeRows()
{
    QList<QStringList> rows;
    rows.reserve(Rows);
    for (int r = 0; r < Rows; ++r) {
        QStringList cells;
        cells.reserve(Cols);
        for (int c = 0; c < Cols; ++c)
            cells.append(cellText(r, c));
        rows.append(cells);
    }
    return rows;
}

const QList<QStringList> &sourceRows()
{
    static const QList<QStringList> rows = makeRows();
    return rows;
}

double flexGridSeconds = 0;
double standardSeconds = 0;

void BM_FlexGridLoad(benchmark::State &state)
{
    FlexGrid grid;
    grid.resize(1000, 700);
    grid.setCols(Cols);
    grid.show();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        grid.setRedraw(false);
        grid.clearData();
        grid.addRows(sourceRows(), 9);
        grid.setRedraw(true);
        grid.setRow(1);
        benchmark::DoNotOptimize(grid.view()->model()->rowCount());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    flexGridSeconds = total / static_cast<double>(state.iterations());
    state.counters["rows"] = Rows;
}

void BM_StandardItemModelLoad(benchmark::State &state)
{
    QTableView view;
    view.resize(1000, 700);
    view.show();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto *model = new QStandardItemModel(0, Cols, &view);
        for (const QStringList &cells : sourceRows()) {
            QList<QStandardItem *> items;
            items.reserve(Cols);
            for (const QString &text : cells)
                items.append(new QStandardItem(text));
            model->appendRow(items);
        }
        QAbstractItemModel *old = view.model();
        view.setModel(model);
        view.setCurrentIndex(model->index(0, 0));
        benchmark::DoNotOptimize(view.model()->rowCount());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (old && old->parent() == &view)
            delete old;
        state.ResumeTiming();
    }
    standardSeconds = total / static_cast<double>(state.iterations());
    state.counters["rows"] = Rows;
}

// The stock window sizes its figure columns after every query.
void BM_FlexGridAutoSize(benchmark::State &state)
{
    FlexGrid grid;
    grid.setCols(Cols);
    grid.setRedraw(false);
    grid.addRows(sourceRows(), 9);
    grid.setRedraw(true);
    for (auto _ : state)
        grid.autoSize(8, Cols - 1);
    state.counters["rows"] = Rows;
}

// Sorting by item number and hiding every other row, as the display options do.
void BM_FlexGridSortAndHide(benchmark::State &state)
{
    FlexGrid grid;
    grid.setCols(Cols);
    grid.show();
    grid.setRedraw(false);
    grid.addRows(sourceRows(), 9);
    grid.setRedraw(true);
    bool hide = true;
    for (auto _ : state) {
        grid.setRedraw(false);
        grid.sortAscending(1, 1);
        for (int r = 1; r < grid.rows(); r += 2)
            grid.setRowHidden(r, hide);
        grid.setRedraw(true);
        hide = !hide;
    }
    state.counters["rows"] = Rows;
}

// Reported last: how many times faster our grid loads than the standard model.
void BM_LoadRatio(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(flexGridSeconds);
    state.counters["flexgrid_ms"] = flexGridSeconds * 1000;
    state.counters["standard_ms"] = standardSeconds * 1000;
    state.counters["standard_over_flexgrid"] =
        flexGridSeconds > 0 ? standardSeconds / flexGridSeconds : 0;
}

} // namespace

BENCHMARK(BM_FlexGridLoad)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StandardItemModelLoad)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FlexGridAutoSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlexGridSortAndHide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRatio)->Iterations(1);
