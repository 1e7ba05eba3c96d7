#pragma once

#include "platform/db/connection.h"

#include <QDate>
#include <QString>
#include <functional>

// Fills an empty business or menu database with realistic demo content.
struct DemoOptions
{
    int items = 400;      // item master rows (at least stockRows)
    int stockRows = 0;    // rows of department A01's last period; 0: one per stocked item
    int slipLines = 3000; // stock-in and stock-out slip lines in all
    int months = 6;       // periods before the current month
    QDate today = QDate::currentDate();
    quint32 seed = 20191224;
    // Called now and then while slip lines are written (large sets take minutes).
    std::function<void(int done, int total)> progress;
};

// Creates the business tables (SQLite or PostgreSQL script, by the connection's driver)
// and fills them. Returns a one-line summary.
QString BuildBusinessDatabase(Ado::Connection &conn, const DemoOptions &options);

// Creates the menu tables with user DEMO (group ADMIN, every right on TOVRAN) and user
// CLERK (group CLERK, no print right).
void BuildMenuDatabase(Ado::Connection &conn);

// Drops the demo's tables from a database that already holds them.
void DropDemoTables(Ado::Connection &conn, bool menu);
