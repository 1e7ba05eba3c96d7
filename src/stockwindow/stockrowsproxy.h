#pragma once

#include <QList>
#include <QSortFilterProxyModel>

class StockMonthModel;

// The stock grid's rows: the month's rows the display options leave shown, in the order of
// the query or of the last sort. A sort is stable (equal rows keep their order); rows keep
// their places until the next sort.
class StockRowsProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit StockRowsProxy(StockMonthModel *model, QObject *parent = nullptr);

    // By item number as text, ascending and case-sensitive, as the item lookup orders the
    // grid; rows already in that order are not sorted again.
    void sortByItemNumber();
    // By one column, as a heading click sorts: as numbers when every filled cell of the
    // column holds one, else as text regardless of case.
    void sortByColumn(int col, Qt::SortOrder order);
    // The order of the query: rows as the month holds them.
    void unsort();

    // Month rows in the grid's order; with hidden ones, each where the order puts it.
    QList<int> monthRows(bool withHidden) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    bool rowLessThan(int left, int right) const;
    void sortRows(int col, Qt::SortOrder order);

    StockMonthModel *m_model;
    bool m_numeric = false;
    bool m_caseSensitive = false;
    bool m_outOfOrder = false; // rows came in since the last sort
};
