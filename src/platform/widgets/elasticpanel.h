#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

// A panel with a caption that can be flooded (filled from the left by a part of its
// width), as the program's message lines and bands use it. The flood is a value of a
// maximum: a percentage (maximum 100) for a flash, rows read of rows expected for the
// progress of a long piece of work. A note, drawn at the right end, says more about the
// caption (a count beside a result message).
class ElasticPanel : public QFrame
{
    Q_OBJECT
public:
    explicit ElasticPanel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    // Another caption clears the note: the note belongs to the caption it was set with.
    void setCaption(const QString &caption);

    QString note() const { return m_note; }
    void setNote(const QString &note);

    int floodPercent() const;
    void setFloodPercent(int percent);

    // The flooded part: value of maximum, value clamped to 0..maximum (maximum at least 1).
    qint64 floodValue() const { return m_floodValue; }
    qint64 floodMaximum() const { return m_floodMaximum; }
    void setFlood(qint64 value, qint64 maximum);

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
    int floodWidth(int areaWidth) const;

    QString m_caption;
    QString m_note;
    qint64 m_floodValue = 0;
    qint64 m_floodMaximum = 100;
    QColor m_floodColor = QColor(0, 0, 160);
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
