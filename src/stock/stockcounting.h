#pragma once

#include "platform/db/connection.h"
#include "stock/countlines.h"
#include "stock/stockedit.h"
#include "stock/stockmonth.h"

#include <QObject>
#include <QSet>
#include <functional>

class MonthWatch;
struct ReadRecord;
struct StockCalcInput;

// The month's counting, without any window: the month of the last accepted query, the watch
// on other workstations' writes to it, the count and price entry, and the item lookup that
// brings a record into the month or adds one. The stock window shows it; every change of a
// row is told by a signal, so that a view follows.
class StockCounting : public QObject
{
    Q_OBJECT
public:
    explicit StockCounting(QObject *parent = nullptr);
    ~StockCounting() override;

    const StockMonth &month() const { return m_month; }
    Ado::ConnectionPtr connection() const;

    // Starts the month of a query that passed its checks: no rows yet, nothing watched.
    void start(const StockMonth::Period &period, bool useUnit);
    // Reads the month's records "From STOCK" + conditions in the given order, completed from
    // the item master, and watches them from then on. progress(rowsRead, rowsExpected) now
    // and then: expected as many as the last load of the same conditions read, else counted.
    // False when the month has no record. Throws RunError (the month is then empty).
    bool load(const QString &conditions, const QString &order,
              const std::function<void(int rowsRead, int rowsExpected)> &progress = {});

    // A count (display units) or price of the row, written with the conflict check of
    // stockedit; the row then holds what the database holds (after another workstation's
    // change too).
    // With count lines on, the count sets the line of the location being counted and the
    // row's count becomes the sum of its current lines. With no location, the conflict
    // check is the suite's (any change elsewhere refuses); at a location only a change of
    // the book figures does, since the other locations' lines add up.
    EditOutcome enterCount(int index, bool bookKept, double x, int precision,
                           const WhileWaiting &waiting = {});
    EditOutcome enterPrice(int index, double x, const WhileWaiting &waiting = {});

    // Count lines (STOCKCNT): on when the table is there or could be made at start.
    bool countLinesOn() const { return m_linesOn; }
    // The location being counted ("" is a location too), up to CountLocationLength.
    void setLocation(const QString &location) { m_location = location; }
    const QString &location() const { return m_location; }
    // The row's current lines and recount mark (no lines when none or lines are off).
    const RowCount &rowCount(int index) const;
    // Scan counting: n more (display units) on the location's line.
    EditOutcome scanCount(int index, bool bookKept, double n, int precision,
                          const WhileWaiting &waiting = {});
    // Undoes the row's last line change as a new change: the lines and the count as they
    // were before it. Gone when the row has no line to undo.
    EditOutcome undoLastCount(int index, bool bookKept, int precision,
                              const WhileWaiting &waiting = {});
    // Counts from a handheld file: quantities (display units) set each row's line of its
    // location, as 'I' lines, every one in one transaction (all or nothing). Throws RunError
    // (nothing written) or returns the first refusal (nothing written).
    struct ImportLine
    {
        int index = -1;
        QString location;
        double qty = 0;
    };
    EditOutcome applyImport(const QList<ImportLine> &lines,
                            const std::function<bool(int)> &bookKept, int precision);

    // The record of the period as a month row: the row that has it, or the record read
    // from the database and appended; -1 when there is no such record.
    int bringRecord(double rno);
    // The item's month row: its record of the period where one exists (added meanwhile
    // elsewhere, or outside the query's range), else the record built from the period's
    // slips and inserted. -1 when the insert was refused. Throws RunError.
    int addItem(const StockCalcInput &input);

    // The month row being edited (-1: none): another workstation's change to it waits
    // until the editing ends, so that nothing changes under the clerk's hands.
    void setEditedRow(std::function<int()> editedRow) { m_editedRow = std::move(editedRow); }
    // Takes up what other workstations wrote (the watch also does so by itself).
    void checkElsewhere();

Q_SIGNALS:
    void reset();                        // the rows were replaced (start, load)
    void rowAppended(int index);         // a row was added at the end
    void rowChanged(int index);          // a row's record changed (here or elsewhere)
    void rowChangedElsewhere(int index); // ... by another workstation
    void countLinesUnavailable();        // STOCKCNT could not be made: said once

private:
    void refreshRecords(const QList<ReadRecord> &records);
    void refreshHeldRows();
    int appendRecord(StockRow row);
    EditOutcome taken(int index, EditOutcome outcome);
    void readRowCount(int index); // the row's lines as now stored

    StockMonth m_month;
    MonthWatch *m_watch;
    std::function<int()> m_editedRow;
    QSet<qint64> m_heldRnos; // changed elsewhere while being edited here
    bool m_linesOn = false;
    bool m_linesChecked = false;
    QString m_location;
    QHash<qint64, RowCount> m_counts; // rows with lines, by record number
    struct LastLoad
    {
        QString conditions; // of the last load that read its records
        int rows = 0;
    } m_lastLoad;
};
