#include "stock/stockcalc.h"

#include "common/numtext.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "data/tablecolumns.h"

#include <cmath>

namespace {

// Two decimals, half up, on magnitudes; 0 when there is nothing to divide by.
double ratio(double amount, double quantity)
{
    if (quantity == 0)
        return 0;
    return std::floor(std::fabs(amount) * 100 / std::fabs(quantity) + 0.5) / 100;
}

struct Sum
{
    bool found = false;
    double qty = 0;
    double amt = 0;
};

Sum sumOf(const Ado::ConnectionPtr &cn, const QString &sql)
{
    Sum s;
    Ado::Recordset rs = cn->execute(sql);
    if (!rs.eof()) {
        s.found = true;
        s.qty = rs.number(QStringLiteral("TotQty"));
        s.amt = rs.number(QStringLiteral("TotAmt"));
    }
    return s;
}

// Balances this close to zero, and below it, count as nothing left.
double atLeastZero(double balance)
{
    return balance < 0.0005 ? 0 : balance;
}

} // namespace

StockCalcResult BuildStockRecord(const Ado::ConnectionPtr &cn, const StockCalcInput &in)
{
    StockCalcResult result;
    StockRecord &r = result.record;
    ItemMaster &item = result.item;

    const QDate start = PeriodStartDate(in.year, in.month, in.stockEndDate);
    const QDate end = PeriodEndDate(in.year, in.month, in.stockEndDate);
    const QDate previousEnd = PreviousPeriodEnd(in.year, in.month, in.stockEndDate);
    // Before the day after the end: a slip dated on the last day with a time of day counts.
    const QString period = QStringLiteral(" And %1 >= ") + QuotDate(start) +
                           QStringLiteral(" And %1 < ") + QuotDate(end.addDays(1));
    const QString sinPeriod = period.arg(QStringLiteral("SINDate"));
    const QString rcvOnly =
        in.useRcvWork == QLatin1String("Y") ? QStringLiteral("   And RcvQty = INQty ") : QString();

    QString transferType;
    {
        Ado::Recordset rs = cn->execute(QStringLiteral("Select * from xxCode ") +
                                        QStringLiteral(" Where Dscp = '調撥單'"));
        if (!rs.eof())
            transferType = rs.text(QStringLiteral("Code"));
    }
    {
        Ado::Recordset rs = cn->execute(
            QStringLiteral(
                "select stkname , stkdscp , unit , buyprice, avgprice , stkflag  , uunit , "
                "uqty ,LType from stk ") +
            QStringLiteral(" Where stkno = ") + QuotField(in.stkNo));
        item.stkNo = in.stkNo;
        if (!rs.eof()) {
            item.name = rs.text(QStringLiteral("stkname"));
            item.dscp = rs.text(QStringLiteral("stkdscp"));
            item.unit = rs.text(QStringLiteral("unit"));
            item.buyPrice = rs.number(QStringLiteral("buyprice"));
            item.avgPrice = rs.number(QStringLiteral("avgprice"));
            item.flag = rs.text(QStringLiteral("stkflag")).toUpper();
            item.useUnit = rs.text(QStringLiteral("uunit"));
            item.useFactor = rs.number(QStringLiteral("uqty"));
            item.lType = rs.text(QStringLiteral("LType"));
        }
    }

    r.UserID = in.userID;
    r.UpdUserID = in.userID;
    r.DeptNo = in.deptNo;
    r.StkDate = end;
    r.STKNo = in.stkNo;

    {
        Ado::Recordset rs =
            cn->execute(QStringLiteral("Select * ") + QStringLiteral(" FROM STOCK ") +
                        QStringLiteral(" Where DeptNo = ") + QuotField(in.deptNo) +
                        QStringLiteral("   AND StkDate = ") + QuotDate(previousEnd) +
                        QStringLiteral("   AND StkNo = ") + QuotField(in.stkNo));
        if (!rs.eof()) {
            r.LastQty = rs.number(QStringLiteral("STKQty"));
            r.LastAmt = rs.number(QStringLiteral("STKAmt"));
        }
    }

    const QString dept = QuotStr(in.deptNo);
    const QString stk = QuotStr(in.stkNo);
    const QString sinSum =
        QStringLiteral("Select sum(InQty) as TotQty , Sum(InAmt) as TotAmt From SIN ");

    // Receipts, issues received from other departments, transfers in.
    const Sum receipts =
        sumOf(cn, sinSum + QStringLiteral(" Where Deptno = ") + dept +
                      QStringLiteral("   And STKNo = ") + stk + rcvOnly + sinPeriod);
    r.InQty = receipts.qty;
    r.InAmt = receipts.amt;
    const Sum received = sumOf(
        cn, QStringLiteral("Select sum(outQty) as TotQty , Sum(outAmt) as TotAmt From Sout ") +
                QStringLiteral(" Where Deptno = ") + dept + QStringLiteral("   And STKNo = ") +
                stk + QStringLiteral("   And SlipType <> '2' ") +
                period.arg(QStringLiteral("SOutDate")));
    if (received.found) {
        r.InQty += std::fabs(received.qty);
        r.InAmt += std::fabs(received.amt);
    }
    const Sum transfersIn = sumOf(
        cn, sinSum + QStringLiteral(" Where Deptno = ") + dept + QStringLiteral("   And STKNo = ") +
                stk + QStringLiteral("   And SlipType = ") + QuotStr(transferType) + sinPeriod);
    if (transfersIn.found) {
        r.InQty += std::fabs(transfersIn.qty);
        r.InAmt += std::fabs(transfersIn.amt);
    }

    // Average price.
    if (in.avgPriceMethod == QLatin1String("S")) {
        r.AvgPrice = ratio(r.InAmt, r.InQty);
    } else if (in.avgPriceMethod == QLatin1String("L")) {
        // Of receipts of the same date and time the last entered counts, where the slip
        // lines have a record number; the suite's own table has none, and such ties come
        // in the database's order.
        const QString lastEntered = HasColumn(cn, QStringLiteral("SIN"), QStringLiteral("SINNo"))
                                        ? QStringLiteral(" , SINNo DESC ")
                                        : QString();
        Ado::Recordset rs =
            cn->execute(QStringLiteral("Select * From SIN  ") + QStringLiteral(" Where STKNo = ") +
                        stk + sinPeriod + QStringLiteral(" AND Deptno = ") + dept +
                        QStringLiteral(" ORDER BY  SINDate DESC ") + lastEntered);
        const int priceField = rs.eof() ? -1 : rs.fieldIndex(QStringLiteral("inprice"));
        if (priceField >= 0 && !rs.isNull(priceField) && !rs.text(priceField).isEmpty())
            r.AvgPrice = rs.number(priceField);
        else // no receipt, or one without a unit price: the master's price
            r.AvgPrice = item.buyPrice != 0 ? item.buyPrice : item.avgPrice;
    } else {
        r.AvgPrice = ratio(r.LastAmt + r.InAmt, r.LastQty + r.InQty);
    }

    // Issues to other departments, transfers out, losses.
    const QString soutPeriod = period.arg(QStringLiteral("SOUTDate"));
    const QString soutSum =
        QStringLiteral("Select sum(OUtQty) as TotQty , Sum(outAmt) as TotAmt From SOut ");
    const Sum issued = sumOf(cn, soutSum + QStringLiteral("    Where SuppNo = ") + dept +
                                     QStringLiteral("   And STKNo = ") + stk +
                                     QStringLiteral("   And SlipType <> '2' ") + soutPeriod);
    if (issued.found) {
        r.OutQty = issued.qty;
        r.OutAmt = std::fabs(issued.amt);
    }
    const Sum transfersOut = sumOf(cn, sinSum + QStringLiteral(" Where SuppNo = ") + dept +
                                           QStringLiteral("   And STKNo = ") + stk +
                                           QStringLiteral("   And SlipType = ") +
                                           QuotStr(transferType) + sinPeriod + rcvOnly);
    if (transfersOut.found) {
        r.OutQty += std::fabs(transfersOut.qty);
        r.OutAmt += std::fabs(transfersOut.amt);
    }
    const Sum losses = sumOf(cn, soutSum + QStringLiteral("    Where SuppNo = ") + dept +
                                     QStringLiteral("   And STKNo = ") + stk +
                                     QStringLiteral("   And SlipType = '2'  ") + soutPeriod);
    if (losses.found)
        r.LostQty = std::fabs(losses.qty);
    // The issue amount stays in OutAmt; the loss is valued at the average price.
    r.LostAmt = r.AvgPrice * r.LostQty;

    if (in.autoCalc) {
        const double balance = r.LastQty + r.InQty - r.OutQty - r.LostQty;
        const bool bookKept = item.flag == QLatin1String("Y") && in.useSOut == QLatin1String("Y") &&
                              in.warehouseNo == 1;
        if (bookKept) {
            r.STKQty = atLeastZero(balance);
            r.UseQty = 0;
        } else {
            r.UseQty = atLeastZero(balance);
            r.STKQty = 0;
        }
        r.STKAmt = in.avgPriceMethod.isEmpty() ? r.LastAmt + r.InAmt - r.OutAmt - r.LostAmt
                                               : r.AvgPrice * r.STKQty;
    }
    if (in.calUseQty)
        r.UseQty = 0;
    return result;
}
