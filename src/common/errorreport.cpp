#include "common/errorreport.h"

#include "common/clock.h"
#include "common/presenter.h"
#include "common/state.h"

#include <QFile>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Appends text to a file; any failure (missing folder, read-only file) is skipped.
bool appendToFile(const QString &path, const QString &text)
{
    if (path.isEmpty())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = text.toUtf8();
    return f.write(bytes) == bytes.size();
}

} // namespace

QString ErrorText(const QString &label, const RunError &error)
{
    const QString number = error.number() >= 0 ? QStringLiteral(" %1").arg(error.number())
                                               : QString::number(error.number());
    return QStringLiteral("處理程序: (") + label + QLatin1Char(')') + CRLF +
           QStringLiteral("執行錯誤, 代碼: ") + number + CRLF + QStringLiteral("訊息: ") + CRLF +
           QStringLiteral("     ") + error.description() + CRLF + CRLF;
}

QString ErrorRecord(const QString &label, const RunError &error, const QDateTime &when)
{
    return QStringLiteral("**記錄時間 - ") + when.toString(QStringLiteral("yy/MM/dd, HH:mm:ss")) +
           QLatin1Char(' ') + CRLF + ErrorText(label, error);
}

bool ShowErrAsk(const QString &label, const RunError &error)
{
    Presenter *presenter = InstalledPresenter();
    if (presenter)
        presenter->beep();
    appendToFile(Ini().gsErrFile, ErrorRecord(label, error, Clock::now()));
    if (!presenter)
        return false; // nobody to ask: the work does not go on
    const bool yes = presenter->askYesNo(
        ErrorText(label, error) + QStringLiteral("  是否要繼續執行作業?"), MessageIcon::Warning);
    presenter->endBusy();
    return yes;
}

void ShowErr(const QString &label, const RunError &error)
{
    Presenter *presenter = InstalledPresenter();
    if (presenter)
        presenter->beep();
    appendToFile(Ini().gsErrFile, ErrorRecord(label, error, Clock::now()));
    if (presenter) {
        presenter->showMessage(ErrorText(label, error), MessageIcon::Warning);
        presenter->endBusy();
    }
}

void LogErr(const QString &label, const RunError &error)
{
    appendToFile(Ini().gsErrFile, ErrorRecord(label, error, Clock::now()));
}

void WriteLog(const QString &text, const QString &file)
{
    const QString target = file.isEmpty() ? Ini().gsLogFile : file;
    const QString line = Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                         QStringLiteral(" => ") + text + CRLF;
    if (!appendToFile(target, line) && !target.isEmpty() && !Ini().gsErrFile.isEmpty() &&
        target != Ini().gsErrFile) {
        // Only a log that exists but cannot be written is worth a record; a missing LOG
        // folder fails silently, as the error file would too.
        QFile f(target);
        if (f.exists())
            LogErr(QStringLiteral("WriteLog"),
                   RunError(RunError::FileError, QStringLiteral("無法寫入記錄檔: ") + target));
    }
}

RunError ToRunError(const std::exception &e)
{
    if (const auto *run = dynamic_cast<const RunError *>(&e))
        return *run;
    return RunError(RunError::InvalidCall, QString::fromUtf8(e.what()));
}
