#pragma once

#include "platform/db/connection.h"
#include "stock/fdstock.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

// A STOCK record as read just now, with its stamp's time.
struct ReadRecord
{
    StockRecord record;
    QString updDate;
};

// Where watching a month begins, taken just before the month is read (SQLite only; empty
// elsewhere): the database clock as a stamp text and the highest record number.
struct WatchMark
{
    QString since;
    double lastRno = 0;
};

// Tells the workstations showing a month that a record was written or added: on
// PostgreSQL a notification sent with the transaction it belongs to (call it inside that
// transaction). Elsewhere the watchers find the change themselves.
void AnnounceStockWrite(const Ado::ConnectionPtr &connection, double rno);
// The same for several records written in one transaction, in few statements.
void AnnounceStockWrites(const Ado::ConnectionPtr &connection, const QList<double> &rnos);

// Watches the records of the shown month for other workstations' writes and re-reads only
// the records that changed or were added: on PostgreSQL from the notifications, on SQLite
// when PRAGMA data_version says another connection committed, by the stamp time (through
// the stamp's index) and the record number. Reads nothing while the connection is inside a
// transaction (an edit is being written); the change is taken up right after.
class MonthWatch : public QObject
{
    Q_OBJECT
public:
    explicit MonthWatch(QObject *parent = nullptr);
    ~MonthWatch() override;

    static WatchMark mark(const Ado::ConnectionPtr &connection);
    // Starts watching the records "From STOCK" + conditions (the month as queried), read
    // after `from` was taken.
    void watch(const Ado::ConnectionPtr &connection, const QString &conditions,
               const WatchMark &from);
    void stop();
    // Re-reads what changed since the last look (the timer and the notifications call it).
    void check();

Q_SIGNALS:
    void recordsChanged(const QList<ReadRecord> &records);

private:
    void notified(const QString &name, int source, const QVariant &payload);
    QList<ReadRecord> read(const QStringList &numbers); // the month's records of these numbers
    void noteSeen(const QList<ReadRecord> &records);

    Ado::ConnectionPtr m_connection;
    QString m_conditions;
    QString m_since; // the clock at the last look: later writes are stamped from it on
    double m_lastRno = 0;
    qint64 m_dataVersion = -1;
    bool m_listening = false;
    QSet<qint64> m_pending; // notified record numbers not read yet
    QTimer m_timer;
};
