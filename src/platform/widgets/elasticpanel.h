#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

// A panel with a caption that can be flooded (filled from the left by a percentage of
// its width), as the program's message lines and bands use it.
class ElasticPanel : public QFrame
{
    Q_OBJECT
public:
    explicit ElasticPanel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    int floodPercent() const { return m_floodPercent; }
    void setFloodPercent(int percent);

    QColor floodColor() const { return m_floodColor; }
    void setFloodColor(const QColor &color);

    Qt::Alignment captionAlignment() const { return m_alignment; }
    void setCaptionAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_caption;
    int m_floodPercent = 0;
    QColor m_floodColor = QColor(0, 0, 160);
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
