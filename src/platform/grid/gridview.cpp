#include "platform/grid/gridview.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

namespace {
// Whether a typed text is a character (not a control code such as Esc or Backspace).
bool isTypedCharacter(const QString &text)
{
    if (text.isEmpty())
        return false;
    const char16_t c = text.front().unicode();
    return c >= 0x20 && c != 0x7F;
}
} // namespace

GridDelegate::GridDelegate(GridHost *host, QObject *parent)
    : QStyledItemDelegate(parent), m_host(host)
{
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                    const QModelIndex &index) const
{
    auto *box = new QLineEdit(parent);
    box->setFrame(false);
    box->setObjectName(QStringLiteral("gridEditor"));
    m_index = index;
    m_validated = false;
    return box;
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
    if (event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QStyledItemDelegate::eventFilter(object, event);
    QString text = box->text();
    const QPointer<QLineEdit> guard(box); // a message shown meanwhile runs events
    if (!m_index.isValid() || !m_host->validateEdit(m_index, &text)) {
        // Refused: the editor shows the cell's text again, all selected, so that the next
        // keys replace it instead of being appended to the refused text.
        if (guard && m_index.isValid()) {
            box->setText(m_index.data(Qt::EditRole).toString());
            box->selectAll();
        }
        return true;
    }
    const int pressed = key->key();
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    m_validated = true;
    m_validatedText = text;
    Q_EMIT commitData(box);
    m_validated = false;
    Q_EMIT closeEditor(box, QAbstractItemDelegate::NoHint);
    // The Enter that ended the edit reaches the grid too, as it would without an editor, so
    // that the window can move on to the next cell.
    m_host->keyDown(pressed, modifiers);
    return true;
}

GridView::GridView(GridHost *host, QWidget *parent) : QTableView(parent), m_host(host) {}

void GridView::scrollToTopRow(int modelRow)
{
    // Rows published since the last layout may lie beyond the scroll bar's range.
    if (modelRow > verticalScrollBar()->maximum())
        updateGeometries();
    verticalScrollBar()->setValue(modelRow);
}

bool GridView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress &&
        !isTypedCharacter(static_cast<QKeyEvent *>(event)->text()))
        return false;
    return QTableView::edit(index, trigger, event);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    if (m_host->keyDown(event->key(), event->modifiers())) {
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
    QTableView::mouseDoubleClickEvent(event);
}
