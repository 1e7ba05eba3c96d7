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
// with " HH:MM:SS" only when the time is not midnight.
namespace Ado {

// A forward-only result: end-of-file test, fields by name (compared without regard to
// case) or by position, next record.
class Recordset
{
public:
    Recordset();
    explicit Recordset(std::unique_ptr<QSqlQuery> query);
    Recordset(Recordset &&) noexcept;
    Recordset &operator=(Recordset &&) noexcept;
    ~Recordset();

    bool isOpen() const;
    bool eof() const;
    void moveNext();
    void close();

    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldType(int index) const;                // QMetaType id of the column
    int fieldIndex(const QString &name) const;     // -1 when there is no such field

    bool isNull(int index) const;
    QVariant value(int index) const;
    QString text(int index) const;                 // by the text rule above
    QString text(const QString &name) const;       // throws when the field does not exist
    double number(int index) const;                // numeric value of the text (NULL = 0)
    double number(const QString &name) const;

private:
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
    Recordset execute(const QString &parameter);

private:
    std::unique_ptr<QSqlQuery> m_query;
    QString m_sql;
};

class Connection
{
public:
    // Opens a connection from a connection string ("Provider=...;Data Source=...;...").
    // Connection timeout 10 s, no command timeout.
    static std::shared_ptr<Connection> open(const QString &connectionString);
    ~Connection();

    QString provider() const;          // the Provider= value as given
    QString connectionString() const;  // as given
    QString dataSource() const;        // the Data Source (file or server)
    bool isOpen() const;

    Recordset execute(const QString &sql);     // a query's forward-only result
    int executeNonQuery(const QString &sql);   // a statement; the number of rows it touched
    Command prepare(const QString &sql);

    void beginTrans();
    void commitTrans();
    void rollbackTrans();

    QSqlDatabase database() const { return m_db; }

private:
    Connection() = default;
    QSqlDatabase m_db;
    QString m_provider;
    QString m_connectionString;
    QString m_dataSource;
    QString m_name;
};

using ConnectionPtr = std::shared_ptr<Connection>;

// The value of one item of a connection string, compared without regard to case.
QString ConnectionStringItem(const QString &connectionString, const QString &key);

// The connection string with the value of every Password=/PWD= item masked, for messages.
QString MaskPassword(const QString &connectionString);

} // namespace Ado
