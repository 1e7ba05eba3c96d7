#include "common/state.h"
#include "common/validtext.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "data/norv.h"
#include "support/programtree.h"
#include "support/testdatabase.h"

#include <QDate>
#include <gtest/gtest.h>
#include <random>

// The SQL texts of the connection, dialect, parameter and department code against every
// database the program runs on: the quoting keeps any text out of the statement, and the
// dialect pieces run unchanged.
namespace {

class SqlBackends : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDatabase>(GetParam());
        if (!db->available())
            GTEST_SKIP() << db->skipReason().toStdString();
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
        db->applySchema(QStringLiteral("business"));
        EditConn().gCNT = db->open();
        SetDBType();
    }
    void TearDown() override
    {
        EditConn().gCNT.reset();
        EditDialect().gsDBType.clear();
    }
    int count(const QString &sql) { return Conn().gCNT->execute(sql).text(0).toInt(); }

    ProgramTree tree;
    std::unique_ptr<TestDatabase> db;
};

QStringList awkwardTexts()
{
    return {
        QStringLiteral("O'Neil"),
        QStringLiteral("'; DROP TABLE xxPARAM; --"),
        QStringLiteral("back\\slash \\' \\\\"),
        QStringLiteral("a,b,,c"),
        QStringLiteral("line1\r\nline2\rline3\nline4"),
        QStringLiteral("中文品名「特級」，規格"),
        QStringLiteral("  lead and trail  "),
        QStringLiteral("%_*?[]"),
        QString(1000, QLatin1Char('x')) + QStringLiteral("'") + QString(10, QChar(0x4E2D)),
    };
}

// Texts built from the pieces that break quoting: apostrophes, backslashes, unpaired and
// paired surrogates, the non-characters U+FFFE/U+FFFF, control characters, full-width and
// combining characters, SQL fragments; a few 10,000 characters long. Always the same texts.
QStringList hostileTexts(int count)
{
    const QStringList pieces = {
        QStringLiteral("'"),    QStringLiteral("''"),         QStringLiteral("\\"),
        QStringLiteral("\\'"),  QString(QChar(0xD800)),       QString(QChar(0xDBFF)),
        QString(QChar(0xDC00)), QString(QChar(0xDFFF)),       QStringLiteral("\U0001F600"),
        QString(QChar(0xFFFE)), QString(QChar(0xFFFF)),       QString(QChar(0)),
        QStringLiteral("\t"),   QStringLiteral("\r\n"),       QString(QChar(0x1B)),
        QString(QChar(0x7F)),   QStringLiteral("ＡＢ１２＇"), QStringLiteral("e\u0301"),
        QString(QChar(0x0301)), QStringLiteral("中文"),       QStringLiteral(" OR 1=1 --"),
        QStringLiteral(";"),    QStringLiteral("/*"),         QStringLiteral("%_"),
        QStringLiteral(" "),    QStringLiteral(","),          QStringLiteral("A"),
        QStringLiteral("\""),   QStringLiteral("$$"),         QString(QChar(0x3000))};
    std::mt19937 random(20191224);
    std::uniform_int_distribution<int> piece(0, int(pieces.size()) - 1);
    std::uniform_int_distribution<int> length(0, 12);
    QStringList out;
    for (int i = 0; i < count; ++i) {
        QString t;
        const int n = i % 1000 == 999 ? 10000 : length(random);
        while (t.size() < n)
            t += pieces[piece(random)];
        if (n == 10000)
            t.truncate(n);
        out.append(t);
    }
    return out;
}

// What QuotStr and QuotField keep of a text: its valid characters, outer blanks trimmed;
// free text without line breaks and commas.
QString blanksTrimmed(QString t)
{
    while (t.startsWith(QLatin1Char(' ')))
        t.remove(0, 1);
    while (t.endsWith(QLatin1Char(' ')))
        t.chop(1);
    return t;
}

QString flattened(QString t)
{
    t.remove(QStringLiteral("\r\n")).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return blanksTrimmed(t.replace(QLatin1Char(','), QLatin1Char(' ')));
}

} // namespace

