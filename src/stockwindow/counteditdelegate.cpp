#include "stockwindow/counteditdelegate.h"

#include <QKeyEvent>
#include <QLineEdit>

QWidget *CountEditDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &index) const
{
    auto *box = new QLineEdit(parent);
    box->setFrame(false);
    box->setObjectName(QStringLiteral("gridEditor"));
    m_editor = box;
    m_index = index;
    return box;
}

void CountEditDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (editor == m_editor) {
        m_editor = nullptr;
        m_index = QPersistentModelIndex();
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void CountEditDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The row may be shown again while the clerk types (another workstation's write is
    // held back for it, an edit's own refresh): what was typed stays.
    auto *box = qobject_cast<QLineEdit *>(editor);
    if (box && !box->isModified())
        box->setText(index.data(Qt::EditRole).toString());
}

void CountEditDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    auto *box = qobject_cast<QLineEdit *>(editor);
    if (!box || m_committing)
        return;
    if (!box->isModified()) {
        m_accepted = true; // nothing typed, nothing to write
        return;
    }
    m_committing = true;
    const QPointer<QLineEdit> guard(box); // a message shown meanwhile runs events
    m_accepted = model->setData(index, box->text(), Qt::EditRole);
    m_committing = false;
    if (guard)
        box->setModified(false); // checked once: whatever happens next, it is not typed again
}

bool CountEditDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(object);
    if (!box)
        return QStyledItemDelegate::eventFilter(object, event);
    // A message shown by the check takes the focus for a while: that is no commit.
    if (m_committing && (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        return false;
    if (event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QStyledItemDelegate::eventFilter(object, event);

    const QPointer<QLineEdit> guard(box);
    m_accepted = false;
    Q_EMIT commitData(box);
    if (!guard)
        return true;
    if (!m_accepted) {
        // Refused: the stored text again, all selected, so that the next keys replace it.
        if (m_index.isValid())
            box->setText(m_index.data(Qt::EditRole).toString());
        box->selectAll();
        return true;
    }
    Q_EMIT closeEditor(box, QAbstractItemDelegate::NoHint);
    Q_EMIT enterCommitted();
    return true;
}
