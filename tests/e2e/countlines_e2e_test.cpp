// Two clerks counting one month by location, by scanning and from handheld files, each at a
// workstation of their own (started through the menu) under one X server, by keyboard (the
// boxes reached by a click, as a clerk puts the cursor in them), on one shared SQLite file
// and on one PostgreSQL database:
//  1. one item counted at two locations, one by each clerk: both screens show the sum;
//  2. the second clerk counts the first one's location with another quantity: the item is
//     marked for recount (in the database and in the first clerk's grid);
//  3. scan counting: an item scanned twelve times and then as "12*": 24 on both screens;
//  4. the count history (F9) and its undo: the item back to 12;
//  5. a handheld file in UTF-8 with good and bad lines (the refused ones saved from the
//     preview, the good ones written as imported lines, an item the month lacked added), and
//     one in Big5 at the other workstation;
//  6. both leave the program;
//  7. every record of the month and every count line checked against the database;
//  8. a workstation killed between two scans: every record still equals the sum of its lines.
#include "twoworkstations.h"

#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace E2E;

namespace {

const QString kShelf = QStringLiteral("貨架");
const QString kStore = QStringLiteral("倉庫");
// The colour of the item cells of a row marked for recount.
constexpr QRgb kRecountColour = qRgb(0xFF, 0xC8, 0xC8);

class CountLines : public TwoWorkstations
{
protected:
    void SetUp() override { setUpRun(QStringLiteral("countlines")); }
    QString rnoOf(const QString &itemNo) const
    {
        return QStringLiteral("(Select RNo From STOCK") + where(itemNo) + QLatin1Char(')');
    }

    double number(const QString &sql) const
    {
        Ado::Recordset rs = m_db->execute(sql);
        return rs.eof() ? std::nan("") : rs.number(0);
    }
    double countOf(const QString &itemNo) const
    {
        return number(QStringLiteral("Select STKQty From STOCK") + where(itemNo));
    }
    double waitCount(const QString &itemNo, double expected) const
    {
        QDeadlineTimer deadline(10000);
        double last = countOf(itemNo);
        while (std::abs(last - expected) > 0.001 && !deadline.hasExpired()) {
            Pause(200);
            last = countOf(itemNo);
        }
        return last;
    }

    // The item's count lines as "location user qty kind replaced-by": every one, oldest
    // first, or the current ones (sorted: not in the database's collation).
    QStringList linesOf(const QString &itemNo, bool currentOnly = false) const
    {
        QStringList lines;
        for (Ado::Recordset rs = m_db->execute(
                 QStringLiteral("Select Location, UserID, Qty, Kind, VoidUserID From STOCKCNT "
                                "Where Kind <> 'M' And RNo = ") +
                 rnoOf(itemNo) +
                 (currentOnly ? QStringLiteral(" And VoidDate Is Null") : QString()) +
                 QStringLiteral(" Order By CntNo"));
             !rs.eof(); rs.moveNext())
            lines << QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(rs.text(0), rs.text(1), QString::number(rs.number(2)), rs.text(3),
                              rs.text(4))
                         .trimmed();
        if (currentOnly)
            lines.sort();
        return lines;
    }
    QStringList currentLinesOf(const QString &itemNo) const { return linesOf(itemNo, true); }

