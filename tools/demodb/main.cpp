// Creates the demo databases:
//   tovran-demodb [--sqlite FILE | --pg "connection string"] [--menu FILE]
//                 [--items N] [--stock-rows N] [--slip-lines N] [--months N]
//                 [--today YYYY/MM/DD] [--replace]
// --stock-rows sets the number of stock records of department A01's periods (benchmarks).
#include "common/dates.h"
#include "common/runerror.h"
#include "demodata.h"
#include "platform/db/connection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

// An empty SQLite file; an existing one is only replaced when asked.
Ado::ConnectionPtr newSqliteFile(const QString &file, bool replace)
{
    if (QFile::exists(file)) {
        if (!replace)
            throw RunError(RunError::FileError,
                           file + QStringLiteral(" exists (use --replace to rebuild it)"));
        if (!QFile::remove(file))
            throw RunError(RunError::FileError, QStringLiteral("cannot remove ") + file);
    }
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        throw RunError(RunError::FileError, QStringLiteral("cannot create ") + file);
    f.close();
    auto conn = Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file);
    // Millions of slip lines go into indexed tables in random key order: with SQLite's
    // small default page cache every insert read and wrote index pages through the file.
    conn->executeNonQuery(QStringLiteral("PRAGMA cache_size = -524288")); // 512 MB
    return conn;
}

int positive(const QCommandLineParser &p, const QString &name, int fallback)
{
    if (!p.isSet(name))
        return fallback;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < 0)
        throw RunError(
            RunError::InvalidCall,
            QStringLiteral("--%1 needs a whole number, not %2").arg(name, p.value(name)));
    return v;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Creates TOVRAN demo databases."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("sqlite"), QStringLiteral("business database as an SQLite file"),
         QStringLiteral("file")},
        {QStringLiteral("pg"),
         QStringLiteral("business database on PostgreSQL (connection string)"),
         QStringLiteral("string")},
        {QStringLiteral("menu"), QStringLiteral("menu database as an SQLite file"),
         QStringLiteral("file")},
        {QStringLiteral("items"), QStringLiteral("number of items (default 400)"),
         QStringLiteral("n")},
        {QStringLiteral("stock-rows"), QStringLiteral("stock records per period of A01"),
         QStringLiteral("n")},
        {QStringLiteral("slip-lines"), QStringLiteral("slip lines in all (default 3000)"),
         QStringLiteral("n")},
        {QStringLiteral("months"), QStringLiteral("periods before this month (default 6)"),
         QStringLiteral("n")},
        {QStringLiteral("today"), QStringLiteral("the date the periods count back from"),
         QStringLiteral("date")},
        {QStringLiteral("replace"), QStringLiteral("replace an existing file or demo tables")},
    });
    parser.process(app);
    if (!parser.isSet(QStringLiteral("sqlite")) && !parser.isSet(QStringLiteral("pg")) &&
        !parser.isSet(QStringLiteral("menu"))) {
        std::fprintf(stderr, "tovran-demodb: name --sqlite, --pg or --menu\n");
        return 2;
    }

    try {
        DemoOptions o;
        o.items = positive(parser, QStringLiteral("items"), o.items);
        o.stockRows = positive(parser, QStringLiteral("stock-rows"), o.stockRows);
        o.slipLines = positive(parser, QStringLiteral("slip-lines"), o.slipLines);
        o.months = std::max(1, positive(parser, QStringLiteral("months"), o.months));
        if (parser.isSet(QStringLiteral("today"))) {
            const auto d = ParseDate(parser.value(QStringLiteral("today")));
            if (!d)
                throw RunError(RunError::TypeMismatch, QStringLiteral("--today needs a date"));
            o.today = *d;
        }
        const bool replace = parser.isSet(QStringLiteral("replace"));
        if (o.slipLines >= 100000)
            o.progress = [](int done, int total) {
                std::fprintf(stderr, "  slip lines %d / %d\n", done, total);
            };

        QElapsedTimer timer;
        timer.start();
        if (parser.isSet(QStringLiteral("sqlite")) || parser.isSet(QStringLiteral("pg"))) {
            Ado::ConnectionPtr conn;
            if (parser.isSet(QStringLiteral("sqlite"))) {
                conn = newSqliteFile(parser.value(QStringLiteral("sqlite")), replace);
            } else {
                conn = Ado::Connection::open(parser.value(QStringLiteral("pg")));
                if (replace)
                    DropDemoTables(*conn, false);
            }
            const QString summary = BuildBusinessDatabase(*conn, o);
            std::printf("business database: %s, %.1f s\n", qPrintable(summary),
                        timer.elapsed() / 1000.0);
        }
        if (parser.isSet(QStringLiteral("menu"))) {
            auto conn = newSqliteFile(parser.value(QStringLiteral("menu")), replace);
            BuildMenuDatabase(*conn);
            std::printf("menu database: user DEMO (group ADMIN), user CLERK (group CLERK)\n");
        }
    } catch (const RunError &e) {
        std::fprintf(stderr, "tovran-demodb: %s\n", e.what());
        return 1;
    }
    return 0;
}
