#pragma once

#include "platform/grid/flexgrid.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <vector>

// One grid row. A row may hold fewer cells than the grid has columns (missing cells are
// empty), so growing the column count costs nothing per row. Style codes exist only for
// rows that have a styled cell.
struct GridRow
{
    QStringList cells;
    QVariant data;
    int key = -1; // the owner's own index of the row (e.g. into its model); travels along
    QList<quint16> styles;
    bool hidden = false;
};

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
// data rows, which is rebuilt by publish() in one model reset. Between a structural change
// and the next publish the view keeps reading the old list (every access is bounds-checked),
// which is what makes bulk changes with redraw off cheap.
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

    const QString &cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);
    // Appends one row from its cells; cells beyond the column count are dropped.
    void appendRow(QStringList cells, const QVariant &data);

    quint16 style(int row, int col) const;
    void setStyle(int row, int col, quint16 code);
    quint16 colorCode(const QColor &color); // adds the colour to the table when new
    QColor colorOf(quint16 code) const;

    // The view's list of shown rows, rebuilt in one model reset.
    void publish();
    int modelRowOf(int gridRow) const; // -1 when the row is not shown (or not published)
    int gridRowOf(int modelRow) const; // -1 when out of range
    QModelIndex indexOf(int gridRow, int col) const;

    int rowCount(const QModelIndex &parent) const override;
    int columnCount(const QModelIndex &parent) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<int> m_shown; // model row -> grid row, ascending
    int m_publishedCols = 0;
    QList<QColor> m_colors; // index 0 unused (no colour)
    QList<QVariant> m_brushes;
};

// Whether text reads as a number (sign, digits, one decimal point), for general alignment.
bool LooksNumeric(const QString &text);
