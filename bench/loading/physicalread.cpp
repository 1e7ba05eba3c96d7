#include "physicalread.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

class SqliteReader : public PhysicalReader
{
public:
    explicit SqliteReader(const QString &file)
    {
        if (sqlite3_open_v2(file.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(std::string("sqlite3_open_v2: ") + sqlite3_errmsg(m_db));
    }
    ~SqliteReader() override { sqlite3_close(m_db); }

    qint64 read(const QStringList &statements) override
    {
        qint64 rows = 0;
        double sum = 0;
        qint64 bytes = 0;
        for (const QString &sql : statements) {
            const QByteArray text = sql.toUtf8();
            sqlite3_stmt *stmt = nullptr;
            if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) !=
                SQLITE_OK)
                throw std::runtime_error(std::string("prepare: ") + sqlite3_errmsg(m_db));
            const int columns = sqlite3_column_count(stmt);
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                ++rows;
                for (int c = 0; c < columns; ++c) {
                    switch (sqlite3_column_type(stmt, c)) {
                    case SQLITE_INTEGER:
                    case SQLITE_FLOAT:
                        sum += sqlite3_column_double(stmt, c);
                        break;
                    case SQLITE_TEXT:
                        bytes += *sqlite3_column_text(stmt, c) + sqlite3_column_bytes(stmt, c);
                        break;
                    default:
                        break;
                    }
                }
            }
            sqlite3_finalize(stmt);
            if (rc != SQLITE_DONE)
                throw std::runtime_error(std::string("step: ") + sqlite3_errmsg(m_db));
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(bytes);
        return rows;
    }

private:
    sqlite3 *m_db = nullptr;
};

// Type numbers of PostgreSQL's number types (pg_type.oid).
bool isNumberType(Oid type)
{
    switch (type) {
    case 20:   // int8
    case 21:   // int2
    case 23:   // int4
    case 700:  // float4
    case 701:  // float8
    case 1700: // numeric
        return true;
    default:
        return false;
    }
}

class PgReader : public PhysicalReader
{
public:
    explicit PgReader(const QString &conninfo) : m_conn(PQconnectdb(conninfo.toUtf8().constData()))
    {
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw std::runtime_error(std::string("PQconnectdb: ") + PQerrorMessage(m_conn));
        PQsetClientEncoding(m_conn, "UTF8");
    }
    ~PgReader() override { PQfinish(m_conn); }

    qint64 read(const QStringList &statements) override
    {
        qint64 rows = 0;
        double sum = 0;
        qint64 bytes = 0;
        for (const QString &sql : statements) {
            PGresult *res = PQexec(m_conn, sql.toUtf8().constData());
            if (PQresultStatus(res) != PGRES_TUPLES_OK) {
                const std::string error = PQresultErrorMessage(res);
                PQclear(res);
                throw std::runtime_error("PQexec: " + error);
            }
            const int columns = PQnfields(res);
            const int count = PQntuples(res);
            bool number[64] = {};
            for (int c = 0; c < columns && c < 64; ++c)
                number[c] = isNumberType(PQftype(res, c));
            for (int r = 0; r < count; ++r) {
                for (int c = 0; c < columns; ++c) {
                    if (PQgetisnull(res, r, c))
                        continue;
                    if (c < 64 && number[c])
                        sum += std::strtod(PQgetvalue(res, r, c), nullptr);
                    else
                        bytes += *PQgetvalue(res, r, c) + PQgetlength(res, r, c);
                }
            }
            rows += count;
            PQclear(res);
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(bytes);
        return rows;
    }

private:
    PGconn *m_conn;
};

} // namespace

std::unique_ptr<PhysicalReader> PhysicalReader::sqlite(const QString &file)
{
    return std::make_unique<SqliteReader>(file);
}

std::unique_ptr<PhysicalReader> PhysicalReader::postgres(const QString &conninfo)
{
    return std::make_unique<PgReader>(conninfo);
}
