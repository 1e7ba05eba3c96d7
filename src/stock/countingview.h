#pragma once

#include "stock/stockcolumns.h"

#include <QList>
#include <QString>
#include <functional>

class StockMonth;

// Which of the month's figures a user sees. A group that counts blind (named in the
// parameter TOVRAN_BlindGroups) never sees a book figure: the columns of the books
// (opening, receipts, issues, losses, usage, adjustment, amounts, average price) do not
// exist for it, and a count cell that still holds the book balance stays blank. Everyone
// else sees every column. The stock grid's model, its display options and the stock report
// all ask this one view.
class CountingView : public StockColumns
{
public:
    // Month row facts the view needs to tell a count from a book balance.
    using RowTest = std::function<bool(int monthRow)>;

    CountingView() = default; // sees everything
    // A blind view. bookKept: the row's item is kept on the books (its count cell holds the
    // book balance until counted); hasCountLines: the row has current count lines.
    static CountingView blind(RowTest bookKept, RowTest hasCountLines);

    // Whether the group is one of the comma-separated groups, compared as the menu compares
    // group ids: blanks around an id and case do not matter.
    static bool isBlindGroup(const QString &blindGroups, const QString &grpId);
    // Whether the signed-in user's group counts blind (parameter TOVRAN_BlindGroups).
    static bool signedInUserCountsBlind();

    bool isBlind() const { return m_blind; }
    // The columns that hold what the books say. The count column is not one; the counted
    // quantity column is: for an item not kept on the books it repeats the count, and for
    // one kept on the books it holds what the suite stored there, which this program never
    // writes.
    static bool isBookFigure(int col);
    bool shows(int col) const { return !m_blind || !isBookFigure(col); }
    // The given columns less those this user does not see, in their order.
    QList<int> shown(const QList<int> &columns) const;
    // The cell's text as this user sees it: empty in a column not shown, and in the count
    // column of a book-kept row that no one has counted yet (no count lines, no adjustment:
    // it holds the book balance the month calculation put there).
    QString text(const StockMonth &month, int monthRow, int col) const;

private:
    bool m_blind = false;
    RowTest m_bookKept;
    RowTest m_hasCountLines;
};
