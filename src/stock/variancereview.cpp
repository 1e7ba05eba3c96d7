#include "stock/variancereview.h"

#include "common/numtext.h"
#include "data/messages.h"
#include "stock/stockcolumns.h"
#include "stock/stockcounting.h"
#include "stock/stockmonth.h"

#include <algorithm>
#include <cmath>

namespace {

// Sums of display quantities carry binary noise (10 + 5 - 3 - 12 is not quite 0); the
// month's quantities have at most four decimals.
double cleanQuantity(double value)
{
    return std::round(value * 1e6) / 1e6;
}

bool parseNumber(const QString &text, double *value, QString *why)
{
    QString plain = FoldFullWidth(text).trimmed();
    plain.remove(QLatin1Char(','));
    if (!IsNumeric(plain)) {
        *why = QStringLiteral("門檻須為數字");
        return false;
    }
    *value = Val(plain);
    if (*value < 0) {
        *why = QStringLiteral("門檻不可為負數");
        return false;
    }
    return true;
}

} // namespace

bool VarianceThresholds::parsePct(const QString &text, double *pct, QString *why)
{
    double value = 0;
    if (!parseNumber(text, &value, why))
        return false;
    if (value > 100) {
        *why = QStringLiteral("數量差異百分比不可超過 100");
        return false;
    }
    *pct = value;
    return true;
}

bool VarianceThresholds::parseAmount(const QString &text, double *amount, QString *why)
{
    double value = 0;
    if (!parseNumber(text, &value, why))
        return false;
    if (value > MaxAmount) {
        *why = QStringLiteral("差異金額不可超過 99,999,999");
        return false;
    }
    *amount = value;
    return true;
}

VarianceThresholds VarianceThresholds::fromParams()
{
    VarianceThresholds t;
    QString text;
    QString why;
    if (getParamValue(QStringLiteral("TOVRAN_VarPct"), text))
        parsePct(text, &t.pct, &why);
    if (getParamValue(QStringLiteral("TOVRAN_VarAmt"), text))
        parseAmount(text, &t.amount, &why);
    return t;
}

VarianceReview ReviewVariances(const StockMonth &month, const VarianceCountOf &countOf,
                               const VarianceThresholds &thresholds)
{
    VarianceReview review;
    review.thresholds = thresholds;
    const int rows = month.size();
    for (int index = 0; index < rows; ++index) {
        const RowFigures f = month.figures(index, false);
        VarianceLine line;
        line.index = index;
        line.book = cleanQuantity(f.lastQty + f.inQty - f.outQty - f.lostQty);
        line.count = f.stkQty;
        line.difference = cleanQuantity(line.count - line.book);
        line.avgPrice = f.avgPrice;
        line.value = RoundHalfUp(line.difference * line.avgPrice, 100);
        const double diff = std::abs(line.difference);
        line.overThreshold =
            (line.book == 0 ? diff > 0 : diff > thresholds.pct / 100 * std::abs(line.book)) ||
            std::abs(line.value) > thresholds.amount;

        const RowCount &count = countOf(index);
        const StockRow &row = month.at(index);
        line.recount = count.recount;
        line.notCounted = !count.hasLines() && row.updDate.isEmpty();
        if (!line.overThreshold && !line.recount && !line.notCounted)
            continue;
        // Who counted it: the newest current line, else the record's last writer.
        if (count.hasLines()) {
            const auto latest = std::ranges::max_element(
                count.current, {}, [](const CountLine &l) { return l.cntNo; });
            line.countedBy = latest->userId;
            line.countedAt = latest->cntDate;
        } else if (!line.notCounted) {
            line.countedBy = row.stored.UpdUserID;
            line.countedAt = row.updDate;
        }
        line.stkNo = month.text(index, StockColumns::ColSTKNo);
        review.lines.append(std::move(line));
    }

    std::ranges::sort(review.lines, [](const VarianceLine &a, const VarianceLine &b) {
        const double va = std::abs(a.value);
        const double vb = std::abs(b.value);
        if (va != vb)
            return va > vb;
        return a.stkNo != b.stkNo ? a.stkNo < b.stkNo : a.index < b.index;
    });

    VarianceTotals &t = review.totals;
    for (const VarianceLine &line : std::as_const(review.lines))
        (line.value > 0 ? t.gains : t.losses) += line.value;
    t.gains = RoundHalfUp(t.gains, 100);
    t.losses = RoundHalfUp(t.losses, 100);
    t.net = RoundHalfUp(t.gains + t.losses, 100);
    t.rows = int(review.lines.size());
    return review;
}

VarianceReview ReviewVariances(const StockCounting &counting, const VarianceThresholds &thresholds)
{
    return ReviewVariances(
        counting.month(),
        [&counting](int index) -> const RowCount & { return counting.rowCount(index); },
        thresholds);
}

QList<VarianceLine> LargestVariances(const VarianceReview &review, int most)
{
    QList<VarianceLine> largest;
    for (const VarianceLine &line : review.lines) {
        if (largest.size() >= most || line.value == 0)
            break; // lines are by |value|: the rest are zero too
        largest.append(line);
    }
    return largest;
}

QString VarianceColumns::title(int col)
{
    static const QStringList titles =
        QStringLiteral("料號|物料名稱|單位|帳面數量|盤點數量|差異數量|平均價格|差異金額|狀態|"
                       "盤點人員|盤點時間")
            .split(QLatin1Char('|'));
    return titles.value(col);
}

QString VarianceColumns::text(const StockMonth &month, const VarianceLine &line, int col)
{
    switch (col) {
    case ColSTKNo:
        return line.stkNo;
    case ColName:
        return month.text(line.index, StockColumns::ColName);
    case ColUnit:
        return month.text(line.index, StockColumns::ColUnit);
    case ColBook:
        return NumText(line.book);
    case ColCount:
        return NumText(line.count);
    case ColDifference:
        return NumText(line.difference);
    case ColAvgPrice:
        return NumText(line.avgPrice);
    case ColValue:
        return NumText(line.value);
    case ColState: {
        QStringList states;
        if (line.recount)
            states << QStringLiteral("需複盤");
        if (line.notCounted)
            states << QStringLiteral("未盤點");
        return states.join(QStringLiteral("、"));
    }
    case ColCountedBy:
        return line.countedBy;
    case ColCountedAt:
        return line.countedAt;
    default:
        return QString();
    }
}

QString VarianceThresholdsText(const VarianceThresholds &t)
{
    return QStringLiteral("差異門檻: 數量 > %1% 或 金額 > %2")
        .arg(NumText(t.pct), NumText(t.amount));
}

QString VarianceTotalsText(const VarianceTotals &t)
{
    return QStringLiteral("盤盈 %1   盤虧 %2   淨額 %3   筆數 %4")
        .arg(NumText(t.gains), NumText(t.losses), NumText(t.net))
        .arg(t.rows);
}
