#include "stockwindow/stockdatapage.h"

#include "common/errorreport.h"
#include "stock/countingview.h"
#include "stock/stockmonth.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockoptions.h"
#include "stockwindow/stockrowsproxy.h"
#include "stockwindow/windowcontrols.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

using namespace WindowControls;

StockDataPage::StockDataPage(StockMonthModel *model, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("elapage(1)"));
    auto *page = new QVBoxLayout(this);

    auto *tools = new QHBoxLayout;
    cmdPrintRpt = button(QStringLiteral("cmdPrintRpt"), QStringLiteral("列印"));
    cmdPrintByMistra[0] =
        button(QStringLiteral("cmdPrintByMistra(0)"), QStringLiteral("列印領用單(期初量)"));
    cmdPrintByMistra[1] =
        button(QStringLiteral("cmdPrintByMistra(1)"), QStringLiteral("列印入庫單(期末量)"));
    cmdSeekSTKNo = button(QStringLiteral("cmdSeekSTKNo"), QStringLiteral("查詢/新增物料"));
    textSTKNo = textBox(QStringLiteral("textSTKNo"));
    txtSeekItem = textBox(QStringLiteral("txtSeekItem"));
    tools->addWidget(cmdPrintRpt);
    cmdCountSheet = button(QStringLiteral("cmdCountSheet"), QStringLiteral("盤點表"));
    cboCountSheetOrder = named(new QComboBox, QStringLiteral("cboCountSheetOrder"));
    cboCountSheetOrder->addItems({QStringLiteral("依料號"), QStringLiteral("依盤點區位")});
    cboCountSheetOrder->setToolTip(QStringLiteral("盤點表的排列順序"));
    tools->addWidget(cmdCountSheet);
    tools->addWidget(cboCountSheetOrder);
    tools->addWidget(cmdPrintByMistra[0]);
    tools->addWidget(cmdPrintByMistra[1]);
    tools->addSpacing(12);
    tools->addWidget(label(QStringLiteral("Label12"), QStringLiteral("輸入物料編號:")));
    tools->addWidget(textSTKNo);
    tools->addWidget(cmdSeekSTKNo);
    tools->addSpacing(12);
    tools->addWidget(label(QStringLiteral("Label7"), QStringLiteral("搜尋物料名稱:")));
    tools->addWidget(txtSeekItem);
    tools->addWidget(label(QStringLiteral("Label8"), QStringLiteral("(搜尋前請先按物料名稱排序)")));
    // Last: whether the review is offered moves nothing before it.
    cmdVariance = button(QStringLiteral("cmdVariance"), QStringLiteral("差異檢視"));
    tools->addSpacing(12);
    tools->addWidget(cmdVariance);
    tools->addStretch(1);
    page->addLayout(tools);

    auto *options = new QHBoxLayout;
    chkHideSTKFlag = checkBox(QStringLiteral("chkHideSTKFlag"), QStringLiteral("隱藏不入庫的物料"));
    chkHideAvgPrice =
        checkBox(QStringLiteral("chkHideAvgPrice"), QStringLiteral("隱藏平均單價"), true);
    chkHideDscp = checkBox(QStringLiteral("chkHideDscp"), QStringLiteral("隱藏物料規格"));
    chkNoDisplayQtyIsZero = checkBox(QStringLiteral("chkNoDisplayQtyIsZero"),
                                     QStringLiteral("上期庫存及進貨量皆為零時，不顯示該物料"));
    chkShowRecount = checkBox(QStringLiteral("chkShowRecount"), QStringLiteral("顯示複盤欄"));
    for (QCheckBox *box :
         {chkHideSTKFlag, chkHideAvgPrice, chkHideDscp, chkNoDisplayQtyIsZero, chkShowRecount})
        options->addWidget(box);
    options->addStretch(1);
    page->addLayout(options);
    elaCount = new CountLinesBar;
    page->addWidget(elaCount);

    fgList = named(new StockGridView(m_model), QStringLiteral("fgList"));
    fgList->setColumnHidden(StockMonthModel::RecountColumn, true);
    page->addWidget(fgList, 1);

    connect(cmdPrintRpt, &QPushButton::clicked, this, &StockDataPage::printReportRequested);
    connect(cmdCountSheet, &QPushButton::clicked, this, &StockDataPage::countSheetRequested);
    for (int i : {0, 1})
        connect(cmdPrintByMistra[i], &QPushButton::clicked, this, [this, i] {
            // The slips print book quantities: not for a user who counts blind.
            if (!m_model->countingView().isBlind())
                Q_EMIT slipRequested(i);
        });
    connect(cmdVariance, &QPushButton::clicked, this, [this] {
        if (varianceOffered())
            Q_EMIT varianceRequested();
    });
    connect(cmdSeekSTKNo, &QPushButton::clicked, this, &StockDataPage::requestItem);
    textSTKNo->installEventFilter(this);
    connect(txtSeekItem, &QLineEdit::textChanged, this, &StockDataPage::seekName);

    // Setting a box to another value runs its handler, by the user or by the program.
    connect(chkHideAvgPrice, &QCheckBox::toggled, this,
            [this](bool hide) { setColumnShown(ColAvgPrice, !hide); });
    connect(chkHideDscp, &QCheckBox::toggled, this,
            [this](bool hide) { setColumnShown(ColDscp, !hide); });
    connect(chkHideSTKFlag, &QCheckBox::toggled, this, &StockDataPage::hideUnstocked);
    connect(chkNoDisplayQtyIsZero, &QCheckBox::toggled, this, &StockDataPage::hideZeroRowsOption);
    connect(chkShowRecount, &QCheckBox::toggled, this,
            [this](bool show) { fgList->setColumnHidden(StockMonthModel::RecountColumn, !show); });
}

