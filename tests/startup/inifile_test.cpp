#include "common/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniFile : public ::testing::Test
{
protected:
    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("JXPARAM.INI"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        return path;
    }
    QString read(const QString &file, const char *section, const char *key)
    {
        return ReadINI(file, QString::fromLatin1(section), QString::fromLatin1(key));
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(IniFile, WindowsProfileRules)
{
    const QString file = write("; settings of the suite\r\n"
                               "[Other]\r\n"
                               "CustName=wrong section\r\n"
                               "  [ param ]  \r\n"
                               "# not a key\r\n"
                               ";CorpName=commented out\r\n"
                               "  custname   =   \"  台灣食品  \"  \r\n"
                               "CUSTNAME=second one\r\n"
                               "Calendar='CC/MM/DD'\r\n"
                               "DateSep=\"\"\"-\"\"\"\r\n"
                               "LogoFile=\"logo.bmp\r\n"
                               "AmtFmt=#,##0.00 ; kept: no comments after values\r\n"
                               "GCNT=Provider=SQLOLEDB;Data Source=srv;Initial Catalog=NORV\r\n"
                               "Empty=\r\n"
                               "NoEquals\r\n"
                               "[PARAM2]\r\n"
                               "JXMSG=wrong\r\n"
                               "[Param]\r\n"
                               "JXMSG=second section of the name\r\n");
    EXPECT_EQ(read(file, "PARAM", "CustName"), QStringLiteral("  台灣食品  ")); // first key wins
    EXPECT_EQ(read(file, "Param", "CUSTNAME"), QStringLiteral("  台灣食品  "));
    EXPECT_EQ(read(file, " PARAM ", " custName "), QStringLiteral("  台灣食品  "));
    EXPECT_EQ(read(file, "other", "custname"), QStringLiteral("wrong section"));
    EXPECT_EQ(read(file, "PARAM", "Calendar"), QStringLiteral("CC/MM/DD"));
    EXPECT_EQ(read(file, "PARAM", "DateSep"), QStringLiteral("\"\"-\"\""));   // one pair only
    EXPECT_EQ(read(file, "PARAM", "LogoFile"), QStringLiteral("\"logo.bmp")); // no pair
    EXPECT_EQ(read(file, "PARAM", "AmtFmt"),
              QStringLiteral("#,##0.00 ; kept: no comments after values"));
    EXPECT_EQ(read(file, "PARAM", "GCNT"),
              QStringLiteral("Provider=SQLOLEDB;Data Source=srv;Initial Catalog=NORV"));
    EXPECT_EQ(read(file, "PARAM", "CorpName"), QString());
    EXPECT_EQ(read(file, "PARAM", "Empty"), QString());
    EXPECT_EQ(read(file, "PARAM", "NoEquals"), QString());
    EXPECT_EQ(read(file, "PARAM", "JXMSG"), QString()); // only the first [PARAM] counts
    EXPECT_EQ(read(file, "PARAM2", "JXMSG"), QStringLiteral("wrong"));
    EXPECT_EQ(read(file, "Missing", "CustName"), QString());
}

TEST_F(IniFile, MissingFileAndOddLineEnds)
{
    EXPECT_EQ(ReadINI(m_dir.filePath(QStringLiteral("none.ini")), QStringLiteral("PARAM"),
                      QStringLiteral("CustName")),
              QString());
    EXPECT_EQ(ReadINI(m_dir.path(), QStringLiteral("PARAM"), QStringLiteral("CustName")),
              QString());
    const QString lfOnly = write("[PARAM]\nCustName=LF only\nCorpName=last line without end");
    EXPECT_EQ(read(lfOnly, "PARAM", "CustName"), QStringLiteral("LF only"));
    EXPECT_EQ(read(lfOnly, "PARAM", "CorpName"), QStringLiteral("last line without end"));
    const char withNul[] = "[PARAM]\r\nCustName=before\0after\r\n";
    const QString nul = write(QByteArray(withNul, sizeof withNul - 1));
    EXPECT_EQ(read(nul, "PARAM", "CustName"), QStringLiteral("before"));
}

TEST_F(IniFile, LongValuesAreReadWhole)
{
    QByteArray longValue = "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;"
                           "Initial Catalog=NORV;Data Source=";
    while (longValue.size() < 300)
        longValue += "server";
    const QString file = write("[PARAM]\r\nGCNT=" + longValue + "\r\n");
    const QString value = read(file, "PARAM", "GCNT");
    EXPECT_EQ(value.size(), longValue.size());
    EXPECT_EQ(value, QString::fromLatin1(longValue));
}

TEST_F(IniFile, TraditionalChineseCodePage)
{
    // 台灣食品股份有限公司 and 許功蓋 (trail bytes equal to "\") in CP950.
    const QByteArray cust = QByteArray::fromHex("a578c657adb9ab7eaad1a5f7a6b3adada4bda571");
    const QByteArray corp = QByteArray::fromHex("b35ca55cbb5c");
    const QString file = write("[PARAM]\r\nCustName=" + cust + "\r\nCorpName=\"" + corp +
                               "\"\r\nCalendar=CC/MM/DD\r\n");
    EXPECT_EQ(read(file, "PARAM", "CustName"), QStringLiteral("台灣食品股份有限公司"));
    EXPECT_EQ(read(file, "PARAM", "CorpName"), QStringLiteral("許功蓋"));
    EXPECT_EQ(read(file, "PARAM", "Calendar"), QStringLiteral("CC/MM/DD"));
    // The euro sign exists in Windows' table only.
    EXPECT_EQ(DecodeIniText(QByteArray::fromHex("a3e1")), QStringLiteral("€"));
}

TEST_F(IniFile, UnicodeFiles)
{
    const QString bom = write("\xEF\xBB\xBF[PARAM]\r\nCustName=台灣食品\r\n");
    EXPECT_EQ(read(bom, "PARAM", "CustName"), QStringLiteral("台灣食品"));
    const QString plain = write("[PARAM]\r\nCustName=許功蓋\r\n");
    EXPECT_EQ(read(plain, "PARAM", "CustName"), QStringLiteral("許功蓋"));

    QString utf16Text = QStringLiteral("\uFEFF[PARAM]\r\nCustName=台灣食品\r\n");
    QByteArray utf16;
    for (QChar c : utf16Text) {
        utf16.append(char(c.unicode() & 0xFF));
        utf16.append(char(c.unicode() >> 8));
    }
    const QString wide = write(utf16);
    EXPECT_EQ(read(wide, "PARAM", "CustName"), QStringLiteral("台灣食品"));
}
