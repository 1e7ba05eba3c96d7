#include "stockwindow/variancechart.h"

#include "stockwindow/variancemodel.h"

#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPainter>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QHorizontalStackedBarSeries>
#include <QtCharts/QValueAxis>

VarianceChart::VarianceChart(QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("chtVariance"));
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing);
    setMinimumWidth(320);
    setLines({});
}

QChart *VarianceChart::build(const QList<VarianceLine> &lines, Sets *sets)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(QStringLiteral("差異金額前 %1 名").arg(lines.size()));
    auto *gains = new QBarSet(QStringLiteral("盤盈"));
    auto *losses = new QBarSet(QStringLiteral("盤虧"));
    gains->setColor(VarianceModel::gainColor());
    losses->setColor(VarianceModel::lossColor());
    for (QBarSet *set : {gains, losses}) {
        set->setBorderColor(set->color());
        set->setSelectedColor(QColor(0x15, 0x65, 0xc0));
    }
    QStringList categories;
    // One value per category in each set: a gain's loss is 0 and the other way round.
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const VarianceLine &line = lines[i];
        categories << line.stkNo;
        gains->append(line.value > 0 ? line.value : 0);
        losses->append(line.value < 0 ? line.value : 0);
    }
    auto *series = new QHorizontalStackedBarSeries;
    series->append(gains);
    series->append(losses);
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (sets)
        *sets = {gains, losses};
    // An empty series has no range: its axes would only warn of it.
    if (lines.isEmpty())
        return chart;
    auto *items = new QBarCategoryAxis;
    items->append(categories);
    // Every bar names its item: an item number is never cut to "...", and in a font small
    // enough for twenty of them beside the bars of the chart as the window opens.
    items->setTruncateLabels(false);
    QFont labels = items->labelsFont();
    labels.setPointSize(7);
    items->setLabelsFont(labels);
    chart->addAxis(items, Qt::AlignLeft);
    series->attachAxis(items);
    auto *values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    values->applyNiceNumbers();
    return chart;
}

void VarianceChart::setLines(const QList<VarianceLine> &lines)
{
    const int chosenRow = m_current >= 0 ? monthRowOfBar(m_current) : -1;
    m_lines = lines;
    QChart *old = chart();
    setChart(build(m_lines, &m_sets));
    delete old;
    for (QBarSet *set : {m_sets.gains, m_sets.losses})
        connect(set, &QBarSet::clicked, this,
                [this](int category) { chooseBar(categoryOf(category)); });
    // The bar chosen stays chosen while its row is among the largest.
    m_current = -1;
    for (int bar = 0; bar < barCount(); ++bar)
        if (monthRowOfBar(bar) == chosenRow)
            setCurrentBar(bar);
}

void VarianceChart::setCurrentBar(int bar)
{
    m_sets.gains->deselectAllBars();
    m_sets.losses->deselectAllBars();
    m_current = bar >= 0 && bar < barCount() ? bar : -1;
    if (m_current < 0)
        return;
    QBarSet *set = m_lines[m_current].value > 0 ? m_sets.gains : m_sets.losses;
    set->selectBar(categoryOf(m_current));
}

void VarianceChart::chooseBar(int bar)
{
    if (bar < 0 || bar >= barCount())
        return;
    setCurrentBar(bar);
    Q_EMIT rowChosen(monthRowOfBar(bar));
}

void VarianceChart::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrentBar(m_current < 0 ? 0 : std::max(0, m_current - 1));
        break;
    case Qt::Key_Down:
        setCurrentBar(std::min(barCount() - 1, m_current + 1));
        break;
    case Qt::Key_Home:
        setCurrentBar(0);
        break;
    case Qt::Key_End:
        setCurrentBar(barCount() - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        chooseBar(m_current);
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}

QImage VarianceChart::picture(const QList<VarianceLine> &lines, QSize size, qreal scale)
{
    QImage image(size * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QGraphicsScene scene; // owns the chart
    QChart *chart = build(lines);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), size);
    scene.render(&painter, area, area);
    return image;
}
