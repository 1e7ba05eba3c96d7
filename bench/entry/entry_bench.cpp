// Stocktake entry on a large month: one count committed through the grid editor, one item
// added to the month (the stock window's AddToStock, insert and new grid row), and the item
// scan as the user does it (item number typed into textSTKNo, then Enter): of an item the
// month has, and of one it lacks (added). Each timed alone, at three sizes in the same run
// (5,000, 50,000 and 200,000 stock records with 100,000, 1,000,000 and 5,000,000 slip lines)
// to show that none depends on the size of the tables. The timed scans follow 30 untimed
// scans of other items (a stocktake is thousands); the first of those is reported apart.
// Goals: an edit under 20 ms, a scan of a known item under 5 ms, an item added by scan under
// 20 ms, at median.
#include "common/clock.h"
#include "common/dates.h"
#include "common/numtext.h"
#include "common/state.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "platform/grid/flexgrid.h"
#include "stock/rowupdate.h"
#include "stockwindow/fmtovran.h"
#include "support/benchdb.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPaintEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace {

using Kind = BenchDatabase::Kind;
enum class Scale { Small, Large, Huge };
constexpr int Repetitions = 30;

BenchDatabase::Size sizeOf(Scale scale)
{
    BenchDatabase::Size size;
    size.months = 2;
    if (scale == Scale::Huge) {
        size.items = 240000;
        size.stockRows = 200000;
        size.slipLines = 5000000;
    } else if (scale == Scale::Large) {
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

// Closes any window that a refused edit or a database error opens (it would wait for ever)
// and counts it, so that the benchmark reports the failure instead of hanging.
class BoxCloser : public QObject
{
public:
    BoxCloser()
    {
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ++closed;
                dialog->reject();
            }
        });
        m_timer.start();
    }
    int closed = 0;

private:
    QTimer m_timer;
};

// Counts the grid's repaints and how much of the viewport they cover.
class PaintMeter : public QObject
{
public:
    int paints = 0;
    double viewports = 0; // painted area in whole viewports
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            auto *w = static_cast<QWidget *>(o);
            ++paints;
            qint64 area = 0;
            for (const QRect &r : static_cast<QPaintEvent *>(e)->region())
                area += qint64(r.width()) * r.height();
            viewports += double(area) / (qint64(w->width()) * w->height());
        }
        return false;
    }
};

struct Setup
{
    std::unique_ptr<BenchDatabase> db;
    std::unique_ptr<fmTOVRAN> window;
    QStringList missingItems;              // items the loaded month has no record of
    QStringList knownItems;                // items the loaded month has, spread over it
    QStringList warmupItems;               // other items the month has, scanned untimed first
    double firstScanMs = -1;               // the first scan after the month loaded
    std::map<std::string, double> medians; // per benchmark name, for the size ratio
};

