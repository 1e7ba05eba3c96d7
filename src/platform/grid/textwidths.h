#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

// Characters that may stand beside digits in numbers and dates.
QStringView NumberPunctuation();
bool IsDigit(QChar c);
// Every digit of the font has the same advance and no digit kerns with a digit or a number
// punctuation character: swapping digits then never changes a width, and the glyphs of a
// number sit where their advances add up to.
bool DigitsInterchangeable(const QFont &font);

// Text widths in one font, as QFontMetrics::horizontalAdvance gives them, for measuring
// whole columns fast. Equal texts are measured once; when the font's digits all have the
// same advance and never kern with each other or with the punctuation of numbers and
// dates, texts made only of those characters are measured once per shape ("12.5" stands
// for "98.0"), which leaves a column of numbers with a handful of measurements.
class TextWidths
{
public:
    explicit TextWidths(const QFont &font);
    int width(const QString &text);

private:
    // The shape of a short number text packed into an integer (4 bits a character), or 0
    // when the text is no number shape or too long to pack.
    quint64 numberShape(const QString &text) const;

    QFontMetrics m_metrics;
    bool m_digitsAlike = false;
    QHash<QString, int> m_cache;
    QHash<quint64, int> m_shapeCache;
};
