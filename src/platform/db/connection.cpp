#include "platform/db/connection.h"

#include "common/numtext.h"
#include "common/validtext.h"
#include "platform/db/connectionstring.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>

namespace Ado {

namespace {

// PostgreSQL's lock_not_available (lock time-out, NOWAIT); SQLite's busy and locked texts.
bool isLockBusy(const QSqlError &error)
{
    const QString text = error.databaseText();
    return error.nativeErrorCode() == QLatin1String("55P03") ||
           text.contains(QLatin1String("database is locked")) ||
           text.contains(QLatin1String("database table is locked"));
}

[[noreturn]] void fail(const QSqlError &error, const QString &fallback = QString())
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = fallback;
    if (isLockBusy(error))
        throw LockBusy(RunError::Database, text);
    throw RunError(RunError::Database, text);
}

// "YYYY/MM/DD 00:00:00": the date text SQLite keeps for a date without time.
bool isMidnightDateText(const QString &s)
{
    if (s.size() != 19 || s[4] != QLatin1Char('/') || s[7] != QLatin1Char('/') ||
        !s.endsWith(QLatin1String(" 00:00:00")))
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9'))
            return false;
    return true;
}

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

// Connections kept in globals outlive Qt SQL's own registry at program exit; once that is
// gone a connection must not be removed from it any more. The sentinel is made right after
// the registry's first use, so it is destroyed just before the registry.
std::atomic<bool> g_sqlShutDown{false};

struct ShutDownSentinel
{
    ~ShutDownSentinel() { g_sqlShutDown = true; }
};

} // namespace

QString SqliteStoredText(const QString &text)
{
    return isMidnightDateText(text) ? text.left(10) : text;
}

