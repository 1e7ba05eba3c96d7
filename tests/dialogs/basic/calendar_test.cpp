#include "common/clock.h"
#include "common/dates.h"
#include "common/state.h"
#include "dialogs/frmfgdate.h"
#include "platform/grid/flexgrid.h"
#include "support/modal.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

FlexGrid *calendarGrid(QWidget *w)
{
    return w->findChild<FlexGrid *>(QStringLiteral("fgCal"));
}

QString label(QWidget *w, const char *name)
{
    return w->findChild<QLabel *>(QString::fromLatin1(name))->text();
}

// The day numbers of one week row, empty cells as "".
QStringList week(FlexGrid *grid, int row)
{
    QStringList days;
    for (int c = 0; c < 7; ++c)
        days << grid->textMatrix(row, c);
    return days;
}

QString selectedDay(FlexGrid *grid)
{
    return grid->textMatrix(grid->row(), grid->col());
}

// Clicks the cell showing the text (a day number, or "" for an empty cell).
void clickCell(FlexGrid *grid, const QString &text, int nth = 0)
{
    QTableView *view = grid->view();
    QAbstractItemModel *model = view->model();
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            if (index.data().toString() == text && nth-- == 0) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(index).center());
                return;
            }
        }
    ADD_FAILURE() << "no cell " << text.toStdString();
}

class Calendar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedCalendar = Ini().gsCalendar;
        savedSep = Ini().gsDateSep;
        EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
        EditIni().gsDateSep = QStringLiteral("/");
        Clock::setNow(QDateTime(QDate(2013, 5, 20), QTime(10, 0)));
    }
    void TearDown() override
    {
        EditIni().gsCalendar = savedCalendar;
        EditIni().gsDateSep = savedSep;
        Clock::setNow(QDateTime());
    }
    QString savedCalendar;
    QString savedSep;
};

} // namespace

