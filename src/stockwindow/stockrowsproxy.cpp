#include "stockwindow/stockrowsproxy.h"

#include "common/numtext.h"
#include "platform/grid/gridmodel.h"
#include "stock/stockmonth.h"
#include "stockwindow/stockmonthmodel.h"

#include <algorithm>
#include <numeric>

StockRowsProxy::StockRowsProxy(StockMonthModel *model, QObject *parent)
    : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(model);
    // Rows stay where they are until the next sort: a count typed into a grid sorted by
    // counts does not move its row away, and rows added or shown again go to the end
    // (the next item lookup sorts them into place).
    setDynamicSortFilter(false);
    connect(model, &StockMonthModel::hiddenRowsChanged, this, [this] { invalidateRowsFilter(); });
    connect(this, &QAbstractItemModel::rowsInserted, this, [this] { m_outOfOrder = true; });
}

void StockRowsProxy::sortByItemNumber()
{
    if (sortColumn() == StockColumns::ColSTKNo && sortOrder() == Qt::AscendingOrder &&
        m_caseSensitive && !m_numeric && !m_outOfOrder)
        return;
    m_numeric = false;
    m_caseSensitive = true;
    sortRows(StockColumns::ColSTKNo, Qt::AscendingOrder);
}

void StockRowsProxy::sortRows(int col, Qt::SortOrder order)
{
    sort(col, order);
    m_outOfOrder = false;
}

void StockRowsProxy::sortByColumn(int col, Qt::SortOrder order)
{
    const StockMonth &month = m_model->month();
    m_caseSensitive = false;
    m_numeric = StockMonth::isFigureColumn(col);
    if (!m_numeric) {
        // Numbers when at least one cell is filled and every filled one holds a number.
        bool filled = false;
        bool allNumbers = true;
        for (int r = 0; r < month.size() && allNumbers; ++r) {
            const QString text = month.text(r, col);
            filled = filled || !text.isEmpty();
            allNumbers = text.isEmpty() || LooksNumeric(text);
        }
        m_numeric = filled && allNumbers;
    }
    sortRows(col, order);
}

void StockRowsProxy::unsort()
{
    m_numeric = false;
    m_caseSensitive = false;
    sortRows(-1, Qt::AscendingOrder);
}

QList<int> StockRowsProxy::monthRows(bool withHidden) const
{
    QList<int> rows;
    if (!withHidden) {
        rows.reserve(rowCount());
        for (int r = 0; r < rowCount(); ++r)
            rows.append(mapToSource(index(r, 0)).row());
        return rows;
    }
    rows.resize(m_model->rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    if (sortColumn() >= 0) {
        if (sortOrder() == Qt::AscendingOrder)
            std::stable_sort(rows.begin(), rows.end(),
                             [this](int a, int b) { return rowLessThan(a, b); });
        else
            std::stable_sort(rows.begin(), rows.end(),
                             [this](int a, int b) { return rowLessThan(b, a); });
    }
    return rows;
}

bool StockRowsProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    return !m_model->isRowHidden(sourceRow);
}

bool StockRowsProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    return rowLessThan(left.row(), right.row());
}

bool StockRowsProxy::rowLessThan(int left, int right) const
{
    const StockMonth &month = m_model->month();
    const int col = sortColumn();
    if (m_numeric) {
        if (StockMonth::isFigureColumn(col))
            return month.figure(left, col) < month.figure(right, col);
        const QString a = month.text(left, col);
        const QString b = month.text(right, col);
        // Empty cells sort first, as the lowest.
        if (a.isEmpty() || b.isEmpty())
            return a.isEmpty() && !b.isEmpty();
        return a.toDouble() < b.toDouble();
    }
    return month.text(left, col).compare(month.text(right, col), m_caseSensitive
                                                                     ? Qt::CaseSensitive
                                                                     : Qt::CaseInsensitive) < 0;
}
