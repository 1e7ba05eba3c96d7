#include "platform/settingsstore.h"

#include <QSettings>
#include <memory>

namespace {

std::unique_ptr<QSettings> openStore()
{
    const QString file = qEnvironmentVariable("NORV_SETTINGS");
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
#ifdef Q_OS_WIN
    // Where the suite's other programs keep their values, so that the menu program's
    // hand-over and the shared connection settings are found.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings"),
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("NORV"), QStringLiteral("Settings"));
#endif
}

QString path(const QString &app, const QString &section, const QString &key)
{
    return app + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

} // namespace

QString GetSetting(const QString &app, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    // Opened per call: the menu program and other instances write the same store.
    const auto store = openStore();
    return store->value(path(app, section, key), defaultValue).toString();
}

void SaveSetting(const QString &app, const QString &section, const QString &key,
                 const QString &value)
{
    const auto store = openStore();
    store->setValue(path(app, section, key), value);
    store->sync();
}
