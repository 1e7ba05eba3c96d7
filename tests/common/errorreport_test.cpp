#include "common/clock.h"
#include "common/errorreport.h"
#include "common/presenter.h"
#include "common/state.h"
#include "platform/widgets/sound.h"
#include "support/modal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Error and log files in a folder of their own, a fixed clock.
class ErrorReports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_errFile = Ini().gsErrFile;
        m_logFile = Ini().gsLogFile;
        EditIni().gsErrFile = m_dir.filePath(QStringLiteral("TOVRAN.ERR"));
        EditIni().gsLogFile = m_dir.filePath(QStringLiteral("TOVRAN.LOG"));
        Clock::setNow(QDateTime(QDate(2019, 12, 24), QTime(1, 48, 26)));
    }
    void TearDown() override
    {
        Clock::setNow(QDateTime());
        EditIni().gsErrFile = m_errFile;
        EditIni().gsLogFile = m_logFile;
    }

    QTemporaryDir m_dir;
    QString m_errFile, m_logFile;
};

// The record of "No current record." (3021) in sub_Main at the fixed time, as bytes.
const QByteArray Record3021 =
    "**\xE8\xA8\x98\xE9\x8C\x84\xE6\x99\x82\xE9\x96\x93 - 19/12/24, 01:48:26 \r\n"
    "\xE8\x99\x95\xE7\x90\x86\xE7\xA8\x8B\xE5\xBA\x8F: (sub_Main)\r\n"
    "\xE5\x9F\xB7\xE8\xA1\x8C\xE9\x8C\xAF\xE8\xAA\xA4, "
    "\xE4\xBB\xA3\xE7\xA2\xBC:  3021\r\n"
    "\xE8\xA8\x8A\xE6\x81\xAF: \r\n"
    "     No current record.\r\n"
    "\r\n";

} // namespace

TEST_F(ErrorReports, RecordFormatByteForByte)
{
    const RunError e(3021, QStringLiteral("No current record."));
    const QDateTime when(QDate(2019, 12, 24), QTime(1, 48, 26));
    EXPECT_EQ(ErrorRecord(QStringLiteral("sub_Main"), e, when).toUtf8(), Record3021);

    // Negative numbers follow directly; an empty label leaves empty parentheses.
    const QString neg = ErrorText(QString(), RunError(-2147467259, QStringLiteral("連線逾時")));
    EXPECT_EQ(neg, QStringLiteral("處理程序: ()\r\n執行錯誤, 代碼: -2147467259\r\n訊息: \r\n"
                                  "     連線逾時\r\n\r\n"));
    EXPECT_EQ(ErrorText(QStringLiteral("x"), RunError(0, QString())),
              QStringLiteral("處理程序: (x)\r\n執行錯誤, 代碼:  0\r\n訊息: \r\n     \r\n\r\n"));
    // Afternoon hours on the 24-hour clock.
    EXPECT_TRUE(ErrorRecord(QStringLiteral("x"), e, QDateTime(QDate(2003, 1, 5), QTime(13, 5, 9)))
                    .startsWith(QStringLiteral("**記錄時間 - 03/01/05, 13:05:09 \r\n")));
}

TEST_F(ErrorReports, LogErrAppendsRecordsBackToBackWithoutBeepOrBox)
{
    const int beeps = BeepsSounded();
    LogErr(QStringLiteral("sub_Main"), RunError(3021, QStringLiteral("No current record.")));
    LogErr(QStringLiteral("sub_Main"), RunError(3021, QStringLiteral("No current record.")));
    EXPECT_EQ(readAll(Ini().gsErrFile), Record3021 + Record3021);
    EXPECT_EQ(BeepsSounded(), beeps);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ErrorReports, ShowErrWritesBeepsAndShowsTheText)
{
    QFile::remove(Ini().gsErrFile);
    { // an existing file is appended to, never rewritten
        QFile f(Ini().gsErrFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier\r\n");
    }
    const int beeps = BeepsSounded();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto seen = TestModal::answerMessageBox(QMessageBox::Ok);
    ShowErr(QStringLiteral("sub_Main"), RunError(3021, QStringLiteral("No current record.")));
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->text, ErrorText(QStringLiteral("sub_Main"),
                                    RunError(3021, QStringLiteral("No current record."))));
    EXPECT_EQ(seen->title, QStringLiteral("TOVRAN"));
    EXPECT_EQ(seen->icon, QMessageBox::Warning);
    EXPECT_EQ(BeepsSounded(), beeps + 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the arrow is back
    EXPECT_EQ(readAll(Ini().gsErrFile), "earlier\r\n" + Record3021);
}

TEST_F(ErrorReports, ShowErrAskReturnsTheAnswer)
{
    const RunError e(-5, QStringLiteral("列印失敗"));
    auto seen = TestModal::answerMessageBox(QMessageBox::Yes);
    EXPECT_TRUE(ShowErrAsk(QStringLiteral("frmPreview_cmdPrint_Click"), e));
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->text, ErrorText(QStringLiteral("frmPreview_cmdPrint_Click"), e) +
                              QStringLiteral("  是否要繼續執行作業?"));
    EXPECT_EQ(seen->icon, QMessageBox::Warning);

    seen = TestModal::answerMessageBox(QMessageBox::No);
    EXPECT_FALSE(ShowErrAsk(QStringLiteral("frmPreview_cmdPrint_Click"), e));
    EXPECT_TRUE(seen->shown);
    const QByteArray file = readAll(Ini().gsErrFile);
    EXPECT_EQ(file.count("**記錄時間"), 2);
    EXPECT_TRUE(file.endsWith(ErrorText(QStringLiteral("frmPreview_cmdPrint_Click"), e).toUtf8()));
}

