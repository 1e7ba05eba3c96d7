// Counting with count lines on a large month, as the clerk does it in the stock window, with
// a location typed into txtLocation and a few thousand count lines already in STOCKCNT (two
// of every hundredth record: a current line of another location and the voided one before
// it): a count typed into the grid's count cell and committed with Enter (the location's line
// written, the row's count the sum of its lines), and a scan with scan counting on (item
// number or "3*item" into textSTKNo, then Enter: the item found, its line written, the grid
// repainted). At 200,000 stock records against 50,000 (the entry benchmark's two larger
// databases, 5,000,000 and 1,000,000 slip lines), medians of 30.
// And a handheld count file imported through cmdImport into the 200,000-row month: the file
// picked in the file dialog until the preview shows every line and the totals (read, plan,
// preview), then Enter in the preview until the window shows the written rows (items the
// month lacks added, every line in one transaction); 10,000 lines against 1,000.
// Goals: a typed count and a scan count at most 50 ms at 200,000 rows; an import of 10,000
// lines, preview and apply, under 10 s.
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/transaction.h"
#include "stock/countlines.h"
#include "stock/stockcounting.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/fmtovran.h"
#include "stockwindow/frmcountimport.h"
#include "stockwindow/stockgridview.h"
#include "support/benchdb.h"
#include "support/controls.h"
#include "support/entryruns.h"
#include "support/scanner.h"
#include "support/showngrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

using Kind = BenchDatabase::Kind;
using Scale = EntryScale;
constexpr int Repetitions = 30;
constexpr int ImportRuns = 2;
const QString Location = QStringLiteral("貨架");
const QStringList FileLocations{QStringLiteral("前場"), QStringLiteral("倉庫"), Location};

struct Setup : EntrySetup
{
    int importRuns = 0; // imports so far: each takes other rows
};
using Runs = EntryRuns<Setup>;

double scalar(const QString &sql)
{
    Ado::Recordset rs = Conn().gCNT->execute(sql);
    return rs.eof() ? 0 : rs.number(0);
}

// Two lines of one record in a hundred of each of the department's months (their records are
// numbered alternately): a count of the front of the store equal to the record's count, and
// the voided one it replaced. The table as a store has it some days into the stocktake,
// every record still the sum of its current lines.
void seedCountLines()
{
    const QString select =
        QStringLiteral("Select RNo, '前場', STKQty%1, 'SEED', 'BENCH', %2, 'T', %3, STKQty "
                       "From STOCK Where DeptNo = 'A01' And RNo % 200 < 2 Order By RNo");
    const QString insert = QStringLiteral(
        "Insert Into STOCKCNT (RNo, Location, Qty, UserID, PCName, CntDate, Kind, VoidDate, "
        "VoidUserID, RowQty) ");
    const QString now = Dialect().gsDBDate;
    Ado::Transaction transaction(*Conn().gCNT);
    Conn().gCNT->executeNonQuery(insert +
                                 select.arg(QStringLiteral(" + 1"), now, now + ", 'SEED'"));
    Conn().gCNT->executeNonQuery(insert + select.arg(QString(), now, QStringLiteral("Null, Null")));
    transaction.commit();
}

// The month opened at the clerk's location (typed and entered), with lines in STOCKCNT.
Setup *setupFor(Kind kind, Scale scale)
{
    return Runs::get(kind, scale, [](Setup &s) {
        if (!EnsureCountLineTable(Conn().gCNT))
            return false;
        seedCountLines();
        s.window = OpenMonth();
        QLineEdit *box = Control<QLineEdit>(*s.window, "txtLocation");
        box->setFocus();
        box->selectAll();
        box->insert(Location);
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
        return true;
    });
}

// The setup of a benchmark, its database shared; nullptr (the benchmark ended) when none.
Setup *ready(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = setupFor(kind, scale);
    if (!s) {
        SkipBench(state, QStringLiteral("database not available in this run"));
        return nullptr;
    }
    s->db->makeShared();
    return s;
}

// Records whose count is not the sum of their current lines (none, whatever was written).
int recordsOffTheirLines()
{
    return int(scalar(QStringLiteral(
        "Select Count(*) From STOCK s Where Exists (Select 1 From STOCKCNT c Where c.RNo = s.RNo "
        "And c.VoidDate Is Null) And Abs(s.STKQty - (Select Sum(c.Qty) From STOCKCNT c Where "
        "c.RNo = s.RNo And c.VoidDate Is Null)) > 0.001")));
}

