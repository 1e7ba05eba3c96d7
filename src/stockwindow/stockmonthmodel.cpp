#include "stockwindow/stockmonthmodel.h"

#include "platform/grid/gridmodel.h"
#include "platform/widgets/screenunits.h"
#include "stock/stockmonth.h"

#include <QFont>

StockMonthModel::StockMonthModel(const StockMonth &month, QObject *parent)
    : QAbstractTableModel(parent), m_month(month)
{
}

void StockMonthModel::reload()
{
    beginResetModel();
    m_hidden.assign(static_cast<size_t>(m_month.size()), false);
    endResetModel();
}

void StockMonthModel::rowAppended(int monthRow)
{
    beginInsertRows({}, monthRow, monthRow);
    m_hidden.resize(static_cast<size_t>(m_month.size()), false);
    endInsertRows();
}

void StockMonthModel::rowChanged(int monthRow)
{
    // Cell by cell: the view repaints a changed range wider than one cell as a whole.
    for (int c = 0; c < ColumnCount; ++c) {
        const QModelIndex cell = index(monthRow, c);
        Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole});
    }
}

void StockMonthModel::setCountingView(CountingView view)
{
    m_view = std::move(view);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

bool StockMonthModel::isRowHidden(int monthRow) const
{
    return monthRow >= 0 && static_cast<size_t>(monthRow) < m_hidden.size() &&
           m_hidden[static_cast<size_t>(monthRow)];
}

void StockMonthModel::setRowHidden(int monthRow, bool hidden)
{
    if (monthRow < 0 || static_cast<size_t>(monthRow) >= m_hidden.size() ||
        m_hidden[static_cast<size_t>(monthRow)] == hidden)
        return;
    m_hidden[static_cast<size_t>(monthRow)] = hidden;
    Q_EMIT hiddenRowsChanged();
}

void StockMonthModel::setRowsHidden(const std::function<bool(int)> &affects, bool hidden)
{
    bool changed = false;
    for (size_t r = 0; r < m_hidden.size(); ++r) {
        if (m_hidden[r] != hidden && affects(int(r))) {
            m_hidden[r] = hidden;
            changed = true;
        }
    }
    if (changed)
        Q_EMIT hiddenRowsChanged();
}

int StockMonthModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_hidden.size());
}

int StockMonthModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StockMonthModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_month.size())
        return {};
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_view.text(m_month, index.row(), col);
    case Qt::TextAlignmentRole:
        // As the suite's grids align in general: numbers right, texts left.
        return int(Qt::AlignVCenter |
                   (LooksNumeric(m_view.text(m_month, index.row(), col)) ? Qt::AlignRight
                                                                         : Qt::AlignLeft));
    case Qt::FontRole:
        if (isEditableColumn(col)) {
            QFont bold; // only the weight: the rest is the view's
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        if (col == ColSTKQty)
            return FromWinColor(65535);
        if (col == ColAvgPrice)
            return FromWinColor(8425215);
        return {};
    default:
        return {};
    }
}

QVariant StockMonthModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_view.shows(section) ? StockMonth::title(section) : QString();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags StockMonthModel::flags(const QModelIndex &index) const
{
    if (!m_view.shows(index.column()))
        return Qt::NoItemFlags;
    // Every cell offers an edit: the grid's before-edit check refuses the columns that take
    // none, and says so.
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool StockMonthModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_editHandler)
        return false;
    // The handler puts what was stored into the month and has the row shown again.
    return m_editHandler(index.row(), index.column(), value.toString());
}
