#pragma once

#include "support/benchdb.h"
#include "support/entrywindow.h"

#include <QCoreApplication>
#include <QList>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <memory>
#include <string>

// What an entry benchmark keeps of one database kind and size: the database and the stock
// window on its month, and the medians of the benchmarks that ran on it (by name and
// database), for the next larger size's ratio.
struct EntrySetup
{
    std::unique_ptr<BenchDatabase> db;
    std::unique_ptr<fmTOVRAN> window;
    std::map<std::string, double> medians;
};

// The setups of a benchmark program (Setup derived from EntrySetup), each made on first use
// and kept for the program's life.
template <typename Setup> class EntryRuns
{
public:
    using Kind = BenchDatabase::Kind;

    // The setup of the kind and size; on first use its database generated and shared, then
    // prepared (false: not usable). nullptr when it is not available in this run.
    static Setup *get(Kind kind, EntryScale scale, const std::function<bool(Setup &)> &prepare)
    {
        auto &s = setups()[{kind, scale}];
        if (s)
            return s->db ? s.get() : nullptr;
        s = std::make_unique<Setup>();
        PrepareEntryRun();
        s->db = BenchDatabase::make(kind, EntrySize(scale));
        if (!s->db)
            return nullptr;
        s->db->makeShared();
        if (!prepare(*s)) {
            s->db.reset();
            return nullptr;
        }
        return s.get();
    }

    // Reports the median of the timed repetitions, the size, and beside a larger size's
    // figure the ratio to the next smaller size's one.
    static void report(benchmark::State &state, Setup &s, Kind kind, EntryScale scale,
                       const char *what, const QList<double> &times)
    {
        const double median = Median(times);
        state.counters["median_ms"] = median * 1000;
        state.counters["stock_rows"] = EntrySize(scale).stockRows;
        state.counters["slip_lines"] = EntrySize(scale).slipLines;
        const std::string key = std::string(what) + BenchDatabase::kindName(kind).toStdString();
        s.medians[key] = median;
        // The smaller size when it ran before (never made here: that would open its database).
        if (scale == EntryScale::Small)
            return;
        const auto smaller = setups().find(
            {kind, scale == EntryScale::Huge ? EntryScale::Large : EntryScale::Small});
        if (smaller != setups().end() && smaller->second && smaller->second->medians.count(key) &&
            smaller->second->medians[key] > 0)
            state.counters["over_smaller"] = median / smaller->second->medians[key];
    }

private:
    using Setups = std::map<std::pair<Kind, EntryScale>, std::unique_ptr<Setup>>;

    static Setups &setups()
    {
        // Closed before the application goes: the windows with it.
        static auto *setups = new Setups;
        static bool cleanup = (qAddPostRoutine([] { setups->clear(); }), true);
        Q_UNUSED(cleanup);
        return *setups;
    }
};

// Registers a benchmark timed by hand (SetIterationTime), iterations times, in milliseconds.
inline void RegisterTimed(const std::string &name,
                          const std::function<void(benchmark::State &)> &function, int iterations)
{
    benchmark::RegisterBenchmark(name.c_str(), function)
        ->Iterations(iterations)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

// Ends a benchmark as failed, saying why.
inline void SkipBench(benchmark::State &state, const QString &why)
{
    state.SkipWithError(why.toStdString().c_str());
}
