#include "data/tablecolumns.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>

namespace {

class TableColumns : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        QString why;
        project = TestDatabase::create(GetParam(), &why);
        if (project)
            suite = TestDatabase::createSuiteTables(GetParam(), &why);
        if (!suite)
            GTEST_SKIP() << why.toStdString();
    }
    std::unique_ptr<TestDatabase> project, suite;
};

} // namespace

TEST_P(TableColumns, EachDatabaseAnswersForItsOwnTables)
{
    EXPECT_TRUE(HasColumn(project->connection(), QStringLiteral("SIN"), QStringLiteral("SINNo")));
    EXPECT_FALSE(HasColumn(suite->connection(), QStringLiteral("SIN"), QStringLiteral("SINNo")));
    // Names in any case, as the statements write them.
    EXPECT_TRUE(HasColumn(project->connection(), QStringLiteral("sin"), QStringLiteral("sinno")));
    EXPECT_TRUE(HasColumn(suite->connection(), QStringLiteral("Sout"), QStringLiteral("SOUTDATE")));
    EXPECT_FALSE(
        HasColumn(suite->connection(), QStringLiteral("STOCK"), QStringLiteral("STKFlag")));
    EXPECT_THROW(HasColumn(suite->connection(), QStringLiteral("NoSuchTable"), QStringLiteral("X")),
                 RunError);
}

TEST_P(TableColumns, ATablesColumnsAreLookedUpOncePerConnection)
{
    const Ado::ConnectionPtr first = suite->connection();
    EXPECT_FALSE(HasColumn(first, QStringLiteral("SIN"), QStringLiteral("SINNo")));
    suite->exec(QStringLiteral("ALTER TABLE SIN ADD SINNo NUMERIC;\n"));
    EXPECT_FALSE(HasColumn(first, QStringLiteral("SIN"), QStringLiteral("SINNo")));
    EXPECT_TRUE(HasColumn(suite->open(), QStringLiteral("SIN"), QStringLiteral("SINNo")));
}

INSTANTIATE_TEST_SUITE_P(Databases, TableColumns,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto &info) { return BackendName(info.param); });
