#include "startup/programsetup.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    return RUN_ALL_TESTS();
}
