#include "pgserver.h"

#include "platform/db/connection.h"

#include <QFile>
#include <QProcess>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");

// A port the system hands out as free right now (the server takes it a moment later).
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

} // namespace

OwnPgServer::OwnPgServer() : m_dir(QStringLiteral("/tmp/tovran-pg-XXXXXX"))
{
    m_data = m_dir.filePath(QStringLiteral("data"));
}

OwnPgServer::~OwnPgServer()
{
    QString why;
    if (m_running)
        stop(&why);
}

bool OwnPgServer::run(const QString &tool, const QStringList &args, QString *why) const
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(m_dir.path());
    QStringList full = args;
    QString program = kBin + tool;
    if (::geteuid() == 0) { // the server refuses to run as root
        full.prepend(program);
        full.prepend(QStringLiteral("--"));
        full.prepend(QStringLiteral("postgres"));
        full.prepend(QStringLiteral("-u"));
        program = QStringLiteral("runuser");
    }
    p.start(program, full);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *why = tool + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll()) +
               p.errorString();
        return false;
    }
    return true;
}

bool OwnPgServer::create(const QString &database, QString *why)
{
    if (!QFile::exists(kBin + QStringLiteral("initdb"))) {
        *why = QStringLiteral("no PostgreSQL 15 server binaries in ") + kBin;
        return false;
    }
    if (!m_dir.isValid()) {
        *why = QStringLiteral("cannot create a temporary folder");
        return false;
    }
    if (::geteuid() == 0 &&
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("postgres:postgres"), m_dir.path()}) != 0) {
        *why = QStringLiteral("cannot hand the server folder to the postgres account");
        return false;
    }
    m_port = freePort();
    if (m_port == 0) {
        *why = QStringLiteral("no free port");
        return false;
    }
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), m_data, QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
              QStringLiteral("UTF8"), QStringLiteral("--no-sync")},
             why))
        return false;
    if (!start(why))
        return false;
    try {
        Ado::ConnectionPtr admin = Ado::Connection::open(
            QStringLiteral("Provider=PostgreSQL OLE DB Provider;Data Source=127.0.0.1;Port=%1;"
                           "Location=postgres;User ID=postgres;Password=%2")
                .arg(m_port)
                .arg(password()));
        admin->executeNonQuery(QStringLiteral("Create Database ") + database);
    } catch (const RunError &e) {
        *why = QStringLiteral("cannot create the database: ") + e.description();
        return false;
    }
    m_database = database;
    return true;
}

bool OwnPgServer::start(QString *why)
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 "
                                           "-c fsync=off")
                                .arg(m_port)
                                .arg(m_dir.path());
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), m_data, QStringLiteral("-o"), options, QStringLiteral("-l"),
              m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
              QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             why))
        return false;
    m_running = true;
    return true;
}

bool OwnPgServer::stop(QString *why)
{
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("fast"),
              QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
              QStringLiteral("stop")},
             why))
        return false;
    m_running = false;
    return true;
}

QString OwnPgServer::connectionString(bool withPassword) const
{
    QString s = QStringLiteral("Provider=PostgreSQL OLE DB Provider;Data Source=127.0.0.1;"
                               "Port=%1;Location=%2;User ID=postgres")
                    .arg(m_port)
                    .arg(m_database);
    if (withPassword)
        s += QStringLiteral(";Password=") + password();
    return s;
}
