#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QPainter;

// Cell texts drawn without laying them out on every repaint. A grid shows the same few
// thousand texts (units, names, flags) over and over: those are laid out once and kept.
// Numbers and dates are mostly new on every screen: when the font's digits are
// interchangeable they are not laid out at all, their glyphs are placed one after the
// other by the advances of their characters, exactly where a layout would put them.
class CellTextCache
{
public:
    CellTextCache();
    ~CellTextCache();

    // Draws text in area with the painter's pen as the item view style would: aligned,
    // elided when wider than the area, clipped to the cell the area lies in.
    void draw(QPainter *painter, const QRect &cell, const QRect &area, const QString &text,
              const QFont &font, Qt::Alignment alignment, Qt::TextElideMode elide,
              Qt::LayoutDirection direction);

    // Where draw puts the glyphs: runs drawn from at, clipped to the cell when their ink
    // may reach beyond it. No runs for an empty text or area. The runs are valid until the
    // next call.
    struct Placement
    {
        const QList<QGlyphRun> *runs = nullptr;
        QPoint at;
        bool clip = false;
    };
    Placement place(const QRect &cell, const QRect &area, const QString &text, const QFont &font,
                    Qt::Alignment alignment, Qt::TextElideMode elide,
                    Qt::LayoutDirection direction);

private:
    struct NumberGlyphs;
    struct LaidOut;
    struct Elision;
    struct FontTexts;

    FontTexts &forFont(const QFont &font);
    LaidOut &laidOut(FontTexts &texts, const QString &text);
    // The text laid out as drawn in width: cut short with an ellipsis when it is too wide.
    const LaidOut &fitted(FontTexts &texts, const QString &text, int width,
                          Qt::TextElideMode elide);
    const QString &elided(FontTexts &texts, const QString &text, int width,
                          Qt::TextElideMode elide);

    static constexpr int Limit = 8192; // laid-out texts per font before the cache starts over
    // One entry per font; a grid paints with two or three fonts.
    std::vector<std::unique_ptr<FontTexts>> m_byFont;
};
