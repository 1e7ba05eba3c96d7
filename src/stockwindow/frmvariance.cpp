#include "stockwindow/frmvariance.h"

#include "common/numtext.h"
#include "printing/variancereport.h"
#include "stock/stockcounting.h"
#include "stockwindow/variancechart.h"
#include "stockwindow/variancemodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

frmVariance::frmVariance(StockCounting &counting, GoToRow goToRow, Criteria criteria,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), m_counting(counting), m_goToRow(std::move(goToRow)),
      m_criteria(std::move(criteria)), m_model(new VarianceModel(counting.month(), this)),
      m_thresholds(VarianceThresholds::fromParams()), m_refreshSoon(new QTimer(this))
{
    setObjectName(QStringLiteral("frmVariance"));
    setWindowTitle(QStringLiteral("差異檢視"));
    build();

    // Changes come row by row (an import, a reload): one review after the last of them.
    m_refreshSoon->setSingleShot(true);
    m_refreshSoon->setInterval(50);
    connect(m_refreshSoon, &QTimer::timeout, this, &frmVariance::refresh);
    const auto soon = [this] { m_refreshSoon->start(); };
    connect(&m_counting, &StockCounting::reset, this, soon);
    connect(&m_counting, &StockCounting::rowAppended, this, soon);
    connect(&m_counting, &StockCounting::rowChanged, this, soon);

    showThresholds();
    refresh();
    resize(1100, 560);
}

void frmVariance::build()
{
    const auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    txtVarPct = named(new QLineEdit, "txtVarPct");
    txtVarAmt = named(new QLineEdit, "txtVarAmt");
    txtVarPct->setMaximumWidth(80);
    txtVarAmt->setMaximumWidth(120);
    lblMsg = named(new QLabel, "lblMsg");
    lblMsg->setStyleSheet(QStringLiteral("color: #c62828"));
    auto *thresholds = new QHBoxLayout;
    thresholds->addWidget(new QLabel(QStringLiteral("數量差異超過")));
    thresholds->addWidget(txtVarPct);
    thresholds->addWidget(new QLabel(QStringLiteral("% 或差異金額超過")));
    thresholds->addWidget(txtVarAmt);
    thresholds->addWidget(lblMsg, 1);

    fgVariance = named(new QTableView, "fgVariance");
    fgVariance->setModel(m_model);
    fgVariance->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fgVariance->setSelectionBehavior(QAbstractItemView::SelectRows);
    fgVariance->setSelectionMode(QAbstractItemView::SingleSelection);
    fgVariance->verticalHeader()->hide();
    fgVariance->verticalHeader()->setDefaultSectionSize(fgVariance->fontMetrics().height() + 6);
    fgVariance->installEventFilter(this);
    chtVariance = new VarianceChart;
    auto *split = new QSplitter;
    split->addWidget(fgVariance);
    split->addWidget(chtVariance);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({660, 440});

    lblTotals = named(new QLabel, "lblTotals");
    cmdMarkRecount = named(new QPushButton(QStringLiteral("標記複盤(&R)")), "cmdMarkRecount");
    cmdClearRecount = named(new QPushButton(QStringLiteral("取消複盤(&C)")), "cmdClearRecount");
    cmdPrint = named(new QPushButton(QStringLiteral("列印(&P)")), "cmdPrint");
    cmdClose = named(new QPushButton(QStringLiteral("關閉")), "cmdClose");
    // Marks are count lines: without them there is nothing to mark with.
    cmdMarkRecount->setEnabled(m_counting.countLinesOn());
    cmdClearRecount->setEnabled(m_counting.countLinesOn());
    auto *foot = new QHBoxLayout;
    foot->addWidget(lblTotals, 1);
    foot->addWidget(cmdMarkRecount);
    foot->addWidget(cmdClearRecount);
    foot->addWidget(cmdPrint);
    foot->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(thresholds);
    layout->addWidget(split, 1);
    layout->addLayout(foot);
    setTabOrder(txtVarPct, txtVarAmt);
    setTabOrder(txtVarAmt, fgVariance);
    setTabOrder(fgVariance, chtVariance);

    for (QLineEdit *box : {txtVarPct, txtVarAmt})
        connect(box, &QLineEdit::editingFinished, this, [this, box] { applyThreshold(box); });
    connect(fgVariance, &QTableView::doubleClicked, this, &frmVariance::goToCurrent);
    connect(chtVariance, &VarianceChart::rowChosen, this, [this](int monthRow) {
        const int row = m_model->rowOfMonthRow(monthRow);
        if (row >= 0)
            fgVariance->setCurrentIndex(m_model->index(row, 0));
        m_goToRow(monthRow);
    });
    connect(cmdMarkRecount, &QPushButton::clicked, this, [this] { markCurrent(true); });
    connect(cmdClearRecount, &QPushButton::clicked, this, [this] { markCurrent(false); });
    connect(cmdPrint, &QPushButton::clicked, this, &frmVariance::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

const VarianceReview &frmVariance::review() const
{
    return m_model->review();
}

int frmVariance::currentMonthRow() const
{
    const QModelIndex current = fgVariance->currentIndex();
    return current.isValid() ? m_model->line(current.row()).index : -1;
}

void frmVariance::refresh()
{
    m_refreshSoon->stop();
    // The current row stays current while the review lists it.
    const int monthRow = currentMonthRow();
    const int column = std::max(0, fgVariance->currentIndex().column());
    m_model->setReview(ReviewVariances(m_counting, m_thresholds));
    const int row = m_model->rowOfMonthRow(monthRow);
    if (row >= 0 || m_model->rowCount() > 0)
        fgVariance->setCurrentIndex(m_model->index(std::max(row, 0), column));
    chtVariance->setLines(LargestVariances(review()));
    lblTotals->setText(VarianceTotalsText(review().totals));
}

void frmVariance::showThresholds()
{
    txtVarPct->setText(NumText(m_thresholds.pct));
    txtVarAmt->setText(NumText(m_thresholds.amount));
}

void frmVariance::applyThreshold(QLineEdit *box)
{
    VarianceThresholds wanted = m_thresholds;
    QString why;
    const bool taken = box == txtVarPct
                           ? VarianceThresholds::parsePct(box->text(), &wanted.pct, &why)
                           : VarianceThresholds::parseAmount(box->text(), &wanted.amount, &why);
    if (!taken) {
        lblMsg->setText(QStringLiteral("「%1」未採用: %2").arg(box->text(), why));
        showThresholds();
        box->selectAll();
        return;
    }
    lblMsg->clear();
    const bool changed = wanted.pct != m_thresholds.pct || wanted.amount != m_thresholds.amount;
    m_thresholds = wanted;
    showThresholds();
    if (changed)
        refresh();
}

void frmVariance::markCurrent(bool recount)
{
    const int monthRow = currentMonthRow();
    if (monthRow < 0)
        return;
    m_counting.markRecount(monthRow, recount); // rowChanged brings the review up to date
}

void frmVariance::goToCurrent()
{
    const int monthRow = currentMonthRow();
    if (monthRow >= 0)
        m_goToRow(monthRow);
}

void frmVariance::cmdPrint_Click()
{
    refresh(); // what is printed is what the month holds now
    VarianceReport report;
    report.month = &m_counting.month();
    report.review = &review();
    report.criteria = m_criteria();
    report.chart =
        VarianceChart::picture(LargestVariances(review()),
                               QSize(int(VarianceChartWidth / 10), int(VarianceChartHeight / 10)));
    PrintVarianceReport(report);
}

bool frmVariance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fgVariance && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            goToCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
