#pragma once

#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"

#include <QDate>
#include <QList>
#include <QMainWindow>
#include <QSet>
#include <QString>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QWidget;
class CountLinesBar;
class ElasticPanel;
class StockGridView;
class StockMonthModel;
class StockCounting;
struct StockReportCriteria;
namespace Ado {
class Recordset;
}

// The monthly stock window: the query criteria, the month's stock grid, the
// display options, the print commands and the exit command. The program's only
// main window.
class fmTOVRAN : public QMainWindow, public StockColumns
{
    Q_OBJECT
public:
    // The window's parameters, read from the parameter table when it is set up.
    struct Params
    {
        QString StockEndDate;
        QString POSMode;
        QString FontName;
        QString UseRcvWork;
        QString UseSOut;
    };

    explicit fmTOVRAN(QWidget *parent = nullptr);
    ~fmTOVRAN() override;

    // Loads the window on first use (Form_Load) and shows it maximised.
    void showWindow();
    bool isLoaded() const { return m_loaded; }

    const Params &params() const { return m_params; }
    // The loaded month: the one home of the figures the grid shows.
    const StockMonth &month() const;
    // The month's counting the window shows.
    StockCounting &counting() const { return *m_counting; }

    // Procedures of the window.
    void Form_Load();
    void InitForm();
    bool FormCheck();
    bool GetData();
    // The item's row once added (-1: refused, the window said why).
    int AddToStock(int year, int month, const QString &deptNo, const QString &stkNo);
    QString GetLTYPE();

    // Western year, month and period end of the criteria as typed.
    int criteriaYear() const;
    int criteriaMonth() const;
    // A whole year as typed (ROC or Western) that names a calendar year.
    static bool IsCalendarYear(double typedYear);

    // A load that lasts longer than showAfterMs shows its progress on the message line and
    // repaints the window every repaintEveryMs (tests lower both).
    struct LoadProgressTiming
    {
        int showAfterMs = 500;
        int repaintEveryMs = 250;
    };
    void setLoadProgressTiming(const LoadProgressTiming &timing) { m_loadProgress = timing; }

    // Book-kept: stock flag "Y", issue slips in use and warehouse 1.
    bool isBookKept(const QString &stockFlag) const;

    // Controls (names as the suite's forms name them).
    ElasticPanel *elaHead = nullptr;
    QLabel *lblHead[3] = {};
    ElasticPanel *elaSBar = nullptr;
    QPushButton *cmdExit = nullptr;
    ElasticPanel *elaMsg = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lblMode = nullptr;
    QTabWidget *tabPage = nullptr;
    QWidget *elapage[2] = {};
    QWidget *vsElastic1 = nullptr;

    QLineEdit *txtYear = nullptr;
    QLineEdit *txtMonth = nullptr;
    QLineEdit *txtDeptNoB = nullptr;
    QLineEdit *txtDeptNameB = nullptr;
    QLineEdit *txtStockNo = nullptr;
    QLineEdit *txtSTKNoB = nullptr;
    QLineEdit *txtSTKNoE = nullptr;
    QLineEdit *txtSTKNameB = nullptr;
    QLineEdit *txtSTKNameE = nullptr;
    QLineEdit *txtSINDateB = nullptr;
    QLineEdit *txtSINDateE = nullptr;
    QLineEdit *txtLType = nullptr;
    QCheckBox *chkUseUUnit = nullptr;
    QCheckBox *chkAutoCalQty = nullptr;
    QCheckBox *chkSortBySTKFlag = nullptr;
    QPushButton *cmdQry = nullptr;

    StockGridView *fgList = nullptr;
    QPushButton *cmdPrintRpt = nullptr;
    QPushButton *cmdPrintByMistra[2] = {};
    QPushButton *cmdCountSheet = nullptr;
    QComboBox *cboCountSheetOrder = nullptr; // the count sheet's order: item number, location
    QPushButton *cmdSeekSTKNo = nullptr;
    QLineEdit *textSTKNo = nullptr;
    QLineEdit *txtSeekItem = nullptr;
    QCheckBox *chkHideSTKFlag = nullptr;
    QCheckBox *chkHideAvgPrice = nullptr;
    QCheckBox *chkHideDscp = nullptr;
    QCheckBox *chkNoDisplayQtyIsZero = nullptr;
    QCheckBox *chkShowRecount = nullptr;
    CountLinesBar *elaCount = nullptr; // location, scan counting, history, import

