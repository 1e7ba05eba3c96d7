#include "platform/db/sqlscript.h"

#include "common/runerror.h"
#include "platform/db/transaction.h"

#include <QFile>

namespace Ado {

QStringList SplitSqlScript(const QString &script)
{
    QStringList statements;
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            QString s = current.trimmed();
            s.chop(1);
            if (!s.trimmed().isEmpty())
                statements.append(s.trimmed());
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

void RunSqlScript(Connection &conn, const QString &script)
{
    Transaction transaction(conn);
    for (const QString &statement : SplitSqlScript(script))
        conn.executeNonQuery(statement);
    transaction.commit();
}

void RunSqlScriptFile(Connection &conn, const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw RunError(RunError::FileError, QStringLiteral("無法讀取 SQL 檔案: %1").arg(file));
    RunSqlScript(conn, QString::fromUtf8(f.readAll()));
}

} // namespace Ado
