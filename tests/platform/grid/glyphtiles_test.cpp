#include "platform/grid/glyphtiles.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

QList<QGlyphRun> layOut(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    return layout.glyphRuns();
}

} // namespace

// Glyphs copied in from kept tiles leave the picture a painter leaves: in several faces, at
// every fraction of a pixel a layout places them, in two colour pairs, cut at the picture's
// edges; where glyphs would share a pixel the stamp refuses and leaves the picture alone.
TEST(GlyphTiles, CopiedGlyphsAreThePaintersPixels)
{
    const QList<QFont> fonts = {QFont(QStringLiteral("Noto Sans CJK TC"), 13),
                                QFont(QStringLiteral("DejaVu Sans"), 10),
                                QFont(QStringLiteral("DejaVu Serif"), 12, QFont::Bold, true)};
    const QStringList texts = {"特級高麗菜79", "業務用經濟包", "12包 x 0.5", "AV To.", "Wolf ffi"};
    const QList<std::pair<QRgb, QRgb>> colours = {{qRgb(0, 0, 0), qRgb(255, 255, 255)},
                                                  {qRgb(255, 255, 255), qRgb(48, 140, 198)}};
    GlyphTiles tiles;
    int stamped = 0;
    int refused = 0;
    for (const QFont &font : fonts) {
        for (const QString &text : texts) {
            const QList<QGlyphRun> runs = layOut(text, font);
            for (const auto &[pen, ground] : colours) {
                // Whole, then cut on the left and right, then cut at top and bottom.
                for (const QPoint at : {QPoint(3, 2), QPoint(-7, 1), QPoint(2, -5)}) {
                    QImage painted(60, 14, QImage::Format_RGB32);
                    painted.fill(ground);
                    QImage copied = painted;
                    const QImage bare = painted;
                    {
                        QPainter painter(&painted);
                        painter.setPen(QColor::fromRgb(pen));
                        for (const QGlyphRun &run : runs)
                            painter.drawGlyphRun(at, run);
                    }
                    if (tiles.stamp(&copied, runs, at, pen, ground)) {
                        ++stamped;
                        EXPECT_EQ(copied, painted)
                            << text.toStdString() << " in " << font.family().toStdString();
                    } else {
                        ++refused;
                        EXPECT_EQ(copied, bare) << text.toStdString();
                    }
                }
            }
        }
    }
    // The names of a stock month are copied, not refused.
    QImage name(120, 24, QImage::Format_RGB32);
    name.fill(Qt::white);
    EXPECT_TRUE(tiles.stamp(&name, layOut(QStringLiteral("有機白蝦157"), fonts[0]), QPoint(1, 1),
                            qRgb(0, 0, 0), qRgb(255, 255, 255)));
    EXPECT_GT(stamped, refused) << stamped << " " << refused;
    EXPECT_GT(refused, 0) << stamped << " " << refused; // the kerned and italic texts overlap
}
