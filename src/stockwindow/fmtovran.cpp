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
#include "platform/settingsstore.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/messagebox.h"
#include "stock/stockcounting.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(TOVRAN_VERSION_MAJOR)
        .arg(TOVRAN_VERSION_MINOR)
        .arg(TOVRAN_VERSION_PATCH);
}

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel *label(const QString &name, const QString &caption)
{
    return named(new QLabel(caption), name);
}

// Input boxes are tab stops; display boxes are not (they are locked by
// LockCtl).
QLineEdit *textBox(const QString &name, bool display = false)
{
    auto *box = named(new QLineEdit, name);
    SetTabStop(box, !display);
    return box;
}

QCheckBox *checkBox(const QString &name, const QString &caption, bool checked = false)
{
    auto *box = named(new QCheckBox(caption), name);
    box->setChecked(checked);
    return box;
}

QPushButton *button(const QString &name, const QString &caption)
{
    return named(new QPushButton(caption), name);
}

// The three per-user "Stock" options, stored as "0"/"1" under the executable's
// name.
const char *const StockSection = "Stock";

} // namespace

fmTOVRAN::fmTOVRAN(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmTOVRAN"));
    setWindowTitle(QStringLiteral("TOVRAN"));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    buildHead();
    layout->addWidget(elaHead);

    tabPage = named(new QTabWidget, QStringLiteral("tabPage"));
    const QStringList captions = QStringLiteral("查詢條件|資料瀏覽|設定").split(QLatin1Char('|'));
    tabPage->addTab(buildCriteriaPage(), captions[0]);
    tabPage->addTab(buildDataPage(), captions[1]);
    tabPage->addTab(buildSettingsPage(), captions[2]);
    layout->addWidget(tabPage, 1);

    buildStatusBand();
    layout->addWidget(elaSBar);
    setCentralWidget(central);

    pupFGMenu = named(new QMenu(this), QStringLiteral("pupFGMenu"));
    pupFGMenu->addAction(QStringLiteral("重設瀏覽視窗"))
        ->setObjectName(QStringLiteral("mnuFGReset"));

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

QWidget *fmTOVRAN::buildCriteriaPage()
{
    elapage[0] = named(new QWidget, QStringLiteral("elapage(0)"));
    auto *grid = new QGridLayout(elapage[0]);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(8, 1);

    txtYear = textBox(QStringLiteral("txtYear"));
    txtMonth = textBox(QStringLiteral("txtMonth"));
    txtYear->setMaximumWidth(80);
    txtMonth->setMaximumWidth(50);
    grid->addWidget(label(QStringLiteral("Label6"), QStringLiteral("轉檔月份")), 0, 0);
    auto *period = new QHBoxLayout;
    period->addWidget(txtYear);
    period->addWidget(txtMonth);
    period->addWidget(label(QStringLiteral("Label2"), QStringLiteral("(年/月)")));
    period->addStretch(1);
    grid->addLayout(period, 0, 1, 1, 4);

    txtDeptNoB = textBox(QStringLiteral("txtDeptNoB"));
    txtDeptNameB = textBox(QStringLiteral("txtDeptNameB"), true);
    txtStockNo = textBox(QStringLiteral("txtStockNo"));
    txtStockNo->setMaximumWidth(50);
    grid->addWidget(label(QStringLiteral("Label1"), QStringLiteral("部門")), 1, 0);
    grid->addWidget(txtDeptNoB, 1, 1);
    grid->addWidget(txtDeptNameB, 1, 2);
    grid->addWidget(txtStockNo, 1, 3);
    grid->addWidget(label(QStringLiteral("Label9"), QStringLiteral("(只能選有設定倉庫別的部門)")),
                    1, 4);

    txtSTKNoB = textBox(QStringLiteral("txtSTKNoB"));
    txtSTKNoE = textBox(QStringLiteral("txtSTKNoE"));
    txtSTKNameB = textBox(QStringLiteral("txtSTKNameB"), true);
    txtSTKNameE = textBox(QStringLiteral("txtSTKNameE"), true);
    grid->addWidget(label(QStringLiteral("Label5"), QStringLiteral("物料代號")), 2, 0);
    grid->addWidget(txtSTKNoB, 2, 1);
    grid->addWidget(txtSTKNameB, 2, 2);
    grid->addWidget(label(QStringLiteral("Label10"), QStringLiteral("-至-")), 3, 0, Qt::AlignRight);
    grid->addWidget(txtSTKNoE, 3, 1);
    grid->addWidget(txtSTKNameE, 3, 2);

    txtSINDateB = textBox(QStringLiteral("txtSINDateB"), true);
    txtSINDateE = textBox(QStringLiteral("txtSINDateE"), true);
    grid->addWidget(label(QStringLiteral("Label3"), QStringLiteral("日期區間:")), 4, 0);
    grid->addWidget(txtSINDateB, 4, 1);
    grid->addWidget(label(QStringLiteral("Label4"), QStringLiteral("-至-")), 4, 2, Qt::AlignLeft);
    grid->addWidget(txtSINDateE, 4, 3, 1, 2);

    txtLType = textBox(QStringLiteral("txtLType"));
    grid->addWidget(label(QStringLiteral("lblLType"), QStringLiteral("物料大類別")), 5, 0);
    grid->addWidget(txtLType, 5, 1);

    chkUseUUnit = checkBox(QStringLiteral("chkUseUUnit"), QStringLiteral("使用耗用單位"));
    chkAutoCalQty = checkBox(QStringLiteral("chkAutoCalQty"), QStringLiteral("不顯示盤盈虧"), true);
    chkSortBySTKFlag =
        checkBox(QStringLiteral("chkSortBySTKFlag"), QStringLiteral("要入庫的物料排在前面"));
    grid->addWidget(chkUseUUnit, 6, 1);
    grid->addWidget(chkAutoCalQty, 6, 2);
    grid->addWidget(chkSortBySTKFlag, 6, 3, 1, 2);

    cmdQry = button(QStringLiteral("cmdQry"), QStringLiteral("&Q 查詢"));
    cmdQry->setMinimumHeight(36);
    grid->addWidget(cmdQry, 7, 1);
    return elapage[0];
}

QWidget *fmTOVRAN::buildDataPage()
{
    elapage[1] = named(new QWidget, QStringLiteral("elapage(1)"));
    auto *page = new QVBoxLayout(elapage[1]);

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
    // Last: the item box keeps its place whoever sees the review.
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
    options->addWidget(chkHideSTKFlag);
    options->addWidget(chkHideAvgPrice);
    options->addWidget(chkHideDscp);
    options->addWidget(chkNoDisplayQtyIsZero);
    chkShowRecount = checkBox(QStringLiteral("chkShowRecount"), QStringLiteral("顯示複盤欄"));
    options->addWidget(chkShowRecount);
    options->addStretch(1);
    page->addLayout(options);
    elaCount = new CountLinesBar;
    page->addWidget(elaCount);

    m_counting = new StockCounting(this);
    m_model = new StockMonthModel(m_counting->month(), this);
    fgList = named(new StockGridView(m_model), QStringLiteral("fgList"));
    page->addWidget(fgList, 1);
    return elapage[1];
}

QWidget *fmTOVRAN::buildSettingsPage()
{
    vsElastic1 = named(new QWidget, QStringLiteral("vsElastic1"));
    auto *grid = new QGridLayout(vsElastic1);
    txtKXPrinter = textBox(QStringLiteral("txtKXPrinter"));
    cmdListPrinter[0] = button(QStringLiteral("cmdListPrinter(0)"), QStringLiteral("..."));
    grid->addWidget(label(QStringLiteral("Label11"), QStringLiteral("KX印表機名稱:")), 0, 0);
    grid->addWidget(txtKXPrinter, 0, 1);
    grid->addWidget(cmdListPrinter[0], 0, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(1, 1);
    return vsElastic1;
}

void fmTOVRAN::connectHandlers()
{
    connect(cmdQry, &QPushButton::clicked, this, &fmTOVRAN::cmdQry_Click);
    connect(cmdExit, &QPushButton::clicked, this, &fmTOVRAN::cmdExit_Click);
    connect(cmdSeekSTKNo, &QPushButton::clicked, this, &fmTOVRAN::cmdSeekSTKNo_Click);
    connect(cmdPrintRpt, &QPushButton::clicked, this, &fmTOVRAN::cmdPrintRpt_Click);
    connect(cmdCountSheet, &QPushButton::clicked, this, &fmTOVRAN::cmdCountSheet_Click);
    connect(cmdPrintByMistra[0], &QPushButton::clicked, this,
            [this] { cmdPrintByMistra_Click(0); });
    connect(cmdPrintByMistra[1], &QPushButton::clicked, this,
            [this] { cmdPrintByMistra_Click(1); });
    connect(cmdListPrinter[0], &QPushButton::clicked, this, [this] { cmdListPrinter_Click(0); });
    connect(cmdVariance, &QPushButton::clicked, this, &fmTOVRAN::cmdVariance_Click);

    // Setting a box to another value runs its handler, by the user or by the
    // program.
    connect(chkAutoCalQty, &QCheckBox::toggled, this, &fmTOVRAN::chkAutoCalQty_Click);
    connect(chkHideAvgPrice, &QCheckBox::toggled, this, &fmTOVRAN::chkHideAvgPrice_Click);
    connect(chkHideDscp, &QCheckBox::toggled, this, &fmTOVRAN::chkHideDscp_Click);
    connect(chkHideSTKFlag, &QCheckBox::toggled, this, &fmTOVRAN::chkHideSTKFlag_Click);
    connect(chkNoDisplayQtyIsZero, &QCheckBox::toggled, this,
            &fmTOVRAN::chkNoDisplayQtyIsZero_Click);
    connect(chkUseUUnit, &QCheckBox::toggled, this, &fmTOVRAN::chkUseUUnit_Click);

    connect(elaMsg, &ElasticPanel::clicked, this, [this] { elaMsg->setCaption(QString()); });
    connect(txtSeekItem, &QLineEdit::textChanged, this, &fmTOVRAN::txtSeekItem_Change);

    connect(fgList, &StockGridView::beforeEdit, this, &fmTOVRAN::fgList_BeforeEdit);
    connect(fgList, &StockGridView::clicked, this, &fmTOVRAN::fgList_Click);
    m_model->setEditHandler([this](int index, int col, const QString &text) {
        return fgList_ValidateEdit(index, col, text);
    });
    // The grid follows the month's counting.
    connect(m_counting, &StockCounting::reset, this, &fmTOVRAN::fillGrid);
    connect(m_counting, &StockCounting::rowAppended, m_model, &StockMonthModel::rowAppended);
    connect(m_counting, &StockCounting::rowChanged, m_model, &StockMonthModel::rowChanged);
    connect(m_counting, &StockCounting::rowChangedElsewhere, this, &fmTOVRAN::applyZeroRule);
    m_counting->setEditedRow(
        [this] { return fgList->isEditing() ? fgList->currentMonthRow() : -1; });
    connectCountLines();

    // The window sees the keys and clicks of its boxes first (and clicks where
    // they reach the window, before the focus moves).
    qApp->installEventFilter(this);
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
        focusFirstCriteriaBox();
    });
}

