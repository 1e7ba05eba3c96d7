#include "support/programtree.h"

#include "data/globalsettings.h"

#include <QDir>
#include <QFile>

ProgramTree::ProgramTree()
{
    QDir(root()).mkpath(QStringLiteral("bin"));
    QDir(root()).mkpath(QStringLiteral("DAT"));
    QDir(root()).mkpath(QStringLiteral("LOG"));
    SetProgramLocation(bin(), QStringLiteral("TOVRAN"));
}

ProgramTree::~ProgramTree()
{
    QDir::setCurrent(QDir::tempPath());
    SetProgramLocation(QString(), QString());
}

void ProgramTree::writeIni(const QByteArray &content) const
{
    QFile f(iniFile());
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
}

QByteArray ProgramTree::readFile(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
