#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

// Dates and times in the locale's short formats, as printout headings show them.
// A locale's patterns come from CLDR and may hold letters that QDate/QTime::toString do
// not know (the day period "B" of Chinese locales, the era "G", ...); toString would print
// such a letter as it is, so those letters are left out.

// The pattern with only the letters toString understands; quoted text is kept.
QString SupportedPattern(const QString &pattern);

QString ShortDateText(const QDate &date, const QLocale &locale = QLocale::system());
QString ShortTimeText(const QTime &time, const QLocale &locale = QLocale::system());
QString ShortDateTimeText(const QDateTime &dateTime, const QLocale &locale = QLocale::system());
