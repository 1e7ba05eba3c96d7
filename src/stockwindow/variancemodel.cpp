#include "stockwindow/variancemodel.h"

#include "stock/stockmonth.h"

VarianceModel::VarianceModel(const StockMonth &month, QObject *parent)
    : QAbstractTableModel(parent), m_month(month)
{
}

void VarianceModel::setReview(VarianceReview review)
{
    beginResetModel();
    m_review = std::move(review);
    endResetModel();
}

int VarianceModel::rowOfMonthRow(int monthRow) const
{
    for (qsizetype row = 0; row < m_review.lines.size(); ++row)
        if (m_review.lines[row].index == monthRow)
            return int(row);
    return -1;
}

int VarianceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_review.lines.size());
}

int VarianceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant VarianceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const VarianceLine &l = line(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(m_month, l, index.column());
    case Qt::TextAlignmentRole:
        return int((isFigure(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if ((index.column() == ColDifference || index.column() == ColValue) && l.value != 0)
            return l.value > 0 ? gainColor() : lossColor();
        return {};
    default:
        return {};
    }
}

QVariant VarianceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return title(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
