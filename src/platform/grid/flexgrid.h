#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>

class QTableView;

// The program's grid: a QTableView over a model of our own, addressed as the suite's
// grid component is. Rows and columns count from 0; the first fixedRows() rows are fixed
// header rows (row 0, the title row, shows as the view's header). Cells hold text; each
// row carries one data value. Built to stay fast at 50,000 rows of 24 columns.
class FlexGrid : public QWidget
{
    Q_OBJECT
public:
    enum Alignment { AlignGeneral, AlignLeft, AlignCenter, AlignRight };

    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    // Structure. Setting rows or columns keeps existing cells and adds empty ones.
    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    int fixedRows() const; // 0 or 1
    void setFixedRows(int fixedRows);
    int fixedCols() const; // leading columns shown as row headings (not editable)
    void setFixedCols(int fixedCols);

    // Cells.
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    QVariant rowData(int row) const;
    void setRowData(int row, const QVariant &value);
    // An owner's key of the row (-1 when none): it travels with the row through sorts, so a
    // grid row can always name the model row it shows.
    int rowKey(int row) const;
    void setRowKey(int row, int key);

    // Appends a row from text split at the column clip separator (TAB by default).
    // The row gets as many cells as there are columns; surplus pieces are dropped.
    void addItem(const QString &rowText);
    // Appends rows whose cells are given one by one: a TAB or separator inside a cell
    // stays in that cell. The bulk form for loaders.
    void addRow(const QStringList &cells, const QVariant &rowData = QVariant());
    void addRows(QList<QStringList> rows, const QVariant &rowData = QVariant());
    // Rows whose texts come from their owner: the cell source gives the text of a column of
    // the row with a key (rowKey). Such a row keeps no texts of its own; a text set on it is
    // kept only while it differs from the source's. When the owner's texts of a row change,
    // refreshRow shows them.
    using CellSource = std::function<QString(int key, int col)>;
    void setCellSource(CellSource source);
    void addSourceRows(const QList<int> &keys, const QVariant &rowData = QVariant());
    void refreshRow(int row);
    // Removes data rows (rows := fixed rows) — same as setRows(fixedRows()).
    void clearData();

    // Column clip separator and row clip separator used by addItem (defaults TAB and CR).
    void setClipSeparators(const QString &separators);
    QString clipSeparators() const;

    // Titles and alignment from "|"-separated entries with an optional alignment prefix
    // ("<" left, "^" centre, ">" right); sets the column count and the texts of row 0.
    void setFormatString(const QString &format);
    void setColAlignment(int col, Alignment alignment);
    Alignment colAlignment(int col) const;

    // Visibility.
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);

    // Widths in twips; automatic sizing measures the texts of the given columns.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    void autoSize(int col1, int col2 = -1);

    // Current cell, selection and scrolling. Rows below fixedRows() are not current.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    int topRow() const;
    void setTopRow(int row);

    // First row from startRow on whose text in col equals text (whole text) or begins
    // with it (partial); -1 when none. Case-insensitive unless caseSensitive. A
    // case-sensitive whole-text search in the column of the last sortAscending is a binary
    // search while the rows are still in that order.
    int findRow(const QString &text, int startRow, int col, bool caseSensitive = false,
                bool fullMatch = true) const;

    // Reorders the data rows by the texts of columns col1..col2, ascending, compared as
    // text and case-sensitively; row data, hidden states and cell styles travel along.
    // Rows already in that order are not moved: sorting again after appending rows only
    // places the new ones, and an ordered grid is not reordered at all.
    void sortAscending(int col1, int col2);
    // Whether a click on a data column's heading sorts the rows by that column (a second
    // click descending). Off by default: lists whose order means something keep it.
    void setHeadingSort(bool on);
    bool headingSort() const;
    // Reorders the data rows by one column: as numbers when every filled cell of the column holds
    // one, else as text regardless of case. Equal cells keep their order; row data, hidden states
    // and cell styles travel along. Both sorts leave the current cell and the top row where they
    // were and end with afterSort.
    void sort(int col, Qt::SortOrder order);

    // Cell styles on a range of cells (fixed rows included when named).
    void setCellBackColor(int row1, int col1, int row2, int col2, const QColor &color);
    QColor cellBackColor(int row, int col) const;
    void setCellBold(int row1, int col1, int row2, int col2, bool bold);
    bool cellBold(int row, int col) const;

    // Redraw off: changes are not shown and cost no repaint until redraw is back on.
    bool redraw() const;
    void setRedraw(bool on);

    // Editing: which columns the user may start editing (all by default); the before-edit
    // and validate-edit signals can still refuse.
    void setEditable(bool editable);
    bool isEditing() const;
    QString editText() const; // the text in the open editor
    void editCell();          // opens the editor on the current cell

    // Whole rows are highlighted as the current row (list windows); single cells otherwise.
    void setRowSelection(bool wholeRows);

    // Saves the rows as comma-separated text (RFC 4180 quoting, CR LF, UTF-8 with BOM).
    bool saveCsv(const QString &fileName) const;

    QTableView *view() const;

Q_SIGNALS:
    // An edit is about to start on (row, col); set *cancel to refuse it.
    void beforeEdit(int row, int col, bool *cancel);
    // The editor is being committed with *editText; set *cancel to keep the old text.
    // When not cancelled the cell takes *editText (a handler may change it).
    void validateEdit(int row, int col, bool *cancel, QString *editText);
    void afterEdit(int row, int col);
    void clicked();
    void doubleClicked();
    // Key down on the grid (not in an open editor); set *handled to swallow the key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool *handled);
    // A character typed on the grid; set *handled to swallow it.
    void keyPress(const QString &text, bool *handled);
    void afterRowColChange(int oldRow, int oldCol, int newRow, int newCol);
    // The data rows were reordered by col (sortAscending: its first column), so an order
    // the owner relied on may be gone.
    void afterSort(int col, Qt::SortOrder order);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
