#pragma once

#include "platform/grid/cellpictures.h"
#include "platform/grid/celltext.h"

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

class GridModel;
class QKeyEvent;

// What the view and its editor ask of the grid that owns them.
class GridHost
{
public:
    virtual ~GridHost() = default;
    virtual bool allowEdit(const QModelIndex &index) = 0;
    // Checks the text of an edit; false refuses it. The grid may change the text.
    virtual bool validateEdit(const QModelIndex &index, QString *text) = 0;
    // Writes an edit into the cell; an edit not yet validated is validated first.
    virtual void applyEdit(const QModelIndex &index, const QString &text, bool validated) = 0;
    virtual bool validating() const = 0;
    virtual bool keyDown(int key, Qt::KeyboardModifiers modifiers) = 0; // true: handled
    virtual bool keyPress(const QString &text) = 0;                     // true: handled
    virtual void clicked() = 0;
    virtual void doubleClicked() = 0;
};

// Paints the cells of the grid's model and edits them in place.
//
// The in-place editor. Enter validates before the editor closes: a refused edit keeps the
// editor open with the cell's text back in it, all selected. Any other commit (Tab, focus
// moving away) is validated where it is applied; a refusal there closes the editor and
// keeps the cell's text.
class GridDelegate : public QStyledItemDelegate
{
public:
    GridDelegate(GridHost *host, const GridModel *model, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    QLineEdit *editor() const { return m_editor; }
    // An editor is open on a row the model still has.
    bool editorOpen() const { return m_editor && m_index.isValid(); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void paintStyled(QPainter *painter, const QStyleOptionViewItem &option,
                     const QModelIndex &index) const;
    void drawText(QPainter *painter, const QStyleOptionViewItem &option, const QString &text,
                  const QFont &font, Qt::Alignment alignment) const;
    static QRect textArea(const QStyleOptionViewItem &option);
    static QColor viewGround(const QStyleOptionViewItem &option);
    const QFont &boldFont(const QFont &viewFont) const;

    GridHost *m_host;
    const GridModel *m_model;
    mutable CellTextCache m_texts;
    mutable CellPictures m_pictures{&m_texts};
    mutable QFont m_boldOf;   // the view font m_bold was resolved against
    mutable QFont m_boldFrom; // the model's bold font it was resolved from
    mutable QFont m_bold;
    mutable bool m_boldResolved = false;
    mutable QPointer<QLineEdit> m_editor;
    mutable QPersistentModelIndex m_index;
    mutable bool m_validated = false;
    mutable QString m_validatedText;
};

// The table view: key and mouse events go to the grid's events first, and an edit starts
// only when the grid's before-edit event lets it. The table's own grid pen is NoPen: the view
// fills the grid lines in itself, where the table would stroke them one by one (a fifth of
// a repaint). With another grid style set the table draws them.
class GridView : public QTableView
{
public:
    GridView(GridHost *host, QWidget *parent);
    using QTableView::edit;

    bool editing() const { return state() == EditingState; }
    // Rows removed around an open editor end the view's editing state though the editor
    // stays: this takes it up again.
    void resumeEditing() { setState(EditingState); }

    // Scrolls so that the given model row is the first one shown.
    void scrollToTopRow(int modelRow);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void fillGridLines(const QRegion &region);

    GridHost *m_host;
    bool m_pressedOnCell = false;
    bool m_focusInEditor = false; // the view's last focus-out went to its own cell editor
};

// Whether a typed text is a character (not a control code such as Esc or Backspace).
bool IsTypedCharacter(const QString &text);
