#include "support/testdatabase.h"

#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/sqlscript.h"
#include "platform/db/transaction.h"
#include "stock/monthwatch.h"
#include "support/suitetables.h"

#include <QFile>

std::string BackendName(Backend backend)
{
    switch (backend) {
    case Backend::SQLite:
        return "SQLite";
    case Backend::PostgreSQL:
        return "PostgreSQL";
    case Backend::Odbc:
        return "Odbc";
    }
    return "?";
}

std::ostream &operator<<(std::ostream &os, Backend backend)
{
    return os << BackendName(backend);
}

TestDatabase::TestDatabase(Backend backend, const QString &fileName) : m_backend(backend)
{
    if (backend == Backend::SQLite) {
        m_file = m_dir.filePath(fileName);
        QFile f(m_file);
        f.open(QIODevice::WriteOnly); // an empty file is an empty SQLite database
    } else {
        m_pg = std::make_unique<PgTestDatabase>();
    }
}

TestDatabase::~TestDatabase()
{
    if (m_connection && Conn().gCNT == m_connection)
        EditConn().gCNT.reset();
    m_connection.reset(); // before the database itself is dropped
    m_pg.reset();
}

std::unique_ptr<TestDatabase> TestDatabase::create(Backend backend, QString *why)
{
    auto db = std::make_unique<TestDatabase>(backend, QStringLiteral("business.db"));
    if (!db->available()) {
        if (why)
            *why = db->skipReason();
        return nullptr;
    }
    db->applySchema(QStringLiteral("business"));
    db->connection();
    return db;
}

std::unique_ptr<TestDatabase> TestDatabase::createSuiteTables(Backend backend, QString *why)
{
    auto db = std::make_unique<TestDatabase>(backend, QStringLiteral("business.db"));
    if (!db->available()) {
        if (why)
            *why = db->skipReason();
        return nullptr;
    }
    db->exec(SuiteTablesScript(backend, SuiteTables::Business));
    return db;
}

bool TestDatabase::available() const
{
    return m_backend == Backend::SQLite ? m_dir.isValid() : m_pg->available();
}

QString TestDatabase::skipReason() const
{
    return m_pg ? m_pg->skipReason() : QStringLiteral("no temporary folder");
}

QString TestDatabase::password() const
{
    return m_pg ? PgTestDatabase::password() : QString();
}

QString TestDatabase::connectionString(bool withPassword) const
{
    switch (m_backend) {
    case Backend::SQLite:
        return QStringLiteral("Provider=SQLite;Data Source=") + m_file;
    case Backend::PostgreSQL:
        return m_pg->connectionString(withPassword);
    case Backend::Odbc:
        return m_pg->odbcConnectionString(withPassword);
    }
    return QString();
}

Ado::ConnectionPtr TestDatabase::open() const
{
    return Ado::Connection::open(connectionString());
}

const Ado::ConnectionPtr &TestDatabase::connection() const
{
    if (!m_connection)
        m_connection = open();
    return m_connection;
}

void TestDatabase::makeShared() const
{
    EditConn().gCNT = connection();
    SetDBType(nullptr);
}

void TestDatabase::exec(const QString &sql) const
{
    Ado::RunSqlScript(*connection(), sql);
}

QString TestDatabase::scalar(const QString &sql) const
{
    Ado::Recordset rs = connection()->execute(sql);
    return rs.eof() ? QString() : rs.text(0);
}

QString TestDatabase::schemaFile(Backend backend, const QString &name)
{
    return QStringLiteral(TOVRAN_SOURCE_DIR "/db/") +
           (backend == Backend::SQLite ? QStringLiteral("sqlite/")
                                       : QStringLiteral("postgresql/")) +
           name + QStringLiteral(".sql");
}

void TestDatabase::applySchema(const QString &name) const
{
    Ado::RunSqlScriptFile(*open(), schemaFile(m_backend, name));
}

void BuildMessagesDatabase(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.close();
    auto conn = Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file);
    Ado::RunSqlScriptFile(*conn,
                          TestDatabase::schemaFile(Backend::SQLite, QStringLiteral("messages")));
    Ado::RunSqlScriptFile(*conn, QStringLiteral(TOVRAN_SOURCE_DIR "/db/messages.sql"));
}

void TestDatabase::countElsewhere(const QString &rno, double count) const
{
    Ado::ConnectionPtr other = open();
    Ado::Transaction transaction(*other);
    other->executeNonQuery(QStringLiteral("update STOCK set STKQty = %1, UpdUserID = 'OTHER', "
                                          "UpdDate = %2 where RNo = %3")
                               .arg(count)
                               .arg(Dialect().gsDBDate, rno));
    AnnounceStockWrite(other, rno.toDouble());
    transaction.commit();
}
