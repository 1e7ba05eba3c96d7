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
// edges, kerned and slanted glyphs blended into each other's pixels among them; where the
// copy would not be exact the stamp refuses and leaves the picture alone.
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
    EXPECT_GT(stamped, 10 * refused) << stamped << " " << refused;

    // A glyph placed between the 1/64 pixel steps is not copied: the picture stays as it was.
    QList<QGlyphRun> between = layOut(QStringLiteral("有機白蝦157"), fonts[0]);
    QList<QPointF> positions = between[0].positions();
    positions[1].rx() += 0.3;
    between[0].setPositions(positions);
    QImage name(120, 24, QImage::Format_RGB32);
    name.fill(Qt::white);
    const QImage blank = name;
    EXPECT_FALSE(tiles.stamp(&name, between, QPoint(1, 1), qRgb(0, 0, 0), qRgb(255, 255, 255)));
    EXPECT_EQ(name, blank);
}
