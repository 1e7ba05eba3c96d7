#include "platform/grid/gridmodel.h"

#include <QBrush>
#include <algorithm>
#include <cstring>

namespace {

// More changes than this since the last publish reach the view in one model reset: a reset
// costs about as much as a few hundred single-row changes of a large grid, and tells a bulk
// change in one signal.
constexpr size_t MaxStepwiseChanges = 64;

// The columns whose texts a source row can hold itself (one bit each).
constexpr int SourceOwnColumns = 32;

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
            if (cols < SourceOwnColumns)
                r.own &= (1u << cols) - 1;
            if (r.styles.size() > cols)
                r.styles.resize(cols);
        }
    }
    fixedCols = std::min(fixedCols, cols);
}

void GridModel::setRowCount(int count)
{
    count = std::max(0, count);
    if (count < m_publishedRows)
        m_resetNeeded = true;
    rows.resize(count);
    fixedRows = std::min(fixedRows, count);
}

QString GridModel::cell(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return QString();
    return textOf(rows[row], col);
}

QString GridModel::textOf(const GridRow &row, int col) const
{
    if (row.sourced && !(col < SourceOwnColumns && (row.own >> col) & 1u))
        return source ? source(row.key, col) : QString();
    return col < row.cells.size() ? row.cells[col] : QString();
}

