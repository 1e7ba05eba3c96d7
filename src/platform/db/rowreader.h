#pragma once

#include "platform/db/connection.h"

#include <QString>
#include <memory>

namespace Ado {

// A forward-only read of a query's rows for bulk loads: figures as numbers and texts without
// a QVariant per field. Values follow the Recordset's text rule, so a record read here and
// the same record read through a Recordset give the same texts and numbers.
class RowReader
{
public:
    // How the rows are read. Native steps SQLite's own statement on the Qt driver's handle:
    // only on SQLite, and only in a build whose configure step found that the driver and the
    // program use one libsqlite3 (nativeSqlite()); elsewhere it falls back to QtSql, a
    // forward-only QSqlQuery through a Recordset. Only the tests ask for QtSql.
    enum class Path { Native, QtSql };

    // Runs the query; throws RunError (LockBusy) like Connection::execute.
    RowReader(Connection &connection, const QString &sql, Path wanted = Path::Native);
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    static bool nativeSqlite(); // whether this build has the Native path
    Path path() const;          // the path taken

    // Moves to the next row (the first one on the first call); false after the last.
    bool next();

    double number(int field) const; // the numeric value (NULL = 0, text by Val)
    // The field's text. A text equal to the one this field had in the previous row is the
    // same shared copy: a month's repeating texts are not allocated again row after row.
    QString text(int field);
    QVariant value(int field); // as Recordset::value gives it

    class Source;

private:
    std::unique_ptr<Source> d;
    Path m_path = Path::QtSql;
};

} // namespace Ado
