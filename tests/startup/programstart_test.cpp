#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "support/modal.h"

namespace {

// The built program run from a copy of the runnable tree (bin/TOVRAN, DAT/, LOG/), with
// an empty settings store and a lock folder of its own, on the offscreen platform.
class ProgramStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid() && m_tmp.isValid());
        const QString built = QStringLiteral(TOVRAN_PROGRAM_DIR "/TOVRAN");
        ASSERT_TRUE(QFile::exists(built)) << "build the TOVRAN target first";
        for (const char *dir : {"bin", "DAT", "LOG"})
            ASSERT_TRUE(QDir(m_root.path()).mkpath(QString::fromLatin1(dir)));
        m_program = m_root.filePath(QStringLiteral("bin/TOVRAN"));
        ASSERT_TRUE(QFile::copy(built, m_program));
        m_settings = m_tmp.filePath(QStringLiteral("settings.ini"));
        QFile empty(m_settings);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }

    void TearDown() override
    {
        for (QProcess *p : m_started) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
            delete p;
        }
    }

    QProcess *start(const QStringList &args = {})
    {
        auto *p = new QProcess;
        m_started.push_back(p);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NORV_SETTINGS"), m_settings);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), m_tmp.path()); // where the instance lock lies
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_tmp.filePath(QStringLiteral("config")));
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(m_tmp.path());
        p->start(m_program, args);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }

    // The process id written into the instance lock, 0 while there is none.
    qint64 lockOwner() const
    {
        const QStringList locks = QDir(m_tmp.path()).entryList({QStringLiteral("TOVRAN-*.lock")});
        if (locks.size() != 1)
            return 0;
        QFile f(m_tmp.filePath(locks.front()));
        return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed().toLongLong() : 0;
    }

    bool ownsTheLock(QProcess *p, int timeoutMs = 30000)
    {
        return TestModal::waitFor(
            [&] { return p->state() == QProcess::Running && lockOwner() == p->processId(); },
            timeoutMs);
    }

    QByteArray errFile() const
    {
        QFile f(m_root.filePath(QStringLiteral("LOG/TOVRAN.ERR")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_root, m_tmp;
    QString m_program, m_settings;
    std::vector<QProcess *> m_started;
};

} // namespace

TEST_F(ProgramStart, ASecondStartEndsAtOnceAndSilently)
{
    QProcess *first = start();
    ASSERT_TRUE(ownsTheLock(first)); // it waits in its start-up failure box
    const QByteArray errorsBefore = errFile();
    QProcess *second = start();
    ASSERT_TRUE(second->waitForFinished(30000)) << "the second start showed something";
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(lockOwner(), first->processId());
    EXPECT_EQ(errFile(), errorsBefore); // ending silently is no error
}

TEST_F(ProgramStart, AKilledInstanceDoesNotBlockTheNextStart)
{
    QProcess *first = start();
    ASSERT_TRUE(ownsTheLock(first));
    first->kill();
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_NE(lockOwner(), 0); // the dead instance's lock is still there
    QProcess *next = start();
    EXPECT_TRUE(ownsTheLock(next));
}

TEST_F(ProgramStart, StartUpErrorsAreRecordedInTheErrorFile)
{
    // Development mode with a connection string that cannot work, and a messages database
    // that is no database: start-up reports its failures and waits in a message box.
    QFile ini(m_root.filePath(QStringLiteral("DAT/JXPARAM.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PARAM]\r\nGCNT=Provider=NoSuchProvider;Data Source=nowhere\r\n");
    ini.close();
    QFile msgDb(m_root.filePath(QStringLiteral("bin/JXMSG.MDB")));
    ASSERT_TRUE(msgDb.open(QIODevice::WriteOnly));
    msgDb.write(QByteArray(4096, 'x'));
    msgDb.close();

    QProcess *program = start({QStringLiteral("--dev")});
    ASSERT_TRUE(ownsTheLock(program));
    EXPECT_TRUE(TestModal::waitFor([&] { return errFile().endsWith("\r\n\r\n"); }, 30000))
        << "no error record was written";
    program->kill();
    program->waitForFinished(10000);

    const QString text = QString::fromUtf8(errFile());
    static const QRegularExpression record(
        QStringLiteral("\\*\\*記錄時間 - \\d\\d/\\d\\d/\\d\\d, \\d\\d:\\d\\d:\\d\\d \\r\\n"
                       "處理程序: \\([^\\r\\n]*\\)\\r\\n"
                       "執行錯誤, 代碼: (?: \\d+|-\\d+)\\r\\n"
                       "訊息: \\r\\n"
                       "     (?:(?!\\*\\*記錄時間 - )[\\s\\S])*?\\r\\n\\r\\n"));
    qsizetype at = 0;
    int records = 0;
    while (at < text.size()) {
        const auto m = record.match(text, at, QRegularExpression::NormalMatch,
                                    QRegularExpression::AnchorAtOffsetMatchOption);
        ASSERT_TRUE(m.hasMatch()) << "malformed record at " << at << ":\n"
                                  << text.mid(at).toStdString();
        at = m.capturedEnd();
        ++records;
    }
    EXPECT_GE(records, 1);
}
