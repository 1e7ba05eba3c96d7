#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

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
    QFontMetrics m_metrics;
    bool m_digitsAlike = false;
    QHash<QString, int> m_cache;
};
