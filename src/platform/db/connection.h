#pragma once

#include "common/runerror.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>

class QSqlQuery;

// A thin connection / recordset / command layer over Qt SQL, in place of ADO and the
// OLE DB providers. Every failure throws RunError(RunError::Database, <database's text>).
//
// Values read as text follow one rule for the whole program: NULL is empty text; numbers
// are plain decimal text in the C locale (12.5, 0, -3: NumText); dates are "YYYY/MM/DD",
// with " HH:MM:SS" only when the time is not midnight. SQLite keeps dates as text in the
// form QuotDate writes ("YYYY/MM/DD HH:MM:SS"); a text value of exactly that form reads by
// the same date rule (" 00:00:00" dropped), every other text reads as stored.
//
// Providers and drivers: see ResolveDriver in platform/db/connectionstring.h.
namespace Ado {

// Error number of a field name that a recordset does not have (ADO's "item not found").
constexpr int ItemNotFound = 3265;

// A statement gave up waiting for a lock another session holds (PostgreSQL's lock time-out,
// SQLite's "database is locked"): nothing of it was done, and trying again later may work.
class LockBusy : public RunError
{
public:
    using RunError::RunError;
};

// A forward-only result: end-of-file test, fields by name (compared without regard to
// case) or by position, next record.
class Recordset
{
public:
    Recordset();
    // owner keeps the query's connection alive as long as the result is open.
    explicit Recordset(std::unique_ptr<QSqlQuery> query, std::shared_ptr<const void> owner = {});
    Recordset(Recordset &&) noexcept;
    Recordset &operator=(Recordset &&) noexcept;
    ~Recordset();

    bool isOpen() const;
    bool eof() const;
    void moveNext();
    void close();

    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldType(int index) const;            // QMetaType id of the column
    int fieldIndex(const QString &name) const; // -1 when there is no such field

    bool isNull(int index) const;
    bool isNull(const QString &name) const;
    QVariant value(int index) const;
    QVariant value(const QString &name) const;
    QString text(int index) const;           // by the text rule above
    QString text(const QString &name) const; // throws ItemNotFound for an unknown field
    double number(int index) const;          // numeric value of the text (NULL = 0)
    double number(const QString &name) const;

private:
    friend class Command;
    Recordset(std::shared_ptr<QSqlQuery> query, std::shared_ptr<const void> owner, bool);
    int requireField(const QString &name) const;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A prepared statement with one text parameter ("?").
class Command
{
public:
    Command(QSqlDatabase db, const QString &sql);
    Command(Command &&) noexcept;
    ~Command();
    // The result stays valid until the next execute.
    Recordset execute(const QString &parameter);

private:
    friend class Connection;
    std::shared_ptr<QSqlQuery> m_query;
    QString m_sql;
    std::shared_ptr<const void> m_owner;
};

class Connection : public std::enable_shared_from_this<Connection>
{
public:
    // Opens a connection from a connection string ("Provider=...;Data Source=...;...").
    // Connection timeout 10 s, no command timeout; a statement waits for a lock another
    // session holds at most lockWait() and then throws LockBusy (PostgreSQL, SQLite).
    static std::shared_ptr<Connection> open(const QString &connectionString);
    ~Connection();

    QString provider() const;         // the Provider= value as given (MSDASQL when none)
    QString connectionString() const; // as given
    QString dataSource() const;       // the Data Source (file or server)
    QString driverName() const;       // QSQLITE, QPSQL or QODBC
    bool isOpen() const;

    // A query's forward-only result; for a statement that returns no rows, a closed
    // recordset (isOpen() false, eof() true).
    Recordset execute(const QString &sql);
    int executeNonQuery(const QString &sql); // a statement; the number of rows it touched
    Command prepare(const QString &sql);

    void beginTrans();
    void commitTrans();
    void rollbackTrans();

    bool inTransaction() const { return m_inTransaction; }
    int lockWait() const { return m_lockWaitMs; } // milliseconds
    // Inside a transaction: its statements wait for locks at most ms (at least 1) until it
    // ends; then the connection's own limit holds again.
    void limitLockWait(int ms);

    // Frees what the connection keeps in memory and can read again (SQLite's page cache):
    // after a bulk read, whose pages the lookups that follow do not need.
    void releaseMemory();

    QSqlDatabase database() const { return m_db; }

private:
    Connection() = default;
    // A server connection that failed is checked before the next piece of work begins
    // (never inside a transaction) and opened again when it is gone; the statement that
    // failed is never run again.
    void ensureUsable();
    [[noreturn]] void failed(const QSqlError &error, const QString &fallback);
    void applyLockWait(int ms);
    void transactionEnded();

    QSqlDatabase m_db;
    bool m_inTransaction = false;
    bool m_suspect = false;
    bool m_lockWaitLimited = false;
    int m_lockWaitMs = 0;
    QString m_provider;
    QString m_connectionString;
    QString m_dataSource;
    QString m_name;
};

using ConnectionPtr = std::shared_ptr<Connection>;

// A value as text by the rule above; sqliteText also applies the rule for SQLite's date text.
QString ValueText(const QVariant &value, bool sqliteText = false);
// A text SQLite holds, as read: the date text of a date without time loses " 00:00:00".
QString SqliteStoredText(const QString &text);

// The value of one item of a connection string, compared without regard to case.
QString ConnectionStringItem(const QString &connectionString, const QString &key);

// A value as a connection string item holds it: as it is when it can, else in double
// quotes (single quotes when it holds a double one and no single one; inner quote marks
// doubled when it holds both). A semicolon, outer blanks or a leading quote need quotes.
QString QuoteConnectionStringValue(const QString &value);

// The connection string with the whole value of every Password=/PWD= item masked, for
// messages and records.
QString MaskPassword(const QString &connectionString);

} // namespace Ado
