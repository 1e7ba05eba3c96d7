#include "stockwindow/fmtovran.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"
#include "data/messages.h"
#include "data/norv.h"
#include "forms/formhelpers.h"
#include "platform/programend.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/messagebox.h"
#include "stock/stockcounting.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/criteriapage.h"
#include "stockwindow/settingspage.h"
#include "stockwindow/stockdatapage.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/windowcontrols.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(TOVRAN_VERSION_MAJOR)
        .arg(TOVRAN_VERSION_MINOR)
        .arg(TOVRAN_VERSION_PATCH);
}

} // namespace

using namespace WindowControls;

fmTOVRAN::fmTOVRAN(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmTOVRAN"));
    setWindowTitle(QStringLiteral("TOVRAN"));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    buildHead();
    layout->addWidget(elaHead);

    m_counting = new StockCounting(this);
    m_model = new StockMonthModel(m_counting->month(), this);
    m_criteria = new CriteriaPage;
    m_data = new StockDataPage(m_model);
    m_settings = new SettingsPage;
    fgList = m_data->grid();
    elaCount = m_data->countBar();
    tabPage = named(new QTabWidget, QStringLiteral("tabPage"));
    tabPage->addTab(m_criteria, QStringLiteral("查詢條件"));
    tabPage->addTab(m_data, QStringLiteral("資料瀏覽"));
    tabPage->addTab(m_settings, QStringLiteral("設定"));
    layout->addWidget(tabPage, 1);

    buildStatusBand();
    layout->addWidget(elaSBar);
    setCentralWidget(central);

    connectHandlers();
    resize(1024, 700);
}

fmTOVRAN::~fmTOVRAN() = default;

const StockMonth &fmTOVRAN::month() const
{
    return m_counting->month();
}

void fmTOVRAN::buildHead()
{
    elaHead = named(new ElasticPanel, QStringLiteral("elaHead"));
    elaHead->setFixedHeight(40);
    auto *row = new QHBoxLayout(elaHead);
    row->setContentsMargins(8, 2, 8, 2);
    lblHead[0] = label(QStringLiteral("lblHead(0)"), QStringLiteral("TOVRAN"));
    lblHead[1] = label(QStringLiteral("lblHead(1)"), QStringLiteral("月結庫存盤點作業"));
    lblHead[2] = label(QStringLiteral("lblHead(2)"), QString());
    QFont headFont = lblHead[1]->font();
    headFont.setPointSize(headFont.pointSize() + 4);
    headFont.setBold(true);
    for (QLabel *l : lblHead)
        l->setFont(headFont);
    row->addWidget(lblHead[0]);
    row->addStretch(1);
    row->addWidget(lblHead[1]);
    row->addStretch(1);
    row->addWidget(lblHead[2]);
}

void fmTOVRAN::buildStatusBand()
{
    elaSBar = named(new ElasticPanel, QStringLiteral("elaSBar"));
    elaSBar->setFixedHeight(44);
    auto *row = new QHBoxLayout(elaSBar);
    row->setContentsMargins(4, 2, 4, 2);
    cmdExit = button(QStringLiteral("cmdExit"), QStringLiteral("&Z結束"));
    elaMsg = named(new ElasticPanel, QStringLiteral("elaMsg"));
    lblStatus = label(QStringLiteral("lblStatus"), QStringLiteral("連線狀態"));
    lblMode = label(QStringLiteral("lblMode"), QStringLiteral("作業模式"));
    row->addWidget(cmdExit);
    row->addWidget(elaMsg, 1);
    row->addWidget(lblStatus);
    row->addWidget(lblMode);
}

void fmTOVRAN::connectHandlers()
{
    connect(cmdExit, &QPushButton::clicked, this, &fmTOVRAN::cmdExit_Click);
    connect(elaMsg, &ElasticPanel::clicked, this, [this] { elaMsg->setCaption(QString()); });

    connect(m_criteria, &CriteriaPage::queryRequested, this, &fmTOVRAN::cmdQry_Click);
    connect(m_criteria, &CriteriaPage::message, this, &fmTOVRAN::say);
    connect(m_criteria, &CriteriaPage::hideAdjustmentChanged, this,
            [this](bool hidden) { m_data->setColumnShown(ColAdjustQty, !hidden); });

    connect(m_data, &StockDataPage::printReportRequested, this, &fmTOVRAN::cmdPrintRpt_Click);
    connect(m_data, &StockDataPage::countSheetRequested, this, &fmTOVRAN::cmdCountSheet_Click);
    connect(m_data, &StockDataPage::slipRequested, this, &fmTOVRAN::cmdPrintByMistra_Click);
    connect(m_data, &StockDataPage::itemRequested, this, &fmTOVRAN::cmdSeekSTKNo_Click);
    connect(m_data, &StockDataPage::varianceRequested, this, &fmTOVRAN::cmdVariance_Click);

    connect(fgList, &StockGridView::beforeEdit, this, &fmTOVRAN::fgList_BeforeEdit);
    connect(fgList, &StockGridView::clicked, this, &fmTOVRAN::fgList_Click);
    m_model->setEditHandler([this](int index, int col, const QString &text) {
        return fgList_ValidateEdit(index, col, text);
    });
    // The grid follows the month's counting.
    connect(m_counting, &StockCounting::reset, this, &fmTOVRAN::fillGrid);
    connect(m_counting, &StockCounting::rowAppended, m_model, &StockMonthModel::rowAppended);
    connect(m_counting, &StockCounting::rowChanged, m_model, &StockMonthModel::rowChanged);
    connect(m_counting, &StockCounting::rowChangedElsewhere, m_data, &StockDataPage::applyZeroRule);
    m_counting->setEditedRow(
        [this] { return fgList->isEditing() ? fgList->currentMonthRow() : -1; });
    connectCountLines();
}

