#pragma once

#include "stock/variancereview.h"

#include <QImage>
#include <QList>
#include <QtCharts/QChartView>

class QBarSet;

// The bar chart beside the variance list: the largest differences by value, largest at the
// top, gains and losses in two colours. A click on a bar, or Up/Down to a bar and Enter,
// chooses its row.
class VarianceChart : public QChartView
{
    Q_OBJECT
public:
    explicit VarianceChart(QWidget *parent = nullptr);

    // The lines to show, largest first (LargestVariances).
    void setLines(const QList<VarianceLine> &lines);
    int barCount() const { return int(m_lines.size()); }
    // The bar chosen by the keyboard (0: the largest), -1: none.
    int currentBar() const { return m_current; }
    void setCurrentBar(int bar);
    // The month row of a bar.
    int monthRowOfBar(int bar) const { return m_lines.at(bar).index; }
    // Chooses a bar's row as a click on it does.
    void chooseBar(int bar);

    // The chart of the lines drawn on white, for the printed report: size in logical
    // pixels, drawn at scale times as many.
    static QImage picture(const QList<VarianceLine> &lines, QSize size, qreal scale = 2);

Q_SIGNALS:
    void rowChosen(int monthRow);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Sets
    {
        QBarSet *gains = nullptr;
        QBarSet *losses = nullptr;
    };
    static QChart *build(const QList<VarianceLine> &lines, Sets *sets = nullptr);
    // Bars are listed from the largest; the axis puts its first category at the bottom.
    int categoryOf(int bar) const { return barCount() - 1 - bar; }

    QList<VarianceLine> m_lines;
    Sets m_sets;
    int m_current = -1;
};
