#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <memory>

class QTableView;

// The grid of the pick lists, the confirmation window's list and the preview's table: a
// QTableView over a model of our own, addressed as the suite's grid component is. Rows and
// columns count from 0; the first fixedRows() rows are fixed header rows (row 0, the title
// row, shows as the view's header). Cells hold text; each row carries one data value.
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

    // Appends a row from text split at the column clip separator (TAB by default).
    // The row gets as many cells as there are columns; surplus pieces are dropped.
    void addItem(const QString &rowText);
    // Appends rows whose cells are given one by one: a TAB or separator inside a cell
    // stays in that cell. The bulk form for loaders.
    void addRow(const QStringList &cells, const QVariant &rowData = QVariant());
    void addRows(QList<QStringList> rows, const QVariant &rowData = QVariant());

    // The column clip separator used by addItem is the first character (default TAB).
    void setClipSeparators(const QString &separators);

    // Titles and alignment from "|"-separated entries with an optional alignment prefix
    // ("<" left, "^" centre, ">" right); sets the column count and the texts of row 0.
    void setFormatString(const QString &format);
    void setColAlignment(int col, Alignment alignment);

    // Widths in twips; automatic sizing measures the texts of the given columns.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    void autoSize(int col1, int col2 = -1);

    // Current cell and scrolling. Rows below fixedRows() are not current.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    int topRow() const;
    void setTopRow(int row);

    // First row from startRow on (-1: the first data row) whose text in col equals text
    // (whole text) or begins with it (partial); -1 when none. Case-insensitive unless
    // caseSensitive.
    int findRow(const QString &text, int startRow, int col, bool caseSensitive = false,
                bool fullMatch = true) const;

    // Redraw off: changes are not shown until redraw is back on.
    bool redraw() const;
    void setRedraw(bool on);

    // Editing: whether the user may edit the cells (all but fixed columns; on by default).
    void setEditable(bool editable);
    bool isEditing() const;

    // Whole rows are highlighted as the current row (list windows); single cells otherwise.
    void setRowSelection(bool wholeRows);

    // Saves the rows as comma-separated text (RFC 4180 quoting, CR LF, UTF-8 with BOM).
    bool saveCsv(const QString &fileName) const;

    QTableView *view() const;

Q_SIGNALS:
    // The editor is being committed with *editText; set *cancel to keep the old text.
    // When not cancelled the cell takes *editText (a handler may change it).
    void validateEdit(int row, int col, bool *cancel, QString *editText);
    void clicked();
    // Key down on the grid (not in an open editor); set *handled to swallow the key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool *handled);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
