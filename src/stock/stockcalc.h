#pragma once

#include "platform/db/connection.h"
#include "stock/fdstock.h"

#include <QString>

// What the monthly calculation of one item needs besides the database.
struct StockCalcInput
{
    int year = 0; // Western year of the period
    int month = 0;
    QString deptNo;
    QString stkNo;
    QString stockEndDate;   // closing day of a period; empty: calendar months
    QString useRcvWork;     // "Y": receipts count only when fully received
    QString useSOut;        // "Y": the department uses issue slips
    QString avgPriceMethod; // "S", "L" or other (empty: moving average and balance amount)
    bool autoCalc = false;  // automatic calculation of closing quantity or usage
    bool calUseQty = false; // usage forced to 0
    double warehouseNo = 0; // the department's warehouse number
    QString userID;
};

// The item's master data as the calculation read it.
struct ItemMaster
{
    QString stkNo;
    QString name;
    QString dscp;
    QString unit;
    QString flag; // upper-cased
    QString useUnit;
    double useFactor = 0;
    QString lType;
    double buyPrice = 0;
    double avgPrice = 0;
};

struct StockCalcResult
{
    StockRecord record;
    ItemMaster item;
};

// Builds the period's record of one item from the previous period's record and the
// period's stock-in and stock-out slips. Reads only; throws RunError on database errors.
StockCalcResult BuildStockRecord(const Ado::ConnectionPtr &connection, const StockCalcInput &input);
