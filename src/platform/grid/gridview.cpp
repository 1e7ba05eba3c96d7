#include "platform/grid/gridview.h"

#include "platform/grid/gridmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleFactory>

bool IsTypedCharacter(const QString &text)
{
    if (text.isEmpty())
        return false;
    const char16_t c = text.front().unicode();
    return c >= 0x20 && c != 0x7F;
}

GridDelegate::GridDelegate(GridHost *host, const GridModel *model, QObject *parent)
    : QStyledItemDelegate(parent), m_host(host), m_model(model)
{
}

namespace {
QPalette::ColorGroup colorGroup(const QStyleOptionViewItem &option)
{
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}
} // namespace

// A plain cell is its background and its text, drawn here as the item view style draws them
// but without a style call and a full style option per cell: a screen of a wide grid is
// hundreds of cells. The few cells the style marks (selected, the current cell's focus
// frame, the cell under the mouse) are left to the style.
void GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    if (option.state &
        (QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver)) {
        paintStyled(painter, option, index);
        return;
    }
    const GridCellLook look = m_model->look(index.row(), index.column());
    if (look.text.isEmpty()) {
        if (look.background.isValid())
            painter->fillRect(option.rect, look.background);
        return;
    }
    // Texts are drawn with the pen's brush alone; most cells keep the last cell's.
    const QColor &textColor = option.palette.color(colorGroup(option), QPalette::Text);
    const QPen &pen = painter->pen();
    if (pen.color() != textColor || pen.brush().style() != Qt::SolidPattern)
        painter->setPen(textColor);
    const QFont &font = look.bold ? boldFont(option.font) : option.font;
    // An alternate row's ground is the style's, painted under the cell.
    const QColor ground = look.background.isValid()                           ? look.background
                          : option.features & QStyleOptionViewItem::Alternate ? QColor()
                                                                              : viewGround(option);
    if (!ground.isValid()) {
        drawText(painter, option, look.text, font, look.alignment);
        return;
    }
    m_pictures.draw(painter, option.rect, textArea(option), ground, look.text, font, look.alignment,
                    option.textElideMode, option.direction);
}

// The colour the view fills its cells' ground with, or none when that is not one colour.
QColor GridDelegate::viewGround(const QStyleOptionViewItem &option)
{
    const auto *view = qobject_cast<const QAbstractScrollArea *>(option.widget);
    if (!view)
        return QColor();
    const QWidget *viewport = view->viewport();
    if (!viewport->autoFillBackground())
        return QColor();
    const QBrush &brush = viewport->palette().brush(viewport->backgroundRole());
    return brush.style() == Qt::SolidPattern ? brush.color() : QColor();
}

// The style draws the cell (background, selection, focus frame) without its text; the text
// is drawn as for plain cells.
void GridDelegate::paintStyled(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget *widget = cell.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;
    painter->setPen(cell.palette.color(colorGroup(cell), cell.state & QStyle::State_Selected
                                                             ? QPalette::HighlightedText
                                                             : QPalette::Text));
    drawText(painter, cell, text, cell.font, cell.displayAlignment);
}

// The cell inside the margins the item view style keeps for its text.
QRect GridDelegate::textArea(const QStyleOptionViewItem &option)
{
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return option.rect.adjusted(margin, 0, -margin, 0);
}

void GridDelegate::drawText(QPainter *painter, const QStyleOptionViewItem &option,
                            const QString &text, const QFont &font, Qt::Alignment alignment) const
{
    m_texts.draw(painter, option.rect, textArea(option), text, font, alignment,
                 option.textElideMode, option.direction);
}

