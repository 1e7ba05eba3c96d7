#include "stockwindow/stockrowsproxy.h"

#include "platform/grid/gridmodel.h"
#include "stock/stockmonth.h"
#include "stockwindow/stockmonthmodel.h"

#include <algorithm>
#include <limits>
#include <numeric>

StockRowsProxy::StockRowsProxy(StockMonthModel *model, QObject *parent)
    : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(model);
    connect(model, &StockMonthModel::hiddenRowsChanged, this, [this] { invalidateRowsFilter(); });
    // A new month's rows have keys of their own.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_texts.clear();
        m_numbers.clear();
    });
}

bool StockRowsProxy::sortedByItemNumber() const
{
    return sortColumn() == StockColumns::ColSTKNo && sortOrder() == Qt::AscendingOrder &&
           m_caseSensitive && !m_numeric;
}

void StockRowsProxy::sortByItemNumber()
{
    if (!sortedByItemNumber())
        sortRows(StockColumns::ColSTKNo, Qt::AscendingOrder, false, true);
}

void StockRowsProxy::sortByColumn(int col, Qt::SortOrder order)
{
    if (col < 0 || col >= StockColumns::ColumnCount)
        return; // the model's own columns (the recount mark) keep the order
    const StockMonth &month = m_model->month();
    bool numeric = StockMonth::isFigureColumn(col);
    if (!numeric) {
        // Numbers when at least one cell is filled and every filled one holds a number.
        bool filled = false;
        bool allNumbers = true;
        for (int r = 0; r < month.size() && allNumbers; ++r) {
            const QString text = month.text(r, col);
            filled = filled || !text.isEmpty();
            allNumbers = text.isEmpty() || LooksNumeric(text);
        }
        numeric = filled && allNumbers;
    }
    sortRows(col, order, numeric, false);
}

void StockRowsProxy::unsort()
{
    sortRows(-1, Qt::AscendingOrder, false, false);
}

void StockRowsProxy::sortRows(int col, Qt::SortOrder order, bool numeric, bool caseSensitive)
{
    m_keyColumn = col;
    m_numeric = numeric;
    m_caseSensitive = caseSensitive;
    m_texts.clear();
    m_numbers.clear();
    if (col >= 0)
        takeKeys(m_model->rowCount() - 1);
    // The same column and order would otherwise count as sorted already.
    if (col == sortColumn() && order == sortOrder())
        QSortFilterProxyModel::sort(-1);
    sort(col, order);
}

void StockRowsProxy::takeKeys(int row) const
{
    const StockMonth &month = m_model->month();
    const CountingView &view = m_model->countingView();
    if (m_numeric) {
        for (int r = int(m_numbers.size()); r <= row; ++r) {
            // A figure the user may not see (blind counting) sorts as an empty cell does.
            if (view.isBlind() && view.text(month, r, m_keyColumn).isEmpty()) {
                m_numbers.push_back(-std::numeric_limits<double>::infinity());
            } else if (StockMonth::isFigureColumn(m_keyColumn)) {
                m_numbers.push_back(month.figure(r, m_keyColumn));
            } else {
                const QString text = month.text(r, m_keyColumn);
                m_numbers.push_back(text.isEmpty() ? -std::numeric_limits<double>::infinity()
                                                   : text.toDouble());
            }
        }
    } else {
        for (int r = int(m_texts.size()); r <= row; ++r)
            m_texts.push_back(month.text(r, m_keyColumn));
    }
}

int StockRowsProxy::findItem(const QString &stkNo) const
{
    if (sortedByItemNumber()) {
        // The shown rows are in item order: a binary search finds the first shown row.
        int low = 0;
        int high = rowCount();
        while (low < high) {
            const int mid = (low + high) / 2;
            const int row = mapToSource(index(mid, 0)).row();
            takeKeys(row);
            if (m_texts[size_t(row)] < stkNo)
                low = mid + 1;
            else
                high = mid;
        }
        if (low < rowCount()) {
            const int row = mapToSource(index(low, 0)).row();
            if (m_texts[size_t(row)] == stkNo)
                return row;
        }
    }
    // Hidden, or the grid in another order: the first in the grid's order.
    const StockMonth &month = m_model->month();
    int found = -1;
    int foundAt = -1;
    for (int i = 0; i < month.size(); ++i) {
        if (month.text(i, StockColumns::ColSTKNo) != stkNo)
            continue;
        const int at = mapFromSource(m_model->index(i, 0)).row();
        if (found < 0 || (at >= 0 && (foundAt < 0 || at < foundAt))) {
            found = i;
            foundAt = at;
        }
    }
    return found;
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
    takeKeys(std::max(left, right));
    if (m_numeric)
        return m_numbers[size_t(left)] < m_numbers[size_t(right)];
    return m_texts[size_t(left)].compare(m_texts[size_t(right)], m_caseSensitive
                                                                     ? Qt::CaseSensitive
                                                                     : Qt::CaseInsensitive) < 0;
}
