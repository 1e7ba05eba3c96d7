#include "stock/monthwatch.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "stock/stockload.h"

#include <QSqlDriver>
#include <QStringList>

namespace {

const QString kChannel = QStringLiteral("tovran_stock");

// A write is stamped when its statement runs and seen when it commits; a commit may wait
// for readers up to the lock wait. Records stamped this long before the last look are read
// again, and the window leaves out those it holds already.
constexpr int StampLagSeconds = 10;

bool isPostgres(const Ado::ConnectionPtr &connection)
{
    return connection && connection->driverName() == QLatin1String("QPSQL");
}

bool isSqlite(const Ado::ConnectionPtr &connection)
{
    return connection && connection->driverName() == QLatin1String("QSQLITE");
}

} // namespace

void AnnounceStockWrite(const Ado::ConnectionPtr &connection, double rno)
{
    if (isPostgres(connection))
        connection->executeNonQuery(QStringLiteral("NOTIFY ") + kChannel + QStringLiteral(", '") +
                                    NumText(rno) + QLatin1Char('\''));
}

void AnnounceStockWrites(const Ado::ConnectionPtr &connection, const QList<double> &rnos)
{
    if (!isPostgres(connection))
        return;
    if (rnos.size() == 1) {
        AnnounceStockWrite(connection, rnos.first());
        return;
    }
    // A thousand notifications a statement: one statement a record would double the round
    // trips of a long import.
    constexpr qsizetype Chunk = 1000;
    for (qsizetype from = 0; from < rnos.size(); from += Chunk) {
        QStringList values;
        for (double rno : rnos.mid(from, Chunk))
            values << QStringLiteral("('") + NumText(rno) + QStringLiteral("')");
        connection->execute(QStringLiteral("Select pg_notify('") + kChannel +
                            QStringLiteral("', v) From (Values ") + values.join(QLatin1Char(',')) +
                            QStringLiteral(") As n(v)"));
    }
}

MonthWatch::MonthWatch(QObject *parent) : QObject(parent)
{
    // Another workstation's count shows within about two seconds.
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &MonthWatch::check);
}

MonthWatch::~MonthWatch()
{
    stop();
}

WatchMark MonthWatch::mark(const Ado::ConnectionPtr &connection)
{
    WatchMark m;
    if (!isSqlite(connection))
        return m;
    Ado::Recordset rs = connection->execute(QStringLiteral("Select ") + Dialect().gsDBDate +
                                            QStringLiteral(", (Select max(RNo) From STOCK)"));
    if (!rs.eof()) {
        m.since = rs.text(0);
        m.lastRno = rs.number(1);
    }
    return m;
}

void MonthWatch::watch(const Ado::ConnectionPtr &connection, const QString &conditions,
                       const WatchMark &from)
{
    stop();
    m_connection = connection;
    m_conditions = conditions;
    m_since = from.since;
    m_lastRno = from.lastRno;
    if (isPostgres(connection)) {
        QSqlDriver *driver = connection->database().driver();
        m_listening = driver->subscribeToNotification(kChannel);
        connect(driver, &QSqlDriver::notification, this,
                [this](const QString &name, QSqlDriver::NotificationSource source,
                       const QVariant &payload) { notified(name, source, payload); });
    } else if (isSqlite(connection)) {
        Ado::Recordset rs = connection->execute(QStringLiteral("PRAGMA data_version"));
        m_dataVersion = rs.eof() ? -1 : static_cast<qint64>(rs.number(0));
        m_timer.start();
    }
}

void MonthWatch::stop()
{
    m_timer.stop();
    if (m_connection && isPostgres(m_connection)) {
        QSqlDriver *driver = m_connection->database().driver();
        disconnect(driver, &QSqlDriver::notification, this, nullptr);
        if (m_listening && m_connection->isOpen())
            driver->unsubscribeFromNotification(kChannel);
    }
    m_listening = false;
    m_pending.clear();
    m_connection.reset();
}

