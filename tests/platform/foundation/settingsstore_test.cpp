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

TEST(SettingsStore, HandEditedValuesAreReadWholeAndTheFileStaysPrivate)
{
    const QString file = qEnvironmentVariable("NORV_SETTINGS");
    ASSERT_FALSE(file.isEmpty());
    QFile::remove(file);
    SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("APID"),
                QStringLiteral("DEMO"));
    // Readable and writable by its owner only, also after further writes.
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                        QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(file) & others, 0);
    EXPECT_TRUE(QFile::permissions(file) & QFileDevice::ReadOwner);

    // A connection string edited by hand: no quotes, semicolons, commas, a backslash.
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("\n[JX_KIT]\n"
            "ADOCntStr\\HAND = Provider=SQLOLEDB;Data Source=srv,1433;Initial Catalog=N\\x ; \r\n"
            "ADOCntStr\\HAND=second line of the key\n"
            "DBPWD\\HAND=\"\\x1\\x61 quoted; \\\"x\\\" \"\n"
            "; ADOCntStr\\COMMENT=not a value\n"
            "[JX_KIT]\n"
            "ADOCntStr\\LATER=second section of the name\n");
    f.close();
    const auto kit = [](const char *section, const char *key) {
        return GetSetting(QStringLiteral("JX_KIT"), QLatin1String(section), QLatin1String(key),
                          QStringLiteral("<none>"));
    };
    EXPECT_EQ(kit("ADOCntStr", "HAND"),
              "Provider=SQLOLEDB;Data Source=srv,1433;Initial Catalog=N\\x ;");
    EXPECT_EQ(kit("DBPWD", "HAND"), QString(QChar(1)) + QStringLiteral("a quoted; \"x\" "));
    EXPECT_EQ(kit("ADOCntStr", "COMMENT"), "<none>");
    EXPECT_EQ(kit("ADOCntStr", "LATER"), "<none>");

    // Written back by the store, every value reads as it was saved.
    const QStringList values = {
        QStringLiteral(" outer blanks "),   QStringLiteral("\"lead"),
        QStringLiteral("a\\b\\x41"),        QString(QChar(1)) + "f" + QChar(0),
        QStringLiteral("tab\tline\r\nend"), QStringLiteral("@at;,=%")};
    for (int i = 0; i < values.size(); ++i)
        SaveSetting(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), QString::number(i),
                    values[i]);
    SaveSetting(QStringLiteral("應用 程式"), QStringLiteral("a/b"), QStringLiteral("%key"),
                QStringLiteral("x"));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(GetSetting(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), QString::number(i)),
                  values[i])
            << i;
    EXPECT_EQ(kit("ADOCntStr", "HAND"),
              "Provider=SQLOLEDB;Data Source=srv,1433;Initial Catalog=N\\x ;");
    EXPECT_EQ(
        GetSetting(QStringLiteral("應用 程式"), QStringLiteral("a/b"), QStringLiteral("%key")),
        "x");
    EXPECT_EQ(QFile::permissions(file) & others, 0);
}
