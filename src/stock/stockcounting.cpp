#include "stock/stockcounting.h"

#include "common/errorreport.h"
#include "common/state.h"
#include "data/adodb.h"
#include "stock/monthwatch.h"
#include "stock/stockcalc.h"
#include "stock/stockload.h"

#include <QTimer>

StockCounting::StockCounting(QObject *parent) : QObject(parent), m_watch(new MonthWatch(this))
{
    connect(m_watch, &MonthWatch::recordsChanged, this, &StockCounting::refreshRecords);
}

StockCounting::~StockCounting() = default;

Ado::ConnectionPtr StockCounting::connection() const
{
    return Conn().gCNT;
}

void StockCounting::start(const StockMonth::Period &period, bool useUnit)
{
    m_watch->stop();
    m_heldRnos.clear();
    m_counts.clear();
    if (!m_linesChecked && connection()) {
        m_linesChecked = true;
        m_linesOn = EnsureCountLineTable(connection());
        if (!m_linesOn)
            Q_EMIT countLinesUnavailable();
    }
    m_month.reset(period, useUnit);
    Q_EMIT reset();
}

bool StockCounting::load(const QString &conditions, const QString &order,
                         const std::function<void(int, int)> &progress)
{
    start(m_month.period(), m_month.useUnit());
    const int expected = conditions == m_lastLoad.conditions
                             ? m_lastLoad.rows
                             : CountStockRows(connection(), conditions);
    m_lastLoad = {};
    try {
        m_month.reserve(expected);
        const WatchMark readBegins = MonthWatch::mark(connection());
        LoadStockRows(connection(), conditions, order, m_month, [&](int rowsRead) {
            if (progress)
                progress(rowsRead, expected);
        });
        m_lastLoad = {conditions, m_month.size()};
        if (m_linesOn)
            m_counts = ReadMonthCounts(connection(), conditions);
        m_watch->watch(connection(), conditions, readBegins);
    } catch (...) {
        // A failed load never leaves rows that look like its result.
        start(m_month.period(), m_month.useUnit());
        throw;
    }
    Q_EMIT reset();
    return m_month.size() > 0;
}

EditOutcome StockCounting::taken(int index, EditOutcome outcome)
{
    if (outcome.result == EditOutcome::Written || outcome.result == EditOutcome::ChangedElsewhere) {
        m_month.setStored(index, outcome.record, outcome.updDate);
        readRowCount(index);
        Q_EMIT rowChanged(index);
    }
    return outcome;
}

void StockCounting::readRowCount(int index)
{
    if (!m_linesOn)
        return;
    const auto rno = static_cast<qint64>(m_month.at(index).stored.Rno);
    RowCount count = ReadRowCount(connection(), rno);
    if (count.hasLines() || count.recount)
        m_counts.insert(rno, std::move(count));
    else
        m_counts.remove(rno);
}

const RowCount &StockCounting::rowCount(int index) const
{
    static const RowCount none;
    if (m_counts.isEmpty() || index < 0 || index >= m_month.size())
        return none;
    const auto it = m_counts.constFind(static_cast<qint64>(m_month.at(index).stored.Rno));
    return it == m_counts.cend() ? none : *it;
}

EditOutcome StockCounting::enterCount(int index, bool bookKept, double x, int precision,
                                      const WhileWaiting &waiting)
{
    if (!m_linesOn)
        return taken(index,
                     WriteCountEdit(connection(), m_month, index, bookKept, x, precision, waiting));
    // With no location the clerk types over the row as the suite has it: any change since
    // refuses, as without lines.
    const ConflictRule rule =
        m_location.isEmpty() ? ConflictRule::AnyChange : ConflictRule::BookFigures;
    return taken(index, WriteLineCount(connection(), m_month, index, bookKept,
                                       {m_location, x, false, CountLine::Typed}, precision, rule,
                                       waiting));
}

namespace {

EditOutcome linesOff(const StockRow &row)
{
    EditOutcome out;
    out.result = EditOutcome::LinesOff;
    out.record = row.stored;
    out.updDate = row.updDate;
    return out;
}

} // namespace

EditOutcome StockCounting::scanCount(int index, bool bookKept, double n, int precision,
                                     const WhileWaiting &waiting)
{
    if (!m_linesOn)
        return linesOff(m_month.at(index));
    return taken(index, WriteLineCount(connection(), m_month, index, bookKept,
                                       {m_location, n, true, CountLine::Scanned}, precision,
                                       ConflictRule::BookFigures, waiting));
}

EditOutcome StockCounting::undoLastCount(int index, bool bookKept, int precision,
                                         const WhileWaiting &waiting)
{
    if (!m_linesOn)
        return linesOff(m_month.at(index));
    return taken(index, WriteCountUndo(connection(), m_month, index, bookKept, precision, waiting));
}

void StockCounting::markRecount(int index, bool recount)
{
    if (!m_linesOn)
        return;
    WriteRecountMark(connection(), static_cast<qint64>(m_month.at(index).stored.Rno), recount);
    readRowCount(index);
    Q_EMIT rowChanged(index);
}

