#pragma once

#include "support/windowwatch.h"

#include <QList>
#include <QMap>
#include <QString>

class fmTOVRAN;

// Item numbers scanned into the stock window as the clerk does it: typed into textSTKNo,
// then Enter, timed until the window has painted what the scan changed. A scan lands when
// the item's row is current in the count column (the month had it or it was added).
class Scanner
{
public:
    explicit Scanner(fmTOVRAN &window);
    ~Scanner();

    // One scan; its seconds until painted. Pieces other than 1 are scanned as "n*item" (the
    // count of scan counting).
    double scan(const QString &item, double pieces = 1);

    // From now on: the scans' figures start anew, with the repaints of the grid and of the
    // rest of the window counted.
    void startCounting();

    const QList<double> &seconds() const { return m_seconds; }
    int missed() const { return m_missed; } // scans that did not land
    // Per scan: the median time until the Enter key returned (before the repaint), the
    // median processor time of the program (what the scan costs on a machine busy with
    // others), the grid's repaints and the viewports they covered, the rest of the window's
    // repaints.
    QMap<QString, double> figures() const;

private:
    void stopCounting();

    fmTOVRAN &m_window;
    QList<double> m_seconds;
    QList<double> m_handlerSeconds;
    QList<double> m_cpuSeconds;
    int m_missed = 0;
    bool m_counting = false;
    PaintMeter m_grid;
    PaintMeter m_others;
};
