#include "stocktaker.h"

#include "e2e_common.h"

#include <QDeadlineTimer>
#include <QFile>
#include <cstdlib>

namespace {
const QString kBoxTitles = QStringLiteral("^(TOVRAN|訊息視窗)$");
}

QString Stocktaker::waitMainWindow(int timeoutMs, const QStringList &others, int *answered)
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        for (const QString &w : m_x.windows(QStringLiteral("^TOVRAN$"))) {
            if (others.contains(w))
                continue;
            if (m_x.windowSize(w).width() >= 800) { // not a message box
                m_main = w;
                return w;
            }
        }
        if (answered)
            *answered += answerBoxes(QStringLiteral("start-box"), 0);
        Pause(200);
    } while (!deadline.hasExpired());
    return QString();
}

int Stocktaker::answerBoxes(const QString &shotName, int firstWaitMs)
{
    int answered = 0;
    QDeadlineTimer deadline(firstWaitMs);
    for (;;) {
        QString box;
        for (const QString &w : m_x.windows(kBoxTitles)) {
            const QSize size = m_x.windowSize(w);
            if (w != m_main && size.width() > 0 && size.width() < 800) {
                box = w;
                break;
            }
        }
        if (box.isEmpty()) {
            if (deadline.hasExpired())
                return answered;
            Pause(200);
            continue;
        }
        ++answered;
        shot(shotName + QStringLiteral("-box%1").arg(answered));
        m_x.activate(box);
        m_x.key({QStringLiteral("Return")});
        m_x.waitGone(box, 5000);
        deadline = QDeadlineTimer(1500); // a box may lead to another one
    }
}

QString Stocktaker::waitBox(const QString &titleRegex, int timeoutMs) const
{
    QStringList known;
    if (!m_main.isEmpty())
        known << m_main;
    return m_x.waitWindow(titleRegex, known, timeoutMs);
}

void Stocktaker::click(const QString &window, QPoint at) const
{
    m_x.activate(window);
    m_x.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                 QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                 QStringLiteral("1")});
    Pause(400);
}

void Stocktaker::enterCriteria(const QString &year, const QString &month, const QString &dept)
{
    click(m_main, YearBox);
    m_x.key({QStringLiteral("ctrl+a")});
    m_x.type(year);
    m_x.key({QStringLiteral("Tab"), QStringLiteral("ctrl+a")});
    m_x.type(month);
    m_x.key({QStringLiteral("Tab"), QStringLiteral("ctrl+a")});
    m_x.type(dept);
}

void Stocktaker::typeCriteria(const QString &year, const QString &month, const QString &dept)
{
    m_x.activate(m_main);
    m_x.key({QStringLiteral("ctrl+a")});
    m_x.type(year);
    m_x.key({QStringLiteral("Tab"), QStringLiteral("ctrl+a")});
    m_x.type(month);
    m_x.key({QStringLiteral("Tab"), QStringLiteral("ctrl+a")});
    m_x.type(dept);
}

void Stocktaker::query(int waitMs)
{
    m_x.activate(m_main);
    m_x.key({QStringLiteral("alt+q")});
    Pause(waitMs);
}

void Stocktaker::scanItem(const QString &itemNo, int waitMs)
{
    click(m_main, m_itemBox);
    m_x.type(itemNo);
    m_x.key({QStringLiteral("Return")});
    Pause(waitMs);
}

void Stocktaker::typeCount(const QString &text, int waitMs, int keyDelayMs)
{
    m_x.activate(m_main); // back from a message window; the focus stays where it was
    m_x.type(text, keyDelayMs);
    m_x.key({QStringLiteral("Return")});
    Pause(waitMs);
}

void Stocktaker::tabFromItemBox(int tabs)
{
    click(m_main, m_itemBox);
    m_x.key(QStringList(std::abs(tabs),
                        tabs < 0 ? QStringLiteral("shift+Tab") : QStringLiteral("Tab")));
}

QString Stocktaker::openPreview(QPoint button)
{
    return waitPreview([&] { click(m_main, button); });
}

QString Stocktaker::openPreviewFromItemBox(int tabs)
{
    return waitPreview([&] {
        tabFromItemBox(tabs);
        m_x.key({QStringLiteral("space")});
    });
}

QString Stocktaker::openPreviewWithKey(const QString &window, const QString &key)
{
    return waitPreview([&] {
        m_x.activate(window);
        m_x.key({key});
    });
}

QString Stocktaker::waitPreview(const std::function<void()> &press)
{
    const QStringList before = m_x.windows(QStringLiteral("^報表預覽畫面$"));
    press();
    QString preview = m_x.waitWindow(QStringLiteral("^報表預覽畫面$"), before, 30000);
    if (preview.isEmpty()) // a preview window is reused: shown again under its old id
        preview = m_x.waitWindow(QStringLiteral("^報表預覽畫面$"), {}, 1000);
    Pause(1000);
    return preview;
}

bool Stocktaker::saveFromPreview(const QString &preview, const QString &file)
{
    click(preview, PreviewSave);
    return saveThroughDialog(QStringLiteral("^另存新檔$"), file);
}

