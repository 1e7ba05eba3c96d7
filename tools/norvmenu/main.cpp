// The menu program's side of the suite's hand-over, for running TOVRAN without the menu:
//   norvmenu --apid ID --connect "ADO connection string" [--password-stdin]
//            --menu-connect "menu database connection string" --group GRP --user USER
//            [--start path/to/TOVRAN [-- program arguments]]
// --connect registers the business database of an application id (the password stored
// scrambled, as the menu program keeps it); --menu-connect, --group and --user write the
// hand-over that the program takes over (and clears) when it starts. The password comes
// from the first line of standard input (--password-stdin) or from the environment
// variable NORV_DB_PASSWORD: a password on the command line stays readable in the process
// list by every user of the machine while the program runs.
#include "data/adodb.h"
#include "platform/settingsstore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <cstdio>

namespace {

const QString kEncryptKey = QStringLiteral("QB_RUM");
const char *const kPasswordVariable = "NORV_DB_PASSWORD";

// The first line of standard input, without its line end.
QString firstLineOfStdin()
{
    QByteArray line;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
        line.append(char(c));
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

void save(const QString &app, const QString &section, const QString &key, const QString &value)
{
    SaveSetting(app, section, key, value);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("norvmenu"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the NORV menu's hand-over into the per-user settings store and "
                       "optionally starts a member program."));
    parser.addHelpOption();
    const QCommandLineOption apid(QStringLiteral("apid"),
                                  QStringLiteral("application id of the connection"),
                                  QStringLiteral("id"));
    const QCommandLineOption connect(QStringLiteral("connect"),
                                     QStringLiteral("connection string of the business database"),
                                     QStringLiteral("string"));
    const QCommandLineOption passwordStdin(
        QStringLiteral("password-stdin"),
        QStringLiteral("read the database password (stored scrambled; completes the connection "
                       "string) from the first line of standard input; without it the "
                       "environment variable %1 gives the password")
            .arg(QLatin1String(kPasswordVariable)));
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("the database password on the command line (visible to every user in "
                       "the process list: use --password-stdin)"),
        QStringLiteral("password"));
    const QCommandLineOption menuConnect(QStringLiteral("menu-connect"),
                                         QStringLiteral("connection string of the menu database"),
                                         QStringLiteral("string"));
    const QCommandLineOption group(QStringLiteral("group"), QStringLiteral("the user's group id"),
                                   QStringLiteral("id"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("the user id"),
                                  QStringLiteral("id"));
    const QCommandLineOption start(QStringLiteral("start"),
                                   QStringLiteral("program to start after the hand-over"),
                                   QStringLiteral("path"));
    parser.addOptions({apid, connect, passwordStdin, password, menuConnect, group, user, start});
    parser.addPositionalArgument(QStringLiteral("args"),
                                 QStringLiteral("arguments for the started program (after --)"));
    parser.process(app);

    const QString id = parser.value(apid);
    const bool envPassword = qEnvironmentVariableIsSet(kPasswordVariable);
    const bool givenPassword = parser.isSet(passwordStdin) || parser.isSet(password);
    if ((parser.isSet(connect) || givenPassword) && id.isEmpty()) {
        std::fprintf(stderr, "norvmenu: --connect and a password need --apid\n");
        return 2;
    }
    QString pwd;
    if (parser.isSet(passwordStdin)) {
        pwd = firstLineOfStdin();
    } else if (parser.isSet(password)) {
        std::fprintf(stderr,
                     "norvmenu: warning: --password leaves the password readable by "
                     "every user of this machine in the process list; use "
                     "--password-stdin or %s\n",
                     kPasswordVariable);
        pwd = parser.value(password);
    } else if (envPassword) {
        pwd = qEnvironmentVariable(kPasswordVariable);
    }
    // The started program has no use for the password in its environment.
    qunsetenv(kPasswordVariable);

    if (!id.isEmpty())
        save(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("APID"), id);
    // A new connection without a password clears an old one.
    if (parser.isSet(connect))
        save(QStringLiteral("JX_KIT"), QStringLiteral("ADOCntStr"), id, parser.value(connect));
    if (parser.isSet(connect) || givenPassword || (envPassword && !id.isEmpty()))
        save(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), id, Encrypt(pwd, kEncryptKey));
    if (parser.isSet(menuConnect) || parser.isSet(group) || parser.isSet(user)) {
        save(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("JXMENUCNTSTR"),
             parser.value(menuConnect));
        save(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("GrpID"),
             parser.value(group));
        save(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("UserID"),
             parser.value(user));
    }

    if (!parser.isSet(start))
        return 0;
    const int rc = QProcess::execute(parser.value(start), parser.positionalArguments());
    if (rc < 0) {
        std::fprintf(stderr, "norvmenu: cannot start %s\n", qPrintable(parser.value(start)));
        return 1;
    }
    return rc;
}