TEST_P(SqlBackends, DialectFollowsTheConnection)
{
    EXPECT_EQ(Dialect().gsDBType, GetParam() == Backend::SQLite ? "SQLITE" : "PG_SQL");
    // The record number of a new STOCK row, the database's clock in an UPDATE, both dialect
    // pieces exactly as the other code writes them.
    Conn().gCNT->executeNonQuery(
        QStringLiteral("INSERT INTO STOCK (DeptNo, StkDate, STKNo, UserID, "
                       "FileDate) VALUES ('A01', ") +
        QuotDate(QDate(2019, 12, 31)) + QStringLiteral(", 'X1', 'u', ") + Dialect().gsDBDate +
        QStringLiteral(")"));
    const QString rno = Conn().gCNT->execute(Dialect().gsNewRNoSQL).text(QStringLiteral("NewRNo"));
    EXPECT_GT(rno.toInt(), 0);
    Conn().gCNT->executeNonQuery(QStringLiteral("UPDATE STOCK SET UpdUserID = 'v', upddate = ") +
                                 Dialect().gsDBDate + QStringLiteral(" WHERE RNo = ") + rno);
    Ado::Recordset rs =
        Conn().gCNT->execute(QStringLiteral("Select * From Stock Where RNo = ") + rno);
    EXPECT_EQ(rs.text(QStringLiteral("StkDate")), "2019/12/31");
    const QString upd = rs.text(QStringLiteral("UpdDate"));
    EXPECT_TRUE(
        QDateTime::fromString(upd.left(19), QStringLiteral("yyyy/MM/dd HH:mm:ss")).isValid() ||
        QDate::fromString(upd, QStringLiteral("yyyy/MM/dd")).isValid())
        << upd.toStdString();
    // Dates compare as the period lookups compare them.
    EXPECT_EQ(count(QStringLiteral("Select count(*) From STOCK Where StkDate = ") +
                    QuotDate(QStringLiteral("2019/12/31"))),
              1);
    EXPECT_EQ(count(QStringLiteral("Select count(*) From STOCK Where StkDate >= ") +
                    QuotDate(QDate(2019, 12, 1)) + QStringLiteral(" And StkDate <= ") +
                    QuotDate(QDate(2019, 12, 31))),
              1);
}

TEST_P(SqlBackends, ConcatenationAndLeadingCharacters)
{
    Conn().gCNT->executeNonQuery(
        QStringLiteral("INSERT INTO Corp (CompNo, CompSName, DeptNo, StockNo) "
                       "VALUES ('A01', '中央廚房', '01', 1)"));
    Conn().gCNT->executeNonQuery(
        QStringLiteral("INSERT INTO STK (STKNo, STKName) VALUES ('010001', 'a'), "
                       "('010002', 'b'), ('020001', 'c')"));
    Ado::Recordset rs =
        Conn().gCNT->execute(QStringLiteral("Select CompNo, CompSName ") + Dialect().gsConcatOp +
                             QStringLiteral(" DeptNo as DeptName From Corp"));
    EXPECT_EQ(rs.text(QStringLiteral("DeptName")), "中央廚房01");
    EXPECT_EQ(count(QStringLiteral("Select count(*) as RecCount from stk") +
                    QStringLiteral(" Where ") + LeftExpr(QStringLiteral("stkno"), 4) +
                    QStringLiteral(" = ") + QuotField(QStringLiteral("0100"))),
              2);
}

