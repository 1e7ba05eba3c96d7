#pragma once

#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace business {

// A fresh business database for one test: an SQLite file, or a database of its own on
// the PostgreSQL server of the test run (pg_virtualenv sets PGHOST and friends), made
// from the project's create scripts and dropped afterwards.
class TestDatabase
{
public:
    enum class Kind { SQLite, PostgreSQL };

    // nullptr (with the reason in *why) when the kind is not available in this run.
    static std::unique_ptr<TestDatabase> create(Kind kind, QString *why = nullptr);
    ~TestDatabase();

    Kind kind() const { return m_kind; }
    QString connectionString() const { return m_connectionString; }
    const Ado::ConnectionPtr &connection() const { return m_connection; }

    // Makes this database the program's shared connection and sets its dialect.
    void makeShared() const;

    // Runs statements separated by ";" at line ends.
    void exec(const QString &sql) const;
    QString scalar(const QString &sql) const;

    static QString kindName(Kind kind);

private:
    TestDatabase() = default;
    Kind m_kind = Kind::SQLite;
    QString m_connectionString;
    std::unique_ptr<PgTestDatabase> m_pg;
    QTemporaryDir m_dir;
    Ado::ConnectionPtr m_connection;
};

// gtest parameter printing
inline std::string PrintToString(TestDatabase::Kind kind)
{
    return TestDatabase::kindName(kind).toStdString();
}

} // namespace business

// Tests of the stock programs use the business database by this name.
using business::PrintToString;
using business::TestDatabase;
