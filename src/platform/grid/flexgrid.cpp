#include "platform/grid/flexgrid.h"

#include "platform/grid/csvtext.h"
#include "platform/grid/gridmodel.h"
#include "platform/grid/gridview.h"
#include "platform/grid/textwidths.h"
#include "platform/widgets/screenunits.h"

#include <QEvent>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <numeric>

namespace {
// A sort that finds at most this many rows out of order after the ordered ones moves them
// one by one in the view instead of showing the whole grid anew.
constexpr int StepwiseMergeRows = 32;
} // namespace

struct FlexGrid::Impl : GridHost
{
    FlexGrid *q;
    GridModel *model;
    GridView *view;
    GridDelegate *delegate;

    bool redraw = true;
    bool dirty = false; // the structure changed since the view's rows were published
    bool publishQueued = false;
    bool syncing = false; // the grid itself moves the view's current cell
    bool inValidation = false;
    QString validationText;
    bool rowSelection = false;
    int curRow = -1;
    int curCol = 0;
    int pendingTopRow = -1;
    int sortCol = -1; // the column the data rows are sorted by, -1 when none
    // The leading data rows known to be in sortAscending's order of one column (text,
    // case-sensitive): a sort by it places only the rows after them, and a case-sensitive
    // whole-text search in it is a binary search while they are all the data rows.
    int orderedCol = -1;
    int orderedRows = 0;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    QChar colSeparator = QLatin1Char('\t');
    QChar rowSeparator = QLatin1Char('\r');

    explicit Impl(FlexGrid *grid) : q(grid) {}

    int dataRowCount() const { return model->rowCount() - model->fixedRows; }

    // A structural change (rows removed, reordered or renumbered, columns changed): the view
    // gets it in one reset.
    void structureChanged()
    {
        model->requireReset();
        rowsChanged();
    }

    // Rows appended, hidden or shown: the view gets them at once with redraw off only when
    // redraw comes back, otherwise when control returns to the event loop or the grid is read
    // (so a loop of single changes is told once, and a few changes as single rows).
    void rowsChanged()
    {
        keepCurrentInside();
        dirty = true;
        if (!redraw || publishQueued)
            return;
        publishQueued = true;
        view->setUpdatesEnabled(false);
        QMetaObject::invokeMethod(
            q,
            [this] {
                publishQueued = false;
                if (redraw && dirty)
                    publish();
            },
            Qt::QueuedConnection);
    }

    void ensurePublished()
    {
        if (redraw && dirty)
            publish();
    }

    int viewTopGridRow() const
    {
        const int r = model->gridRowOf(view->rowAt(0));
        return r >= 0 ? r : model->fixedRows;
    }

    void publish()
    {
        const int top = pendingTopRow >= 0 ? pendingTopRow : viewTopGridRow();
        pendingTopRow = -1;
        syncing = true;
        const bool editing = view->editing();
        model->publish();
        dirty = false;
        if (editing && delegate->editorOpen())
            view->resumeEditing();
        followEditor();
        view->horizontalHeader()->setVisible(model->fixedRows >= 1);
        applyColumns();
        applyCurrentToView();
        scrollToTop(top);
        syncing = false;
        if (redraw) {
            view->setUpdatesEnabled(true);
            view->viewport()->update();
        }
    }

    void applyColumns()
    {
        QHeaderView *header = view->horizontalHeader();
        const int n = std::min(model->colCount(), header->count());
        for (int c = 0; c < n; ++c) {
            const GridColumn &column = model->columns[c];
            const int width = column.widthPx >= 0 ? column.widthPx : header->defaultSectionSize();
            if (header->sectionSize(c) != width || column.hidden)
                header->resizeSection(c, width);
            view->setColumnHidden(c, column.hidden);
        }
    }

    // An open editor outlives stepwise changes and stays on its row: the current cell goes
    // with it wherever the row went.
    void followEditor()
    {
        if (!view->editing())
            return;
        const int row = model->gridRowOf(view->currentIndex().row());
        if (row >= 0 && row != curRow) {
            const int oldRow = curRow;
            curRow = row;
            Q_EMIT q->afterRowColChange(oldRow, curCol, curRow, curCol);
        }
    }

