#include "platform/db/connection.h"
#include "platform/db/connectionstring.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Ado;

TEST(ConnectionString, ItemsAreFoundWithoutRegardToCaseAndQuotesAreRemoved)
{
    const QString cs = QStringLiteral(
        "Provider=SQLOLEDB.1; data source = srv01,1444 ;Initial Catalog='NORV;2';User ID=sa;"
        "Extended Properties=\"a=b;c=d\";Driver={SQL Server}");
    EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("DATA SOURCE")), "srv01,1444");
    EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("initial catalog")), "NORV;2");
    EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("Extended Properties")), "a=b;c=d");
    EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("Driver")), "{SQL Server}");
    EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("Password")), "");
}

TEST(ConnectionString, QuotedValuesReadBackWhole)
{
    const struct
    {
        const char *value, *written;
    } cases[] = {
        {"plain", "plain"},
        {"a=b", "a=b"},
        {"se;cret", "\"se;cret\""},
        {" blanks ", "\" blanks \""},
        {"it's;", "\"it's;\""},
        {"say \"hi\";", "'say \"hi\";'"},
        {"both ' and \";", "\"both ' and \"\";\""},
        {"\"lead", "'\"lead'"},
        {"'lead", "\"'lead\""},
        {"{brace}", "\"{brace}\""},
        {"", ""},
    };
    for (const auto &c : cases) {
        const QString value = QString::fromUtf8(c.value);
        const QString written = QuoteConnectionStringValue(value);
        EXPECT_EQ(written, QString::fromUtf8(c.written)) << c.value;
        const QString cs =
            QStringLiteral("Provider=SQLite;Password=") + written + QStringLiteral(";User ID=u");
        EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("Password")), value) << c.value;
        EXPECT_EQ(ConnectionStringItem(cs, QStringLiteral("User ID")), "u") << c.value;
        EXPECT_EQ(MaskPassword(cs), "Provider=SQLite;Password=****;User ID=u") << c.value;
    }
}

TEST(ConnectionString, MaskPasswordHidesEveryPasswordItemAndKeepsTheRest)
{
    // The text after an unquoted semicolon is the password's tail, not an item of its own.
    EXPECT_EQ(MaskPassword(QStringLiteral("Provider=SQLOLEDB;Data Source=s;Password=se;cret")),
              "Provider=SQLOLEDB;Data Source=s;Password=****");
    EXPECT_EQ(MaskPassword(QStringLiteral("Password=se;cret;;x;User ID=u")),
              "Password=****;User ID=u");
    EXPECT_EQ(MaskPassword(QStringLiteral("Password=\"it''s;\"\"x\"\";\";User ID=u")),
              "Password=****;User ID=u");
    EXPECT_EQ(MaskPassword(QStringLiteral("DSN=x;pwd='a;b';UID=u")), "DSN=x;pwd=****;UID=u");
    EXPECT_EQ(MaskPassword(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb;"
                                          "Jet OLEDB:Database Password=top;")),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb;"
              "Jet OLEDB:Database Password=****;");
    // An empty password is masked as well, and a string without one stays as it is.
    EXPECT_EQ(MaskPassword(QStringLiteral("a=1;PASSWORD=;")), "a=1;PASSWORD=****;");
    EXPECT_EQ(MaskPassword(QStringLiteral("Provider=SQLite;Data Source=/x/passwords.db")),
              "Provider=SQLite;Data Source=/x/passwords.db");
}

TEST(ResolveDriver, ServerProvidersMapToTheirDrivers)
{
    const DriverSettings pg = ResolveDriver(QStringLiteral(
        "Provider=PostgreSQL.1;Data Source=db.example;Port=5433;Location=norv;User ID=jx;"
        "Password=p1"));
    EXPECT_EQ(pg.driver, "QPSQL");
    EXPECT_EQ(pg.host, "db.example");
    EXPECT_EQ(pg.port, 5433);
    EXPECT_EQ(pg.databaseName, "norv");
    EXPECT_EQ(pg.user, "jx");
    EXPECT_EQ(pg.password, "p1");
    EXPECT_EQ(pg.lockWaitMs, DefaultLockWaitMs);
    EXPECT_EQ(
        ResolveDriver(QStringLiteral("Provider=PostgreSQL;Data Source=h;Lock Wait=2.5")).lockWaitMs,
        2500);

    const DriverSettings mssql = ResolveDriver(QStringLiteral(
        "Provider=SQLOLEDB;Data Source=sql1,1500;Initial Catalog=NORV;User ID=sa;Password=a}b"));
    EXPECT_EQ(mssql.driver, "QODBC");
    EXPECT_EQ(mssql.databaseName,
              "DRIVER={FreeTDS};SERVER=sql1;PORT=1500;DATABASE=NORV;UID=sa;PWD={a}}b};"
              "TDS_Version=7.4;ClientCharset=UTF-8");

    const DriverSettings odbc = ResolveDriver(QStringLiteral(
        "Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=h;Database=d;User ID=u;Password=p"));
    EXPECT_EQ(odbc.driver, "QODBC");
    EXPECT_EQ(odbc.databaseName, "Driver={PostgreSQL Unicode};Server=h;Database=d;UID=u;PWD=p");
    // The lock wait is ours, not the ODBC driver's.
    EXPECT_EQ(ResolveDriver(QStringLiteral("Provider=MSDASQL;DSN=norv;Lock Wait=3")).databaseName,
              "DSN=norv");
    EXPECT_EQ(odbc.provider, "MSDASQL");

    // No provider at all is ADO's default, the ODBC bridge.
    EXPECT_EQ(ResolveDriver(QStringLiteral("DSN=norv")).provider, "MSDASQL");
}

TEST(ResolveDriver, UnsupportedProvidersAndWrongFilesFailWithAClearText)
{
    QTemporaryDir dir;
    const QString mdb = dir.filePath(QStringLiteral("real.mdb"));
    QFile f(mdb);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    f.close();

    auto failure = [](const QString &cs) {
        try {
            ResolveDriver(cs);
        } catch (const RunError &e) {
            EXPECT_EQ(e.number(), RunError::Database);
            return e.description();
        }
        return QStringLiteral("(opened)");
    };
    EXPECT_TRUE(failure(QStringLiteral("Provider=MSDAORA;Data Source=orcl;User ID=a"))
                    .contains(QLatin1String("MSDAORA")));
    EXPECT_TRUE(failure(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + mdb)
                    .contains(mdb));
    const QString missing = dir.filePath(QStringLiteral("none.db"));
    EXPECT_TRUE(
        failure(QStringLiteral("Provider=SQLite;Data Source=") + missing).contains(missing));
    EXPECT_TRUE(failure(QStringLiteral("Provider=SQLite")).contains(QLatin1String("Data Source")));
    for (const char *wait : {"x", "0", "-1", "4000"})
        EXPECT_EQ(failure(QStringLiteral("Provider=PostgreSQL;Data Source=h;Lock Wait=") +
                          QLatin1String(wait)),
                  QStringLiteral("連線字串的 Lock Wait 必須是 0.1 到 3600 之間的秒數: ") +
                      QLatin1String(wait));
}
