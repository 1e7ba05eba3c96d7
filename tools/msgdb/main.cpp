// Builds the messages database (JXMSG.MDB, an SQLite file) from SQL scripts:
//   tovran-msgdb <output file> <script.sql>...
// The output is replaced as a whole, so a failed build leaves no half-filled file.
#include "platform/db/connection.h"
#include "platform/db/sqlscript.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: tovran-msgdb <output file> <script.sql>...\n");
        return 2;
    }
    const QString out = args.at(1);
    const QString temp = out + QStringLiteral(".tmp");
    QFile::remove(temp);
    try {
        QFile create(temp);
        if (!create.open(QIODevice::WriteOnly))
            throw RunError(RunError::FileError, QStringLiteral("cannot create ") + temp);
        create.close();
        {
            auto conn =
                Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + temp);
            for (int i = 2; i < args.size(); ++i)
                Ado::RunSqlScriptFile(*conn, args.at(i));
        }
        QFile::remove(out);
        if (!QFile::rename(temp, out))
            throw RunError(RunError::FileError, QStringLiteral("cannot write ") + out);
    } catch (const RunError &e) {
        QFile::remove(temp);
        std::fprintf(stderr, "tovran-msgdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