    void keepCurrentInside()
    {
        if (dataRowCount() <= 0)
            curRow = -1;
        else
            curRow = std::clamp(curRow, model->fixedRows, model->rowCount() - 1);
        if (model->colCount() <= 0)
            curCol = -1;
        else
            curCol = std::clamp(curCol, std::min(model->fixedCols, model->colCount() - 1),
                                model->colCount() - 1);
    }

    void applyCurrentToView()
    {
        if (dirty)
            return; // the next publish applies it
        const QModelIndex index = model->indexOf(curRow, curCol);
        const bool wasSyncing = syncing;
        syncing = true;
        if (index.isValid()) {
            QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
            if (rowSelection)
                flags |= QItemSelectionModel::Rows;
            view->selectionModel()->setCurrentIndex(index, flags);
        } else {
            view->selectionModel()->clear();
        }
        syncing = wasSyncing;
    }

    void scrollToTop(int gridRow)
    {
        // A hidden row: the first shown row after it.
        int modelRow = -1;
        for (int r = std::max(gridRow, model->fixedRows); r < model->rowCount(); ++r) {
            modelRow = model->modelRowOf(r);
            if (modelRow >= 0)
                break;
        }
        if (modelRow >= 0)
            view->scrollToTopRow(modelRow);
    }

    void setCurrent(int row, int col)
    {
        const int oldRow = curRow;
        const int oldCol = curCol;
        curRow = row;
        curCol = col;
        keepCurrentInside();
        applyCurrentToView();
        if (curRow != oldRow || curCol != oldCol)
            Q_EMIT q->afterRowColChange(oldRow, oldCol, curRow, curCol);
    }

    void onViewCurrentChanged(const QModelIndex &current)
    {
        if (syncing || dirty || !current.isValid())
            return;
        const int row = model->gridRowOf(current.row());
        if (row < 0)
            return;
        const int oldRow = curRow;
        const int oldCol = curCol;
        curRow = row;
        curCol = current.column();
        if (curRow != oldRow || curCol != oldCol)
            Q_EMIT q->afterRowColChange(oldRow, oldCol, curRow, curCol);
    }

    // The heading of the sorted column shows the order until rows come or go.
    void setSorted(int col, Qt::SortOrder order)
    {
        sortCol = col;
        sortOrder = order;
        QHeaderView *header = view->horizontalHeader();
        header->setSortIndicatorShown(col >= 0);
        if (col >= 0)
            header->setSortIndicator(col, order);
    }

    void rowsAddedOrRemoved()
    {
        if (sortCol >= 0)
            setSorted(-1, Qt::AscendingOrder);
        // Appended rows leave the rows before them in order; fewer rows keep a prefix of it.
        orderedRows = std::min(orderedRows, dataRowCount());
    }

    void orderLost()
    {
        orderedCol = -1;
        orderedRows = 0;
    }

    // A changed cell of the ordered column may break the order from its row on.
    void cellChanged(int row, int col)
    {
        if (col == orderedCol && row >= model->fixedRows)
            orderedRows = std::min(orderedRows, row - model->fixedRows);
    }

    // A row's text in the ordered column may have changed unseen (a source row): the order
    // holds while the row still sorts between its neighbours.
    void keyMayHaveChanged(int row)
    {
        const int at = row - model->fixedRows;
        if (orderedCol < 0 || at < 0 || at >= orderedRows)
            return;
        const QString key = model->cell(row, orderedCol);
        if ((at > 0 && model->cell(row - 1, orderedCol).compare(key) > 0) ||
            (at + 1 < orderedRows && key.compare(model->cell(row + 1, orderedCol)) > 0))
            cellChanged(row, orderedCol);
    }

    void headingClicked(int col)
    {
        // Sorting would pull the row from under an open editor; fixed columns are headings.
        if (col < model->fixedCols || col >= model->colCount() || q->isEditing())
            return;
        const bool again = col == sortCol && sortOrder == Qt::AscendingOrder;
        q->sort(col, again ? Qt::DescendingOrder : Qt::AscendingOrder);
    }

