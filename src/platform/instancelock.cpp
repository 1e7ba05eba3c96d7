#include "platform/instancelock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString &programFile, const QString &userName,
                           const QString &lockDir)
{
    const QString dir = lockDir.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                            : lockDir;
    const QByteArray key =
        (QFileInfo(programFile).absoluteFilePath() + QLatin1Char('\n') + userName).toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    m_fileName = QDir(dir).filePath(QFileInfo(programFile).completeBaseName() + QLatin1Char('-') +
                                    hash + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(m_fileName);
    m_lock->setStaleLockTime(0); // only a dead owner makes a lock stale
}

bool InstanceLock::tryLock()
{
    if (m_lock->tryLock(100))
        return true;
    // A lock whose owner died is removed and taken.
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile())
        return m_lock->tryLock(100);
    return false;
}