int linesOfKind(char kind)
{
    return int(scalar(
        QStringLiteral("Select Count(*) From STOCKCNT Where Kind = '%1'").arg(QLatin1Char(kind))));
}

// The median and the sizes, with the count lines the table holds.
void report(benchmark::State &state, Setup &s, Kind kind, Scale scale, const char *what,
            const QList<double> &times)
{
    Runs::report(state, s, kind, scale, what, times);
    state.counters["count_lines"] = scalar(QStringLiteral("Select Count(*) From STOCKCNT"));
}

// Month rows at shown rows spread over the grid, alternately with count lines and without.
QList<int> spreadRows(const fmTOVRAN &window, int count)
{
    const StockGridView &grid = *Control<StockGridView>(window, "fgList");
    const int shown = ShownGrid::rows(grid);
    QList<int> withLines, without;
    for (qint64 i = 0; i < shown && (withLines.size() < count || without.size() < count); ++i) {
        const int row = ShownGrid::monthRow(grid, int((i * 7919) % shown));
        QList<int> &list = window.counting().rowCount(row).hasLines() ? withLines : without;
        if (list.size() < count)
            list << row;
    }
    QList<int> rows;
    for (int i = 0; i < count && i / 2 < qMin(withLines.size(), without.size()); ++i)
        rows << (i % 2 ? without : withLines)[i / 2];
    return rows;
}

// A count typed into the count cell of a shown row and committed with Enter, at the
// location: its line written, the row's count the sum of its lines, the row repainted.
void BM_LineCount(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = ready(state, kind, scale);
    if (!s)
        return;
    fmTOVRAN &w = *s->window;
    StockGridView &grid = *Control<StockGridView>(w, "fgList");
    const QList<int> rows = spreadRows(w, Repetitions);
    if (rows.size() < Repetitions) {
        SkipBench(state, QStringLiteral("the month did not load or has too few counted rows"));
        return;
    }
    const int typedBefore = linesOfKind(CountLine::Typed);
    BoxCloser boxes;
    QList<double> times;
    QList<double> handlers; // until Enter returned: the write, before the repaint
    QElapsedTimer t;
    int refused = 0;
    int n = 0;
    for (auto _ : state) {
        const int monthRow = rows[n];
        const QString text = NumText(1 + n % 7);
        ++n;
        const int row = ShownGrid::rowOf(grid, monthRow);
        grid.setCurrentIndex(grid.model()->index(row, fmTOVRAN::ColSTKQty));
        grid.setFocus();
        QApplication::processEvents();

        t.start();
        const bool typed = TypeIntoCurrentCell(grid, text);
        handlers << t.nsecsElapsed() / 1e9;
        QApplication::processEvents();
        const double seconds = t.nsecsElapsed() / 1e9;

        state.SetIterationTime(seconds);
        times << seconds;
        const CountLine *line = w.counting().rowCount(monthRow).lineAt(Location);
        if (!typed || grid.isEditing() || !line || NumText(line->qty) != text)
            ++refused;
    }
    const int written = linesOfKind(CountLine::Typed) - typedBefore;
    const int off = recordsOffTheirLines();
    if (refused || boxes.closed || written != n || off) {
        SkipBench(state,
                  QStringLiteral("%1 counts refused or not shown, %2 of %3 lines written, %4 "
                                 "records not the sum of their lines, %5 windows closed")
                      .arg(refused)
                      .arg(written)
                      .arg(n)
                      .arg(off)
                      .arg(boxes.closed));
        return;
    }
    state.counters["handler_ms"] = Median(handlers) * 1000;
    report(state, *s, kind, scale, "linecount", times);
}