    // A text file's lines (UTF-8, a byte-order mark and carriage returns dropped).
    static QStringList textLines(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QString text = QString::fromUtf8(f.readAll());
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        text.remove(QLatin1Char('\r'));
        return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Every record of the month: one with current count lines counts their sum; usage or
    // adjustment follows its count (which one depends on whether the item is book-kept:
    // one of them must), the amount its count and price. Every line belongs to a record,
    // a location has one current line, a replaced line says by whom.
    void checkMonth(const QString &step) const
    {
        int records = 0, withLines = 0;
        Ado::Recordset rs = m_db->execute(
            QStringLiteral(
                "Select s.STKNo, s.LastQty, s.InQty, s.OutQty, s.LostQty, s.AdjustQty, s.UseQty, "
                "s.STKQty, s.STKAmt, s.AvgPrice, (Select count(*) From STOCKCNT c Where c.RNo = "
                "s.RNo And c.VoidDate Is Null And c.Kind <> 'M'), (Select sum(c.Qty) From "
                "STOCKCNT c Where c.RNo = s.RNo And c.VoidDate Is Null And c.Kind <> 'M') "
                "From STOCK s Where s.DeptNo = 'A01' And s.StkDate = ") +
            kPeriodEnd);
        for (; !rs.eof(); rs.moveNext()) {
            ++records;
            const std::string item = rs.text(0).toStdString();
            const double book = rs.number(1) + rs.number(2) - rs.number(3) - rs.number(4);
            const double adjust = rs.number(5), use = rs.number(6), count = rs.number(7);
            if (rs.number(10) > 0) {
                ++withLines;
                EXPECT_NEAR(count, rs.number(11), 0.0001)
                    << step.toStdString() << ": " << item << " does not count its lines";
            }
            const bool usageFollows = std::abs(use - (book - count)) < 0.006;
            const bool adjustmentFollows = std::abs(adjust - (count - book)) < 0.006;
            EXPECT_TRUE(usageFollows || adjustmentFollows)
                << step.toStdString() << ": " << item << " has book " << book << ", count " << count
                << ", usage " << use << ", adjustment " << adjust;
            EXPECT_NEAR(rs.number(8), count * rs.number(9), 0.011)
                << step.toStdString() << ": the amount of " << item;
        }
        EXPECT_GT(records, 0);
        EXPECT_GT(withLines, 0) << step.toStdString();
        const auto none = [&](const QString &what, const QString &sql) {
            EXPECT_EQ(scalar(m_db, sql), QStringLiteral("0"))
                << step.toStdString() << ": " << what.toStdString();
        };
        none(QStringLiteral("lines of no record"),
             QStringLiteral("Select count(*) From STOCKCNT c Where Not Exists (Select 1 From "
                            "STOCK s Where s.RNo = c.RNo)"));
        none(QStringLiteral("two current lines of one location"),
             QStringLiteral("Select count(*) From (Select RNo, Location From STOCKCNT Where "
                            "VoidDate Is Null And Kind <> 'M' Group By RNo, Location Having "
                            "count(*) > 1) d"));
        none(QStringLiteral("replaced lines that do not say by whom"),
             QStringLiteral("Select count(*) From STOCKCNT Where VoidDate Is Not Null And "
                            "(VoidUserID Is Null Or VoidUserID = '')"));
        none(QStringLiteral("lines without user, workstation, time or kind, or below zero"),
             QStringLiteral("Select count(*) From STOCKCNT Where UserID Is Null Or UserID = '' "
                            "Or PCName Is Null Or CntDate Is Null Or Qty < 0 Or Kind Not In "
                            "('T', 'S', 'I', 'U', 'M')"));
    }

    // The item figures set to nothing: any count from 0 on is taken without a question.
    void clearRecord(const QString &itemNo) const
    {
        m_db->executeNonQuery(
            QStringLiteral("Update STOCK Set LastQty = 0, LastAmt = 0, InQty = 0, InAmt = 0, "
                           "OutQty = 0, OutAmt = 0, LostQty = 0, LostAmt = 0, ChkQty = 0, "
                           "AdjustQty = 0, UseQty = 0, STKQty = 0, STKAmt = 0, UpdUserID = 'OLD'") +
            where(itemNo));
    }

    // The grid of a workstation, read back through its stock report.
    QHash<QString, QString> shownCounts(Stocktaker &user, const QString &name) const
    {
        const QHash<QString, QString> counts = user.shownCounts(QDir(m_dir).filePath(name));
        EXPECT_FALSE(counts.isEmpty()) << "the stock report could not be read back";
        return counts;
    }

    // The pixels of a screenshot in the colour of a row marked for recount.
    int recountPixels(const QString &shot) const
    {
        const QImage image(QDir(m_dir).filePath(shot + QStringLiteral(".png")));
        int pixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels += image.pixel(x, y) == kRecountColour;
        return pixels;
    }

    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        const QString path = m_work.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return path;
    }
};

} // namespace

