#pragma once

#include "platform/db/connection.h"
#include "stock/stockmonth.h"

#include <QString>
#include <functional>

// Reading the month's STOCK records into the month model.

// "Select" the record's fields (StockFields) and its stamp (UpdDate) "From STOCK ".
QString StockRecordSelect();
// The record at the recordset's current position (fields of StockRecordSelect()).
StockRecord ReadStockRecord(const Ado::Recordset &rs, QString *updDate);

// The order of a load by item number.
QString ItemOrder();

// The item master records a load of "… From STOCK" + conditions completes its rows from.
QString MonthItemsSelect(const QString &conditions);

// Reads the records "Select … From STOCK" + conditions + order into the month (which must
// be reset before), completes each row from its item master record (only the items the
// month holds are read) and converts to use units when the month shows them. A missing
// use-unit factor is logged once per item and counts as 1. progress is called now and then
// with the rows read so far, and once more with all of them when the records are read.
// Throws RunError on database errors.
void LoadStockRows(const Ado::ConnectionPtr &connection, const QString &conditions,
                   const QString &order, StockMonth &month,
                   const std::function<void(int rowsRead)> &progress = {});

// The number of records "Select … From STOCK" + conditions reads (what a load will read:
// its progress counts towards it). Throws RunError on database errors.
int CountStockRows(const Ado::ConnectionPtr &connection, const QString &conditions);

// Completes one row from the item master (no row of the month: a record added or brought
// in by a lookup). Unknown items keep empty texts and factor 1.
void CompleteFromItem(const Ado::ConnectionPtr &connection, StockRow &row, bool useUnit);

// Reads one record by number; false when it is gone. forUpdate: inside a write
// transaction, the record stays locked until the transaction ends.
bool ReadStockRecordByRno(const Ado::ConnectionPtr &connection, double rno, bool forUpdate,
                          StockRecord &record, QString &updDate);
