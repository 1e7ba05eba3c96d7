#pragma once

#include <QString>

// Values set once during start-up and read everywhere for the rest of the run.

// Settings file and global settings
extern QString gsIniFile;
extern QString gsLogFile;
extern QString gsErrFile;
extern QString gsCustName;
extern QString gsCorpName;
extern QString gsCalendar;
extern QString gsDateSep;
extern QString gsLogoFile;
extern QString gsAmtFmt;
extern QString gsPCName;

// The signed-in user and group (the login name until the menu hand-over replaces it)
extern QString gsUserID;
extern QString gsGrpID;
extern QString gsMenuCntStr;

// Database dialect of the shared connection
extern QString gsCntStr;
extern QString gsDBPwd;
extern QString gsDBType;
extern QString gsDBDate;
extern QString gsLikeChar;
extern QString gsDateQuot;
extern QString gsNewRNoSQL;
extern QString gsConcatOp; // text concatenation operator of the dialect
extern QString gsLeftFunc; // "left" or "substr" form, see leftExpr()

// Suite settings
extern QString gvAvgPriceMethod;
extern QString gvDeptPrefix;

// Shared message and SQL texts
extern QString gvMsg;
extern QString gvSQL;
