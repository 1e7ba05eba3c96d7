#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

// The in-place editor of the stock grid's count and price cells.
//
// Only what the clerk typed is written: an editor left (Tab, a click elsewhere, an arrow
// key) or confirmed with Enter without a key typed into it writes nothing. Enter checks
// before the editor closes: a refused edit keeps the editor open with the stored text back
// in it, all selected, as if nothing had been typed. Any other way out of the editor checks
// where it commits; a refusal there leaves the stored text in the cell.
class CountEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

    // The open editor, or nullptr.
    QLineEdit *editor() const { return m_editor; }
    // An edit is being checked and written (it may show messages meanwhile).
    bool committing() const { return m_committing; }

Q_SIGNALS:
    // Enter ended an edit that was written (or left nothing to write).
    void enterCommitted();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    mutable QPointer<QLineEdit> m_editor;
    mutable QPersistentModelIndex m_index;
    mutable bool m_committing = false;
    mutable bool m_accepted = false;
};