bool Stocktaker::saveThroughDialog(const QString &titleRegex, const QString &file)
{
    const QString dialog = m_x.waitWindow(titleRegex, {}, 15000);
    if (dialog.isEmpty())
        return false;
    chooseFile(dialog, file); // the file tells whether it was taken
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (QFile(file).size() > 0) {
            Pause(1000); // let the writer finish
            return true;
        }
        Pause(200);
    }
    return false;
}

bool Stocktaker::chooseFile(const QString &dialog, const QString &file)
{
    m_x.activate(dialog);
    m_x.key({QStringLiteral("ctrl+a")});
    m_x.type(file);
    m_x.key({QStringLiteral("Return")});
    return m_x.waitGone(dialog, 15000);
}

void Stocktaker::closePreview(const QString &preview)
{
    m_x.activate(preview);
    m_x.key({QStringLiteral("Escape")});
    m_x.waitGone(preview, 10000);
}

void Stocktaker::typeLocation(const QString &location)
{
    click(m_main, LocationBox);
    m_x.key({QStringLiteral("ctrl+a")});
    m_x.type(location);
    m_x.key({QStringLiteral("Return")});
}

void Stocktaker::toggleScanCounting()
{
    click(m_main, LocationBox);
    m_x.key({QStringLiteral("Tab"), QStringLiteral("space")});
}

bool Stocktaker::undoLastCount(const QString &shotName)
{
    m_x.activate(m_main);
    m_x.key({QStringLiteral("F9")});
    const QString history = m_x.waitWindow(QStringLiteral("^盤點紀錄$"), {}, 15000);
    if (history.isEmpty())
        return false;
    m_x.activate(history);
    shot(shotName + QStringLiteral("-before"));
    m_x.key({QStringLiteral("Return")});
    Pause(1500);
    shot(shotName + QStringLiteral("-after"));
    m_x.key({QStringLiteral("Escape")});
    return m_x.waitGone(history, 10000);
}

QString Stocktaker::openImport(const QString &file)
{
    // The file dialog and the preview have the same title: the preview is the window that
    // comes after the dialog.
    const QString title = QStringLiteral("^匯入盤點檔$");
    QStringList known = m_x.windows(title);
    click(m_main, ImportButton);
    const QString dialog = m_x.waitWindow(title, known, 15000);
    if (dialog.isEmpty())
        return QString();
    known << dialog;
    if (!chooseFile(dialog, file))
        return QString();
    const QString preview = m_x.waitWindow(title, known, 30000);
    Pause(1000); // the file read and planned
    return preview;
}

bool Stocktaker::saveRefusedLines(const QString &preview, const QString &file)
{
    const QSize size = m_x.windowSize(preview);
    click(preview,
          QPoint(size.width() + PreviewSaveRefused.x(), size.height() + PreviewSaveRefused.y()));
    return saveThroughDialog(QStringLiteral("^儲存未匯入行$"), file);
}

bool Stocktaker::applyImport(const QString &preview)
{
    m_x.activate(preview);
    m_x.key({QStringLiteral("Return")});
    return m_x.waitGone(preview, 30000);
}

QHash<QString, QString> Stocktaker::shownCounts(const QString &csvFile)
{
    QFile::remove(csvFile);
    QHash<QString, QString> counts;
    const QString preview = openPreview(ReportButton);
    if (preview.isEmpty())
        return counts;
    const bool saved = saveFromPreview(preview, csvFile);
    closePreview(preview);
    if (!saved)
        return counts;
    int column = -1;
    for (const QString &line : E2E::csvLines(csvFile)) {
        const QStringList fields = line.split(QLatin1Char(','));
        if (column < 0 && fields.front() == QStringLiteral("料號"))
            column = int(fields.indexOf(QStringLiteral("庫存量")));
        else if (column >= 0 && fields.size() > column)
            counts.insert(fields.front(), fields[column]);
    }
    return counts;
}

bool Stocktaker::startSession(const ProgramCopy::HandOver &h, const QStringList &otherMains,
                              QString *why)
{
    if (!m_program.error().isEmpty()) {
        *why = m_program.error();
        return false;
    }
    QProcess *menu = m_program.startViaMenu(m_x, h);
    if (waitMainWindow(30000, otherMains).isEmpty()) {
        *why = QStringLiteral("the stock window did not appear: ") +
               QString::fromLocal8Bit(menu->readAll());
        return false;
    }
    enterCriteria(E2E::lastMonthYear(), E2E::lastMonthMonth(), QStringLiteral("A01"));
    query();
    return true;
}

bool Stocktaker::exitAndWait(const ProgramCopy &program)
{
    if (!exitProgram(QStringLiteral("alt+y"), QStringLiteral("exit")))
        return false;
    for (int i = 0; i < 40 && program.programRunning(); ++i) {
        answerBoxes(QStringLiteral("exit"), 0);
        Pause(250);
    }
    return !program.programRunning();
}

bool Stocktaker::exitProgram(const QString &answerKey, const QString &shotName)
{
    m_x.activate(m_main);
    m_x.key({QStringLiteral("alt+z")});
    const QString box = waitBox();
    if (box.isEmpty())
        return false;
    shot(shotName);
    m_x.activate(box);
    m_x.key({answerKey});
    return true;
}
