#include "platform/programend.h"
#include "platform/systeminfo.h"
#include "platform/widgets/messagebox.h"
#include "support/modal.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(MessageBoxes, TitleIconAndButtons)
{
    auto seen = TestModal::answerMessageBox(QMessageBox::Ok);
    MsgBox::show(QStringLiteral("未設定連線字串!\r\n請系統管理人員檢查主選單系統設定"),
                 MsgBox::Icon::Critical);
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->title, QStringLiteral("TOVRAN"));
    EXPECT_EQ(seen->title, MsgBox::applicationTitle());
    EXPECT_EQ(seen->icon, QMessageBox::Critical);
    EXPECT_EQ(seen->text, QStringLiteral("未設定連線字串!\r\n請系統管理人員檢查主選單系統設定"));

    seen = TestModal::answerMessageBox(QMessageBox::Ok);
    MsgBox::show(QStringLiteral("plain"));
    EXPECT_EQ(seen->icon, QMessageBox::NoIcon);

    seen = TestModal::answerMessageBox(QMessageBox::Yes);
    EXPECT_TRUE(MsgBox::askYesNo(QStringLiteral("確定要離開嗎?")));
    EXPECT_EQ(seen->icon, QMessageBox::Question);
    seen = TestModal::answerMessageBox(QMessageBox::No);
    EXPECT_FALSE(MsgBox::askYesNo(QStringLiteral("確定要離開嗎?"), MsgBox::Icon::Warning,
                                  QStringLiteral("列印")));
    EXPECT_EQ(seen->title, QStringLiteral("列印"));
    EXPECT_EQ(seen->icon, QMessageBox::Warning);
}

TEST(MessageBoxes, YesIsTheDefaultButtonAndEscapeSaysNo)
{
    TestModal::whenModal([](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        EXPECT_EQ(box->buttons().size(), 2);
        box->defaultButton()->click();
    });
    EXPECT_TRUE(MsgBox::askYesNo(QStringLiteral("?")));
    TestModal::whenModal([](QWidget *w) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &esc);
    });
    EXPECT_FALSE(MsgBox::askYesNo(QStringLiteral("?")));
}

TEST(SystemInfo, ProgramAndUser)
{
    EXPECT_FALSE(SystemInfo::loginName().isEmpty());
    EXPECT_FALSE(SystemInfo::computerName().isEmpty());
    const QFileInfo program(SystemInfo::programFile());
    EXPECT_TRUE(program.isFile());
    EXPECT_EQ(SystemInfo::programName(), program.completeBaseName());
    EXPECT_EQ(QDir(SystemInfo::programDir()), program.absoluteDir());
}

TEST(EndProgram, RunsTheHandlerInsteadOfReturning)
{
    struct Ended
    {
    };
    SetEndProgramHandler([] { throw Ended(); });
    EXPECT_THROW(EndProgram(), Ended);
    SetEndProgramHandler(nullptr);
}
