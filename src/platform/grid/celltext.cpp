#include "platform/grid/celltext.h"

#include "platform/grid/textwidths.h"

#include <QGlyphRun>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

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
            wholeAdvances = wholeAdvances && advance[code] == std::floor(advance[code]);
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
            inkBox |= box[code].translated(x, 0);
            x += advance[code];
        }
        *size = QSizeF(x, height);
        // A glyph placed between pixels is drawn from a bitmap up to a pixel wider.
        *ink = wholeAdvances ? inkBox : inkBox.adjusted(-1, 0, 1, 0);
        return true;
    }

    bool usable = false;
    QRawFont rawFont;
    qreal baseline = 0;
    qreal height = 0;
    std::array<quint32, 128> glyph{};
    std::array<qreal, 128> advance{};
    std::array<QRectF, 128> box{}; // the glyph's ink from the text's top left, unplaced
    std::array<bool, 128> known{};
    bool wholeAdvances = true;
};

// A laid-out text and the box its ink stays in, from the text's top left.
struct CellTextCache::LaidOut
{
    QStaticText text;
    QRectF ink;
};

struct CellTextCache::FontTexts
{
    explicit FontTexts(const QFont &f) : font(f), numbers(f) {}

    QFont font;
    QHash<QString, LaidOut> texts;
    NumberGlyphs numbers;
    QList<quint32> glyphs; // the last number's, kept for their storage
    QList<QPointF> positions;
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

const CellTextCache::LaidOut &CellTextCache::laidOut(FontTexts &texts, const QString &text)
{
    auto it = texts.texts.find(text);
    if (it != texts.texts.end())
        return *it;
    if (texts.texts.size() >= Limit)
        texts.texts.clear();
    LaidOut laid;
    laid.text.setText(text);
    laid.text.setTextFormat(Qt::PlainText);
    laid.text.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.text.prepare(QTransform(), texts.font);
    const QFontMetricsF metrics(texts.font);
    laid.ink = metrics.boundingRect(text).translated(0, metrics.ascent());
    return *texts.texts.insert(text, laid);
}

void CellTextCache::draw(QPainter *painter, const QRect &area, const QString &text,
                         const QFont &font, Qt::Alignment alignment, Qt::TextElideMode elide,
                         Qt::LayoutDirection direction)
{
    if (text.isEmpty() || area.isEmpty())
        return; // nothing would show inside the clip
    FontTexts &texts = forFont(font);
    QSizeF size;
    QRectF ink;
    const LaidOut *laid = nullptr;
    const bool number = texts.numbers.place(text, &texts.glyphs, &texts.positions, &size, &ink) &&
                        (size.width() <= area.width() || elide == Qt::ElideNone);
    if (!number) {
        laid = &laidOut(texts, text);
        if (laid->text.size().width() > area.width() && elide != Qt::ElideNone) {
            // Too wide: the elided text is laid out once more (rare in a sized grid).
            const QString elided = QFontMetrics(font).elidedText(text, elide, area.width());
            laid = &laidOut(texts, elided);
        }
        size = laid->text.size();
        ink = laid->ink;
    }
    const QRect at = QStyle::alignedRect(direction, QStyle::visualAlignment(direction, alignment),
                                         size.toSize(), area);
    // Clipped to the area, which costs more than drawing most texts: only when the text's
    // ink may reach beyond it.
    const bool clip = !QRectF(area).contains(ink.translated(at.topLeft()));
    const bool callerClips = clip && painter->hasClipping();
    if (callerClips) {
        painter->save();
        painter->setClipRect(area, Qt::IntersectClip);
    } else if (clip) {
        painter->setClipRect(area);
    }
    if (number) {
        QGlyphRun run;
        run.setRawFont(texts.numbers.rawFont);
        run.setGlyphIndexes(texts.glyphs);
        run.setPositions(texts.positions);
        painter->drawGlyphRun(at.topLeft(), run);
    } else if (painter->font() == font) {
        painter->drawStaticText(at.topLeft(), laid->text);
    } else {
        // A static text is drawn in the painter's font (laid out anew in any other).
        const QFont before = painter->font();
        painter->setFont(font);
        painter->drawStaticText(at.topLeft(), laid->text);
        painter->setFont(before);
    }
    if (callerClips)
        painter->restore();
    else if (clip)
        painter->setClipping(false);
}
