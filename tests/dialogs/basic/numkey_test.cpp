#include "dialogs/frmnumkey.h"
#include "platform/widgets/elasticpanel.h"
#include "support/modal.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPushButton *key(QWidget *window, const QString &name)
{
    auto *button = window->findChild<QPushButton *>(name);
    EXPECT_NE(button, nullptr) << name.toStdString();
    return button;
}

void click(QWidget *window, const QString &name)
{
    if (QPushButton *button = key(window, name))
        QTest::mouseClick(button, Qt::LeftButton);
}

QString display(QWidget *window)
{
    return window->findChild<QLineEdit *>(QStringLiteral("txtDisp"))->text();
}

QString prompt(QWidget *window)
{
    return window->findChild<ElasticPanel *>(QStringLiteral("elaMsg"))->caption();
}

// What the window showed while it was open.
struct Seen
{
    QString caption;
    QString prompt;
    QString display;
    QString displayAfter;
};

} // namespace

TEST(NumKey, KeysBuildTheNumberAndEnterAccepts)
{
    auto seen = std::make_shared<Seen>();
    auto ran = TestModal::whenModal([seen](QWidget *w) {
        seen->caption = w->windowTitle();
        seen->prompt = prompt(w);
        click(w, "cmdNum(1)");
        click(w, "cmdNum(10)");
        click(w, "cmdDot");
        click(w, "cmdNum(5)");
        seen->display = display(w);
        w->grab().save(QDir(TOVRAN_ARTIFACT_DIR).filePath(QStringLiteral("frmNumKey.png")));
        // After a digit key the focus is on the accept key.
        seen->displayAfter = w->focusWidget()->objectName();
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    QString text = QStringLiteral("old");
    EXPECT_TRUE(frmNumKeyWindow().ShowInput(text));
    EXPECT_TRUE(*ran);
    EXPECT_EQ(text, "100.5");
    EXPECT_EQ(seen->display, "100.5");
    EXPECT_EQ(seen->displayAfter, "cmdEnter");
    EXPECT_EQ(seen->caption, "數字輸入視窗");
    EXPECT_EQ(seen->prompt, "請輸入數字..");
    EXPECT_FALSE(frmNumKeyWindow().isVisible());
}

TEST(NumKey, EscapeExitAndTitleBarLeaveTheTextAlone)
{
    QString text = QStringLiteral("7");
    TestModal::whenModal([](QWidget *w) {
        click(w, "cmdNum(3)");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(frmNumKeyWindow().ShowInput(text, QStringLiteral("12")));
    EXPECT_EQ(text, "7");

    TestModal::whenModal([](QWidget *w) {
        click(w, "cmdNum(3)");
        click(w, "cmdExit");
    });
    EXPECT_FALSE(frmNumKeyWindow().ShowInput(text));
    EXPECT_EQ(text, "7");

    TestModal::whenModal([](QWidget *w) {
        click(w, "cmdNum(3)");
        w->close();
    });
    EXPECT_FALSE(frmNumKeyWindow().ShowInput(text));
    EXPECT_EQ(text, "7");
}

TEST(NumKey, DefaultTextEditingKeysAndTypedKeys)
{
    auto seen = std::make_shared<QStringList>();
    TestModal::whenModal([seen](QWidget *w) {
        *seen << display(w); // the default
        click(w, "cmdBack");
        *seen << display(w);
        click(w, "cmdDel");
        *seen << display(w);
        click(w, "cmdBack"); // nothing to remove
        *seen << display(w);
        // Typed keys go in once, wherever the focus is (here on the display box).
        auto *box = w->findChild<QLineEdit *>(QStringLiteral("txtDisp"));
        box->setFocus();
        QTest::keyClicks(box, "4.5");
        *seen << display(w);
        QTest::keyClicks(box, "ab-");
        *seen << display(w);
        // Full-width digits, as a Chinese input method sends them.
        for (const QString &ch : {QStringLiteral("１"), QStringLiteral("２")})
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, ch, Qt::NoModifier);
        *seen << display(w);
        QTest::keyClick(box, Qt::Key_Backspace);
        *seen << display(w);
        QTest::keyClick(box, Qt::Key_Delete);
        *seen << display(w);
        click(w, "cmdDot");
        click(w, "cmdDot");
        QTest::keyClick(key(w, "cmdNum(9)"), Qt::Key_9);
        *seen << display(w);
        click(w, "cmdEnter");
    });
    QString text;
    EXPECT_TRUE(frmNumKeyWindow().ShowInput(text, QStringLiteral("250")));
    EXPECT_EQ(*seen, QStringList({"250", "25", "", "", "4.5", "4.5", "4.512", "4.51", "", "..9"}));
    // Two points are handed back as they are: the caller rejects such text.
    EXPECT_EQ(text, "..9");
}

TEST(NumKey, ShowInput2TakesTheTitleOrTheDefaultCaption)
{
    auto seen = std::make_shared<Seen>();
    auto capture = [seen](QWidget *w) {
        seen->caption = w->windowTitle();
        seen->prompt = prompt(w);
        click(w, "cmdNum(0)");
        click(w, "cmdEnter");
    };
    QString text;
    TestModal::whenModal(capture);
    EXPECT_TRUE(frmNumKeyWindow().ShowInput2(text, QString()));
    EXPECT_EQ(seen->caption, "數字輸入視窗");
    EXPECT_EQ(seen->prompt, "數字輸入視窗");
    EXPECT_EQ(text, "0");

    TestModal::whenModal(capture);
    EXPECT_TRUE(frmNumKeyWindow().ShowInput2(text, QStringLiteral("請輸入盤點量"), "5"));
    EXPECT_EQ(seen->caption, "請輸入盤點量");
    EXPECT_EQ(seen->prompt, "請輸入盤點量");
    EXPECT_EQ(text, "50");
}

TEST(NumKey, PasswordIsMaskedAndSitsBottomRight)
{
    auto seen = std::make_shared<Seen>();
    auto where = std::make_shared<QRect>();
    TestModal::whenModal([seen, where](QWidget *w) {
        seen->caption = w->windowTitle();
        seen->prompt = prompt(w);
        seen->displayAfter = w->focusWidget()->objectName();
        QTest::keyClicks(w->focusWidget(), "9");
        click(w, "cmdNum(8)");
        seen->display = display(w);
        *where = w->frameGeometry();
        QTest::keyClick(w->focusWidget(), Qt::Key_Enter);
    });
    QString text;
    EXPECT_TRUE(frmNumKeyWindow().EnterPWD(text, QStringLiteral("1")));
    EXPECT_EQ(text, "198");
    EXPECT_EQ(seen->display, "***");
    EXPECT_EQ(seen->caption, "密碼輸入視窗");
    EXPECT_EQ(seen->prompt, "請輸入密碼");
    EXPECT_EQ(seen->displayAfter, "txtDisp");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(where->right(), screen.right());
    EXPECT_LT(where->bottom(), screen.bottom());

    // A number entry afterwards shows its digits again.
    TestModal::whenModal([seen](QWidget *w) {
        click(w, "cmdNum(4)");
        seen->display = display(w);
        click(w, "cmdEnter");
    });
    EXPECT_TRUE(frmNumKeyWindow().ShowInput(text));
    EXPECT_EQ(seen->display, "4");
}

TEST(NumKey, KeysAreLargeEnoughForTouch)
{
    frmNumKey &w = frmNumKeyWindow();
    w.adjustSize();
    for (const char *name :
         {"cmdNum(0)", "cmdNum(10)", "cmdDot", "cmdBack", "cmdDel", "cmdEnter", "cmdExit"}) {
        QPushButton *b = key(&w, name);
        ASSERT_NE(b, nullptr);
        EXPECT_GE(b->height(), 60) << name;
        EXPECT_GE(b->width(), 80) << name;
    }
}
