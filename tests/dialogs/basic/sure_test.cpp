#include "dialogs/frmsure.h"
#include "platform/db/connection.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/elasticpanel.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include "platform/widgets/screenunits.h"

#include <QDir>
#include <QPushButton>
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
