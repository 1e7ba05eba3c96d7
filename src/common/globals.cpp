#include "common/globals.h"

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

QString gsUserID;
QString gsGrpID;
QString gsMenuCntStr;

QString gsCntStr;
QString gsDBPwd;
QString gsDBType;
QString gsDBDate;
QString gsLikeChar;
QString gsDateQuot = QStringLiteral("'");
QString gsNewRNoSQL;
QString gsConcatOp = QStringLiteral("||");
QString gsLeftFunc = QStringLiteral("substr");

QString gvAvgPriceMethod;
QString gvDeptPrefix;

QString gvMsg;
QString gvSQL;
