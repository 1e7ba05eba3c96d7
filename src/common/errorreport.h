#pragma once

#include "common/runerror.h"

#include <QDateTime>
#include <QString>
#include <utility>

// The three error reports and the log. Each report appends one record to the error
// file (Ini().gsErrFile); ShowErr and ShowErrAsk also beep and show the error text through the
// installed presenter (common/presenter.h).

// The error text: label, number and description on five CR LF-terminated lines.
QString ErrorText(const QString &label, const RunError &error);

// One error-file record: the time stamp line followed by the error text.
QString ErrorRecord(const QString &label, const RunError &error, const QDateTime &when);

// Shows the error and asks whether to go on; true for Yes.
bool ShowErrAsk(const QString &label, const RunError &error);

// The standard report: error file, beep and a box with an OK button.
void ShowErr(const QString &label, const RunError &error);

// Error file only; nothing is shown.
void LogErr(const QString &label, const RunError &error);

// Appends "YYYY-MM-DD HH:MM:SS => text" to the log file (or the given file).
void WriteLog(const QString &text, const QString &file = QString());

// Reports of unexpected C++ exceptions, under the same labels.
RunError ToRunError(const std::exception &e);

// How ReportErrors reports a failure: ShowErr, ShowErrAsk (its answer is not needed: the
// failed step was all the handler had left to do) or LogErr.
enum class ErrorReport { Show, Ask, Log };

// Runs a step of a window's handler and reports any failure under the label. Returns the
// step's result, or a value-initialised one (false, empty) when the step failed.
template <typename Body>
auto ReportErrors(const QString &label, ErrorReport report, Body body) -> decltype(body())
{
    try {
        return body();
    } catch (const std::exception &e) {
        const RunError error = ToRunError(e);
        switch (report) {
        case ErrorReport::Show:
            ShowErr(label, error);
            break;
        case ErrorReport::Ask:
            ShowErrAsk(label, error);
            break;
        case ErrorReport::Log:
            LogErr(label, error);
            break;
        }
        return decltype(body())();
    }
}

// The same with the standard report (ShowErr).
template <typename Body> auto ReportErrors(const QString &label, Body body) -> decltype(body())
{
    return ReportErrors(label, ErrorReport::Show, std::move(body));
}
