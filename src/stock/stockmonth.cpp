#include "stock/stockmonth.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "stock/stockfields.h"

#include <cmath>
#include <stdexcept>
#include <utility>

using C = StockColumns;

namespace {

// The figure field a column shows; throws for any other column.
double StockRecord::*figureMember(int col)
{
    const StockField *field = StockFieldOfColumn(col);
    if (!field || !field->isFigure())
        throw std::out_of_range("no figure column");
    return field->figure();
}

// A record field as the grid shows it (figures apart: they are shown in display units).
struct FieldText
{
    QString operator()(double value) const { return NumText(value); }
    QString operator()(const QString &text) const { return text; }
    QString operator()(const QDate &date) const { return DateText(date); }
};

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
    m_byRno = {};
    m_texts = {};
    m_period = Period();
    m_useUnit = false;
    m_loaded = false;
}

void StockMonth::reserve(int rows)
{
    m_byRno.reserve(rows);
}

void StockMonth::share(QString &text)
{
    if (text.isEmpty())
        return;
    const auto known = m_texts.constFind(text);
    if (known == m_texts.cend())
        m_texts.insert(text);
    else if (known->constData() != text.constData())
        text = *known;
}

void StockMonth::shareStoredTexts(StockRow &row)
{
    share(row.stored.DeptNo);
    share(row.stored.UserID);
    share(row.stored.UpdUserID);
    share(row.updDate);
}

void StockMonth::shareItemTexts(StockRow &row)
{
    share(row.dscp);
    share(row.unit);
    share(row.flag);
    share(row.lType);
}

int StockMonth::append(StockRow row)
{
    shareStoredTexts(row);
    shareItemTexts(row);
    const int index = size();
    // A record number met again names the row added last, as a re-read would.
    m_byRno.insert(qint64(row.stored.Rno), index);
    m_rows.push_back(std::move(row));
    return index;
}

void StockMonth::setStored(int index, const StockRecord &record, const QString &updDate)
{
    // The record number names the row in m_byRno: a re-read record keeps it.
    StockRow &r = row(index);
    Q_ASSERT(qint64(record.Rno) == qint64(r.stored.Rno));
    r.stored = record;
    r.updDate = updDate;
    shareStoredTexts(r);
}

void StockMonth::setItemFields(int index, const StockRow &fields)
{
    StockRow &r = row(index);
    r.name = fields.name;
    r.dscp = fields.dscp;
    r.unit = fields.unit;
    r.flag = fields.flag;
    r.lType = fields.lType;
    r.factor = fields.factor;
    shareItemTexts(r);
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
    const StockField *field = StockFieldOfColumn(col);
    return field && field->kind == StockField::Quantity;
}

bool StockMonth::isFigureColumn(int col)
{
    const StockField *field = StockFieldOfColumn(col);
    return field && field->isFigure();
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
    return record.*figureMember(col);
}

double StockMonth::storedFigure(const StockRecord &record, int col)
{
    return record.*figureMember(col);
}

double StockMonth::figure(int index, int col) const
{
    const StockField *field = StockFieldOfColumn(col);
    if (!field || !field->isFigure())
        return 0;
    const StockRow &r = row(index);
    const double stored = r.stored.*field->figure();
    switch (field->kind) {
    case StockField::Quantity:
        return shownQuantity(stored, r.factor, m_useUnit);
    case StockField::Price:
        return shownPrice(stored, r.factor);
    default:
        return stored;
    }
}

QString StockMonth::text(int index, int col) const
{
    const StockRow &r = row(index);
    if (const StockField *field = StockFieldOfColumn(col)) {
        return field->isFigure() ? NumText(figure(index, col))
                                 : VisitStockField(*field, r.stored, FieldText());
    }
    switch (col) {
    case C::ColName:
        return r.name;
    case C::ColDscp:
        return r.dscp;
    case C::ColUnit:
        return r.unit;
    case C::ColFlag:
        return r.flag;
    case C::ColLType:
        return r.lType;
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
    const StockRow &r = row(index);
    return figuresOf(r.stored, r.factor, m_useUnit, bookKept);
}
