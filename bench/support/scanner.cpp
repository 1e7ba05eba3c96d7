#include "support/scanner.h"
#include "support/controls.h"

#include "common/numtext.h"
#include "stockwindow/fmtovran.h"
#include "stockwindow/stockgridview.h"
#include "support/benchdb.h"
#include "support/showngrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <ctime>

Scanner::Scanner(fmTOVRAN &window) : m_window(window)
{
    Control<QLineEdit>(m_window, "textSTKNo")->setFocus();
}

Scanner::~Scanner()
{
    stopCounting();
}

double Scanner::scan(const QString &item, double pieces)
{
    const QString typed = pieces == 1 ? item : NumText(pieces) + QLatin1Char('*') + item;
    QElapsedTimer t;
    const std::clock_t cpu = std::clock();
    t.start();
    QTest::keyClicks(Control<QLineEdit>(m_window, "textSTKNo"), typed);
    QTest::keyClick(Control<QLineEdit>(m_window, "textSTKNo"), Qt::Key_Return);
    m_handlerSeconds << t.nsecsElapsed() / 1e9;
    QApplication::processEvents();
    const double seconds = t.nsecsElapsed() / 1e9;
    m_seconds << seconds;
    m_cpuSeconds << double(std::clock() - cpu) / CLOCKS_PER_SEC;
    const StockGridView &grid = *Control<StockGridView>(m_window, "fgList");
    if (ShownGrid::currentItem(grid) != item || grid.currentColumn() != fmTOVRAN::ColSTKQty)
        ++m_missed;
    return seconds;
}

void Scanner::startCounting()
{
    stopCounting();
    QWidget *viewport = Control<StockGridView>(m_window, "fgList")->viewport();
    viewport->installEventFilter(&m_grid);
    for (QWidget *widget : m_window.findChildren<QWidget *>())
        if (widget != viewport)
            widget->installEventFilter(&m_others);
    m_counting = true;
    Control<QLineEdit>(m_window, "textSTKNo")->setFocus();
    QApplication::processEvents();
    m_grid.reset();
    m_others.reset();
    m_seconds.clear();
    m_handlerSeconds.clear();
    m_cpuSeconds.clear();
    m_missed = 0;
}

void Scanner::stopCounting()
{
    if (!m_counting)
        return;
    Control<StockGridView>(m_window, "fgList")->viewport()->removeEventFilter(&m_grid);
    for (QWidget *widget : m_window.findChildren<QWidget *>())
        widget->removeEventFilter(&m_others);
    m_counting = false;
}

QMap<QString, double> Scanner::figures() const
{
    const double n = std::max<qsizetype>(1, m_seconds.size());
    return {{QStringLiteral("handler_ms"), Median(m_handlerSeconds) * 1000},
            {QStringLiteral("cpu_ms"), Median(m_cpuSeconds) * 1000},
            {QStringLiteral("grid_paints"), m_grid.paints / n},
            {QStringLiteral("viewports_painted"), m_grid.areas / n},
            {QStringLiteral("other_paints"), m_others.paints / n}};
}
