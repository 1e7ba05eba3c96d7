// Fault and abuse runs on the real program under a real X server: the database server
// stopped and started again under a session, hostile text in every box and in the count
// cell, a log folder that cannot be written, a messages database full of garbage. The
// program must keep running, report each failure, and never hold or show a value the
// database does not.
#include "e2e_common.h"
#include "pgserver.h"
#include "programcopy.h"
#include "stocktaker.h"
#include "xsession.h"

#include "common/numtext.h"
#include "platform/db/connection.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace E2E;

namespace {

const QString kPeriodEnd = QStringLiteral("(Select max(StkDate) From STOCK Where DeptNo = 'A01')");

// The fields of a stock row that an edit writes, as one text to compare.
const QString kRowFields = QStringLiteral("STKQty, UseQty, AdjustQty, STKAmt, UpdUserID, UpdDate");

class FaultRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_work.isValid());
        const QString run =
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_dir = artifactDir(QStringLiteral("fault-") + run);
        QDir(m_dir).removeRecursively();
        m_dir = artifactDir(QStringLiteral("fault-") + run);
        m_x = std::make_unique<XSession>(m_dir);
        QString why;
        ASSERT_TRUE(m_x->start(&why)) << why.toStdString();
    }

    QString menuFile() const { return m_work.filePath(QStringLiteral("menu.db")); }

    // The demo business database in a SQLite file and the menu database beside it.
    void makeSqlite()
    {
        const QString dbFile = m_work.filePath(QStringLiteral("demo.db"));
        QString why;
        ASSERT_TRUE(RunTool(
            QStringLiteral(TOVRAN_DEMODB),
            {QStringLiteral("--sqlite"), dbFile, QStringLiteral("--menu"), menuFile()}, &why))
            << why.toStdString();
        m_dbString = QStringLiteral("Provider=SQLite;Data Source=") + dbFile;
        m_db = Ado::Connection::open(m_dbString);
    }

    ProgramCopy::HandOver handOver(const QString &user, const QString &group) const
    {
        ProgramCopy::HandOver h;
        h.connect = m_dbString;
        h.menuConnect = QStringLiteral("Provider=SQLite;Data Source=") + menuFile();
        h.group = group;
        h.user = user;
        return h;
    }

    // Started through the menu, criteria typed, the month queried.
    void startSession(Stocktaker &user, const ProgramCopy::HandOver &h,
                      const QStringList &otherMains = {})
    {
        QString why;
        ASSERT_TRUE(user.startSession(h, otherMains, &why)) << why.toStdString();
    }

    // The items of the month, in number order.
    QStringList monthItems(int count) const
    {
        QStringList items;
        Ado::Recordset rs = m_db->execute(
            QStringLiteral("Select STKNo From STOCK Where DeptNo = 'A01' And StkDate = ") +
            kPeriodEnd + QStringLiteral(" Order By STKNo"));
        for (; !rs.eof() && items.size() < count; rs.moveNext())
            items << rs.text(0);
        return items;
    }

    QString stockOf(const QString &itemNo, const QString &fields) const
    {
        Ado::Recordset rs =
            m_db->execute(QStringLiteral("Select ") + fields +
                          QStringLiteral(" From STOCK Where DeptNo = 'A01' And STKNo = '") +
                          itemNo + QStringLiteral("' And StkDate = ") + kPeriodEnd);
        if (rs.eof())
            return QStringLiteral("<no row>");
        QStringList values;
        for (int i = 0; i < rs.fieldCount(); ++i)
            values << rs.text(i);
        return values.join(QLatin1Char('|'));
    }

    // The item's opening and purchased quantities set to nothing, so that any count from 0
    // on is accepted; the stamp set to a known user.
    void clearFloor(const QString &itemNo) const
    {
        m_db->executeNonQuery(
            QStringLiteral("Update STOCK Set LastQty = 0, InQty = 0, OutQty = 0, LostQty = 0, "
                           "UpdUserID = 'OLD' Where DeptNo = 'A01' And STKNo = '") +
            itemNo + QStringLiteral("'"));
    }

    // The counts the grid shows, read back through the stock report's CSV.
    QHash<QString, QString> reportCounts(Stocktaker &user, const QString &name) const
    {
        const QHash<QString, QString> counts = user.shownCounts(QDir(m_dir).filePath(name));
        EXPECT_FALSE(counts.isEmpty()) << "the stock report could not be read back";
        return counts;
    }

    void exitProgram(Stocktaker &user, ProgramCopy &program)
    {
        EXPECT_TRUE(user.exitAndWait(program)) << "the program did not end after Yes";
    }

    QTemporaryDir m_work;
    QString m_dir;
    QString m_dbString;
    Ado::ConnectionPtr m_db;
    std::unique_ptr<XSession> m_x;
};

} // namespace

