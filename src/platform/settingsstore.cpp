#include "platform/settingsstore.h"

#include <QSettings>
#include <memory>

namespace {

std::unique_ptr<QSettings> openStore()
{
    const QString file = qEnvironmentVariable("NORV_SETTINGS");
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("NORV"), QStringLiteral("Settings"));
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
