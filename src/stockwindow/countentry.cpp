// Counting by location and by scanning: the current row's count lines shown, a scan
// counted on the location's line, the count history with its undo.
#include "stockwindow/fmtovran.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "data/adodb.h"
#include "forms/formhelpers.h"
#include "platform/settingsstore.h"
#include "platform/widgets/elasticpanel.h"
#include "stock/stockcounting.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/frmcounthistory.h"
#include "stockwindow/frmcountimport.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

#include "common/clock.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>

namespace {

// The largest count a line takes, as the count column's.
constexpr double MaxCount = 9999999.99;

} // namespace

void fmTOVRAN::connectCountLines()
{
    m_model->setCountOf(
        [this](int index) -> const RowCount & { return m_counting->rowCount(index); });
    connect(elaCount, &CountLinesBar::locationChanged, this,
            [this](const QString &location) { m_counting->setLocation(location); });
    connect(m_counting, &StockCounting::countLinesUnavailable, this, [this] {
        elaCount->setLinesOff();
        DispElaMsg(elaMsg, QStringLiteral("無法建立盤點明細檔 STOCKCNT: 盤點區位與盤點紀錄不使用"));
    });
    connect(fgList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &fmTOVRAN::showCurrentLines);
    connect(m_counting, &StockCounting::rowChanged, this, [this](int index) {
        if (index == fgList->currentMonthRow())
            showCurrentLines();
    });
    connect(m_counting, &StockCounting::reset, this, &fmTOVRAN::showCurrentLines);
    connect(elaCount, &CountLinesBar::historyRequested, this, &fmTOVRAN::cmdCountHistory_Click);
    connect(elaCount, &CountLinesBar::importRequested, this, &fmTOVRAN::cmdImport_Click);
    connect(elaCount, &CountLinesBar::detailRequested, this, &fmTOVRAN::cmdCountDetail_Click);
}

void fmTOVRAN::showCurrentLines()
{
    elaCount->showLines(m_model->countLinesText(fgList->currentMonthRow()));
}

bool fmTOVRAN::countInProgress() const
{
    return m_counting->countLinesOn() && !m_counting->location().isEmpty();
}

bool fmTOVRAN::splitScan(const QString &text, double *n, QString *code, QString *why) const
{
    *n = 1;
    *code = text;
    const qsizetype star = text.indexOf(QLatin1Char('*'));
    if (!elaCount->scanCounting() || star < 0)
        return true;
    const QString count = text.left(star).trimmed();
    *code = text.mid(star + 1).trimmed();
    if (!IsNumeric(count) || Val(count) <= 0 || Val(count) > MaxCount) {
        *why = QStringLiteral("掃描數量「%1」不是 0 到 9,999,999.99 之間的數字, 未計數").arg(count);
        return false;
    }
    *n = Val(count);
    return true;
}

bool fmTOVRAN::scanCount(int index, double n)
{
    const bool bookKept = isBookKept(month().text(index, ColFlag));
    const int precision = countPrecision();
    const EditOutcome outcome = m_counting->scanCount(index, bookKept, n, precision, sayWaiting());
    if (!showEditOutcome(index, outcome, ColSTKQty))
        return false;
    elaMsg->setCaption(
        QStringLiteral("%1 +%2 = %3")
            .arg(month().text(index, ColSTKNo), NumText(n), month().text(index, ColSTKQty)));
    return true;
}

bool fmTOVRAN::undoCount(int index)
{
    const bool bookKept = isBookKept(month().text(index, ColFlag));
    const int precision = countPrecision();
    return ReportErrors(QStringLiteral("fmTOVRAN_undoCount"), [&] {
        return showEditOutcome(
            index, m_counting->undoLastCount(index, bookKept, precision, sayWaiting()), ColSTKQty);
    });
}