// The server stopped under a session: every edit meanwhile is refused with the error report
// and leaves its row as it was; after the server is back, an edit is written or refused
// with a report, and the grid shows what the database holds.
TEST_F(FaultRun, DatabaseServerRestart)
{
    OwnPgServer server;
    QString why;
    if (!server.create(QStringLiteral("tovran"), &why)) {
        if (why.startsWith(QStringLiteral("no PostgreSQL")))
            GTEST_SKIP() << why.toStdString();
        FAIL() << why.toStdString();
    }
    ASSERT_TRUE(RunTool(QStringLiteral(TOVRAN_DEMODB),
                        {QStringLiteral("--pg"), server.connectionString(true),
                         QStringLiteral("--menu"), menuFile()},
                        &why))
        << why.toStdString();
    m_dbString = server.connectionString(false);
    m_db = Ado::Connection::open(server.connectionString(true));
    const QStringList items = monthItems(3);
    ASSERT_EQ(items.size(), 3);
    for (const QString &item : items)
        clearFloor(item);
    const QString before0 = stockOf(items[0], kRowFields);
    const QString before1 = stockOf(items[1], kRowFields);

    ProgramCopy program;
    Stocktaker user(*m_x, program, QString());
    ProgramCopy::HandOver h = handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN"));
    h.password = OwnPgServer::password();
    startSession(user, h);
    user.scanItem(items[0]);
    user.shot(QStringLiteral("01-ready"));
    m_db.reset();

    ASSERT_TRUE(server.stop(&why)) << why.toStdString();
    // A count typed while the server is away. The refused text stays in the cell's editor
    // (it would be tried again when the cell is left): the user drops it with Escape.
    user.typeCount(QStringLiteral("11"));
    EXPECT_GE(user.answerBoxes(QStringLiteral("02-count-refused")), 1)
        << "a count was taken without a database and without a word";
    m_x->key({QStringLiteral("Escape")});
    const int afterCount = program.errorRecords();
    EXPECT_GE(afterCount, 1) << "the failed count was not logged";
    // A scan (a read) is refused too; the cell of the first item is still the current one.
    user.scanItem(items[1]);
    EXPECT_GE(user.answerBoxes(QStringLiteral("03-scan-refused")), 1);
    EXPECT_GT(program.errorRecords(), afterCount);
    EXPECT_TRUE(program.programRunning()) << "the program ended while the server was away";

    ASSERT_TRUE(server.start(&why)) << why.toStdString();
    // Back again.
    const int beforeRestartEdits = program.errorRecords();
    user.scanItem(items[2]);
    const int scanBoxes = user.answerBoxes(QStringLiteral("05-scan-after-restart"));
    int countBoxes = 0;
    if (scanBoxes == 0) {
        user.typeCount(QStringLiteral("13"));
        countBoxes = user.answerBoxes(QStringLiteral("06-count-after-restart"));
        m_x->key({QStringLiteral("Escape")});
    }
    user.shot(QStringLiteral("07-after-restart"));
    const QHash<QString, QString> shown = reportCounts(user, QStringLiteral("report.csv"));
    exitProgram(user, program);

    m_db = Ado::Connection::open(server.connectionString(true));
    EXPECT_EQ(stockOf(items[0], kRowFields), before0) << "a refused count changed its row";
    EXPECT_EQ(stockOf(items[1], kRowFields), before1) << "a refused count changed its row";
    const QString written = stockOf(items[2], QStringLiteral("STKQty"));
    for (const QString &item : items) {
        EXPECT_EQ(shown.value(item), stockOf(item, QStringLiteral("STKQty")))
            << "the grid shows for " << item.toStdString()
            << " another count than the database holds";
    }
    // The program opens a new session once the server is back: the scan and the count
    // after the restart simply work.
    EXPECT_EQ(scanBoxes + countBoxes, 0) << "refused although the server was back";
    EXPECT_EQ(program.errorRecords(), beforeRestartEdits);
    EXPECT_EQ(written, QStringLiteral("13"));
    EXPECT_EQ(stockOf(items[2], QStringLiteral("UpdUserID")), QStringLiteral("DEMO"));
    EXPECT_TRUE(isToday(stockOf(items[2], QStringLiteral("UpdDate"))));
    std::printf("after the restart: count %s, %d + %d error boxes\n",
                written == QStringLiteral("13") ? "written" : "refused", scanBoxes, countBoxes);
}

