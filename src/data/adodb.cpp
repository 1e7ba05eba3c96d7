#include "data/adodb.h"

#include "common/globals.h"

Ado::ConnectionPtr gCNT;

// Placeholder bodies until the database layer lands.
bool ConnectADO(const QString &, Ado::ConnectionPtr &)
{
    return false;
}

bool InitGCNT(const QString &)
{
    return false;
}

void SetDBType(const Ado::ConnectionPtr &, const QString &) {}

QString QuotDate(const QVariant &, const QString &)
{
    return QStringLiteral("NULL");
}

QString QuotStr(const QString &value)
{
    QString v = value;
    return QLatin1Char('\'') + v.replace(QLatin1Char('\''), QStringLiteral("''")).trimmed() +
           QLatin1Char('\'');
}

QString QuotField(const QString &value)
{
    return QuotStr(value);
}

QString Encrypt(const QString &text, const QString &)
{
    return text;
}

QString LeftExpr(const QString &expr, int length)
{
    return QStringLiteral("substr(%1, 1, %2)").arg(expr).arg(length);
}
