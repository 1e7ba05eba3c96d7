// A whole stocktake as a user does it, on the real program under a real X server: the
// menu's hand-over, the criteria typed, the query and five counts typed by keyboard alone
// (one refused as negative and retyped, one below opening plus receipts confirmed), a count
// typed after a scan, an item scanned into the month, a closed month refused and a scan that
// then writes nothing, the month queried again, the stock report and the issue slip saved as
// CSV and PDF, and the exit; then everything the program wrote is read back and checked
// against what was typed, figure for figure.
#include "e2e_common.h"
#include "programcopy.h"
#include "stocktaker.h"
#include "xsession.h"

#include "common/numtext.h"
#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace E2E;

namespace {

enum class Db { SQLite, PostgreSQL };

class EndToEnd : public ::testing::TestWithParam<Db>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_work.isValid());
        ASSERT_TRUE(m_program.error().isEmpty()) << m_program.error().toStdString();
        QString why;
        DemoDatabases demo;
        if (!MakeDemoDatabases(GetParam() == Db::PostgreSQL, m_work, demo, &why)) {
            if (!demo.skipReason.isEmpty())
                GTEST_SKIP() << demo.skipReason.toStdString();
            FAIL() << why.toStdString();
        }
        m_pg = std::move(demo.pg);
        m_handOver = demo.handOver;
        m_dbString = demo.connectionString;
        m_handOver.group = QStringLiteral("ADMIN");
        m_handOver.user = QStringLiteral("DEMO");
        m_db = Ado::Connection::open(m_dbString);

        QDir(artifactDir(runName())).removeRecursively(); // the screenshots of this run only
        m_x = std::make_unique<XSession>(artifactDir(runName()));
        ASSERT_TRUE(m_x->start(&why)) << why.toStdString();
    }

    QString runName() const
    {
        return GetParam() == Db::SQLite ? QStringLiteral("sqlite") : QStringLiteral("postgresql");
    }

    QString stockOf(const QString &itemNo, const QString &field) const
    {
        return scalar(m_db, QStringLiteral("Select ") + field +
                                QStringLiteral(" From STOCK Where DeptNo = 'A01' And STKNo = '") +
                                itemNo + QStringLiteral("' And StkDate = ") + kPeriodEnd);
    }

    static inline const QString kPeriodEnd =
        QStringLiteral("(Select max(StkDate) From STOCK Where DeptNo = 'A01')");

    QTemporaryDir m_work;
    ProgramCopy m_program;
    std::unique_ptr<PgTestDatabase> m_pg;
    ProgramCopy::HandOver m_handOver;
    QString m_dbString;
    Ado::ConnectionPtr m_db;
    std::unique_ptr<XSession> m_x;
};

} // namespace