    // Puts the data rows in the given order of their positions among the data rows.
    void reorderDataRows(const std::vector<int> &order)
    {
        const auto first = model->rows.begin() + model->fixedRows;
        std::vector<GridRow> sorted;
        sorted.reserve(order.size());
        for (const int i : order)
            sorted.push_back(std::move(first[i]));
        std::move(sorted.begin(), sorted.end(), first);
        orderLost();
        structureChanged();
    }

    // Merges the rows from grid row start on, one by one, into the ordered rows before them
    // (each after its equals, as a stable sort puts it), moving each in the view as well:
    // the view keeps its rows, and the current cell stays where it was.
    template <typename Less> void mergeStepwise(int start, const Less &less)
    {
        const bool wasSyncing = syncing;
        syncing = true;
        for (int r = start; r < model->rowCount(); ++r) {
            const auto first = model->rows.begin() + model->fixedRows;
            const auto at = std::upper_bound(first, model->rows.begin() + r, model->rows[r], less);
            model->moveRow(r, static_cast<int>(at - model->rows.begin()));
        }
        syncing = wasSyncing;
        followEditor();
        applyCurrentToView();
        if (redraw)
            view->viewport()->update();
    }

    // Restyles rows r1..r2 one by one; a row styled as the one before it was takes that
    // row's new styles, shared, so that a column styled over many rows costs one list.
    template <typename Restyle> void restyle(int r1, int r2, const Restyle &restyleRow)
    {
        QList<quint16> before;
        QList<quint16> after;
        bool first = true;
        for (int r = r1; r <= r2; ++r) {
            QList<quint16> &styles = model->rows[r].styles;
            if (!first && styles == before) {
                styles = after;
                continue;
            }
            before = styles;
            restyleRow(r);
            after = model->rows[r].styles;
            first = false;
        }
    }

    void cellsRestyled()
    {
        if (redraw && !dirty)
            view->viewport()->update();
    }

    void updateFonts()
    {
        QFont bold = view->font();
        bold.setBold(true);
        model->boldFont = bold;
        model->fixedBackColor = view->palette().color(QPalette::Button);
        const int height = QFontMetrics(view->font()).height() + 6;
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setDefaultSectionSize(height);
    }

    int textMargin() const
    {
        return view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    }

    // GridHost
    bool allowEdit(const QModelIndex &index) override
    {
        const int row = model->gridRowOf(index.row());
        if (row < 0)
            return false;
        bool cancel = false;
        Q_EMIT q->beforeEdit(row, index.column(), &cancel);
        return !cancel;
    }

    bool validateEdit(const QModelIndex &index, QString *text) override
    {
        const int row = model->gridRowOf(index.row());
        if (row < 0)
            return false;
        bool cancel = false;
        inValidation = true;
        validationText = *text;
        Q_EMIT q->validateEdit(row, index.column(), &cancel, &validationText);
        inValidation = false;
        *text = validationText;
        return !cancel;
    }

    void applyEdit(const QModelIndex &index, const QString &text, bool validated) override
    {
        QString finalText = text;
        if (!validated && !validateEdit(index, &finalText))
            return;
        const int row = model->gridRowOf(index.row());
        if (row < 0)
            return;
        q->setTextMatrix(row, index.column(), finalText);
        Q_EMIT q->afterEdit(row, index.column());
    }

    bool validating() const override { return inValidation; }

    bool keyDown(int key, Qt::KeyboardModifiers modifiers) override
    {
        bool handled = false;
        Q_EMIT q->keyDown(key, modifiers, &handled);
        return handled;
    }

    bool keyPress(const QString &text) override
    {
        bool handled = false;
        Q_EMIT q->keyPress(text, &handled);
        return handled;
    }

    void clicked() override { Q_EMIT q->clicked(); }
    void doubleClicked() override { Q_EMIT q->doubleClicked(); }
};

