#pragma once

#include "stock/countfile.h"
#include "stock/stockcounting.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class StockMonth;

// What importing does with one line of a count file.
struct CountImportLine
{
    enum class Outcome {
        Counted,     // sets the count of a month row
        ToAdd,       // the item is added to the month first, then counted
        Duplicate,   // same item and location as an earlier line: summed into it
        UnknownItem, // refused: neither in the month nor in the item master
        BadLine,     // refused: the file's line is broken (its own message)
        PastDeadline // refused: the month is past its deadline
    };

    CountFileLine line;
    Outcome outcome = Outcome::BadLine;
    int row = -1;        // Counted: the month row
    int firstLineNo = 0; // Duplicate: the earlier line it is summed into
    double total = 0;    // Counted, ToAdd: the quantity with its duplicates'
    QString text;        // the outcome, as the preview shows it and the refused file says

    bool isAccepted() const { return outcome <= Outcome::Duplicate; }
};

// The import of a count file into the loaded month, worked out before anything is
// written: every line's outcome and the totals, the lines to write once the items to add
// have their rows, and the refused lines as a file to correct.
class CountImportPlan
{
public:
    using ItemExists = std::function<bool(const QString &item)>;
    using Progress = std::function<void(int done, int total)>;

    struct Totals
    {
        int read = 0; // the file's count lines (no header, no blank lines)
        int accepted = 0;
        int refused = 0;
        int rowsCounted = 0; // month rows the import counts
        int itemsToAdd = 0;
        double qty = 0; // of the accepted lines
    };

    CountImportPlan() = default;
    // Every line of the file against the month: rows found by item number (once, in a
    // hash); itemExists asked once for each item the month lacks. pastDeadline refuses
    // every line. progress(done, total) every few hundred lines.
    CountImportPlan(const CountFile &file, const StockMonth &month, const ItemExists &itemExists,
                    bool pastDeadline, const Progress &progress = {});

    const QString &fileError() const { return m_file.error; } // the file refused whole
    const CountFile &file() const { return m_file; }
    const QList<CountImportLine> &lines() const { return m_lines; }
    const Totals &totals() const { return m_totals; }
    bool hasAccepted() const { return m_totals.accepted > 0; }

    // The items to add to the month before the import, each once, in file order.
    const QStringList &itemsToAdd() const { return m_itemsToAdd; }
    // The lines to write, one for each row and location (duplicates summed), in file
    // order. The items to add take their rows from addedRows (item -> month row); none
    // when one of them has no row there.
    std::optional<QList<StockCounting::ImportLine>>
    importLines(const QHash<QString, int> &addedRows = {}) const;

    // The refused lines as a file: UTF-8 with a byte-order mark (as spreadsheets on
    // Traditional Chinese Windows want it), the file's separator and its header, each line
    // as read with its reason as one more field.
    QByteArray refusedFile() const;

private:
    CountFile m_file;
    QList<CountImportLine> m_lines;
    QStringList m_itemsToAdd;
    Totals m_totals;
};
