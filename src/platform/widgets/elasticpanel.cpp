#include "platform/widgets/elasticpanel.h"

#include <QMouseEvent>
#include <QPainter>

ElasticPanel::ElasticPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ElasticPanel::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

void ElasticPanel::setFloodPercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (m_floodPercent == percent)
        return;
    m_floodPercent = percent;
    update();
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
    QColor textColor = palette().color(QPalette::WindowText);
    if (m_floodPercent > 0) {
        QRect flood = area;
        flood.setWidth(area.width() * m_floodPercent / 100);
        p.fillRect(flood, m_floodColor);
        if (m_floodPercent == 100)
            textColor = Qt::white;
    }
    p.setPen(textColor);
    p.drawText(area.adjusted(4, 0, -4, 0), int(m_alignment), m_caption);
}

void ElasticPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