void GridModel::setCell(int row, int col, const QString &text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return;
    GridRow &r = rows[row];
    QStringList &cells = r.cells;
    if (r.sourced) {
        const QString sourced = source ? source(r.key, col) : QString();
        if (col < SourceOwnColumns && text == sourced) {
            r.own &= ~(1u << col);
            if (r.own == 0)
                cells = QStringList();
            return;
        }
        if (col >= SourceOwnColumns) {
            // Beyond the columns a source row can hold: the row takes all its texts.
            QStringList all;
            all.reserve(colCount());
            for (int c = 0; c < colCount(); ++c)
                all.append(textOf(r, c));
            cells = std::move(all);
            r.sourced = false;
            r.own = 0;
        } else {
            r.own |= 1u << col;
        }
    }
    if (cells.size() <= col) {
        if (text.isEmpty() && !r.sourced)
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

void GridModel::appendSourceRow(int key, const QVariant &data)
{
    GridRow row;
    row.data = data;
    row.key = key;
    row.sourced = true;
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

void GridModel::noteVisibilityChanged(int row)
{
    if (m_resetNeeded || row >= m_publishedRows)
        return; // an appended row is published from its own state
    if (m_toggled.size() >= MaxStepwiseChanges) {
        m_resetNeeded = true;
        m_toggled.clear();
        return;
    }
    m_toggled.push_back(row);
}

bool GridModel::upToDate() const
{
    return !m_resetNeeded && m_toggled.empty() && m_publishedRows == rowCount() &&
           m_publishedCols == colCount();
}

void GridModel::publish()
{
    const size_t appended = static_cast<size_t>(std::max(0, rowCount() - m_publishedRows));
    if (m_resetNeeded || m_publishedCols != colCount() ||
        appended + m_toggled.size() > MaxStepwiseChanges)
        resetShown();
    else
        publishSteps();
}

void GridModel::resetShown()
{
    beginResetModel();
    m_shown.clear();
    m_shown.reserve(rows.size());
    for (int r = fixedRows; r < rowCount(); ++r) {
        if (!rows[r].hidden)
            m_shown.push_back(r);
    }
    m_publishedCols = colCount();
    m_publishedRows = rowCount();
    m_resetNeeded = false;
    m_toggled.clear();
    endResetModel();
}

void GridModel::publishSteps()
{
    // Rows hidden or shown in between: each is one removal or insertion (a row toggled
    // twice is where it was).
    std::sort(m_toggled.begin(), m_toggled.end());
    m_toggled.erase(std::unique(m_toggled.begin(), m_toggled.end()), m_toggled.end());
    for (const int row : m_toggled) {
        if (row < fixedRows)
            continue;
        const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), row);
        const int at = static_cast<int>(it - m_shown.begin());
        const bool listed = it != m_shown.end() && *it == row;
        if (rows[row].hidden && listed) {
            beginRemoveRows(QModelIndex(), at, at);
            m_shown.erase(it);
            endRemoveRows();
        } else if (!rows[row].hidden && !listed) {
            beginInsertRows(QModelIndex(), at, at);
            m_shown.insert(it, row);
            endInsertRows();
        }
    }
    m_toggled.clear();
    // Appended rows: one insertion at the end.
    std::vector<int> appended;
    for (int r = std::max(m_publishedRows, fixedRows); r < rowCount(); ++r) {
        if (!rows[r].hidden)
            appended.push_back(r);
    }
    m_publishedRows = rowCount();
    if (appended.empty())
        return;
    const int first = static_cast<int>(m_shown.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(appended.size()) - 1);
    m_shown.insert(m_shown.end(), appended.begin(), appended.end());
    endInsertRows();
}

// Rows are relocatable (Qt's containers and QVariant are): the rows between the two places
// shift as bytes instead of being swapped one by one, which on a grid of 200,000 rows is
// the difference between a fraction of a millisecond and ten.
void GridModel::relocateRow(int from, int to)
{
    static_assert(QTypeInfo<QStringList>::isRelocatable && QTypeInfo<QVariant>::isRelocatable &&
                  QTypeInfo<QList<quint16>>::isRelocatable);
    GridRow *const base = rows.data();
    alignas(GridRow) unsigned char moving[sizeof(GridRow)];
    std::memcpy(moving, static_cast<void *>(base + from), sizeof(GridRow));
    if (to < from)
        std::memmove(static_cast<void *>(base + to + 1), static_cast<void *>(base + to),
                     sizeof(GridRow) * size_t(from - to));
    else
        std::memmove(static_cast<void *>(base + from), static_cast<void *>(base + from + 1),
                     sizeof(GridRow) * size_t(to - from));
    std::memcpy(static_cast<void *>(base + to), moving, sizeof(GridRow));
}

void GridModel::moveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= rowCount() || to >= rowCount())
        return;
    relocateRow(from, to);
    if (!upToDate()) {
        m_resetNeeded = true;
        return;
    }
    // The rows between the two places shift by one toward the place the row left.
    const int low = std::min(from, to);
    const int high = std::max(from, to);
    const int shift = to < from ? 1 : -1;
    const auto renumber = [&] {
        auto it = std::lower_bound(m_shown.begin(), m_shown.end(), low);
        for (; it != m_shown.end() && *it <= high; ++it)
            *it += shift;
    };
    const auto source = std::lower_bound(m_shown.begin(), m_shown.end(), from);
    if (source == m_shown.end() || *source != from) {
        renumber(); // a hidden row: every shown row keeps its place in the view
        return;
    }
    const int src = static_cast<int>(source - m_shown.begin());
    // The view's row before which it lands, counted before the move.
    const int dst =
        static_cast<int>((to < from ? std::lower_bound(m_shown.begin(), m_shown.end(), to)
                                    : std::upper_bound(m_shown.begin(), m_shown.end(), to)) -
                         m_shown.begin());
    const bool moves = dst != src && dst != src + 1;
    if (moves)
        beginMoveRows(QModelIndex(), src, src, QModelIndex(), dst);
    m_shown.erase(m_shown.begin() + src);
    renumber();
    m_shown.insert(std::lower_bound(m_shown.begin(), m_shown.end(), to), to);
    if (moves)
        endMoveRows();
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

Qt::Alignment GridModel::alignmentOf(int col, const QString &text) const
{
    return toQt(columns[col].alignment, text);
}

int GridModel::backgroundIndex(int row, int col) const
{
    const int at = style(row, col) & StyleColorMask;
    if (at > 0 && at < m_colors.size())
        return at;
    return col < fixedCols ? -1 : 0;
}

GridCellLook GridModel::look(int modelRow, int col) const
{
    GridCellLook look;
    const int row = gridRowOf(modelRow);
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount())
        return look;
    look.text = cell(row, col);
    look.alignment = alignmentOf(col, look.text);
    const int back = backgroundIndex(row, col);
    look.background = back < 0 ? fixedBackColor : m_colors[back];
    look.bold = style(row, col) & StyleBold;
    return look;
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
        // Only general alignment depends on the text.
        return QVariant::fromValue(alignmentOf(
            col, columns[col].alignment == FlexGrid::AlignGeneral ? cell(row, col) : QString()));
    case Qt::BackgroundRole: {
        const int back = backgroundIndex(row, col);
        if (back < 0)
            return QBrush(fixedBackColor);
        return m_brushes[back];
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