FlexGrid::FlexGrid(QWidget *parent) : QWidget(parent), d(std::make_unique<Impl>(this))
{
    d->model = new GridModel(this);
    d->model->setColCount(1);
    d->model->setRowCount(1);
    d->view = new GridView(d.get(), this);
    d->view->setObjectName(QStringLiteral("gridView"));
    d->delegate = new GridDelegate(d.get(), d->model, d->view);
    d->view->setItemDelegate(d->delegate);
    d->view->setModel(d->model);
    d->view->setWordWrap(false);
    d->view->setSelectionMode(QAbstractItemView::SingleSelection);
    d->view->setSelectionBehavior(QAbstractItemView::SelectItems);
    d->view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    d->view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    d->view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    d->view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    d->view->verticalHeader()->hide();
    d->view->horizontalHeader()->setSectionsClickable(false);
    d->view->horizontalHeader()->setHighlightSections(false);
    // The headings show neither the current cell nor the selection: they need not repaint
    // whenever the current cell moves (as the headings' own view they would).
    QObject::disconnect(d->view->selectionModel(), nullptr, d->view->horizontalHeader(), nullptr);
    d->view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    d->updateFonts();
    setFocusProxy(d->view);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);

    connect(d->view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { d->onViewCurrentChanged(current); });
    connect(d->view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int col) { d->headingClicked(col); });
    d->publish();
}

FlexGrid::~FlexGrid()
{
    // The view, its editor and delegate call back into the grid's state: they go first.
    delete d->view;
}

int FlexGrid::rows() const
{
    return d->model->rowCount();
}

void FlexGrid::setRows(int rows)
{
    if (rows < 0 || rows == d->model->rowCount())
        return;
    d->model->setRowCount(rows); // fewer rows: the model asks for a reset itself
    d->rowsAddedOrRemoved();
    d->rowsChanged();
}

int FlexGrid::cols() const
{
    return d->model->colCount();
}

void FlexGrid::setCols(int cols)
{
    if (cols < 0 || cols == d->model->colCount())
        return;
    d->model->setColCount(cols);
    if (d->orderedCol >= cols)
        d->orderLost();
    d->structureChanged();
}

int FlexGrid::fixedRows() const
{
    return d->model->fixedRows;
}

void FlexGrid::setFixedRows(int fixedRows)
{
    fixedRows = std::clamp(fixedRows, 0, 1);
    if (fixedRows == d->model->fixedRows)
        return;
    if (d->model->rowCount() < fixedRows)
        d->model->setRowCount(fixedRows);
    d->model->fixedRows = fixedRows;
    d->orderLost();
    d->structureChanged();
}

int FlexGrid::fixedCols() const
{
    return d->model->fixedCols;
}

void FlexGrid::setFixedCols(int fixedCols)
{
    d->model->fixedCols = std::clamp(fixedCols, 0, d->model->colCount());
    d->keepCurrentInside();
    d->cellsRestyled();
}

