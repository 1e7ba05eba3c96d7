#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// The physical limit of a load: the same statements read through the database's own
// client library (libsqlite3, libpq), every value taken as the program needs it (numbers
// as doubles, texts as their bytes), nothing kept.
class PhysicalReader
{
public:
    virtual ~PhysicalReader() = default;
    // Runs the statements one after the other and reads every row; the rows read. Throws
    // std::runtime_error with the library's message.
    virtual qint64 read(const QStringList &statements) = 0;

    static std::unique_ptr<PhysicalReader> sqlite(const QString &file);
    // conninfo: libpq's "key=value" text; the PG* environment fills in the rest.
    static std::unique_ptr<PhysicalReader> postgres(const QString &conninfo);
};
