#pragma once

#include "platform/db/connection.h"

#include <QString>
#include <QStringList>

namespace Ado {

// The statements of an SQL script: "--" comment lines dropped, statements ending with a
// ";" at the end of a line.
QStringList SplitSqlScript(const QString &script);

// Runs every statement of a script on the connection, in one transaction.
void RunSqlScript(Connection &conn, const QString &script);

// Runs a script file (UTF-8).
void RunSqlScriptFile(Connection &conn, const QString &file);

} // namespace Ado