const StockMonth &StockDataPage::month() const
{
    return m_model->month();
}

void StockDataPage::restoreOptions()
{
    chkNoDisplayQtyIsZero->setChecked(StockOption(QStringLiteral("chkNoDisplayQtyIsZero")));
}

void StockDataPage::saveOptions() const
{
    SaveStockOption(QStringLiteral("chkNoDisplayQtyIsZero"), chkNoDisplayQtyIsZero->isChecked());
}

void StockDataPage::setColumnShown(int col, bool shown)
{
    fgList->setColumnHidden(col, !shown || !m_model->countingView().shows(col));
}

bool StockDataPage::isZeroRow(int index) const
{
    return month().figure(index, ColLastQty) == 0 && month().figure(index, ColInQty) == 0;
}

void StockDataPage::hideZeroRows()
{
    if (chkNoDisplayQtyIsZero->isChecked())
        m_model->setRowsHidden([this](int index) { return isZeroRow(index); }, true);
}

void StockDataPage::applyZeroRule(int index)
{
    if (chkNoDisplayQtyIsZero->isChecked() && isZeroRow(index))
        m_model->setRowHidden(index, true);
}

void StockDataPage::hideUnstocked(bool hide)
{
    m_model->setRowsHidden(
        [this](int index) { return month().text(index, ColFlag).toUpper() != QLatin1String("Y"); },
        hide);
}

void StockDataPage::hideZeroRowsOption(bool hide)
{
    ReportErrors(QStringLiteral("fmTOVRAN_chkNoDisplayQtyIsZero_Click"), [&] {
        if (hide)
            hideZeroRows();
        else // shows every row, also those of the flag box
            m_model->setRowsHidden([](int) { return true; }, false);
    });
}

int StockDataPage::countSheetOrder() const
{
    return cboCountSheetOrder->currentIndex();
}

void StockDataPage::setBookFiguresOffered(bool offered)
{
    // The price option governs a book column only; the slips print book quantities.
    chkHideAvgPrice->setVisible(offered);
    for (QPushButton *slip : cmdPrintByMistra)
        slip->setVisible(offered);
}

void StockDataPage::setVarianceOffered(bool offered)
{
    cmdVariance->setVisible(offered);
}

bool StockDataPage::varianceOffered() const
{
    return !cmdVariance->isHidden();
}

bool StockDataPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == textSTKNo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            requestItem(); // a barcode scanner ends the number with Enter
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StockDataPage::requestItem()
{
    Q_EMIT itemRequested(textSTKNo->text().trimmed());
    textSTKNo->clear();
}

void StockDataPage::seekName(const QString &typed)
{
    try {
        const QString text = typed.trimmed();
        if (text.isEmpty())
            return;
        // The first shown row whose name begins with the text.
        const StockRowsProxy *rows = fgList->rows();
        for (int r = 0; r < rows->rowCount(); ++r) {
            const int index = rows->mapToSource(rows->index(r, ColName)).row();
            if (month().text(index, ColName).startsWith(text, Qt::CaseInsensitive)) {
                fgList->setCurrentCell(index, ColName);
                fgList->scrollToTopRow(index);
                return;
            }
        }
    } catch (...) {
        // the search simply does not move
    }
}
