// Stocktake entry on a large month: one count committed through the grid editor, one item
// added to the month (the stock window's AddToStock, insert and new grid row), and the item
// scan as the user does it (item number typed into textSTKNo, then Enter): of an item the
// month has, and of one it lacks (added). Each timed alone, at three sizes in the same run
// (5,000, 50,000 and 200,000 stock records with 100,000, 1,000,000 and 5,000,000 slip lines)
// to show that none depends on the size of the tables. The timed scans follow 30 untimed
// scans of other items (a stocktake is thousands); the first of those is reported apart.
// Two cases run in fresh copies of the program on the same database: the scans of items the
// month has at device pixel ratio 2 (Qt's scale factor 2 on a screen of twice the pixels,
// so that the window shows what it shows at ratio 1), and the first item added by scan after
// the program started and loaded the month.
// Goals: a scan of a known item in one frame (16 ms) at ratio 1 and 2; an edit and an item
// added by scan, the first included, in 50 ms.
#include "common/numtext.h"
#include "data/adodb.h"
#include "stock/rowupdate.h"
#include "stockwindow/fmtovran.h"
#include "stockwindow/stockgridview.h"
#include "support/benchchild.h"
#include "support/benchdb.h"
#include "support/controls.h"
#include "support/entryruns.h"
#include "support/scanner.h"
#include "support/showngrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

namespace {

using Kind = BenchDatabase::Kind;
using Scale = EntryScale;
constexpr int Repetitions = 30;
constexpr int FirstAddRuns = 3; // fresh programs, one first add each

struct Setup : EntrySetup
{
    QStringList missingItems; // items the loaded month has no record of
    QStringList knownItems;   // items the loaded month has, spread over it
    QStringList warmupItems;  // other items the month has, scanned untimed first
    double firstScanMs = -1;  // the first scan after the month loaded
};
using Runs = EntryRuns<Setup>;

// The known items and the items scanned before them, in this window and in a fresh one.
QStringList knownItems(const fmTOVRAN &window)
{
    return ItemsShown(window, Repetitions, 7919, 0);
}

QStringList warmupItems(const fmTOVRAN &window)
{
    return ItemsShown(window, Repetitions, 104729,
                      ShownGrid::rows(*Control<StockGridView>(window, "fgList")) / 2);
}

Setup *setupFor(Kind kind, Scale scale)
{
    return Runs::get(kind, scale, [](Setup &s) {
        s.window = OpenMonth();
        // The children add items from the other end of the item order.
        s.missingItems = ItemsWithoutRecord(*s.window, Repetitions * 2, Qt::AscendingOrder);
        s.knownItems = knownItems(*s.window);
        s.warmupItems = warmupItems(*s.window);
        return true;
    });
}

// One count typed into the count column of a shown row and committed with Enter: the
// checks, the recomputation, the two UPDATEs in one transaction and the repainted row.
void BM_Edit(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        SkipBench(state, QStringLiteral("database not available in this run"));
        return;
    }
    s->db->makeShared();
    StockGridView &grid = *Control<StockGridView>(*s->window, "fgList");
    const int shown = ShownGrid::rows(grid);
    if (shown < Repetitions) {
        SkipBench(state, QStringLiteral("the month did not load"));
        return;
    }
    BoxCloser boxes;
    PaintMeter meter;
    grid.viewport()->installEventFilter(&meter);
    QList<double> times;
    QElapsedTimer t;
    int refused = 0;
    int paints = 0;
    double painted = 0;
    int n = 0;
    for (auto _ : state) {
        // Rows spread over the whole month; a count the checks accept (not below the
        // opening plus received quantity).
        const int row = int((qint64(n) * 7919) % shown);
        const double count = Val(ShownGrid::text(grid, row, fmTOVRAN::ColLastQty)) +
                             Val(ShownGrid::text(grid, row, fmTOVRAN::ColInQty)) + 1 + n % 3;
        const QString text = NumText(count);
        ++n;
        grid.setCurrentIndex(grid.model()->index(row, fmTOVRAN::ColSTKQty));
        grid.setFocus();
        QApplication::processEvents();
        const int paintsBefore = meter.paints;
        const double areasBefore = meter.areas;

        t.start();
        const bool typed = TypeIntoCurrentCell(grid, text);
        QApplication::processEvents();
        const double seconds = t.nsecsElapsed() / 1e9;

        state.SetIterationTime(seconds);
        times << seconds;
        // Enter has moved on to the next row: the edited one is read where it stays.
        if (!typed || grid.isEditing() || meter.paints == paintsBefore ||
            ShownGrid::text(grid, row, fmTOVRAN::ColSTKQty) != text)
            ++refused;
        paints += meter.paints - paintsBefore;
        painted += meter.areas - areasBefore;
    }
    grid.viewport()->removeEventFilter(&meter);
    state.counters["paints"] = double(paints) / n;
    state.counters["viewports_painted"] = painted / n;
    if (refused || boxes.closed) {
        SkipBench(state, QStringLiteral("%1 edits refused or not shown, %2 windows closed")
                             .arg(refused)
                             .arg(boxes.closed));
        return;
    }
    Runs::report(state, *s, kind, scale, "edit", times);

