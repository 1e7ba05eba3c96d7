#pragma once

#include "platform/db/connection.h"

#include <QString>

// Whether a table of a connection's database has a column (names compared without regard to
// case). The suite's own tables have only the columns the suite gives them, while the
// project's create scripts add a few (the slip lines' record numbers): a statement names
// such a column only where the table has it. Each table's columns are looked up once per
// connection; a table that cannot be read throws RunError.
bool HasColumn(const Ado::ConnectionPtr &connection, const QString &table, const QString &column);
