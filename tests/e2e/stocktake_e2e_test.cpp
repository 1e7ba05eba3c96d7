// A whole stocktake as a user does it, on the real program under a real X server: the
// menu's hand-over, the criteria typed, the query, a count typed into the grid, an item
// scanned into the month, the stock report and the issue slip saved as CSV and PDF, and the
// exit; then everything the program wrote is read back and checked against what was done.
#include "e2e_common.h"
#include "programcopy.h"
#include "stocktaker.h"
#include "xsession.h"

#include "common/numtext.h"
#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
        const QString menuFile = m_work.filePath(QStringLiteral("menu.db"));
        QString why;
        if (GetParam() == Db::PostgreSQL) {
            m_pg = std::make_unique<PgTestDatabase>();
            if (!m_pg->available())
                GTEST_SKIP() << m_pg->skipReason().toStdString();
            ASSERT_TRUE(RunTool(QStringLiteral(TOVRAN_DEMODB),
                                {QStringLiteral("--pg"), m_pg->connectionString(true),
                                 QStringLiteral("--menu"), menuFile},
                                &why))
                << why.toStdString();
            m_handOver.connect = m_pg->connectionString(false);
            m_handOver.password = PgTestDatabase::password();
            m_dbString = m_pg->connectionString(true);
        } else {
            const QString dbFile = m_work.filePath(QStringLiteral("demo.db"));
            ASSERT_TRUE(RunTool(
                QStringLiteral(TOVRAN_DEMODB),
                {QStringLiteral("--sqlite"), dbFile, QStringLiteral("--menu"), menuFile}, &why))
                << why.toStdString();
            m_handOver.connect = QStringLiteral("Provider=SQLite;Data Source=") + dbFile;
            m_dbString = m_handOver.connect;
        }
        m_handOver.menuConnect = QStringLiteral("Provider=SQLite;Data Source=") + menuFile;
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
    // What the user will work on: an item of the month with an opening stock (it is on the
    // issue slip), and an item of the master that the month lacks.
    const QString existing = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STOCK Where DeptNo = 'A01' And LastQty > 0 "
                             "And StkDate = ") +
                  kPeriodEnd);
    const QString missing = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STK Where STKNo Not In (Select STKNo From "
                             "STOCK Where DeptNo = 'A01' And StkDate = ") +
                  kPeriodEnd + QStringLiteral(")"));
    ASSERT_NE(existing, QStringLiteral("<no row>"));
    ASSERT_NE(missing, QStringLiteral("<no row>"));
    m_db->executeNonQuery(QStringLiteral("Update STOCK Set UpdUserID = 'OLD' Where DeptNo = 'A01' "
                                         "And STKNo = '") +
                          existing + QStringLiteral("'"));
    const double floor = Val(stockOf(existing, QStringLiteral("LastQty"))) +
                         Val(stockOf(existing, QStringLiteral("InQty")));
    const QString count = NumText(floor + 7);
    const QString lastQty = NumText(Val(stockOf(existing, QStringLiteral("LastQty"))));

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

    // Criteria by keyboard, then the query.
    user.enterCriteria(lastMonthYear(), lastMonthMonth(), QStringLiteral("A01"));
    user.shot(QStringLiteral("02-criteria"));
    user.query();
    user.shot(QStringLiteral("03-query"));

    // A count: the item scanned, the count typed into its cell and committed with Enter.
    user.scanItem(existing);
    user.typeCount(count);
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
    user.shot(QStringLiteral("06-item-added"));
    EXPECT_EQ(
        waitScalar(m_db,
                   QStringLiteral("Select STKQty From STOCK Where DeptNo = 'A01' And STKNo = '") +
                       missing + QStringLiteral("' And StkDate = ") + kPeriodEnd,
                   addedCount),
        addedCount)
        << "the count of the added item was not written";

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
    EXPECT_FALSE(m_program.programRunning());

    // What was written, read back.
    for (const char *key : {"chkAutoCalQty", "chkNoDisplayQtyIsZero", "chkSortBySTKFlag"}) {
        const QString v = m_program.setting(QStringLiteral("TOVRAN"), QStringLiteral("Stock"),
                                            QLatin1String(key));
        EXPECT_TRUE(v == QLatin1String("0") || v == QLatin1String("1"))
            << key << " = " << v.toStdString();
    }
    const QStringList report_lines = csvLines(reportCsv);
    const QStringList row = csvRow(report_lines, existing);
    EXPECT_TRUE(row.contains(count)) << "report CSV row of " << existing.toStdString() << ": "
                                     << row.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(csvRow(report_lines, missing).contains(addedCount));
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