Setup *setupFor(Kind kind, Scale scale)
{
    static auto *setups = new std::map<std::pair<Kind, Scale>, std::unique_ptr<Setup>>;
    static QTemporaryDir settings;
    static bool cleanup = (qAddPostRoutine([] { setups->clear(); }), true);
    Q_UNUSED(cleanup);
    auto &s = (*setups)[{kind, scale}];
    if (s)
        return s->db ? s.get() : nullptr;
    s = std::make_unique<Setup>();
    qputenv("NORV_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    Clock::setNow(QDateTime(*ParseDate(BenchDatabase::today()), QTime(12, 0)));
    EditUser().gsUserID = QStringLiteral("BENCH");
    s->db = BenchDatabase::make(kind, sizeOf(scale));
    if (!s->db)
        return nullptr;
    s->db->makeShared();
    s->window = std::make_unique<fmTOVRAN>();
    s->window->showWindow();
    s->window->txtDeptNoB->setText(QStringLiteral("A01"));
    std::fprintf(stderr, "loading the month into the stock window...\n");
    s->window->cmdQry_Click();
    QApplication::processEvents();

    const QDate end =
        PeriodEndDate(s->window->criteriaYear(), s->window->criteriaMonth(), QString());
    Ado::Recordset rs = Conn().gCNT->execute(
        QStringLiteral("Select STKNo From STK Where STKNo Not In (Select STKNo From STOCK "
                       "Where DeptNo = 'A01' And StkDate = ") +
        QuotDate(end) + QStringLiteral(") Order By STKNo"));
    while (!rs.eof() && s->missingItems.size() < Repetitions * 2) {
        s->missingItems << rs.text(0);
        rs.moveNext();
    }
    const FlexGrid &grid = *s->window->fgList;
    const int loaded = grid.rows() - 1;
    for (int i = 0; i < Repetitions && loaded > 0; ++i) {
        s->knownItems << grid.textMatrix(1 + int((qint64(i) * 7919) % loaded), fmTOVRAN::ColSTKNo);
        s->warmupItems << grid.textMatrix(1 + int((qint64(i) * 104729 + loaded / 2) % loaded),
                                          fmTOVRAN::ColSTKNo);
    }
    return s.get();
}

// The grid's open editor (closed ones may linger until deleted), or nullptr.
QLineEdit *openEditor(FlexGrid &grid)
{
    if (!grid.isEditing())
        return nullptr;
    for (QLineEdit *box : grid.view()->findChildren<QLineEdit *>(QStringLiteral("gridEditor")))
        if (box->isVisible())
            return box;
    return nullptr;
}

QString scaleName(Scale scale)
{
    switch (scale) {
    case Scale::Small:
        return QStringLiteral("small");
    case Scale::Large:
        return QStringLiteral("large");
    case Scale::Huge:
        break;
    }
    return QStringLiteral("huge");
}

// Reports the median of the timed repetitions, and beside a larger size's figure the ratio
// to the next smaller size's one.
void report(benchmark::State &state, Setup &s, Kind kind, Scale scale, const char *what,
            const QList<double> &times)
{
    const double median = Median(times);
    state.counters["median_ms"] = median * 1000;
    state.counters["stock_rows"] = sizeOf(scale).stockRows;
    state.counters["slip_lines"] = sizeOf(scale).slipLines;
    const std::string key = std::string(what) + BenchDatabase::kindName(kind).toStdString();
    s.medians[key] = median;
    if (scale != Scale::Small) {
        Setup *smaller = setupFor(kind, scale == Scale::Huge ? Scale::Large : Scale::Small);
        if (smaller && smaller->medians.count(key) && smaller->medians[key] > 0)
            state.counters["over_smaller"] = median / smaller->medians[key];
    }
}

// One count typed into the count column of a loaded row and committed with Enter: the
// checks, the recomputation, the two UPDATEs in one transaction and the repainted row.
void BM_Edit(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        state.SkipWithError("database not available in this run");
        return;
    }
    s->db->makeShared();
    fmTOVRAN &w = *s->window;
    FlexGrid &grid = *w.fgList;
    const int loaded = grid.rows() - 1;
    if (loaded < Repetitions) {
        state.SkipWithError("the month did not load");
        return;
    }
    BoxCloser boxes;
    PaintMeter meter;
    grid.view()->viewport()->installEventFilter(&meter);
    QList<double> times;
    QElapsedTimer t;
    int refused = 0;
    int paints = 0;
    double painted = 0;
    int n = 0;
    for (auto _ : state) {
        // Rows spread over the whole month; a count the checks accept (not below the
        // opening plus received quantity).
        const int row = 1 + int((qint64(n) * 7919) % loaded);
        const double count = Val(grid.textMatrix(row, fmTOVRAN::ColLastQty)) +
                             Val(grid.textMatrix(row, fmTOVRAN::ColInQty)) + 1 + n % 3;
        const QString text = NumText(count);
        ++n;
        grid.setRow(row);
        grid.setCol(fmTOVRAN::ColSTKQty);
        grid.view()->setFocus();
        QApplication::processEvents();

        const int paintsBefore = meter.paints;
        const double viewportsBefore = meter.viewports;
        t.start();
        grid.editCell();
        QLineEdit *box = openEditor(grid);
        if (box) {
            box->selectAll();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Return);
        }
        QApplication::processEvents();
        const double seconds = t.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        times << seconds;
        paints += meter.paints - paintsBefore;
        painted += meter.viewports - viewportsBefore;
        if (!box || grid.isEditing() || grid.textMatrix(row, fmTOVRAN::ColSTKQty) != text)
            ++refused;
    }
    grid.view()->viewport()->removeEventFilter(&meter);
    state.counters["paints"] = double(paints) / n;
    state.counters["viewports_painted"] = painted / n;
    if (refused || boxes.closed) {
        state.SkipWithError(QStringLiteral("%1 edits refused, %2 windows closed")
                                .arg(refused)
                                .arg(boxes.closed)
                                .toStdString()
                                .c_str());
        return;
    }
    report(state, *s, kind, scale, "edit", times);

    // What of it is the database: the same two UPDATEs in one transaction, run bare.
    QList<double> writes;
    for (int i = 0; i < Repetitions; ++i) {
        const QString rno =
            NumText(Val(grid.textMatrix(1 + (i * 7919) % loaded, fmTOVRAN::ColRNo)));
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
        state.SkipWithError("database not available in this run");
        return;
    }
    s->db->makeShared();
    fmTOVRAN &w = *s->window;
    if (s->missingItems.size() < Repetitions) {
        state.SkipWithError("too few items without a record in the month");
        return;
    }
    BoxCloser boxes;
    QList<double> times;
    QElapsedTimer t;
    const int year = w.criteriaYear();
    const int month = w.criteriaMonth();
    const int rowsBefore = w.fgList->rows();
    for (auto _ : state) {
        const QString item = s->missingItems.takeFirst();
        t.start();
        w.AddToStock(year, month, QStringLiteral("A01"), item);
        QApplication::processEvents();
        const double seconds = t.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        times << seconds;
    }
    const int added = w.fgList->rows() - rowsBefore;
    if (added != int(times.size()) || boxes.closed) {
        state.SkipWithError(QStringLiteral("%1 of %2 items added, %3 windows closed")
                                .arg(added)
                                .arg(times.size())
                                .arg(boxes.closed)
                                .toStdString()
                                .c_str());
        return;
    }
    report(state, *s, kind, scale, "add", times);
}

