#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QRawFont>
#include <QRect>

#include <unordered_map>
#include <vector>

// Glyphs blended once onto a ground and kept as the pixels they changed. Blending a glyph
// sets each pixel it covers from the ground, the pen and its cover of that pixel alone, so
// a cell whose glyphs share no pixel is, pixel for pixel, its ground with the kept glyphs
// copied in: a name seen for the first time is composed from glyphs seen before instead of
// being blended anew.
class GlyphTiles
{
public:
    // Copies the glyphs of runs, placed from at, into picture, an RGB32 image filled with
    // ground, as a painter drawing the runs there with pen would leave it (cut at the
    // picture's edges). False, with picture unchanged, when that copy would not be exact:
    // glyphs that share a pixel or a glyph placed off the font's grid of 1/64 pixel.
    bool stamp(QImage *picture, const QList<QGlyphRun> &runs, QPoint at, QRgb pen, QRgb ground);

private:
    struct Key
    {
        QRawFont font;
        quint32 glyph;
        int fraction; // where in its pixel the glyph is placed, in 1/64 pixel: x | y << 6
        QRgb pen;
        QRgb ground; // opaque
        bool operator==(const Key &other) const;
    };
    struct KeyHash
    {
        size_t operator()(const Key &key) const;
    };
    struct Tile
    {
        QImage pixels;      // the pixels the glyph changed; none for a glyph without ink
        QPoint offset;      // of pixels' top left from the pixel the glyph is placed in
        bool usable = true; // false when the glyph's ink may reach beyond what was kept
    };
    struct Placed
    {
        const Key *key;
        const Tile *tile;
        QPoint origin;       // the pixel the glyph is placed in
        QRect rect;          // of its changed pixels, in the picture
        bool shared = false; // with a neighbour's box: only its changed pixels are copied
    };
    // Two glyphs placed step apart, drawn one after the other: the pixels of their boxes'
    // overlap.
    struct PairKey
    {
        const Key *first;
        const Key *second;
        QPoint step;
        bool operator==(const PairKey &other) const = default;
    };
    struct PairHash
    {
        size_t operator()(const PairKey &key) const;
    };
    struct Blend
    {
        const Tile *tile;
        QRect rect;           // in the picture
        size_t first, second; // in m_placed
    };

    static QImage drawn(const QRect &area, const Key &first, const Key *second = nullptr,
                        QPoint step = QPoint());
    static Tile render(const Key &key);
    static Tile renderPair(const PairKey &key, const Tile &first, const Tile &second);
    static bool bothChange(const Placed &one, const Placed &other, QRgb ground);
    void place(const Placed &next, QRgb ground);

    static constexpr size_t Limit = 8192;           // kept glyphs, or pairs, before all are dropped
    std::unordered_map<Key, Tile, KeyHash> m_tiles; // node-based: a tile stays where it is
    std::unordered_map<PairKey, Tile, PairHash> m_pairs; // keyed by m_tiles' keys
    std::vector<Placed> m_placed;                        // the glyphs of the stamp under way
    std::vector<Blend> m_blends;                         // and the overlaps two of them blend
};
