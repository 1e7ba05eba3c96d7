#pragma once

#include <QList>
#include <QString>

// Connection strings as ADO writes them: "Key=Value;Key=Value". Keys are compared without
// regard to case; a value may be wrapped in '...', "..." or {...} to hold a semicolon.
namespace Ado {

struct ConnectionStringPart
{
    QString key;         // trimmed, as written
    QString value;       // trimmed, quotes removed
    bool braced = false; // written as {...}: the value keeps its braces, as ODBC reads them
};

QList<ConnectionStringPart> ParseConnectionString(const QString &connectionString);

// How long a statement waits for a lock another session holds before it is refused, unless
// the connection string's "Lock Wait" item gives other seconds (decimals allowed).
constexpr int DefaultLockWaitMs = 5000;

// How a connection string is opened through Qt SQL.
struct DriverSettings
{
    QString driver;       // QSQLITE, QPSQL or QODBC
    QString provider;     // the provider as ADO reports it
    QString dataSource;   // file, server or data source name
    QString databaseName; // file (QSQLITE), database (QPSQL) or ODBC connection string (QODBC)
    QString host;
    int port = -1;
    QString user;
    QString password;
    QString connectOptions;
    int lockWaitMs = DefaultLockWaitMs;
};

// Chooses the driver for a connection string:
//   Provider=SQLite (Data Source = file)                  -> QSQLITE
//   Provider=Microsoft.Jet.OLEDB.* (Data Source = file)   -> QSQLITE, when the file is an
//                                                            SQLite database
//   Provider=MSDASQL, or no provider (ADO's default)      -> QODBC, the other items as the
//                                                            ODBC connection string
//   any other provider when the string names PostgreSQL   -> QPSQL
//   Provider=SQLOLEDB                                     -> QODBC through FreeTDS
// Anything else throws RunError(Database) with a text naming the provider. The files of
// the first two rows are checked here: missing files and other formats throw as well.
DriverSettings ResolveDriver(const QString &connectionString);

// True when the file begins with the SQLite header ("SQLite format 3", NUL); an empty
// file counts too, since SQLite makes a database of it on first use.
bool IsSqliteFile(const QString &path);

} // namespace Ado
