#include "support/testdb.h"

#include "data/adodb.h"
#include "platform/db/sqlscript.h"

#include <QFile>
#include <QUuid>

namespace {

QString pgConnectionString(const QString &database)
{
    return QStringLiteral("Provider=PostgreSQL;Data Source=%1;Port=%2;Location=%3;User ID=%4;"
                          "Password=%5")
        .arg(qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT", "5432"), database,
             qEnvironmentVariable("PGUSER"), qEnvironmentVariable("PGPASSWORD"));
}

} // namespace

namespace business {

QString TestDatabase::kindName(Kind kind)
{
    return kind == Kind::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

std::unique_ptr<TestDatabase> TestDatabase::create(Kind kind, QString *why)
{
    std::unique_ptr<TestDatabase> db(new TestDatabase);
    db->m_kind = kind;
    QString script;
    if (kind == Kind::SQLite) {
        const QString file = db->m_dir.filePath(QStringLiteral("business.db"));
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return nullptr;
        f.close();
        db->m_connectionString = QStringLiteral("Provider=SQLite;Data Source=") + file;
        script = QStringLiteral(TOVRAN_SOURCE_DIR "/db/sqlite/business.sql");
    } else {
        if (qEnvironmentVariableIsEmpty("PGHOST")) {
            if (why)
                *why = QStringLiteral("no PostgreSQL server in this run (PGHOST is not set; "
                                      "scripts/test.sh runs the tests under pg_virtualenv)");
            return nullptr;
        }
        db->m_pgName = QStringLiteral("tovran_") +
                       QUuid::createUuid().toString(QUuid::Id128).left(16).toLower();
        db->m_adminString = pgConnectionString(qEnvironmentVariable("PGDATABASE", "postgres"));
        Ado::Connection::open(db->m_adminString)
            ->executeNonQuery(QStringLiteral("CREATE DATABASE ") + db->m_pgName +
                              QStringLiteral(" ENCODING 'UTF8' TEMPLATE template0"));
        db->m_connectionString = pgConnectionString(db->m_pgName);
        script = QStringLiteral(TOVRAN_SOURCE_DIR "/db/postgresql/business.sql");
    }
    db->m_connection = Ado::Connection::open(db->m_connectionString);
    Ado::RunSqlScriptFile(*db->m_connection, script);
    return db;
}

TestDatabase::~TestDatabase()
{
    if (gCNT == m_connection)
        gCNT.reset();
    m_connection.reset();
    if (!m_pgName.isEmpty()) {
        try {
            Ado::Connection::open(m_adminString)
                ->executeNonQuery(QStringLiteral("DROP DATABASE IF EXISTS ") + m_pgName +
                                  QStringLiteral(" WITH (FORCE)"));
        } catch (...) {
        }
    }
}

void TestDatabase::makeShared() const
{
    gCNT = m_connection;
    SetDBType(nullptr);
}

void TestDatabase::exec(const QString &sql) const
{
    Ado::RunSqlScript(*m_connection, sql);
}

QString TestDatabase::scalar(const QString &sql) const
{
    Ado::Recordset rs = m_connection->execute(sql);
    return rs.eof() ? QString() : rs.text(0);
}

} // namespace business
