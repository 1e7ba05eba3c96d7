#pragma once

#include "stock/fdstock.h"
#include "stock/indextable.h"
#include "stock/rowupdate.h"
#include "stock/textpool.h"

#include <QDate>
#include <QList>
#include <QString>
#include <vector>

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
    // A copy of the row; single fields come cheaper through text(), figure() and factor().
    StockRow at(int index) const;
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

private:
    // A row as the month keeps it, some 200 bytes: the figures as stored, the texts rows
    // repeat (department, users, stamp, item fields but the name) as numbers in m_texts, the
    // date as a day number. Field names follow StockRecord.
    struct Row
    {
        QString STKNo;
        QString name;
        double Rno = 0;
        double LastQty = 0, LastAmt = 0, InQty = 0, InAmt = 0, OutQty = 0, OutAmt = 0;
        double ChkQty = 0, AdjustQty = 0, UseQty = 0, LostQty = 0, LostAmt = 0;
        double STKQty = 0, STKAmt = 0, AvgPrice = 0;
        double factor = 1;
        qint32 StkDate = 0; // Julian day, NoDay for none
        quint32 DeptNo = 0, UserID = 0, UpdUserID = 0, updDate = 0;
        quint32 dscp = 0, unit = 0, flag = 0, lType = 0;
    };

    const Row &row(int index) const { return m_rows[static_cast<size_t>(index)]; }
    void pack(Row &row, const StockRecord &record, const QString &updDate);
    void packItemFields(Row &row, const StockRow &fields);
    static size_t rnoHash(double rno);

    static double shownQuantity(double stockQty, double factor, bool useUnit);
    static double shownPrice(double price, double factor);
    template <typename Record>
    static RowFigures figuresFrom(const Record &record, double factor, bool useUnit, bool bookKept);

    std::vector<Row> m_rows;
    IndexTable m_byRno; // row indices by record number
    TextPool m_texts;
    Period m_period;
    bool m_useUnit = false;
    bool m_loaded = false;
};
