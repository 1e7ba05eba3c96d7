#include "platform/settingsstore.h"

#include "platform/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace {

QSettings::Format fileFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), SettingsFile::read, SettingsFile::write);
    return format;
}

std::unique_ptr<QSettings> openStore()
{
    const QString file = qEnvironmentVariable("NORV_SETTINGS");
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, fileFormat());
#ifdef Q_OS_WIN
    // Where the suite's other programs keep their values, so that the menu program's
    // hand-over and the shared connection settings are found.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings"),
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(fileFormat(), QSettings::UserScope, QStringLiteral("NORV"),
                                       QStringLiteral("Settings"));
#endif
}

// The store holds connection strings and the scrambled database password: a new file is
// made readable by its owner only before anything is written into it (later writes keep
// the file's permissions).
void createPrivately(const QString &file)
{
    if (file.isEmpty() || QFileInfo::exists(file))
        return;
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    f.open(QIODevice::WriteOnly | QIODevice::NewOnly,
           QFileDevice::ReadOwner | QFileDevice::WriteOwner);
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
    if (store->format() != QSettings::NativeFormat)
        createPrivately(store->fileName());
    store->setValue(path(app, section, key), value);
    store->sync();
}
