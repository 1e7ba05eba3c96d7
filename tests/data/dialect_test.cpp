#include "common/state.h"
#include "data/adodb.h"
#include "support/testdatabase.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

// Keeps the dialect globals of the run around a test.
struct DialectGuard
{
    QString type = Dialect().gsDBType, date = Dialect().gsDBDate, like = Dialect().gsLikeChar,
            quot = Dialect().gsDateQuot, rno = Dialect().gsNewRNoSQL, concat = Dialect().gsConcatOp,
            left = Dialect().gsLeftFunc;
    ~DialectGuard()
    {
        EditDialect().gsDBType = type;
        EditDialect().gsDBDate = date;
        EditDialect().gsLikeChar = like;
        EditDialect().gsDateQuot = quot;
        EditDialect().gsNewRNoSQL = rno;
        EditDialect().gsConcatOp = concat;
        EditDialect().gsLeftFunc = left;
    }
};

} // namespace

TEST(Quoting, QuotStrDoublesApostrophesAndTrimsBlanks)
{
    EXPECT_EQ(QuotStr(QStringLiteral("O'Neil ")), "'O''Neil'");
    EXPECT_EQ(QuotStr(QString()), "''");
    EXPECT_EQ(QuotStr(QStringLiteral("  A01  ")), "'A01'");
    // Only blanks are trimmed; a line break inside a key stays.
    EXPECT_EQ(QuotStr(QStringLiteral("a\r\nb")), "'a\r\nb'");
    EXPECT_EQ(QuotStr(QStringLiteral("'")), "''''");
}

TEST(Quoting, QuotFieldFlattensFreeText)
{
    EXPECT_EQ(QuotField(QStringLiteral("a,b\r\nc'd")), "'a bc''d'");
    EXPECT_EQ(QuotField(QStringLiteral("x\ry\nz")), "'xyz'");
    EXPECT_EQ(QuotField(QStringLiteral(" ,a, ")), "'a'");
    EXPECT_EQ(QuotField(QStringLiteral("中文,測試")), "'中文 測試'");
}

TEST(Quoting, QuotDateWritesTheDialectsLiteral)
{
    DialectGuard g;
    EditDialect().gsDateQuot = QStringLiteral("'");
    EXPECT_EQ(QuotDate(QDate(2019, 12, 24)), "'2019/12/24 00:00:00'");
    EXPECT_EQ(QuotDate(QDateTime(QDate(2019, 12, 24), QTime(1, 48, 26))), "'2019/12/24 01:48:26'");
    EXPECT_EQ(QuotDate(QStringLiteral("2019-1-5")), "'2019/01/05 00:00:00'");
    EXPECT_EQ(QuotDate(QStringLiteral("abc")), "NULL");
    EXPECT_EQ(QuotDate(QStringLiteral("2019/02/30")), "NULL");
    EXPECT_EQ(QuotDate(QVariant()), "NULL");
    EXPECT_EQ(QuotDate(QDate(2019, 12, 24), QStringLiteral("MSDAORA")),
              "TO_DATE('2019/12/24 00:00:00','YYYY/MM/DD HH24:MI:SS')");
    EditDialect().gsDateQuot = QStringLiteral("#");
    EXPECT_EQ(QuotDate(QDate(2019, 12, 24)), "#2019/12/24 00:00:00#");
    EditDialect().gsDateQuot = QStringLiteral("TO_DATE");
    EXPECT_EQ(QuotDate(QDate(2019, 12, 24)),
              "TO_DATE('2019/12/24 00:00:00','YYYY/MM/DD HH24:MI:SS')");
}

TEST(Encrypt, ScramblesWithTheRepeatingKeyAndUnscramblesWithTheSameCall)
{
    // "abc" XOR "QB_": 0x61^0x51, 0x62^0x42, 0x63^0x5F
    EXPECT_EQ(Encrypt(QStringLiteral("abc"), QStringLiteral("QB_RUM")), QStringLiteral("0 <"));
    for (const QString &t : {QStringLiteral("secret"), QStringLiteral("QB_RUM"),
                             QStringLiteral("密碼 pass 1234567890"), QStringLiteral("x")}) {
        EXPECT_EQ(Encrypt(Encrypt(t, QStringLiteral("QB_RUM")), QStringLiteral("QB_RUM")), t);
        EXPECT_EQ(Encrypt(Encrypt(t, QStringLiteral("k")), QStringLiteral("k")), t);
    }
    // A character equal to its key character becomes NUL and stays in the text.
    EXPECT_EQ(Encrypt(QStringLiteral("QB"), QStringLiteral("QB_RUM")), QString(2, QChar(0)));
    EXPECT_EQ(Encrypt(QString(), QStringLiteral("QB_RUM")), "");
}

