#pragma once

#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A large demo business database for a benchmark, made by the project's generator on
// SQLite or on the PostgreSQL server of the run (PGHOST...), dropped afterwards.
class BenchDatabase
{
public:
    enum class Kind { SQLite, PostgreSQL };
    struct Size
    {
        int items = 60000;
        int stockRows = 50000; // one department's period
        int slipLines = 100000;
        int months = 2;
    };

    // nullptr when the kind is not available (no PostgreSQL server) or generation failed.
    static std::unique_ptr<BenchDatabase> make(Kind kind, const Size &size);
    // A database made by another process of the run (a benchmark's parent), opened here and
    // left to its maker; nullptr when it does not open.
    static std::unique_ptr<BenchDatabase> attach(const QString &connectionString);
    ~BenchDatabase();

    QString connectionString() const { return m_connectionString; }
    const Ado::ConnectionPtr &connection() const { return m_connection; }
    // For readers that bypass the program's connection layer: the SQLite file, libpq's
    // connection text (the PG* environment of the run fills in server and user).
    QString sqliteFile() const { return m_file; }
    QString libpqConnInfo() const;
    void makeShared() const; // Conn().gCNT and its dialect

    static QString kindName(Kind kind);
    // The date the generated periods count back from: the loaded period is the month before.
    static QString today() { return QStringLiteral("2026/12/08"); }

private:
    QTemporaryDir m_dir;
    QString m_file;
    QString m_connectionString;
    std::unique_ptr<PgTestDatabase> m_pg;
    Ado::ConnectionPtr m_connection;
};

// Median of a list of measurements.
double Median(QList<double> values);
