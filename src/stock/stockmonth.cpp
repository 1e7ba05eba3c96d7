#include "stock/stockmonth.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "stock/stockcolumns.h"

#include <cmath>
#include <stdexcept>

using C = StockColumns;

namespace {
// More distinct texts than this are no longer shared: they are not the repeating kind.
constexpr qsizetype MaxSharedTexts = 4096;
} // namespace

void StockMonth::reset(const Period &period, bool useUnit)
{
    m_rows.clear();
    m_byRno.clear();
    m_sharedTexts.clear();
    for (QString &last : m_lastShared)
        last.clear();
    m_period = period;
    m_useUnit = useUnit;
    m_loaded = true;
}

void StockMonth::clear()
{
    m_rows.clear();
    m_byRno.clear();
    m_sharedTexts.clear();
    for (QString &last : m_lastShared)
        last.clear();
    m_period = Period();
    m_useUnit = false;
    m_loaded = false;
}

void StockMonth::share(QString &text, int field)
{
    QString &last = m_lastShared[field];
    if (text.isEmpty())
        return;
    if (text == last) {
        text = last;
        return;
    }
    const auto known = m_sharedTexts.constFind(text);
    if (known != m_sharedTexts.cend())
        text = *known;
    else if (m_sharedTexts.size() < MaxSharedTexts)
        m_sharedTexts.insert(text);
    last = text;
}

int StockMonth::append(StockRow row)
{
    // A month's rows repeat these texts: each is kept once (item numbers and names are not).
    share(row.stored.DeptNo, 0);
    share(row.stored.UserID, 1);
    share(row.stored.UpdUserID, 2);
    share(row.updDate, 3);
    share(row.unit, 4);
    share(row.flag, 5);
    share(row.lType, 6);
    share(row.dscp, 7);
    const int index = size();
    m_byRno.insert(qint64(row.stored.Rno), index);
    m_rows.push_back(std::move(row));
    return index;
}

void StockMonth::setStored(int index, const StockRecord &record, const QString &updDate)
{
    StockRow &row = m_rows[static_cast<size_t>(index)];
    row.stored = record;
    row.updDate = updDate;
}

void StockMonth::setItemFields(int index, const StockRow &fields)
{
    StockRow &row = m_rows[static_cast<size_t>(index)];
    row.name = fields.name;
    row.dscp = fields.dscp;
    row.unit = fields.unit;
    row.flag = fields.flag;
    row.lType = fields.lType;
    row.factor = fields.factor;
    share(row.unit, 4);
    share(row.flag, 5);
    share(row.lType, 6);
    share(row.dscp, 7);
}

int StockMonth::indexOfRno(double rno) const
{
    return m_byRno.value(qint64(rno), -1);
}

QString StockMonth::title(int col)
{
    static const QStringList titles =
        QStringLiteral("紀錄序號|店別碼|物料庫存日期|料號|物料名稱|規格|單位|入庫|"
                       "上期庫存|上期庫存金額|進貨數量|進貨金額|"
                       "領貨數量|領貨金額|耗損數量|盤點數量|盤盈虧|耗用數量|庫存量|"
                       "庫存金額|平均價格|建檔人員|最後修改人員|"
                       "大類別")
            .split(QLatin1Char('|'));
    return titles.value(col);
}

bool StockMonth::isQuantityColumn(int col)
{
    switch (col) {
    case C::ColLastQty:
    case C::ColInQty:
    case C::ColOutQty:
    case C::ColLostQty:
    case C::ColChkQty:
    case C::ColAdjustQty:
    case C::ColUseQty:
    case C::ColSTKQty:
        return true;
    default:
        return false;
    }
}

bool StockMonth::isFigureColumn(int col)
{
    return col >= C::ColLastQty && col <= C::ColAvgPrice;
}

double StockMonth::shownQuantity(double stockQty, double factor, bool useUnit)
{
    // In the use unit a quantity is shown to one decimal; otherwise as stored.
    return useUnit ? std::floor(stockQty * factor * 10 + 0.5) / 10 : stockQty;
}

double StockMonth::shownPrice(double price, double factor)
{
    return std::floor(price * 100 / factor + 0.5) / 100;
}

double &StockMonth::storedFigure(StockRecord &r, int col)
{
    switch (col) {
    case C::ColLastQty:
        return r.LastQty;
    case C::ColLastAmt:
        return r.LastAmt;
    case C::ColInQty:
        return r.InQty;
    case C::ColInAmt:
        return r.InAmt;
    case C::ColOutQty:
        return r.OutQty;
    case C::ColOutAmt:
        return r.OutAmt;
    case C::ColLostQty:
        return r.LostQty;
    case C::ColChkQty:
        return r.ChkQty;
    case C::ColAdjustQty:
        return r.AdjustQty;
    case C::ColUseQty:
        return r.UseQty;
    case C::ColSTKQty:
        return r.STKQty;
    case C::ColSTKAmt:
        return r.STKAmt;
    case C::ColAvgPrice:
        return r.AvgPrice;
    default:
        throw std::out_of_range("no figure column");
    }
}

double StockMonth::storedFigure(const StockRecord &record, int col)
{
    return storedFigure(const_cast<StockRecord &>(record), col);
}

double StockMonth::figure(int index, int col) const
{
    if (!isFigureColumn(col))
        return 0;
    const StockRow &row = at(index);
    const double stored = storedFigure(row.stored, col);
    if (col == C::ColAvgPrice)
        return shownPrice(stored, row.factor);
    return isQuantityColumn(col) ? shownQuantity(stored, row.factor, m_useUnit) : stored;
}

QString StockMonth::text(int index, int col) const
{
    if (isFigureColumn(col))
        return NumText(figure(index, col));
    const StockRow &row = at(index);
    switch (col) {
    case C::ColRNo:
        return NumText(row.stored.Rno);
    case C::ColDeptNo:
        return row.stored.DeptNo;
    case C::ColStkDate:
        return DateText(row.stored.StkDate);
    case C::ColSTKNo:
        return row.stored.STKNo;
    case C::ColName:
        return row.name;
    case C::ColDscp:
        return row.dscp;
    case C::ColUnit:
        return row.unit;
    case C::ColFlag:
        return row.flag;
    case C::ColUserID:
        return row.stored.UserID;
    case C::ColUpdUserID:
        return row.stored.UpdUserID;
    case C::ColLType:
        return row.lType;
    default:
        return QString();
    }
}

RowFigures StockMonth::figuresOf(const StockRecord &r, double factor, bool useUnit, bool bookKept)
{
    RowFigures f;
    f.factor = factor == 0 ? 1 : factor;
    const auto qty = [&](double v) { return shownQuantity(v, f.factor, useUnit); };
    f.lastQty = qty(r.LastQty);
    f.inQty = qty(r.InQty);
    f.outQty = qty(r.OutQty);
    f.lostQty = qty(r.LostQty);
    f.chkQty = qty(r.ChkQty);
    f.adjustQty = qty(r.AdjustQty);
    f.useQty = qty(r.UseQty);
    f.stkQty = qty(r.STKQty);
    f.stkAmt = r.STKAmt;
    f.avgPrice = shownPrice(r.AvgPrice, f.factor);
    f.bookKept = bookKept;
    return f;
}

RowFigures StockMonth::figures(int index, bool bookKept) const
{
    const StockRow &row = at(index);
    return figuresOf(row.stored, row.factor, m_useUnit, bookKept);
}
