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

void MonthWatch::watch(const Ado::ConnectionPtr &connection, const QString &conditions,
                       const QString &lastStamp, double lastRno)
{
    stop();
    m_connection = connection;
    m_conditions = conditions;
    m_lastStamp = lastStamp;
    m_lastRno = lastRno;
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
            records = read(QStringLiteral(" And RNo in (") + numbers.join(QLatin1Char(',')) +
                           QLatin1Char(')'));
        } else {
            Ado::Recordset rs = m_connection->execute(QStringLiteral("PRAGMA data_version"));
            const qint64 version = rs.eof() ? -1 : static_cast<qint64>(rs.number(0));
            rs.close();
            if (version == m_dataVersion)
                return; // nobody else committed: nothing is read
            m_dataVersion = version;
            // The stamp keeps seconds: records of the last second seen are read again and
            // the window leaves out the ones it holds already.
            QString since = QStringLiteral(" And (RNo > ") + NumText(m_lastRno);
            if (!m_lastStamp.isEmpty())
                since += QStringLiteral(" Or UpdDate >= ") + QuotDate(m_lastStamp);
            else
                since += QStringLiteral(" Or UpdDate Is Not Null");
            records = read(since + QLatin1Char(')'));
        }
        noteSeen(records);
        if (!records.isEmpty())
            Q_EMIT recordsChanged(records);
    } catch (const std::exception &e) {
        // The next look tries again; the error file keeps what went wrong.
        LogErr(QStringLiteral("MonthWatch_check"), ToRunError(e));
    }
}

QList<ReadRecord> MonthWatch::read(const QString &where)
{
    QList<ReadRecord> records;
    Ado::Recordset rs = m_connection->execute(StockRecordSelect() + m_conditions + where);
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
    for (const ReadRecord &r : records) {
        m_lastRno = qMax(m_lastRno, r.record.Rno);
        const std::optional<QDateTime> stamp = ParseDateTime(r.updDate);
        const std::optional<QDateTime> last = ParseDateTime(m_lastStamp);
        if (stamp && (!last || *stamp > *last))
            m_lastStamp = r.updDate;
    }
}
