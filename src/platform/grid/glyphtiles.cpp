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

// A piece of ground covering area (from the first glyph's pixel) with the glyph drawn on it
// at its fraction of a pixel and, when given, a second glyph step pixels further, drawn after
// it as a run draws them (in one run when they share a face).
QImage GlyphTiles::drawn(const QRect &area, const Key &first, const Key *second, QPoint step)
{
    QImage piece(area.size(), QImage::Format_RGB32);
    piece.fill(QColor::fromRgb(first.ground));
    const auto at = [&](const Key &glyph, QPoint from) {
        return QPointF(from.x() - area.left() + (glyph.fraction & 63) / 64.0,
                       from.y() - area.top() + (glyph.fraction >> 6) / 64.0);
    };
    QPainter painter(&piece);
    painter.setPen(QColor::fromRgba(first.pen));
    QGlyphRun run;
    run.setRawFont(first.font);
    if (second && second->font == first.font) {
        run.setGlyphIndexes({first.glyph, second->glyph});
        run.setPositions({at(first, QPoint()), at(*second, step)});
        painter.drawGlyphRun(QPointF(0, 0), run);
        return piece;
    }
    run.setGlyphIndexes({first.glyph});
    run.setPositions({at(first, QPoint())});
    painter.drawGlyphRun(QPointF(0, 0), run);
    if (second) {
        run.setRawFont(second->font);
        run.setGlyphIndexes({second->glyph});
        run.setPositions({at(*second, step)});
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    return piece;
}

// The glyph drawn with room around its outline, and the pixels that changed cut out.
GlyphTiles::Tile GlyphTiles::render(const Key &key)
{
    constexpr int Margin = 4; // antialiasing reaches a pixel beyond the outline's box
    const QRectF box = key.font.boundingRect(key.glyph);
    const QRect area(
        QPoint(int(std::floor(box.left())) - Margin, int(std::floor(box.top())) - Margin),
        QPoint(int(std::ceil(box.right())) + Margin, int(std::ceil(box.bottom())) + Margin));
    const QImage piece = drawn(area, key);
    QRect changed;
    for (int y = 0; y < piece.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(piece.constScanLine(y));
        for (int x = 0; x < piece.width(); ++x)
            if (line[x] != key.ground)
                changed |= QRect(x, y, 1, 1);
    }
    Tile tile;
    if (changed.isEmpty())
        return tile;
    tile.usable = changed.left() > 0 && changed.top() > 0 && changed.right() < piece.width() - 1 &&
                  changed.bottom() < piece.height() - 1;
    tile.pixels = piece.copy(changed);
    tile.offset = changed.topLeft() + area.topLeft();
    return tile;
}

// Whether two placed glyphs both changed a pixel of their boxes' overlap.
bool GlyphTiles::bothChange(const Placed &one, const Placed &other, QRgb ground)
{
    const QRect overlap = one.rect & other.rect;
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        const auto *a =
            reinterpret_cast<const QRgb *>(one.tile->pixels.constScanLine(y - one.rect.top()));
        const auto *b =
            reinterpret_cast<const QRgb *>(other.tile->pixels.constScanLine(y - other.rect.top()));
        for (int x = overlap.left(); x <= overlap.right(); ++x)
            if (a[x - one.rect.left()] != ground && b[x - other.rect.left()] != ground)
                return true;
    }
    return false;
}

size_t GlyphTiles::PairHash::operator()(const PairKey &key) const
{
    return qHashMulti(0, key.first, key.second, key.step.x(), key.step.y());
}

// The two glyphs drawn together, and the pixels of their boxes' overlap cut out; its offset
// is from the first glyph's pixel.
GlyphTiles::Tile GlyphTiles::renderPair(const PairKey &key, const Tile &first, const Tile &second)
{
    const QRect one(first.offset, first.pixels.size());
    const QRect other(key.step + second.offset, second.pixels.size());
    const QRect both = one | other;
    const QRect overlap = one & other;
    Tile tile;
    tile.pixels =
        drawn(both, *key.first, key.second, key.step).copy(overlap.translated(-both.topLeft()));
    tile.offset = overlap.topLeft();
    return tile;
}

// Adds a glyph to the stamp under way, and the overlaps it blends with glyphs before it.
void GlyphTiles::place(const Placed &glyph, QRgb ground)
{
    Placed next = glyph;
    for (size_t k = 0; k < m_placed.size(); ++k) {
        Placed &placed = m_placed[k];
        if (!placed.rect.intersects(next.rect))
            continue;
        // Neighbours' boxes often share an edge of pixels only one of them changed. Where
        // both changed a pixel, the second was blended over the first: that overlap is
        // taken from the two drawn together.
        placed.shared = next.shared = true;
        if (!bothChange(placed, next, ground))
            continue;
        const PairKey key{placed.key, next.key, next.origin - placed.origin};
        auto found = m_pairs.find(key);
        if (found == m_pairs.end())
            found = m_pairs.emplace(key, renderPair(key, *placed.tile, *next.tile)).first;
        const Tile &pair = found->second;
        m_blends.push_back(
            {&pair, QRect(placed.origin + pair.offset, pair.pixels.size()), k, m_placed.size()});
    }
    m_placed.push_back(next);
}

bool GlyphTiles::stamp(QImage *picture, const QList<QGlyphRun> &runs, QPoint at, QRgb pen,
                       QRgb ground)
{
    ground |= 0xff000000; // as an RGB32 picture holds it
    if (m_tiles.size() >= Limit || m_pairs.size() >= Limit) {
        m_pairs.clear();
        m_tiles.clear();
    }
    m_placed.clear();
    m_blends.clear();
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
            const QPoint origin(int(x >> 6), int(y >> 6));
            place({&found->first, &tile, origin, QRect(origin + tile.offset, tile.pixels.size())},
                  ground);
        }
    }
    // A blended overlap that a third glyph reaches into is not known.
    for (const Blend &blend : m_blends)
        for (size_t k = 0; k < m_placed.size(); ++k)
            if (k != blend.first && k != blend.second && m_placed[k].rect.intersects(blend.rect))
                return false;

    const QRect bounds = picture->rect();
    uchar *bits = picture->bits();
    const qsizetype stride = picture->bytesPerLine();
    const auto copy = [&](const Tile &tile, const QRect &rect, bool onlyChanged) {
        const QRect target = rect & bounds;
        const QPoint from = target.topLeft() - rect.topLeft();
        for (int row = 0; row < target.height(); ++row) {
            QRgb *to =
                reinterpret_cast<QRgb *>(bits + (target.top() + row) * stride) + target.left();
            const QRgb *pixels =
                reinterpret_cast<const QRgb *>(tile.pixels.constScanLine(from.y() + row)) +
                from.x();
            if (!onlyChanged) {
                std::memcpy(to, pixels, size_t(target.width()) * sizeof(QRgb));
                continue;
            }
            for (int x = 0; x < target.width(); ++x) // leaves a neighbour's pixels
                if (pixels[x] != ground)
                    to[x] = pixels[x];
        }
    };
    for (const Placed &placed : m_placed)
        copy(*placed.tile, placed.rect, placed.shared);
    for (const Blend &blend : m_blends)
        copy(*blend.tile, blend.rect, false);
    return true;
}
