#pragma once

#include "stock/fdstock.h"
#include "stock/rowupdate.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <deque>

class StockMonth;

// The rows and columns of the month that a printout takes, in the grid's order.
struct StockMonthSelection
{
    const StockMonth *month = nullptr;
    QList<int> rows;    // model rows
    QList<int> columns; // StockColumns
};

// One row of the loaded month as callers hand it in and get it out: the STOCK record as this
// workstation last read or wrote it (quantities in stock units), the item master fields the
// row shows, and its display factor.
struct StockRow
{
    StockRecord stored;
    QString updDate; // the stamp's time as stored, to tell another workstation's write
    QString name;
    QString dscp;
    QString unit; // the unit shown: the stock unit, or the use unit
    QString flag;
    QString lType;
    double factor = 1; // display units per stock unit
};

// The loaded month of one department: the one home of its figures. The stock grid shows
// it, entry writes through it and the printouts read it; display texts are made here.
// The period is the one of the last query that passed the criteria and deadline checks,
// whether or not it found records; every lookup, insert and edit works on it.
class StockMonth
{
public:
    struct Period
    {
        int year = 0; // Western year
        int month = 0;
        QString deptNo;
        QDate end; // the period end date, the records' StkDate
        bool operator==(const Period &) const = default;
    };

    // Starts a month (no rows yet); useUnit: quantities shown in the items' use units.
    void reset(const Period &period, bool useUnit);
    // No month loaded (a query was refused or failed).
    void clear();
    bool isLoaded() const { return m_loaded; }
    const Period &period() const { return m_period; }
    bool useUnit() const { return m_useUnit; }

    int size() const { return static_cast<int>(m_rows.size()); }
    // The row, valid until the month is reset (rows only ever join at the end).
    const StockRow &at(int index) const { return row(index); }
    int append(StockRow row);
    void reserve(int rows);
    // The record as the database now holds it (after a write here, or read anew).
    void setStored(int index, const StockRecord &record, const QString &updDate);
    int indexOfRno(double rno) const; // -1 when the month has no such record
    // Completes the row's item fields and factor (name, dscp, unit, flag, lType, factor)
    // from fields; its record changes only through setStored.
    void setItemFields(int index, const StockRow &fields);

    // What the row shows, in display units: a quantity converted and rounded to 0.1 in the
    // use unit, the price per display unit rounded to 0.01, amounts as stored.
    double figure(int index, int col) const;
    QString text(int index, int col) const;
    double factor(int index) const { return row(index).factor; }
    // The row's figures as the entry checks and recomputes them.
    RowFigures figures(int index, bool bookKept) const;
    static RowFigures figuresOf(const StockRecord &record, double factor, bool useUnit,
                                bool bookKept);

    static QString title(int col); // the column's heading
    // The record's field behind a figure column (stock units, as stored).
    static double &storedFigure(StockRecord &record, int col);
    static double storedFigure(const StockRecord &record, int col);
    static bool isQuantityColumn(int col);
    static bool isFigureColumn(int col);
    // A quantity of stock units as the row shows it.
    static double shownQuantity(double stockQty, double factor, bool useUnit);

private:
    const StockRow &row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    StockRow &row(int index) { return m_rows[static_cast<size_t>(index)]; }
    // Rows keep the texts many rows repeat (department, users, stamp, item fields but the
    // name) as one shared copy each.
    void share(QString &text);
    void shareStoredTexts(StockRow &row);
    void shareItemTexts(StockRow &row);

    static double shownPrice(double price, double factor);

    // A deque: rows never move, so an item added to a month at its reserved size does not
    // copy the month whole (a vector would, needing twice its memory for a moment).
    std::deque<StockRow> m_rows;
    QHash<qint64, int> m_byRno; // row indices by record number
    QSet<QString> m_texts;      // the repeated texts' shared copies
    Period m_period;
    bool m_useUnit = false;
    bool m_loaded = false;
};
