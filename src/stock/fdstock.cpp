#include "stock/fdstock.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/transaction.h"
#include "stock/monthwatch.h"

#include <QStringList>

namespace {

QString insertStatement(const StockRecord &r)
{
    const QString sep = QStringLiteral(", ");
    QString sql =
        QStringLiteral("INSERT INTO STOCK ( ") + QStringLiteral(" DeptNo, ") +
        QStringLiteral(" StkDate, ") + QStringLiteral(" STKNo, ") + QStringLiteral(" LastQty, ") +
        QStringLiteral(" LastAmt, ") + QStringLiteral(" InQty, ") + QStringLiteral(" InAmt, ") +
        QStringLiteral(" OUTQty, ") + QStringLiteral(" OutAmt, ") + QStringLiteral(" ChkQty, ") +
        QStringLiteral(" AdjustQty, ") + QStringLiteral(" UseQty, ") +
        QStringLiteral(" LostQty, ") + QStringLiteral(" LostAmt, ") + QStringLiteral(" STKQty, ") +
        QStringLiteral(" STKAmt, ") + QStringLiteral(" AvgPrice, ") + QStringLiteral(" UserID, ") +
        QStringLiteral(" UpdUserID, ") + QStringLiteral(" FileDate ") +
        QStringLiteral(" ) VALUES ( ");
    sql += QuotField(r.DeptNo) + sep + QuotDate(r.StkDate) + sep + QuotField(r.STKNo) + sep;
    for (double v : {r.LastQty, r.LastAmt, r.InQty, r.InAmt, r.OutQty, r.OutAmt, r.ChkQty,
                     r.AdjustQty, r.UseQty, r.LostQty, r.LostAmt, r.STKQty, r.STKAmt, r.AvgPrice})
        sql += NumText(v) + sep;
    sql += QuotField(r.UserID) + sep + QuotField(r.UpdUserID) + sep;
    sql += Dialect().gsDBDate + QStringLiteral(") ");
    return sql;
}

} // namespace

bool ADD_STOCK(StockRecord &record, const Ado::ConnectionPtr &connection)
{
    try {
        Ado::Transaction transaction(*connection);
        connection->executeNonQuery(insertStatement(record));
        Ado::Recordset rs = connection->execute(Dialect().gsNewRNoSQL);
        if (rs.eof())
            throw RunError(RunError::Database, QStringLiteral("新紀錄序號無法讀回"));
        const double rno = rs.number(0);
        rs.close();
        AnnounceStockWrite(connection, rno);
        transaction.commit();
        record.Rno = rno;
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("ADD_STOCK"), ToRunError(e));
        return false;
    }
}

bool GetSTKDscp(const QString &stkNo, QString &name, QString *unit, double *factor)
{
    try {
        Ado::Recordset rs =
            Conn().gCNT->execute(QStringLiteral("Select *  From STK ") +
                                 QStringLiteral(" Where STKNo = ") + QuotStr(stkNo));
        QString foundName;
        QString foundUnit;
        double foundFactor = 1;
        if (!rs.eof()) {
            foundName = rs.text(QStringLiteral("STKName"));
            foundUnit = rs.text(QStringLiteral("Unit"));
            foundFactor = rs.number(QStringLiteral("UQty"));
        }
        if (foundFactor < 1)
            foundFactor = 1;
        name = foundName;
        if (unit)
            *unit = foundUnit;
        if (factor)
            *factor = foundFactor;
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("GetSTKDscp"), ToRunError(e));
        return false;
    }
}
