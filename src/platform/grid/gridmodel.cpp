#include "platform/grid/gridmodel.h"

#include <QBrush>
#include <algorithm>

bool LooksNumeric(const QString &text)
{
    const int n = static_cast<int>(text.size());
    int i = 0;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

void GridModel::setColCount(int cols)
{
    cols = std::max(0, cols);
    columns.resize(cols);
    for (GridRow &r : rows) {
        if (r.cells.size() > cols)
            r.cells.resize(cols);
    }
    fixedCols = std::min(fixedCols, cols);
}

void GridModel::setRowCount(int count)
{
    count = std::max(0, count);
    if (count < rowCount())
        m_resetNeeded = true;
    rows.resize(count);
    fixedRows = std::min(fixedRows, count);
}

QString GridModel::cell(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return QString();
    return rows[row].cells.value(col);
}

void GridModel::setCell(int row, int col, const QString &text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return;
    QStringList &cells = rows[row].cells;
    if (cells.size() <= col) {
        if (text.isEmpty())
            return;
        cells.resize(col + 1);
    }
    cells[col] = text;
}

void GridModel::appendRow(QStringList cells, const QVariant &data)
{
    if (cells.size() > colCount())
        cells.resize(colCount());
    rows.push_back({std::move(cells), data});
}

void GridModel::publish()
{
    const int dataRows = std::max(0, rowCount() - fixedRows);
    if (m_resetNeeded || m_shownCols != colCount()) {
        beginResetModel();
        m_shownRows = dataRows;
        m_shownCols = colCount();
        m_resetNeeded = false;
        endResetModel();
    } else if (dataRows > m_shownRows) {
        beginInsertRows(QModelIndex(), m_shownRows, dataRows - 1);
        m_shownRows = dataRows;
        endInsertRows();
    }
}

int GridModel::modelRowOf(int gridRow) const
{
    const int r = gridRow - fixedRows;
    return r >= 0 && r < m_shownRows ? r : -1;
}

int GridModel::gridRowOf(int modelRow) const
{
    return modelRow >= 0 && modelRow < m_shownRows ? modelRow + fixedRows : -1;
}

QModelIndex GridModel::indexOf(int gridRow, int col) const
{
    const int r = modelRowOf(gridRow);
    if (r < 0 || col < 0 || col >= m_shownCols)
        return QModelIndex();
    return index(r, col);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownCols;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    const int row = gridRowOf(index.row());
    const int col = index.column();
    if (row < 0 || row >= rowCount() || col >= colCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(row, col);
    case Qt::TextAlignmentRole:
        switch (columns[col].alignment) {
        case FlexGrid::AlignLeft:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case FlexGrid::AlignCenter:
            return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
        case FlexGrid::AlignRight:
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        case FlexGrid::AlignGeneral:
            break;
        }
        return QVariant::fromValue((LooksNumeric(cell(row, col)) ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return col < fixedCols ? QVariant(QBrush(fixedBackColor)) : QVariant();
    default:
        return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || fixedRows < 1 || section < 0 || section >= colCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cell(0, section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return QVariant();
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable && index.column() >= fixedCols)
        f |= Qt::ItemIsEditable;
    return f;
}
