#pragma once

#include <QString>

// The values start-up sets once and everything reads for the rest of the run, one struct
// per owner. Read them through Ini(), User(), Dialect() and Suite(); only the owner named
// at each struct writes, through its Edit...() accessor (tests through their fixtures).
// The members keep the suite's names.

// The settings file and the global settings. Owner: InitGlobal.
struct SettingsFileValues
{
    QString gsIniFile;
    QString gsLogFile;
    QString gsErrFile;
    QString gsCustName;
    QString gsCorpName;
    QString gsCalendar = QStringLiteral("YYYY/MM/DD");
    QString gsDateSep = QStringLiteral("/");
    QString gsLogoFile;
    QString gsAmtFmt;
    QString gsPCName;
};

// The signed-in user and group: the login name from InitGlobal until SetRight takes the
// menu program's hand-over.
struct SignedInUser
{
    QString gsUserID;
    QString gsGrpID;
    QString gsMenuCntStr;
};

// The SQL dialect of the business connection. Owner: SetDBType.
struct SqlDialect
{
    QString gsDBType;
    QString gsDBDate;
    QString gsLikeChar;
    QString gsDateQuot = QStringLiteral("'");
    QString gsNewRNoSQL;
    QString gsConcatOp = QStringLiteral("||");     // text concatenation operator
    QString gsLeftFunc = QStringLiteral("substr"); // "left" or "substr" form, see LeftExpr()
};

// Suite-wide values of the suite's programs. Owner: InitNORV.
struct SuiteSettings
{
    QString gvAvgPriceMethod;
    QString gvDeptPrefix;
};

const SettingsFileValues &Ini();
const SignedInUser &User();
const SqlDialect &Dialect();
const SuiteSettings &Suite();

SettingsFileValues &EditIni();
SignedInUser &EditUser();
SqlDialect &EditDialect();
SuiteSettings &EditSuite();

// Every struct back to its state before start-up (tests start from here).
void ResetStartupState();

// The last message and SQL text of the suite's routines (not start-up values: any routine
// may set them; the tests read them back).
extern QString gvMsg;
extern QString gvSQL;
