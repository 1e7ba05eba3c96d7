#include "forms/gridload.h"

#include "common/errorreport.h"
#include "data/adodb.h"
#include "platform/grid/flexgrid.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {
// The row data value of a freshly loaded row.
constexpr int LoadedRowData = 9;
// How often a long read lets the windows repaint.
constexpr int RepaintIntervalMs = 50;
} // namespace

int AddRecordRows(FlexGrid *grid, Ado::Recordset &rs)
{
    const int n = rs.fieldCount();
    QList<QStringList> rows;
    // A long read still lets the windows repaint (the grid itself is not drawn while its
    // redraw is off); what the user types waits until the load is done.
    QElapsedTimer sincePaint;
    sincePaint.start();
    while (!rs.eof()) {
        QStringList cells;
        cells.reserve(n);
        for (int i = 0; i < n; ++i)
            cells.append(rs.text(i));
        rows.append(std::move(cells));
        rs.moveNext();
        if ((rows.size() & 1023) == 0 && sincePaint.elapsed() >= RepaintIntervalMs) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePaint.restart();
        }
    }
    const int count = static_cast<int>(rows.size());
    grid->addRows(std::move(rows), LoadedRowData);
    return count;
}

GridRedrawOff::GridRedrawOff(FlexGrid *grid) : m_grid(grid)
{
    m_grid->setRedraw(false);
}

GridRedrawOff::~GridRedrawOff()
{
    m_grid->setRedraw(true);
}

bool FGLoad(FlexGrid *grid, const QString &pvSQL, int *rowCount)
{
    const bool result = ReportErrors(QStringLiteral("FGLoad\r\npvSQL:") + pvSQL, [&] {
        // The old rows go first, so that a failing query never leaves them looking like
        // its result.
        grid->setRedraw(false);
        grid->setRows(grid->fixedRows());
        if (!Conn().gCNT)
            throw RunError(RunError::Database, QStringLiteral("資料庫尚未連線"));
        Ado::Recordset rs = Conn().gCNT->execute(pvSQL);
        if (rs.eof())
            return false;
        grid->setCols(rs.fieldCount());
        const int records = AddRecordRows(grid, rs);
        if (rowCount)
            *rowCount = records + 1;
        return true;
    });
    grid->setRedraw(true);
    if (grid->rows() > 1)
        grid->setRow(1);
    return result;
}

bool FGLoadRST(FlexGrid *grid, Ado::Recordset &rs, int *rowCount)
{
    const bool result = ReportErrors(QStringLiteral("FGLoadRST"), [&] {
        if (!rs.isOpen() || rs.eof())
            return false;
        grid->setRedraw(false);
        const int n = rs.fieldCount();
        grid->setRows(1);
        grid->setCols(n);
        for (int i = 0; i < n; ++i)
            grid->setTextMatrix(0, i, rs.fieldName(i));
        const int records = AddRecordRows(grid, rs);
        if (rowCount)
            *rowCount = records;
        return true;
    });
    grid->setRedraw(true);
    return result;
}
