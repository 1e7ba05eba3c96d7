#include "common/numtext.h"

#include <QLocale>
#include <cmath>

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

double parseNumber(QString s)
{
    s.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    return ok ? v : std::strtod(s.toLatin1().constData(), nullptr);
}

} // namespace

double Val(const QString &text)
{
    const QString s = FoldFullWidth(text);
    qsizetype begin = 0;
    const qsizetype len = leadingNumber(s, &begin);
    if (len == 0)
        return 0.0;
    return parseNumber(s.mid(begin, len));
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

QString NumText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0.0)
        return QStringLiteral("0"); // also for -0
    QString s = QString::number(value, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        const int exp = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        const int decimals = exp >= 0 ? std::max(0, 14 - exp) : 14 - exp;
        s = QString::number(value, 'f', std::min(decimals, 340));
    }
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        return QStringLiteral("0");
    return s;
}

double RoundHalfUp(double value, double scale)
{
    return std::floor(value * scale + 0.5) / scale;
}

double RoundHalfEven2(double value)
{
    const double scaled = value * 100.0;
    const double lower = std::floor(scaled);
    // A tie within the binary representation error of values like 2.675 counts as a tie.
    if (std::fabs(scaled - lower - 0.5) < 1e-9)
        return (std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0) / 100.0;
    return std::round(scaled) / 100.0;
}
