#include "stock/fdstock.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/transaction.h"
#include "stock/monthwatch.h"
#include "stock/stockfields.h"

namespace {

// A field's value as the INSERT writes it.
struct SqlValue
{
    QString operator()(double value) const { return NumText(value); }
    QString operator()(const QString &text) const { return QuotField(text); }
    QString operator()(const QDate &date) const { return QuotDate(date); }
};

QString insertStatement(const StockRecord &r)
{
    QString columns;
    QString values;
    for (const StockField &field : StockFields) {
        if (field.kind == StockField::RecordNumber)
            continue; // the database assigns it
        columns += QLatin1Char(' ') + QLatin1String(field.column) + QStringLiteral(", ");
        values += VisitStockField(field, r, SqlValue()) + QStringLiteral(", ");
    }
    return QStringLiteral("INSERT INTO STOCK ( ") + columns + QStringLiteral(" FileDate ") +
           QStringLiteral(" ) VALUES ( ") + values + Dialect().gsDBDate + QStringLiteral(") ");
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
