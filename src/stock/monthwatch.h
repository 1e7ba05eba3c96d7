#pragma once

#include "platform/db/connection.h"
#include "stock/fdstock.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

// A STOCK record as read just now, with its stamp's time.
struct ReadRecord
{
    StockRecord record;
    QString updDate;
};

// Tells the workstations showing a month that a record was written or added: on
// PostgreSQL a notification sent with the transaction it belongs to (call it inside that
// transaction). Elsewhere the watchers find the change themselves.
void AnnounceStockWrite(const Ado::ConnectionPtr &connection, double rno);

// Watches the records of the shown month for other workstations' writes and re-reads only
// the records that changed or were added: on PostgreSQL from the notifications, on SQLite
// when PRAGMA data_version says another connection committed, by the stamp time and the
// record number. Reads nothing while the connection is inside a transaction (an edit is
// being written); the change is taken up right after.
class MonthWatch : public QObject
{
    Q_OBJECT
public:
    explicit MonthWatch(QObject *parent = nullptr);
    ~MonthWatch() override;

    // Starts watching the records "From STOCK" + conditions (the month as queried):
    // lastStamp is the latest stamp time the month holds, lastRno its highest number.
    void watch(const Ado::ConnectionPtr &connection, const QString &conditions,
               const QString &lastStamp, double lastRno);
    void stop();
    // Re-reads what changed since the last look (the timer and the notifications call it).
    void check();

Q_SIGNALS:
    void recordsChanged(const QList<ReadRecord> &records);

private:
    void notified(const QString &name, int source, const QVariant &payload);
    QList<ReadRecord> read(const QString &where);
    void noteSeen(const QList<ReadRecord> &records);

    Ado::ConnectionPtr m_connection;
    QString m_conditions;
    QString m_lastStamp;
    double m_lastRno = 0;
    qint64 m_dataVersion = -1;
    bool m_listening = false;
    QSet<qint64> m_pending; // notified record numbers not read yet
    QTimer m_timer;
};
