#pragma once

#include "support/testdatabase.h"

#include <QString>

// The suite's tables as the suite has them: exactly the columns the program may rely on,
// none of the project's own (the slip lines' record numbers, the stock record's flag, the
// user's name), no index but the stock record number's key. Texts are VARCHAR, numbers
// NUMERIC, dates DATE and the clock's times TIMESTAMP on PostgreSQL (SQLite keeps dates as
// text); the stock record number is an identity the database always assigns itself.
enum class SuiteTables {
    Business, // STOCK, STK, SIN, SOut, Corp, xxCODE, xxPARAM
    Menu      // JX_User, JX_Right
};

// The create statements of those tables for a database of the backend.
QString SuiteTablesScript(Backend backend, SuiteTables tables);
