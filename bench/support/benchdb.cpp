#include "support/benchdb.h"

#include "data/adodb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>

QString BenchDatabase::kindName(Kind kind)
{
    return kind == Kind::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

std::unique_ptr<BenchDatabase> BenchDatabase::make(Kind kind, const Size &size)
{
    auto db = std::make_unique<BenchDatabase>();
    QStringList args;
    if (kind == Kind::SQLite) {
        db->m_file = db->m_dir.filePath(QStringLiteral("bench.db"));
        db->m_connectionString = QStringLiteral("Provider=SQLite;Data Source=") + db->m_file;
        args << QStringLiteral("--sqlite") << db->m_file;
    } else {
        db->m_pg = std::make_unique<PgTestDatabase>();
        if (!db->m_pg->available())
            return nullptr;
        db->m_connectionString = db->m_pg->connectionString();
        args << QStringLiteral("--pg") << db->m_connectionString;
    }
    args << QStringLiteral("--items") << QString::number(size.items)
         << QStringLiteral("--stock-rows") << QString::number(size.stockRows)
         << QStringLiteral("--slip-lines") << QString::number(size.slipLines)
         << QStringLiteral("--months") << QString::number(size.months) << QStringLiteral("--today")
         << today();
    // TOVRAN_BENCH_CACHE names a folder that keeps each generated SQLite file: a later run
    // starts from a copy of it instead of generating it again.
    const QString cacheDir = qEnvironmentVariable("TOVRAN_BENCH_CACHE");
    const QString cached = cacheDir.isEmpty() || kind != Kind::SQLite
                               ? QString()
                               : QDir(cacheDir).filePath(
                                     QStringLiteral("bench-%1-%2-%3-%4-%5.db")
                                         .arg(size.items)
                                         .arg(size.stockRows)
                                         .arg(size.slipLines)
                                         .arg(size.months)
                                         .arg(today().replace(QLatin1Char('/'), QLatin1Char('-'))));
    if (!cached.isEmpty() && QFile::copy(cached, db->m_file)) {
        std::fprintf(stderr, "copied %s\n", qPrintable(cached));
        db->m_connection = Ado::Connection::open(db->m_connectionString);
        return db;
    }
    std::fprintf(stderr, "generating %s database: %d items, %d stock rows, %d slip lines...\n",
                 qPrintable(kindName(kind)), size.items, size.stockRows, size.slipLines);
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    generator.start(QStringLiteral(TOVRAN_BINARY_DIR "/tools/demodb/tovran-demodb"), args);
    if (!generator.waitForFinished(-1) || generator.exitCode() != 0) {
        std::fprintf(stderr, "generation failed: %s\n", generator.readAll().constData());
        return nullptr;
    }
    if (!cached.isEmpty() && QDir().mkpath(cacheDir))
        QFile::copy(db->m_file, cached);
    db->m_connection = Ado::Connection::open(db->m_connectionString);
    return db;
}

std::unique_ptr<BenchDatabase> BenchDatabase::attach(const QString &connectionString)
{
    auto db = std::make_unique<BenchDatabase>();
    db->m_connectionString = connectionString;
    try {
        db->m_connection = Ado::Connection::open(connectionString);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(connectionString), e.what());
        return nullptr;
    }
    return db->m_connection ? std::move(db) : nullptr;
}

BenchDatabase::~BenchDatabase()
{
    if (Conn().gCNT == m_connection)
        EditConn().gCNT.reset();
    m_connection.reset();
    m_pg.reset(); // dropped after the last connection to it
}

QString BenchDatabase::libpqConnInfo() const
{
    return m_pg ? QStringLiteral("dbname=") + m_pg->name() : QString();
}

void BenchDatabase::makeShared() const
{
    EditConn().gCNT = m_connection;
    SetDBType(nullptr);
}

double Median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
