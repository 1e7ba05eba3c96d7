#include "platform/grid/celltext.h"

#include "platform/grid/textwidths.h"

#include <QGlyphRun>
#include <QPainter>
#include <QStaticText>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The ink of a glyph whose bitmap, drawn at a whole pixel, covers box (from the glyph's
// origin) when the glyph is placed at at. Placed between pixels, it is drawn from a bitmap
// for that fraction of a pixel or at the next whole pixel: its ink starts no further left
// than in the pixel the glyph starts in, and ends no further right than one pixel beyond.
QRectF placedInk(const QRectF &box, QPointF at)
{
    return QRectF(QPointF(std::floor(at.x()) + box.left(), at.y() + box.top()),
                  QPointF(std::ceil(at.x()) + box.right(), at.y() + box.bottom()));
}

} // namespace

// The glyphs of the digits and number punctuation of one font, each as a layout of it alone
// places it. A number text made of them is placed glyph by glyph when nothing in it can
// kern: the digits are interchangeable, and no two punctuation characters stand side by
// side.
struct CellTextCache::NumberGlyphs
{
    explicit NumberGlyphs(const QFont &font)
    {
        if (!DigitsInterchangeable(font))
            return;
        QString chars = QStringLiteral("0123456789");
        chars += NumberPunctuation();
        for (const QChar c : chars) {
            QTextLayout layout(QString(c), font);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLeadingIncluded(true);
            line.setLineWidth(1e6);
            line.setPosition(QPointF(0, 0));
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            const bool single = runs.size() == 1 && runs[0].glyphIndexes().size() == 1;
            const QPointF at = single ? runs[0].positions().constFirst() : QPointF();
            if (single && c == QLatin1Char('0')) {
                rawFont = runs[0].rawFont();
                baseline = at.y();
            }
            // A character drawn from another font (a fallback) or placed otherwise is laid
            // out with the text.
            if (!single || runs[0].rawFont() != rawFont || at != QPointF(0, baseline)) {
                if (IsDigit(c))
                    return;
                continue;
            }
            const char16_t code = c.unicode();
            glyph[code] = runs[0].glyphIndexes().constFirst();
            advance[code] = line.horizontalAdvance();
            box[code] = rawFont.boundingRect(glyph[code]).translated(0, baseline);
            known[code] = true;
        }
        QStaticText zero(QStringLiteral("0"));
        zero.setTextFormat(Qt::PlainText);
        zero.prepare(QTransform(), font);
        height = zero.size().height();
        usable = true;
    }

    // The glyphs of text placed from the text's top left, the text's size and the box its
    // ink stays in; false when the text is not made of this font's number glyphs alone.
    bool place(const QString &text, QList<quint32> *glyphs, QList<QPointF> *positions, QSizeF *size,
               QRectF *ink) const
    {
        const qsizetype n = text.size();
        if (!usable || n == 0 || n > 64 || text.front() == QLatin1Char(' ') ||
            text.back() == QLatin1Char(' '))
            return false; // a layout leaves edge spaces out of the text's width
        glyphs->resize(n);
        positions->resize(n);
        qreal x = 0;
        QRectF inkBox;
        bool afterPunctuation = false;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t code = text[i].unicode();
            if (code >= known.size() || !known[code])
                return false;
            const bool punctuation = !IsDigit(text[i]);
            if (punctuation && afterPunctuation)
                return false;
            afterPunctuation = punctuation;
            (*glyphs)[i] = glyph[code];
            (*positions)[i] = QPointF(x, baseline);
            inkBox |= placedInk(box[code], QPointF(x, 0));
            x += advance[code];
        }
        *size = QSizeF(x, height);
        *ink = inkBox;
        return true;
    }

    bool usable = false;
    QRawFont rawFont;
    qreal baseline = 0;
    qreal height = 0;
    std::array<quint32, 128> glyph{};
    std::array<qreal, 128> advance{};
    // The glyph's ink from the text's top left when drawn at a whole pixel: its bitmap's box.
    std::array<QRectF, 128> box{};
    std::array<bool, 128> known{};
};

// A text laid out as a static text lays it out, kept as its glyphs placed from the text's
// top left: its size and the box its ink stays in.
struct CellTextCache::LaidOut
{
    QList<QGlyphRun> runs;
    QSizeF size;
    QRectF ink;
};

// A text too wide for a cell, as cut short to the cell's width.
struct CellTextCache::Elision
{
    int width = -1;
    Qt::TextElideMode mode = Qt::ElideNone;
    QString text;
};

struct CellTextCache::FontTexts
{
    explicit FontTexts(const QFont &f) : font(f), numbers(f), number(1)
    {
        number.first().setRawFont(numbers.rawFont);
    }

    QFont font;
    QHash<QString, LaidOut> texts;
    QHash<QString, Elision> elisions; // by the whole text
    int elidingWidth = -1;            // the width the last text cut short was cut to
    NumberGlyphs numbers;
    QList<quint32> glyphs; // the last number's, kept for their storage
    QList<QPointF> positions;
    QList<QGlyphRun> number; // the last number's one run
};