// The item lookup's prefix condition finds exactly the items the leading-characters test
// finds, for codes with wildcards, quotes, commas, blanks and wide characters, and an index
// serves it.
TEST_P(SqlBackends, PrefixConditionFindsWhatTheLeadingCharactersFind)
{
    const QStringList items = {
        QStringLiteral("A1"),      QStringLiteral("A10"),      QStringLiteral("A11"),
        QStringLiteral("A1%"),     QStringLiteral("A1_x"),     QStringLiteral("A%1"),
        QStringLiteral("A_1"),     QStringLiteral("A1'x"),     QStringLiteral("O'N"),
        QStringLiteral("O'Neil"),  QStringLiteral("a1"),       QStringLiteral("B"),
        QStringLiteral("Z"),       QStringLiteral("Za"),       QStringLiteral("Z["),
        QStringLiteral("Z-1"),     QStringLiteral("中文"),     QStringLiteral("中文x"),
        QStringLiteral("A1 "),     QStringLiteral("A 1"),      QStringLiteral("A,1"),
        QStringLiteral("A\u00FF"), QStringLiteral("A\u00FFB"), QStringLiteral("\uFFEE1"),
        QStringLiteral("A2"),      QStringLiteral("[1"),       QStringLiteral("\\1"),
        QStringLiteral("A1\\"),
    };
    for (QString item : items) // as typed: blanks and commas kept
        Conn().gCNT->executeNonQuery(QStringLiteral("INSERT INTO STK (STKNo, STKName) VALUES ('") +
                                     item.replace(QLatin1Char('\''), QStringLiteral("''")) +
                                     QStringLiteral("', 'x')"));
    ASSERT_EQ(count(QStringLiteral("Select count(*) from STK")), items.size());
    auto numbers = [](const QString &where) {
        QStringList found;
        Ado::Recordset rs = Conn().gCNT->execute(QStringLiteral("Select STKNo From STK Where ") +
                                                 where + QStringLiteral(" Order By 1"));
        for (; !rs.eof(); rs.moveNext())
            found << rs.text(0);
        found.sort();
        return found;
    };
    const QStringList codes = {
        QStringLiteral("A1"),     QStringLiteral("A"),   QStringLiteral("A1%"),
        QStringLiteral("A1_"),    QStringLiteral("%"),   QStringLiteral("_"),
        QStringLiteral("O'"),     QStringLiteral("'"),   QStringLiteral("Z"),
        QStringLiteral("中"),     QStringLiteral("A1,"), QStringLiteral("A,1"),
        QStringLiteral("a"),      QStringLiteral("A1x"), QStringLiteral("A\u00FF"),
        QStringLiteral("\uFFEE"), QStringLiteral("["),   QStringLiteral("\\"),
        QStringLiteral("A1\\"),   QStringLiteral("A1 "),
    };
    for (const QString &code : codes) {
        const QStringList expected = numbers(LeftExpr(QStringLiteral("stkno"), int(code.size())) +
                                             QStringLiteral(" = ") + QuotField(code));
        EXPECT_EQ(numbers(PrefixCondition(QStringLiteral("stkno"), code)), expected)
            << code.toStdString();
    }
    EXPECT_EQ(numbers(PrefixCondition(QStringLiteral("stkno"), QStringLiteral("A1"))),
              QStringList({"A1", "A1 ", "A1%", "A1'x", "A10", "A11", "A1\\", "A1_x"}));

    // The plan reads the index, not the whole table.
    const QString prefix = PrefixCondition(QStringLiteral("stkno"), QStringLiteral("A1"));
    QString plan;
    if (GetParam() == Backend::SQLite) {
        Ado::Recordset rs = Conn().gCNT->execute(
            QStringLiteral("Explain Query Plan Select count(*) from stk Where ") + prefix);
        for (; !rs.eof(); rs.moveNext())
            plan += rs.text(QStringLiteral("detail")) + QLatin1Char('\n');
        EXPECT_TRUE(plan.contains(QStringLiteral("INDEX"))) << plan.toStdString();
    } else if (GetParam() == Backend::PostgreSQL) {
        Conn().gCNT->executeNonQuery(QStringLiteral("Set enable_seqscan = off"));
        Ado::Recordset rs = Conn().gCNT->execute(
            QStringLiteral("Explain Select count(*) from stk Where ") + prefix);
        for (; !rs.eof(); rs.moveNext())
            plan += rs.text(0) + QLatin1Char('\n');
        EXPECT_TRUE(plan.contains(QStringLiteral("stk_stkno_codepoints"))) << plan.toStdString();
    }
}

