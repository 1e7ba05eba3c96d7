#include "printing/monthprintout.h"

#include "common/clock.h"
#include "common/errorreport.h"
#include "platform/widgets/messagebox.h"
#include "printing/previewwindow.h"

QStringList StockHeadingLines(const StockReportCriteria &criteria)
{
    QStringList heading;
    heading << QStringLiteral("庫存月份:") + criteria.year + QLatin1Char('/') + criteria.month;
    heading << QStringLiteral("部門:") + criteria.deptNo + QStringLiteral(" - ") +
                   criteria.deptName;
    if (!criteria.stkNoB.isEmpty() || !criteria.stkNoE.isEmpty()) {
        QString range = QStringLiteral("物料:");
        if (!criteria.stkNoB.isEmpty())
            range += criteria.stkNoB;
        if (!criteria.stkNoE.isEmpty())
            range += QStringLiteral(" - ") + criteria.stkNoE;
        heading << range;
    }
    heading << QStringLiteral("列印日期:") +
                   Clock::now().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    return heading;
}

bool ShowMonthPrintout(const QString &errorLabel, bool hasRows,
                       const std::function<void(PreviewWindow &)> &compose)
{
    return ReportErrors(errorLabel, [&] {
        if (!hasRows) {
            MsgBox::show(QStringLiteral("無資料"), MsgBox::Icon::Critical);
            return false;
        }
        PreviewWindow &window = frmVSPBlank();
        compose(window);
        window.show();
        window.raise();
        return true;
    });
}
