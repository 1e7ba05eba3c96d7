#include "support/clibrarylocale.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

CLibraryLocale::CLibraryLocale(const QString &name)
{
    m_before = std::setlocale(LC_ALL, nullptr);
    m_hadLocPath = qEnvironmentVariableIsSet("LOCPATH");
    m_locPathBefore = qgetenv("LOCPATH");
    const QByteArray wanted = name.toLocal8Bit();
    if (std::setlocale(LC_ALL, wanted.constData())) {
        m_active = true;
        return;
    }
    // Compiled locales stay for the whole test program: localedef takes seconds. (The C
    // library remembers a failed lookup, so setlocale is asked only once the files exist.)
    static QTemporaryDir compiled;
    qputenv("LOCPATH", compiled.path().toLocal8Bit());
    if (QFileInfo::exists(compiled.filePath(name))) {
        m_active = std::setlocale(LC_ALL, wanted.constData()) != nullptr;
        if (!m_active)
            m_failure = QStringLiteral("the C library does not take the locale ") + name;
        return;
    }
    // "de_DE.UTF-8" is built from the source "de_DE" and the character map "UTF-8".
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QProcess localedef;
    localedef.setProcessChannelMode(QProcess::MergedChannels);
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), name.left(dot), QStringLiteral("-f"),
                     dot < 0 ? QStringLiteral("UTF-8") : name.mid(dot + 1),
                     compiled.filePath(name)});
    if (!localedef.waitForFinished(120000) || localedef.exitCode() != 0) {
        m_failure =
            QStringLiteral("localedef cannot make %1: %2")
                .arg(name, QString::fromLocal8Bit(localedef.readAll()) + localedef.errorString());
        return;
    }
    m_active = std::setlocale(LC_ALL, wanted.constData()) != nullptr;
    if (!m_active)
        m_failure = QStringLiteral("the C library does not take the locale ") + name;
}

CLibraryLocale::~CLibraryLocale()
{
    std::setlocale(LC_ALL, m_before.constData());
    if (m_hadLocPath)
        qputenv("LOCPATH", m_locPathBefore);
    else
        qunsetenv("LOCPATH");
}

QString CLibraryLocale::decimalPoint() const
{
    return QString::fromLocal8Bit(std::localeconv()->decimal_point);
}
