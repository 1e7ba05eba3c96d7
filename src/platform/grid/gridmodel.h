#pragma once

#include "platform/grid/flexgrid.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

// One grid row. A row holds its texts itself, or takes them from the grid's cell source by
// its key (a source row): then it holds only the texts set on it that differ from the
// source's. A row may hold fewer cells than the grid has columns (missing cells are empty),
// so growing the column count costs nothing per row. Style codes exist only for rows that
// have a styled cell, and rows styled alike share them.
struct GridRow
{
    QStringList cells; // a source row: the texts of the columns in `own`, others unused
    QVariant data;
    QList<quint16> styles;
    int key = -1;    // the owner's own index of the row (e.g. into its model); travels along
    quint32 own = 0; // a source row: the columns (bit per column) whose text the row holds
    bool hidden = false;
    bool sourced = false;
};

// What a cell shows, read in one go for painting it.
struct GridCellLook
{
    QString text;
    Qt::Alignment alignment;
    QColor background; // invalid: the view's own
    bool bold = false;
};

// The texts of source rows: the text of column col of the row with the given key.
using GridCellSource = std::function<QString(int key, int col)>;

// Per-column state kept by the grid itself, so it survives model resets.
struct GridColumn
{
    int widthPx = -1;    // -1: the view's default width
    int widthTwips = -1; // the width as set in twips, -1 when set in pixels or default
    bool hidden = false;
    FlexGrid::Alignment alignment = FlexGrid::AlignGeneral;
};

// A cell style code: the low 15 bits index the colour table (0 = no colour of its own),
// the top bit makes the text bold.
constexpr quint16 StyleBold = 0x8000;
constexpr quint16 StyleColorMask = 0x7FFF;

// The grid's storage and the table model the view reads. The storage (rows, columns) is
// addressed by grid row, fixed rows included; the view sees the published list of shown
// data rows, which publish() brings up to date. Between a change and the next publish the
// view keeps reading the old list (every access is bounds-checked), which is what makes bulk
// changes with redraw off cheap. A few rows appended, hidden or shown since the last publish
// reach the view as row insertions and removals (its current cell, selection and open editor
// stay with their rows); anything else, or more rows, in one model reset.
class GridModel : public QAbstractTableModel
{
public:
    explicit GridModel(QObject *parent = nullptr);

    std::vector<GridRow> rows;
    std::vector<GridColumn> columns;
    int fixedRows = 1;
    int fixedCols = 0;
    bool editable = true;
    QFont boldFont;
    QColor fixedBackColor;

    int colCount() const { return static_cast<int>(columns.size()); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    void setColCount(int cols);
    void setRowCount(int count);

    QString cell(int row, int col) const;
    QString textOf(const GridRow &row, int col) const;
    // A source row keeps a text only while it differs from the source's.
    void setCell(int row, int col, const QString &text);
    // Appends one row from its cells; cells beyond the column count are dropped.
    void appendRow(QStringList cells, const QVariant &data);
    // Appends one source row.
    void appendSourceRow(int key, const QVariant &data);
    GridCellSource source;

    quint16 style(int row, int col) const;
    void setStyle(int row, int col, quint16 code);
    quint16 colorCode(const QColor &color); // adds the colour to the table when new
    QColor colorOf(quint16 code) const;

    // The view's list of shown rows brought up to date.
    void publish();
    // Rows were removed, reordered or renumbered: the next publish is a model reset.
    void requireReset() { m_resetNeeded = true; }
    // The row was hidden or shown since the last publish.
    void noteVisibilityChanged(int row);
    // Moves one row of the storage to another place, the view's list along with it when it
    // is up to date (nothing waits to be published), else the next publish is a reset.
    void moveRow(int from, int to);
    bool upToDate() const;
    int modelRowOf(int gridRow) const; // -1 when the row is not shown (or not published)
    int gridRowOf(int modelRow) const; // -1 when out of range
    QModelIndex indexOf(int gridRow, int col) const;

    // The look of a cell of the view (a model row), as data() gives it role by role.
    GridCellLook look(int modelRow, int col) const;

    int rowCount(const QModelIndex &parent) const override;
    int columnCount(const QModelIndex &parent) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    Qt::Alignment alignmentOf(int col, const QString &text) const;
    // The cell's colour table index; 0 when it has no colour of its own, -1 for a fixed
    // column's cell (the fixed colour).
    int backgroundIndex(int row, int col) const;
    void resetShown();
    void publishSteps();

    std::vector<int> m_shown; // model row -> grid row, ascending
    int m_publishedCols = 0;
    int m_publishedRows = 0;    // storage rows at the last publish; rows after it are appended
    bool m_resetNeeded = true;  // the published list no longer names the rows it showed
    std::vector<int> m_toggled; // rows hidden or shown since the last publish
    QList<QColor> m_colors;     // index 0 unused (no colour)
    QList<QVariant> m_brushes;

    void relocateRow(int from, int to);
};

// Whether text reads as a number (sign, digits, one decimal point), for general alignment.
bool LooksNumeric(const QString &text);
