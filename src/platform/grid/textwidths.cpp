#include "platform/grid/textwidths.h"

#include <QFontMetricsF>
#include <cmath>

QStringView NumberPunctuation()
{
    return u".,-+ /:%()";
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool DigitsInterchangeable(const QFont &font)
{
    const QFontMetricsF fm(font);
    const qreal advance = fm.horizontalAdvance(QLatin1Char('0'));
    QString neighbours = NumberPunctuation().toString();
    for (char d = '0'; d <= '9'; ++d) {
        if (fm.horizontalAdvance(QLatin1Char(d)) != advance)
            return false;
        neighbours.append(QLatin1Char(d));
    }
    for (char d = '0'; d <= '9'; ++d) {
        const QChar digit = QLatin1Char(d);
        for (QChar other : neighbours) {
            const qreal pair = advance + fm.horizontalAdvance(other);
            if (std::abs(fm.horizontalAdvance(QString(digit) + other) - pair) > 1e-6 ||
                std::abs(fm.horizontalAdvance(QString(other) + digit) - pair) > 1e-6)
                return false;
        }
    }
    return true;
}

TextWidths::TextWidths(const QFont &font)
    : m_metrics(font), m_digitsAlike(DigitsInterchangeable(font))
{
}

quint64 TextWidths::numberShape(const QString &text) const
{
    if (!m_digitsAlike || text.size() > 15)
        return 0;
    quint64 shape = 1; // a leading 1 keeps leading digits apart from shorter shapes
    for (QChar c : text) {
        qsizetype code = 0;
        if (!IsDigit(c)) {
            code = NumberPunctuation().indexOf(c) + 1;
            if (code == 0)
                return 0;
        }
        shape = (shape << 4) | quint64(code);
    }
    return shape;
}

int TextWidths::width(const QString &text)
{
    if (text.isEmpty())
        return 0;
    // Numbers: measured once per shape, looked up without building a key text.
    if (const quint64 shape = numberShape(text)) {
        auto it = m_shapeCache.constFind(shape);
        if (it != m_shapeCache.constEnd())
            return *it;
        QString key = text;
        for (QChar &c : key) {
            if (IsDigit(c))
                c = QLatin1Char('0');
        }
        const int w = m_metrics.horizontalAdvance(key);
        m_shapeCache.insert(shape, w);
        return w;
    }
    auto it = m_cache.constFind(text);
    if (it != m_cache.constEnd())
        return *it;
    QString key = text;
    if (m_digitsAlike) {
        bool numberLike = true;
        for (QChar c : text) {
            if (!IsDigit(c) && !NumberPunctuation().contains(c)) {
                numberLike = false;
                break;
            }
        }
        if (numberLike) {
            for (QChar &c : key) {
                if (IsDigit(c))
                    c = QLatin1Char('0');
            }
        }
    }
    const int w = m_metrics.horizontalAdvance(key);
    m_cache.insert(text, w);
    return w;
}
