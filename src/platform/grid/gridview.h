#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QTableView>

class QKeyEvent;

// What the view and its editor ask of the grid that owns them.
class GridHost
{
public:
    virtual ~GridHost() = default;
    // Checks the text of an edit; false refuses it. The grid may change the text.
    virtual bool validateEdit(const QModelIndex &index, QString *text) = 0;
    // Writes an edit into the cell; an edit not yet validated is validated first.
    virtual void applyEdit(const QModelIndex &index, const QString &text, bool validated) = 0;
    virtual bool validating() const = 0;
    virtual bool keyDown(int key, Qt::KeyboardModifiers modifiers) = 0; // true: handled
    virtual void clicked() = 0;
};

// Edits the grid's cells in place; Qt paints them from the model's roles.
//
// Enter validates before the editor closes: a refused edit keeps the editor open with the
// cell's text back in it, all selected. Any other commit (Tab, focus moving away) is
// validated where it is applied; a refusal there closes the editor and keeps the cell's text.
class GridDelegate : public QStyledItemDelegate
{
public:
    GridDelegate(GridHost *host, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    GridHost *m_host;
    mutable QPersistentModelIndex m_index; // the cell of the open editor
    mutable bool m_validated = false;
    mutable QString m_validatedText;
};

// The table view: key and mouse events go to the grid's events first, and typing opens the
// editor only with a typed character.
class GridView : public QTableView
{
public:
    GridView(GridHost *host, QWidget *parent);

    bool editing() const { return state() == EditingState; }
    // Scrolls so that the given model row is the first one shown.
    void scrollToTopRow(int modelRow);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    GridHost *m_host;
    bool m_pressedOnCell = false;
};