    // What of it is the database: the same two UPDATEs in one transaction, run bare.
    QList<double> writes;
    for (int i = 0; i < Repetitions; ++i) {
        const QString rno =
            NumText(Val(ShownGrid::text(grid, (i * 7919) % shown, fmTOVRAN::ColRNo)));
        t.start();
        WriteRowUpdate(Conn().gCNT,
                       {QStringLiteral("Update Stock set ChkQty = ChkQty Where Rno = ") + rno,
                        StampStatement(rno)});
        writes << t.nsecsElapsed() / 1e9;
    }
    state.counters["bare_update_ms"] = Median(writes) * 1000;
}

// One item the month lacks added through the stock window: the period's sums over the slips,
// the insert with its record number read back, and the new grid row.
void BM_AddItem(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        SkipBench(state, QStringLiteral("database not available in this run"));
        return;
    }
    s->db->makeShared();
    fmTOVRAN &w = *s->window;
    if (s->missingItems.size() < Repetitions) {
        SkipBench(state, QStringLiteral("too few items without a record in the month"));
        return;
    }
    BoxCloser boxes;
    QList<double> times;
    QElapsedTimer t;
    const int year = w.month().period().year;
    const int month = w.month().period().month;
    const int rowsBefore = ShownGrid::rows(*Control<StockGridView>(w, "fgList"));
    for (auto _ : state) {
        const QString item = s->missingItems.takeFirst();
        t.start();
        w.AddToStock(year, month, QStringLiteral("A01"), item);
        QApplication::processEvents();
        const double seconds = t.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        times << seconds;
    }
    const int added = ShownGrid::rows(*Control<StockGridView>(w, "fgList")) - rowsBefore;
    if (added != int(times.size()) || boxes.closed) {
        SkipBench(state, QStringLiteral("%1 of %2 items added, %3 windows closed")
                             .arg(added)
                             .arg(times.size())
                             .arg(boxes.closed));
        return;
    }
    Runs::report(state, *s, kind, scale, "add", times);
}

// Item numbers scanned into textSTKNo and entered, as a user does: of items the month has
// (the grid moves to the row's count cell) or lacks (the record is built, inserted and shown
// in a new row, which the next scan sorts into place).
void BM_Scan(benchmark::State &state, Kind kind, Scale scale, bool known)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        SkipBench(state, QStringLiteral("database not available in this run"));
        return;
    }
    s->db->makeShared();
    fmTOVRAN &w = *s->window;
    QStringList &items = known ? s->knownItems : s->missingItems;
    if (items.size() < Repetitions) {
        SkipBench(state, QStringLiteral("too few items to scan"));
        return;
    }
    BoxCloser boxes;
    Scanner scanner(w);
    // A stocktake is thousands of scans. The timed ones follow scans of other items, as in a
    // working session, whose names have brought their glyphs into the font caches.
    for (const QString &item : std::as_const(s->warmupItems)) {
        const double seconds = scanner.scan(item);
        if (s->firstScanMs < 0)
            s->firstScanMs = seconds * 1000;
    }
    s->warmupItems.clear();
    const int rowsBefore = ShownGrid::rows(*Control<StockGridView>(w, "fgList"));
    scanner.startCounting();
    for (auto _ : state) {
        const QString item = known ? items[scanner.seconds().size()] : items.takeFirst();
        state.SetIterationTime(scanner.scan(item));
    }
    const int added = ShownGrid::rows(*Control<StockGridView>(w, "fgList")) - rowsBefore;
    const int expected = known ? 0 : int(scanner.seconds().size());
    if (scanner.missed() || boxes.closed || added != expected) {
        SkipBench(state,
                  QStringLiteral("%1 scans on the wrong row, %2 rows added, %3 windows closed")
                      .arg(scanner.missed())
                      .arg(added)
                      .arg(boxes.closed));
        return;
    }
    const QMap<QString, double> figures = scanner.figures();
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        state.counters[it.key().toStdString()] = it.value();
    state.counters["first_ms"] = s->firstScanMs;
    state.counters["month_rows"] = ShownGrid::rows(*Control<StockGridView>(w, "fgList"));
    Runs::report(state, *s, kind, scale, known ? "scan" : "scanadd", scanner.seconds());
}