QString FlexGrid::textMatrix(int row, int col) const
{
    return d->model->cell(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    GridModel *m = d->model;
    if (row < 0 || row >= m->rowCount() || col < 0 || col >= m->colCount())
        return;
    m->setCell(row, col, text);
    d->cellChanged(row, col);
    if (!d->redraw || d->dirty)
        return;
    if (row < m->fixedRows) {
        Q_EMIT m->headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex index = m->indexOf(row, col);
        if (index.isValid())
            Q_EMIT m->dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
}

QVariant FlexGrid::rowData(int row) const
{
    if (row < 0 || row >= d->model->rowCount())
        return QVariant();
    return d->model->rows[row].data;
}

void FlexGrid::setRowData(int row, const QVariant &value)
{
    if (row >= 0 && row < d->model->rowCount())
        d->model->rows[row].data = value;
}

int FlexGrid::rowKey(int row) const
{
    if (row < 0 || row >= d->model->rowCount())
        return -1;
    return d->model->rows[row].key;
}

void FlexGrid::setRowKey(int row, int key)
{
    if (row >= 0 && row < d->model->rowCount())
        d->model->rows[row].key = key;
}

void FlexGrid::addItem(const QString &rowText)
{
    d->model->appendRow(rowText.split(d->colSeparator), QVariant());
    d->rowsAddedOrRemoved();
    d->rowsChanged();
}

void FlexGrid::addRow(const QStringList &cells, const QVariant &rowData)
{
    d->model->appendRow(cells, rowData);
    d->rowsAddedOrRemoved();
    d->rowsChanged();
}

void FlexGrid::addRows(QList<QStringList> rows, const QVariant &rowData)
{
    if (rows.isEmpty())
        return;
    if (d->model->rows.empty()) // a fill; a row or two more grow the rows geometrically
        d->model->rows.reserve(rows.size());
    for (QStringList &cells : rows)
        d->model->appendRow(std::move(cells), rowData);
    d->rowsAddedOrRemoved();
    d->rowsChanged();
}

void FlexGrid::setCellSource(CellSource source)
{
    d->model->source = std::move(source);
    d->orderLost();
    d->cellsRestyled();
}

void FlexGrid::addSourceRows(const QList<int> &keys, const QVariant &rowData)
{
    if (keys.isEmpty())
        return;
    if (d->model->rows.empty())
        d->model->rows.reserve(keys.size());
    for (const int key : keys)
        d->model->appendSourceRow(key, rowData);
    d->rowsAddedOrRemoved();
    d->rowsChanged();
}

void FlexGrid::refreshRow(int row)
{
    GridModel *m = d->model;
    if (row < m->fixedRows || row >= m->rowCount())
        return;
    d->keyMayHaveChanged(row);
    if (!d->redraw || d->dirty)
        return;
    const QModelIndex first = m->indexOf(row, 0);
    if (first.isValid())
        Q_EMIT m->dataChanged(first, m->index(first.row(), m->columnCount(QModelIndex()) - 1));
}

void FlexGrid::clearData()
{
    setRows(fixedRows());
}

void FlexGrid::setClipSeparators(const QString &separators)
{
    d->colSeparator = separators.size() > 0 ? separators[0] : QLatin1Char('\t');
    d->rowSeparator = separators.size() > 1 ? separators[1] : QLatin1Char('\r');
}

QString FlexGrid::clipSeparators() const
{
    return QString(d->colSeparator) + d->rowSeparator;
}

void FlexGrid::setFormatString(const QString &format)
{
    const QStringList entries = format.split(QLatin1Char('|'));
    setCols(static_cast<int>(entries.size()));
    const QFontMetrics fm(d->view->horizontalHeader()->font());
    const int margin = 2 * d->view->style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    for (int c = 0; c < entries.size(); ++c) {
        QString title = entries[c];
        Alignment alignment = AlignGeneral;
        if (title.startsWith(QLatin1Char('<')))
            alignment = AlignLeft;
        else if (title.startsWith(QLatin1Char('^')))
            alignment = AlignCenter;
        else if (title.startsWith(QLatin1Char('>')))
            alignment = AlignRight;
        if (alignment != AlignGeneral)
            title.remove(0, 1);
        d->model->columns[c].alignment = alignment;
        if (rows() > 0)
            setTextMatrix(0, c, title);
        // The titles set the widths until the caller sets its own.
        d->model->columns[c].widthPx = fm.horizontalAdvance(title) + margin;
        d->model->columns[c].widthTwips = -1;
    }
    d->applyColumns();
    d->cellsRestyled();
}

void FlexGrid::setColAlignment(int col, Alignment alignment)
{
    if (col < 0 || col >= cols())
        return;
    d->model->columns[col].alignment = alignment;
    d->cellsRestyled();
}

FlexGrid::Alignment FlexGrid::colAlignment(int col) const
{
    if (col < 0 || col >= cols())
        return AlignGeneral;
    return d->model->columns[col].alignment;
}

bool FlexGrid::rowHidden(int row) const
{
    if (row < 0 || row >= rows())
        return false;
    return d->model->rows[row].hidden;
}

void FlexGrid::setRowHidden(int row, bool hidden)
{
    if (row < 0 || row >= rows() || d->model->rows[row].hidden == hidden)
        return;
    d->model->rows[row].hidden = hidden;
    if (row >= fixedRows()) {
        d->model->noteVisibilityChanged(row);
        d->rowsChanged();
    }
}

bool FlexGrid::colHidden(int col) const
{
    if (col < 0 || col >= cols())
        return false;
    return d->model->columns[col].hidden;
}

void FlexGrid::setColHidden(int col, bool hidden)
{
    if (col < 0 || col >= cols())
        return;
    d->model->columns[col].hidden = hidden;
    if (col < d->view->horizontalHeader()->count())
        d->view->setColumnHidden(col, hidden);
}

int FlexGrid::colWidth(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    const GridColumn &column = d->model->columns[col];
    if (column.widthTwips >= 0)
        return column.widthTwips;
    const int px =
        column.widthPx >= 0 ? column.widthPx : d->view->horizontalHeader()->defaultSectionSize();
    return qRound(ScreenPixelsToTwips(px));
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    GridColumn &column = d->model->columns[col];
    column.widthTwips = twips >= 0 ? twips : -1;
    column.widthPx = twips >= 0 ? ScreenTwipsToPixels(twips) : -1;
    d->applyColumns();
}

void FlexGrid::autoSize(int col1, int col2)
{
    if (col2 < 0)
        col2 = col1;
    if (col1 > col2)
        std::swap(col1, col2);
    col1 = std::max(col1, 0);
    col2 = std::min(col2, cols() - 1);
    if (col1 > col2)
        return;
    GridModel *m = d->model;
    TextWidths plain(d->view->font());
    TextWidths bold(m->boldFont);
    TextWidths header(d->view->horizontalHeader()->font());
    const int cellMargin = 2 * d->textMargin() + 2;
    const int headerMargin = 2 * d->view->style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    for (int c = col1; c <= col2; ++c) {
        int widest = 0;
        for (int r = 0; r < m->rowCount(); ++r) {
            const QString &text = m->cell(r, c);
            if (text.isEmpty())
                continue;
            if (r < m->fixedRows)
                widest = std::max(widest, header.width(text) + headerMargin);
            else if (m->style(r, c) & StyleBold)
                widest = std::max(widest, bold.width(text) + cellMargin);
            else
                widest = std::max(widest, plain.width(text) + cellMargin);
        }
        GridColumn &column = m->columns[c];
        column.widthPx = std::max(widest, cellMargin + 4);
        column.widthTwips = -1;
    }
    d->applyColumns();
}

int FlexGrid::row() const
{
    return d->curRow;
}

void FlexGrid::setRow(int row)
{
    if (row < fixedRows() || row >= rows())
        return;
    d->ensurePublished();
    d->setCurrent(row, d->curCol);
}

int FlexGrid::col() const
{
    return d->curCol;
}

void FlexGrid::setCol(int col)
{
    if (col < 0 || col >= cols())
        return;
    d->ensurePublished();
    d->setCurrent(d->curRow, col);
}

int FlexGrid::topRow() const
{
    if (d->pendingTopRow >= 0)
        return d->pendingTopRow;
    d->ensurePublished();
    return d->viewTopGridRow();
}

void FlexGrid::setTopRow(int row)
{
    if (row < fixedRows() || row >= rows())
        return;
    d->ensurePublished();
    if (d->dirty)
        d->pendingTopRow = row;
    else
        d->scrollToTop(row);
}

int FlexGrid::findRow(const QString &text, int startRow, int col, bool caseSensitive,
                      bool fullMatch) const
{
    if (col < 0 || col >= cols())
        return -1;
    if (startRow < 0)
        startRow = fixedRows();
    const GridModel *m = d->model;
    if (caseSensitive && fullMatch && col == d->orderedCol && d->orderedRows == d->dataRowCount() &&
        startRow >= m->fixedRows) {
        int low = startRow;
        int high = m->rowCount();
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (m->cell(mid, col).compare(text) < 0)
                low = mid + 1;
            else
                high = mid;
        }
        const int r = low;
        return r < m->rowCount() && m->cell(r, col) == text ? r : -1;
    }
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int r = startRow; r < rows(); ++r) {
        const QString &cell = m->cell(r, col);
        if (fullMatch ? cell.compare(text, cs) == 0 : cell.startsWith(text, cs))
            return r;
    }
    return -1;
}

