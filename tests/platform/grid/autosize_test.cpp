#include "platform/grid/flexgrid.h"
#include "platform/grid/textwidths.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

// Texts of the shapes a stock grid holds: amounts, counts, dates, codes, names.
QStringList sampleTexts()
{
    QRandomGenerator random(4711);
    QStringList texts = {"0",     "-0.5",  "1,234.50", "2019/12/31", "12:30:00",   "(15)", "100%",
                         "1 2 3", "+7",    "A1",       "料號",       "物料名稱一", "Wolf", "AV",
                         "To.",   "1.1.1", "11111111", "88888888",   "-1-1-1"};
    for (int i = 0; i < 3000; ++i) {
        const double v = random.bounded(2000000) / 100.0 - 5000.0;
        texts << QString::number(v, 'f', random.bounded(5));
        texts << QString::number(random.bounded(100000));
        texts << QStringLiteral("%1/%2/%3")
                     .arg(2000 + random.bounded(30))
                     .arg(1 + random.bounded(12), 2, 10, QLatin1Char('0'))
                     .arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'));
    }
    return texts;
}

} // namespace

TEST(GridAutoSize, CachedWidthsEqualMeasuringEveryText)
{
    QList<QFont> fonts = {QFont(), QFont(QStringLiteral("AR PL UMing TW"), 12),
                          QFont(QStringLiteral("DejaVu Serif"), 11)};
    QFont bold;
    bold.setBold(true);
    fonts << bold;
    for (const QString &family : QFontDatabase::families().mid(0, 6))
        fonts << QFont(family, 10);
    const QStringList texts = sampleTexts();
    for (const QFont &font : fonts) {
        TextWidths widths(font);
        const QFontMetrics metrics(font);
        for (const QString &text : texts)
            ASSERT_EQ(widths.width(text), metrics.horizontalAdvance(text))
                << text.toStdString() << " in " << font.family().toStdString();
    }
}

TEST(GridAutoSize, ColumnsFitTheirWidestTextTitleAndBoldCells)
{
    FlexGrid grid;
    grid.setFormatString(QStringLiteral("料號|上期庫存金額|名稱"));
    grid.addItem(QStringLiteral("A1\t12.5\t短"));
    grid.addItem(QStringLiteral("A2\t1234567.25\t物料 Wide Bold Name"));
    grid.addItem(QStringLiteral("A3\t3\tx"));
    const QFontMetrics plain(grid.view()->font());
    grid.autoSize(0, 2);
    auto px = [&](int col) { return grid.view()->horizontalHeader()->sectionSize(col); };
    // The titles alone, for comparison.
    FlexGrid titles;
    titles.setFormatString(QStringLiteral("料號|上期庫存金額|名稱"));
    titles.autoSize(0, 2);
    auto titlePx = [&](int col) { return titles.view()->horizontalHeader()->sectionSize(col); };
    // Every column is its widest text plus one margin, or its title when that is wider.
    const int margin = px(2) - plain.horizontalAdvance("物料 Wide Bold Name");
    EXPECT_GT(margin, 0);
    EXPECT_EQ(px(1), std::max(plain.horizontalAdvance("1234567.25") + margin, titlePx(1)));
    EXPECT_EQ(px(0), std::max(plain.horizontalAdvance("A3") + margin, titlePx(0)));
    EXPECT_GT(titlePx(1), titlePx(0));

    // Bold text is measured bold; hidden rows still count.
    const int before = px(2);
    grid.setCellBold(2, 2, 2, 2, true);
    grid.autoSize(2);
    EXPECT_GT(px(2), before);
    grid.setCellBold(2, 2, 2, 2, false);
    grid.setRowHidden(2, true);
    grid.autoSize(2);
    EXPECT_EQ(px(2), before);

    // The width reads back in twips.
    grid.setColWidth(1, 1200);
    EXPECT_EQ(grid.colWidth(1), 1200);
    grid.autoSize(1, 1);
    EXPECT_NEAR(grid.colWidth(1), px(1) * 15, 15); // 96 dpi: 15 twips to the pixel
}
