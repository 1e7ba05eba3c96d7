#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

// Dates as users see and type them (display form, with the ROC calendar when the
// calendar setting asks for it) and as the program stores them ("YYYY/MM/DD").
// None of this depends on the machine's locale.

// A date value or date text: year, month, day in that order with a separator between
// them ("/", "-" or "."), optionally followed by a time of day. Invalid days are refused.
std::optional<QDate> ParseDate(const QVariant &value);
std::optional<QDateTime> ParseDateTime(const QVariant &value);
bool IsDate(const QVariant &value);

// Display text of a date in the given mode (default: the calendar setting).
QString DBDateDisp(const QVariant &value);
QString DBDateDisp(const QVariant &value, const QString &mode);

// Separators inserted into a date typed as bare digits (6 or 8 characters; 7 with a
// three-digit ROC year in the "CC/MM/DD" calendar).
QString dateAddSep(const QString &text);

// Storage text ("YYYY/MM/DD") of a typed display text; empty when it is no date.
QString DBDateSave(const QString &text);

// "YYYY/MM/DD" of a date, the form the program compares and quotes.
QString DateText(const QDate &date);

// True when the calendar setting asks for years of the Republic of China.
bool UsesRocCalendar();

// Western year of a year as typed: ROC years get 1911 added when the calendar asks.
int WesternYear(int typedYear);
