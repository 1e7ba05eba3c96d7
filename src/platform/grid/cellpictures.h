#pragma once

#include "platform/grid/celltext.h"
#include "platform/grid/glyphtiles.h"

#include <QCache>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class QPainter;

// Finished pictures of plain cells (ground and text), kept by what they show. A screen of a
// large grid shows the same texts in the same columns over and over (units, flags, dates,
// users, small quantities): drawn once, each is copied again instead of having its glyphs
// blended anew. A picture is drawn exactly as the cell would be drawn in place (the same
// ground, the text at the same fraction of a pixel), so the two cannot be told apart.
class CellPictures
{
public:
    explicit CellPictures(CellTextCache *texts);

    // Draws the cell at cell (its ground, then text as CellTextCache::draw would in area)
    // from a kept picture, or draws it in place when a picture cannot stand for it: a
    // ground that is not one opaque colour, or a painter that scales.
    void draw(QPainter *painter, const QRect &cell, const QRect &area, const QColor &ground,
              const QString &text, const QFont &font, Qt::Alignment alignment,
              Qt::TextElideMode elide, Qt::LayoutDirection direction);

private:
    struct Key
    {
        QString text;
        QFont font;
        QRgb ground;
        QRgb pen;
        QSize size;
        QRect area; // from the cell's top left
        int alignment;
        int elide;
        int direction;
        bool operator==(const Key &other) const;
    };
    friend size_t qHash(const Key &key, size_t seed);

    CellTextCache *m_texts;
    GlyphTiles m_glyphs;            // a new picture's glyphs, blended before
    QCache<Key, QImage> m_pictures; // cost: bytes
};
