#include "platform/widgets/elasticpanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

ElasticPanel::ElasticPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ElasticPanel::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    setNote(QString());
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

void ElasticPanel::setNote(const QString &note)
{
    if (m_note == note)
        return;
    m_note = note;
    setAccessibleDescription(note);
    update();
}

int ElasticPanel::floodPercent() const
{
    return int(m_floodValue * 100 / m_floodMaximum);
}

void ElasticPanel::setFloodPercent(int percent)
{
    setFlood(percent, 100);
}

void ElasticPanel::setFlood(qint64 value, qint64 maximum)
{
    maximum = std::max<qint64>(maximum, 1);
    value = std::clamp<qint64>(value, 0, maximum);
    if (m_floodValue == value && m_floodMaximum == maximum)
        return;
    // Repainted only when the flooded width changes: progress moves by a pixel at most a
    // few hundred times, however many rows it counts.
    const int before = floodWidth(contentsRect().width());
    m_floodValue = value;
    m_floodMaximum = maximum;
    if (floodWidth(contentsRect().width()) != before)
        update();
}

int ElasticPanel::floodWidth(int areaWidth) const
{
    return int(areaWidth * m_floodValue / m_floodMaximum);
}

void ElasticPanel::setFloodColor(const QColor &color)
{
    m_floodColor = color;
    update();
}

void ElasticPanel::setCaptionAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QSize ElasticPanel::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_caption) + 16, fm.height() + 10);
}

void ElasticPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect();
    const QRect textArea = area.adjusted(4, 0, -4, 0);
    QRect flood = area;
    flood.setWidth(floodWidth(area.width()));
    const auto drawTexts = [&] {
        p.drawText(textArea, int(m_alignment), m_caption);
        if (!m_note.isEmpty())
            p.drawText(textArea, int(Qt::AlignRight | Qt::AlignVCenter), m_note);
    };
    // Text over the flood is white, the rest in the text colour: readable as the flood
    // passes under it.
    p.save();
    p.setClipRect(area.adjusted(flood.width(), 0, 0, 0));
    p.setPen(palette().color(QPalette::WindowText));
    drawTexts();
    p.restore();
    if (flood.width() > 0) {
        p.fillRect(flood, m_floodColor);
        p.setClipRect(flood);
        p.setPen(Qt::white);
        drawTexts();
    }
}

void ElasticPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
