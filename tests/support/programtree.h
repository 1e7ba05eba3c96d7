#pragma once

#include <QString>
#include <QTemporaryDir>

// A throw-away program tree laid out as an installation: bin/ (the program's folder),
// DAT/ and LOG/ beside it. Start-up code is pointed at it.
class ProgramTree
{
public:
    ProgramTree();
    ~ProgramTree();
    QString root() const { return m_dir.path(); }
    QString bin() const { return m_dir.filePath(QStringLiteral("bin")); }
    QString dat() const { return m_dir.filePath(QStringLiteral("DAT")); }
    QString log() const { return m_dir.filePath(QStringLiteral("LOG")); }
    QString iniFile() const { return dat() + QStringLiteral("/JXPARAM.INI"); }
    void writeIni(const QByteArray &content) const;
    QByteArray readFile(const QString &path) const;

private:
    QTemporaryDir m_dir;
};