namespace {

// The boxes of the criteria page, relative to the stock window's client area.
constexpr QPoint kMonthBox{191, 95};
constexpr QPoint kDeptBox{143, 123};
constexpr QPoint kItemFromBox{143, 151};

// Hostile texts: quotes, long text, Chinese, full-width digits, numbers at the edge.
QStringList abuseTexts()
{
    return {QStringLiteral("O'Neil"),   QStringLiteral("a'b\"c"), QString(1000, QLatin1Char('x')),
            QStringLiteral("中文測試"), QStringLiteral("１５"),   QStringLiteral("1e308"),
            QStringLiteral("-0"),       QStringLiteral("NaN")};
}

} // namespace

// Hostile text typed into the criteria boxes and into the count cell: the program keeps
// running, refuses what is no count with a message, writes exactly what it shows, and no
// quote ever breaks a statement.
TEST_F(FaultRun, AbuseInput)
{
    makeSqlite();
    const QString item = monthItems(1).value(0);
    clearFloor(item);
    const QString initial = stockOf(item, QStringLiteral("STKQty"));
    const QString stockRows = scalar(m_db, QStringLiteral("Select count(*) From STOCK"));

    ProgramCopy program;
    Stocktaker user(*m_x, program, QString());
    startSession(user, handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    const QString main = user.mainWindow();
    m_x->activate(main);
    auto clickBox = [&](QPoint at) {
        m_x->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), main,
                      QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                      QStringLiteral("1")});
        Pause(200);
    };
    clickBox(Stocktaker::CriteriaTab);
    user.shot(QStringLiteral("01-criteria"));
    // Typed into a box and left with Tab; then the box gets its good text back (a refused
    // box keeps the focus, so the same box is written again).
    int step = 0;
    auto abuse = [&](QPoint at, const QString &text, const QString &good) {
        ++step;
        clickBox(at);
        m_x->key({QStringLiteral("ctrl+a")});
        m_x->type(text, text.size() > 50 ? 1 : 30);
        m_x->key({QStringLiteral("Tab")});
        if (step % 4 == 1)
            user.shot(QStringLiteral("02-criteria-%1").arg(step, 2, 10, QLatin1Char('0')));
        user.answerBoxes(QStringLiteral("02-criteria-%1").arg(step, 2, 10, QLatin1Char('0')), 300);
        clickBox(at);
        m_x->key({QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
        if (!good.isEmpty())
            m_x->type(good, 30);
        m_x->key({QStringLiteral("Tab")});
        ASSERT_TRUE(program.programRunning()) << "the program ended after " << text.toStdString();
    };
    for (const QString &text : abuseTexts())
        abuse(Stocktaker::YearBox, text, lastMonthYear());
    for (const QString &text : {QStringLiteral("１５"), QStringLiteral("NaN")})
        abuse(kMonthBox, text, lastMonthMonth());
    for (const QString &text :
         {QStringLiteral("O'Neil"), QString(1000, QLatin1Char('x')), QStringLiteral("中文測試")})
        abuse(kDeptBox, text, QStringLiteral("A01"));
    abuse(kItemFromBox, QStringLiteral("a'b\"c"), QString());
    EXPECT_EQ(program.errorRecords(), 0)
        << program.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();

    // Queries with a quoted item number and with a year at the edge of the numbers.
    clickBox(kItemFromBox);
    m_x->type(QStringLiteral("O'Neil"), 30);
    m_x->key({QStringLiteral("Tab")});
    user.query(2000);
    user.shot(QStringLiteral("03-query-quoted-item"));
    user.answerBoxes(QStringLiteral("03-query-quoted-item"), 1000);
    clickBox(Stocktaker::CriteriaTab);
    clickBox(kItemFromBox);
    m_x->key({QStringLiteral("ctrl+a"), QStringLiteral("BackSpace"), QStringLiteral("Tab")});
    clickBox(Stocktaker::YearBox);
    m_x->key({QStringLiteral("ctrl+a")});
    m_x->type(QStringLiteral("1e308"), 30);
    m_x->key({QStringLiteral("Tab")});
    user.query(2000);
    user.shot(QStringLiteral("04-query-huge-year"));
    user.answerBoxes(QStringLiteral("04-query-huge-year"), 1000);
    ASSERT_TRUE(program.programRunning()) << "the program ended on a query for year 1e308";
    EXPECT_EQ(program.errorRecords(), 0)
        << program.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();

    // The month again, then the count cell.
    clickBox(Stocktaker::CriteriaTab);
    user.enterCriteria(lastMonthYear(), lastMonthMonth(), QStringLiteral("A01"));
    user.query();
    user.scanItem(item);
    user.shot(QStringLiteral("05-count-cell"));
    const QString countSql =
        QStringLiteral("Select STKQty From STOCK Where DeptNo = 'A01' And StkDate = ") +
        kPeriodEnd + QStringLiteral(" And STKNo = '") + item + QStringLiteral("'");
    int boxes = 0;
    for (const QString &text :
         {QStringLiteral("NaN"), QStringLiteral("O'Neil"), QStringLiteral("a'b\"c"),
          QStringLiteral("中文測試"), QString(1000, QLatin1Char('9')), QStringLiteral("1e308")}) {
        user.scanItem(item, 1000);
        user.typeCount(text, 800, text.size() > 50 ? 1 : 30);
        boxes += user.answerBoxes(QStringLiteral("06-count-refused"), 300);
        m_x->key({QStringLiteral("Escape")});
        const QString now = scalar(m_db, countSql);
        EXPECT_EQ(now, initial) << "typing " << text.left(20).toStdString() << " wrote "
                                << now.left(40).toStdString();
        ASSERT_TRUE(program.programRunning()) << "the program ended after " << text.toStdString();
    }
    user.shot(QStringLiteral("07-count-refused"));
    EXPECT_EQ(boxes, 0) << "a refused count text raised an error box";
    user.scanItem(item);
    user.typeCount(QStringLiteral("8"), 1500, 30);
    EXPECT_EQ(waitScalar(m_db, countSql, QStringLiteral("8")), QStringLiteral("8"));
    // A negative zero and full-width digits: whatever is written must be what the grid
    // shows (the values typed through xdotool's remapped keys are reported, not asserted:
    // see the run's output).
    user.scanItem(item);
    user.typeCount(QStringLiteral("-0"), 1500, 30);
    const QString afterMinusZero = scalar(m_db, countSql);
    user.scanItem(item);
    user.typeCount(QStringLiteral("１５"), 1500, 30);
    const QString afterFullWidth = scalar(m_db, countSql);
    std::printf("count after -0: %s, after full-width 15: %s\n", qPrintable(afterMinusZero),
                qPrintable(afterFullWidth));
    user.shot(QStringLiteral("08-counted"));

    const QHash<QString, QString> shown = reportCounts(user, QStringLiteral("report.csv"));
    EXPECT_EQ(shown.value(item), afterFullWidth) << "the grid shows another count than is stored";
    exitProgram(user, program);
    EXPECT_EQ(stockOf(item, QStringLiteral("STKQty, UpdUserID")),
              afterFullWidth + QStringLiteral("|DEMO"));
    EXPECT_EQ(scalar(m_db, QStringLiteral("Select count(*) From STOCK")), stockRows);
    EXPECT_EQ(program.errorRecords(), 0)
        << program.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();
}

// A log folder that cannot be written (an immutable folder: root ignores file modes): the
// program starts and counts; the failure it reports is simply not logged.
TEST_F(FaultRun, ReadOnlyLogFolder)
{
    makeSqlite();
    const QStringList items = monthItems(2);
    ASSERT_EQ(items.size(), 2);
    clearFloor(items[0]);
    ProgramCopy program;
    const QString log = program.root() + QStringLiteral("/LOG");
    QDir(log).removeRecursively();
    QDir().mkpath(log);
    const bool immutable =
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), log}) == 0;
    const auto restore = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), log});
        else
            QFile::remove(log);
    });
    if (!immutable) { // no chattr here: a file where the folder should be
        QDir(log).removeRecursively();
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    Stocktaker user(*m_x, program, QString());
    startSession(user, handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    const QString countSql =
        QStringLiteral("Select STKQty From STOCK Where DeptNo = 'A01' And StkDate = ") +
        kPeriodEnd + QStringLiteral(" And STKNo = '%1'");
    user.scanItem(items[0]);
    user.typeCount(QStringLiteral("5"));
    EXPECT_EQ(waitScalar(m_db, countSql.arg(items[0]), QStringLiteral("5")), QStringLiteral("5"));

    // A failure to report: the row of the second item vanishes under the program.
    user.scanItem(items[1]);
    m_db->executeNonQuery(QStringLiteral("Delete From STOCK Where DeptNo = 'A01' And STKNo = '") +
                          items[1] + QStringLiteral("'"));
    user.typeCount(QStringLiteral("999"));
    EXPECT_GE(user.answerBoxes(QStringLiteral("01-vanished-row")), 1)
        << "the failed count was not reported";
    m_x->key({QStringLiteral("Escape")});
    EXPECT_EQ(scalar(m_db, countSql.arg(items[1])), QStringLiteral("<no row>"));

    user.scanItem(items[0]);
    user.typeCount(QStringLiteral("7"));
    EXPECT_EQ(waitScalar(m_db, countSql.arg(items[0]), QStringLiteral("7")), QStringLiteral("7"));
    user.shot(QStringLiteral("02-counted"));
    EXPECT_TRUE(program.programRunning());
    exitProgram(user, program);
    if (immutable)
        EXPECT_TRUE(QDir(log).entryList(QDir::Files).isEmpty());
    else
        EXPECT_EQ(QFileInfo(log).size(), 0);
}

// Garbage where the messages database should be: start-up goes on (the failure may be
// reported in a box), messages are empty, and the program counts.
TEST_F(FaultRun, CorruptMessagesDatabase)
{
    makeSqlite();
    const QString item = monthItems(1).value(0);
    clearFloor(item);
    ProgramCopy program;
    {
        QFile msg(program.root() + QStringLiteral("/bin/JXMSG.MDB"));
        ASSERT_TRUE(msg.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator rng(9);
        for (char &c : garbage)
            c = char(rng.bounded(256));
        msg.write(garbage);
    }

    Stocktaker user(*m_x, program, QString());
    QProcess *menu =
        program.startViaMenu(*m_x, handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    int startBoxes = 0;
    ASSERT_FALSE(user.waitMainWindow(40000, {}, &startBoxes).isEmpty())
        << "the stock window did not appear: " << menu->readAll().toStdString();
    user.shot(QStringLiteral("01-started"));
    user.enterCriteria(lastMonthYear(), lastMonthMonth(), QStringLiteral("A01"));
    user.query();
    user.answerBoxes(QStringLiteral("02-query"), 500);
    user.scanItem(item);
    user.typeCount(QStringLiteral("6"));
    EXPECT_EQ(waitScalar(m_db,
                         QStringLiteral("Select STKQty From STOCK Where DeptNo = 'A01' And "
                                        "StkDate = ") +
                             kPeriodEnd + QStringLiteral(" And STKNo = '") + item +
                             QStringLiteral("'"),
                         QStringLiteral("6")),
              QStringLiteral("6"));
    user.shot(QStringLiteral("03-counted"));
    EXPECT_TRUE(program.programRunning());
    exitProgram(user, program);
    std::printf("start-up boxes: %d, error records: %d\n", startBoxes, program.errorRecords());
    EXPECT_GE(program.errorRecords(), 1) << "the unreadable messages database was not logged";
}
