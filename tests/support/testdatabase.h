#pragma once

#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

// A fresh, empty database of one kind for a test: an SQLite file in a temporary folder,
// or a PostgreSQL database reached directly or through ODBC (psqlODBC).
enum class Backend { SQLite, PostgreSQL, Odbc };

std::ostream &operator<<(std::ostream &os, Backend backend);

class TestDatabase
{
public:
    explicit TestDatabase(Backend backend, const QString &fileName = QStringLiteral("test.db"));

    Backend backend() const { return m_backend; }
    bool available() const;
    QString skipReason() const;

    // The connection string as the suite stores it; without the password on request,
    // as InitGCNT completes it.
    QString connectionString(bool withPassword = true) const;
    QString password() const;
    QString file() const { return m_file; } // SQLite only

    Ado::ConnectionPtr open() const;

    // Runs db/<sqlite|postgresql>/<name>.sql from the source tree.
    void applySchema(const QString &name) const;
    static QString schemaFile(Backend backend, const QString &name);

private:
    Backend m_backend;
    QTemporaryDir m_dir;
    QString m_file;
    std::unique_ptr<PgTestDatabase> m_pg;
};

// The messages database as the build makes it (db/sqlite/messages.sql and db/messages.sql).
void BuildMessagesDatabase(const QString &file);

// gtest parameter names
std::string BackendName(Backend backend);