EditOutcome StockCounting::applyImport(const QList<ImportLine> &lines,
                                       const std::function<bool(int)> &bookKept, int precision)
{
    if (!m_linesOn)
        return linesOff(lines.isEmpty() ? StockRow() : m_month.at(lines.first().index));
    QList<RowLineChange> changes;
    changes.reserve(lines.size());
    for (const ImportLine &line : lines)
        changes.append({line.index,
                        bookKept(line.index),
                        {line.location, line.qty, false, CountLine::Imported}});
    const EditsOutcome outcome =
        WriteLineCounts(connection(), m_month, changes, precision, ConflictRule::BookFigures);
    if (outcome.refused >= 0)
        return taken(changes[outcome.refused].index, outcome.rows.value(0));
    QSet<int> changed;
    QList<qint64> rnos;
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const int index = changes[i].index;
        m_month.setStored(index, outcome.rows[i].record, outcome.rows[i].updDate);
        if (!changed.contains(index))
            rnos << static_cast<qint64>(outcome.rows[i].record.Rno);
        changed.insert(index);
    }
    // The rows' lines as now stored, read together: one read a row would double the
    // statements of a long file.
    const QHash<qint64, RowCount> counts =
        m_linesOn ? ReadRowCounts(connection(), rnos) : QHash<qint64, RowCount>();
    for (int index : std::as_const(changed)) {
        const auto rno = static_cast<qint64>(m_month.at(index).stored.Rno);
        if (const auto it = counts.constFind(rno); it != counts.cend())
            m_counts.insert(rno, *it);
        else
            m_counts.remove(rno);
        Q_EMIT rowChanged(index);
    }
    EditOutcome written;
    written.result = EditOutcome::Written;
    return written;
}

EditOutcome StockCounting::enterPrice(int index, double x, const WhileWaiting &waiting)
{
    return taken(index, WritePriceEdit(connection(), m_month, index, x, waiting));
}

int StockCounting::appendRecord(StockRow row)
{
    CompleteFromItem(connection(), row, m_month.useUnit());
    const int index = m_month.append(std::move(row));
    readRowCount(index);
    Q_EMIT rowAppended(index);
    return index;
}

int StockCounting::bringRecord(double rno)
{
    const int known = m_month.indexOfRno(rno);
    if (known >= 0)
        return known;
    StockRow row;
    if (!ReadStockRecordByRno(connection(), rno, false, row.stored, row.updDate))
        return -1;
    return appendRecord(std::move(row));
}

int StockCounting::addItem(const StockCalcInput &input)
{
    // A record the month does not show (filtered out, or added meanwhile at another
    // workstation) is brought in instead of inserting a second one.
    {
        Ado::Recordset rs = connection()->execute(
            QStringLiteral("Select RNo From STOCK Where DeptNo = ") + QuotField(input.deptNo) +
            QStringLiteral(" AND StkDate = ") + QuotDate(m_month.period().end) +
            QStringLiteral(" AND StkNo = ") + QuotField(input.stkNo));
        if (!rs.eof())
            return bringRecord(rs.number(0));
    }
    StockCalcResult calc = BuildStockRecord(connection(), input);
    if (!ADD_STOCK(calc.record, connection()))
        return -1;
    // The row shows the record as the database keeps it.
    return bringRecord(calc.record.Rno);
}

void StockCounting::checkElsewhere()
{
    m_watch->check();
}

void StockCounting::refreshRecords(const QList<ReadRecord> &records)
{
    try {
        const int edited = m_editedRow ? m_editedRow() : -1;
        for (const ReadRecord &r : records) {
            const int index = m_month.indexOfRno(r.record.Rno);
            if (index < 0) {
                StockRow row;
                row.stored = r.record;
                row.updDate = r.updDate;
                Q_EMIT rowChangedElsewhere(appendRecord(std::move(row)));
                continue;
            }
            const StockRow &shown = m_month.at(index);
            if (!RecordChanged(shown.stored, shown.updDate, r.record, r.updDate))
                continue;
            if (index == edited) {
                // The clerk's edit in progress is never overwritten: the row is read
                // again once the editing ends.
                m_heldRnos.insert(static_cast<qint64>(r.record.Rno));
                QTimer::singleShot(300, this, &StockCounting::refreshHeldRows);
                continue;
            }
            m_month.setStored(index, r.record, r.updDate);
            readRowCount(index);
            Q_EMIT rowChanged(index);
            Q_EMIT rowChangedElsewhere(index);
        }
    } catch (const std::exception &e) {
        LogErr(QStringLiteral("fmTOVRAN_refreshRecords"), ToRunError(e));
    }
}

void StockCounting::refreshHeldRows()
{
    if (m_heldRnos.isEmpty())
        return;
    if ((m_editedRow && m_editedRow() >= 0) || connection()->inTransaction()) {
        QTimer::singleShot(300, this, &StockCounting::refreshHeldRows);
        return;
    }
    QList<ReadRecord> records;
    try {
        for (qint64 rno : std::as_const(m_heldRnos)) {
            ReadRecord r;
            if (ReadStockRecordByRno(connection(), static_cast<double>(rno), false, r.record,
                                     r.updDate))
                records.append(r);
        }
    } catch (const std::exception &e) {
        LogErr(QStringLiteral("fmTOVRAN_refreshDeferredRows"), ToRunError(e));
        return;
    }
    m_heldRnos.clear();
    refreshRecords(records);
}