void fmTOVRAN::cmdCountHistory_Click()
{
    const int index = fgList->currentMonthRow();
    if (index < 0 || !m_counting->countLinesOn()) {
        DispElaMsg(elaMsg, QStringLiteral("請先選擇要查看盤點紀錄的物料"));
        return;
    }
    const auto rno = static_cast<qint64>(month().at(index).stored.Rno);
    const double factor = month().factor(index);
    const bool useUnit = month().useUnit();
    frmCountHistory history(
        month().text(index, ColSTKNo) + QLatin1Char(' ') + month().text(index, ColName),
        [&] {
            QList<CountLine> lines = ReportErrors(QStringLiteral("fmTOVRAN_cmdCountHistory"), [&] {
                return ReadCountHistory(m_counting->connection(), rno);
            });
            for (CountLine &line : lines)
                line.qty = StockMonth::shownQuantity(line.qty, factor, useUnit);
            return lines;
        },
        [&] { return undoCount(index); }, this);
    history.exec();
    fgList->setFocus();
}

void fmTOVRAN::cmdImport_Click()
{
    if (!month().isLoaded() || !criteriaNameLoadedMonth()) {
        DispElaMsg(elaMsg, QStringLiteral("請先查詢要匯入盤點的月份"));
        return;
    }
    // The dialog opens in the folder of the last file imported here while it exists (a
    // handheld's files are copied to one folder), else in the home folder: never in a
    // folder since removed, where the dialog would not take up a file name.
    const QString lastFolder =
        GetSetting(QStringLiteral("TOVRAN"), QStringLiteral("Count"), QStringLiteral("ImportDir"));
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("匯入盤點檔"),
        !lastFolder.isEmpty() && QFileInfo(lastFolder).isDir() ? lastFolder : QDir::homePath(),
        QStringLiteral("盤點檔 (*.txt *.csv *.tsv);;所有檔案 (*)"));
    if (path.isEmpty())
        return;
    SaveSetting(QStringLiteral("TOVRAN"), QStringLiteral("Count"), QStringLiteral("ImportDir"),
                QFileInfo(path).absolutePath());
    const QDate limit = deadline(month().period().end);
    const bool pastDeadline = limit.isValid() && limit < Clock::today();
    frmCountImport preview(
        [this](const CountImportPlan &plan, QString *error) { return applyImport(plan, error); },
        this);
    preview.read(
        path, month(),
        [](const QString &item) {
            return !Conn()
                        .gCNT
                        ->execute(QStringLiteral("Select STKNo From STK Where STKNo = ") +
                                  QuotField(item))
                        .eof();
        },
        pastDeadline);
    preview.exec();
    if (preview.applied())
        elaMsg->setCaption(
            QStringLiteral("已匯入 %1 筆盤點").arg(preview.plan().totals().accepted));
    fgList->setFocus();
}

bool fmTOVRAN::applyImport(const CountImportPlan &plan, QString *error)
{
    // Items the month lacks are added as a scan adds them; then every line in one
    // transaction.
    QHash<QString, int> added;
    const StockMonth::Period period = month().period();
    for (const QString &item : plan.itemsToAdd()) {
        const int index = AddToStock(period.year, period.month, period.deptNo, item);
        setEnabled(true); // a refused add disables the window for a scan's end
        if (index < 0) {
            *error = QStringLiteral("無法新增物料 %1 的庫存紀錄, 未匯入").arg(item);
            return false;
        }
        added.insert(item, index);
    }
    const auto lines = plan.importLines(added);
    if (!lines) {
        *error = QStringLiteral("有物料不在本月資料中, 未匯入");
        return false;
    }
    const int precision = countPrecision();
    const EditOutcome outcome = m_counting->applyImport(
        *lines, [this](int index) { return isBookKept(month().text(index, ColFlag)); }, precision);
    if (outcome.result == EditOutcome::Written)
        return true;
    *error = outcome.result == EditOutcome::ChangedElsewhere
                 ? QStringLiteral("物料 %1 的帳面資料已被 %2 修改, 整批未匯入, 請確認後再匯入")
                       .arg(outcome.record.STKNo, outcome.record.UpdUserID)
             : outcome.result == EditOutcome::LockTimeout
                 ? QStringLiteral("另一工作站正在存檔, 整批未匯入, 請稍後再試")
                 : QStringLiteral("庫存紀錄無法更新, 整批未匯入");
    return false;
}
