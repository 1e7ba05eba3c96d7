#pragma once

#include <QString>

// A throw-away PostgreSQL database on the server that the test command starts
// (pg_virtualenv sets PGHOST, PGPORT, PGUSER, PGPASSWORD, PGDATABASE). The database gets
// a unique name and is dropped again by the destructor.
class PgTestDatabase
{
public:
    PgTestDatabase();
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase &) = delete;
    PgTestDatabase &operator=(const PgTestDatabase &) = delete;

    // False when no server is configured or it could not be reached; skipReason() says why.
    bool available() const { return m_created; }
    QString skipReason() const { return m_skipReason; }
    QString name() const { return m_name; }

    // The connection string as the suite writes it (any provider naming PostgreSQL).
    QString connectionString(bool withPassword = true) const;
    // The same database through ODBC: psqlODBC's "PostgreSQL Unicode" driver.
    QString odbcConnectionString(bool withPassword = true) const;

    static QString host() { return qEnvironmentVariable("PGHOST"); }
    static QString port() { return qEnvironmentVariable("PGPORT", QStringLiteral("5432")); }
    static QString user() { return qEnvironmentVariable("PGUSER"); }
    static QString password() { return qEnvironmentVariable("PGPASSWORD"); }

private:
    bool adminExec(const QString &sql, QString *error = nullptr) const;
    QString m_name;
    QString m_skipReason;
    bool m_created = false;
};
