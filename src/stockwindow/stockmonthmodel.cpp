#include "stockwindow/stockmonthmodel.h"

#include "platform/grid/gridmodel.h"
#include "platform/widgets/screenunits.h"
#include "stock/countlines.h"
#include "stock/stockmonth.h"

#include "common/numtext.h"

#include <QColor>
#include <QFont>

namespace {

// A row two clerks disagree on: its item cells in a light red.
const QColor RecountColor(0xFF, 0xC8, 0xC8);

} // namespace

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
    for (int c = 0; c <= RecountColumn; ++c) {
        const QModelIndex cell = index(monthRow, c);
        Q_EMIT dataChanged(cell, cell,
                           {Qt::DisplayRole, Qt::EditRole, Qt::TextAlignmentRole,
                            Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

void StockMonthModel::setCountingView(CountingView view)
{
    m_view = std::move(view);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
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
    return parent.isValid() ? 0 : RecountColumn + 1;
}

QString StockMonthModel::countLinesText(int monthRow) const
{
    if (!m_countOf || monthRow < 0 || monthRow >= m_month.size())
        return {};
    const RowCount &count = m_countOf(monthRow);
    QStringList lines;
    for (const CountLine &line : count.current)
        lines << QStringLiteral("%1  %2  %3  %4  %5")
                     .arg(line.location.isEmpty() ? QStringLiteral("(未指定區位)") : line.location,
                          NumText(StockMonth::shownQuantity(line.qty, m_month.factor(monthRow),
                                                            m_month.useUnit())),
                          line.userId, line.pcName, line.cntDate);
    return lines.join(QLatin1Char('\n'));
}

QVariant StockMonthModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_month.size())
        return {};
    const int col = index.column();
    const bool recount = m_countOf && m_countOf(index.row()).recount;
    if (col == RecountColumn) {
        if (role == Qt::DisplayRole && recount)
            return QStringLiteral("需複盤");
        if (role == Qt::BackgroundRole && recount)
            return RecountColor;
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_view.text(m_month, index.row(), col);
    case Qt::ToolTipRole:
        if (col == ColSTKQty)
            return countLinesText(index.row());
        return {};
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
        if (recount && (col == ColSTKNo || col == ColName))
            return RecountColor;
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
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section == RecountColumn)
            return QStringLiteral("複盤");
        return m_view.shows(section) ? StockMonth::title(section) : QString();
    }
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
