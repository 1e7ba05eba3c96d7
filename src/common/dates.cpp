#include "common/dates.h"

#include "common/numtext.h"
#include "common/state.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

int expandYear(const QString &digits)
{
    const int y = digits.toInt();
    if (digits.size() > 2)
        return y;
    return y < 30 ? 2000 + y : 1900 + y;
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// Year with at least two digits (ROC years, short years).
QString atLeastTwo(int v)
{
    return v >= 0 && v < 10 ? QStringLiteral("0%1").arg(v) : QString::number(v);
}

} // namespace

namespace {

struct DateAndTime
{
    QDate date;
    QTime time;
};

// "YYYY/MM/DD" or "YYYY/MM/DD HH:MM:SS", as the program writes dates, read without the
// general pattern: a load reads one or two per record. Anything else: nullopt.
std::optional<DateAndTime> parseCanonical(const QString &text)
{
    if (text.size() != 10 && text.size() != 19)
        return std::nullopt;
    const auto digits = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    };
    if (text[4] != u'/' || text[7] != u'/')
        return std::nullopt;
    const int y = digits(0, 4), mo = digits(5, 2), d = digits(8, 2);
    if (y < 0 || mo < 0 || d < 0)
        return std::nullopt;
    const QDate date(y, mo, d);
    if (!date.isValid())
        return std::nullopt;
    if (text.size() == 10)
        return DateAndTime{date, QTime(0, 0)};
    if (text[10] != u' ' || text[13] != u':' || text[16] != u':')
        return std::nullopt;
    const int h = digits(11, 2), mi = digits(14, 2), sec = digits(17, 2);
    const QTime time(h, mi, sec);
    if (h < 0 || mi < 0 || sec < 0 || !time.isValid())
        return std::nullopt;
    return DateAndTime{date, time};
}

// The date and time of a value, kept apart: a local date-time costs a time-zone look-up
// that a date alone does not need (a load parses one date per record).
std::optional<DateAndTime> parseDateAndTime(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QDate) {
        const QDate d = value.toDate();
        return d.isValid() ? std::optional<DateAndTime>({d, QTime(0, 0)}) : std::nullopt;
    }
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? std::optional<DateAndTime>({dt.date(), dt.time()}) : std::nullopt;
    }
    const QString text = value.toString();
    if (auto canonical = parseCanonical(text))
        return canonical;
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,4})([/.-])(\\d{1,2})\\2(\\d{1,2})"
                       "(?:[ T]+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.\\d+)?)?)?\\s*$"));
    const auto m = re.match(FoldFullWidth(text));
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(expandYear(m.captured(1)), m.captured(3).toInt(), m.captured(4).toInt());
    if (!d.isValid())
        return std::nullopt;
    QTime t(0, 0);
    if (m.capturedLength(5) > 0) {
        t = QTime(m.captured(5).toInt(), m.captured(6).toInt(), m.captured(7).toInt());
        if (!t.isValid())
            return std::nullopt;
    }
    return DateAndTime{d, t};
}

} // namespace

std::optional<QDateTime> ParseDateTime(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime) { // as it is, its time spec with it
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? std::optional<QDateTime>(dt) : std::nullopt;
    }
    const auto parts = parseDateAndTime(value);
    if (!parts)
        return std::nullopt;
    return QDateTime(parts->date, parts->time);
}

std::optional<QDate> ParseDate(const QVariant &value)
{
    const auto parts = parseDateAndTime(value);
    if (!parts)
        return std::nullopt;
    return parts->date;
}

bool IsDate(const QVariant &value)
{
    return ParseDate(value).has_value();
}

QString DBDateDisp(const QVariant &value)
{
    return DBDateDisp(value, Ini().gsCalendar);
}

QString DBDateDisp(const QVariant &value, const QString &mode)
{
    const auto date = ParseDate(value);
    if (!date)
        return {};
    const int y = date->year();
    const QString mm = twoDigits(date->month());
    const QString dd = twoDigits(date->day());
    const QString &sep = Ini().gsDateSep;
    if (mode == QLatin1String("YYYY/MM/DD"))
        return QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0')) + sep + mm + sep + dd;
    if (mode == QLatin1String("YY/MM/DD"))
        return atLeastTwo(y).right(2) + sep + mm + sep + dd;
    if (mode == QLatin1String("CC/MM/DD"))
        return atLeastTwo(y - 1911) + sep + mm + sep + dd;
    if (mode == QLatin1String("CCMMDD"))
        return atLeastTwo(y - 1911) + mm + dd;
    // "YYYY/MM", "YYMMDD" and any other mode: the mode is a date pattern.
    // Pattern letters in either case, as date patterns take them.
    QString out = mode;
    out.replace(QLatin1String("YYYY"), QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0')),
                Qt::CaseInsensitive);
    out.replace(QLatin1String("YY"), atLeastTwo(y).right(2), Qt::CaseInsensitive);
    out.replace(QLatin1String("MM"), mm, Qt::CaseInsensitive);
    out.replace(QLatin1String("DD"), dd, Qt::CaseInsensitive);
    return out;
}

QString dateAddSep(const QString &text)
{
    if (!Ini().gsDateSep.isEmpty() && text.contains(Ini().gsDateSep))
        return text;
    if (text.size() == 6)
        return text.mid(0, 2) + Ini().gsDateSep + text.mid(2, 2) + Ini().gsDateSep + text.mid(4, 2);
    // ROC years from 100 on (2011) have three digits.
    if (text.size() == 7 && Ini().gsCalendar == QLatin1String("CC/MM/DD"))
        return text.mid(0, 3) + Ini().gsDateSep + text.mid(3, 2) + Ini().gsDateSep + text.mid(5, 2);
    if (text.size() == 8)
        return text.mid(0, 4) + Ini().gsDateSep + text.mid(4, 2) + Ini().gsDateSep + text.mid(6, 2);
    return {};
}

QString DBDateSave(const QString &text)
{
    // Digits typed through a Chinese input method are full width; storage text never is.
    const QString s = FoldFullWidth(text).trimmed();
    if (Ini().gsCalendar == QLatin1String("CC/MM/DD")) {
        // "98/12/24" or, from ROC year 100 (2011) on, "114/12/24".
        const qsizetype yearDigits = text.size() - 6;
        if (yearDigits != 2 && yearDigits != 3)
            return {};
        // A year that is no number would otherwise count as ROC year 0 (1911).
        const QString rocYear = s.left(yearDigits);
        const auto isAsciiDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
        if (rocYear.size() != yearDigits ||
            !std::all_of(rocYear.begin(), rocYear.end(), isAsciiDigit))
            return {};
        const int year = ValInt(rocYear) + 1911;
        const QString candidate = QString::number(year) + QLatin1Char('/') +
                                  s.mid(yearDigits + 1, 2) + QLatin1Char('/') + s.right(2);
        return IsDate(candidate) ? candidate : QString();
    }
    if (Ini().gsCalendar == QLatin1String("YYYY/MM/DD"))
        return text.size() == 10 && IsDate(s) ? s : QString();
    const QString candidate = QStringLiteral("20") + s;
    return IsDate(candidate) ? candidate : QString();
}

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

bool UsesRocCalendar()
{
    return Ini().gsCalendar.left(1).toUpper() == QLatin1String("C");
}

int WesternYear(int typedYear)
{
    return UsesRocCalendar() ? typedYear + 1911 : typedYear;
}
