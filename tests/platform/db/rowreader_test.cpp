#include "itemtable.h"
#include "platform/db/rowreader.h"

#include <gtest/gtest.h>

using namespace Ado;
using Path = RowReader::Path;

namespace {

// One field of a row as a reader gives it.
struct Field
{
    QString text;
    double number;
    QVariant value;

    bool operator==(const Field &o) const
    {
        return text == o.text && number == o.number && value.isNull() == o.value.isNull() &&
               (value.isNull() || value == o.value);
    }
};

void PrintTo(const Field &f, std::ostream *os)
{
    *os << '"' << f.text.toStdString() << "\" " << f.number << ' '
        << (f.value.isNull() ? "NULL" : f.value.toString().toStdString());
}

// The same rows read by either path, the rule's texts written out: texts in CJK and beyond
// the 16-bit range, a text that looks like a number, NULL and empty texts, fractions, large
// and negative figures, dates with and without a time; computed fields too.
class RowReaderTest : public ItemTableTest
{
protected:
    void SetUp() override
    {
        ItemTableTest::SetUp();
        if (IsSkipped())
            return;
        for (const char *values :
             {"('A1', '大白菜', 12.5, 3, '2019/12/24 00:00:00')",
              "('A2', NULL, -3, 0, '2019/12/24 01:48:26')", "('A3', '', 0, NULL, NULL)",
              "('A4', '𠮷野家 特大', -98765432109.125, -2147483648, '2020/02/29 23:59:59')",
              "('A5', '𠮷野家 特大', 0.1, 2147483647, '2020/02/29 00:00:00')",
              "('A6', '007', 1000000000000000, 7, NULL)"})
            conn->executeNonQuery(QStringLiteral("INSERT INTO Item VALUES ") +
                                  QString::fromUtf8(values));
    }

    // Every field of every row, and whether field 1 was the same copy as in the row before.
    static QList<QList<Field>> readAll(RowReader &reader, QList<bool> *sharedName)
    {
        QList<QList<Field>> rows;
        QString lastName;
        while (reader.next()) {
            QList<Field> row;
            for (int f = 0; f < 7; ++f)
                row.append({reader.text(f), reader.number(f), reader.value(f)});
            rows.append(row);
            const QString name = reader.text(1);
            sharedName->append(!name.isEmpty() && name.constData() == lastName.constData());
            lastName = name;
        }
        EXPECT_FALSE(reader.next()) << "read on after the end";
        return rows;
    }

    static const inline QString sql =
        QStringLiteral("Select ItemNo, ItemName, Qty, Cnt, DocDate, Qty * 2, Cnt || 'x' "
                       "From Item Order by ItemNo");
};

} // namespace

TEST_P(RowReaderTest, BothPathsReadTheRowsByTheOneRule)
{
    const QList<QStringList> texts = {
        {"A1", "大白菜", "12.5", "3", "2019/12/24", "25", "3x"},
        {"A2", "", "-3", "0", "2019/12/24 01:48:26", "-6", "0x"},
        {"A3", "", "0", "", "", "0", ""},
        {"A4", "𠮷野家 特大", "-98765432109.125", "-2147483648", "2020/02/29 23:59:59",
         "-197530864218.25", "-2147483648x"},
        {"A5", "𠮷野家 特大", "0.1", "2147483647", "2020/02/29", "0.2", "2147483647x"},
        {"A6", "007", "1000000000000000", "7", "", "2000000000000000", "7x"}};
    const QList<double> quantities = {12.5, -3, 0, -98765432109.125, 0.1, 1e15};
    const QList<double> counts = {3, 0, 0, -2147483648.0, 2147483647, 7};

    RowReader qtSql(*conn, sql, Path::QtSql);
    EXPECT_EQ(qtSql.path(), Path::QtSql);
    QList<bool> sharedByQtSql;
    const QList<QList<Field>> rows = readAll(qtSql, &sharedByQtSql);
    ASSERT_EQ(rows.size(), texts.size());
    for (int r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r);
        for (int f = 0; f < 7; ++f)
            EXPECT_EQ(rows[r][f].text, texts[r][f]) << "field " << f;
        EXPECT_EQ(rows[r][2].number, quantities[r]);
        EXPECT_EQ(rows[r][3].number, counts[r]);
        EXPECT_EQ(rows[r][1].value.isNull(), r == 1); // NULL, unlike the empty text of A3
    }
    EXPECT_EQ(sharedByQtSql, QList<bool>({false, false, false, false, true, false}));

    RowReader native(*conn, sql);
    if (GetParam() != Backend::SQLite) {
        EXPECT_EQ(native.path(), Path::QtSql) << "only SQLite has a native path";
        return;
    }
    if (!RowReader::nativeSqlite()) {
        EXPECT_EQ(native.path(), Path::QtSql);
        GTEST_SKIP() << "this build reads SQLite through Qt SQL only (see the configure step)";
    }
    ASSERT_EQ(native.path(), Path::Native);
    QList<bool> sharedByNative;
    const QList<QList<Field>> nativeRows = readAll(native, &sharedByNative);
    ASSERT_EQ(nativeRows.size(), rows.size());
    for (int r = 0; r < rows.size(); ++r)
        EXPECT_EQ(nativeRows[r], rows[r]) << "row " << r;
    EXPECT_EQ(sharedByNative, sharedByQtSql);
}

TEST_P(RowReaderTest, BothPathsReportTheDatabasesError)
{
    for (const Path path : {Path::Native, Path::QtSql}) {
        SCOPED_TRACE(path == Path::Native ? "native" : "Qt SQL");
        try {
            RowReader bad(*conn, QStringLiteral("Select * From NoSuchTable"), path);
            bad.next();
            ADD_FAILURE() << "no error";
        } catch (const RunError &e) {
            EXPECT_EQ(e.number(), RunError::Database);
            EXPECT_TRUE(e.description().contains(QLatin1String("nosuchtable"), Qt::CaseInsensitive))
                << e.description().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, RowReaderTest,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL, Backend::Odbc),
                         [](const auto &info) { return BackendName(info.param); });
