#include "common/localeformats.h"

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Pattern letters whose runs toString takes as they stand.
bool isKnownRun(QChar c)
{
    return QStringView(u"dMhHmszt").contains(c);
}

} // namespace

QString SupportedPattern(const QString &pattern)
{
    QString out;
    const qsizetype n = pattern.size();
    // A left-out letter between blanks (or a blank and an end) takes one blank along, so
    // "B h:mm" leaves no gap; "d Bh" keeps the blank that parts "d" and "h".
    auto dropRun = [&](qsizetype &next) {
        const bool blankBefore = out.isEmpty() || out.endsWith(QLatin1Char(' '));
        const bool blankAfter = next >= n || pattern.at(next) == QLatin1Char(' ');
        if (!blankBefore || !blankAfter)
            return;
        if (next < n)
            ++next;
        else
            out.chop(1);
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            // Quoted text up to the closing quote; '' inside stands for a quote.
            qsizetype j = i + 1;
            while (j < n) {
                if (pattern.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && pattern.at(j + 1) == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const qsizetype end = qMin(j + 1, n);
            out += QStringView(pattern).mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype j = i;
        while (j < n && pattern.at(j) == c)
            ++j;
        const qsizetype run = j - i;
        if (!isAsciiLetter(c) || isKnownRun(c)) {
            out += QStringView(pattern).mid(i, run);
        } else if (c == QLatin1Char('y')) {
            // toString knows "yy" and "yyyy" only.
            out += run == 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            out += c; // am/pm, with its "p"/"P" when one follows
            j = i + 1;
            if (j < n && (pattern.at(j) == QLatin1Char('p') || pattern.at(j) == QLatin1Char('P')))
                out += pattern.at(j++);
        } else {
            dropRun(j);
        }
        i = j;
    }
    return out.trimmed();
}

QString ShortDateText(const QDate &date, const QLocale &locale)
{
    return locale.toString(date, SupportedPattern(locale.dateFormat(QLocale::ShortFormat)));
}

QString ShortTimeText(const QTime &time, const QLocale &locale)
{
    return locale.toString(time, SupportedPattern(locale.timeFormat(QLocale::ShortFormat)));
}

QString ShortDateTimeText(const QDateTime &dateTime, const QLocale &locale)
{
    return locale.toString(dateTime, SupportedPattern(locale.dateTimeFormat(QLocale::ShortFormat)));
}
