#pragma once

// The real stock window on a fresh business database, driven offscreen: shared by the
// window test programs (criteria, loading, entry, lookup).

#include "common/clock.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "dialogs/frmsure.h"
#include "platform/db/sqlscript.h"
#include "platform/widgets/elasticpanel.h"
#include "stockwindow/fmtovran.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"
#include "support/controls.h"
#include "support/modal.h"
#include "support/programtree.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace WindowTest {

// What the confirmation window showed when a test answered it.
struct SureSeen
{
    bool shown = false;
    QString message;
    QString title;
    bool cancelVisible = true;
};

// Presses the first button ("確定") of the next confirmation window, or the second when
// confirm is false, and records what it showed.
inline std::shared_ptr<SureSeen> answerSure(bool confirm = true)
{
    auto seen = std::make_shared<SureSeen>();
    TestModal::whenModal([seen, confirm](QWidget *w) {
        if (w->objectName() != QLatin1String("frmSure"))
            return;
        seen->shown = true;
        seen->title = w->windowTitle();
        if (auto *panel = w->findChild<ElasticPanel *>(QStringLiteral("elaMsg")))
            seen->message = panel->caption();
        auto *cancel = w->findChild<QPushButton *>(QStringLiteral("cmdCancel"));
        seen->cancelVisible = cancel && cancel->isVisible();
        w->findChild<QPushButton *>(confirm ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))
            ->click();
    });
    return seen;
}

// Closes message boxes that nobody expected (an error report would otherwise wait for
// ever) and keeps their texts, so the test can fail on them.
class UnexpectedBoxes : public QObject
{
public:
    UnexpectedBoxes()
    {
        m_timer.setInterval(200);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    QStringList texts;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            m_seen = nullptr;
            return;
        }
        if (modal != m_seen) {
            m_seen = modal;
            m_ticks = 0;
            return;
        }
        // An armed test action answers within tens of milliseconds; two seconds is lost.
        if (++m_ticks < 10)
            return;
        auto *box = qobject_cast<QMessageBox *>(modal);
        texts << (box ? box->text() : modal->objectName());
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->hide();
        m_seen = nullptr;
    }
    QTimer m_timer;
    QWidget *m_seen = nullptr;
    int m_ticks = 0;
};

// The stock grid as the clerk sees it, addressed as the suite's grid is: row 0 is the title
// row, the rows the display options leave shown are 1 on, in the grid's order. Everything is
// read through the view's model and roles, as the view paints it.
class GridProbe
{
public:
    explicit GridProbe(StockGridView *view) : m_view(view) {}
    GridProbe *operator->() { return this; }

    QAbstractItemModel *model() const { return m_view->model(); }
    QModelIndex index(int row, int col) const { return model()->index(row - 1, col); }
    int rows() const { return model()->rowCount() + 1; }
    int cols() const { return model()->columnCount(); }
    int row() const
    {
        const QModelIndex current = m_view->currentIndex();
        return current.isValid() ? current.row() + 1 : 0;
    }
    int col() const { return m_view->currentIndex().column(); }
    void setRow(int row) { m_view->setCurrentIndex(index(row, std::max(col(), 0))); }
    void setCol(int col) { m_view->setCurrentIndex(index(std::max(row(), 1), col)); }
    QString text(int row, int col) const
    {
        return row == 0 ? model()->headerData(col, Qt::Horizontal).toString()
                        : index(row, col).data().toString();
    }
    // The row's display factor.
    double factor(int row) const
    {
        const int monthRow = m_view->rows()->mapToSource(index(row, 0)).row();
        return m_view->monthModel()->month().factor(monthRow);
    }
    QColor cellBackColor(int row, int col) const
    {
        return index(row, col).data(Qt::BackgroundRole).value<QColor>();
    }
    bool cellBold(int row, int col) const
    {
        return index(row, col).data(Qt::FontRole).value<QFont>().bold();
    }
    bool colHidden(int col) const { return m_view->isColumnHidden(col); }
    void setColHidden(int col, bool hidden) { m_view->setColumnHidden(col, hidden); }
    // As a heading click sorts.
    void sort(int col, Qt::SortOrder order) { m_view->rows()->sortByColumn(col, order); }
    StockGridView *view() const { return m_view; }
    bool isEditing() const { return m_view->isEditing(); }
    void editCell() { m_view->editCurrentCell(); }
    bool isAncestorOf(const QWidget *w) const { return m_view->isAncestorOf(w); }

private:
    StockGridView *m_view;
};

