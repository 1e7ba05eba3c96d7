#include "platform/instancelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Helper mode of this test program: with TOVRAN_TEST_HOLD_LOCK set to
// "<lock folder>|<program file>|<user>" it takes that lock before any test runs, says
// "locked" (or "busy" and ends) and then holds the lock until it is killed.
const bool g_helperMode = [] {
    const QStringList parts = qEnvironmentVariable("TOVRAN_TEST_HOLD_LOCK").split(QLatin1Char('|'));
    if (parts.size() != 3)
        return false;
    InstanceLock lock(parts[1], parts[2], parts[0]);
    if (!lock.tryLock()) {
        std::puts("busy");
        std::fflush(stdout);
        std::_Exit(3);
    }
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}();

class InstanceLockTest : public ::testing::Test
{
protected:
    // Starts this program in helper mode on the given lock and waits for its word.
    QString startHolder(QProcess &holder, const QString &user)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TOVRAN_TEST_HOLD_LOCK"),
                   m_dir.path() + QLatin1Char('|') + m_program + QLatin1Char('|') + user);
        holder.setProcessEnvironment(env);
        holder.start(QCoreApplication::applicationFilePath(), {});
        if (!holder.waitForStarted(10000))
            return QStringLiteral("not started");
        while (holder.canReadLine() || holder.waitForReadyRead(20000)) {
            if (holder.canReadLine())
                return QString::fromLatin1(holder.readLine()).trimmed();
        }
        return QStringLiteral("no answer");
    }

    QTemporaryDir m_dir;
    QString m_program = QStringLiteral("/opt/norv/bin/TOVRAN");
};

} // namespace

TEST_F(InstanceLockTest, OneLockPerProgramAndUser)
{
    ASSERT_FALSE(g_helperMode);
    InstanceLock first(m_program, QStringLiteral("alice"), m_dir.path());
    ASSERT_TRUE(first.tryLock());
    InstanceLock second(m_program, QStringLiteral("alice"), m_dir.path());
    EXPECT_EQ(second.fileName(), first.fileName());
    EXPECT_FALSE(second.tryLock());

    // Two users of one terminal server each run their own copy.
    InstanceLock otherUser(m_program, QStringLiteral("bob"), m_dir.path());
    EXPECT_NE(otherUser.fileName(), first.fileName());
    EXPECT_TRUE(otherUser.tryLock());
    // Another program (or another installation of this one) is no previous instance.
    InstanceLock otherProgram(QStringLiteral("/opt/norv/bin/TOVSTK"), QStringLiteral("alice"),
                              m_dir.path());
    EXPECT_TRUE(otherProgram.tryLock());
    InstanceLock otherFolder(QStringLiteral("/srv/norv/bin/TOVRAN"), QStringLiteral("alice"),
                             m_dir.path());
    EXPECT_TRUE(otherFolder.tryLock());
}

TEST_F(InstanceLockTest, ReleasedWhenTheHolderEnds)
{
    QString name;
    {
        InstanceLock first(m_program, QStringLiteral("alice"), m_dir.path());
        ASSERT_TRUE(first.tryLock());
        name = first.fileName();
        EXPECT_TRUE(QFile::exists(name));
    }
    EXPECT_FALSE(QFile::exists(name));
    InstanceLock next(m_program, QStringLiteral("alice"), m_dir.path());
    EXPECT_TRUE(next.tryLock());
}

TEST_F(InstanceLockTest, AnotherProcessHoldingTheLockRefusesUs)
{
    QProcess holder;
    ASSERT_EQ(startHolder(holder, QStringLiteral("alice")), QStringLiteral("locked"));
    InstanceLock mine(m_program, QStringLiteral("alice"), m_dir.path());
    EXPECT_FALSE(mine.tryLock());
    InstanceLock bob(m_program, QStringLiteral("bob"), m_dir.path());
    EXPECT_TRUE(bob.tryLock());

    // A third process on the same lock is refused as well.
    QProcess third;
    EXPECT_EQ(startHolder(third, QStringLiteral("alice")), QStringLiteral("busy"));
    third.waitForFinished(10000);
    EXPECT_EQ(third.exitCode(), 3);
    holder.kill();
    holder.waitForFinished(10000);
}

TEST_F(InstanceLockTest, AKilledHolderDoesNotBlockTheNextStart)
{
    QProcess holder;
    ASSERT_EQ(startHolder(holder, QStringLiteral("alice")), QStringLiteral("locked"));
    InstanceLock mine(m_program, QStringLiteral("alice"), m_dir.path());
    holder.kill(); // SIGKILL: no clean-up runs in the holder
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_EQ(holder.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(QFile::exists(mine.fileName())); // the dead holder's file is still there
    EXPECT_TRUE(mine.tryLock());
    QFile f(mine.fileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readLine().trimmed().toLongLong(), QCoreApplication::applicationPid());
}