    QLineEdit *txtKXPrinter = nullptr;
    QPushButton *cmdListPrinter[1] = {};
    QMenu *pupFGMenu = nullptr;

public Q_SLOTS:
    void cmdQry_Click();
    void cmdExit_Click();
    void cmdSeekSTKNo_Click();
    void cmdPrintRpt_Click();
    void cmdPrintByMistra_Click(int index);
    void cmdCountSheet_Click();
    void cmdListPrinter_Click(int index);

    void chkAutoCalQty_Click();
    void chkHideAvgPrice_Click();
    void chkHideDscp_Click();
    void chkHideSTKFlag_Click();
    void chkNoDisplayQtyIsZero_Click();
    void chkUseUUnit_Click();
    void chkShowRecount_Click();
    void cmdCountHistory_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildHead();
    void buildStatusBand();
    QWidget *buildCriteriaPage();
    QWidget *buildDataPage();
    QWidget *buildSettingsPage();
    void connectHandlers();

    // What the signed-in user sees of the month (blind counting): set on the model, the
    // columns it does not show hidden for good, the options and slips of the books not
    // offered.
    void applyCountingView();
    // Shows or hides a column as a display option asks, never one the user may not see.
    void setColumnShown(int col, bool shown);
    // The heading of the month's printouts: the month last queried.
    StockReportCriteria reportCriteria() const;

    // Criteria boxes: key handling, pickers and validation on leaving.
    bool isCriteriaBox(const QObject *object) const;
    bool criteriaKeyDown(QLineEdit *box, QKeyEvent *event);
    void openPicker(QLineEdit *box);
    bool validateBox(QLineEdit *box);
    bool validateFocusedBox();
    void refuse(QLineEdit *box, const QString &message);

    // Stock grid: the view of the month model. Rows are named by their month row.
    void formatAfterQuery();
    void fillGrid();
    void appendGridRow(int index);
    StockMonthSelection gridSelection(bool visibleRowsOnly) const;
    void applyZeroRule(int index);
    bool isZeroRow(int index) const;
    QString stockConditions() const;
    // Whether the criteria boxes still name the loaded month (scans add to it).
    bool criteriaNameLoadedMonth() const;
    // The first criteria box open to input takes the focus: the clerk types right away.
    void focusFirstCriteriaBox();

    // Entry: a count or price of the row, checked, written and shown as stored.
    bool enterCount(int index, double x, bool fromGrid);
    bool enterPrice(int index, double x);
    bool showEditOutcome(int index, const struct EditOutcome &outcome, int col);
    // Says on the message line that an edit waits for another workstation's save.
    std::function<void()> sayWaiting();
    static QString waitingMessage();
    void fgList_BeforeEdit(int index, int col, bool *cancel);
    // Checks, writes and shows an edit of the row's count or price; false: refused.
    bool fgList_ValidateEdit(int index, int col, const QString &editText);
    void fgList_Click();
    void txtSeekItem_Change();
    void txtLType_DblClick();

    // The row shown (whatever the display options) and current in the count column.
    void moveToCountCell(int index);

    // Count lines: the current row's lines shown, a scan counted, the row's last change
    // undone.
    void connectCountLines();
    void showCurrentLines();
    bool scanCount(int index, double n);
    bool undoCount(int index);
    // "n*code" with scan counting on: the number of pieces and the code (1 and the text
    // otherwise); false with the reason when n is no count.
    bool splitScan(const QString &text, double *n, QString *code, QString *why) const;
    // The last day a month of this period end may be counted (invalid: no deadline).
    QDate deadline(const QDate &periodEnd) const;
    // Counts from a handheld file: previewed, then written all or nothing.
    void cmdImport_Click();
    bool applyImport(const struct CountImportPlan &plan, QString *error);
    // A count typed at a location or scanned is a count in progress.
    bool countInProgress() const;

    bool m_loaded = false;
    bool m_validating = false;
    QLineEdit *m_editingBox = nullptr; // the criteria box to validate when it is left
    bool m_focusGridWhenEnabled = false;
    Params m_params;
    StockCounting *m_counting = nullptr;
    StockMonthModel *m_model = nullptr;
    LoadProgressTiming m_loadProgress;
};
