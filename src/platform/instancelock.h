#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// The previous-instance test: one lock per executable and user, held while the program
// runs. A crashed instance leaves a stale lock that the next start takes over.
class InstanceLock
{
public:
    // lockDir empty: the per-user temporary folder.
    explicit InstanceLock(const QString &programFile, const QString &userName,
                          const QString &lockDir = QString());
    bool tryLock();
    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
};
