#pragma once

#include "platform/db/connection.h"

#include <QString>
#include <memory>

namespace Ado {

// A forward-only read of a query's rows for bulk loads: figures as numbers and texts without
// a QVariant per field. On SQLite it steps the driver's own statement handle; elsewhere it
// reads through a Recordset. Values follow the Recordset's text rule, so a record read here
// and the same record read through a Recordset give the same texts and numbers.
class RowReader
{
public:
    // Runs the query; throws RunError (LockBusy) like Connection::execute.
    RowReader(Connection &connection, const QString &sql);
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    // Moves to the next row (the first one on the first call); false after the last.
    bool next();

    double number(int field) const; // the numeric value (NULL = 0, text by Val)
    // The field's text. A text equal to the one this field had in the previous row is the
    // same shared copy: a month's repeating texts are not allocated again row after row.
    QString text(int field);
    QVariant value(int field); // as Recordset::value gives it (a text shared as text() does)

    class Source;

private:
    std::unique_ptr<Source> d;
};

} // namespace Ado
