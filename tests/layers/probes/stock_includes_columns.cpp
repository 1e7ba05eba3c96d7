// The stock layer includes the stock layer and the layers below it: this builds.
#include "common/dates.h"
#include "data/adodb.h"
#include "platform/db/connection.h"
#include "stock/stockcolumns.h"

#include <QSqlDatabase>

int probeStockRightWay()
{
    return QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")) ? 1 : 0;
}