TEST(Encrypt, ScramblesTheBig5CodesOfChineseCharactersAsTheSuiteDoes)
{
    const QString key = QStringLiteral("QB_RUM");
    // 中 A4A4 ^ 'Q' = A4F5 火, 文 A4E5 ^ 'B' = A4A7 之: the suite's menu program stores 火之.
    EXPECT_EQ(Encrypt(QStringLiteral("中文"), key), QStringLiteral("火之"));
    EXPECT_EQ(Encrypt(QStringLiteral("火之"), key), QStringLiteral("中文"));
    // ASCII and Chinese mixed, the key running on over both: p ^ 'Q', w ^ 'B', 中 ^ '_' = A4FB 牛,
    // 文 ^ 'R' = A4B7 仄, x ^ 'U'.
    EXPECT_EQ(Encrypt(QStringLiteral("pw中文x"), key), QStringLiteral("!5牛仄-"));
    EXPECT_EQ(Encrypt(QStringLiteral("!5牛仄-"), key), QStringLiteral("pw中文x"));
    // 密 B14B ^ 'Q' = B11A and 碼 BD58 ^ 'B' = BD1A are no characters of the code page: their
    // codes are kept as U+F0000 + code and unscramble again.
    const char32_t kept[] = {0xFB11A, 0xFBD1A};
    EXPECT_EQ(Encrypt(QStringLiteral("密碼"), key), QString::fromUcs4(kept, 2));
    EXPECT_EQ(Encrypt(QString::fromUcs4(kept, 2), key), QStringLiteral("密碼"));
    // A character the code page lacks stays as it is and uses up its key character.
    EXPECT_EQ(Encrypt(QStringLiteral("a😀éb"), key), QStringLiteral("0😀é0"));
    const QString lone = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("中");
    EXPECT_EQ(Encrypt(Encrypt(lone, key), key), lone);
}

TEST(SetDBType, ForcedKeysGiveEveryRowOfTheTable)
{
    DialectGuard g;
    TestDatabase db(Backend::SQLite);
    const auto conn = db.open();
    struct Row
    {
        const char *key, *dbDate, *quot, *rno, *type, *concat, *left;
    };
    const Row rows[] = {
        {"SQLOLED", "getDate()", "'", " SELECT @@IDENTITY AS 'NewRNo' ", "MS_SQL", "+",
         "left(x, 3)"},
        {"MSDAORA", "SYSDATE", "TO_DATE", " SELECT @@IDENTITY AS 'NewRNo' ", "ORACLE", "||",
         "substr(x, 1, 3)"},
        {"MSDASQL", "now()", "'", " SELECT lastval() AS NewRNo ", "PG_SQL", "||", "left(x, 3)"},
        {"MICROSO", "now()", "#", " SELECT @@IDENTITY AS 'NewRNo' ", "ACCESS", "+", "left(x, 3)"},
        {"POSTGRE", "now()", "'", " SELECT lastval() AS NewRNo ", "PG_SQL", "||", "left(x, 3)"},
        {"SQLITE", "strftime('%Y/%m/%d %H:%M:%S','now','localtime')", "'",
         " SELECT last_insert_rowid() AS NewRNo ", "SQLITE", "||", "substr(x, 1, 3)"},
        {"OTHER", "getDate()", "'", " SELECT @@IDENTITY AS 'NewRNo' ", "SQL_DB", "+", "left(x, 3)"},
        {"sqlite", "getDate()", "'", " SELECT @@IDENTITY AS 'NewRNo' ", "SQL_DB", "+",
         "left(x, 3)"},
    };
    for (const Row &r : rows) {
        SetDBType(conn, QLatin1String(r.key));
        EXPECT_EQ(Dialect().gsDBDate, QLatin1String(r.dbDate)) << r.key;
        EXPECT_EQ(Dialect().gsLikeChar, "%") << r.key;
        EXPECT_EQ(Dialect().gsDateQuot, QLatin1String(r.quot)) << r.key;
        EXPECT_EQ(Dialect().gsNewRNoSQL, QLatin1String(r.rno)) << r.key;
        EXPECT_EQ(Dialect().gsDBType, QLatin1String(r.type)) << r.key;
        EXPECT_EQ(Dialect().gsConcatOp, QLatin1String(r.concat)) << r.key;
        EXPECT_EQ(LeftExpr(QStringLiteral("x"), 3), QLatin1String(r.left)) << r.key;
    }
    // Without a forced key the provider decides; no connection means Conn().gCNT.
    SetDBType(conn);
    EXPECT_EQ(Dialect().gsDBType, "SQLITE");
    EditConn().gCNT = conn;
    SetDBType(nullptr, QStringLiteral("POSTGRE"));
    EXPECT_EQ(Dialect().gsDBType, "PG_SQL");
    SetDBType();
    EXPECT_EQ(Dialect().gsDBType, "SQLITE");
    EditConn().gCNT.reset();
}

TEST(SetDBType, TheProviderDecidesBeforeTheWordPostgreSQL)
{
    DialectGuard g;
    // An SQLite file whose name says PostgreSQL: the SQLite dialect, so that the record
    // number of an insert and the clock of an update work.
    TestDatabase db(Backend::SQLite, QStringLiteral("PostgreSQL-copy.db"));
    db.applySchema(QStringLiteral("business"));
    const auto conn = db.open();
    ASSERT_TRUE(conn->connectionString().contains(QLatin1String("PostgreSQL")));
    SetDBType(conn);
    EXPECT_EQ(Dialect().gsDBType, "SQLITE");
    conn->executeNonQuery(QStringLiteral("INSERT INTO STOCK (DeptNo, StkDate, STKNo, UserID, "
                                         "FileDate) VALUES ('A01', ") +
                          QuotDate(QDate(2019, 12, 31)) + QStringLiteral(", 'X1', 'u', ") +
                          Dialect().gsDBDate + QStringLiteral(")"));
    EXPECT_EQ(conn->execute(Dialect().gsNewRNoSQL).text(QStringLiteral("NewRNo")), "1");

    // The same file through the Jet provider is an Access database by its provider.
    const auto jet = Ado::Connection::open(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + db.file());
    SetDBType(jet);
    EXPECT_EQ(Dialect().gsDBType, "ACCESS");
}