QString ValueText(const QVariant &v, bool sqliteText)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QString: {
        const QString s = v.toString();
        return sqliteText ? SqliteStoredText(s) : s;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return NumText(v.toDouble());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
        return QString::number(v.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return QString::number(v.toULongLong());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate:
        return dateText(v.toDate());
    case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        if (dt.timeSpec() != Qt::LocalTime)
            dt = dt.toLocalTime();
        if (dt.time() == QTime(0, 0))
            return dateText(dt.date());
        return dateText(dt.date()) + dt.time().toString(QStringLiteral(" HH:mm:ss"));
    }
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

// ---------------------------------------------------------------- Recordset

struct Recordset::Impl
{
    std::shared_ptr<QSqlQuery> query;
    std::shared_ptr<const void> owner;
    QSqlRecord record;
    QHash<QString, int> index; // lower-case name -> position
    bool open = false;
    bool eof = true;
    bool sqliteText = false;

    void fetch()
    {
        eof = !query->next();
        if (eof && query->lastError().isValid())
            fail(query->lastError());
    }
};

Recordset::Recordset() : d(std::make_unique<Impl>()) {}

Recordset::Recordset(std::unique_ptr<QSqlQuery> query, std::shared_ptr<const void> owner)
    : Recordset(std::shared_ptr<QSqlQuery>(std::move(query)), std::move(owner), true)
{
}

Recordset::Recordset(std::shared_ptr<QSqlQuery> query, std::shared_ptr<const void> owner, bool)
    : d(std::make_unique<Impl>())
{
    d->query = std::move(query);
    d->owner = std::move(owner);
    if (!d->query || !d->query->isActive() || !d->query->isSelect())
        return;
    d->open = true;
    d->record = d->query->record();
    d->sqliteText = d->query->driver() && d->query->driver()->dbmsType() == QSqlDriver::SQLite;
    for (int i = 0; i < d->record.count(); ++i) {
        const QString key = d->record.fieldName(i).toLower();
        if (!d->index.contains(key)) // the first of equal names wins
            d->index.insert(key, i);
    }
    d->fetch();
}

Recordset::Recordset(Recordset &&) noexcept = default;
Recordset &Recordset::operator=(Recordset &&) noexcept = default;
Recordset::~Recordset() = default;

bool Recordset::isOpen() const
{
    return d && d->open;
}

bool Recordset::eof() const
{
    return !d || !d->open || d->eof;
}

void Recordset::moveNext()
{
    if (eof())
        throw RunError(RunError::Database,
                       QStringLiteral("BOF 或 EOF 中有一個是 True, 或目前的記錄已被刪除"));
    d->fetch();
}

void Recordset::close()
{
    if (!d)
        return;
    if (d->query && d->query.use_count() == 1)
        d->query->finish();
    d->query.reset();
    d->owner.reset();
    d->record = QSqlRecord();
    d->index.clear();
    d->open = false;
    d->eof = true;
}

int Recordset::fieldCount() const
{
    return d && d->open ? d->record.count() : 0;
}

QString Recordset::fieldName(int index) const
{
    return d && d->open ? d->record.fieldName(index) : QString();
}

int Recordset::fieldType(int index) const
{
    return d && d->open ? d->record.field(index).metaType().id() : QMetaType::UnknownType;
}

int Recordset::fieldIndex(const QString &name) const
{
    if (!d || !d->open)
        return -1;
    return d->index.value(name.toLower(), -1);
}

int Recordset::requireField(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw RunError(ItemNotFound,
                       QStringLiteral("在對應到所需名稱或序數的集合中，找不到項目: %1").arg(name));
    return i;
}

QVariant Recordset::value(int index) const
{
    if (eof())
        throw RunError(RunError::Database,
                       QStringLiteral("BOF 或 EOF 中有一個是 True, 或目前的記錄已被刪除"));
    if (index < 0 || index >= d->record.count())
        throw RunError(ItemNotFound,
                       QStringLiteral("在對應到所需名稱或序數的集合中，找不到項目: %1").arg(index));
    return d->query->value(index);
}

QVariant Recordset::value(const QString &name) const
{
    return value(requireField(name));
}

bool Recordset::isNull(int index) const
{
    return value(index).isNull();
}

bool Recordset::isNull(const QString &name) const
{
    return isNull(requireField(name));
}

QString Recordset::text(int index) const
{
    return ValueText(value(index), d->sqliteText);
}

QString Recordset::text(const QString &name) const
{
    return text(requireField(name));
}

double Recordset::number(int index) const
{
    return Val(value(index));
}

double Recordset::number(const QString &name) const
{
    return number(requireField(name));
}

// ---------------------------------------------------------------- Command

Command::Command(QSqlDatabase db, const QString &sql)
    : m_query(std::make_shared<QSqlQuery>(db)), m_sql(sql)
{
    m_query->setForwardOnly(true);
    if (!m_query->prepare(ValidText(sql)))
        fail(m_query->lastError(), QStringLiteral("無法準備命令: %1").arg(sql));
}

Command::Command(Command &&) noexcept = default;
Command::~Command() = default;

Recordset Command::execute(const QString &parameter)
{
    m_query->bindValue(0, ValidText(parameter));
    if (!m_query->exec())
        fail(m_query->lastError(), QStringLiteral("無法執行命令: %1").arg(m_sql));
    return Recordset(m_query, m_owner, true);
}

// ---------------------------------------------------------------- Connection

std::shared_ptr<Connection> Connection::open(const QString &connectionString)
{
    static std::atomic<quint64> counter{0};
    const DriverSettings s = ResolveDriver(connectionString);
    if (!QSqlDatabase::isDriverAvailable(s.driver))
        throw RunError(RunError::Database,
                       QStringLiteral("資料庫驅動程式 %1 未安裝").arg(s.driver));

    std::shared_ptr<Connection> c(new Connection());
    c->m_provider = s.provider;
    c->m_connectionString = connectionString;
    c->m_dataSource = s.dataSource;
    c->m_name = QStringLiteral("tovran-ado-%1").arg(++counter);
    c->m_db = QSqlDatabase::addDatabase(s.driver, c->m_name);
    static ShutDownSentinel sentinel;
    c->m_db.setDatabaseName(s.databaseName);
    if (!s.host.isEmpty())
        c->m_db.setHostName(s.host);
    if (s.port > 0)
        c->m_db.setPort(s.port);
    if (!s.user.isEmpty())
        c->m_db.setUserName(s.user);
    if (!s.password.isEmpty())
        c->m_db.setPassword(s.password);
    c->m_db.setConnectOptions(s.connectOptions);
    c->m_lockWaitMs = s.lockWaitMs;
    if (!c->m_db.open())
        fail(c->m_db.lastError(), QStringLiteral("無法開啟資料庫連線"));
    c->applyLockWait(c->m_lockWaitMs);
    if (s.driver == QLatin1String("QSQLITE")) {
        // SQLite's default page cache is 2 MB: on a shared file of millions of slip lines
        // every lookup read its index pages from the operating system again.
        QSqlQuery q(c->m_db);
        q.exec(QStringLiteral("PRAGMA cache_size = -65536")); // 64 MB, taken as used
    }
    return c;
}

Connection::~Connection()
{
    if (g_sqlShutDown)
        return;
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    if (!m_name.isEmpty())
        QSqlDatabase::removeDatabase(m_name);
}

QString Connection::provider() const
{
    return m_provider;
}

QString Connection::connectionString() const
{
    return m_connectionString;
}

QString Connection::dataSource() const
{
    return m_dataSource;
}

QString Connection::driverName() const
{
    return m_db.driverName();
}

bool Connection::isOpen() const
{
    return m_db.isOpen();
}

void Connection::failed(const QSqlError &error, const QString &fallback)
{
    m_suspect = true;
    fail(error, fallback);
}

void Connection::ensureUsable()
{
    if (!m_suspect || m_inTransaction || m_db.driverName() == QLatin1String("QSQLITE"))
        return;
    {
        QSqlQuery probe(m_db);
        if (m_db.isOpen() && probe.exec(QStringLiteral("SELECT 1"))) {
            m_suspect = false;
            return;
        }
    }
    // The server went away (restarted, network lost): a new session of the same login.
    m_db.close();
    if (!m_db.open())
        fail(m_db.lastError(), QStringLiteral("無法重新連線到資料庫"));
    m_suspect = false;
    applyLockWait(m_lockWaitMs);
}

// The session's lock wait: PostgreSQL's lock_timeout, SQLite's busy time-out (set at open
// by the driver too). ODBC sources keep their own.
void Connection::applyLockWait(int ms)
{
    QString sql;
    if (m_db.driverName() == QLatin1String("QPSQL"))
        sql = QStringLiteral("SET lock_timeout = %1").arg(ms);
    else if (m_db.driverName() == QLatin1String("QSQLITE"))
        sql = QStringLiteral("PRAGMA busy_timeout = %1").arg(ms);
    if (sql.isEmpty())
        return;
    QSqlQuery q(m_db);
    if (!q.exec(sql))
        failed(q.lastError(), QStringLiteral("無法設定鎖定等候時間"));
}

void Connection::limitLockWait(int ms)
{
    ms = qMax(ms, 1);
    if (m_db.driverName() == QLatin1String("QPSQL")) {
        // SET LOCAL ends with the transaction, also when it is aborted.
        executeNonQuery(QStringLiteral("SET LOCAL lock_timeout = %1").arg(ms));
    } else if (m_db.driverName() == QLatin1String("QSQLITE")) {
        applyLockWait(ms);
        m_lockWaitLimited = true;
    }
}

void Connection::transactionEnded()
{
    m_inTransaction = false;
    if (!m_lockWaitLimited)
        return;
    m_lockWaitLimited = false;
    applyLockWait(m_lockWaitMs);
}

Recordset Connection::execute(const QString &sql)
{
    ensureUsable();
    auto q = std::make_unique<QSqlQuery>(m_db);
    q->setForwardOnly(true);
    if (!q->exec(ValidText(sql)))
        failed(q->lastError(), QStringLiteral("無法執行: %1").arg(sql));
    return Recordset(std::move(q), shared_from_this());
}

int Connection::executeNonQuery(const QString &sql)
{
    ensureUsable();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(ValidText(sql)))
        failed(q.lastError(), QStringLiteral("無法執行: %1").arg(sql));
    return q.numRowsAffected();
}

void Connection::releaseMemory()
{
    if (m_db.driverName() != QLatin1String("QSQLITE"))
        return;
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("PRAGMA shrink_memory")); // nothing is lost when it cannot
}

Command Connection::prepare(const QString &sql)
{
    Command cmd(m_db, sql);
    cmd.m_owner = shared_from_this();
    return cmd;
}

void Connection::beginTrans()
{
    ensureUsable();
    if (!m_db.transaction())
        failed(m_db.lastError(), QStringLiteral("無法開始交易"));
    m_inTransaction = true;
}

void Connection::commitTrans()
{
    if (!m_db.commit()) {
        // SQLite keeps the transaction open when its commit has to wait too long: the
        // caller's rollback ends it.
        if (m_db.driverName() != QLatin1String("QSQLITE"))
            transactionEnded();
        failed(m_db.lastError(), QStringLiteral("無法認可交易"));
    }
    transactionEnded();
}

void Connection::rollbackTrans()
{
    const bool ok = m_db.rollback();
    transactionEnded();
    if (!ok)
        failed(m_db.lastError(), QStringLiteral("無法復原交易"));
}

} // namespace Ado
