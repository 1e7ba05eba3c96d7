// The live refresh of a stock window showing a month of 50,000 rows while another
// workstation writes: (1) the window time spent per changed row when the other connection
// writes k rows in one transaction (k = 1, 10, 100; its notification sent in that
// transaction on PostgreSQL), from the moment the window takes up the change (SQLite: the
// poll of the data version that finds it; PostgreSQL: the first notification delivered)
// until the rows show the new figures and are repainted, against re-reading the same
// records one by one by number on the window's connection; (2) the cost while nothing
// changes: the window's processor time over 10 s of idle with the watcher running, against
// the same idle with it stopped, and the time of one poll that finds nothing.
// Goals: under 5 ms of window time per changed row; nothing while nothing changes.
#include "common/clock.h"
#include "common/dates.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/transaction.h"
#include "stock/monthwatch.h"
#include "stock/stockload.h"
#include "stockwindow/fmtovran.h"
#include "support/benchdb.h"
#include "support/controls.h"
#include "support/showngrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDriver>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <map>

namespace {

using Kind = BenchDatabase::Kind;
constexpr int Repetitions = 10;
constexpr int IdleSeconds = 10;

struct Setup
{
    std::unique_ptr<BenchDatabase> db;
    std::unique_ptr<fmTOVRAN> window;
    Ado::ConnectionPtr other; // the other workstation's connection
    MonthWatch *watch = nullptr;
    QList<int> gridRows; // shown rows spread over the month, in the grid's order
    int written = 0;     // writes so far: each gives its rows a new count
    double firstChangeMs = -1;
};

Setup *setupFor(Kind kind)
{
    static auto *setups = new std::map<Kind, std::unique_ptr<Setup>>;
    static QTemporaryDir settings;
    static bool cleanup = (qAddPostRoutine([] { setups->clear(); }), true);
    Q_UNUSED(cleanup);
    auto &s = (*setups)[kind];
    if (s)
        return s->db ? s.get() : nullptr;
    s = std::make_unique<Setup>();
    qputenv("NORV_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    Clock::setNow(QDateTime(*ParseDate(BenchDatabase::today()), QTime(12, 0)));
    EditUser().gsUserID = QStringLiteral("BENCH");
    BenchDatabase::Size size;
    size.slipLines = 100000;
    s->db = BenchDatabase::make(kind, size);
    if (!s->db)
        return nullptr;
    s->db->makeShared();
    s->other = Ado::Connection::open(s->db->connectionString());
    s->window = std::make_unique<fmTOVRAN>();
    s->window->showWindow();
    Control<QLineEdit>(*s->window, "txtDeptNoB")->setText(QStringLiteral("A01"));
    std::fprintf(stderr, "loading the month into the stock window...\n");
    Control<QPushButton>(*s->window, "cmdQry")->click();
    QApplication::processEvents();
    s->watch = s->window->findChild<MonthWatch *>();
    const int loaded = ShownGrid::rows(*Control<StockGridView>(*s->window, "fgList"));
    for (int i = 0; i < 100 && loaded >= 100; ++i)
        s->gridRows << int((qint64(i) * 7919) % loaded);
    return s.get();
}

double rnoOf(Setup &s, int gridRow)
{
    return Val(
        ShownGrid::text(*Control<StockGridView>(*s.window, "fgList"), gridRow, fmTOVRAN::ColRNo));
}

// The other workstation counts the rows: one transaction, its stamp, and on PostgreSQL the
// notification of each record sent with it.
void writeElsewhere(Setup &s, const QList<double> &rnos, double count)
{
    Ado::Transaction transaction(*s.other);
    for (double rno : rnos) {
        s.other->executeNonQuery(QStringLiteral("Update STOCK Set ChkQty = %1, STKQty = %1, "
                                                "UpdUserID = 'OTHER', UpdDate = ")
                                     .arg(NumText(count)) +
                                 Dialect().gsDBDate + QStringLiteral(" Where RNo = ") +
                                 NumText(rno));
        AnnounceStockWrite(s.other, rno);
    }
    transaction.commit();
}

// Whether the window's model and grid show the count in every row.
bool shown(Setup &s, const QList<int> &gridRows, const QList<double> &rnos, double count)
{
    const StockMonth &month = s.window->month();
    for (int i = 0; i < rnos.size(); ++i) {
        const int index = month.indexOfRno(rnos[i]);
        if (index < 0 || month.at(index).stored.STKQty != count ||
            ShownGrid::text(*Control<StockGridView>(*s.window, "fgList"), gridRows[i],
                            fmTOVRAN::ColSTKQty) != month.text(index, fmTOVRAN::ColSTKQty))
            return false;
    }
    return true;
}

// Writes k rows elsewhere and returns the window's time until they show (ms), or a
// negative value when they did not show within 10 s.
double refreshOnce(Setup &s, Kind kind, int k, QList<double> &rnos, double *untilShownMs = nullptr)
{
    QList<int> rows = s.gridRows.mid((s.written * 37) % (100 - k + 1), k);
    rnos.clear();
    for (int row : std::as_const(rows))
        rnos << rnoOf(s, row);
    const double count = 1000 + ++s.written;
    writeElsewhere(s, rnos, count);

    QElapsedTimer t;
    bool done = false;
    QEventLoop loop;
    const auto check = QObject::connect(s.watch, &MonthWatch::recordsChanged, &loop, [&] {
        if (shown(s, rows, rnos, count)) {
            if (untilShownMs && t.isValid())
                *untilShownMs = t.nsecsElapsed() / 1e6;
            done = true;
            loop.quit();
        }
    });
    if (kind == Kind::SQLite) {
        // The poll that finds the change, as the watcher's timer calls it.
        t.start();
        s.watch->check();
    } else {
        // Timed from the first notification delivered to the window's connection.
        QSqlDriver *driver = Conn().gCNT->database().driver();
        const auto first = QObject::connect(driver, &QSqlDriver::notification, &loop, [&] {
            if (!t.isValid())
                t.start();
        });
        QTimer timeout; // stopped with the wait, so that it leaves no event behind
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        timeout.start(10000);
        if (!done)
            loop.exec();
        QObject::disconnect(first);
    }
    QObject::disconnect(check);
    if (!done || !t.isValid())
        return -1;
    QApplication::processEvents(); // the repaint of the refreshed rows
    return t.nsecsElapsed() / 1e6;
}

void BM_Refresh(benchmark::State &state, Kind kind, int k)
{
    Setup *s = setupFor(kind);
    if (!s || !s->watch || s->gridRows.size() < 100) {
        state.SkipWithError(s ? "the month did not load" : "database not available in this run");
        return;
    }
    s->db->makeShared();
    QList<double> rnos;
    if (s->firstChangeMs < 0)
        s->firstChangeMs = refreshOnce(*s, kind, 1, rnos); // the first change after the load
    QList<double> perRow, bare, repaint;
    int missed = 0;
    for (auto _ : state) {
        double untilShown = 0;
        const double ms = refreshOnce(*s, kind, k, rnos, &untilShown);
        if (ms < 0) {
            ++missed;
            state.SetIterationTime(10);
            continue;
        }
        state.SetIterationTime(ms / 1000);
        perRow << ms / k;
        repaint << ms - untilShown;
        // The baseline in the same run: the same records re-read one by one by number.
        QElapsedTimer t;
        t.start();
        for (double rno : std::as_const(rnos)) {
            StockRecord record;
            QString updDate;
            ReadStockRecordByRno(Conn().gCNT, rno, false, record, updDate);
        }
        bare << t.nsecsElapsed() / 1e6 / k;
    }
    if (missed) {
        state.SkipWithError(
            QStringLiteral("%1 writes not shown within 10 s").arg(missed).toStdString().c_str());
        return;
    }
    state.counters["k"] = k;
    state.counters["per_row_ms"] = Median(perRow);
    state.counters["bare_read_ms"] = Median(bare);
    state.counters["repaint_ms"] = Median(repaint); // of the whole refresh, after the rows show
    state.counters["first_change_ms"] = s->firstChangeMs;
    state.counters["month_rows"] = ShownGrid::rows(*Control<StockGridView>(*s->window, "fgList"));
}

// The window left alone for a while: processor time of the program per second, with the
// watcher running or stopped (after the stopped run the window no longer refreshes).
void BM_Idle(benchmark::State &state, Kind kind, bool watching)
{
    Setup *s = setupFor(kind);
    if (!s || !s->watch) {
        state.SkipWithError("database not available in this run");
        return;
    }
    s->db->makeShared();
    if (!watching)
        s->watch->stop();
    // One poll that finds nothing, timed alone.
    QList<double> polls;
    if (watching) {
        for (int i = 0; i < 30; ++i) {
            QElapsedTimer t;
            t.start();
            s->watch->check();
            polls << t.nsecsElapsed() / 1e6;
        }
    }
    int events = 0;
    struct Counter : QObject
    {
        int *n;
        explicit Counter(int *count) : n(count) {}
        bool eventFilter(QObject *, QEvent *) override
        {
            ++*n;
            return false;
        }
    } counter(&events);
    // What the benchmarks before left behind (repaints, late notifications) is done first.
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();
    double cpuMs = 0;
    for (auto _ : state) {
        qApp->installEventFilter(&counter);
        const std::clock_t before = std::clock();
        QEventLoop loop;
        QTimer::singleShot(IdleSeconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        cpuMs = double(std::clock() - before) * 1000 / CLOCKS_PER_SEC;
        qApp->removeEventFilter(&counter);
        state.SetIterationTime(cpuMs / 1000);
    }
    state.counters["cpu_ms_per_s"] = cpuMs / IdleSeconds;
    state.counters["events_per_s"] = double(events) / IdleSeconds;
    if (watching)
        state.counters["no_change_poll_ms"] = Median(polls);
}

void registerAll()
{
    for (Kind kind : {Kind::SQLite, Kind::PostgreSQL}) {
        const std::string db = BenchDatabase::kindName(kind).toStdString();
        for (int k : {1, 10, 100})
            benchmark::RegisterBenchmark(("BM_Refresh/" + db + "/" + std::to_string(k)).c_str(),
                                         BM_Refresh, kind, k)
                ->Iterations(Repetitions)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        for (bool watching : {true, false})
            benchmark::RegisterBenchmark(
                ((watching ? "BM_IdleWatching/" : "BM_IdleStopped/") + db).c_str(), BM_Idle, kind,
                watching)
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    }
}

const bool registered = (registerAll(), true);

} // namespace