// --- In a fresh copy of the program, on the database of the benchmark that starts it ---

// Does the work on the month opened in a fresh window, on the database named by the first
// argument, and adds what its checks found: scans that did not land, windows closed.
bool onMonth(const QStringList &args, QMap<QString, double> &figures, QString *error,
             const std::function<bool(fmTOVRAN &, Scanner &)> &work)
{
    PrepareEntryRun();
    const auto db = BenchDatabase::attach(args.value(0));
    if (!db) {
        *error = QStringLiteral("the database does not open");
        return false;
    }
    db->makeShared();
    const auto window = OpenMonth();
    if (ShownGrid::rows(*Control<StockGridView>(*window, "fgList")) < Repetitions) {
        *error = QStringLiteral("the month did not load");
        return false;
    }
    BoxCloser boxes;
    Scanner scanner(*window);
    if (!work(*window, scanner))
        return false;
    figures.insert(scanner.figures());
    figures[QStringLiteral("missed")] = scanner.missed();
    figures[QStringLiteral("windows_closed")] = boxes.closed;
    return true;
}

// The scans of items the month has, as BM_Scan makes them: the seconds of each ("scan_<n>")
// and the window's device pixel ratio.
bool scanKnownChild(const QStringList &args, QMap<QString, double> &figures, QString *error)
{
    return onMonth(args, figures, error, [&](fmTOVRAN &window, Scanner &scanner) {
        const QStringList warmup = warmupItems(window);
        for (int i = 0; i < warmup.size(); ++i) {
            const double seconds = scanner.scan(warmup[i]);
            if (i == 0)
                figures[QStringLiteral("first_ms")] = seconds * 1000;
        }
        scanner.startCounting();
        for (const QString &item : knownItems(window))
            scanner.scan(item);
        for (int i = 0; i < scanner.seconds().size(); ++i)
            figures[QStringLiteral("scan_%1").arg(i)] = scanner.seconds()[i];
        figures[QStringLiteral("device_pixel_ratio")] =
            Control<StockGridView>(window, "fgList")->viewport()->devicePixelRatioF();
        return true;
    });
}

// The first scan after the program started and loaded the month, of an item it lacks.
bool firstScanAddChild(const QStringList &args, QMap<QString, double> &figures, QString *error)
{
    return onMonth(args, figures, error, [&](fmTOVRAN &window, Scanner &scanner) {
        const QStringList items = ItemsWithoutRecord(window, 1, Qt::DescendingOrder);
        if (items.isEmpty()) {
            *error = QStringLiteral("no item without a record in the month");
            return false;
        }
        scanner.startCounting();
        const int rowsBefore = ShownGrid::rows(*Control<StockGridView>(window, "fgList"));
        figures[QStringLiteral("first_ms")] = scanner.scan(items.first()) * 1000;
        figures[QStringLiteral("rows_added")] =
            ShownGrid::rows(*Control<StockGridView>(window, "fgList")) - rowsBefore;
        return true;
    });
}

// Why a child's run does not count (it failed, or its checks found something), or empty.
QString childFailure(const QMap<QString, double> &figures, const QString &error, int rowsAdded)
{
    if (figures.isEmpty())
        return error;
    const double added = figures.value(QStringLiteral("rows_added"));
    if (!figures.value(QStringLiteral("missed")) &&
        !figures.value(QStringLiteral("windows_closed")) && added == rowsAdded)
        return QString();
    return QStringLiteral("%1 scans on the wrong row, %2 rows added, %3 windows closed")
        .arg(figures.value(QStringLiteral("missed")))
        .arg(added)
        .arg(figures.value(QStringLiteral("windows_closed")));
}

const bool childrenRegistered =
    RegisterBenchChild(QStringLiteral("scan-known"), scanKnownChild) &&
    RegisterBenchChild(QStringLiteral("first-scan-add"), firstScanAddChild);

