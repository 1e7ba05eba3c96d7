#pragma once

#include <QString>

// Start-up settings: paths of the settings file and the logs, the settings file's
// [PARAM] values, login and computer names.
void InitGlobal(const QString &iniName = QStringLiteral("JXPARAM.INI"),
                const QString &folder = QString());

// Development mode: started with the command-line switch --dev.
bool ChkDevIDE();
void SetDevMode(bool on);

// Delete the log or error file when it is larger than limitKB kilobytes (default 100).
void ChkLogSize(const QString &limitKB = QString());
void ChkErrSize(const QString &limitKB = QString());

QString GetLoginName();
QString GetPCName();

// Tests may stand in another login name (empty: the system's again).
void SetLoginName(const QString &name);

// The program's folder and executable name as start-up uses them; tests may point them
// at a tree of their own.
QString ProgramDir();
QString ProgramName();
void SetProgramLocation(const QString &dir, const QString &name);
