#include "platform/db/rowreader.h"

#include "common/numtext.h"
#include "common/validtext.h"

#include <QSqlDriver>
#include <string>
#include <vector>

#ifdef TOVRAN_NATIVE_SQLITE
#include <sqlite3.h>
#endif

namespace Ado {

class RowReader::Source
{
public:
    virtual ~Source() = default;
    virtual bool next() = 0;
    virtual double number(int field) const = 0;
    virtual QString text(int field) = 0;
    virtual QVariant value(int field) = 0;
};

namespace {

// Through the connection layer: any driver.
class RecordsetSource : public RowReader::Source
{
public:
    RecordsetSource(Connection &connection, const QString &sql) : m_rs(connection.execute(sql)) {}
    bool next() override
    {
        if (m_started && !m_rs.eof())
            m_rs.moveNext();
        m_started = true;
        return !m_rs.eof();
    }
    double number(int field) const override { return m_rs.number(field); }
    QString text(int field) override
    {
        QString t = m_rs.text(field);
        if (m_last.size() <= size_t(field))
            m_last.resize(size_t(field) + 1);
        QString &last = m_last[size_t(field)];
        if (t == last)
            return last;
        return last = t;
    }
    QVariant value(int field) override { return m_rs.value(field); }

private:
    Recordset m_rs;
    std::vector<QString> m_last;
    bool m_started = false;
};

#ifdef TOVRAN_NATIVE_SQLITE
// The statement stepped on the Qt driver's own connection handle: the configure step
// (cmake/nativesqlite.cmake) found that the program links the very libsqlite3 the driver
// does. Every value is taken as the driver would convert it.
class SqliteSource : public RowReader::Source
{
public:
    SqliteSource(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const QByteArray utf8 = ValidText(sql).toUtf8();
        check(sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr));
        m_last.resize(size_t(sqlite3_column_count(m_stmt)));
    }
    ~SqliteSource() override { sqlite3_finalize(m_stmt); }

    bool next() override
    {
        if (m_done) // stepping on would run the statement again
            return false;
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        m_done = true;
        if (rc != SQLITE_DONE)
            check(rc);
        return false;
    }

    double number(int field) const override
    {
        switch (sqlite3_column_type(m_stmt, field)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_stmt, field);
        default:
            return Val(rawText(field));
        }
    }

    QString text(int field) override
    {
        const int type = sqlite3_column_type(m_stmt, field);
        if (type == SQLITE_NULL)
            return QString();
        if (type == SQLITE_INTEGER)
            return QString::number(sqlite3_column_int64(m_stmt, field));
        if (type == SQLITE_FLOAT)
            return NumText(sqlite3_column_double(m_stmt, field));
        return cached(field, type).text;
    }

    QVariant value(int field) override
    {
        const int type = sqlite3_column_type(m_stmt, field);
        switch (type) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER:
            return qint64(sqlite3_column_int64(m_stmt, field));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_stmt, field);
        default:
            return cached(field, type).stored; // the driver hands texts over as stored
        }
    }

private:
    struct Last
    {
        std::string bytes; // the field's previous text as stored (its buffer is reused)
        QString stored;
        QString text; // by the text rule
    };

    // The current row's text of a field, the previous row's copies when it has not changed.
    const Last &cached(int field, int type)
    {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, field));
        const auto size = size_t(sqlite3_column_bytes(m_stmt, field));
        Last &last = m_last[size_t(field)];
        if (last.bytes.size() == size && last.bytes.compare(0, size, bytes, size) == 0)
            return last;
        last.bytes.assign(bytes, size);
        last.stored = QString::fromUtf8(bytes, qsizetype(size));
        last.text = type == SQLITE_TEXT ? SqliteStoredText(last.stored) : last.stored;
        return last;
    }

    QString rawText(int field) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, field)),
                                 sqlite3_column_bytes(m_stmt, field));
    }

    void check(int rc) const
    {
        if (rc == SQLITE_OK)
            return;
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_db));
        const int primary = rc & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            throw LockBusy(RunError::Database, text);
        throw RunError(RunError::Database, text);
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    std::vector<Last> m_last;
    bool m_done = false;
};

sqlite3 *sqliteHandle(const Connection &connection)
{
    const QSqlDatabase db = connection.database();
    if (!db.driver() || db.driver()->dbmsType() != QSqlDriver::SQLite)
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}
#endif

} // namespace

RowReader::RowReader(Connection &connection, const QString &sql, Path wanted)
{
#ifdef TOVRAN_NATIVE_SQLITE
    if (wanted == Path::Native) {
        if (sqlite3 *db = sqliteHandle(connection)) {
            d = std::make_unique<SqliteSource>(db, sql);
            m_path = Path::Native;
            return;
        }
    }
#else
    Q_UNUSED(wanted)
#endif
    d = std::make_unique<RecordsetSource>(connection, sql);
}

RowReader::~RowReader() = default;

bool RowReader::nativeSqlite()
{
#ifdef TOVRAN_NATIVE_SQLITE
    return true;
#else
    return false;
#endif
}

RowReader::Path RowReader::path() const
{
    return m_path;
}

bool RowReader::next()
{
    return d->next();
}

double RowReader::number(int field) const
{
    return d->number(field);
}

QString RowReader::text(int field)
{
    return d->text(field);
}

QVariant RowReader::value(int field)
{
    return d->value(field);
}

} // namespace Ado