// Items scanned into textSTKNo and entered with scan counting on, one piece or "3*" (every
// third): the row current, the piece(s) added to the location's line, the row's count.
void BM_ScanCount(benchmark::State &state, Kind kind, Scale scale)
{
    Setup *s = ready(state, kind, scale);
    if (!s)
        return;
    fmTOVRAN &w = *s->window;
    QStringList items;
    for (int row : spreadRows(w, 2 * Repetitions))
        items << w.month().text(row, fmTOVRAN::ColSTKNo);
    if (items.size() < 2 * Repetitions) {
        SkipBench(state, QStringLiteral("the month did not load or has too few counted rows"));
        return;
    }
    const int scannedBefore = linesOfKind(CountLine::Scanned);
    BoxCloser boxes;
    Control<QCheckBox>(w, "chkScanCount")->setChecked(true);
    Scanner scanner(w);
    // Untimed scans of other items first, as in a stocktake of thousands of scans.
    for (int i = Repetitions; i < items.size(); ++i)
        scanner.scan(items[i]);
    scanner.startCounting();
    int n = 0;
    for (auto _ : state) {
        state.SetIterationTime(scanner.scan(items[n], n % 3 == 2 ? 3 : 1));
        ++n;
    }
    Control<QCheckBox>(w, "chkScanCount")->setChecked(false);
    const int written = linesOfKind(CountLine::Scanned) - scannedBefore;
    const int off = recordsOffTheirLines();
    if (scanner.missed() || boxes.closed || written != n + Repetitions || off) {
        SkipBench(state, QStringLiteral("%1 scans on the wrong row, %2 of %3 lines written, %4 "
                                        "records not the sum of their lines, %5 windows closed")
                             .arg(scanner.missed())
                             .arg(written)
                             .arg(n + Repetitions)
                             .arg(off)
                             .arg(boxes.closed));
        return;
    }
    const QMap<QString, double> figures = scanner.figures();
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        state.counters[it.key().toStdString()] = it.value();
    report(state, *s, kind, scale, "scancount", scanner.seconds());
}

// A handheld file of lines lines, as a store's would be: item,quantity,location with a
// header, rows spread over the month at the three locations; of every 200 lines one an item
// the month lacks (added by the import), one a duplicate of the line before (summed), and of
// every 500 one item in no master and one quantity that is no number (refused).
QByteArray countFile(const fmTOVRAN &window, int lines, int run, const QStringList &missing)
{
    const StockMonth &month = window.month();
    QByteArray file = QStringLiteral("品號,數量,區位\n").toUtf8();
    QString previous;
    for (int i = 0; i < lines; ++i) {
        const QString location = FileLocations[i % FileLocations.size()];
        const QString qty = NumText(1 + (i % 40) * 0.25);
        QString line;
        if (i % 200 == 17)
            line = missing.value(i / 200) + ',' + qty + ',' + location;
        else if (i % 200 == 18 && !previous.isEmpty())
            line = previous.section(',', 0, 0) + ',' + qty + ',' + previous.section(',', 2);
        else if (i % 500 == 99)
            line = QStringLiteral("NOITEM%1,%2,%3").arg(i).arg(qty, location);
        else if (i % 500 == 299)
            line = month.text(i, fmTOVRAN::ColSTKNo) + QStringLiteral(",約十,") + location;
        else
            line = month.text(int((qint64(i) * 7919 + run * 104729LL) % month.size()),
                              fmTOVRAN::ColSTKNo) +
                   ',' + qty + ',' + location;
        file += line.toUtf8() + '\n';
        previous = line;
    }
    return file;
}

// One import driven as the clerk does it: cmdImport, the file picked, the preview read, Enter.
struct ImportRun
{
    double previewSeconds = -1; // the file picked until the preview waits with its lines
    double applySeconds = -1;   // Enter until the window shows the written rows
    CountImportPlan::Totals totals;
    int duplicates = 0;
    bool applied = false;
    int otherWindows = 0; // messages and windows the import should not have opened
};

ImportRun importFile(fmTOVRAN &window, const QString &path)
{
    ImportRun run;
    QElapsedTimer clock;
    enum { PickFile, Preview, Applied } stage = PickFile;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        auto *open = qobject_cast<QFileDialog *>(modal);
        auto *preview = qobject_cast<frmCountImport *>(modal);
        if (stage == PickFile && open) {
            open->selectFile(path);
            stage = Preview;
            clock.start();
            static_cast<QDialog *>(open)->accept(); // as its Open button does
            return;
        }
        if (stage == Preview && preview) {
            // The preview is read once it lets the clerk apply (it reads with this poll
            // running); then painted as the clerk sees it.
            if (!preview->findChild<QPushButton *>(QStringLiteral("cmdApply"))->isEnabled())
                return;
            QApplication::processEvents();
            run.previewSeconds = clock.nsecsElapsed() / 1e9;
            run.totals = preview->plan().totals();
            for (const CountImportLine &line : preview->plan().lines())
                run.duplicates += line.outcome == CountImportLine::Outcome::Duplicate;
            stage = Applied;
            clock.start();
            QTest::keyClick(preview, Qt::Key_Return);
            run.applied = preview->applied();
            return;
        }
        if (!preview || stage != Preview) {
            // Anything else (a refusal's message, an error) would wait for ever.
            ++run.otherWindows;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
        }
    });
    poll.start();
    Control<QPushButton>(window, "cmdImport")->click();
    QApplication::processEvents();
    if (stage == Applied)
        run.applySeconds = clock.nsecsElapsed() / 1e9;
    return run;
}

