#include "platform/grid/celltext.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

const QStaticText &CellTextCache::text(const QString &text, const QFont &font)
{
    auto table = std::find_if(m_byFont.begin(), m_byFont.end(),
                              [&font](const auto &entry) { return entry.first == font; });
    if (table == m_byFont.end())
        table = m_byFont.insert(m_byFont.end(), {font, {}});
    QHash<QString, QStaticText> &texts = table->second;
    auto it = texts.find(text);
    if (it != texts.end())
        return *it;
    if (texts.size() >= Limit)
        texts.clear();
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), font);
    return *texts.insert(text, laidOut);
}

void DrawCellText(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                  const QString &text, CellTextCache &cache)
{
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = rect.adjusted(margin, 0, -margin, 0);
    const Qt::Alignment alignment =
        QStyle::visualAlignment(option.direction, option.displayAlignment);
    painter->save();
    painter->setFont(option.font);
    painter->setClipRect(area, Qt::IntersectClip);
    const QStaticText *laidOut = &cache.text(text, option.font);
    if (laidOut->size().width() > area.width() && option.textElideMode != Qt::ElideNone) {
        // Too wide: the elided text is laid out once more (rare in a sized grid).
        const QString elided =
            QFontMetrics(option.font).elidedText(text, option.textElideMode, area.width());
        laidOut = &cache.text(elided, option.font);
    }
    const QRect at =
        QStyle::alignedRect(option.direction, alignment, laidOut->size().toSize(), area);
    painter->drawStaticText(at.topLeft(), *laidOut);
    painter->restore();
}
