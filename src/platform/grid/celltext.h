#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

#include <utility>
#include <vector>

class QPainter;
class QStyleOptionViewItem;

// Laid-out cell texts, kept between repaints. A grid shows the same few thousand texts
// (quantities, units, names) over and over; laying each out again on every repaint was
// most of the cost of scrolling and of showing the row a scan found.
class CellTextCache
{
public:
    const QStaticText &text(const QString &text, const QFont &font);

private:
    static constexpr int Limit = 8192; // texts per font before the cache starts over
    // One table per font; a grid paints with two or three fonts.
    std::vector<std::pair<QFont, QHash<QString, QStaticText>>> m_byFont;
};

// Draws a cell's text as the item view style would (margins, alignment, elision, pen set
// by the caller) through the cache.
void DrawCellText(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                  const QString &text, CellTextCache &cache);
