#include "dialogs/frmfgdate.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "forms/formhelpers.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/screenunits.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString WeekHeadings = QStringLiteral("^週日|^週一|^週二|^週三|^週四|^週五|^週六");
constexpr int WeekRowsMax = 6;

// Size of the calendar grid in pixels: big enough to hit a day with a finger.
constexpr int CalendarWidth = 7 * 56;
constexpr int CalendarHeight = 300;

} // namespace

frmFgDate::frmFgDate(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFgDate"));
    setModal(true);
    setWindowTitle(QStringLiteral("選取日期"));

    imgPrev = new QToolButton(this);
    imgPrev->setObjectName(QStringLiteral("imgPrev"));
    imgPrev->setText(QStringLiteral("◀"));
    imgPrev->setAutoRaise(true);
    imgPrev->setMinimumSize(44, 36);
    imgNext = new QToolButton(this);
    imgNext->setObjectName(QStringLiteral("imgNext"));
    imgNext->setText(QStringLiteral("▶"));
    imgNext->setAutoRaise(true);
    imgNext->setMinimumSize(44, 36);

    QFont arrowFont = imgPrev->font();
    arrowFont.setPointSize(16);
    imgPrev->setFont(arrowFont);
    imgNext->setFont(arrowFont);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont monthFont = Label1->font();
    monthFont.setPointSize(14);
    Label1->setFont(monthFont);

    lblDate = new QLabel(this);
    lblDate->setObjectName(QStringLiteral("lblDate"));

    fgCal = new FlexGrid(this);
    fgCal->setObjectName(QStringLiteral("fgCal"));
    fgCal->setEditable(false);
    fgCal->setFixedSize(CalendarWidth, CalendarHeight);
    QTableView *view = fgCal->view();
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    cmdExit = new QPushButton(QStringLiteral("離開"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setAutoDefault(false);
    cmdExit->setMinimumHeight(36);

    auto *top = new QHBoxLayout;
    top->addWidget(imgPrev);
    top->addWidget(Label1, 1);
    top->addWidget(imgNext);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblDate, 1);
    bottom->addWidget(cmdExit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(fgCal);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Only a click on a day cell picks; header clicks never reach this signal.
    connect(view, &QTableView::clicked, this, [this] { fgCal_Click(); });
    connect(imgNext, &QToolButton::clicked, this, &frmFgDate::imgNext_Click);
    connect(imgPrev, &QToolButton::clicked, this, &frmFgDate::imgPrev_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmFgDate::cmdExit_Click);

    DoCalendar(Clock::today());
}

bool frmFgDate::PickDate()
{
    return ReportErrors(QStringLiteral("frmFgDate_PickDate"), [&] { return pick(); });
}

bool frmFgDate::PickDate(const QVariant &pvDate)
{
    return ReportErrors(QStringLiteral("frmFgDate_PickDate"), [&] {
        const auto date = ParseDate(pvDate);
        DoCalendar(date ? *date : Clock::today());
        return pick();
    });
}

bool frmFgDate::pick()
{
    m_picked.clear();
    FormCenter(this);
    exec();
    if (m_picked.isEmpty())
        return false;
    DATEPICKED = DBDateDisp(m_picked);
    return true;
}

void frmFgDate::DoCalendar(const QDate &date)
{
    ReportErrors(QStringLiteral("DoCalendar"), [&] {
        if (!date.isValid())
            return;
        m_shown = date;
        lblDate->setText(DBDateDisp(date));

        const QDate first(date.year(), date.month(), 1);
        const int length = first.daysInMonth();
        const int startCol = first.dayOfWeek() % 7; // Sunday first

        fgCal->setRedraw(false);
        fgCal->setRows(0);
        fgCal->setRows(1);
        fgCal->setFixedRows(1);
        fgCal->setFormatString(WeekHeadings);
        fgCal->setRows(1 + WeekRowsMax);
        m_monthTag = first.toString(QStringLiteral("yyyy/MM"));

        int row = 1;
        int col = startCol;
        int dayRow = 1;
        int dayCol = startCol;
        for (int day = 1; day <= length; ++day) {
            fgCal->setTextMatrix(row, col, QString::number(day));
            if (day == date.day()) {
                dayRow = row;
                dayCol = col;
            }
            if (day < length && ++col > 6) {
                col = 0;
                ++row;
            }
        }
        Label1->setText(QStringLiteral("%1年 %2月").arg(date.year()).arg(date.month()));

        // A five-week month fills the grid; its sixth row lies below the visible area.
        m_weekRows = row == 6 ? 6 : 5;
        QTableView *view = fgCal->view();
        const int frame = 2 * view->frameWidth();
        const int headerHeight = view->horizontalHeader()->sizeHint().height();
        const int rowHeight = (CalendarHeight - frame - headerHeight) / m_weekRows;
        for (int r = 0; r < WeekRowsMax; ++r)
            view->verticalHeader()->resizeSection(r, rowHeight);
        const int colWidth = static_cast<int>(ScreenPixelsToTwips(CalendarWidth - frame)) / 7;
        for (int c = 0; c < 7; ++c)
            fgCal->setColWidth(c, colWidth);
        fgCal->setRedraw(true);

        fgCal->setRow(dayRow);
        fgCal->setCol(dayCol);
    });
}

void frmFgDate::fgCal_Click()
{
    ReportErrors(QStringLiteral("fgCal_Click"), [&] {
        const int row = fgCal->row();
        if (row < 1)
            return;
        const QString day = fgCal->textMatrix(row, fgCal->col());
        if (day.isEmpty())
            return;
        const QString picked = m_monthTag + QLatin1Char('/') + day.rightJustified(2, '0');
        lblDate->setText(DBDateDisp(picked));
        m_picked = picked;
        hide();
    });
}

void frmFgDate::moveMonths(int months, const char *label)
{
    // Steps from the date last drawn rather than reading the label back: the display
    // form of a three-digit ROC year cannot be converted back to a date.
    ReportErrors(QString::fromUtf8(label), [&] { DoCalendar(m_shown.addMonths(months)); });
}

void frmFgDate::imgNext_Click()
{
    moveMonths(1, "imgNext_Click");
}

void frmFgDate::imgPrev_Click()
{
    moveMonths(-1, "imgPrev_Click");
}

void frmFgDate::cmdExit_Click()
{
    hide();
}

frmFgDate &frmFgDateWindow()
{
    static QPointer<frmFgDate> window;
    if (!window)
        window = OwnedForRun(new frmFgDate);
    return *window;
}