TEST_P(SqlBackends, QuotedTextReadsBackAsTheQuotingRuleSays)
{
    int n = 0;
    for (const QString &text : awkwardTexts()) {
        const QString idStr = QStringLiteral("S%1").arg(++n);
        const QString idField = QStringLiteral("F%1").arg(n);
        Conn().gCNT->executeNonQuery(
            QStringLiteral("INSERT INTO xxPARAM (ParamID, ParamValue) VALUES (") + QuotStr(idStr) +
            QStringLiteral(", ") + QuotStr(text) + QStringLiteral(")"));
        Conn().gCNT->executeNonQuery(
            QStringLiteral("INSERT INTO xxPARAM (ParamID, ParamValue) VALUES (") +
            QuotStr(idField) + QStringLiteral(", ") + QuotField(text) + QStringLiteral(")"));
        // QuotStr keeps the text but its outer blanks; QuotField flattens it.
        QString expectStr = text;
        while (expectStr.startsWith(QLatin1Char(' ')))
            expectStr.remove(0, 1);
        while (expectStr.endsWith(QLatin1Char(' ')))
            expectStr.chop(1);
        QString expectField = text;
        expectField.remove(QStringLiteral("\r\n"))
            .remove(QLatin1Char('\r'))
            .remove(QLatin1Char('\n'));
        expectField.replace(QLatin1Char(','), QLatin1Char(' '));
        expectField = expectField.trimmed();

        QString value;
        ASSERT_TRUE(getParamValue(idStr, value)) << idStr.toStdString();
        EXPECT_EQ(value, expectStr);
        ASSERT_TRUE(getParamValue(idField, value));
        EXPECT_EQ(value, expectField);
        // The text as a search key finds exactly its own row.
        EXPECT_EQ(count(QStringLiteral("Select count(*) From xxPARAM Where ParamValue = ") +
                        QuotStr(text)),
                  text.trimmed() == expectField ? 2 : 1)
            << text.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("Select count(*) From xxPARAM")), 2 * n);
}

TEST_P(SqlBackends, HostileTextsReadBackThroughTheirLiteral)
{
    int checked = 0;
    for (const QString &text : hostileTexts(5000)) {
        const QString valid = ValidText(text);
        const QString sql = QStringLiteral("Select ") + QuotStr(text) + QStringLiteral(" as S, ") +
                            QuotField(text) + QStringLiteral(" as F, ") + QuotDate(text) +
                            QStringLiteral(" as D");
        Ado::Recordset rs = Conn().gCNT->execute(sql);
        ASSERT_EQ(rs.text(QStringLiteral("S")), blanksTrimmed(valid)) << sql.toStdString();
        ASSERT_EQ(rs.text(QStringLiteral("F")), flattened(valid)) << sql.toStdString();
        ASSERT_TRUE(rs.isNull(QStringLiteral("D"))) << sql.toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, 5000);
}

TEST_P(SqlBackends, HostileTextInOneLiteralNeverWidensTheOtherConditions)
{
    Conn().gCNT->executeNonQuery(
        QStringLiteral("INSERT INTO xxPARAM (ParamID, ParamValue) VALUES "
                       "('A1', 'A'), ('A2', 'Azz'), ('B1', 'A'), ('B2', 'B')"));
    // A department range as the criteria write it: the user's own prefix, then two boxes.
    const auto departmentsA = [](const QString &from, const QString &to) {
        return QStringLiteral("Select ParamID From xxPARAM Where ParamID Like ") +
               QuotField(QStringLiteral("A%")) + QStringLiteral(" And ParamValue >= ") +
               QuotStr(from) + QStringLiteral(" And ParamValue <= ") + QuotField(to);
    };
    const QString loneHigh = QStringLiteral("A") + QChar(0xD800);
    Ado::Recordset known =
        Conn().gCNT->execute(departmentsA(loneHigh, QStringLiteral(" OR 1=1 --")));
    EXPECT_TRUE(known.eof()) << known.text(0).toStdString();

    const QStringList texts = hostileTexts(600);
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2) {
        for (const auto &[from, to] : {std::pair(loneHigh + texts[i], texts[i + 1]),
                                       std::pair(texts[i], texts[i + 1] + QChar(0xDBFF))}) {
            Ado::Recordset rs = Conn().gCNT->execute(departmentsA(from, to));
            for (; !rs.eof(); rs.moveNext())
                ASSERT_TRUE(rs.text(0).startsWith(QLatin1Char('A')))
                    << departmentsA(from, to).toStdString();
        }
    }
}

