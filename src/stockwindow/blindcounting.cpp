// Blind counting: what the signed-in user sees of the month.
#include "stockwindow/fmtovran.h"

#include "stock/countingview.h"
#include "stock/stockcounting.h"
#include "stockwindow/stockdatapage.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

void fmTOVRAN::applyCountingView()
{
    const bool blind = CountingView::signedInUserCountsBlind();
    m_model->setCountingView(
        blind ? CountingView::blind(
                    [this](int index) { return isBookKept(month().text(index, ColFlag)); },
                    [this](int index) { return m_counting->rowCount(index).hasLines(); })
              : CountingView());
    for (int c = 0; c < ColumnCount; ++c)
        if (!m_model->countingView().shows(c))
            fgList->setColumnHidden(c, true);
    // The variance review weighs counts against the books: not for a blind count.
    setVarianceReviewOffered(!blind);
    if (blind)
        m_data->setBookFiguresOffered(false);
}