// Item numbers scanned into textSTKNo and entered, as a user does: of items the month has
// (the grid moves to the row's count cell) or lacks (the record is built, inserted and shown
// in a new row, which the next scan sorts into place).
void BM_Scan(benchmark::State &state, Kind kind, Scale scale, bool known)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        state.SkipWithError("database not available in this run");
        return;
    }
    s->db->makeShared();
    fmTOVRAN &w = *s->window;
    FlexGrid &grid = *w.fgList;
    QStringList &items = known ? s->knownItems : s->missingItems;
    if (items.size() < Repetitions) {
        state.SkipWithError("too few items to scan");
        return;
    }
    BoxCloser boxes;
    QList<double> times;
    QElapsedTimer t;
    QList<double> handler; // until the Enter key returns, before the repaint
    int wrong = 0;
    const auto scan = [&](const QString &item) {
        QTest::keyClicks(w.textSTKNo, item);
        QTest::keyClick(w.textSTKNo, Qt::Key_Return);
    };
    // A stocktake is thousands of scans. The timed ones follow scans of other items, as in a
    // working session, whose names have brought their glyphs into the font caches.
    w.textSTKNo->setFocus();
    for (const QString &item : std::as_const(s->warmupItems)) {
        t.start();
        scan(item);
        QApplication::processEvents();
        if (s->firstScanMs < 0)
            s->firstScanMs = t.nsecsElapsed() / 1e6;
    }
    s->warmupItems.clear();
    const int rowsBefore = grid.rows();
    // The repaints of the grid and of everything else in the window.
    PaintMeter gridPaints;
    PaintMeter windowPaints;
    grid.view()->viewport()->installEventFilter(&gridPaints);
    for (QWidget *widget : w.findChildren<QWidget *>())
        if (widget != grid.view()->viewport())
            widget->installEventFilter(&windowPaints);
    w.textSTKNo->setFocus();
    QApplication::processEvents();
    gridPaints.paints = windowPaints.paints = 0;
    gridPaints.viewports = 0;
    for (auto _ : state) {
        const QString item = known ? items[int(times.size())] : items.takeFirst();
        t.start();
        scan(item);
        handler << t.nsecsElapsed() / 1e9;
        QApplication::processEvents();
        const double seconds = t.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        times << seconds;
        if (grid.textMatrix(grid.row(), fmTOVRAN::ColSTKNo) != item ||
            grid.col() != fmTOVRAN::ColSTKQty)
            ++wrong;
    }
    grid.view()->viewport()->removeEventFilter(&gridPaints);
    for (QWidget *widget : w.findChildren<QWidget *>())
        widget->removeEventFilter(&windowPaints);
    const int added = grid.rows() - rowsBefore;
    if (wrong || boxes.closed || added != (known ? 0 : int(times.size()))) {
        state.SkipWithError(QStringLiteral("%1 scans on the wrong row, %2 rows added, %3 windows "
                                           "closed")
                                .arg(wrong)
                                .arg(added)
                                .arg(boxes.closed)
                                .toStdString()
                                .c_str());
        return;
    }
    state.counters["first_ms"] = s->firstScanMs;
    state.counters["handler_ms"] = Median(handler) * 1000;
    state.counters["grid_paints"] = double(gridPaints.paints) / double(times.size());
    state.counters["viewports_painted"] = gridPaints.viewports / double(times.size());
    state.counters["other_paints"] = double(windowPaints.paints) / double(times.size());
    state.counters["month_rows"] = grid.rows() - 1;
    report(state, *s, kind, scale, known ? "scan" : "scanadd", times);
}

void registerAll()
{
    for (Kind kind : {Kind::SQLite, Kind::PostgreSQL}) {
        for (Scale scale : {Scale::Small, Scale::Large, Scale::Huge}) {
            const std::string suffix =
                BenchDatabase::kindName(kind).toStdString() + "/" + scaleName(scale).toStdString();
            benchmark::RegisterBenchmark(("BM_Edit/" + suffix).c_str(), BM_Edit, kind, scale)
                ->Iterations(Repetitions)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("BM_AddItem/" + suffix).c_str(), BM_AddItem, kind, scale)
                ->Iterations(Repetitions)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
            for (const bool known : {true, false})
                benchmark::RegisterBenchmark(
                    ((known ? "BM_ScanKnown/" : "BM_ScanAdd/") + suffix).c_str(),
                    [known, kind, scale](benchmark::State &state) {
                        BM_Scan(state, kind, scale, known);
                    })
                    ->Iterations(Repetitions)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
        }
    }
}

const bool registered = (registerAll(), true);

} // namespace