void fmTOVRAN::InitForm()
{
    ReportErrors(QStringLiteral("InitForm"), [&] {
        tabPage->setCurrentIndex(0);
        ClearCtl(this);
        m_params = Params();
        getParamValue(QStringLiteral("StockEndDate"), m_params.StockEndDate);

        const QString defDept =
            GetSetting(QStringLiteral("STK"), QStringLiteral("A1"), QStringLiteral("DEFDEPTNO"));
        bool stop = false;
        if (!defDept.isEmpty()) {
            txtDeptNoB->setText(defDept);
            Ado::Recordset rs = Conn().gCNT->execute(
                QStringLiteral(" Select Compno, CompSName ") + Dialect().gsConcatOp +
                QStringLiteral(" DeptNo as DeptName ,StockNo From Corp ") +
                QStringLiteral(" Where Compno = ") + QuotStr(txtDeptNoB->text()) +
                QStringLiteral(" Order by CompNO "));
            if (rs.eof()) {
                DispElaMsg(elaMsg, QStringLiteral("無此部門代號"));
                txtDeptNameB->clear();
                SelText(txtDeptNoB);
                stop = true;
            } else {
                const int stockNo = ValInt(rs.text(QStringLiteral("StockNo")));
                if (stockNo < 1 || stockNo > 10) {
                    DispElaMsg(elaMsg, QStringLiteral("倉庫碼錯誤"));
                    SelText(txtDeptNoB);
                    stop = true;
                } else {
                    txtStockNo->setText(QString::number(stockNo));
                    txtDeptNameB->setText(rs.text(QStringLiteral("DeptName")));
                    SetTabStop(txtDeptNoB, true);
                    txtDeptNoB->setEnabled(true);
                }
            }
        } else {
            txtDeptNoB->clear();
            SetTabStop(txtDeptNoB, true);
            txtDeptNoB->setEnabled(true);
        }

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
            txtKXPrinter->setText(GetSetting(QStringLiteral("GL"), QStringLiteral("TOVSEL"),
                                             QStringLiteral("KXPrinter")));

            // The proposed period: the month before today.
            const QDate p = Clock::today().addMonths(-1);
            txtYear->setText(QString::number(UsesRocCalendar() ? p.year() - 1911 : p.year()));
            txtMonth->setText(QString::number(p.month()));
            LockCtl(this);

            if (getParamValue(QStringLiteral("UseSOut"), m_params.UseSOut))
                m_params.UseSOut = m_params.UseSOut.toUpper();
            else
                m_params.UseSOut = QStringLiteral("N");
            if (m_params.UseSOut == QLatin1String("Y")) {
                chkSortBySTKFlag->setChecked(false);
                chkSortBySTKFlag->setVisible(false);
            }

            // The titles are the model's.
            for (int c : {0, 1, 2, 9, 11, 19, 15, 13, 20})
                fgList->setColumnHidden(c, true);
            fgList->setColumnHidden(ColFlag, false);
            fgList->setColumnHidden(ColOutQty, m_params.UseSOut != QLatin1String("Y"));

            const QString exe = ProgramName();
            const QString stock = QString::fromLatin1(StockSection);
            chkAutoCalQty->setChecked(Val(GetSetting(exe, stock, QStringLiteral("chkAutoCalQty"),
                                                     QStringLiteral("0"))) != 0);
            chkNoDisplayQtyIsZero->setChecked(
                Val(GetSetting(exe, stock, QStringLiteral("chkNoDisplayQtyIsZero"),
                               QStringLiteral("0"))) != 0);
            // A department on issue slips has the flag order hidden: a saved choice must
            // not order its rows unseen.
            if (m_params.UseSOut != QLatin1String("Y"))
                chkSortBySTKFlag->setChecked(
                    Val(GetSetting(exe, stock, QStringLiteral("chkSortBySTKFlag"),
                                   QStringLiteral("Y"))) != 0);
            chkUseUUnit->setChecked(GetSetting(QStringLiteral("NORV"), QStringLiteral("STK"),
                                               QStringLiteral("UseUUnit")) == QLatin1String("Y"));
            fillGrid();
        }
        applyCountingView();
    });
    setWindowState(windowState() | Qt::WindowMaximized);
}

