#pragma once

#include <QApplication>
#include <QDialog>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>

// Closes any window that a refused edit or a database error opens (it would wait for ever)
// and counts it, so that the benchmark reports the failure instead of hanging.
class BoxCloser : public QObject
{
public:
    BoxCloser()
    {
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ++closed;
                dialog->reject();
            }
        });
        m_timer.start();
    }
    int closed = 0;

private:
    QTimer m_timer;
};

// Counts the repaints of the widgets it filters and how much of each they cover.
class PaintMeter : public QObject
{
public:
    int paints = 0;
    double areas = 0; // painted area in whole widgets

    void reset()
    {
        paints = 0;
        areas = 0;
    }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            auto *w = static_cast<QWidget *>(o);
            ++paints;
            qint64 area = 0;
            for (const QRect &r : static_cast<QPaintEvent *>(e)->region())
                area += qint64(r.width()) * r.height();
            areas += double(area) / (qint64(w->width()) * w->height());
        }
        return false;
    }
};