void MonthWatch::notified(const QString &name, int source, const QVariant &payload)
{
    // The window's own writes are shown already.
    if (name != kChannel || source == QSqlDriver::SelfSource)
        return;
    m_pending.insert(static_cast<qint64>(Val(payload.toString())));
    // Notifications come in bursts: they are read together once the burst is handled.
    if (!m_timer.isActive())
        QTimer::singleShot(0, this, &MonthWatch::check);
}

void MonthWatch::check()
{
    if (!m_connection)
        return;
    if (m_connection->inTransaction()) {
        if (!m_pending.isEmpty())
            QTimer::singleShot(200, this, &MonthWatch::check);
        return;
    }
    try {
        QList<ReadRecord> records;
        if (isPostgres(m_connection)) {
            if (m_pending.isEmpty())
                return;
            QStringList numbers;
            for (qint64 rno : std::as_const(m_pending))
                numbers << QString::number(rno);
            m_pending.clear();
            records = read(numbers);
        } else {
            Ado::Recordset rs = m_connection->execute(QStringLiteral("PRAGMA data_version"));
            const qint64 version = rs.eof() ? -1 : static_cast<qint64>(rs.number(0));
            rs.close();
            if (version == m_dataVersion)
                return; // nobody else committed: nothing is read
            m_dataVersion = version;
            const WatchMark now = mark(m_connection);
            // The candidates by the stamp's index and the record number alone: the month's
            // conditions would lead the database through all the month's records.
            QString candidates =
                QStringLiteral("Select RNo From STOCK Where RNo > ") + NumText(m_lastRno);
            if (const std::optional<QDateTime> since = ParseDateTime(m_since))
                candidates +=
                    QStringLiteral(" Or UpdDate >= ") + QuotDate(since->addSecs(-StampLagSeconds));
            else
                candidates += QStringLiteral(" Or UpdDate Is Not Null");
            QStringList numbers;
            for (Ado::Recordset c = m_connection->execute(candidates); !c.eof(); c.moveNext()) {
                numbers << NumText(c.number(0));
                // Records added elsewhere (other months too) are candidates once.
                m_lastRno = qMax(m_lastRno, c.number(0));
            }
            if (!numbers.isEmpty())
                records = read(numbers);
            m_since = now.since;
        }
        noteSeen(records);
        if (!records.isEmpty())
            Q_EMIT recordsChanged(records);
    } catch (const std::exception &e) {
        // The next look tries again; the error file keeps what went wrong.
        LogErr(QStringLiteral("MonthWatch_check"), ToRunError(e));
    }
}

QList<ReadRecord> MonthWatch::read(const QStringList &numbers)
{
    QList<ReadRecord> records;
    const QString list =
        QStringLiteral("RNo in (") + numbers.join(QLatin1Char(',')) + QLatin1Char(')');
    // Without statistics (a month just made) either database may go through the month's
    // index, all its records, rather than look the few numbers up. SQLite is told to use
    // no index but the record number; PostgreSQL applies the month's conditions to the
    // records of these numbers only (the WITH query stands for STOCK in the main query).
    QString sql;
    if (isSqlite(m_connection))
        sql = StockRecordSelect() + QStringLiteral("NOT INDEXED ") + m_conditions +
              QStringLiteral(" And ") + list;
    else if (isPostgres(m_connection))
        sql = QStringLiteral("With STOCK As Materialized (Select * From STOCK Where ") + list +
              QStringLiteral(") ") + StockRecordSelect() + m_conditions;
    else
        sql = StockRecordSelect() + m_conditions + QStringLiteral(" And ") + list;
    Ado::Recordset rs = m_connection->execute(sql);
    while (!rs.eof()) {
        ReadRecord r;
        r.record = ReadStockRecord(rs, &r.updDate);
        records.append(r);
        rs.moveNext();
    }
    return records;
}

void MonthWatch::noteSeen(const QList<ReadRecord> &records)
{
    for (const ReadRecord &r : records)
        m_lastRno = qMax(m_lastRno, r.record.Rno);
}