void fmTOVRAN::showWindow()
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    showMaximized();
}

void fmTOVRAN::Form_Load()
{
    ReportErrors(QStringLiteral("Form_Load"), [&] {
        QString exe = ProgramDir() + QLatin1Char('/') + ProgramName();
        if (!FileExist(exe))
            exe += QStringLiteral(".exe");
        if (FileExist(exe)) {
            lblHead[0]->setToolTip(
                QStringLiteral("檔案日期:") +
                QLocale::system().toString(QFileInfo(exe).lastModified(), QLocale::ShortFormat));
        }
        lblHead[1]->setToolTip(QStringLiteral("V") + versionText());
        lblHead[2]->setText(DBDateDisp(Clock::today()));
        lblStatus->setText(User().gsUserID);
        lblStatus->setToolTip(Conn().gCNT ? Conn().gCNT->dataSource() : QString());
        lblMode->setText(QString());
        elaMsg->setCaption(QStringLiteral("V.") + versionText());
        QApplication::processEvents();
        InitForm();
        elaCount->restoreLocation();
        m_criteria->focusFirstBox();
    });
}

void fmTOVRAN::InitForm()
{
    ReportErrors(QStringLiteral("InitForm"), [&] {
        tabPage->setCurrentIndex(0);
        ClearCtl(this);
        m_params = Params();
        getParamValue(QStringLiteral("StockEndDate"), m_params.StockEndDate);

        const bool stop = !m_criteria->takeDefaultDepartment();
        if (!stop) {
            if (!getParamValue(QStringLiteral("POSMode"), m_params.POSMode))
                m_params.POSMode = QStringLiteral("N");
            m_params.POSMode = m_params.POSMode.toUpper();
            InitNORV();
            if (!getParamValue(QStringLiteral("FontName"), m_params.FontName))
                m_params.FontName = QStringLiteral("標楷體");
            if (getParamValue(QStringLiteral("UseRcvWork"), m_params.UseRcvWork))
                m_params.UseRcvWork = m_params.UseRcvWork.toUpper();
            else
                m_params.UseRcvWork = QStringLiteral("N");
            m_settings->restore();
            m_criteria->proposePeriod();
            LockCtl(this);

            if (getParamValue(QStringLiteral("UseSOut"), m_params.UseSOut))
                m_params.UseSOut = m_params.UseSOut.toUpper();
            else
                m_params.UseSOut = QStringLiteral("N");
            // The titles are the model's.
            for (int c : {0, 1, 2, 9, 11, 19, 15, 13, 20})
                fgList->setColumnHidden(c, true);
            fgList->setColumnHidden(ColFlag, false);
            fgList->setColumnHidden(ColOutQty, m_params.UseSOut != QLatin1String("Y"));

            m_criteria->restoreOptions(m_params.UseSOut != QLatin1String("Y"));
            m_data->restoreOptions();
            fillGrid();
        }
        applyCountingView();
    });
    setWindowState(windowState() | Qt::WindowMaximized);
}

void fmTOVRAN::cmdExit_Click()
{
    try {
        elaMsg->setCaption(QString());
        if (!MsgBox::askYesNo(QStringLiteral("確定要離開嗎?"), MsgBox::Icon::Information))
            return;
        m_criteria->saveOptions();
        m_data->saveOptions();
    } catch (...) {
        return; // the exit handler ignores every error
    }
    EndProgram();
}

void fmTOVRAN::closeEvent(QCloseEvent *event)
{
    // Closing by the title bar asks the exit question; a No keeps the window.
    event->ignore();
    elaMsg->setCaption(QString());
    if (cmdExit->isEnabled())
        cmdExit_Click();
}

void fmTOVRAN::say(const QString &text)
{
    DispElaMsg(elaMsg, text);
}

bool fmTOVRAN::isBookKept(const QString &stockFlag) const
{
    return stockFlag.toUpper() == QLatin1String("Y") && m_params.UseSOut == QLatin1String("Y") &&
           m_criteria->warehouseNo() == 1;
}
