#pragma once

#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

// A fresh database of one kind for a test: an SQLite file in a temporary folder, or a
// database of its own on the PostgreSQL server of the test run (pg_virtualenv sets PGHOST
// and friends), reached directly or through ODBC (psqlODBC); dropped afterwards.
enum class Backend { SQLite, PostgreSQL, Odbc };

std::ostream &operator<<(std::ostream &os, Backend backend);

class TestDatabase
{
public:
    // An empty database.
    explicit TestDatabase(Backend backend, const QString &fileName = QStringLiteral("test.db"));
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // A business database made from the project's create scripts, its connection open;
    // nullptr (with the reason in *why) when the backend is not available in this run.
    static std::unique_ptr<TestDatabase> create(Backend backend, QString *why = nullptr);
    // The same with the suite's own business tables instead (support/suitetables.h).
    static std::unique_ptr<TestDatabase> createSuiteTables(Backend backend, QString *why = nullptr);

    Backend backend() const { return m_backend; }
    bool available() const;
    QString skipReason() const;

    // The connection string as the suite stores it; without the password on request,
    // as InitGCNT completes it.
    QString connectionString(bool withPassword = true) const;
    QString password() const;
    QString file() const { return m_file; } // SQLite only

    // A new connection; connection(): the one this database keeps open.
    Ado::ConnectionPtr open() const;
    const Ado::ConnectionPtr &connection() const;

    // Makes the kept connection the program's shared connection and sets its dialect.
    void makeShared() const;

    // Runs statements separated by ";" at line ends; the first field of a query's first row.
    void exec(const QString &sql) const;
    QString scalar(const QString &sql) const;

    // Another workstation counts the record (user OTHER, stamped), announcing it as its own
    // edit does.
    void countElsewhere(const QString &rno, double count) const;

    // Runs db/<sqlite|postgresql>/<name>.sql from the source tree.
    void applySchema(const QString &name) const;
    static QString schemaFile(Backend backend, const QString &name);

private:
    Backend m_backend;
    QTemporaryDir m_dir;
    QString m_file;
    std::unique_ptr<PgTestDatabase> m_pg;
    mutable Ado::ConnectionPtr m_connection;
};

// The messages database as the build makes it (db/sqlite/messages.sql and db/messages.sql).
void BuildMessagesDatabase(const QString &file);

// gtest parameter names
std::string BackendName(Backend backend);
