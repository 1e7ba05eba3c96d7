#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of a test's own (initdb + pg_ctl in a temporary folder, on a free
// port, trust authentication on 127.0.0.1), so that a test can stop and start it under a
// running program without touching the server other tests share. Run as root, the server
// runs as the postgres account. The destructor stops it.
class OwnPgServer
{
public:
    OwnPgServer();
    ~OwnPgServer();
    OwnPgServer(const OwnPgServer &) = delete;
    OwnPgServer &operator=(const OwnPgServer &) = delete;

    // Creates the cluster, starts it and creates `database`; false with the reason.
    bool create(const QString &database, QString *why);
    bool start(QString *why);
    bool stop(QString *why); // fast shutdown: sessions are cut off
    bool running() const { return m_running; }

    int port() const { return m_port; }
    // The connection string as the suite writes it.
    QString connectionString(bool withPassword = true) const;
    static QString password() { return QStringLiteral("e2e"); }

private:
    bool run(const QString &tool, const QStringList &args, QString *why) const;
    QTemporaryDir m_dir;
    QString m_data;
    QString m_database;
    int m_port = 0;
    bool m_running = false;
};