TEST_P(EndToEnd, WholeSession)
{
    // The edit deadline: last month is open, a month half a year back is closed.
    m_db->executeNonQuery(
        QStringLiteral("Update xxPARAM Set ParamValue = '70' Where ParamID = 'TOVRAN_DeadLine'"));
    const QDate closed = QDate::currentDate().addMonths(-6);

    // What the user will work on: the first five rows of the month as the grid orders
    // them, an item of the month with an opening stock (it is on the issue slip), an item
    // of the master that the month lacks, and one that the closed month lacks.
    struct Row
    {
        QString item;
        double floor; // opening plus receipts
    };
    QList<Row> firstRows;
    for (Ado::Recordset rs = m_db->execute(
             QStringLiteral("Select STKNo, LastQty, InQty From STOCK Where DeptNo = 'A01' And "
                            "StkDate = ") +
             kPeriodEnd + QStringLiteral(" Order by STKNo"));
         !rs.eof() && firstRows.size() < 5; rs.moveNext())
        firstRows.append({rs.text(0), rs.number(1) + rs.number(2)});
    ASSERT_EQ(firstRows.size(), 5);
    const QString existing = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STOCK Where DeptNo = 'A01' And LastQty > 0 "
                             "And StkDate = ") +
                  kPeriodEnd);
    const QString missing = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STK Where STKNo Not In (Select STKNo From "
                             "STOCK Where DeptNo = 'A01' And StkDate = ") +
                  kPeriodEnd + QStringLiteral(")"));
    const QString missingWhenClosed = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STK Where STKNo Not In (Select STKNo From "
                             "STOCK Where DeptNo = 'A01' And StkDate <> ") +
                  kPeriodEnd + QStringLiteral(")"));
    ASSERT_NE(existing, QStringLiteral("<no row>"));
    ASSERT_NE(missing, QStringLiteral("<no row>"));
    ASSERT_NE(missingWhenClosed, QStringLiteral("<no row>"));
    m_db->executeNonQuery(QStringLiteral("Update STOCK Set UpdUserID = 'OLD' Where DeptNo = 'A01' "
                                         "And STKNo = '") +
                          existing + QStringLiteral("'"));
    const double floor = Val(stockOf(existing, QStringLiteral("LastQty"))) +
                         Val(stockOf(existing, QStringLiteral("InQty")));
    const QString count = NumText(floor + 7);
    const QString lastQty = NumText(Val(stockOf(existing, QStringLiteral("LastQty"))));

    // Of the five counts, one is first typed negative, one lies below opening plus receipts.
    int below = -1;
    for (int i = 0; i < firstRows.size() && below < 0; ++i)
        if (firstRows[i].floor >= 1)
            below = i;
    ASSERT_GE(below, 0) << "no row with an opening stock among the first five";
    const int negative = below == 0 ? 1 : 0;
    QMap<QString, QString> typed; // item -> the count typed last
    for (int i = 0; i < firstRows.size(); ++i)
        typed[firstRows[i].item] =
            NumText(i == below ? std::ceil(firstRows[i].floor) - 1 : firstRows[i].floor + i + 0.25);

    Stocktaker user(*m_x, m_program, QString());
    const QString dir = artifactDir(runName());
    const QString reportCsv = QDir(dir).filePath(QStringLiteral("report.csv"));
    const QString reportPdf = QDir(dir).filePath(QStringLiteral("report.pdf"));
    const QString slipCsv = QDir(dir).filePath(QStringLiteral("issue-slip.csv"));
    const QString slipPdf = QDir(dir).filePath(QStringLiteral("issue-slip.pdf"));
    for (const QString &f : {reportCsv, reportPdf, slipCsv, slipPdf})
        QFile::remove(f);

    // The menu hands over and starts the program; the hand-over is used up.
    QProcess *menu = m_program.startViaMenu(*m_x, m_handOver);
    ASSERT_FALSE(user.waitMainWindow().isEmpty())
        << "the stock window did not appear: " << menu->readAll().toStdString();
    user.shot(QStringLiteral("01-start"));
    EXPECT_EQ(
        m_program.setting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("UserID")),
        QString());

    // Keyboard only from here to the counts: the criteria typed from the year box that has
    // the focus, Alt+Q, and the counts typed straight into the grid, each with Enter.
    user.typeCriteria(lastMonthYear(), lastMonthMonth(), QStringLiteral("A01"));
    user.shot(QStringLiteral("02-criteria"));
    user.query();
    user.shot(QStringLiteral("03-query"));
    for (int i = 0; i < firstRows.size(); ++i) {
        const QString &item = firstRows[i].item;
        if (i == negative) {
            user.typeCount(QStringLiteral("-3"));
            EXPECT_EQ(user.answerBoxes(QStringLiteral("04-negative")), 1)
                << "no refusal of a negative count";
        }
        user.typeCount(typed[item]);
        if (i == below) {
            // The question is answered with Enter: its default button writes the count.
            EXPECT_EQ(user.answerBoxes(QStringLiteral("04-below-floor")), 1)
                << "no question for a count below opening plus receipts";
        }
        const QString sql =
            QStringLiteral("Select %1 From STOCK Where DeptNo = 'A01' And STKNo = '") + item +
            QStringLiteral("' And StkDate = ") + kPeriodEnd;
        for (const char *field : {"STKQty", "ChkQty"})
            EXPECT_EQ(NumText(Val(waitScalar(m_db, sql.arg(QLatin1String(field)), typed[item])))
                          .toStdString(),
                      typed[item].toStdString())
                << field << " of row " << i + 1 << " (" << item.toStdString() << ")";
    }
    user.shot(QStringLiteral("04-five-counts"));

    // A count: the item scanned, the count typed into its cell and committed with Enter.
    user.scanItem(existing);
    user.typeCount(count);
    typed[existing] = count;
    user.shot(QStringLiteral("04-count"));
    EXPECT_EQ(
        waitScalar(m_db,
                   QStringLiteral("Select STKQty From STOCK Where DeptNo = 'A01' And STKNo = '") +
                       existing + QStringLiteral("' And StkDate = ") + kPeriodEnd,
                   count),
        count)
        << "the count typed into the grid was not written";
    EXPECT_EQ(stockOf(existing, QStringLiteral("UpdUserID")), QStringLiteral("DEMO"));
    EXPECT_TRUE(isToday(stockOf(existing, QStringLiteral("UpdDate"))))
        << stockOf(existing, QStringLiteral("UpdDate")).toStdString();

    // An item the month lacks, scanned: its record is computed and added.
    user.scanItem(missing, 3000);
    user.shot(QStringLiteral("05-item-scanned"));
    const QString added =
        waitScalar(m_db,
                   QStringLiteral("Select count(*) From STOCK Where DeptNo = 'A01' And STKNo = '") +
                       missing + QStringLiteral("' And StkDate = ") + kPeriodEnd,
                   QStringLiteral("1"));
    ASSERT_EQ(added, QStringLiteral("1"))
        << "scanning " << missing.toStdString() << " added no record";
    EXPECT_EQ(stockOf(missing, QStringLiteral("UserID")), QStringLiteral("DEMO"));
    const QString addedCount = NumText(Val(stockOf(missing, QStringLiteral("LastQty"))) +
                                       Val(stockOf(missing, QStringLiteral("InQty"))) + 3);
    user.typeCount(addedCount);
    typed[missing] = addedCount;
    user.shot(QStringLiteral("06-item-added"));
    EXPECT_EQ(
        waitScalar(m_db,
                   QStringLiteral("Select STKQty From STOCK Where DeptNo = 'A01' And STKNo = '") +
                       missing + QStringLiteral("' And StkDate = ") + kPeriodEnd,
                   addedCount),
        addedCount)
        << "the count of the added item was not written";

    // A closed month typed and queried is refused (answered with Enter); a scan then
    // writes nowhere: neither into the closed month nor into the one shown.
    const QString allRecords = QStringLiteral("Select count(*) From STOCK");
    const QString recordsBefore = scalar(m_db, allRecords);
    user.click(user.mainWindow(), Stocktaker::CriteriaTab);
    user.enterCriteria(QString::number(closed.year() - 1911), QString::number(closed.month()),
                       QStringLiteral("A01"));
    user.query(1500);
    EXPECT_EQ(user.answerBoxes(QStringLiteral("06-closed-month")), 1)
        << "the closed month was not refused";
    user.click(user.mainWindow(), Stocktaker::DataTab);
    user.scanItem(missingWhenClosed, 3000);
    user.shot(QStringLiteral("06-closed-scan"));
    EXPECT_EQ(scalar(m_db, allRecords), recordsBefore) << "a scan wrote outside the loaded month";

    // The month queried again: the grid shows what was typed, figure for figure with the
    // database (read through the stock report below).
    user.click(user.mainWindow(), Stocktaker::CriteriaTab);
    user.enterCriteria(lastMonthYear(), lastMonthMonth(), QStringLiteral("A01"));
    user.query();
    user.shot(QStringLiteral("06-requeried"));

    // The stock report, saved as CSV and as PDF.
    const QString report = user.openPreview(Stocktaker::ReportButton);
    ASSERT_FALSE(report.isEmpty()) << "no preview of the stock report";
    user.shot(QStringLiteral("07-report-preview"));
    EXPECT_TRUE(user.saveFromPreview(report, reportCsv));
    EXPECT_TRUE(user.saveFromPreview(report, reportPdf));
    user.closePreview(report);

    // The issue slip (opening quantities), saved the same way.
    const QString slip = user.openPreview(Stocktaker::IssueSlipButton);
    ASSERT_FALSE(slip.isEmpty()) << "no preview of the issue slip";
    user.shot(QStringLiteral("08-slip-preview"));
    EXPECT_TRUE(user.saveFromPreview(slip, slipCsv));
    EXPECT_TRUE(user.saveFromPreview(slip, slipPdf));
    user.closePreview(slip);

    // Exit, answering Yes.
    ASSERT_TRUE(user.exitProgram(QStringLiteral("alt+y"), QStringLiteral("09-exit-question")));
    EXPECT_TRUE(WaitEnded(menu, 20000)) << "the program did not end after Yes";
    // The menu passes on the program's exit code: 0 only when it ended cleanly, its windows
    // deleted without a crash.
    EXPECT_EQ(menu->exitCode(), 0) << menu->readAllStandardError().toStdString();
    EXPECT_FALSE(m_program.programRunning());

    // What was written, read back.
    for (const char *key : {"chkAutoCalQty", "chkNoDisplayQtyIsZero", "chkSortBySTKFlag"}) {
        const QString v = m_program.setting(QStringLiteral("TOVRAN"), QStringLiteral("Stock"),
                                            QLatin1String(key));
        EXPECT_TRUE(v == QLatin1String("0") || v == QLatin1String("1"))
            << key << " = " << v.toStdString();
    }
    const QStringList report_lines = csvLines(reportCsv);
    const QStringList heading = csvRow(report_lines, QStringLiteral("料號"));
    const QList<std::pair<QString, QString>> figures{
        {QStringLiteral("上期庫存"), QStringLiteral("LastQty")},
        {QStringLiteral("進貨數量"), QStringLiteral("InQty")},
        {QStringLiteral("耗損數量"), QStringLiteral("LostQty")},
        {QStringLiteral("盤盈虧"), QStringLiteral("AdjustQty")},
        {QStringLiteral("耗用數量"), QStringLiteral("UseQty")},
        {QStringLiteral("庫存量"), QStringLiteral("STKQty")}};
    for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
        const QStringList row = csvRow(report_lines, it.key());
        const QString line = row.join(QLatin1Char(','));
        EXPECT_EQ(NumText(Val(stockOf(it.key(), QStringLiteral("STKQty")))).toStdString(),
                  it.value().toStdString())
            << it.key().toStdString();
        for (const auto &[title, field] : figures) {
            const qsizetype col = heading.indexOf(title);
            if (col < 0)
                continue; // a column the options hide
            EXPECT_EQ(row.value(col).toStdString(),
                      NumText(Val(stockOf(it.key(), field))).toStdString())
                << it.key().toStdString() << " " << field.toStdString() << ": "
                << line.toStdString();
        }
        EXPECT_EQ(row.value(heading.indexOf(QStringLiteral("庫存量"))).toStdString(),
                  it.value().toStdString())
            << line.toStdString();
    }
    const QString reportText = pdfText(reportPdf);
    EXPECT_TRUE(reportText.contains(QStringLiteral("庫存報表")));
    EXPECT_TRUE(reportText.contains(existing));
    EXPECT_TRUE(reportText.contains(missing));
    EXPECT_TRUE(reportText.contains(count));

    const QDate period = QDate::currentDate().addMonths(-1);
    const QString slipNo = period.toString(QStringLiteral("yyyy")).mid(2, 2) +
                           period.toString(QStringLiteral("MM")) + QStringLiteral("-A01A");
    const QString slipText = pdfText(slipPdf);
    EXPECT_TRUE(slipText.contains(QStringLiteral("領 用 單"))) << slipText.left(400).toStdString();
    EXPECT_TRUE(slipText.contains(slipNo)) << slipNo.toStdString();
    EXPECT_TRUE(slipText.contains(existing));
    bool slipRow = false;
    for (const QString &line : csvLines(slipCsv))
        slipRow =
            slipRow || (line.contains(existing) && line.split(QLatin1Char(',')).contains(lastQty));
    EXPECT_TRUE(slipRow) << "the issue slip CSV lacks " << existing.toStdString()
                         << " with its opening quantity " << lastQty.toStdString();

    EXPECT_EQ(errRecords(m_program.logFile(QStringLiteral("TOVRAN.ERR"))), 0)
        << m_program.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();

    // A second start without a new hand-over is refused with the reason (the menu database
    // cannot be reached without it), then "ProgStopRun"; each box is answered with Enter.
    QProcess *again = m_program.startDirect(*m_x);
    int boxes = 0;
    for (; boxes < 4 && again->state() != QProcess::NotRunning; ++boxes) {
        const QString box = m_x->waitWindow(QStringLiteral("^TOVRAN$"), {}, 20000);
        if (box.isEmpty())
            break;
        EXPECT_LT(m_x->windowSize(box).width(), 800) << "the stock window opened without rights";
        user.shot(QStringLiteral("10-refused-%1").arg(boxes + 1));
        m_x->activate(box);
        m_x->key({QStringLiteral("Return")});
        m_x->waitGone(box, 5000);
        Pause(500);
    }
    EXPECT_GE(boxes, 1) << "no refusal box";
    EXPECT_TRUE(WaitEnded(again, 20000)) << "the refused program did not end";
    EXPECT_EQ(m_program.setting(QStringLiteral("TOVRAN"), QStringLiteral("Stock"),
                                QStringLiteral("chkAutoCalQty")),
              QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(Stocktake, EndToEnd, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         [](const auto &info) {
                             return info.param == Db::SQLite ? std::string("SQLite")
                                                             : std::string("PostgreSQL");
                         });
