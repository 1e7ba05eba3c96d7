#include "support/testdb.h"

#include "data/adodb.h"
#include "platform/db/sqlscript.h"

#include <QFile>

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
        db->m_pg = std::make_unique<PgTestDatabase>();
        if (!db->m_pg->available()) {
            if (why)
                *why = db->m_pg->skipReason();
            return nullptr;
        }
        db->m_connectionString = db->m_pg->connectionString();
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
    m_connection.reset(); // before the database itself is dropped
    m_pg.reset();
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
