#pragma once

#include <QByteArray>
#include <QString>

// Reading of Windows profile (INI) files: section and key names compared without regard
// to case, blanks around names and values trimmed, one pair of surrounding quotes
// removed, comment lines (";" or "#") ignored, only the first section of a name read,
// the first matching key wins. Files are
// UTF-8, or the Traditional Chinese Windows code page (CP950/Big5) when not valid UTF-8.
QString ReadINI(const QString &file, const QString &section, const QString &key);

// The text of an INI file's bytes by the rule above.
QString DecodeIniText(const QByteArray &bytes);