CellTextCache::CellTextCache() = default;
CellTextCache::~CellTextCache() = default;

CellTextCache::FontTexts &CellTextCache::forFont(const QFont &font)
{
    for (const auto &entry : m_byFont) {
        if (entry->font.isCopyOf(font) || entry->font == font)
            return *entry;
    }
    m_byFont.push_back(std::make_unique<FontTexts>(font));
    return *m_byFont.back();
}

CellTextCache::LaidOut &CellTextCache::laidOut(FontTexts &texts, const QString &text)
{
    auto it = texts.texts.find(text);
    if (it != texts.texts.end())
        return *it;
    if (texts.texts.size() >= Limit) {
        texts.texts.clear();
        texts.elisions.clear();
    }
    QTextLayout layout(text, texts.font);
    layout.setCacheEnabled(true); // the glyphs are read once laid out, not shaped again
    qreal width = 0;
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(1e6);
        line.setPosition(QPointF(0, height));
        width = std::max(width, line.naturalTextWidth());
        height += line.height();
        if (line.leading() < 0)
            height += std::ceil(line.leading());
    }
    layout.endLayout();
    LaidOut laid;
    laid.runs = layout.glyphRuns();
    laid.size = QSizeF(width, layout.boundingRect().height());
    for (const QGlyphRun &run : std::as_const(laid.runs)) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            laid.ink |= placedInk(font.boundingRect(glyphs[i]), positions[i]);
    }
    return *texts.texts.insert(text, laid);
}

const QString &CellTextCache::elided(FontTexts &texts, const QString &text, int width,
                                     Qt::TextElideMode elide)
{
    Elision &elision = texts.elisions[text];
    if (elision.width != width || elision.mode != elide) {
        elision.text = QFontMetrics(texts.font).elidedText(text, elide, width);
        elision.width = width;
        elision.mode = elide;
    }
    return elision.text;
}

const CellTextCache::LaidOut &CellTextCache::fitted(FontTexts &texts, const QString &text,
                                                    int width, Qt::TextElideMode elide)
{
    if (elide == Qt::ElideNone)
        return laidOut(texts, text);
    // In a column that cuts its texts short a new text is cut first, and one that is cut is
    // laid out only as drawn. The cut measures the text as its layout does, but for spaces
    // at its end and for line and tab characters.
    const auto known = texts.texts.constFind(text);
    if (known == texts.texts.cend() && width == texts.elidingWidth && !text.back().isSpace() &&
        std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; })) {
        const QString cut = elided(texts, text, width, elide);
        if (cut != text)
            return laidOut(texts, cut);
    }
    const LaidOut &whole = known != texts.texts.cend() ? *known : laidOut(texts, text);
    if (whole.size.width() <= width)
        return whole;
    texts.elidingWidth = width;
    const QString cut = elided(texts, text, width, elide); // a copy: laidOut may rehash
    return laidOut(texts, cut);
}

CellTextCache::Placement CellTextCache::place(const QRect &cell, const QRect &area,
                                              const QString &text, const QFont &font,
                                              Qt::Alignment alignment, Qt::TextElideMode elide,
                                              Qt::LayoutDirection direction)
{
    if (text.isEmpty() || area.isEmpty())
        return {}; // nothing would show inside the clip
    FontTexts &texts = forFont(font);
    QSizeF size;
    QRectF ink;
    Placement placement;
    const bool number = texts.numbers.place(text, &texts.glyphs, &texts.positions, &size, &ink) &&
                        (size.width() <= area.width() || elide == Qt::ElideNone);
    if (number) {
        QGlyphRun &run = texts.number.first();
        run.setGlyphIndexes(texts.glyphs);
        run.setPositions(texts.positions);
        placement.runs = &texts.number;
    } else {
        const LaidOut *laid = &fitted(texts, text, area.width(), elide);
        size = laid->size;
        ink = laid->ink;
        placement.runs = &laid->runs;
    }
    placement.at = QStyle::alignedRect(direction, QStyle::visualAlignment(direction, alignment),
                                       size.toSize(), area)
                       .topLeft();
    // Clipped to the cell, which costs more than drawing most texts: only when the text's
    // ink may reach beyond it.
    placement.clip = !QRectF(cell).contains(ink.translated(placement.at));
    return placement;
}

void CellTextCache::draw(QPainter *painter, const QRect &cell, const QRect &area,
                         const QString &text, const QFont &font, Qt::Alignment alignment,
                         Qt::TextElideMode elide, Qt::LayoutDirection direction)
{
    const Placement placement = place(cell, area, text, font, alignment, elide, direction);
    if (!placement.runs)
        return;
    const bool callerClips = placement.clip && painter->hasClipping();
    if (callerClips) {
        painter->save();
        painter->setClipRect(cell, Qt::IntersectClip);
    } else if (placement.clip) {
        painter->setClipRect(cell);
    }
    for (const QGlyphRun &run : *placement.runs)
        painter->drawGlyphRun(placement.at, run);
    if (callerClips)
        painter->restore();
    else if (placement.clip)
        painter->setClipping(false);
}
