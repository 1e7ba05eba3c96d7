#pragma once

#include "stock/countingview.h"
#include "stock/stockcolumns.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

class StockMonth;
struct RowCount;

// The loaded month as the stock grid shows it: a row per month row, the grid's 24 columns and
// the recount mark's. Texts come from the month; the count and price cells are bold on their
// own colours, the count cell's tooltip lists the row's count lines, and a row two clerks
// disagree on has its item cells coloured. The display options hide rows here (the grid's
// proxy leaves them out); an edit of the count or price column goes to the edit handler,
// which checks and writes it.
class StockMonthModel : public QAbstractTableModel, public StockColumns
{
    Q_OBJECT
public:
    // Checks and writes an edit of the row's count or price; false: refused, nothing written.
    using EditHandler = std::function<bool(int monthRow, int col, const QString &text)>;

    // The row's count lines and recount mark.
    using CountOf = std::function<const RowCount &(int monthRow)>;
    // The column after the grid's: "需複盤" on a row marked for recount.
    static constexpr int RecountColumn = ColumnCount;

    explicit StockMonthModel(const StockMonth &month, QObject *parent = nullptr);

    void setCountOf(CountOf countOf) { m_countOf = std::move(countOf); }
    // The row's current count lines as a text, one line each (empty when it has none).
    QString countLinesText(int monthRow) const;
    const StockMonth &month() const { return m_month; }
    void setEditHandler(EditHandler handler) { m_editHandler = std::move(handler); }

    // The month was read anew (or emptied): every row shown again.
    void reload();
    // The month's row was appended to it.
    void rowAppended(int monthRow);
    // The month's row was written here or elsewhere: its cells show it again.
    void rowChanged(int monthRow);

    bool isRowHidden(int monthRow) const;
    void setRowHidden(int monthRow, bool hidden);
    // Hides or shows every row for which `affects` holds, at once (a display option).
    void setRowsHidden(const std::function<bool(int monthRow)> &affects, bool hidden);

    static bool isEditableColumn(int col) { return col == ColSTKQty || col == ColAvgPrice; }

    // What this user sees of the month: a column the view does not show has no title, text
    // or flags here (every cell is shown again when the view is set).
    const CountingView &countingView() const { return m_view; }
    void setCountingView(CountingView view);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // Rows were hidden or shown.
    void hiddenRowsChanged();

private:
    const StockMonth &m_month;
    std::vector<bool> m_hidden; // by month row
    EditHandler m_editHandler;
    CountOf m_countOf;
    CountingView m_view;
};
