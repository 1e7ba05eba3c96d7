#pragma once

#include <QList>
#include <QSortFilterProxyModel>
#include <vector>

class StockMonthModel;

// The stock grid's rows: the month's rows the display options leave shown, in the order of
// the query or of the last sort. A sort is stable (equal rows keep their order) and orders by
// the rows' values when it was made: a count typed into a grid sorted by counts does not move
// its row away. Rows added or shown again take their places in the order at once (a binary
// search, where sorting 200,000 rows again would take a third of a second).
class StockRowsProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit StockRowsProxy(StockMonthModel *model, QObject *parent = nullptr);

    // By item number as text, ascending and case-sensitive, as the item lookup orders the
    // grid; a grid already in that order is not sorted again.
    void sortByItemNumber();
    // By one column, as a heading click sorts: as numbers when every filled cell of the
    // column holds one, else as text regardless of case.
    void sortByColumn(int col, Qt::SortOrder order);
    // The order of the query: rows as the month holds them.
    void unsort();

    // The month row of the item shown first in the grid's order, hidden rows included;
    // -1 when the month lacks the item.
    int findItem(const QString &stkNo) const;
    // Month rows in the grid's order; with hidden ones, each where the order puts it.
    QList<int> monthRows(bool withHidden) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    bool rowLessThan(int left, int right) const;
    void sortRows(int col, Qt::SortOrder order, bool numeric, bool caseSensitive);
    // The sort keys of the rows up to `row`: taken when a sort is made, for later rows when
    // they are first compared.
    void takeKeys(int row) const;
    bool sortedByItemNumber() const;

    StockMonthModel *m_model;
    int m_keyColumn = -1; // the column the keys are of
    bool m_numeric = false;
    bool m_caseSensitive = false;
    mutable std::vector<QString> m_texts;  // by month row (text sorts)
    mutable std::vector<double> m_numbers; // by month row (number sorts; empty cells lowest)
};
