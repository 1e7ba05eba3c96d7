#pragma once

#include "xsession.h"

#include "support/pgdatabase.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// A copy of the runnable tree (bin/TOVRAN, bin/JXMSG.MDB, DAT/, LOG/) in a folder of its
// own, with its own settings store (NORV_SETTINGS) and instance-lock folder, started as a
// user of the suite starts it: through the menu's hand-over, or directly.
class ProgramCopy
{
public:
    ProgramCopy();
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy &) = delete;
    ProgramCopy &operator=(const ProgramCopy &) = delete;

    QString error() const { return m_error; } // empty when the copy is usable
    QString root() const { return m_root.path(); }
    QString program() const { return m_root.filePath(QStringLiteral("bin/TOVRAN")); }
    QString settingsFile() const { return m_tmp.filePath(QStringLiteral("settings.ini")); }
    QString tmp() const { return m_tmp.path(); }

    struct HandOver
    {
        QString connect;  // the business database's connection string (without password)
        QString password; // stored scrambled by the menu
        QString menuConnect;
        QString group;
        QString user;
    };
    // norvmenu writes the hand-over and starts the program; the returned process is norvmenu
    // (it waits for the program and returns its exit code).
    QProcess *startViaMenu(const XSession &x, const HandOver &h);
    QProcess *startDirect(const XSession &x);

    qint64 programPid() const; // from the instance lock, 0 while there is none
    bool programRunning() const;
    void killProgram();

    QByteArray logFile(const QString &name) const; // LOG/<name>
    int errorRecords() const;                      // records in LOG/TOVRAN.ERR
    // A value of the settings store, read through the program's own settings layer.
    QString setting(const QString &app, const QString &section, const QString &key) const;
    // A value put in the settings store before the program starts, as an earlier session of
    // this workstation left it.
    void setSetting(const QString &app, const QString &section, const QString &key,
                    const QString &value);

private:
    QProcessEnvironment environment(const XSession &x) const;
    QTemporaryDir m_root;
    QTemporaryDir m_tmp;
    QString m_error;
    std::vector<QProcess *> m_processes;
};

// The demo business and menu databases of a run: SQLite files in a folder, or a database
// on the run's PostgreSQL server; the hand-over gets their connection strings.
struct DemoDatabases
{
    std::unique_ptr<PgTestDatabase> pg;
    ProgramCopy::HandOver handOver;
    QString connectionString; // the business database, with its password
    QString skipReason;       // set when PostgreSQL is not available
};
// False with the reason in *why when the generator failed (or skipReason is set).
bool MakeDemoDatabases(bool postgres, const QTemporaryDir &dir, DemoDatabases &out, QString *why);

// True once the process has ended (also when it ended while events were processed).
bool WaitEnded(QProcess *process, int timeoutMs);

// Runs a program to its end; false with its output in *why when it fails.
bool RunTool(const QString &program, const QStringList &args, QString *why, int timeoutMs = 120000);