void FlexGrid::sortAscending(int col1, int col2)
{
    if (col1 > col2)
        std::swap(col1, col2);
    col1 = std::max(col1, 0);
    col2 = std::min(col2, cols() - 1);
    if (col1 > col2)
        return;
    GridModel *m = d->model;
    const int fixed = m->fixedRows;
    const int n = d->dataRowCount();
    const int width = col2 - col1 + 1;
    // The texts of col1..col2 of every data row, read once (a source row's come from the
    // source): many comparisons read each.
    std::vector<QString> keys;
    const auto readKeys = [&] {
        keys.reserve(static_cast<size_t>(n) * width);
        for (int r = fixed; r < m->rowCount(); ++r)
            for (int c = col1; c <= col2; ++c)
                keys.push_back(m->cell(r, c));
    };
    const auto keyLess = [&keys, width](int a, int b) {
        for (int c = 0; c < width; ++c) {
            const int order =
                keys[size_t(a) * width + c].compare(keys[size_t(b) * width + c], Qt::CaseSensitive);
            if (order != 0)
                return order < 0;
        }
        return false;
    };
    // Rows already in order stay where they are: only the rows after them are sorted and
    // merged in (stably, so the result is the full stable sort's), and a grid already in
    // order is neither reordered nor shown anew, nor read: a scan sorts a sorted grid.
    const bool known = col1 == col2 && col1 == d->orderedCol;
    int middle = n;
    if (known) {
        middle = d->orderedRows;
    } else {
        readKeys();
        middle = std::min(n, 1);
        while (middle < n && !keyLess(middle, middle - 1))
            ++middle;
    }
    if (middle < n) {
        d->ensurePublished();
        if (d->redraw && !d->dirty && n - middle <= StepwiseMergeRows) {
            d->mergeStepwise(fixed + middle, [m, col1, col2](const GridRow &a, const GridRow &b) {
                for (int c = col1; c <= col2; ++c) {
                    const int order = m->textOf(a, c).compare(m->textOf(b, c), Qt::CaseSensitive);
                    if (order != 0)
                        return order < 0;
                }
                return false;
            });
        } else {
            if (keys.empty())
                readKeys();
            std::vector<int> positions(static_cast<size_t>(n));
            std::iota(positions.begin(), positions.end(), 0);
            std::stable_sort(positions.begin() + middle, positions.end(), keyLess);
            std::inplace_merge(positions.begin(), positions.begin() + middle, positions.end(),
                               keyLess);
            d->reorderDataRows(positions);
        }
    }
    if (col1 == col2) {
        d->orderedCol = col1;
        d->orderedRows = d->dataRowCount();
    } else {
        d->orderLost();
    }
    d->setSorted(col1 == col2 ? col1 : -1, Qt::AscendingOrder);
    Q_EMIT afterSort(col1, Qt::AscendingOrder);
}

