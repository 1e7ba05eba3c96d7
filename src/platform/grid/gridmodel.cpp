#include "platform/grid/gridmodel.h"

#include <QBrush>
#include <algorithm>

namespace {
const QString EmptyText;

Qt::Alignment toQt(FlexGrid::Alignment alignment, const QString &text)
{
    switch (alignment) {
    case FlexGrid::AlignLeft:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexGrid::AlignCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case FlexGrid::AlignRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    case FlexGrid::AlignGeneral:
        break;
    }
    return (LooksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}
} // namespace

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

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_colors.append(QColor());
    m_brushes.append(QVariant());
}

void GridModel::setColCount(int cols)
{
    cols = std::max(0, cols);
    const int old = colCount();
    columns.resize(cols);
    if (cols < old) {
        for (GridRow &r : rows) {
            if (r.cells.size() > cols)
                r.cells.resize(cols);
            if (r.styles.size() > cols)
                r.styles.resize(cols);
        }
    }
    fixedCols = std::min(fixedCols, cols);
}

void GridModel::setRowCount(int count)
{
    count = std::max(0, count);
    rows.resize(count);
    fixedRows = std::min(fixedRows, count);
}

const QString &GridModel::cell(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return EmptyText;
    const QStringList &cells = rows[row].cells;
    return col < cells.size() ? cells[col] : EmptyText;
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
    GridRow row;
    row.cells = std::move(cells);
    row.data = data;
    rows.push_back(std::move(row));
}

quint16 GridModel::style(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0)
        return 0;
    const QList<quint16> &styles = rows[row].styles;
    return col < styles.size() ? styles[col] : 0;
}

void GridModel::setStyle(int row, int col, quint16 code)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return;
    QList<quint16> &styles = rows[row].styles;
    if (styles.size() <= col) {
        if (code == 0)
            return;
        styles.resize(colCount(), 0);
    }
    styles[col] = code;
}

quint16 GridModel::colorCode(const QColor &color)
{
    if (!color.isValid())
        return 0;
    const qsizetype at = m_colors.indexOf(color);
    if (at > 0)
        return static_cast<quint16>(at);
    if (m_colors.size() > StyleColorMask)
        return 0; // table full: more distinct colours than any window uses
    m_colors.append(color);
    m_brushes.append(QVariant(QBrush(color)));
    return static_cast<quint16>(m_colors.size() - 1);
}

QColor GridModel::colorOf(quint16 code) const
{
    const int at = code & StyleColorMask;
    return at < m_colors.size() ? m_colors[at] : QColor();
}

void GridModel::publish()
{
    beginResetModel();
    m_shown.clear();
    m_shown.reserve(rows.size());
    for (int r = fixedRows; r < rowCount(); ++r) {
        if (!rows[r].hidden)
            m_shown.push_back(r);
    }
    m_publishedCols = colCount();
    endResetModel();
}

int GridModel::modelRowOf(int gridRow) const
{
    const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), gridRow);
    if (it == m_shown.end() || *it != gridRow)
        return -1;
    return static_cast<int>(it - m_shown.begin());
}

int GridModel::gridRowOf(int modelRow) const
{
    if (modelRow < 0 || modelRow >= static_cast<int>(m_shown.size()))
        return -1;
    return m_shown[modelRow];
}

QModelIndex GridModel::indexOf(int gridRow, int col) const
{
    const int r = modelRowOf(gridRow);
    if (r < 0 || col < 0 || col >= m_publishedCols)
        return QModelIndex();
    return index(r, col);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_publishedCols;
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
        return QVariant::fromValue(toQt(columns[col].alignment, cell(row, col)));
    case Qt::BackgroundRole: {
        const int at = style(row, col) & StyleColorMask;
        if (at > 0 && at < m_brushes.size())
            return m_brushes[at];
        if (col < fixedCols)
            return QBrush(fixedBackColor);
        return QVariant();
    }
    case Qt::FontRole:
        if (style(row, col) & StyleBold)
            return boldFont;
        return QVariant();
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
