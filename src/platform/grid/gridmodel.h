#pragma once

#include "platform/grid/flexgrid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QVariant>
#include <vector>

// One grid row. It may hold fewer cells than the grid has columns (missing cells are empty).
struct GridRow
{
    QStringList cells;
    QVariant data;
};

// Per-column state kept by the grid itself, so it survives model resets.
struct GridColumn
{
    int widthPx = -1;    // -1: the view's default width
    int widthTwips = -1; // the width as set in twips, -1 when set in pixels or default
    FlexGrid::Alignment alignment = FlexGrid::AlignGeneral;
};

// The grid's storage and the table model the view reads. The storage is addressed by grid
// row, fixed rows included; the view sees the data rows. Changes to the storage reach the
// view when publish() is called, so that a loop adding rows one by one tells it once: rows
// only appended since the last publish as one insertion (an open editor and the current
// cell stay), anything else as a model reset. Until then every read is bounds-checked.
class GridModel : public QAbstractTableModel
{
public:
    explicit GridModel(QObject *parent = nullptr);

    std::vector<GridRow> rows;
    std::vector<GridColumn> columns;
    int fixedRows = 1;
    int fixedCols = 0;
    bool editable = true;
    QColor fixedBackColor;

    int colCount() const { return static_cast<int>(columns.size()); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    void setColCount(int cols);
    void setRowCount(int count);

    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);
    // Appends one row; cells beyond the column count are dropped.
    void appendRow(QStringList cells, const QVariant &data);

    // The view's rows and columns brought up to date with the storage.
    void publish();
    // Rows were removed or renumbered: the next publish is a model reset.
    void requireReset() { m_resetNeeded = true; }
    int modelRowOf(int gridRow) const; // -1 when the view does not show the row
    int gridRowOf(int modelRow) const; // -1 when out of range
    QModelIndex indexOf(int gridRow, int col) const;

    int rowCount(const QModelIndex &parent) const override;
    int columnCount(const QModelIndex &parent) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int m_shownRows = 0; // data rows the view was told of
    int m_shownCols = 0;
    bool m_resetNeeded = true;
};

// Whether text reads as a number (sign, digits, one decimal point), for general alignment.
bool LooksNumeric(const QString &text);
