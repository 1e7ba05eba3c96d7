// norvmenu as a user runs it: the database password arrives through standard input or the
// environment, never needs the command line, and lands scrambled in a settings file that
// only its owner can read.
#include "data/adodb.h"
#include "platform/settingsstore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class NorvMenu : public ::testing::Test
{
protected:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Run run(const QStringList &args, const QByteArray &input = {},
            const QProcessEnvironment &extra = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NORV_SETTINGS"), settings());
        env.remove(QStringLiteral("NORV_DB_PASSWORD"));
        env.insert(extra);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TOVRAN_NORVMENU), args);
        EXPECT_TRUE(p.waitForStarted(10000));
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    QString settings() const { return m_dir.filePath(QStringLiteral("settings.ini")); }

    QString storedPassword(const QString &apid)
    {
        const QByteArray before = qgetenv("NORV_SETTINGS");
        qputenv("NORV_SETTINGS", settings().toLocal8Bit());
        const QString scrambled =
            GetSetting(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), apid, "<none>");
        qputenv("NORV_SETTINGS", before);
        return scrambled == QLatin1String("<none>") ? scrambled
                                                    : Encrypt(scrambled, QStringLiteral("QB_RUM"));
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(NorvMenu, PasswordsComeFromStandardInputOrTheEnvironment)
{
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=/nowhere.db");
    const QString hostile = QStringLiteral("se;cret = \"it's\" 密碼 ");

    Run r = run({"--apid", "A", "--connect", cs, "--password-stdin"}, hostile.toUtf8() + "\r\n");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(storedPassword("A"), hostile);
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                        QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(settings()) & others, 0);

    // The environment variable: used, and not passed on to the started program.
    QProcessEnvironment env;
    env.insert(QStringLiteral("NORV_DB_PASSWORD"), QStringLiteral("from;env"));
    r = run({"--apid", "B", "--connect", cs, "--start", "/usr/bin/env"}, {}, env);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(storedPassword("B"), "from;env");
    EXPECT_TRUE(r.out.contains(QLatin1String("NORV_SETTINGS="))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QLatin1String("NORV_DB_PASSWORD"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QLatin1String("from;env")));

    // The command line still works for old scripts, with a warning.
    r = run({"--apid", "C", "--connect", cs, "--password", "old"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QLatin1String("warning"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("--password-stdin")));
    EXPECT_EQ(storedPassword("C"), "old");

    // A new connection without any password clears the old one; a hand-over alone keeps it.
    r = run({"--apid", "A", "--connect", cs});
    EXPECT_EQ(storedPassword("A"), "");
    r = run({"--apid", "C", "--group", "G", "--user", "U"});
    EXPECT_EQ(storedPassword("C"), "old");
    // A password without an application id is refused.
    r = run({"--password-stdin"}, "x\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(QFile::permissions(settings()) & others, 0);
}
