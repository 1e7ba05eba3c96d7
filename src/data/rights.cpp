#include "data/rights.h"

// Placeholder body until the database layer lands.
bool SetRight(const QString &, QString &errMsg, QWidget *)
{
    errMsg = QStringLiteral("rights check not available");
    return false;
}
