// Loading one department's month into the stock window through the real window's query
// command, against the physical limit: the same two statements (the month's STOCK rows and
// the item master rows they need) read through libsqlite3 or libpq directly, interleaved
// with the window's query in the same run. Month sizes 10,000 to 500,000 rows: one month of
// 500,000 rows is generated, the smaller loads take the first rows by an item-number range
// (the criteria box "to item"). Warm: the same window queries again; first: a fresh
// process opens the window and runs one query, with its peak memory.
#include "common/clock.h"
#include "common/dates.h"
#include "common/state.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "physicalread.h"
#include "stock/stockload.h"
#include "stockwindow/fmtovran.h"
#include "stockwindow/stockgridview.h"
#include "support/benchchild.h"
#include "support/benchdb.h"
#include "support/controls.h"
#include "support/entrywindow.h"
#include "support/scanner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

using Kind = BenchDatabase::Kind;

constexpr int MonthRows = 500000;
// The query shows two messages that each hold the window for 0.2 s by design
// ("資料搜尋中...", "查詢完成").
constexpr double MessageHolds = 0.4;
constexpr int WarmRounds = 3;
constexpr int FirstRounds = 2;
// Scans with a count typed, and items added, in the whole run after a first load.
constexpr int WholeRunSteps = 30;

struct Setup
{
    std::unique_ptr<BenchDatabase> db;
    std::unique_ptr<fmTOVRAN> window;
    std::unique_ptr<PhysicalReader> reader;
    QDate end;
};