class WindowFixture : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        QFile::remove(qEnvironmentVariable("NORV_SETTINGS"));
        QString why;
        db = TestDatabase::create(GetParam(), &why);
        if (!db)
            GTEST_SKIP() << why.toStdString();
        db->makeShared();
        EditIni().gsIniFile = tree.iniFile();
        EditIni().gsLogFile = tree.log() + QStringLiteral("/TOVRAN.LOG");
        EditIni().gsErrFile = tree.log() + QStringLiteral("/TOVRAN.ERR");
        EditUser().gsUserID = QStringLiteral("TESTER");
        EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
        EditIni().gsDateSep = QStringLiteral("/");
        EditSuite().gvDeptPrefix.clear();
        buildMessages();
        ASSERT_TRUE(InitMsgDB());
        Clock::setNow(QDateTime(QDate(2003, 2, 5), QTime(10, 0)));
        db->exec(
            QStringLiteral("insert into Corp (CompNo, compname, CompSName, DeptNo, StockNo) values "
                           "('A01', '第一店', '一店', '01', 1);\n"
                           "insert into Corp (CompNo, compname, CompSName, DeptNo, StockNo) values "
                           "('B02', '第二店', '二店', '02', 2);\n"));
        boxes = std::make_unique<UnexpectedBoxes>();
    }

    void TearDown() override
    {
        window.reset();
        if (boxes) {
            EXPECT_TRUE(boxes->texts.isEmpty())
                << "unexpected message: " << boxes->texts.join(QStringLiteral(" / ")).toStdString();
        }
        boxes.reset();
        Clock::setNow(QDateTime());
        EditSuite().gvDeptPrefix.clear();
    }

    // The messages database beside the program, as the build makes it.
    void buildMessages() const
    {
        const QString file = tree.bin() + QStringLiteral("/JXMSG.MDB");
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.close();
        auto conn = Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file);
        Ado::RunSqlScriptFile(*conn, QStringLiteral(TOVRAN_SOURCE_DIR "/db/sqlite/messages.sql"));
        Ado::RunSqlScriptFile(*conn, QStringLiteral(TOVRAN_SOURCE_DIR "/db/messages.sql"));
    }

    // Opens the window as start-up does.
    fmTOVRAN &start()
    {
        window = std::make_unique<fmTOVRAN>();
        window->showWindow();
        QApplication::processEvents();
        return *window;
    }

    void param(const QString &id, const QString &value) const
    {
        db->exec(QStringLiteral("insert into xxPARAM (ParamID, ParamValue) values ('%1', '%2');\n")
                     .arg(id, value));
    }

    void item(const QString &no, const QString &name, const QString &unit = QStringLiteral("個"),
              const QString &useUnit = QString(), const QString &useQty = QStringLiteral("1"),
              const QString &flag = QStringLiteral("Y"), const QString &lType = QStringLiteral("A"),
              const QString &dscp = QStringLiteral("規格")) const
    {
        db->exec(QStringLiteral("insert into STK (STKNo, STKName, STKDscp, Unit, UUnit, UQty, "
                                "STKFlag, LType, Buyprice, AvgPrice) values ('%1', '%2', '%3', "
                                "'%4', '%5', %6, '%7', '%8', 0, 0);\n")
                     .arg(no, name, dscp, unit, useUnit, useQty, flag, lType));
    }

    // A stock record of department A01; values in stock units. Returns its record number.
    QString stock(const QString &date, const QString &no, double lastQty, double inQty,
                  double stkQty = 0, double avgPrice = 0,
                  const QString &dept = QStringLiteral("A01"), double outQty = 0,
                  double lostQty = 0) const
    {
        db->exec(QStringLiteral("insert into STOCK (DeptNo, StkDate, STKNo, LastQty, LastAmt, "
                                "InQty, InAmt, OutQty, LostQty, STKQty, STKAmt, AvgPrice, UserID, "
                                "UpdUserID) values ('%1', %2, '%3', %4, %5, %6, %7, %8, %9, %10, "
                                "%11, %12, 'MAKER', 'MAKER');\n")
                     .arg(dept, QuotDate(date), no)
                     .arg(lastQty)
                     .arg(lastQty * avgPrice)
                     .arg(inQty)
                     .arg(inQty * avgPrice)
                     .arg(outQty)
                     .arg(lostQty)
                     .arg(stkQty)
                     .arg(stkQty * avgPrice)
                     .arg(avgPrice));
        return db->scalar(QStringLiteral("select RNo from STOCK where DeptNo = '%1' and STKNo = "
                                         "'%2' and StkDate = %3")
                              .arg(dept, no, QuotDate(date)));
    }

    QString stockField(const QString &rno, const QString &field) const
    {
        return db->scalar(QStringLiteral("select %1 from STOCK where RNo = %2").arg(field, rno));
    }
    double stockNumber(const QString &rno, const QString &field) const
    {
        return stockField(rno, field).toDouble();
    }

    // Period criteria typed into the boxes, then the query button.
    void query(const QString &year, const QString &month, const QString &dept = "A01")
    {
        Control<QLineEdit>(*window, "txtYear")->setText(year);
        Control<QLineEdit>(*window, "txtMonth")->setText(month);
        Control<QLineEdit>(*window, "txtDeptNoB")->setText(dept);
        Control<QPushButton>(*window, "cmdQry")->click();
        QApplication::processEvents();
    }

    QString msg() const { return Control<ElasticPanel>(*window, "elaMsg")->caption(); }
    GridProbe grid() const { return GridProbe(Control<StockGridView>(*window, "fgList")); }
    QString cell(int row, int col) const { return grid()->text(row, col); }

    // The grid row of an item number, -1 when it has none.
    int rowOf(const QString &no) const
    {
        for (int r = 1; r < grid()->rows(); ++r)
            if (cell(r, fmTOVRAN::ColSTKNo) == no)
                return r;
        return -1;
    }

    QStringList itemOrder() const
    {
        QStringList order;
        for (int r = 1; r < grid()->rows(); ++r)
            order << cell(r, fmTOVRAN::ColSTKNo);
        return order;
    }

    // The items of the rows shown, in the grid's order.
    QStringList visibleItems() const { return itemOrder(); }

    // Opens the editor on a cell as a double click would, types the text and presses Enter.
    // False when the edit was refused before the editor opened.
    bool typeIntoCell(int row, int col, const QString &text)
    {
        grid()->view()->setCurrentIndex(grid()->index(row, col));
        grid()->view()->setFocus();
        grid()->editCell();
        QApplication::processEvents();
        QLineEdit *box = openEditor();
        if (!box)
            return false;
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
        return true;
    }

    // The grid's open editor (closed ones may linger until deleted), or nullptr.
    QLineEdit *openEditor() const
    {
        QLineEdit *box = Control<StockGridView>(*window, "fgList")->editor();
        return box && box->isVisible() ? box : nullptr;
    }

    // Leaves an editor that a refusal kept open.
    void escapeEditor()
    {
        if (!grid()->isEditing())
            return;
        if (QLineEdit *editor = openEditor())
            QTest::keyClick(editor, Qt::Key_Escape);
        QApplication::processEvents();
    }

    ProgramTree tree;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<fmTOVRAN> window;
    std::unique_ptr<UnexpectedBoxes> boxes;
};

inline std::string kindName(const ::testing::TestParamInfo<Backend> &info)
{
    return BackendName(info.param);
}

} // namespace WindowTest
