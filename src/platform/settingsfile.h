#pragma once

#include <QSettings>

// The per-user settings file: a Windows profile (INI) file, UTF-8, one section per
// application ("[JX_KIT]") and "section\key=value" lines. A value is read whole: all of
// the line after the first "=", outer blanks trimmed, so that a connection string edited
// by hand keeps its ";" and ",". A value in double quotes may hold escapes (\\ \" \t \n \r
// \xHHHH), as the file is written for values with outer blanks, control characters,
// backslashes or a leading quote. Key names escape other characters as %XX or %UXXXX. As
// the Windows profile rules read such files, only the first section of a name counts and
// the first line of a key wins.
namespace SettingsFile {

bool read(QIODevice &device, QSettings::SettingsMap &map);
bool write(QIODevice &device, const QSettings::SettingsMap &map);

} // namespace SettingsFile
