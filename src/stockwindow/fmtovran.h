#pragma once

#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;
class CountLinesBar;
class CriteriaPage;
class ElasticPanel;
class SettingsPage;
class StockDataPage;
class StockGridView;
class StockMonthModel;
class StockCounting;
class frmVariance;
struct StockReportCriteria;

// The monthly stock window: a view of the month's counting. Its pages are the query
// criteria, the month's data (grid, display options, print commands) and the settings;
// below them the message line and the exit command. The program's only main window.
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
    bool GetData();
    // The item's row once added (-1: refused, the window said why).
    int AddToStock(int year, int month, const QString &deptNo, const QString &stkNo);

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

    // Whether the user may open the variance review (not for users who count blind): the
    // button shown or hidden, an open review closed.
    void setVarianceReviewOffered(bool offered);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildHead();
    void buildStatusBand();
    void connectHandlers();

    void cmdQry_Click();
    void cmdExit_Click();
    void cmdSeekSTKNo_Click(const QString &typed);
    void cmdPrintRpt_Click();
    void cmdPrintByMistra_Click(int index);
    void cmdCountSheet_Click();
    void cmdCountHistory_Click();
    void cmdVariance_Click();
    void cmdCountDetail_Click();

    // A text on the message line, flashed.
    void say(const QString &text);
    // What the signed-in user sees of the month (blind counting): set on the model, the
    // columns it does not show hidden for good, the options and slips of the books not
    // offered.
    void applyCountingView();
    // The heading of the month's printouts: the month last queried.
    StockReportCriteria reportCriteria() const;

    // Stock grid: the view of the month model. Rows are named by their month row.
    void formatAfterQuery();
    void fillGrid();
    StockMonthSelection gridSelection(bool visibleRowsOnly) const;
    QString stockConditions() const;
    // Whether the criteria boxes still name the loaded month (scans add to it).
    bool criteriaNameLoadedMonth() const;

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
    // The precision of a count as the grid shows it.
    int countPrecision() const;

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

    // Controls of the window itself (names as the suite's forms name them); the pages own
    // theirs.
    ElasticPanel *elaHead = nullptr;
    QLabel *lblHead[3] = {};
    ElasticPanel *elaSBar = nullptr;
    QPushButton *cmdExit = nullptr;
    ElasticPanel *elaMsg = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lblMode = nullptr;
    QTabWidget *tabPage = nullptr;
    CriteriaPage *m_criteria = nullptr;
    StockDataPage *m_data = nullptr;
    SettingsPage *m_settings = nullptr;
    StockGridView *fgList = nullptr;   // the data page's grid
    CountLinesBar *elaCount = nullptr; // the data page's counting controls

    bool m_loaded = false;
    bool m_focusGridWhenEnabled = false;
    Params m_params;
    StockCounting *m_counting = nullptr;
    StockMonthModel *m_model = nullptr;
    LoadProgressTiming m_loadProgress;
    QPointer<frmVariance> m_variance; // open until closed
};
