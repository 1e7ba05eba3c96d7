// Other workstations' writes to the shown month: their rows are refreshed in place (the
// order, the current cell and an open editor stay), their added records appended.
#include "stockwindow/fmtovran.h"

#include "common/errorreport.h"
#include "data/adodb.h"
#include "stock/monthwatch.h"
#include "stock/stockedit.h"
#include "stock/stockload.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

#include <QTimer>

void fmTOVRAN::watchMonth(const WatchMark &from)
{
    if (!m_watch) {
        m_watch = new MonthWatch(this);
        connect(m_watch, &MonthWatch::recordsChanged, this, &fmTOVRAN::refreshRecords);
    }
    m_deferredRnos.clear();
    m_watch->watch(Conn().gCNT, stockConditions(), from);
}

void fmTOVRAN::stopWatchingMonth()
{
    m_deferredRnos.clear();
    if (m_watch)
        m_watch->stop();
}

void fmTOVRAN::refreshRecords(const QList<ReadRecord> &records)
{
    try {
        const int editingIndex = fgList->isEditing() ? fgList->currentMonthRow() : -1;
        for (const ReadRecord &r : records) {
            const int index = m_month.indexOfRno(r.record.Rno);
            if (index < 0) {
                StockRow row;
                row.stored = r.record;
                row.updDate = r.updDate;
                CompleteFromItem(Conn().gCNT, row, m_month.useUnit());
                appendGridRow(m_month.append(std::move(row)));
                continue;
            }
            const StockRow &shown = m_month.at(index);
            if (!RecordChanged(shown.stored, shown.updDate, r.record, r.updDate))
                continue;
            if (index == editingIndex) {
                // The clerk's edit in progress is never overwritten: the row is read
                // again once the editor closes.
                m_deferredRnos.insert(static_cast<qint64>(r.record.Rno));
                QTimer::singleShot(300, this, &fmTOVRAN::refreshDeferredRows);
                continue;
            }
            m_month.setStored(index, r.record, r.updDate);
            m_model->rowChanged(index);
            applyZeroRule(index);
        }
    } catch (const std::exception &e) {
        LogErr(QStringLiteral("fmTOVRAN_refreshRecords"), ToRunError(e));
    }
}

void fmTOVRAN::refreshDeferredRows()
{
    if (m_deferredRnos.isEmpty())
        return;
    if (fgList->isEditing() || Conn().gCNT->inTransaction()) {
        QTimer::singleShot(300, this, &fmTOVRAN::refreshDeferredRows);
        return;
    }
    QList<ReadRecord> records;
    try {
        for (qint64 rno : std::as_const(m_deferredRnos)) {
            ReadRecord r;
            if (ReadStockRecordByRno(Conn().gCNT, static_cast<double>(rno), false, r.record,
                                     r.updDate))
                records.append(r);
        }
    } catch (const std::exception &e) {
        LogErr(QStringLiteral("fmTOVRAN_refreshDeferredRows"), ToRunError(e));
        return;
    }
    m_deferredRnos.clear();
    refreshRecords(records);
}
