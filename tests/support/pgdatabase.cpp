#include "support/pgdatabase.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

PgTestDatabase::PgTestDatabase()
{
    if (host().isEmpty()) {
        m_skipReason = QStringLiteral("PGHOST is not set: run the tests through scripts/test.sh "
                                      "(pg_virtualenv) to include PostgreSQL");
        return;
    }
    m_name = QStringLiteral("tovran_test_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    QString error;
    if (!adminExec(
            QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(m_name),
            &error)) {
        m_skipReason = QStringLiteral("cannot create a PostgreSQL test database: ") + error;
        return;
    }
    m_created = true;
}

PgTestDatabase::~PgTestDatabase()
{
    if (m_created)
        adminExec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
}

bool PgTestDatabase::adminExec(const QString &sql, QString *error) const
{
    const QString connName = QStringLiteral("pgtest-admin-") + m_name;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connName);
        db.setHostName(host());
        db.setPort(port().toInt());
        db.setUserName(user());
        db.setPassword(password());
        db.setDatabaseName(qEnvironmentVariable("PGDATABASE", QStringLiteral("postgres")));
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (!ok && error)
                *error = q.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connName);
    return ok;
}

QString PgTestDatabase::connectionString(bool withPassword) const
{
    QString s = QStringLiteral("Provider=PostgreSQL OLE DB Provider;Data Source=%1;Port=%2;"
                               "Location=%3;User ID=%4")
                    .arg(host(), port(), m_name, user());
    if (withPassword)
        s += QStringLiteral(";Password=") + password();
    return s;
}

QString PgTestDatabase::odbcConnectionString(bool withPassword) const
{
    QString s = QStringLiteral("Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=%1;Port=%2;"
                               "Database=%3;UID=%4")
                    .arg(host(), port(), m_name, user());
    if (withPassword)
        s += QStringLiteral(";PWD=") + password();
    return s;
}
