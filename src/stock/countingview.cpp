#include "stock/countingview.h"

#include "common/state.h"
#include "data/messages.h"
#include "stock/stockmonth.h"

#include <algorithm>

CountingView CountingView::blind(RowTest bookKept, RowTest hasCountLines)
{
    CountingView view;
    view.m_blind = true;
    view.m_bookKept = std::move(bookKept);
    view.m_hasCountLines = std::move(hasCountLines);
    return view;
}

bool CountingView::isBlindGroup(const QString &blindGroups, const QString &grpId)
{
    const QString group = grpId.trimmed();
    if (group.isEmpty())
        return false;
    const QStringList groups = blindGroups.split(QLatin1Char(','));
    return std::any_of(groups.cbegin(), groups.cend(), [&](const QString &g) {
        return g.trimmed().compare(group, Qt::CaseInsensitive) == 0;
    });
}

bool CountingView::signedInUserCountsBlind()
{
    QString groups;
    return getParamValue(QStringLiteral("TOVRAN_BlindGroups"), groups) &&
           isBlindGroup(groups, User().gsGrpID);
}

bool CountingView::isBookFigure(int col)
{
    switch (col) {
    case ColLastQty:
    case ColLastAmt:
    case ColInQty:
    case ColInAmt:
    case ColOutQty:
    case ColOutAmt:
    case ColLostQty:
    case ColChkQty:
    case ColAdjustQty:
    case ColUseQty:
    case ColSTKAmt:
    case ColAvgPrice:
        return true;
    default:
        return false;
    }
}

QList<int> CountingView::shown(const QList<int> &columns) const
{
    QList<int> result;
    for (int c : columns)
        if (shows(c))
            result.append(c);
    return result;
}

QString CountingView::text(const StockMonth &month, int monthRow, int col) const
{
    if (!shows(col))
        return QString();
    if (m_blind && col == ColSTKQty && m_bookKept && m_bookKept(monthRow) &&
        !(m_hasCountLines && m_hasCountLines(monthRow)) &&
        month.figure(monthRow, ColAdjustQty) == 0)
        return QString();
    return month.text(monthRow, col);
}
