#include "platform/grid/glyphtiles.h"

#include <QPainter>

#include <cmath>
#include <cstring>

namespace {

// A coordinate in 1/64 pixel, the grid text engines place glyphs on; false when it is off
// that grid (then the painter's rounding of it is not known here).
bool toSixtyFourths(qreal coordinate, qint64 *fixed)
{
    const qreal scaled = coordinate * 64;
    *fixed = std::llround(scaled);
    return std::abs(scaled - qreal(*fixed)) < 1e-6;
}

} // namespace

bool GlyphTiles::Key::operator==(const Key &other) const
{
    return glyph == other.glyph && fraction == other.fraction && pen == other.pen &&
           ground == other.ground && font == other.font;
}

size_t GlyphTiles::KeyHash::operator()(const Key &key) const
{
    return qHashMulti(0, key.font, key.glyph, key.fraction, key.pen, key.ground);
}

// The glyph drawn by a painter at its fraction of a pixel onto a piece of ground with room
// around its outline, and the pixels that changed cut out.
GlyphTiles::Tile GlyphTiles::render(const Key &key)
{
    constexpr int Margin = 4; // antialiasing reaches a pixel beyond the outline's box
    const QRectF box = key.font.boundingRect(key.glyph);
    const int left = int(std::floor(box.left())) - Margin;
    const int top = int(std::floor(box.top())) - Margin;
    const int right = int(std::ceil(box.right())) + Margin;
    const int bottom = int(std::ceil(box.bottom())) + Margin;
    QImage piece(right - left + 1, bottom - top + 1, QImage::Format_RGB32);
    piece.fill(QColor::fromRgba(key.ground));
    {
        QGlyphRun run;
        run.setRawFont(key.font);
        run.setGlyphIndexes({key.glyph});
        run.setPositions(
            {QPointF(-left + (key.fraction & 63) / 64.0, -top + (key.fraction >> 6) / 64.0)});
        QPainter painter(&piece);
        painter.setPen(QColor::fromRgba(key.pen));
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    const QRgb ground = key.ground | 0xff000000;
    QRect changed;
    for (int y = 0; y < piece.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(piece.constScanLine(y));
        for (int x = 0; x < piece.width(); ++x)
            if (line[x] != ground)
                changed |= QRect(x, y, 1, 1);
    }
    Tile tile;
    if (changed.isEmpty())
        return tile;
    tile.usable = changed.left() > 0 && changed.top() > 0 && changed.right() < piece.width() - 1 &&
                  changed.bottom() < piece.height() - 1;
    tile.pixels = piece.copy(changed);
    tile.offset = changed.topLeft() + QPoint(left, top);
    return tile;
}

// Whether two placed glyphs both changed a pixel of their boxes' overlap.
bool GlyphTiles::bothChange(const Placed &one, const Placed &other, QRgb ground)
{
    const QRgb solidGround = ground | 0xff000000;
    const QRect overlap = one.rect & other.rect;
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        const auto *a =
            reinterpret_cast<const QRgb *>(one.tile->pixels.constScanLine(y - one.rect.top()));
        const auto *b =
            reinterpret_cast<const QRgb *>(other.tile->pixels.constScanLine(y - other.rect.top()));
        for (int x = overlap.left(); x <= overlap.right(); ++x)
            if (a[x - one.rect.left()] != solidGround && b[x - other.rect.left()] != solidGround)
                return true;
    }
    return false;
}

bool GlyphTiles::stamp(QImage *picture, const QList<QGlyphRun> &runs, QPoint at, QRgb pen,
                       QRgb ground)
{
    if (m_tiles.size() >= Limit)
        m_tiles.clear();
    m_placed.clear();
    for (const QGlyphRun &run : runs) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            qint64 x = 0;
            qint64 y = 0;
            if (!toSixtyFourths(at.x() + positions[i].x(), &x) ||
                !toSixtyFourths(at.y() + positions[i].y(), &y))
                return false;
            const Key key{font, glyphs[i], int(x & 63) | int(y & 63) << 6, pen, ground};
            auto found = m_tiles.find(key);
            if (found == m_tiles.end())
                found = m_tiles.emplace(key, render(key)).first;
            const Tile &tile = found->second;
            if (!tile.usable)
                return false;
            if (tile.pixels.isNull())
                continue;
            Placed next{&tile,
                        QRect(QPoint(int(x >> 6), int(y >> 6)) + tile.offset, tile.pixels.size())};
            for (Placed &placed : m_placed) {
                if (!placed.rect.intersects(next.rect))
                    continue;
                // Neighbours' boxes often share an edge of pixels neither glyph covers both
                // of; a pixel both changed would be one blended over the other.
                if (bothChange(placed, next, ground))
                    return false;
                placed.shared = next.shared = true;
            }
            m_placed.push_back(next);
        }
    }
    const QRgb solidGround = ground | 0xff000000;
    const QRect bounds = picture->rect();
    for (const Placed &placed : m_placed) {
        const QRect target = placed.rect & bounds;
        if (target.isEmpty())
            continue;
        const QPoint from = target.topLeft() - placed.rect.topLeft();
        for (int row = 0; row < target.height(); ++row) {
            QRgb *to =
                reinterpret_cast<QRgb *>(picture->scanLine(target.top() + row)) + target.left();
            const QRgb *pixels =
                reinterpret_cast<const QRgb *>(placed.tile->pixels.constScanLine(from.y() + row)) +
                from.x();
            if (!placed.shared) {
                std::memcpy(to, pixels, size_t(target.width()) * sizeof(QRgb));
                continue;
            }
            for (int x = 0; x < target.width(); ++x) // leaves a neighbour's pixels
                if (pixels[x] != solidGround)
                    to[x] = pixels[x];
        }
    }
    return true;
}
