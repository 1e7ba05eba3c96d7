#pragma once

#include "platform/db/connection.h"

#include <QDate>
#include <QString>
#include <QVariant>

// The shared business database connection and its connection string. Owner: InitGCNT
// (read through Conn(); tests make their own shared through EditConn()).
struct BusinessConnection
{
    QString gsCntStr;
    QString gsDBPwd;
    Ado::ConnectionPtr gCNT;
};
const BusinessConnection &Conn();
BusinessConnection &EditConn();

// Opens a connection; failures are written to the error file only.
bool ConnectADO(const QString &cntStr, Ado::ConnectionPtr &conn);

// Opens Conn().gCNT from the settings store (or the settings file in development mode); a
// missing or refused connection shows its box and ends the program.
bool InitGCNT(const QString &apid = QString());

// Chooses the dialect of a connection (none: Conn().gCNT), or the one a key forces.
void SetDBType(const Ado::ConnectionPtr &conn = nullptr, const QString &dbType = QString());

QString QuotDate(const QVariant &value, const QString &provider = QString());
QString QuotStr(const QString &value);
QString QuotField(const QString &value);
// The text QuotField puts between its quotes (before doubling them).
QString FieldText(const QString &value);
// Scrambles or unscrambles text with a repeating key (the same call does both) as the suite
// does: XOR of character codes in the Traditional Chinese ANSI code page (encrypt.cpp).
QString Encrypt(const QString &text, const QString &key);

// The dialect's leading-characters expression: left(expr, n) or substr(expr, 1, n).
QString LeftExpr(const QString &expr, int length);
// The rows whose column begins with code: the same rows as
// LeftExpr(column, code.size()) + " = " + QuotField(code), written so that an index on the
// column serves it.
QString PrefixCondition(const QString &column, const QString &code);
