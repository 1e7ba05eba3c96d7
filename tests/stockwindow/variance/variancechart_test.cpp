// The chart of the largest variances names the item of every bar, at the size it has in the
// review window and at the size it is printed: twenty item numbers beside their bars, none
// cut to "..." and none left out for want of room.
#include "printing/variancereport.h"
#include "stockwindow/variancechart.h"

#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The texts the chart shows.
QStringList shownTexts(VarianceChart &chart)
{
    chart.grab(); // laid out and painted
    QStringList texts;
    for (QGraphicsItem *item : chart.scene()->items())
        if (auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item); text && text->isVisible())
            texts << text->toPlainText();
    return texts;
}

TEST(VarianceChartTest, NamesEveryBar)
{
    QList<VarianceLine> lines;
    for (int i = 0; i < 20; ++i) {
        VarianceLine line;
        line.index = i;
        line.stkNo = QStringLiteral("07%1").arg(40 + i, 4, 10, QLatin1Char('0'));
        line.value = (i % 3 == 0 ? 1 : -1) * 1000.0 * (20 - i);
        lines << line;
    }
    const QSize window(440, 470); // beside the list in the review window as it opens
    const QSize printed(int(VarianceChartWidth / 10), int(VarianceChartHeight / 10));
    for (const QSize size : {window, printed}) {
        VarianceChart chart;
        chart.setLines(lines);
        chart.resize(size);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        const QStringList shown = shownTexts(chart);
        for (const VarianceLine &line : std::as_const(lines))
            EXPECT_TRUE(shown.contains(line.stkNo))
                << line.stkNo.toStdString() << " is not named at " << size.width() << "x"
                << size.height() << "; shown: " << shown.join(' ').toStdString();
    }
}

} // namespace
