#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <functional>

// Reading of Windows profile (INI) files: section and key names compared without regard
// to case, blanks around names and values trimmed, one pair of surrounding quotes
// removed, comment lines (";" or "#") ignored, only the first section of a name read,
// the first matching key wins. Files are
// UTF-8, or the Traditional Chinese Windows code page (CP950/Big5) when not valid UTF-8.
QString ReadINI(const QString &file, const QString &section, const QString &key);

// The text of an INI file's bytes by the rule above.
QString DecodeIniText(const QByteArray &bytes);

// One meaningful line of an INI text, blanks and comments (";", "#") passed over: a
// section heading (name set, no key) or a "key = value" line (key and raw value, trimmed).
struct IniLine
{
    bool isSection = false;
    QStringView name; // the section's name, trimmed
    QStringView key;
    QStringView value;
};
// Calls visit for each meaningful line in order until it returns false. Lines with neither
// a heading nor "=" are passed over.
void ScanIniText(QStringView text, const std::function<bool(const IniLine &)> &visit);