void BM_Import(benchmark::State &state, Kind kind, int lines)
{
    Setup *s = ready(state, kind, Scale::Huge);
    if (!s)
        return;
    fmTOVRAN &w = *s->window;
    if (w.month().size() < lines) {
        SkipBench(state, QStringLiteral("the month did not load"));
        return;
    }
    QTemporaryDir dir;
    QList<double> previews, applies, totals;
    ImportRun last;
    for (auto _ : state) {
        const int run = s->importRuns++;
        const QStringList missing = ItemsWithoutRecord(w, lines / 200 + 1, Qt::AscendingOrder);
        const QString path = dir.filePath(QStringLiteral("handheld%1.csv").arg(run));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(countFile(w, lines, run, missing)) < 0) {
            SkipBench(state, QStringLiteral("cannot write ") + path);
            return;
        }
        file.close();
        const int importedBefore = linesOfKind(CountLine::Imported);
        const int rowsBefore = w.month().size();
        last = importFile(w, path);
        const int written = linesOfKind(CountLine::Imported) - importedBefore;
        const int expected = last.totals.accepted - last.duplicates;
        const int added = w.month().size() - rowsBefore;
        if (!last.applied || last.applySeconds < 0 || last.otherWindows || written != expected ||
            added != last.totals.itemsToAdd || last.totals.read != lines) {
            SkipBench(state,
                      QStringLiteral("applied %1, %2 of %3 lines written, %4 of %5 items added, "
                                     "%6 lines read, %7 other windows")
                          .arg(last.applied)
                          .arg(written)
                          .arg(expected)
                          .arg(added)
                          .arg(last.totals.itemsToAdd)
                          .arg(last.totals.read)
                          .arg(last.otherWindows));
            return;
        }
        previews << last.previewSeconds;
        applies << last.applySeconds;
        totals << last.previewSeconds + last.applySeconds;
        state.SetIterationTime(totals.last());
    }
    if (const int off = recordsOffTheirLines()) {
        SkipBench(state, QStringLiteral("%1 records not the sum of their lines").arg(off));
        return;
    }
    state.counters["preview_ms"] = Median(previews) * 1000;
    state.counters["apply_ms"] = Median(applies) * 1000;
    state.counters["median_ms"] = Median(totals) * 1000;
    state.counters["lines"] = lines;
    state.counters["accepted"] = last.totals.accepted;
    state.counters["refused"] = last.totals.refused;
    state.counters["rows_counted"] = last.totals.rowsCounted;
    state.counters["items_added"] = last.totals.itemsToAdd;
    state.counters["stock_rows"] = EntrySize(Scale::Huge).stockRows;
    state.counters["slip_lines"] = EntrySize(Scale::Huge).slipLines;
}

void registerAll()
{
    const auto add = RegisterTimed;
    for (Kind kind : {Kind::SQLite, Kind::PostgreSQL}) {
        const std::string db = "/" + BenchDatabase::kindName(kind).toStdString();
        for (Scale scale : {Scale::Large, Scale::Huge}) {
            const std::string suffix = db + "/" + EntryScaleName(scale).toStdString();
            const auto bind = [kind, scale](auto function) {
                return [=](benchmark::State &state) { function(state, kind, scale); };
            };
            add("BM_LineCount" + suffix, bind(BM_LineCount), Repetitions);
            add("BM_ScanCount" + suffix, bind(BM_ScanCount), Repetitions);
        }
        // After the counts: an import takes other rows' lines and adds items.
        for (int lines : {1000, 10000})
            add(
                "BM_Import" + db + "/" + std::to_string(lines),
                [kind, lines](benchmark::State &state) { BM_Import(state, kind, lines); },
                ImportRuns);
    }
}

const bool registered = (registerAll(), true);

} // namespace
