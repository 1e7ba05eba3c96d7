#include "common/numtext.h"

#include <charconv>
#include <cmath>
#include <limits>

QString FoldFullWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const ushort u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(u - 0xFEE0);
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return out;
}

namespace {

// Length of the number at the start of s (after blanks); 0 when there is none.
// Sets *begin to the first character of the number.
qsizetype leadingNumber(const QString &s, qsizetype *begin)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    *begin = i;
    qsizetype j = i;
    if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
        ++j;
    qsizetype digits = 0;
    while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
        ++j;
        ++digits;
    }
    if (j < n && s[j] == QLatin1Char('.')) {
        ++j;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            ++j;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    // Exponent: only when digits follow it.
    if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E') ||
                  s[j] == QLatin1Char('d') || s[j] == QLatin1Char('D'))) {
        qsizetype k = j + 1;
        if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-')))
            ++k;
        qsizetype expDigits = 0;
        while (k < n && s[k].isDigit() && s[k].unicode() < 128) {
            ++k;
            ++expDigits;
        }
        if (expDigits > 0)
            j = k;
    }
    return j - i;
}

// The value of a number that leadingNumber accepted, whatever the machine's locale says
// about decimal marks. Out of range: infinity when too large, 0 when too small.
double parseNumber(const QString &s)
{
    QByteArray text = s.toLatin1();
    text.replace('d', 'e').replace('D', 'e');
    const bool negative = text.startsWith('-');
    if (text.startsWith('+') || negative)
        text.remove(0, 1);
    double v = 0.0;
    const auto [end, error] = std::from_chars(text.constBegin(), text.constEnd(), v);
    if (error == std::errc::result_out_of_range) {
        // Too large when the first significant digit stands left of the point.
        const qsizetype e = text.indexOf('e');
        const QByteArray mantissa = e < 0 ? text : text.left(e);
        const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
        qsizetype first = 0;
        while (first < mantissa.size() && (mantissa[first] == '0' || mantissa[first] == '.'))
            ++first;
        bool ok = true;
        long long exponent = e < 0 ? 0 : text.mid(e + 1).toLongLong(&ok);
        if (!ok) // more exponent digits than a long long holds
            exponent = text.at(e + 1) == '-' ? -(1LL << 60) : (1LL << 60);
        const long long magnitude = (first < point ? point - first : point - first + 1) + exponent;
        v = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc()) {
        v = 0.0;
    }
    return negative ? -v : v;
}

} // namespace

double Val(const QString &text)
{
    const QString s = FoldFullWidth(text);
    qsizetype begin = 0;
    const qsizetype len = leadingNumber(s, &begin);
    if (len == 0)
        return 0.0;
    const double v = parseNumber(s.mid(begin, len));
    return std::isfinite(v) ? v : 0.0; // out of range ("1e999") counts as no number
}

double Val(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return 0.0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toDouble();
    default:
        return Val(value.toString());
    }
}

int ValInt(const QString &text)
{
    const double v = Val(text);
    if (!std::isfinite(v))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

bool IsNumeric(const QString &text)
{
    const QString s = FoldFullWidth(text).trimmed();
    if (s.isEmpty())
        return false;
    qsizetype begin = 0;
    const qsizetype len = leadingNumber(s, &begin);
    if (len == 0 || begin != 0 || len != s.size())
        return false;
    return std::isfinite(parseNumber(s));
}

namespace {

// A value that is a decimal of up to six places below 10^15 (a count, an amount, a price)
// is written from its integer digits. It is the double nearest that decimal, so the
// 15-digit form below gives the same text; that form goes through an exact big-number
// conversion costing a microsecond or more, and a report writes hundreds of thousands.
bool shortDecimalText(double value, QString *out)
{
    static constexpr double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    for (int places = 0; places < 7; ++places) {
        const double scaled = std::nearbyint(value * scales[places]);
        if (!(std::fabs(scaled) < 1e15))
            return false;
        if (scaled / scales[places] != value)
            continue;
        const qint64 digits = static_cast<qint64>(scaled);
        QString text = QString::number(digits < 0 ? -digits : digits);
        if (places > 0) {
            if (text.size() <= places)
                text.prepend(QString(places - text.size() + 1, QLatin1Char('0')));
            text.insert(text.size() - places, QLatin1Char('.'));
        }
        if (digits < 0)
            text.prepend(QLatin1Char('-'));
        *out = text;
        return true;
    }
    return false;
}

} // namespace

QString NumText(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return QStringLiteral("0"); // also for -0
    if (QString text; shortDecimalText(value, &text))
        return text;
    // 15 significant digits hide the binary noise (0.1 + 0.2 is 0.3); an exponent the
    // short form would use is written out as plain digits instead.
    const QString g = QString::number(value, 'g', 15);
    const qsizetype e = g.indexOf(QLatin1Char('e'));
    if (e < 0)
        return g;
    const bool negative = g.startsWith(QLatin1Char('-'));
    QString digits = g.mid(negative ? 1 : 0, e - (negative ? 1 : 0));
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const int intDigits = point < 0 ? int(digits.size()) : int(point);
    digits.remove(QLatin1Char('.'));
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    const int pointAt = intDigits + g.mid(e + 1).toInt(); // position of the decimal point
    QString out;
    if (pointAt <= 0)
        out = QStringLiteral("0.") + QString(-pointAt, QLatin1Char('0')) + digits;
    else if (pointAt >= digits.size())
        out = digits + QString(pointAt - digits.size(), QLatin1Char('0'));
    else
        out = digits.left(pointAt) + QLatin1Char('.') + digits.mid(pointAt);
    return negative ? QLatin1Char('-') + out : out;
}

namespace {
// Products such as 1.005 * 100 land a hair below the half they stand for; within this
// distance a value counts as lying exactly on the half.
constexpr double TieTolerance = 1e-9;
} // namespace

double RoundHalfUp(double value, double scale)
{
    const double scaled = value * scale;
    const double lower = std::floor(scaled);
    if (std::fabs(scaled - lower - 0.5) < TieTolerance)
        return (lower + 1.0) / scale;
    return std::floor(scaled + 0.5) / scale;
}

double RoundHalfEven2(double value)
{
    const double scaled = value * 100.0;
    const double lower = std::floor(scaled);
    if (std::fabs(scaled - lower - 0.5) < TieTolerance)
        return (std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0) / 100.0;
    return std::round(scaled) / 100.0;
}
