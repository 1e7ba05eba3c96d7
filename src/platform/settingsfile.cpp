#include "platform/settingsfile.h"

#include "common/inifile.h"

#include <QIODevice>
#include <QSet>
#include <QStringView>

namespace SettingsFile {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

QString escapedKey(const QString &key)
{
    QString out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == u'/')
            out += QLatin1Char('\\');
        else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                 u == u'_' || u == u'-' || u == u'.')
            out += c;
        else if (u <= 0xFF)
            out += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QStringLiteral("%U%1").arg(u, 4, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

QString unescapedKey(QStringView key)
{
    QString out;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QChar c = key[i];
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            continue;
        }
        if (c == QLatin1Char('%')) {
            const bool wide = i + 1 < key.size() && key[i + 1] == QLatin1Char('U');
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype at = i + (wide ? 2 : 1);
            bool ok = false;
            const uint code = key.mid(at, digits).toUInt(&ok, 16);
            if (ok && at + digits <= key.size()) {
                out += QChar(char16_t(code));
                i = at + digits - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString escapedValue(const QString &value)
{
    bool quote = value.trimmed() != value || value.startsWith(QLatin1Char('"'));
    for (const QChar c : value)
        quote = quote || c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('\\');
    if (!quote)
        return value;
    QString out = QStringLiteral("\"");
    bool afterHex = false; // a hex digit right after \x.. would read as part of it
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (afterHex && isHexDigit(c))) {
            out += QStringLiteral("\\x") + QString::number(u, 16);
            afterHex = true;
            continue;
        }
        afterHex = false;
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

QString unescapedValue(QStringView text)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"')))
        return text.toString();
    const QStringView in = text.mid(1, text.size() - 2);
    QString out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != QLatin1Char('\\') || i + 1 == in.size()) {
            out += in[i];
            continue;
        }
        const QChar e = in[++i];
        switch (e.unicode()) {
        case u'n':
            out += QLatin1Char('\n');
            break;
        case u'r':
            out += QLatin1Char('\r');
            break;
        case u't':
            out += QLatin1Char('\t');
            break;
        case u'0':
            out += QChar(0);
            break;
        case u'x': {
            qsizetype end = i + 1;
            while (end < in.size() && end - i <= 4 && isHexDigit(in[end]))
                ++end;
            out += QChar(char16_t(in.mid(i + 1, end - i - 1).toUInt(nullptr, 16)));
            i = end - 1;
            break;
        }
        default:
            out += e;
        }
    }
    return out;
}

} // namespace

bool read(QIODevice &device, QSettings::SettingsMap &map)
{
    const QString text = QString::fromUtf8(device.readAll());
    QSet<QString> sectionsSeen;
    QString prefix;
    bool skipping = false;
    ScanIniText(text, [&](const IniLine &line) {
        if (line.isSection) {
            const QString name = unescapedKey(line.name);
            skipping = sectionsSeen.contains(name.toLower());
            sectionsSeen.insert(name.toLower());
            prefix = name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
                         ? QString()
                         : name + QLatin1Char('/');
        } else if (!skipping && !line.key.isEmpty()) {
            const QString key = prefix + unescapedKey(line.key);
            if (!map.contains(key))
                map.insert(key, unescapedValue(line.value));
        }
        return true;
    });
    return true;
}

bool write(QIODevice &device, const QSettings::SettingsMap &map)
{
    // One section per first part of the key; keys without one under [General].
    QMap<QString, QStringList> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section].append(escapedKey(key) + QLatin1Char('=') +
                                 escapedValue(it.value().toString()));
    }
    QString text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QLatin1Char('[') + escapedKey(it.key()) + QStringLiteral("]\n");
        text += it.value().join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return device.write(text.toUtf8()) >= 0;
}

} // namespace SettingsFile