TEST_P(CountLines, TwoClerks)
{
    QStringList items;
    for (Ado::Recordset rs = m_db->execute(
             QStringLiteral("Select STKNo From STOCK Where DeptNo = 'A01' And StkDate = ") +
             kPeriodEnd + QStringLiteral(" Order By STKNo"));
         !rs.eof() && items.size() < 5; rs.moveNext())
        items << rs.text(0);
    ASSERT_EQ(items.size(), 5);
    // Two locations; scanned; from the UTF-8 file; from the Big5 file; scanned and killed.
    const QString twoPlaces = items[0], scanned = items[1], imported = items[2], big5 = items[3],
                  killed = items[4];
    const QString added = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STK Where STKNo Not In (Select STKNo From "
                             "STOCK Where DeptNo = 'A01' And StkDate = ") +
                  kPeriodEnd + QStringLiteral(")"));
    ASSERT_NE(added, QStringLiteral("<no row>"));
    for (const QString &item : std::as_const(items))
        clearRecord(item);

    ProgramCopy first, second;
    Stocktaker demo(*m_x, first, QStringLiteral("demo-"));
    Stocktaker clerk(*m_x, second, QStringLiteral("clerk-"));
    startSession(demo, handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    startSession(clerk, handOver(QStringLiteral("CLERK"), QStringLiteral("CLERK")),
                 {demo.mainWindow()});
    ASSERT_NE(demo.mainWindow(), clerk.mainWindow());

    // 1. DEMO counts 5 on the shelf, the clerk 3 in the store room: 8 on both screens.
    demo.typeLocation(kShelf);
    demo.scanItem(twoPlaces);
    demo.typeCount(QStringLiteral("5"));
    clerk.typeLocation(kStore);
    clerk.scanItem(twoPlaces);
    clerk.typeCount(QStringLiteral("3"));
    EXPECT_EQ(demo.answerBoxes(QStringLiteral("01-unexpected"), 500), 0);
    EXPECT_EQ(clerk.answerBoxes(QStringLiteral("01-unexpected"), 500), 0);
    EXPECT_EQ(waitCount(twoPlaces, 8), 8);
    EXPECT_EQ(currentLinesOf(twoPlaces), QStringList({kStore + QStringLiteral(" CLERK 3 T"),
                                                      kShelf + QStringLiteral(" DEMO 5 T")}));
    Pause(2000);
    demo.shot(QStringLiteral("01-two-locations"));
    EXPECT_EQ(shownCounts(demo, QStringLiteral("01-demo.csv")).value(twoPlaces),
              QStringLiteral("8"));
    EXPECT_EQ(shownCounts(clerk, QStringLiteral("01-clerk.csv")).value(twoPlaces),
              QStringLiteral("8"));
    checkMonth(QStringLiteral("two locations"));

    // 2. The clerk counts the shelf again with another quantity: marked for recount, and
    // DEMO's grid shows the mark's colour without anybody touching it.
    m_x->activate(demo.mainWindow());
    demo.shot(QStringLiteral("02-before"));
    EXPECT_EQ(recountPixels(QStringLiteral("demo-02-before")), 0);
    clerk.typeLocation(kShelf);
    clerk.scanItem(twoPlaces);
    clerk.typeCount(QStringLiteral("6"));
    EXPECT_EQ(clerk.answerBoxes(QStringLiteral("02-unexpected"), 500), 0);
    EXPECT_EQ(waitCount(twoPlaces, 9), 9);
    EXPECT_EQ(linesOf(twoPlaces), QStringList({kShelf + QStringLiteral(" DEMO 5 T CLERK"),
                                               kStore + QStringLiteral(" CLERK 3 T"),
                                               kShelf + QStringLiteral(" CLERK 6 T")}));
    Pause(2000);
    m_x->activate(demo.mainWindow());
    demo.shot(QStringLiteral("02-marked"));
    EXPECT_GT(recountPixels(QStringLiteral("demo-02-marked")), 100)
        << "DEMO's grid does not show the recount mark";
    EXPECT_EQ(shownCounts(demo, QStringLiteral("02-demo.csv")).value(twoPlaces),
              QStringLiteral("9"));
    checkMonth(QStringLiteral("recount"));

    // 3. DEMO scans an item twelve times, then "12*" it: 24 on the shelf's line.
    demo.toggleScanCounting();
    for (int i = 0; i < 12; ++i)
        demo.scanItem(scanned, 300);
    EXPECT_EQ(waitCount(scanned, 12), 12) << "twelve scans did not count twelve";
    demo.scanItem(QStringLiteral("12*") + scanned);
    EXPECT_EQ(waitCount(scanned, 24), 24);
    EXPECT_EQ(demo.answerBoxes(QStringLiteral("03-unexpected"), 500), 0);
    EXPECT_EQ(currentLinesOf(scanned), QStringList({kShelf + QStringLiteral(" DEMO 24 S")}));
    EXPECT_EQ(scalar(m_db, QStringLiteral("Select count(*) From STOCKCNT Where Kind = 'S' And "
                                          "RNo = ") +
                               rnoOf(scanned)),
              QStringLiteral("13"));
    Pause(2000);
    EXPECT_EQ(shownCounts(demo, QStringLiteral("03-demo.csv")).value(scanned),
              QStringLiteral("24"));
    EXPECT_EQ(shownCounts(clerk, QStringLiteral("03-clerk.csv")).value(scanned),
              QStringLiteral("24"));
    checkMonth(QStringLiteral("scanned"));

    // 4. F9 on the scanned row, Enter on "復原": the last change undone, back to 12.
    ASSERT_TRUE(demo.undoLastCount(QStringLiteral("04-history")))
        << "the count history did not show or did not close";
    EXPECT_EQ(waitCount(scanned, 12), 12) << "the undo did not restore the count";
    EXPECT_EQ(currentLinesOf(scanned), QStringList({kShelf + QStringLiteral(" DEMO 12 U")}));
    EXPECT_EQ(linesOf(scanned).constLast(), kShelf + QStringLiteral(" DEMO 12 U"));
    EXPECT_EQ(demo.answerBoxes(QStringLiteral("04-unexpected"), 500), 0);
    Pause(2000);
    EXPECT_EQ(shownCounts(demo, QStringLiteral("04-demo.csv")).value(scanned),
              QStringLiteral("12"));
    EXPECT_EQ(shownCounts(clerk, QStringLiteral("04-clerk.csv")).value(scanned),
              QStringLiteral("12"));
    checkMonth(QStringLiteral("undone"));

    // 5. A handheld file with good and bad lines at DEMO's screen: the refused lines saved
    // from the preview, the accepted ones written as imported lines.
    const QString utf8 = writeFile(
        QStringLiteral("handheld.csv"),
        (QStringLiteral("品號,數量,區位\n") + imported + QStringLiteral(",4,") + kShelf +
         QStringLiteral("\n") + imported + QStringLiteral(",2.5,") + kStore + QStringLiteral("\n") +
         added + QStringLiteral(",7,") + kShelf + QStringLiteral("\nNOSUCH-ITEM,1\n") + imported +
         QStringLiteral(",x,") + kShelf + QStringLiteral("\n") + scanned + QStringLiteral(",-3\n") +
         imported + QStringLiteral("\n") + added + QStringLiteral(",1,") + kShelf +
         QStringLiteral("\n"))
            .toUtf8());
    const QString preview = demo.openImport(utf8);
    ASSERT_FALSE(preview.isEmpty()) << "the import preview did not show";
    demo.shot(QStringLiteral("05-preview"));
    const QString refused = QDir(m_dir).filePath(QStringLiteral("05-refused.csv"));
    QFile::remove(refused);
    EXPECT_TRUE(demo.saveRefusedLines(preview, refused)) << "the refused lines were not saved";
    demo.shot(QStringLiteral("05-refused-saved"));
    // The header and the four bad lines in file order, each as read with its reason.
    const QStringList refusedLines = textLines(refused);
    const QStringList bad{QStringLiteral("NOSUCH-ITEM,1,"),
                          imported + QStringLiteral(",x,") + kShelf + QLatin1Char(','),
                          scanned + QStringLiteral(",-3,"), imported + QLatin1Char(',')};
    ASSERT_EQ(refusedLines.size(), 5) << refusedLines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(refusedLines[0].startsWith(QStringLiteral("品號,數量,區位,")));
    for (int i = 0; i < bad.size(); ++i)
        EXPECT_TRUE(refusedLines[i + 1].startsWith(bad[i]) &&
                    refusedLines[i + 1].size() > bad[i].size() + 1)
            << refusedLines[i + 1].toStdString() << " is not " << bad[i].toStdString()
            << " with its reason";
    EXPECT_TRUE(demo.applyImport(preview)) << "Enter did not apply the import";
    EXPECT_EQ(demo.answerBoxes(QStringLiteral("05-unexpected"), 1000), 0);
    EXPECT_EQ(waitCount(imported, 6.5), 6.5);
    EXPECT_EQ(currentLinesOf(imported), QStringList({kStore + QStringLiteral(" DEMO 2.5 I"),
                                                     kShelf + QStringLiteral(" DEMO 4 I")}));
    EXPECT_EQ(waitCount(added, 8), 8) << "the item the month lacked was not added and counted";
    EXPECT_EQ(currentLinesOf(added), QStringList({kShelf + QStringLiteral(" DEMO 8 I")}));
    EXPECT_EQ(countOf(scanned), 12) << "a refused line was written";
    EXPECT_EQ(scalar(m_db, QStringLiteral("Select count(*) From STOCK Where STKNo = "
                                          "'NOSUCH-ITEM'")),
              QStringLiteral("0"));

    // A Big5 file at the clerk's screen.
    const QByteArray big5Shelf("\xB3\x66\xAC\x5B"), big5Store("\xAD\xDC\xAE\x77");
    const QString big5File =
        writeFile(QStringLiteral("handheld-big5.txt"),
                  big5.toLatin1() + ";3;" + big5Store + "\r\n" + big5.toLatin1() + ";1.5;" +
                      big5Shelf + "\r\nNOSUCH-ITEM;2;" + big5Store + "\r\n");
    const QString big5Preview = clerk.openImport(big5File);
    ASSERT_FALSE(big5Preview.isEmpty()) << "the Big5 file's preview did not show";
    clerk.shot(QStringLiteral("05-big5-preview"));
    EXPECT_TRUE(clerk.applyImport(big5Preview)) << "Enter did not apply the Big5 import";
    EXPECT_EQ(waitCount(big5, 4.5), 4.5);
    EXPECT_EQ(currentLinesOf(big5), QStringList({kStore + QStringLiteral(" CLERK 3 I"),
                                                 kShelf + QStringLiteral(" CLERK 1.5 I")}));
    Pause(2000);
    const QHash<QString, QString> demoShows = shownCounts(demo, QStringLiteral("05-demo.csv"));
    const QHash<QString, QString> clerkShows = shownCounts(clerk, QStringLiteral("05-clerk.csv"));
    for (const auto &[item, count] :
         {std::pair{imported, QStringLiteral("6.5")}, std::pair{added, QStringLiteral("8")},
          std::pair{big5, QStringLiteral("4.5")}}) {
        EXPECT_EQ(demoShows.value(item), count) << "DEMO's screen, " << item.toStdString();
        EXPECT_EQ(clerkShows.value(item), count) << "the clerk's screen, " << item.toStdString();
    }
    checkMonth(QStringLiteral("imported"));

    // 6. Both leave.
    EXPECT_TRUE(clerk.exitAndWait(second)) << "the clerk's program did not end";
    EXPECT_TRUE(demo.exitAndWait(first)) << "DEMO's program did not end";
    EXPECT_EQ(first.errorRecords(), 0) << first.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();
    EXPECT_EQ(second.errorRecords(), 0)
        << second.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();

    // 7. Every record and every line against the database.
    checkMonth(QStringLiteral("after both left"));

    // 8. DEMO's workstation again (its location remembered), scan counting, killed between
    // two scans: the record holds the scans written, and equals its lines.
    Stocktaker again(*m_x, first, QStringLiteral("again-"));
    startSession(again, handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    again.toggleScanCounting();
    for (int i = 1; i <= 3; ++i) {
        again.scanItem(killed, 300);
        EXPECT_EQ(waitCount(killed, i), i);
    }
    again.shot(QStringLiteral("08-before-kill"));
    ASSERT_TRUE(first.programRunning());
    first.killProgram();
    QDeadlineTimer gone(10000);
    while (first.programRunning() && !gone.hasExpired())
        Pause(100);
    EXPECT_FALSE(first.programRunning()) << "the program was not killed";
    EXPECT_EQ(countOf(killed), 3);
    EXPECT_EQ(currentLinesOf(killed), QStringList({kShelf + QStringLiteral(" DEMO 3 S")}))
        << "the remembered location was not counted at";
    checkMonth(QStringLiteral("killed"));
}

INSTANTIATE_TEST_SUITE_P(CountLines, CountLines, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         DbName);
