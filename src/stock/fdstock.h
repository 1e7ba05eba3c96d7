#pragma once

#include "platform/db/connection.h"

#include <QDate>
#include <QString>

// One STOCK row in memory: quantities in the item's stock unit, amounts in currency. Its
// fields, with their columns, are listed once in stock/stockfields.h.
struct StockRecord
{
    double Rno = 0;
    QString DeptNo;
    QDate StkDate;
    QString STKNo;
    double LastQty = 0;
    double LastAmt = 0;
    double InQty = 0;
    double InAmt = 0;
    double OutQty = 0;
    double OutAmt = 0;
    double ChkQty = 0;
    double AdjustQty = 0;
    double UseQty = 0;
    double LostQty = 0;
    double LostAmt = 0;
    double STKQty = 0;
    double STKAmt = 0;
    double AvgPrice = 0;
    QString UserID;
    QString UpdUserID;
};

// Inserts the record into STOCK and reads back its new record number into Rno. The
// insert and the read-back run in one transaction: both or neither.
bool ADD_STOCK(StockRecord &record, const Ado::ConnectionPtr &connection);

// An item's name, and optionally its stock unit and use-unit factor (below 1 counts as 1).
// Unknown items give an empty name and unit and factor 1. False only after an error.
bool GetSTKDscp(const QString &stkNo, QString &name, QString *unit = nullptr,
                double *factor = nullptr);
