#pragma once

#include "programcopy.h"
#include "xsession.h"

#include <QHash>
#include <QPoint>
#include <QString>
#include <functional>

// The user at the stock window: what a person does with keyboard and mouse, by window
// titles and by the places of the controls in the window as laid out.
class Stocktaker
{
public:
    Stocktaker(XSession &x, ProgramCopy &program, const QString &shotPrefix)
        : m_x(x), m_program(program), m_prefix(shotPrefix)
    {
    }
    // The stock window as a user of a group that counts blind sees it.
    void countsBlind() { m_itemBox = BlindItemBox; }

    // Places of controls, relative to the client area of their window.
    static constexpr QPoint CriteriaTab{40, 62};      // tabPage: page 0
    static constexpr QPoint DataTab{112, 62};         // tabPage: page 1
    static constexpr QPoint YearBox{119, 95};         // criteria page: txtYear
    static constexpr QPoint ItemBox{669, 95};         // data page: textSTKNo
    static constexpr QPoint BlindItemBox{431, 95};    // the same without the slip buttons
    static constexpr QPoint ReportButton{53, 95};     // data page: cmdPrintRpt
    static constexpr QPoint IssueSlipButton{339, 95}; // data page: cmdPrintByMistra(0)
    static constexpr QPoint LocationBox{127, 158};    // data page: txtLocation
    static constexpr QPoint ImportButton{375, 158};   // data page: cmdImport
    static constexpr QPoint PreviewSave{647, 15};     // preview: cmdSaveDoc
    // The import preview's "儲存未匯入行", from its lower right corner.
    static constexpr QPoint PreviewSaveRefused{-147, -26};

    // The stock window ("TOVRAN", large) once it is shown; empty after the timeout. Stock
    // windows of other instances are named in `others`. With `answerBoxes`, message boxes
    // shown before it (start-up complaints) are answered with Enter and counted in *answered.
    QString waitMainWindow(int timeoutMs = 30000, const QStringList &others = {},
                           int *answered = nullptr);
    QString mainWindow() const { return m_main; }
    // A message box or other window that was not there before (title regex).
    QString waitBox(const QString &titleRegex = QStringLiteral("^TOVRAN$"),
                    int timeoutMs = 15000) const;

    // Answers with Enter every message box ("TOVRAN" or "訊息視窗", small) that appears
    // within `firstWaitMs`, and those that follow it; a screenshot of each. The number.
    int answerBoxes(const QString &shotName, int firstWaitMs = 4000);

    void click(const QString &window, QPoint at) const;
    void enterCriteria(const QString &year, const QString &month, const QString &dept);
    // The same by keyboard alone, from the year box that has the focus at start-up.
    void typeCriteria(const QString &year, const QString &month, const QString &dept);
    void query(int waitMs = 4000);
    // Started through the menu with the hand-over, last month's criteria of A01 typed, the
    // month queried; false with the reason when the stock window did not appear.
    bool startSession(const ProgramCopy::HandOver &h, const QStringList &otherMains, QString *why);
    // The item box: number and Enter, as a barcode scanner types it.
    void scanItem(const QString &itemNo, int waitMs = 2000);
    // Typed into the focused cell and committed with Enter.
    void typeCount(const QString &text, int waitMs = 1500, int keyDelayMs = 60);
    // The location counted at: typed into its box, which is left with Enter.
    void typeLocation(const QString &location);
    // Scan counting on or off: from the location box Tab to its check box, Space.
    void toggleScanCounting();
    // F9: the count history of the current row; Enter on its focused "復原", Esc. False when
    // the history did not show.
    bool undoLastCount(const QString &shotName);
    // The handheld file chosen in the import's file dialog; returns the preview window once
    // it shows the file, empty when it did not come.
    QString openImport(const QString &file);
    // The preview's refused lines saved to `file` through its save dialog.
    bool saveRefusedLines(const QString &preview, const QString &file);
    // Enter in the preview: the accepted lines written; false when the preview stayed.
    bool applyImport(const QString &preview);
    // A control of the data page by keyboard: from the item box (clicked, as a clerk puts
    // the cursor there) Tab `tabs` times, or Shift+Tab when `tabs` is negative.
    void tabFromItemBox(int tabs);
    // Opens a preview with a button of the data page; returns the preview window.
    QString openPreview(QPoint button);
    // The same with the button reached by tabFromItemBox and pressed with Space.
    QString openPreviewFromItemBox(int tabs);
    // The same with a key (a button's Alt key) in a window of the program.
    QString openPreviewWithKey(const QString &window, const QString &key);
    // Saves the shown document through the preview's save dialog.
    bool saveFromPreview(const QString &preview, const QString &file);
    // Esc, the preview's key for its "離開".
    void closePreview(const QString &preview);
    // What the grid shows: the stock report (printed from the grid's rows) saved as CSV
    // through its preview to `csvFile`; the count column by item number. Empty when the
    // preview or the file could not be had.
    QHash<QString, QString> shownCounts(const QString &csvFile);
    // Alt+Z and the answer (alt+y / alt+n); false when no question came.
    bool exitProgram(const QString &answerKey, const QString &shotName);
    // Alt+Z, Yes, and any further box answered until the program has ended; false when it
    // did not end.
    bool exitAndWait(const ProgramCopy &program);

    void shot(const QString &step) const { m_x.shot(m_prefix + step); }

private:
    // Does `press` and returns the preview window that it opened, empty when none came.
    QString waitPreview(const std::function<void()> &press);
    // The file typed into a file dialog's name box and taken with Enter; false when the
    // dialog stayed.
    bool chooseFile(const QString &dialog, const QString &file);
    // The file saved through the dialog of that title; false when it was not written.
    bool saveThroughDialog(const QString &titleRegex, const QString &file);

    XSession &m_x;
    ProgramCopy &m_program;
    QString m_prefix;
    QString m_main;
    QPoint m_itemBox = ItemBox;
};