void FlexGrid::setHeadingSort(bool on)
{
    d->view->horizontalHeader()->setSectionsClickable(on);
}

bool FlexGrid::headingSort() const
{
    return d->view->horizontalHeader()->sectionsClickable();
}

void FlexGrid::sort(int col, Qt::SortOrder order)
{
    GridModel *m = d->model;
    if (col < 0 || col >= cols())
        return;
    const int n = m->rowCount() - m->fixedRows;
    std::vector<int> positions(static_cast<size_t>(std::max(n, 0)));
    std::iota(positions.begin(), positions.end(), 0);
    // Each text read once (a source row's come from the source).
    std::vector<QString> texts;
    texts.reserve(positions.size());
    bool numeric = false;
    bool decided = false;
    for (int r = m->fixedRows; r < m->rowCount(); ++r) {
        texts.push_back(m->cell(r, col));
        if (decided || texts.back().isEmpty())
            continue;
        numeric = LooksNumeric(texts.back());
        decided = !numeric;
    }
    const bool descending = order == Qt::DescendingOrder;
    if (numeric) {
        // Empty cells count as the smallest values.
        std::vector<double> keys(positions.size());
        for (int i = 0; i < n; ++i)
            keys[i] =
                texts[i].isEmpty() ? -std::numeric_limits<double>::infinity() : texts[i].toDouble();
        std::stable_sort(positions.begin(), positions.end(), [&keys, descending](int a, int b) {
            return descending ? keys[b] < keys[a] : keys[a] < keys[b];
        });
    } else {
        std::stable_sort(positions.begin(), positions.end(), [&texts, descending](int a, int b) {
            const int cmp = texts[a].compare(texts[b], Qt::CaseInsensitive);
            return descending ? cmp > 0 : cmp < 0;
        });
    }
    if (n >= 2)
        d->reorderDataRows(positions);
    d->setSorted(col, order);
    Q_EMIT afterSort(col, order);
}

