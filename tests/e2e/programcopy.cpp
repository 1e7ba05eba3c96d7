#include "programcopy.h"

#include "e2e_common.h"

#include "platform/settingsstore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

} // namespace

ProgramCopy::ProgramCopy()
{
    const QString tree = QFileInfo(QStringLiteral(TOVRAN_PROGRAM_DIR)).absolutePath();
    if (!QFile::exists(QStringLiteral(TOVRAN_PROGRAM_DIR "/TOVRAN")))
        m_error = QStringLiteral("build the TOVRAN target first");
    else if (!m_root.isValid() || !m_tmp.isValid() || !copyTree(tree, m_root.path()))
        m_error = QStringLiteral("cannot copy the program tree ") + tree;
    else if (!QFile::exists(program()))
        m_error = QStringLiteral("the copied tree has no bin/TOVRAN");
    QDir(m_root.path()).mkpath(QStringLiteral("LOG"));
    QFile settings(settingsFile());
    if (!settings.open(QIODevice::WriteOnly))
        m_error = QStringLiteral("cannot create the settings store");
}

ProgramCopy::~ProgramCopy()
{
    killProgram();
    for (QProcess *p : m_processes) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
        delete p;
    }
}

QProcessEnvironment ProgramCopy::environment(const XSession &x) const
{
    QProcessEnvironment env = x.environment(QProcessEnvironment::systemEnvironment());
    env.insert(QStringLiteral("NORV_SETTINGS"), settingsFile());
    env.insert(QStringLiteral("TMPDIR"), m_tmp.path()); // the instance lock lies here
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_tmp.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_tmp.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

QProcess *ProgramCopy::startViaMenu(const XSession &x, const HandOver &h)
{
    auto *p = new QProcess;
    m_processes.push_back(p);
    p->setProcessEnvironment(environment(x));
    p->setWorkingDirectory(m_tmp.path());
    QStringList args{QStringLiteral("--apid"),         QStringLiteral("DEMO"),
                     QStringLiteral("--connect"),      h.connect,
                     QStringLiteral("--menu-connect"), h.menuConnect,
                     QStringLiteral("--group"),        h.group,
                     QStringLiteral("--user"),         h.user};
    // The password through standard input, as a user hands it over.
    if (!h.password.isEmpty())
        args << QStringLiteral("--password-stdin");
    args << QStringLiteral("--start") << program();
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(QStringLiteral(TOVRAN_NORVMENU), args);
    p->waitForStarted(10000);
    if (!h.password.isEmpty())
        p->write(h.password.toUtf8() + '\n');
    p->closeWriteChannel();
    return p;
}

QProcess *ProgramCopy::startDirect(const XSession &x)
{
    auto *p = new QProcess;
    m_processes.push_back(p);
    p->setProcessEnvironment(environment(x));
    p->setWorkingDirectory(m_tmp.path());
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(program(), {});
    p->waitForStarted(10000);
    return p;
}

qint64 ProgramCopy::programPid() const
{
    const QStringList locks = QDir(m_tmp.path()).entryList({QStringLiteral("TOVRAN-*.lock")});
    if (locks.size() != 1)
        return 0;
    QFile f(QDir(m_tmp.path()).filePath(locks.front()));
    return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed().toLongLong() : 0;
}

bool ProgramCopy::programRunning() const
{
    const qint64 pid = programPid();
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)) &&
           QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == program();
}

void ProgramCopy::killProgram()
{
    // Only the process that holds this copy's lock: our own program, by its id.
    if (programRunning()) {
        QProcess::execute(QStringLiteral("kill"),
                          {QStringLiteral("-9"), QString::number(programPid())});
    }
}

QByteArray ProgramCopy::logFile(const QString &name) const
{
    QFile f(m_root.filePath(QStringLiteral("LOG/") + name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int ProgramCopy::errorRecords() const
{
    return E2E::errRecords(logFile(QStringLiteral("TOVRAN.ERR")));
}

bool MakeDemoDatabases(bool postgres, const QTemporaryDir &dir, DemoDatabases &out, QString *why)
{
    const QString menuFile = dir.filePath(QStringLiteral("menu.db"));
    const QString sqlite = QStringLiteral("Provider=SQLite;Data Source=");
    QStringList args;
    if (postgres) {
        out.pg = std::make_unique<PgTestDatabase>();
        if (!out.pg->available()) {
            out.skipReason = out.pg->skipReason();
            *why = out.skipReason;
            return false;
        }
        args = {QStringLiteral("--pg"), out.pg->connectionString(true)};
        out.handOver.connect = out.pg->connectionString(false);
        out.handOver.password = PgTestDatabase::password();
        out.connectionString = out.pg->connectionString(true);
    } else {
        const QString dbFile = dir.filePath(QStringLiteral("demo.db"));
        args = {QStringLiteral("--sqlite"), dbFile};
        out.handOver.connect = sqlite + dbFile;
        out.connectionString = out.handOver.connect;
    }
    out.handOver.menuConnect = sqlite + menuFile;
    return RunTool(QStringLiteral(TOVRAN_DEMODB),
                   args + QStringList{QStringLiteral("--menu"), menuFile}, why);
}

namespace {

// Runs `use` with the settings layer on the given store.
template <typename Use> auto withSettingsStore(const QString &file, Use use)
{
    const QByteArray before = qgetenv("NORV_SETTINGS");
    qputenv("NORV_SETTINGS", file.toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("NORV_SETTINGS", before); });
    return use();
}

} // namespace

QString ProgramCopy::setting(const QString &app, const QString &section, const QString &key) const
{
    return withSettingsStore(
        settingsFile(), [&] { return GetSetting(app, section, key, QStringLiteral("<none>")); });
}

void ProgramCopy::setSetting(const QString &app, const QString &section, const QString &key,
                             const QString &value)
{
    withSettingsStore(settingsFile(), [&] { SaveSetting(app, section, key, value); });
}

bool WaitEnded(QProcess *process, int timeoutMs)
{
    return process->state() == QProcess::NotRunning || process->waitForFinished(timeoutMs);
}

bool RunTool(const QString &program, const QStringList &args, QString *why, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        *why = program + QStringLiteral(" failed: ") + QString::fromUtf8(p.readAll()) +
               p.errorString();
        return false;
    }
    return true;
}
