#include "platform/grid/cellpictures.h"

#include <QPainter>

#include <memory>

namespace {
constexpr qsizetype PictureBytes = 12 * 1024 * 1024; // some screens of a wide grid
} // namespace

bool CellPictures::Key::operator==(const Key &other) const
{
    return text == other.text && ground == other.ground && pen == other.pen && size == other.size &&
           area == other.area && alignment == other.alignment && elide == other.elide &&
           direction == other.direction && font == other.font;
}

// The font is left to the comparison: hashing it costs more than the rest together.
size_t qHash(const CellPictures::Key &key, size_t seed)
{
    return qHashMulti(seed, key.text, key.ground, key.pen, key.size.width(), key.size.height(),
                      key.area.left(), key.area.width(), key.alignment);
}

CellPictures::CellPictures(CellTextCache *texts) : m_texts(texts), m_pictures(PictureBytes) {}

void CellPictures::draw(QPainter *painter, const QRect &cell, const QRect &area,
                        const QColor &ground, const QString &text, const QFont &font,
                        Qt::Alignment alignment, Qt::TextElideMode elide,
                        Qt::LayoutDirection direction)
{
    // Only a picture copied pixel for pixel onto an opaque ground looks as drawn in place.
    const bool copies = ground.alpha() == 255 &&
                        painter->deviceTransform().type() <= QTransform::TxTranslate &&
                        painter->device()->devicePixelRatio() == 1 &&
                        painter->compositionMode() == QPainter::CompositionMode_SourceOver &&
                        painter->opacity() == 1;
    if (!copies || cell.isEmpty()) {
        painter->fillRect(cell, ground);
        m_texts->draw(painter, cell, area, text, font, alignment, elide, direction);
        return;
    }
    const QColor penColor = painter->pen().color();
    const Key key{text,           font,
                  ground.rgba(),  penColor.rgba(),
                  cell.size(),    area.translated(-cell.topLeft()),
                  int(alignment), int(elide),
                  int(direction)};
    if (const QImage *picture = m_pictures.object(key)) {
        painter->drawImage(cell.topLeft(), *picture);
        return;
    }
    auto picture = std::make_unique<QImage>(cell.size(), QImage::Format_RGB32);
    picture->fill(ground);
    // The picture's edges cut the text as the cell's clip would.
    const CellTextCache::Placement placed =
        m_texts->place(picture->rect(), key.area, text, font, alignment, elide, direction);
    if (placed.runs &&
        !m_glyphs.stamp(picture.get(), *placed.runs, placed.at, key.pen, key.ground)) {
        QPainter in(picture.get());
        in.setPen(penColor);
        for (const QGlyphRun &run : *placed.runs)
            in.drawGlyphRun(placed.at, run);
    }
    painter->drawImage(cell.topLeft(), *picture);
    const qsizetype bytes = picture->sizeInBytes();
    if (bytes <= m_pictures.maxCost())
        m_pictures.insert(key, picture.release(), bytes);
}