void FlexGrid::setCellBackColor(int row1, int col1, int row2, int col2, const QColor &color)
{
    GridModel *m = d->model;
    const quint16 code = m->colorCode(color);
    const int r1 = std::max(std::min(row1, row2), 0);
    const int r2 = std::min(std::max(row1, row2), rows() - 1);
    const int c1 = std::max(std::min(col1, col2), 0);
    const int c2 = std::min(std::max(col1, col2), cols() - 1);
    d->restyle(r1, r2, [&](int r) {
        for (int c = c1; c <= c2; ++c)
            m->setStyle(r, c, static_cast<quint16>((m->style(r, c) & ~StyleColorMask) | code));
    });
    d->cellsRestyled();
}

QColor FlexGrid::cellBackColor(int row, int col) const
{
    return d->model->colorOf(d->model->style(row, col));
}

void FlexGrid::setCellBold(int row1, int col1, int row2, int col2, bool bold)
{
    GridModel *m = d->model;
    const int r1 = std::max(std::min(row1, row2), 0);
    const int r2 = std::min(std::max(row1, row2), rows() - 1);
    const int c1 = std::max(std::min(col1, col2), 0);
    const int c2 = std::min(std::max(col1, col2), cols() - 1);
    d->restyle(r1, r2, [&](int r) {
        for (int c = c1; c <= c2; ++c) {
            const quint16 old = m->style(r, c);
            m->setStyle(r, c, bold ? (old | StyleBold) : (old & ~StyleBold));
        }
    });
    d->cellsRestyled();
}

bool FlexGrid::cellBold(int row, int col) const
{
    return d->model->style(row, col) & StyleBold;
}

bool FlexGrid::redraw() const
{
    return d->redraw;
}

void FlexGrid::setRedraw(bool on)
{
    if (on == d->redraw)
        return;
    d->redraw = on;
    if (!on) {
        d->view->setUpdatesEnabled(false);
        return;
    }
    if (d->dirty) {
        d->publish();
        return;
    }
    d->view->setUpdatesEnabled(true);
    if (d->model->fixedRows >= 1 && cols() > 0)
        Q_EMIT d->model->headerDataChanged(Qt::Horizontal, 0, cols() - 1);
    d->view->viewport()->update();
}

void FlexGrid::setEditable(bool editable)
{
    d->model->editable = editable;
}

bool FlexGrid::isEditing() const
{
    return d->inValidation || d->view->editing();
}

QString FlexGrid::editText() const
{
    if (d->inValidation)
        return d->validationText;
    QLineEdit *box = d->delegate->editor();
    if (box && d->view->editing())
        return box->text();
    return QString();
}

void FlexGrid::editCell()
{
    d->ensurePublished();
    const QModelIndex index = d->model->indexOf(d->curRow, d->curCol);
    if (index.isValid())
        d->view->edit(index);
}

void FlexGrid::setRowSelection(bool wholeRows)
{
    d->rowSelection = wholeRows;
    d->view->setSelectionBehavior(wholeRows ? QAbstractItemView::SelectRows
                                            : QAbstractItemView::SelectItems);
    d->applyCurrentToView();
}

bool FlexGrid::saveCsv(const QString &fileName) const
{
    QList<QStringList> lines;
    lines.reserve(rows());
    for (int r = 0; r < rows(); ++r) {
        QStringList fields;
        fields.reserve(cols());
        for (int c = 0; c < cols(); ++c)
            fields.append(d->model->cell(r, c));
        lines.append(std::move(fields));
    }
    return WriteCsvFile(fileName, lines);
}

QTableView *FlexGrid::view() const
{
    d->ensurePublished();
    return d->view;
}

void FlexGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        d->view->setFont(font());
        d->updateFonts();
    }
    QWidget::changeEvent(event);
}
