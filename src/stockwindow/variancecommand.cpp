// The stock window's way to the variance review.
#include "stockwindow/fmtovran.h"

#include "forms/formhelpers.h"
#include "printing/monthprintout.h"
#include "stock/stockcounting.h"
#include "stockwindow/frmvariance.h"
#include "stockwindow/stockdatapage.h"
#include "stockwindow/stockgridview.h"

#include <QTabWidget>

void fmTOVRAN::cmdVariance_Click()
{
    if (month().size() == 0) {
        DispElaMsg(elaMsg, QStringLiteral("無資料"));
        return;
    }
    if (!m_variance) {
        m_variance = new frmVariance(
            *m_counting,
            [this](int index) {
                tabPage->setCurrentWidget(m_data);
                activateWindow();
                raise();
                moveToCountCell(index);
            },
            [this] { return reportCriteria(); }, this);
        m_variance->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_variance->show();
    m_variance->raise();
    m_variance->activateWindow();
}

void fmTOVRAN::setVarianceReviewOffered(bool offered)
{
    m_data->setVarianceOffered(offered);
    if (!offered && m_variance)
        m_variance->close();
}