// A fresh copy of the program at Qt's scale factor 2, on a screen of twice the pixels of
// this one's: the same window, every pixel drawn four times.
QMap<QString, double> runAtRatio2(const QString &work, const QString &database, QString *error)
{
    static QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen2x.json"));
    const QRect screen = QApplication::primaryScreen()->geometry();
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write ") + config;
        return {};
    }
    file.write(QStringLiteral("{\"screens\": [{\"name\": \"offscreen2x\", \"x\": 0, \"y\": 0, "
                              "\"width\": %1, \"height\": %2}]}")
                   .arg(screen.width() * 2)
                   .arg(screen.height() * 2)
                   .toUtf8());
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    return RunBenchChild(
        work,
        {database, QStringLiteral("-platform"), QStringLiteral("offscreen:configfile=") + config},
        error, environment);
}

// The scans of BM_Scan (known items) in a fresh program at device pixel ratio 2.
void BM_ScanKnownAt2x(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        SkipBench(state, QStringLiteral("database not available in this run"));
        return;
    }
    QString error;
    QMap<QString, double> figures =
        runAtRatio2(QStringLiteral("scan-known"), s->db->connectionString(), &error);
    if (const QString failure = childFailure(figures, error, 0); !failure.isEmpty()) {
        SkipBench(state, failure);
        return;
    }
    if (figures.value(QStringLiteral("device_pixel_ratio")) != 2) {
        SkipBench(state, QStringLiteral("device pixel ratio %1")
                             .arg(figures.value(QStringLiteral("device_pixel_ratio"))));
        return;
    }
    QList<double> times;
    for (auto _ : state) {
        times << figures.take(QStringLiteral("scan_%1").arg(times.size()));
        state.SetIterationTime(times.last());
    }
    for (const char *check : {"missed", "windows_closed"})
        figures.remove(QLatin1String(check));
    for (auto it = figures.cbegin(); it != figures.cend(); ++it) // the scans are taken
        state.counters[it.key().toStdString()] = it.value();
    Runs::report(state, *s, kind, scale, "scan2x", times);
}

// The first item added by scan in each of a few fresh programs.
void BM_FirstScanAdd(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        SkipBench(state, QStringLiteral("database not available in this run"));
        return;
    }
    QList<double> times;
    QList<double> handlers;
    for (auto _ : state) {
        QString error;
        const QMap<QString, double> figures =
            RunBenchChild(QStringLiteral("first-scan-add"), {s->db->connectionString()}, &error);
        if (const QString failure = childFailure(figures, error, 1); !failure.isEmpty()) {
            SkipBench(state, failure);
            return;
        }
        times << figures.value(QStringLiteral("first_ms")) / 1000;
        handlers << figures.value(QStringLiteral("handler_ms"));
        state.SetIterationTime(times.last());
    }
    state.counters["handler_ms"] = Median(handlers);
    Runs::report(state, *s, kind, scale, "firstscanadd", times);
}

void registerAll()
{
    const auto add = RegisterTimed;
    for (Kind kind : {Kind::SQLite, Kind::PostgreSQL}) {
        for (Scale scale : {Scale::Small, Scale::Large, Scale::Huge}) {
            const std::string suffix = "/" + BenchDatabase::kindName(kind).toStdString() + "/" +
                                       EntryScaleName(scale).toStdString();
            const auto bind = [kind, scale](auto function) {
                return [=](benchmark::State &state) { function(state, kind, scale); };
            };
            add("BM_Edit" + suffix, bind(BM_Edit), Repetitions);
            add("BM_AddItem" + suffix, bind(BM_AddItem), Repetitions);
            add("BM_ScanKnown" + suffix, bind([](benchmark::State &state, Kind k, Scale sc) {
                    BM_Scan(state, k, sc, true);
                }),
                Repetitions);
            add("BM_ScanAdd" + suffix, bind([](benchmark::State &state, Kind k, Scale sc) {
                    BM_Scan(state, k, sc, false);
                }),
                Repetitions);
            // Last of each size: the first adds write to the database, and this program's
            // window takes their records up as another workstation's.
            add("BM_ScanKnownAt2x" + suffix, bind(BM_ScanKnownAt2x), Repetitions);
            add("BM_FirstScanAdd" + suffix, bind(BM_FirstScanAdd), FirstAddRuns);
        }
    }
}

const bool registered = (registerAll(), true);

} // namespace