// The settings file and clock of a window run (the benchmark and its child processes).
void prepareWindowRun()
{
    static QTemporaryDir settings;
    qputenv("NORV_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    Clock::setNow(QDateTime(*ParseDate(BenchDatabase::today()), QTime(12, 0)));
}

std::unique_ptr<fmTOVRAN> openWindow()
{
    auto window = std::make_unique<fmTOVRAN>();
    window->showWindow();
    Control<QLineEdit>(*window, "txtDeptNoB")->setText(QStringLiteral("A01"));
    QApplication::processEvents();
    return window;
}

// The items the whole run adds: past every item of the month in item order.
QString newItem(int i)
{
    return QStringLiteral("ZZ%1").arg(i, 4, 10, QLatin1Char('0'));
}

// One kind's database at a time: the other's month is let go first.
Setup *setupFor(Kind kind)
{
    // Torn down with the application object, before the window system goes away.
    static auto *setups = new std::map<Kind, std::unique_ptr<Setup>>;
    static bool cleanup = (qAddPostRoutine([] { setups->clear(); }), true);
    Q_UNUSED(cleanup);
    for (auto &[k, other] : *setups)
        if (k != kind && other)
            other.reset(new Setup);
    auto &s = (*setups)[kind];
    if (s)
        return s->db ? s.get() : nullptr;
    s = std::make_unique<Setup>();
    prepareWindowRun();
    BenchDatabase::Size size;
    size.items = MonthRows;
    size.stockRows = MonthRows;
    size.slipLines = 1000; // a load reads no slips
    size.months = 1;
    QElapsedTimer generation;
    generation.start();
    s->db = BenchDatabase::make(kind, size);
    if (!s->db)
        return nullptr;
    std::fprintf(stderr, "generated in %.0f s\n", generation.elapsed() / 1000.0);
    s->db->makeShared();
    // Items the month lacks, for the whole run to add by scan.
    for (int i = 1; i <= WholeRunSteps; ++i)
        s->db->connection()->executeNonQuery(
            QStringLiteral("Insert Into STK (STKNo, STKName, Unit, STKFlag) Values (%1, '新品', "
                           "'個', 'Y')")
                .arg(QuotStr(newItem(i))));
    s->window = openWindow();
    // The window proposes the month before today.
    const QDate proposed = Clock::today().addMonths(-1);
    s->end = PeriodEndDate(proposed.year(), proposed.month(), s->window->params().StockEndDate);
    s->reader = kind == Kind::SQLite ? PhysicalReader::sqlite(s->db->sqliteFile())
                                     : PhysicalReader::postgres(s->db->libpqConnInfo());
    return s.get();
}

// The "to item" criterion that makes the month's first rows a load: none for the whole
// month.
QString toItem(const Setup &s, int rows)
{
    if (rows >= MonthRows)
        return QString();
    Ado::Recordset rs = s.db->connection()->execute(
        QStringLiteral("Select STKNo From STOCK Where DeptNo = 'A01' And STKDate = ") +
        QuotDate(s.end) + QStringLiteral(" Order by STKNo Limit 1 Offset ") +
        QString::number(rows - 1));
    return rs.eof() ? QString() : rs.text(0);
}

// The two statements of a load as the window runs them.
QStringList loadStatements(const QDate &end, const QString &toItem)
{
    QString conditions = QStringLiteral(" Where DeptNo = ") + QuotStr(QStringLiteral("A01")) +
                         QStringLiteral(" And STKDate = ") + QuotDate(end);
    if (!toItem.isEmpty())
        conditions += QStringLiteral(" And STKNo <= ") + QuotStr(toItem);
    return {StockRecordSelect() + conditions + ItemOrder(),
            MonthItemsSelect(conditions) + ItemOrder()};
}

double seconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

void reportRatios(benchmark::State &state, double window, double limit)
{
    state.counters["ratio"] = window / limit;
    state.counters["ratio_without_holds"] = (window - MessageHolds) / limit;
}

void BM_WarmLoad(benchmark::State &state, Kind kind)
{
    Setup *s = setupFor(kind);
    if (!s) {
        state.SkipWithError("database not available in this run");
        return;
    }
    s->db->makeShared();
    const int expected = int(state.range(0));
    fmTOVRAN &w = *s->window;
    const QString to = toItem(*s, expected);
    Control<QLineEdit>(w, "txtSTKNoE")->setText(to);
    const QStringList statements = loadStatements(s->end, to);
    QList<double> window, limit;
    qint64 limitRows = 0;
    int rows = 0;
    for (auto _ : state) {
        for (int round = 0; round < WarmRounds; ++round) {
            QElapsedTimer t;
            t.start();
            limitRows = s->reader->read(statements);
            limit << seconds(t);
            t.start();
            Control<QPushButton>(w, "cmdQry")->click();
            window << seconds(t);
            rows = w.month().size();
        }
        state.SetIterationTime(Median(window));
    }
    Control<QLineEdit>(w, "txtSTKNoE")->clear();
    if (rows != expected) {
        state.SkipWithError("the window loaded another number of rows");
        return;
    }
    state.counters["rows"] = rows;
    state.counters["limit_rows"] = double(limitRows); // month rows and their item rows
    state.counters["window_ms"] = Median(window) * 1000;
    state.counters["limit_ms"] = Median(limit) * 1000;
    reportRatios(state, Median(window), Median(limit));
}

// The rest of a clerk's session after the load: items scanned and their counts typed, items
// the month lacks added by scan; the peak memory of the whole run.
void wholeRun(fmTOVRAN &window, QMap<QString, double> &figures)
{
    Scanner scanner(window);
    StockGridView &grid = *Control<StockGridView>(window, "fgList");
    int typed = 0;
    for (const QString &item : ItemsShown(window, WholeRunSteps, 7919, 13)) {
        scanner.scan(item);
        // Above any opening plus receipts: no question to answer.
        typed += TypeIntoCurrentCell(grid, QStringLiteral("99999")) ? 1 : 0;
    }
    for (int i = 1; i <= WholeRunSteps; ++i)
        scanner.scan(newItem(i));
    figures["whole_run_typed"] = typed;
    figures["whole_run_missed"] = scanner.missed();
    figures["whole_run_rows"] = window.month().size();
    figures["rss_whole_run"] = PeakResidentBytes();
}

// Child work: one query of the window in a fresh process, and with "whole-run" the rest of a
// session. Arguments: connection string, "to item" criterion[, "whole-run"].
bool firstWindowQuery(const QStringList &args, QMap<QString, double> &figures, QString *error)
{
    if (args.size() < 2) {
        *error = QStringLiteral("arguments: connection string, to item[, whole-run]");
        return false;
    }
    prepareWindowRun();
    EditConn().gCNT = Ado::Connection::open(args[0]);
    SetDBType(nullptr);
    auto w = openWindow();
    Control<QLineEdit>(*w, "txtSTKNoE")->setText(args[1]);
    figures["rss_before"] = PeakResidentBytes();
    QElapsedTimer t;
    t.start();
    Control<QPushButton>(*w, "cmdQry")->click();
    figures["seconds"] = seconds(t);
    figures["rss_peak"] = PeakResidentBytes();
    figures["rows"] = w->month().size();
    if (args.value(2) == QLatin1String("whole-run"))
        wholeRun(*w, figures);
    w.reset();
    EditConn().gCNT.reset();
    return true;
}

// Child work: the physical read in a fresh process. Arguments: "sqlite" or "pg", the file
// or libpq's connection text, the statements.
bool firstPhysicalRead(const QStringList &args, QMap<QString, double> &figures, QString *error)
{
    if (args.size() < 3) {
        *error = QStringLiteral("arguments: sqlite|pg, source, statements");
        return false;
    }
    try {
        auto reader = args[0] == QLatin1String("sqlite") ? PhysicalReader::sqlite(args[1])
                                                         : PhysicalReader::postgres(args[1]);
        figures["rss_before"] = PeakResidentBytes();
        QElapsedTimer t;
        t.start();
        figures["rows"] = double(reader->read(args.mid(2)));
        figures["seconds"] = seconds(t);
        figures["rss_peak"] = PeakResidentBytes();
        return true;
    } catch (const std::exception &e) {
        *error = QString::fromUtf8(e.what());
        return false;
    }
}

[[maybe_unused]] const bool registered =
    RegisterBenchChild(QStringLiteral("window-query"), firstWindowQuery) &&
    RegisterBenchChild(QStringLiteral("physical-read"), firstPhysicalRead);

void BM_FirstLoad(benchmark::State &state, Kind kind)
{
    Setup *s = setupFor(kind);
    if (!s) {
        state.SkipWithError("database not available in this run");
        return;
    }
    const int expected = int(state.range(0));
    const QString to = toItem(*s, expected);
    const QStringList readArgs =
        QStringList{kind == Kind::SQLite ? QStringLiteral("sqlite") : QStringLiteral("pg"),
                    kind == Kind::SQLite ? s->db->sqliteFile() : s->db->libpqConnInfo()} +
        loadStatements(s->end, to);
    QStringList windowArgs{s->db->connectionString(), to};
    if (expected == MonthRows)
        windowArgs << QStringLiteral("whole-run");
    QList<double> window, limit, peak, perRow, limitPeak, wholeRunPeak;
    for (auto _ : state) {
        for (int round = 0; round < FirstRounds; ++round) {
            QString error;
            const auto read = RunBenchChild(QStringLiteral("physical-read"), readArgs, &error);
            const auto query = RunBenchChild(QStringLiteral("window-query"), windowArgs, &error);
            if (read.isEmpty() || query.isEmpty()) {
                state.SkipWithError(qPrintable(error));
                return;
            }
            if (int(query.value(QStringLiteral("rows"))) != expected) {
                const QString why = QStringLiteral("the window loaded %1 rows, not %2")
                                        .arg(query.value(QStringLiteral("rows")))
                                        .arg(expected);
                state.SkipWithError(qPrintable(why));
                return;
            }
            limit << read.value(QStringLiteral("seconds"));
            limitPeak << read.value(QStringLiteral("rss_peak"));
            window << query.value(QStringLiteral("seconds"));
            peak << query.value(QStringLiteral("rss_peak"));
            if (expected == MonthRows) {
                if (query.value(QStringLiteral("whole_run_missed")) != 0 ||
                    query.value(QStringLiteral("whole_run_typed")) != WholeRunSteps ||
                    query.value(QStringLiteral("whole_run_rows")) != expected + WholeRunSteps) {
                    state.SkipWithError("the whole run's scans, counts or adds did not land");
                    return;
                }
                wholeRunPeak << query.value(QStringLiteral("rss_whole_run"));
                // The next round loads the month as it was.
                s->db->connection()->executeNonQuery(
                    QStringLiteral("Delete From STOCK Where STKNo Like 'ZZ%'"));
            }
            perRow << (query.value(QStringLiteral("rss_peak")) -
                       query.value(QStringLiteral("rss_before"))) /
                          expected;
        }
        state.SetIterationTime(Median(window));
    }
    state.counters["rows"] = expected;
    state.counters["window_ms"] = Median(window) * 1000;
    state.counters["limit_ms"] = Median(limit) * 1000;
    state.counters["peak_mb"] = Median(peak) / (1 << 20);
    state.counters["bytes_per_row"] = Median(perRow);
    state.counters["limit_peak_mb"] = Median(limitPeak) / (1 << 20);
    if (!wholeRunPeak.isEmpty())
        state.counters["whole_run_peak_mb"] = Median(wholeRunPeak) / (1 << 20);
    reportRatios(state, Median(window), Median(limit));
}

void sizes(benchmark::internal::Benchmark *b)
{
    for (int rows : {10000, 50000, 200000, MonthRows})
        b->Arg(rows);
    b->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();
}

} // namespace

BENCHMARK_CAPTURE(BM_WarmLoad, SQLite, Kind::SQLite)->Apply(sizes);
BENCHMARK_CAPTURE(BM_FirstLoad, SQLite, Kind::SQLite)->Apply(sizes);
BENCHMARK_CAPTURE(BM_WarmLoad, PostgreSQL, Kind::PostgreSQL)->Apply(sizes);
BENCHMARK_CAPTURE(BM_FirstLoad, PostgreSQL, Kind::PostgreSQL)->Apply(sizes);
