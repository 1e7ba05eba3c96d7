#pragma once

#include <QString>

// The per-user settings store: text values addressed by application, section and key.
// It is the registry on Windows (the key the suite's other programs use) and a per-user
// file elsewhere. When the environment variable NORV_SETTINGS names a file, that file is
// the store instead, so that tests and the demo never touch the user's real settings.
// The file is readable by its owner only; its layout is described in settingsfile.h.
QString GetSetting(const QString &app, const QString &section, const QString &key,
                   const QString &defaultValue = QString());
void SaveSetting(const QString &app, const QString &section, const QString &key,
                 const QString &value);
