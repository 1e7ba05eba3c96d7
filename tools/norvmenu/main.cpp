// The menu program's side of the suite's hand-over, for running TOVRAN without the menu:
//   norvmenu --apid ID --connect "ADO connection string" [--password PWD]
//            --menu-connect "menu database connection string" --group GRP --user USER
//            [--start path/to/TOVRAN [-- program arguments]]
// --connect registers the business database of an application id (the password stored
// scrambled, as the menu program keeps it); --menu-connect, --group and --user write the
// hand-over that the program takes over (and clears) when it starts.
#include "data/adodb.h"
#include "platform/settingsstore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <cstdio>

namespace {

const QString kEncryptKey = QStringLiteral("QB_RUM");

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
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("database password (stored scrambled; completes the connection string)"),
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
    parser.addOptions({apid, connect, password, menuConnect, group, user, start});
    parser.addPositionalArgument(QStringLiteral("args"),
                                 QStringLiteral("arguments for the started program (after --)"));
    parser.process(app);

    const QString id = parser.value(apid);
    if ((parser.isSet(connect) || parser.isSet(password)) && id.isEmpty()) {
        std::fprintf(stderr, "norvmenu: --connect and --password need --apid\n");
        return 2;
    }
    if (!id.isEmpty())
        save(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("APID"), id);
    if (parser.isSet(connect)) {
        save(QStringLiteral("JX_KIT"), QStringLiteral("ADOCntStr"), id, parser.value(connect));
        // A new connection without a password clears an old one.
        save(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), id,
             Encrypt(parser.value(password), kEncryptKey));
    } else if (parser.isSet(password)) {
        save(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), id,
             Encrypt(parser.value(password), kEncryptKey));
    }
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
