#pragma once

#include "stock/variancereview.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class StockCounting;
class VarianceChart;
class VarianceModel;
struct StockReportCriteria;

// The variance review ("差異檢視") of the loaded month, for the store manager: the rows
// that differ from the book by more than the thresholds, marked for recount or not yet
// counted (ReviewVariances), with their totals and a chart of the largest. It follows the
// month's counting: a count typed here or on another workstation shows at once. Enter on a
// row (or choosing a bar) goes to the row in the stock grid; the thresholds, read from the
// parameters when it opens, are the window's until it closes.
class frmVariance : public QWidget
{
    Q_OBJECT
public:
    // Shows the month row in the stock grid, current in its count cell.
    using GoToRow = std::function<void(int monthRow)>;
    // The heading of the month's printouts.
    using Criteria = std::function<StockReportCriteria()>;

    frmVariance(StockCounting &counting, GoToRow goToRow, Criteria criteria,
                QWidget *parent = nullptr);

    const VarianceReview &review() const;
    // The month row of the list's current row, -1: none.
    int currentMonthRow() const;

    QTableView *fgVariance = nullptr;
    VarianceChart *chtVariance = nullptr;
    QLineEdit *txtVarPct = nullptr;
    QLineEdit *txtVarAmt = nullptr;
    QLabel *lblTotals = nullptr;
    QLabel *lblMsg = nullptr;
    QPushButton *cmdMarkRecount = nullptr;
    QPushButton *cmdClearRecount = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;

public Q_SLOTS:
    // Computes the review anew from the month (the counting's signals call it soon).
    void refresh();
    void cmdPrint_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    // A threshold box's text taken, or refused with the reason and its value put back.
    void applyThreshold(QLineEdit *box);
    void showThresholds();
    void markCurrent(bool recount);
    void goToCurrent();

    StockCounting &m_counting;
    GoToRow m_goToRow;
    Criteria m_criteria;
    VarianceModel *m_model = nullptr;
    VarianceThresholds m_thresholds;
    QTimer *m_refreshSoon = nullptr;
};
