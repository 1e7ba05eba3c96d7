#include "dialogs/frmsure.h"
#include "platform/db/connection.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/elasticpanel.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include "platform/widgets/screenunits.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// What the window looked like while it was open.
struct Shown
{
    QString title;
    QString message;
    bool messageArea = false;
    bool list = false;
    bool cancelShown = false;
    QString okText;
    QString cancelText;
    int okLeft = 0;     // twips within the button area
    int cancelLeft = 0; // twips within the button area
    int okWidth = 0;
    int cancelWidth = 0;
    int areaWidth = 0;
    int heightTwips = 0;
    int listRows = 0;
    int listCols = 0;
    QStringList listColumn1;
};

template <typename T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

int twips(int pixels)
{
    return static_cast<int>(ScreenPixelsToTwips(pixels) + 0.5);
}

// Opens the window through SHOWMSG, records it and presses the named button (or closes
// the window by its title bar when the name is empty).
std::shared_ptr<Shown> showAndPress(const char *button, bool *result,
                                    const std::function<bool()> &call)
{
    auto shown = std::make_shared<Shown>();
    TestModal::whenModal([shown, button](QWidget *w) {
        auto *ok = child<QPushButton>(w, "cmdOK");
        auto *cancel = child<QPushButton>(w, "cmdCancel");
        auto *grid = child<FlexGrid>(w, "fgList");
        shown->title = w->windowTitle();
        shown->message = child<ElasticPanel>(w, "elaMsg")->caption();
        shown->messageArea = child<ElasticPanel>(w, "ela1")->isVisible();
        shown->list = child<ElasticPanel>(w, "elaList")->isVisible();
        shown->cancelShown = cancel->isVisible();
        shown->okText = ok->text();
        shown->cancelText = cancel->text();
        shown->okLeft = twips(ok->x());
        shown->cancelLeft = twips(cancel->x());
        shown->okWidth = twips(ok->width());
        shown->cancelWidth = twips(cancel->width());
        shown->areaWidth = twips(child<ElasticPanel>(w, "elaSure")->width());
        shown->heightTwips = twips(w->height());
        shown->listRows = grid->rows();
        shown->listCols = grid->cols();
        if (shown->list) // a picture of the window with its list
            w->grab().save(QDir(TOVRAN_ARTIFACT_DIR).filePath(QStringLiteral("frmSure.png")));
        for (int r = 0; r < grid->rows() && grid->cols() > 1; ++r)
            shown->listColumn1 << grid->textMatrix(r, 1);
        if (QString::fromLatin1(button).isEmpty())
            w->close();
        else
            QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
    });
    *result = call();
    return shown;
}

} // namespace

class SureWindow : public ::testing::Test
{
protected:
    void SetUp() override { frmSureWindow().ClearMsgFrom(); }
};

TEST_F(SureWindow, OneButtonFormAsTheStockWindowCallsIt)
{
    bool result = false;
    auto shown = showAndPress("cmdOK", &result, [] {
        return frmSureWindow().SHOWMSG(QStringLiteral("庫存量不得為負值"),
                                       QStringLiteral("訊息視窗"), QStringLiteral("n"), nullptr,
                                       QStringLiteral("確定"), QStringLiteral("取消"), false);
    });
    EXPECT_TRUE(result);
    EXPECT_EQ(shown->title, "訊息視窗");
    EXPECT_EQ(shown->message, "庫存量不得為負值");
    EXPECT_TRUE(shown->messageArea);
    EXPECT_FALSE(shown->list);
    // "n" is "N": the second button is hidden and the first sits in the middle.
    EXPECT_FALSE(shown->cancelShown);
    EXPECT_NEAR(shown->okLeft, (shown->areaWidth - shown->okWidth) / 2, 15);
    // Without a list and without the short form the window is the full height.
    EXPECT_NEAR(shown->heightTwips, 5910, 15);
    EXPECT_NEAR(frmSureWindow().formHeightTwips(), 5910, 0);
    EXPECT_FALSE(frmSureWindow().isVisible());
}

