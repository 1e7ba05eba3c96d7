#pragma once

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

// A benchmark program runs a piece of work in a fresh copy of itself (a child process) to
// measure it as a user's first run meets it: nothing warmed up in the program, and the
// peak memory of that work alone. The child prints its figures as "name=value" lines.

// The work a child does: its arguments in, its figures out; false on failure (the reason
// in *error).
using BenchChildWork =
    std::function<bool(const QStringList &args, QMap<QString, double> &figures, QString *error)>;

// Registers a kind of child work under a name (at static initialisation).
bool RegisterBenchChild(const QString &name, BenchChildWork work);

// Called by the benchmark main with the program's arguments: when they ask for a child's
// work, does it, prints the figures and returns true with the exit status in *status.
bool RunAsBenchChild(int argc, char **argv, int *status);

// Runs the named work in a child process (in the environment given, by default this one's);
// empty figures (the reason in *error) on failure. Qt's own options (-platform) may go in
// args: the child's application takes them out.
QMap<QString, double>
RunBenchChild(const QString &name, const QStringList &args, QString *error,
              const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The process's peak resident memory so far, in bytes (since it was started).
double PeakResidentBytes();
