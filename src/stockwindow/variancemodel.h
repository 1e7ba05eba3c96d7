#pragma once

#include "stock/variancereview.h"

#include <QAbstractTableModel>
#include <QColor>

class StockMonth;

// The variance review as its list shows it: a row per review line, the review's columns,
// figures right-aligned, gains and losses in the chart's colours.
class VarianceModel : public QAbstractTableModel, public VarianceColumns
{
    Q_OBJECT
public:
    VarianceModel(const StockMonth &month, QObject *parent = nullptr);

    void setReview(VarianceReview review);
    const VarianceReview &review() const { return m_review; }
    const VarianceLine &line(int row) const { return m_review.lines.at(row); }
    // The list row of a month row, -1 when the review does not list it.
    int rowOfMonthRow(int monthRow) const;

    // The colours of gains and losses, in the list and the chart.
    static QColor gainColor() { return QColor(0x2e, 0x7d, 0x32); }
    static QColor lossColor() { return QColor(0xc6, 0x28, 0x28); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const StockMonth &m_month;
    VarianceReview m_review;
};
