#include "forms/runwindows.h"
#include "startup/programsetup.h"
#include "support/freshstate.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class FreshStateForEachTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { FreshState(); }
};
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every test program gets a settings store of its own.
    QTemporaryDir settingsDir;
    if (qEnvironmentVariableIsEmpty("NORV_SETTINGS"))
        qputenv("NORV_SETTINGS", settingsDir.filePath(QStringLiteral("settings.ini")).toUtf8());
    QApplication app(argc, argv);
    SetupApplication();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateForEachTest);
    const int result = RUN_ALL_TESTS();
    DeleteRunWindows();
    return result;
}
