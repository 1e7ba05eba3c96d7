#include "data/globalsettings.h"

#include "common/errorreport.h"
#include "common/inifile.h"
#include "common/numtext.h"
#include "common/state.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool g_devMode = false;
QString g_programDir;
QString g_programName;
QString g_loginName;

void deleteWhenLarger(const QString &file, const QString &limitKB)
{
    const double limit = limitKB.isEmpty() ? 100.0 : Val(limitKB);
    const QFileInfo info(file);
    if (info.exists() && info.isFile() && info.size() > limit * 1024)
        QFile::remove(file); // errors ignored: the next start tries again
}
} // namespace

QString ProgramDir()
{
    return g_programDir.isEmpty() ? SystemInfo::programDir() : g_programDir;
}

QString ProgramName()
{
    return g_programName.isEmpty() ? SystemInfo::programName() : g_programName;
}

void SetProgramLocation(const QString &dir, const QString &name)
{
    g_programDir = dir;
    g_programName = name;
}

bool ChkDevIDE()
{
    return g_devMode;
}

void SetDevMode(bool on)
{
    g_devMode = on;
}

void ChkLogSize(const QString &limitKB)
{
    deleteWhenLarger(Ini().gsLogFile, limitKB);
}

void ChkErrSize(const QString &limitKB)
{
    deleteWhenLarger(Ini().gsErrFile, limitKB);
}

QString GetLoginName()
{
    return g_loginName.isEmpty() ? SystemInfo::loginName() : g_loginName;
}

void SetLoginName(const QString &name)
{
    g_loginName = name;
}

QString GetPCName()
{
    return SystemInfo::computerName();
}

void InitGlobal(const QString &iniName, const QString &folder)
{
    try {
        const QString p = ProgramDir();
        const QString x = ProgramName();
        QDir::setCurrent(p);
        if (folder.isEmpty()) {
            EditIni().gsIniFile = p + QStringLiteral("/../DAT/") + iniName;
            EditIni().gsLogFile = p + QStringLiteral("/../LOG/") + x + QStringLiteral(".LOG");
            EditIni().gsErrFile = p + QStringLiteral("/../LOG/") + x + QStringLiteral(".ERR");
        } else {
            EditIni().gsIniFile = folder + QLatin1Char('/') + iniName;
            EditIni().gsLogFile = folder + QLatin1Char('/') + x + QStringLiteral(".LOG");
            EditIni().gsErrFile = folder + QLatin1Char('/') + x + QStringLiteral(".ERR");
        }
        ChkLogSize(QStringLiteral("100"));
        ChkErrSize(QStringLiteral("100"));

        const QString param = QStringLiteral("PARAM");
        EditIni().gsCustName = ReadINI(Ini().gsIniFile, param, QStringLiteral("CustName"));
        EditIni().gsCorpName = ReadINI(Ini().gsIniFile, param, QStringLiteral("CorpName"));
        EditIni().gsCalendar = ReadINI(Ini().gsIniFile, param, QStringLiteral("Calendar"));
        EditIni().gsDateSep = ReadINI(Ini().gsIniFile, param, QStringLiteral("DateSep"));
        EditIni().gsLogoFile = ReadINI(Ini().gsIniFile, param, QStringLiteral("LogoFile"));
        if (Ini().gsCalendar.isEmpty())
            EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
        if (Ini().gsDateSep.isEmpty())
            EditIni().gsDateSep = QStringLiteral("/");

        EditUser().gsUserID = GetLoginName().left(20);
        EditIni().gsPCName = GetPCName();

        EditIni().gsAmtFmt = ReadINI(Ini().gsIniFile, param, QStringLiteral("AmtFmt"));
        if (GetSetting(QStringLiteral("EXE"), x, QStringLiteral("ckHidAmt")) == QLatin1String("Y"))
            EditIni().gsAmtFmt = QStringLiteral("#,##0");
        EditDialect().gsDateQuot = QStringLiteral("'");
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("InitGlobal"), ToRunError(e));
    }
}
