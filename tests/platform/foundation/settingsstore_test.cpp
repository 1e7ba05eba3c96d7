#include "platform/settingsstore.h"

#include <QFile>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

TEST(SettingsStore, ValuesByApplicationSectionAndKey)
{
    const QString app = QStringLiteral("NORV"), sec = QStringLiteral("STK");
    EXPECT_EQ(GetSetting(app, sec, QStringLiteral("Absent")), QString());
    EXPECT_EQ(GetSetting(app, sec, QStringLiteral("Absent"), QStringLiteral("N")),
              QStringLiteral("N"));

    SaveSetting(app, sec, QStringLiteral("UseUUnit"), QStringLiteral("Y"));
    EXPECT_EQ(GetSetting(app, sec, QStringLiteral("UseUUnit"), QStringLiteral("N")),
              QStringLiteral("Y"));
    SaveSetting(app, sec, QStringLiteral("UseUUnit"), QStringLiteral("N"));
    EXPECT_EQ(GetSetting(app, sec, QStringLiteral("UseUUnit")), QStringLiteral("N"));
    // The same key under another application or section is another value.
    EXPECT_EQ(GetSetting(QStringLiteral("EXE"), sec, QStringLiteral("UseUUnit")), QString());
    EXPECT_EQ(GetSetting(app, QStringLiteral("PRN"), QStringLiteral("UseUUnit")), QString());

    // Connection strings hold every sort of character; user names may be Chinese.
    const QString cnt =
        QStringLiteral("Provider=SQLOLEDB;Data Source=srv,1433;Password=\"a'b;c=d\";"
                       "Initial Catalog=NORV ; ") +
        QString(300, QLatin1Char('x'));
    SaveSetting(QStringLiteral("JX_KIT"), QStringLiteral("ADOCntStr"), QStringLiteral("DEMO"), cnt);
    EXPECT_EQ(
        GetSetting(QStringLiteral("JX_KIT"), QStringLiteral("ADOCntStr"), QStringLiteral("DEMO")),
        cnt);
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("UserID"),
                QStringLiteral("王小明"));
    EXPECT_EQ(GetSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("UserID")),
              QStringLiteral("王小明"));
    SaveSetting(app, sec, QStringLiteral("Empty"), QString());
    EXPECT_EQ(GetSetting(app, sec, QStringLiteral("Empty"), QStringLiteral("dflt")), QString());
}

TEST(SettingsStore, RedirectedToTheNamedFile)
{
    const QString file = qEnvironmentVariable("NORV_SETTINGS");
    ASSERT_FALSE(file.isEmpty());
    SaveSetting(QStringLiteral("EXE"), QStringLiteral("TOVRAN"), QStringLiteral("ckHidAmt"),
                QStringLiteral("Y"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[EXE]")) << text.constData();
    EXPECT_TRUE(text.contains("ckHidAmt=Y")) << text.constData();

    // Another program writing the store is seen at the next read.
    f.close();
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("\n[HANDOVER]\nTOVRAN\\GrpID=ADMIN\n");
    f.close();
    EXPECT_EQ(
        GetSetting(QStringLiteral("HANDOVER"), QStringLiteral("TOVRAN"), QStringLiteral("GrpID")),
        QStringLiteral("ADMIN"));
}