TEST_F(ErrorReports, MissingFolderOrUnwritableFileFailsSilently)
{
    EditIni().gsErrFile = m_dir.filePath(QStringLiteral("LOG/TOVRAN.ERR")); // no LOG folder
    EditIni().gsLogFile = m_dir.filePath(QStringLiteral("LOG/TOVRAN.LOG"));
    LogErr(QStringLiteral("x"), RunError(5, QStringLiteral("y")));
    WriteLog(QStringLiteral("text"));
    const auto seen = TestModal::answerMessageBox(QMessageBox::Ok);
    ShowErr(QStringLiteral("x"), RunError(5, QStringLiteral("y"))); // the box still appears
    EXPECT_TRUE(seen->shown);
    EXPECT_FALSE(QDir(m_dir.filePath(QStringLiteral("LOG"))).exists()); // not created

    // A log that exists but cannot be written (a folder stands in for a locked file)
    // leaves a "WriteLog" record in the error file and nothing else happens.
    EditIni().gsErrFile = m_dir.filePath(QStringLiteral("TOVRAN.ERR"));
    const QString locked = m_dir.filePath(QStringLiteral("LOCKED.LOG"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("LOCKED.LOG")));
    WriteLog(QStringLiteral("text"), locked);
    const QString err = QString::fromUtf8(readAll(Ini().gsErrFile));
    EXPECT_TRUE(
        err.startsWith(QStringLiteral("**記錄時間 - 19/12/24, 01:48:26 \r\n處理程序: (WriteLog)\r\n"
                                      "執行錯誤, 代碼:  75\r\n")))
        << err.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ErrorReports, WriteLogLines)
{
    WriteLog(QStringLiteral("查詢 2019/12 部門 A01"));
    WriteLog(QString());
    Clock::setNow(QDateTime(QDate(2019, 12, 24), QTime(13, 2, 3)));
    WriteLog(QStringLiteral("done"));
    EXPECT_EQ(readAll(Ini().gsLogFile),
              QStringLiteral("2019-12-24 01:48:26 => 查詢 2019/12 部門 A01\r\n"
                             "2019-12-24 01:48:26 => \r\n"
                             "2019-12-24 13:02:03 => done\r\n")
                  .toUtf8());
    const QString other = m_dir.filePath(QStringLiteral("OTHER.LOG"));
    WriteLog(QStringLiteral("x"), other);
    EXPECT_EQ(readAll(other), "2019-12-24 13:02:03 => x\r\n");
    EXPECT_FALSE(QFile::exists(Ini().gsErrFile));
}

// Keeps what the error reports hand over instead of showing it.
class RecordingPresenter final : public Presenter
{
public:
    void beep() override { ++beeps; }
    void showMessage(const QString &text, MessageIcon) override { shown << text; }
    bool askYesNo(const QString &text, MessageIcon) override
    {
        asked << text;
        return true;
    }
    void endBusy() override {}

    int beeps = 0;
    QStringList shown, asked;
};

TEST_F(ErrorReports, ReportErrorsReportsAFailedStepAsAskedAndReturnsItsResult)
{
    RecordingPresenter presenter;
    Presenter *const installed = InstalledPresenter();
    InstallPresenter(&presenter);
    const auto reinstall = qScopeGuard([installed] { InstallPresenter(installed); });

    const RunError e(3021, QStringLiteral("No current record."));
    const auto failing = [&]() -> int { throw e; };
    const QString label = QStringLiteral("sub_Main");
    EXPECT_EQ(ReportErrors(label, failing), 0);
    EXPECT_EQ(ReportErrors(label, ErrorReport::Ask, failing), 0);
    EXPECT_EQ(ReportErrors(label, ErrorReport::Log, failing), 0);
    // Any standard exception is reported, as error 5 with its text.
    ReportErrors(QStringLiteral("x"), [] { throw std::runtime_error("boom"); });
    // A step that runs to its end hands back its result and reports nothing.
    EXPECT_EQ(ReportErrors(QStringLiteral("y"), ErrorReport::Log, [] { return 7; }), 7);

    // Every failure has its record in the error file; the box-showing kinds show its text.
    EXPECT_EQ(
        readAll(Ini().gsErrFile),
        Record3021 + Record3021 + Record3021 +
            ErrorRecord(QStringLiteral("x"), RunError(5, QStringLiteral("boom")), Clock::now())
                .toUtf8());
    const QString text = ErrorText(label, e);
    EXPECT_EQ(presenter.shown, QStringList({text, ErrorText(QStringLiteral("x"),
                                                            RunError(5, QStringLiteral("boom")))}));
    EXPECT_EQ(presenter.asked, QStringList{text + QStringLiteral("  是否要繼續執行作業?")});
    EXPECT_EQ(presenter.beeps, 3);
}

TEST(RunErrors, StandardExceptionsBecomeRunErrors)
{
    const RunError run(RunError::TypeMismatch, QStringLiteral("型態不符"));
    EXPECT_EQ(ToRunError(run).number(), 13);
    EXPECT_EQ(ToRunError(run).description(), QStringLiteral("型態不符"));
    const std::runtime_error other("boom");
    EXPECT_EQ(ToRunError(other).number(), RunError::InvalidCall);
    EXPECT_EQ(ToRunError(other).description(), QStringLiteral("boom"));
}
