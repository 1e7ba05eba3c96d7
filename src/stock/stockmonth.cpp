#include "stock/stockmonth.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "stock/stockcolumns.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

using C = StockColumns;

namespace {

constexpr qint32 NoDay = std::numeric_limits<qint32>::min();

// A database's dates all fit a 32-bit day number.
qint32 dayOf(const QDate &date)
{
    return date.isValid() ? qint32(date.toJulianDay()) : NoDay;
}

QDate dateOf(qint32 day)
{
    return day == NoDay ? QDate() : QDate::fromJulianDay(day);
}

// The field behind a figure column, of a StockRecord or of the month's own row.
template <typename Record> auto &figureField(Record &r, int col)
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

} // namespace

void StockMonth::reset(const Period &period, bool useUnit)
{
    // Callers start the same month again with reset(period(), useUnit()).
    Period starts = period;
    clear();
    m_period = std::move(starts);
    m_useUnit = useUnit;
    m_loaded = true;
}

void StockMonth::clear()
{
    m_rows = {};
    m_byRno.clear();
    m_texts.clear();
    m_period = Period();
    m_useUnit = false;
    m_loaded = false;
}

size_t StockMonth::rnoHash(double rno)
{
    return qHash(qint64(rno));
}

void StockMonth::reserve(int rows)
{
    m_rows.reserve(static_cast<size_t>(rows));
    m_byRno.reserve(static_cast<size_t>(rows),
                    [this](quint32 i) { return rnoHash(m_rows[i].Rno); });
}

namespace {

// The record number and figures, which a packed row keeps under the record's own names.
template <typename From, typename To> void copyFigures(const From &from, To &to)
{
    to.Rno = from.Rno;
    to.LastQty = from.LastQty;
    to.LastAmt = from.LastAmt;
    to.InQty = from.InQty;
    to.InAmt = from.InAmt;
    to.OutQty = from.OutQty;
    to.OutAmt = from.OutAmt;
    to.ChkQty = from.ChkQty;
    to.AdjustQty = from.AdjustQty;
    to.UseQty = from.UseQty;
    to.LostQty = from.LostQty;
    to.LostAmt = from.LostAmt;
    to.STKQty = from.STKQty;
    to.STKAmt = from.STKAmt;
    to.AvgPrice = from.AvgPrice;
}

} // namespace

void StockMonth::pack(Row &row, const StockRecord &r, const QString &updDate)
{
    copyFigures(r, row);
    row.DeptNo = m_texts.add(r.DeptNo);
    row.StkDate = dayOf(r.StkDate);
    row.STKNo = r.STKNo;
    row.UserID = m_texts.add(r.UserID);
    row.UpdUserID = m_texts.add(r.UpdUserID);
    row.updDate = m_texts.add(updDate);
}

void StockMonth::packItemFields(Row &row, const StockRow &fields)
{
    row.name = fields.name;
    row.dscp = m_texts.add(fields.dscp);
    row.unit = m_texts.add(fields.unit);
    row.flag = m_texts.add(fields.flag);
    row.lType = m_texts.add(fields.lType);
    row.factor = fields.factor;
}

StockRow StockMonth::at(int index) const
{
    const Row &row = this->row(index);
    StockRow out;
    StockRecord &r = out.stored;
    copyFigures(row, r);
    r.DeptNo = m_texts.text(row.DeptNo);
    r.StkDate = dateOf(row.StkDate);
    r.STKNo = row.STKNo;
    r.UserID = m_texts.text(row.UserID);
    r.UpdUserID = m_texts.text(row.UpdUserID);
    out.updDate = m_texts.text(row.updDate);
    out.name = row.name;
    out.dscp = m_texts.text(row.dscp);
    out.unit = m_texts.text(row.unit);
    out.flag = m_texts.text(row.flag);
    out.lType = m_texts.text(row.lType);
    out.factor = row.factor;
    return out;
}

int StockMonth::append(StockRow row)
{
    Row &added = m_rows.emplace_back();
    pack(added, row.stored, row.updDate);
    added.STKNo = std::move(row.stored.STKNo);
    packItemFields(added, row);
    added.name = std::move(row.name);
    const auto index = quint32(m_rows.size() - 1);
    // A record number met again names the row added last, as a re-read would.
    const auto rno = qint64(added.Rno);
    m_byRno.insert(
        rnoHash(added.Rno), index, [&](quint32 i) { return qint64(m_rows[i].Rno) == rno; },
        [this](quint32 i) { return rnoHash(m_rows[i].Rno); });
    return int(index);
}

void StockMonth::setStored(int index, const StockRecord &record, const QString &updDate)
{
    // The record number names the row in m_byRno: a re-read record keeps it.
    Q_ASSERT(qint64(record.Rno) == qint64(row(index).Rno));
    pack(m_rows[static_cast<size_t>(index)], record, updDate);
}

void StockMonth::setItemFields(int index, const StockRow &fields)
{
    packItemFields(m_rows[static_cast<size_t>(index)], fields);
}

int StockMonth::indexOfRno(double rno) const
{
    const auto key = qint64(rno);
    const quint32 index =
        m_byRno.find(rnoHash(rno), [&](quint32 i) { return qint64(m_rows[i].Rno) == key; });
    return index == IndexTable::None ? -1 : int(index);
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

double &StockMonth::storedFigure(StockRecord &record, int col)
{
    return figureField(record, col);
}

double StockMonth::storedFigure(const StockRecord &record, int col)
{
    return figureField(record, col);
}

double StockMonth::figure(int index, int col) const
{
    if (!isFigureColumn(col))
        return 0;
    const Row &row = this->row(index);
    const double stored = figureField(row, col);
    if (col == C::ColAvgPrice)
        return shownPrice(stored, row.factor);
    return isQuantityColumn(col) ? shownQuantity(stored, row.factor, m_useUnit) : stored;
}

QString StockMonth::text(int index, int col) const
{
    if (isFigureColumn(col))
        return NumText(figure(index, col));
    const Row &row = this->row(index);
    switch (col) {
    case C::ColRNo:
        return NumText(row.Rno);
    case C::ColDeptNo:
        return m_texts.text(row.DeptNo);
    case C::ColStkDate:
        return DateText(dateOf(row.StkDate));
    case C::ColSTKNo:
        return row.STKNo;
    case C::ColName:
        return row.name;
    case C::ColDscp:
        return m_texts.text(row.dscp);
    case C::ColUnit:
        return m_texts.text(row.unit);
    case C::ColFlag:
        return m_texts.text(row.flag);
    case C::ColUserID:
        return m_texts.text(row.UserID);
    case C::ColUpdUserID:
        return m_texts.text(row.UpdUserID);
    case C::ColLType:
        return m_texts.text(row.lType);
    default:
        return QString();
    }
}

template <typename Record>
RowFigures StockMonth::figuresFrom(const Record &r, double factor, bool useUnit, bool bookKept)
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

RowFigures StockMonth::figuresOf(const StockRecord &record, double factor, bool useUnit,
                                 bool bookKept)
{
    return figuresFrom(record, factor, useUnit, bookKept);
}

RowFigures StockMonth::figures(int index, bool bookKept) const
{
    const Row &row = this->row(index);
    return figuresFrom(row, row.factor, m_useUnit, bookKept);
}
