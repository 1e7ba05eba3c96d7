#include "stockwindow/stockgridview.h"

#include "platform/widgets/screenunits.h"
#include "stock/stockcolumns.h"
#include "stockwindow/counteditdelegate.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

StockGridView::StockGridView(StockMonthModel *model, QWidget *parent)
    : QTableView(parent), m_model(model), m_rows(new StockRowsProxy(model, this)),
      m_delegate(new CountEditDelegate(this))
{
    setModel(m_rows);
    setItemDelegate(m_delegate);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &StockGridView::headingClicked);
    connect(m_delegate, &CountEditDelegate::enterCommitted, this, &StockGridView::moveAfterEnter);
    // Rows the proxy leaves out around an open editor end the view's editing state though
    // the editor stays open: it is taken up again.
    connect(m_rows, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (m_delegate->editor())
            setState(EditingState);
    });
}

int StockGridView::currentMonthRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_rows->mapToSource(current).row() : -1;
}

int StockGridView::currentColumn() const
{
    return currentIndex().column();
}

bool StockGridView::setCurrentCell(int monthRow, int col)
{
    const QModelIndex index = m_rows->mapFromSource(m_model->index(monthRow, col));
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    return true;
}

void StockGridView::scrollToTopRow(int monthRow)
{
    const QModelIndex index = m_rows->mapFromSource(m_model->index(monthRow, 0));
    if (index.isValid())
        scrollTo(index, QAbstractItemView::PositionAtTop);
}

QLineEdit *StockGridView::editor() const
{
    return isEditing() ? m_delegate->editor() : nullptr;
}

void StockGridView::editCurrentCell()
{
    edit(currentIndex(), QAbstractItemView::EditKeyPressed, nullptr);
}

void StockGridView::setColumnWidthTwips(int col, int twips)
{
    setColumnWidth(col, ScreenTwipsToPixels(twips));
}

void StockGridView::sizeColumnsToContents(int first, int last)
{
    for (int c = first; c <= last; ++c)
        resizeColumnToContents(c);
}

bool StockGridView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (index.isValid() && state() != EditingState) {
        bool opens = trigger == AllEditTriggers || (trigger & editTriggers());
        // Keys that type no character (Esc, Backspace, arrows) open no editor.
        if (opens && trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent *>(event)->text();
            opens =
                !text.isEmpty() && text.front() >= QLatin1Char(' ') && text.front() != QChar(0x7F);
        }
        if (!opens && trigger == AnyKeyPressed)
            return false;
        if (opens) {
            bool cancel = false;
            Q_EMIT beforeEdit(m_rows->mapToSource(index).row(), index.column(), &cancel);
            if (cancel)
                return false;
        }
    }
    return QTableView::edit(index, trigger, event);
}

void StockGridView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F1:
        // F1 opens a cell's drop-down list; the grid has none, so F1 must not move.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Never a dialog's default button behind the grid's back.
        event->accept();
        moveAfterEnter();
        return;
    case Qt::Key_Escape:
        event->ignore(); // the window decides
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void StockGridView::moveAfterEnter()
{
    // Down a row in the count column, where the clerk counts item after item; elsewhere on
    // to the next cell.
    const CursorAction action = currentColumn() == StockColumns::ColSTKQty ? MoveDown : MoveNext;
    const QModelIndex next = moveCursor(action, Qt::NoModifier);
    if (next.isValid())
        setCurrentIndex(next);
}

void StockGridView::headingClicked(int col)
{
    // Sorting would pull the row from under an open editor.
    if (isEditing())
        return;
    const bool again = m_rows->sortColumn() == col && m_rows->sortOrder() == Qt::AscendingOrder;
    m_rows->sortByColumn(col, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}