void fmTOVRAN::focusFirstCriteriaBox()
{
    for (QLineEdit *box : {txtYear, txtMonth, txtDeptNoB, txtSTKNoB, txtSTKNoE, txtLType}) {
        if (box->isEnabled() && HasTabStop(box)) {
            box->setFocus();
            box->selectAll();
            return;
        }
    }
}

void fmTOVRAN::cmdExit_Click()
{
    try {
        elaMsg->setCaption(QString());
        if (!MsgBox::askYesNo(QStringLiteral("確定要離開嗎?"), MsgBox::Icon::Information))
            return;
        const QString exe = ProgramName();
        const QString stock = QString::fromLatin1(StockSection);
        SaveSetting(exe, stock, QStringLiteral("chkAutoCalQty"),
                    chkAutoCalQty->isChecked() ? "1" : "0");
        SaveSetting(exe, stock, QStringLiteral("chkNoDisplayQtyIsZero"),
                    chkNoDisplayQtyIsZero->isChecked() ? "1" : "0");
        SaveSetting(exe, stock, QStringLiteral("chkSortBySTKFlag"),
                    chkSortBySTKFlag->isChecked() ? "1" : "0");
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

int fmTOVRAN::criteriaYear() const
{
    const double year = Val(txtYear->text());
    return IsCalendarYear(year) ? WesternYear(static_cast<int>(year)) : 0;
}

int fmTOVRAN::criteriaMonth() const
{
    const double month = Val(txtMonth->text());
    return month >= 1 && month < 13 ? static_cast<int>(month) : 0;
}

bool fmTOVRAN::IsCalendarYear(double typedYear)
{
    if (typedYear != std::floor(typedYear) || typedYear < 1 || typedYear > 9999)
        return false;
    const int western = WesternYear(static_cast<int>(typedYear));
    return western >= 1 && western <= 9999;
}

bool fmTOVRAN::isBookKept(const QString &stockFlag) const
{
    return stockFlag.toUpper() == QLatin1String("Y") && m_params.UseSOut == QLatin1String("Y") &&
           Val(txtStockNo->text()) == 1;
}