TEST_F(SureWindow, TwoButtonsWithThreeEqualGapsAndTheirAnswers)
{
    bool result = true;
    auto shown = showAndPress("cmdCancel", &result, [] {
        return frmSureWindow().SHOWMSG(QStringLiteral("確定要刪除嗎?"), QStringLiteral("請確認"),
                                       QStringLiteral("Y"), nullptr, QStringLiteral("是"),
                                       QStringLiteral("否"), true);
    });
    EXPECT_FALSE(result);
    EXPECT_TRUE(shown->cancelShown);
    EXPECT_EQ(shown->okText, "是");
    EXPECT_EQ(shown->cancelText, "否");
    const int gap1 = shown->okLeft;
    const int gap2 = shown->cancelLeft - shown->okLeft - shown->okWidth;
    const int gap3 = shown->areaWidth - shown->cancelLeft - shown->cancelWidth;
    EXPECT_GT(gap1, 0);
    EXPECT_NEAR(gap1, gap2, 30);
    EXPECT_NEAR(gap2, gap3, 30);
    // Short form and no list rows.
    EXPECT_NEAR(shown->heightTwips, 4200, 15);

    shown = showAndPress("cmdOK", &result, [] {
        return frmSureWindow().SHOWMSG(QStringLiteral("確定要刪除嗎?"), QStringLiteral("請確認"),
                                       QString(), nullptr, QStringLiteral("是"),
                                       QStringLiteral("否"), false);
    });
    EXPECT_TRUE(result);
    EXPECT_TRUE(shown->cancelShown);

    // Closing by the title bar is no answer: false, even right after a true one.
    shown = showAndPress("", &result, [] {
        return frmSureWindow().SHOWMSG(QStringLiteral("x"), QStringLiteral("t"), QString(), nullptr,
                                       QStringLiteral("是"), QStringLiteral("否"), false);
    });
    EXPECT_FALSE(result);
}

TEST_F(SureWindow, BlankMessageHidesTheMessageAreaButKeepsTheButtons)
{
    bool result = false;
    auto shown = showAndPress("cmdOK", &result, [] {
        return frmSureWindow().SHOWMSG(QStringLiteral("   "), QStringLiteral("訊息視窗"),
                                       QStringLiteral("N"), nullptr, QStringLiteral("確定"),
                                       QStringLiteral("取消"), false);
    });
    EXPECT_TRUE(result);
    EXPECT_FALSE(shown->messageArea);
    EXPECT_FALSE(shown->cancelShown);
}

TEST_F(SureWindow, AddLineListsAndOnePieceLinesStayHidden)
{
    frmSure &w = frmSureWindow();
    w.AddLine(QStringLiteral("第一行"));
    w.AddLine(QStringLiteral("第二行"));
    bool result = false;
    auto shown = showAndPress("cmdOK", &result, [&w] {
        return w.SHOWMSG(QStringLiteral("清單"), QStringLiteral("t"), QStringLiteral("N"), nullptr,
                         QStringLiteral("確定"), QStringLiteral("取消"), true);
    });
    EXPECT_EQ(shown->listRows, 2);
    EXPECT_EQ(shown->listCols, 1);
    EXPECT_FALSE(shown->list);
    // Rows in the list: the short form is not used.
    EXPECT_NEAR(shown->heightTwips, 5910, 15);

    w.ClearMsgFrom();
    w.SetList(1, 0, 10);
    w.AddLine(QStringLiteral("M001\t麵粉\t25kg"));
    w.AddLine(QStringLiteral("M002\t\"糖\"; x\t1kg"));
    shown = showAndPress("cmdOK", &result, [&w] {
        return w.SHOWMSG(QStringLiteral("清單"), QStringLiteral("t"), QStringLiteral("N"), nullptr,
                         QStringLiteral("確定"), QStringLiteral("取消"), true);
    });
    EXPECT_TRUE(shown->list);
    EXPECT_EQ(shown->listRows, 2);
    EXPECT_EQ(shown->listCols, 3);
    EXPECT_EQ(shown->listColumn1, QStringList({"麵粉", "\"糖\"; x"}));
}

TEST_F(SureWindow, PickRSTListsOneColumnPerRecord)
{
    TestDatabase db(Backend::SQLite);
    auto conn = db.open();
    conn->executeNonQuery(QStringLiteral("create table T (STKNo text, STKName text, Qty real)"));
    conn->executeNonQuery(QStringLiteral("insert into T values ('M001', '麵粉', 4)"));
    conn->executeNonQuery(QStringLiteral("insert into T values ('M002', null, 2.5)"));

    frmSure &w = frmSureWindow();
    Ado::Recordset rs = conn->execute(QStringLiteral("select * from T order by STKNo"));
    bool result = false;
    auto shown = showAndPress("cmdOK", &result, [&] {
        return w.SHOWMSG(QStringLiteral("兩筆"), QStringLiteral("t"), QStringLiteral("N"), &rs,
                         QStringLiteral("確定"), QStringLiteral("取消"), true);
    });
    EXPECT_TRUE(shown->list);
    EXPECT_EQ(shown->listRows, 3); // one row per field
    EXPECT_EQ(shown->listCols, 3); // names + two records
    EXPECT_EQ(shown->listColumn1, QStringList({"M001", "麵粉", "4"}));

    // An empty result leaves one column without rows: the list stays hidden and the short
    // form applies.
    Ado::Recordset empty = conn->execute(QStringLiteral("select * from T where 1 = 0"));
    EXPECT_FALSE(w.PickRST(&empty));
    shown = showAndPress("cmdOK", &result, [&] {
        return w.SHOWMSG(QStringLiteral("無"), QStringLiteral("t"), QStringLiteral("N"), nullptr,
                         QStringLiteral("確定"), QStringLiteral("取消"), true);
    });
    EXPECT_EQ(shown->listRows, 0);
    EXPECT_EQ(shown->listCols, 1);
    EXPECT_FALSE(shown->list);
    EXPECT_NEAR(shown->heightTwips, 4200, 15);
}

