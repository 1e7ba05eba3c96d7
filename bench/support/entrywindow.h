#pragma once

#include "stockwindow/fmtovran.h"
#include "support/benchdb.h"

#include <QStringList>
#include <memory>

// The stock window of the entry benchmarks, in the benchmark and in the fresh copies of the
// program it starts: department A01's month of the shared connection.

// The sizes of the entry databases: 5,000, 50,000 and 200,000 stock records with 100,000,
// 1,000,000 and 5,000,000 slip lines (a benchmark compares a size with the next smaller).
enum class EntryScale { Small, Large, Huge };
BenchDatabase::Size EntrySize(EntryScale scale);
QString EntryScaleName(EntryScale scale);

// The settings file, clock and user of an entry run.
void PrepareEntryRun();

// The window shown and its month loaded by the query command, as the clerk opens it.
std::unique_ptr<fmTOVRAN> OpenMonth();

// Items of the master the loaded month has no record of, from the first in item order or
// from the last.
QStringList ItemsWithoutRecord(const fmTOVRAN &window, int count, Qt::SortOrder order);

// The text typed into the current cell's editor and committed with Enter, as the clerk does;
// false when no editor opened.
bool TypeIntoCurrentCell(StockGridView &grid, const QString &text);

// Items of rows spread over the whole grid: the rows step apart, from the offset on.
QStringList ItemsShown(const fmTOVRAN &window, int count, qint64 step, qint64 offset);
