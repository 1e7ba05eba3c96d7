#include "platform/grid/flexgrid.h"

#include "platform/grid/csvtext.h"
#include "platform/grid/gridmodel.h"
#include "platform/grid/gridview.h"
#include "platform/widgets/screenunits.h"

#include <QEvent>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

struct FlexGrid::Impl : GridHost
{
    FlexGrid *q;
    GridModel *model;
    GridView *view;

    bool redraw = true;
    bool dirty = false; // the storage changed since the view was told
    bool publishQueued = false;
    bool syncing = false; // the grid itself moves the view's current cell
    bool inValidation = false;
    bool rowSelection = false;
    int curRow = -1;
    int curCol = 0;
    int pendingTopRow = -1;
    QChar colSeparator = QLatin1Char('\t');

    explicit Impl(FlexGrid *grid) : q(grid) {}

    // Rows or columns changed: the view is told when redraw is on again, else when control
    // returns to the event loop or the grid is read, so that a loop of single changes tells
    // it once.
    void structureChanged()
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
                ensurePublished();
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
        model->publish();
        dirty = false;
        view->horizontalHeader()->setVisible(model->fixedRows >= 1);
        applyColumns();
        applyCurrentToView();
        scrollToTop(top);
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
            const int width = model->columns[c].widthPx;
            header->resizeSection(c, width >= 0 ? width : header->defaultSectionSize());
        }
    }

    void keepCurrentInside()
    {
        if (model->rowCount() <= model->fixedRows)
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
        const int modelRow = model->modelRowOf(std::max(gridRow, model->fixedRows));
        if (modelRow >= 0)
            view->scrollToTopRow(modelRow);
    }

    void setCurrent(int row, int col)
    {
        curRow = row;
        curCol = col;
        keepCurrentInside();
        applyCurrentToView();
    }

    void onViewCurrentChanged(const QModelIndex &current)
    {
        if (syncing || dirty || !current.isValid())
            return;
        const int row = model->gridRowOf(current.row());
        if (row < 0)
            return;
        curRow = row;
        curCol = current.column();
    }

    void updateFonts()
    {
        model->fixedBackColor = view->palette().color(QPalette::Button);
        const int height = QFontMetrics(view->font()).height() + 6;
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setDefaultSectionSize(height);
    }

    // GridHost
    bool validateEdit(const QModelIndex &index, QString *text) override
    {
        const int row = model->gridRowOf(index.row());
        if (row < 0)
            return false;
        bool cancel = false;
        inValidation = true;
        Q_EMIT q->validateEdit(row, index.column(), &cancel, text);
        inValidation = false;
        return !cancel;
    }

    void applyEdit(const QModelIndex &index, const QString &text, bool validated) override
    {
        QString finalText = text;
        if (!validated && !validateEdit(index, &finalText))
            return;
        const int row = model->gridRowOf(index.row());
        if (row >= 0)
            q->setTextMatrix(row, index.column(), finalText);
    }

    bool validating() const override { return inValidation; }

    bool keyDown(int key, Qt::KeyboardModifiers modifiers) override
    {
        bool handled = false;
        Q_EMIT q->keyDown(key, modifiers, &handled);
        return handled;
    }

    void clicked() override { Q_EMIT q->clicked(); }
};

FlexGrid::FlexGrid(QWidget *parent) : QWidget(parent), d(std::make_unique<Impl>(this))
{
    d->model = new GridModel(this);
    d->model->setColCount(1);
    d->model->setRowCount(1);
    d->view = new GridView(d.get(), this);
    d->view->setObjectName(QStringLiteral("gridView"));
    d->view->setItemDelegate(new GridDelegate(d.get(), d->view));
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
    d->view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    d->updateFonts();
    setFocusProxy(d->view);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);

    connect(d->view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { d->onViewCurrentChanged(current); });
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
    d->model->setRowCount(rows);
    d->structureChanged();
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
    d->model->requireReset();
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
    if (d->redraw && !d->dirty)
        d->view->viewport()->update();
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
    if (!d->redraw || d->dirty)
        return; // shown when the view is told
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

void FlexGrid::addItem(const QString &rowText)
{
    addRow(rowText.split(d->colSeparator));
}

void FlexGrid::addRow(const QStringList &cells, const QVariant &rowData)
{
    d->model->appendRow(cells, rowData);
    d->structureChanged();
}

void FlexGrid::addRows(QList<QStringList> rows, const QVariant &rowData)
{
    if (rows.isEmpty())
        return;
    if (d->model->rows.empty()) // a fill; a row or two more grow the rows geometrically
        d->model->rows.reserve(rows.size());
    for (QStringList &cells : rows)
        d->model->appendRow(std::move(cells), rowData);
    d->structureChanged();
}

void FlexGrid::setClipSeparators(const QString &separators)
{
    d->colSeparator = separators.isEmpty() ? QLatin1Char('\t') : separators[0];
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
        setColAlignment(c, alignment);
        setTextMatrix(0, c, title);
        // The titles set the widths until the caller sets its own.
        d->model->columns[c].widthPx = fm.horizontalAdvance(title) + margin;
        d->model->columns[c].widthTwips = -1;
    }
    d->applyColumns();
}

void FlexGrid::setColAlignment(int col, Alignment alignment)
{
    if (col < 0 || col >= cols())
        return;
    d->model->columns[col].alignment = alignment;
    if (d->redraw && !d->dirty)
        d->view->viewport()->update();
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
    const GridModel *m = d->model;
    const QFontMetrics cellFont(d->view->font());
    const QFontMetrics headerFont(d->view->horizontalHeader()->font());
    // The item view style keeps a margin either side of a cell's text.
    const QStyle *style = d->view->style();
    const int cellMargin =
        2 * style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, d->view) + 4;
    const int headerMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    for (int c = col1; c <= col2; ++c) {
        int widest = 0;
        for (int r = 0; r < m->rowCount(); ++r) {
            const QString text = m->cell(r, c);
            if (text.isEmpty())
                continue;
            const bool title = r < m->fixedRows;
            widest = std::max(widest, title ? headerFont.horizontalAdvance(text) + headerMargin
                                            : cellFont.horizontalAdvance(text) + cellMargin);
        }
        GridColumn &column = d->model->columns[c];
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
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int r = startRow; r < rows(); ++r) {
        const QString cell = d->model->cell(r, col);
        if (fullMatch ? cell.compare(text, cs) == 0 : cell.startsWith(text, cs))
            return r;
    }
    return -1;
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
