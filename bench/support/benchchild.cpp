#include "support/benchchild.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <sys/resource.h>

namespace {

const char ChildFlag[] = "--bench-child=";

QMap<QString, BenchChildWork> &registry()
{
    static QMap<QString, BenchChildWork> works;
    return works;
}

} // namespace

bool RegisterBenchChild(const QString &name, BenchChildWork work)
{
    registry().insert(name, std::move(work));
    return true;
}

bool RunAsBenchChild(int argc, char **argv, int *status)
{
    if (argc < 2 || qstrncmp(argv[1], ChildFlag, qstrlen(ChildFlag)) != 0)
        return false;
    const QString name = QString::fromUtf8(argv[1] + qstrlen(ChildFlag));
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromUtf8(argv[i]);
    const auto work = registry().value(name);
    QMap<QString, double> figures;
    QString error = QStringLiteral("no child work named ") + name;
    if (!work || !work(args, figures, &error)) {
        std::fprintf(stderr, "bench child %s: %s\n", qPrintable(name), qPrintable(error));
        *status = 1;
        return true;
    }
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        std::printf("%s=%.17g\n", qPrintable(it.key()), it.value());
    std::fflush(stdout);
    *status = 0;
    return true;
}

QMap<QString, double> RunBenchChild(const QString &name, const QStringList &args, QString *error,
                                    const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{QLatin1String(ChildFlag) + name} + args);
    QMap<QString, double> figures;
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        *error = QStringLiteral("the child process failed (%1)").arg(child.exitCode());
        return figures;
    }
    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            figures.insert(QString::fromUtf8(line.left(eq)), line.mid(eq + 1).toDouble());
    }
    if (figures.isEmpty())
        *error = QStringLiteral("the child process reported nothing");
    return figures;
}

double PeakResidentBytes()
{
    // Linux keeps ru_maxrss across exec: a child started by a large benchmark would report
    // its parent's peak. The high-water mark of the process's own memory map does not.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024; // kilobytes on Linux
}