TEST_P(SqlBackends, ParametersAreLookedUpByKey)
{
    Conn().gCNT->executeNonQuery(
        QStringLiteral("INSERT INTO xxPARAM (ParamID, ParamValue) VALUES "
                       "('POSMode', 'Y'), ('Empty', ''), ('NullValue', NULL), "
                       "('USESOUT', 'N'), ('O''Key', 'apostrophe')"));
    QString value = QStringLiteral("before");
    EXPECT_TRUE(getParamValue(QStringLiteral("POSMode"), value));
    EXPECT_EQ(value, "Y");
    EXPECT_EQ(gvSQL,
              "Select *  from xxPARAM WHERE ParamID = 'POSMode'" +
                  QString(GetParam() == Backend::SQLite ? "" : " or upper(ParamID) = 'POSMODE'"));
    value = QStringLiteral("before");
    EXPECT_FALSE(getParamValue(QStringLiteral("Empty"), value));
    EXPECT_EQ(value, "");
    value = QStringLiteral("before");
    EXPECT_FALSE(getParamValue(QStringLiteral("NullValue"), value));
    EXPECT_EQ(value, "");
    value = QStringLiteral("kept");
    EXPECT_FALSE(getParamValue(QStringLiteral("Missing"), value));
    EXPECT_EQ(value, "kept");
    EXPECT_TRUE(getParamValue(QStringLiteral("O'Key"), value));
    EXPECT_EQ(value, "apostrophe");
    // A key stored in upper case is found on PostgreSQL through the upper() alternative.
    value.clear();
    const bool upperFound = getParamValue(QStringLiteral("UseSOut"), value);
    EXPECT_EQ(upperFound, GetParam() != Backend::SQLite);
}

TEST_P(SqlBackends, ParameterQueryFailureReadsAsNotSet)
{
    Conn().gCNT->executeNonQuery(QStringLiteral("DROP TABLE xxPARAM"));
    QString value = QStringLiteral("kept");
    EXPECT_FALSE(getParamValue(QStringLiteral("POSMode"), value));
    EXPECT_EQ(value, "kept");
    EXPECT_TRUE(tree.readFile(Ini().gsErrFile).contains("getParamValue"));
}

TEST_P(SqlBackends, DepartmentNamesAndSuiteSettings)
{
    Conn().gCNT->executeNonQuery(QStringLiteral(
        "INSERT INTO Corp (CompNo, CompSName, DeptNo, StockNo) VALUES ('A01', 'Store', '01', 1), "
        "('B01', NULL, NULL, 0), ('O''1', '引號', '9', 1)"));
    Conn().gCNT->executeNonQuery(
        QStringLiteral("INSERT INTO xxPARAM (ParamID, ParamValue) VALUES ('AvgPriceMethod', 's')"));
    QString name = QStringLiteral("x");
    EXPECT_TRUE(GetDeptName(QStringLiteral("A01"), name));
    EXPECT_EQ(name, "Store01");
    EXPECT_TRUE(GetDeptName(QStringLiteral("B01"), name));
    EXPECT_EQ(name, "");
    EXPECT_TRUE(GetDeptName(QStringLiteral("O'1"), name));
    EXPECT_EQ(name, "引號9");
    EXPECT_FALSE(GetDeptName(QStringLiteral("Z99"), name));
    EXPECT_EQ(name, "");
    // Lower case finds the department on PostgreSQL only (SQLite compares exactly).
    EXPECT_EQ(GetDeptName(QStringLiteral("a01"), name), GetParam() != Backend::SQLite);

    InitNORV();
    EXPECT_EQ(Suite().gvAvgPriceMethod, "S");
}

INSTANTIATE_TEST_SUITE_P(Backends, SqlBackends,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL, Backend::Odbc),
                         [](const auto &info) { return BackendName(info.param); });