TEST_F(Calendar, WeeksRunFromSundayAndUseSixRowsOnlyWhenNeeded)
{
    frmFgDate &w = frmFgDateWindow();
    FlexGrid *grid = calendarGrid(&w);

    // March 2014 begins on a Saturday and has 31 days: six week rows.
    ASSERT_EQ(QDate(2014, 3, 1).dayOfWeek(), 6);
    w.DoCalendar(QDate(2014, 3, 15));
    EXPECT_EQ(grid->rows(), 7);
    EXPECT_EQ(grid->cols(), 7);
    EXPECT_EQ(week(grid, 0), QStringList({"週日", "週一", "週二", "週三", "週四", "週五", "週六"}));
    EXPECT_EQ(week(grid, 1), QStringList({"", "", "", "", "", "", "1"}));
    EXPECT_EQ(week(grid, 2), QStringList({"2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(week(grid, 6), QStringList({"30", "31", "", "", "", "", ""}));
    EXPECT_EQ(w.weekRows(), 6);
    EXPECT_EQ(w.calendarTag(), "2014/03");
    EXPECT_EQ(label(&w, "Label1"), "2014年 3月");
    EXPECT_EQ(label(&w, "lblDate"), "2014/03/15");
    EXPECT_EQ(selectedDay(grid), "15");
    EXPECT_EQ(grid->row(), 3);
    EXPECT_EQ(grid->col(), 6);
    // Six rows share the grid's height.
    QTableView *view = grid->view();
    const int sixRowHeight = view->verticalHeader()->sectionSize(0);
    EXPECT_EQ(view->verticalHeader()->sectionSize(5), sixRowHeight);

    // February 2015 begins on a Sunday in a common year: four week rows, nothing after.
    ASSERT_EQ(QDate(2015, 2, 1).dayOfWeek(), 7);
    w.DoCalendar(QDate(2015, 2, 1));
    EXPECT_EQ(week(grid, 1), QStringList({"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(week(grid, 4), QStringList({"22", "23", "24", "25", "26", "27", "28"}));
    EXPECT_EQ(week(grid, 5), QStringList({"", "", "", "", "", "", ""}));
    EXPECT_EQ(week(grid, 6), QStringList({"", "", "", "", "", "", ""}));
    EXPECT_EQ(w.weekRows(), 5);
    EXPECT_GT(view->verticalHeader()->sectionSize(0), sixRowHeight);
    EXPECT_EQ(label(&w, "Label1"), "2015年 2月");
    EXPECT_EQ(selectedDay(grid), "1");
}

TEST_F(Calendar, MonthButtonsKeepTheDayOrTheMonthsLastDay)
{
    auto seen = std::make_shared<QStringList>();
    TestModal::whenModal([seen](QWidget *w) {
        auto *next = w->findChild<QToolButton *>(QStringLiteral("imgNext"));
        auto *prev = w->findChild<QToolButton *>(QStringLiteral("imgPrev"));
        FlexGrid *grid = calendarGrid(w);
        QTest::mouseClick(next, Qt::LeftButton);
        *seen << label(w, "lblDate") << selectedDay(grid) << label(w, "Label1");
        QTest::mouseClick(next, Qt::LeftButton);
        *seen << label(w, "lblDate");
        QTest::mouseClick(prev, Qt::LeftButton);
        QTest::mouseClick(prev, Qt::LeftButton);
        QTest::mouseClick(prev, Qt::LeftButton);
        *seen << label(w, "lblDate") << label(w, "Label1");
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
    });
    frmFgDate &w = frmFgDateWindow();
    w.DATEPICKED = QStringLiteral("unchanged");
    EXPECT_FALSE(w.PickDate(QStringLiteral("2013/01/31")));
    EXPECT_EQ(*seen, QStringList({"2013/02/28", "28", "2013年 2月", "2013/03/28", "2012/12/28",
                                  "2012年 12月"}));
    // Leaving by the exit button picks nothing.
    EXPECT_EQ(w.DATEPICKED, "unchanged");
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Calendar, ClickOnADayPicksItInDisplayForm)
{
    EditIni().gsCalendar = QStringLiteral("CC/MM/DD");
    auto seen = std::make_shared<QStringList>();
    TestModal::whenModal([seen](QWidget *w) {
        FlexGrid *grid = calendarGrid(w);
        // The heading row and empty cells pick nothing.
        QHeaderView *header = grid->view()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, 5));
        clickCell(grid, QString());
        *seen << QString::number(w->isVisible());
        // Next month works from a three-digit ROC year display.
        QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("imgNext")), Qt::LeftButton);
        *seen << label(w, "lblDate");
        w->grab().save(QDir(TOVRAN_ARTIFACT_DIR).filePath(QStringLiteral("frmFgDate.png")));
        clickCell(grid, QStringLiteral("7"));
    });
    frmFgDate &w = frmFgDateWindow();
    EXPECT_TRUE(w.PickDate(QDate(2013, 4, 30)));
    EXPECT_EQ(*seen, QStringList({"1", "102/05/30"}));
    EXPECT_EQ(w.DATEPICKED, "102/05/07");
    EXPECT_FALSE(w.isVisible());

    // Without a date the calendar opens on the month it showed last.
    auto month = std::make_shared<QString>();
    TestModal::whenModal([month](QWidget *w) {
        *month = label(w, "Label1");
        clickCell(calendarGrid(w), QStringLiteral("31"));
    });
    EXPECT_TRUE(w.PickDate());
    EXPECT_EQ(*month, "2013年 5月");
    EXPECT_EQ(w.DATEPICKED, "102/05/31");
}

TEST_F(Calendar, NonDateOpensOnTodaysMonth)
{
    auto seen = std::make_shared<QStringList>();
    TestModal::whenModal([seen](QWidget *w) {
        *seen << label(w, "Label1") << label(w, "lblDate") << selectedDay(calendarGrid(w));
        w->close(); // the title bar: no pick
    });
    frmFgDate &w = frmFgDateWindow();
    EXPECT_FALSE(w.PickDate(QStringLiteral("2013/02/30")));
    EXPECT_EQ(*seen, QStringList({"2013年 5月", "2013/05/20", "20"}));
    seen->clear();
    TestModal::whenModal([seen](QWidget *w) {
        *seen << label(w, "Label1");
        w->close();
    });
    EXPECT_FALSE(w.PickDate(QStringLiteral("abc")));
    EXPECT_EQ(*seen, QStringList({"2013年 5月"}));
}
