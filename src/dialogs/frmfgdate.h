#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <QVariant>

class FlexGrid;
class QLabel;
class QPushButton;
class QToolButton;

// Month calendar drawn in a grid, weeks from Sunday, to pick one day.
class frmFgDate : public QDialog
{
    Q_OBJECT
public:
    explicit frmFgDate(QWidget *parent = nullptr);

    // Opens modally on the month it showed last (today's month at first). True when a day
    // was picked; DATEPICKED then holds it in display form.
    bool PickDate();
    // Opens on the month of pvDate, or of today when pvDate is no date.
    bool PickDate(const QVariant &pvDate);

    // Draws the month of the date and selects its day.
    void DoCalendar(const QDate &date);

    QString DATEPICKED; // the last picked day, display form

    // The month shown ("YYYY/MM"), the shown date, and how many week rows the month uses.
    QString calendarTag() const { return m_monthTag; }
    QDate shownDate() const { return m_shown; }
    int weekRows() const { return m_weekRows; }

    void fgCal_Click();
    void imgNext_Click();
    void imgPrev_Click();
    void cmdExit_Click();

private:
    bool pick();
    void moveMonths(int months, const char *label);

    FlexGrid *fgCal = nullptr;
    QLabel *lblDate = nullptr;
    QLabel *Label1 = nullptr;
    QToolButton *imgNext = nullptr;
    QToolButton *imgPrev = nullptr;
    QPushButton *cmdExit = nullptr;

    QString m_monthTag; // "YYYY/MM" of the month on the grid
    QDate m_shown;      // the date last drawn; the month buttons step from it
    QString m_picked;   // "YYYY/MM/DD" of the day picked in this opening, empty when none
    int m_weekRows = 5;
};

// The calendar window, created on first use and only hidden after each pick.
frmFgDate &frmFgDateWindow();