namespace {

// Counts the times a window is shown.
class ShowCounter : public QObject
{
public:
    explicit ShowCounter(QWidget *w) { w->installEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shown;
        return false;
    }
};

// Presses a key in the widget that has the focus in the next modal window, as a user
// answers it.
std::shared_ptr<bool> answerWithKey(Qt::Key key)
{
    return TestModal::whenModal([key](QWidget *w) {
        QWidget *focus = w->focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
        if (w->isVisible()) {
            ADD_FAILURE() << "key " << key << " left the window open";
            w->hide();
        }
    });
}

// After a modal window the window manager gives the focus back to the window below.
void windowManagerReturnsTo(QWidget *window)
{
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

} // namespace

TEST_F(SureWindow, EnterPressesTheFirstButtonAndEscTheSecond)
{
    frmSure &w = frmSureWindow();
    auto ask = [&w](const QString &buttons) {
        return w.SHOWMSG(QStringLiteral("是否確定?"), QStringLiteral("訊息視窗"), buttons, nullptr,
                         QStringLiteral("確定"), QStringLiteral("取消"), false);
    };
    struct Case
    {
        QString buttons;
        Qt::Key key;
        bool result;
    };
    const QList<Case> cases = {{"Y", Qt::Key_Return, true},
                               {"Y", Qt::Key_Escape, false},
                               {"N", Qt::Key_Enter, true},
                               {"N", Qt::Key_Escape, false},
                               {"Y", Qt::Key_Return, true}};
    for (const Case &c : cases) {
        auto answered = answerWithKey(c.key);
        EXPECT_EQ(ask(c.buttons), c.result) << c.buttons.toStdString() << " key " << c.key;
        EXPECT_TRUE(*answered);
        EXPECT_FALSE(w.isVisible());
    }
    // With a list shown, Enter still answers and does not stay in the list.
    w.AddLine(QStringLiteral("M001\t麵粉"));
    auto answered = answerWithKey(Qt::Key_Return);
    EXPECT_TRUE(ask(QStringLiteral("Y")));
    EXPECT_TRUE(*answered);
}

// The stocktake path: a count below the limit is refused with the message, the clerk
// answers it with Enter, then types the next count, which replaces the refused one.
TEST_F(SureWindow, RefusalAnsweredWithEnterClosesOnceAndTheNextCountReplaces)
{
    FlexGrid grid;
    grid.resize(400, 200);
    grid.setFormatString(QStringLiteral("料號|庫存量"));
    grid.addItem(QStringLiteral("A1\t20"));
    grid.show();
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    ShowCounter shows(&frmSureWindow());
    QStringList seen;
    QObject::connect(&grid, &FlexGrid::validateEdit, [&](int, int, bool *cancel, QString *text) {
        seen << *text;
        if (text->toDouble() >= 15)
            return;
        auto answered = answerWithKey(Qt::Key_Return);
        frmSureWindow().SHOWMSG(QStringLiteral("庫存量不得小於期初量加進貨量之和"),
                                QStringLiteral("訊息視窗"), QStringLiteral("N"), nullptr,
                                QStringLiteral("確定"), QStringLiteral("取消"), false);
        EXPECT_TRUE(*answered);
        *cancel = true;
    });
    grid.setRow(1);
    grid.setCol(1);
    grid.view()->setFocus();
    QTest::keyClicks(grid.view(), "1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(shows.shown, 1);
    EXPECT_FALSE(frmSureWindow().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(grid.isEditing());
    windowManagerReturnsTo(&grid);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectedText(), "20");
    QTest::keyClicks(QApplication::focusWidget(), "55");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(seen, QStringList({"1", "55"}));
    EXPECT_EQ(grid.textMatrix(1, 1), "55");
    EXPECT_EQ(shows.shown, 1);
    EXPECT_FALSE(grid.isEditing());
}
