#pragma once

#include "stock/countlines.h"

#include <QList>
#include <QString>
#include <functional>

class StockMonth;
class StockCounting;

// The store manager's variance review of the loaded month: the rows whose count differs
// from the book by more than the thresholds, the rows marked for recount and the items not
// yet counted, largest value first. Figures are the month's, in the units the grid shows.
//
// Per row: book = opening + receipts - issues - losses; count = the row's count (the
// closing quantity); difference = count - book; value = difference x average price.
// A row is listed when |difference| > pct % of |book| (a book of 0: any difference),
// or |value| > amount, or it is marked for recount, or it is not yet counted.
//
// Not yet counted: the row has no current count line and its record carries no update
// stamp (UpdDate). Only a count or price entry stamps a record (the insert and the month
// calculation leave UpdDate empty), and with count lines on every count also leaves a
// line; a record stamped by a workstation that keeps no lines is taken as counted.
// Its difference is still its count - book: what the month would close on as it is.
struct VarianceThresholds
{
    double pct = 5;       // % of the book quantity
    double amount = 1000; // currency

    static constexpr double MaxAmount = 99999999;

    // The parameters TOVRAN_VarPct and TOVRAN_VarAmt; a missing or bad value gives the
    // default.
    static VarianceThresholds fromParams();
    // A threshold as typed: the number (grouping commas and full-width digits allowed),
    // or the reason it is refused (not a number, negative, past 100 % or MaxAmount).
    static bool parsePct(const QString &text, double *pct, QString *why);
    static bool parseAmount(const QString &text, double *amount, QString *why);
};

struct VarianceLine
{
    int index = -1; // month row
    QString stkNo;
    double book = 0;
    double count = 0;
    double difference = 0;
    double avgPrice = 0;
    double value = 0; // rounded to 0.01
    bool overThreshold = false;
    bool recount = false;
    bool notCounted = false;
    QString countedBy; // the latest current count line's clerk, else UpdUserID
    QString countedAt; // its time, else UpdDate (as stored)
};

struct VarianceTotals
{
    double gains = 0;  // sum of the positive values
    double losses = 0; // sum of the negative values (negative)
    double net = 0;
    int rows = 0;
};

struct VarianceReview
{
    VarianceThresholds thresholds;
    QList<VarianceLine> lines; // by |value| descending, then item number, then month row
    VarianceTotals totals;
};

using VarianceCountOf = std::function<const RowCount &(int index)>;

// One pass over the month and one sort of the rows listed.
VarianceReview ReviewVariances(const StockMonth &month, const VarianceCountOf &countOf,
                               const VarianceThresholds &thresholds);
VarianceReview ReviewVariances(const StockCounting &counting, const VarianceThresholds &thresholds);

// The lines of the chart: the first `most` lines with a non-zero value.
QList<VarianceLine> LargestVariances(const VarianceReview &review, int most = 20);

// The review's columns, shared by its list and its report.
struct VarianceColumns
{
    enum Column {
        ColSTKNo,
        ColName,
        ColUnit,
        ColBook,
        ColCount,
        ColDifference,
        ColAvgPrice,
        ColValue,
        ColState,
        ColCountedBy,
        ColCountedAt,
        ColumnCount
    };
    static QString title(int col);
    static QString text(const StockMonth &month, const VarianceLine &line, int col);
    static bool isFigure(int col) { return col >= ColBook && col <= ColValue; }
};

// The thresholds and totals as the review's heading and foot say them.
QString VarianceThresholdsText(const VarianceThresholds &thresholds);
QString VarianceTotalsText(const VarianceTotals &totals);