// The model's bold font completed from the view's, as the style option takes it.
const QFont &GridDelegate::boldFont(const QFont &viewFont) const
{
    if (!m_boldResolved || !m_boldOf.isCopyOf(viewFont) ||
        !m_boldFrom.isCopyOf(m_model->boldFont)) {
        m_boldResolved = true;
        m_boldOf = viewFont;
        m_boldFrom = m_model->boldFont;
        m_bold = m_model->boldFont.resolve(viewFont);
    }
    return m_bold;
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                    const QModelIndex &index) const
{
    auto *box = new QLineEdit(parent);
    box->setFrame(false);
    box->setObjectName(QStringLiteral("gridEditor"));
    m_editor = box;
    m_index = index;
    m_validated = false;
    return box;
}

void GridDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (editor == m_editor) {
        m_editor = nullptr;
        m_index = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QLineEdit *>(editor))
        box->setText(index.data(Qt::EditRole).toString());
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                const QModelIndex &index) const
{
    auto *box = qobject_cast<QLineEdit *>(editor);
    if (!box)
        return;
    if (m_validated) {
        m_validated = false;
        m_host->applyEdit(index, m_validatedText, true);
        return;
    }
    m_host->applyEdit(index, box->text(), false);
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(object);
    if (!box)
        return QStyledItemDelegate::eventFilter(object, event);
    // A message shown by the validation takes the focus for a while: that is no commit.
    if (m_host->validating() &&
        (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        return false;
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QString text = box->text();
            const QPointer<QLineEdit> guard(box); // a message shown meanwhile runs events
            if (!m_index.isValid() || !m_host->validateEdit(m_index, &text)) {
                // Refused: the editor shows the cell's text again, all selected, so that
                // the next keys replace it instead of being appended to the refused text.
                if (guard && m_index.isValid()) {
                    box->setText(m_index.data(Qt::EditRole).toString());
                    box->selectAll();
                }
                return true;
            }
            const Qt::KeyboardModifiers modifiers = key->modifiers();
            m_validated = true;
            m_validatedText = text;
            Q_EMIT commitData(box);
            m_validated = false;
            Q_EMIT closeEditor(box, QAbstractItemDelegate::NoHint);
            // The Enter that ended the edit reaches the grid too, as it would without an
            // editor, so that the window can move on to the next cell.
            m_host->keyDown(key->key(), modifiers);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

namespace {

// The table has the style draw a row panel under every cell it paints. For a plain cell (not
// selected, current or under the mouse, without an alternate colour) that draws nothing, but
// the style works out its colours on every call all the same: a screen is hundreds of
// cells. Plain cells skip the call; everything else is the application style's.
class PlainCellStyle : public QProxyStyle
{
public:
    explicit PlainCellStyle(QObject *owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
        setParent(owner);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelItemViewRow) {
            const auto *cell = qstyleoption_cast<const QStyleOptionViewItem *>(option);
            if (cell && !(cell->state & (State_Selected | State_HasFocus | State_MouseOver)) &&
                !(cell->features & QStyleOptionViewItem::Alternate))
                return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

GridView::GridView(GridHost *host, QWidget *parent) : QTableView(parent), m_host(host)
{
    setGridStyle(Qt::NoPen);
    setStyle(new PlainCellStyle(this));
    // The vertical scroll bar moves on every scan. On a ground of its own it is repainted
    // alone, not with every widget of the window behind it.
    for (QScrollBar *bar : {verticalScrollBar(), horizontalScrollBar()})
        bar->parentWidget()->setAutoFillBackground(true);
}

void GridView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (showGrid() && gridStyle() == Qt::NoPen)
        fillGridLines(event->region());
}

// The lines the table draws in its own paint event with a solid pen, at the same places.
void GridView::fillGridLines(const QRegion &region)
{
    const QHeaderView *rows = verticalHeader();
    const QHeaderView *cols = horizontalHeader();
    if (rows->count() == 0 || cols->count() == 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor color = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const bool rightToLeft = isRightToLeft();
    const int lastX = cols->length() - cols->offset() - (rightToLeft ? 0 : 1);
    const int lastY = rows->length() - rows->offset() - 1;
    QPainter painter(viewport());
    for (QRect dirty : region) {
        dirty.setBottom(std::min(dirty.bottom(), lastY));
        if (rightToLeft)
            dirty.setLeft(std::max(dirty.left(), viewport()->width() - lastX));
        else
            dirty.setRight(std::min(dirty.right(), lastX));
        if (!dirty.isValid())
            continue;
        int left = cols->visualIndexAt(dirty.left());
        int right = cols->visualIndexAt(dirty.right());
        if (rightToLeft)
            std::swap(left, right);
        if (left == -1)
            left = 0;
        if (right == -1)
            right = cols->count() - 1;
        int bottom = rows->visualIndexAt(dirty.bottom());
        if (bottom == -1)
            bottom = rows->count() - 1;
        const int top = rows->visualIndexAt(dirty.top());
        if (top == -1 || top > bottom)
            continue;
        while (bottom > top && rows->isSectionHidden(rows->logicalIndex(bottom)))
            --bottom;
        for (int v = top; v <= bottom; ++v) {
            const int row = rows->logicalIndex(v);
            if (rows->isSectionHidden(row))
                continue;
            const int y = rowViewportPosition(row) + rowHeight(row) - 1;
            painter.fillRect(QRect(dirty.left(), y, dirty.width(), 1), color);
        }
        for (int h = left; h <= right; ++h) {
            const int col = cols->logicalIndex(h);
            if (cols->isSectionHidden(col))
                continue;
            const int x = columnViewportPosition(col) + (rightToLeft ? 0 : columnWidth(col) - 1);
            painter.fillRect(QRect(x, dirty.top(), 1, dirty.height()), color);
        }
    }
}

// The item view repaints its whole viewport when it gains or loses the focus. Handing the
// focus to the cell editor and back only changes the current cell's focus frame: repaint
// that cell alone, or every count entered would paint the grid twice.
void GridView::focusOutEvent(QFocusEvent *event)
{
    const QWidget *next = QApplication::focusWidget();
    m_focusInEditor = next && viewport()->isAncestorOf(next);
    if (!m_focusInEditor)
        QTableView::focusOutEvent(event);
}

void GridView::focusInEvent(QFocusEvent *event)
{
    if (m_focusInEditor && currentIndex().isValid()) {
        m_focusInEditor = false;
        viewport()->update(visualRect(currentIndex()));
        return;
    }
    m_focusInEditor = false;
    QTableView::focusInEvent(event);
}

void GridView::scrollToTopRow(int modelRow)
{
    // Rows published since the last layout may lie beyond the scroll bar's range: only then
    // is the range brought up to date first (that repaints the scroll bars and headers).
    if (modelRow > verticalScrollBar()->maximum())
        updateGeometries();
    verticalScrollBar()->setValue(modelRow);
}

bool GridView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (index.isValid() && state() != EditingState && model() &&
        (model()->flags(index) & Qt::ItemIsEditable)) {
        bool opens = trigger == AllEditTriggers || (trigger & editTriggers());
        if (opens && trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress)
            opens = IsTypedCharacter(static_cast<QKeyEvent *>(event)->text());
        if (trigger == AnyKeyPressed && !opens)
            return false;
        if (opens && !m_host->allowEdit(index))
            return false;
    }
    return QTableView::edit(index, trigger, event);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    if (m_host->keyDown(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    const bool modified =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!modified && IsTypedCharacter(event->text()) && m_host->keyPress(event->text())) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        event->ignore(); // the window decides (a dialog closes)
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept(); // never a dialog's default button behind the grid's back
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    m_pressedOnCell = indexAt(event->position().toPoint()).isValid();
    QTableView::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    const bool onCell = m_pressedOnCell && indexAt(event->position().toPoint()).isValid();
    m_pressedOnCell = false;
    if (onCell && event->button() == Qt::LeftButton)
        m_host->clicked();
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressedOnCell = false; // the release that follows is no click of its own
    if (indexAt(event->position().toPoint()).isValid() && event->button() == Qt::LeftButton)
        m_host->doubleClicked();
    QTableView::mouseDoubleClickEvent(event);
}
