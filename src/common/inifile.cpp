#include "common/inifile.h"

#include <QFile>
#include <QStringDecoder>

QString DecodeIniText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Windows also keeps profile files in UTF-16 with a byte-order mark.
        QStringDecoder utf16(QStringDecoder::Utf16); // the mark gives the byte order
        return utf16(bytes);
    }
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    // "windows-950" is the table Windows itself uses; the Big5 names are fallbacks for
    // converter libraries that do not know it.
    for (const char *name : {"windows-950", "Big5", "Big5-HKSCS"}) {
        QStringDecoder cp950(name, QStringDecoder::Flag::Stateless);
        if (cp950.isValid())
            return cp950(data);
    }
    // Without a named converter the system code page is CP950 on the Windows machines
    // these files come from.
    QStringDecoder system(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    text = system(data);
    return system.hasError() ? QString::fromLatin1(data) : text;
}

namespace {
QString unquote(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 &&
        ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
         (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
        value = value.mid(1, value.size() - 2);
    return value;
}
} // namespace

QString ReadINI(const QString &file, const QString &section, const QString &key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QString text = DecodeIniText(f.readAll());
    bool inSection = false;
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    QString value;
    ScanIniText(text, [&](const IniLine &line) {
        if (line.isSection) {
            if (inSection)
                return false; // only the first section of a name is read
            inSection = line.name.compare(wantedSection, Qt::CaseInsensitive) == 0;
            return true;
        }
        if (!inSection || line.key.compare(wantedKey, Qt::CaseInsensitive) != 0)
            return true;
        value = unquote(line.value.toString());
        const qsizetype nul = value.indexOf(QChar(0));
        if (nul >= 0)
            value.truncate(nul);
        return false;
    });
    return value;
}

void ScanIniText(QStringView text, const std::function<bool(const IniLine &)> &visit)
{
    for (QStringView raw : text.split(QLatin1Char('\n'))) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        IniLine out;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            out.isSection = true;
            out.name = line.mid(1, close < 0 ? line.size() - 1 : close - 1).trimmed();
        } else {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            out.key = line.left(eq).trimmed();
            out.value = line.mid(eq + 1).trimmed();
        }
        if (!visit(out))
            return;
    }
}
