#include "platform/db/connectionstring.h"

#include "common/runerror.h"
#include "platform/db/connection.h"

#include <QFile>
#include <QFileInfo>

namespace Ado {

namespace {

// One item's text span, for rewriting a string while keeping everything else as written.
struct Span
{
    qsizetype begin = 0;
    qsizetype end = 0; // one past the item's last character (the ';' or the string's end)
    qsizetype valueBegin = -1;
    ConnectionStringPart part;
};

QChar closingQuote(QChar open)
{
    if (open == QLatin1Char('{'))
        return QLatin1Char('}');
    return open;
}

QList<Span> spans(const QString &s)
{
    QList<Span> out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        Span sp;
        sp.begin = i;
        const qsizetype eq = s.indexOf(QLatin1Char('='), i);
        const qsizetype semi = s.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // An item without "=": skipped, like ADO does with stray text.
            sp.end = semi < 0 ? n : semi;
            sp.part.key = s.mid(i, sp.end - i).trimmed();
            if (!sp.part.key.isEmpty())
                out.append(sp);
            i = sp.end + 1;
            continue;
        }
        sp.part.key = s.mid(i, eq - i).trimmed();
        qsizetype v = eq + 1;
        while (v < n && s[v] == QLatin1Char(' '))
            ++v;
        sp.valueBegin = v;
        if (v < n &&
            (s[v] == QLatin1Char('\'') || s[v] == QLatin1Char('"') || s[v] == QLatin1Char('{'))) {
            const QChar close = closingQuote(s[v]);
            const bool braces = s[v] == QLatin1Char('{');
            // Inside quotes a doubled quote mark stands for one.
            QString value;
            qsizetype c = v + 1;
            for (; c < n; ++c) {
                if (s[c] != close) {
                    value.append(s[c]);
                } else if (!braces && c + 1 < n && s[c + 1] == close) {
                    value.append(close);
                    ++c;
                } else {
                    break;
                }
            }
            if (c < n) {
                sp.part.value = braces ? s.mid(v, c - v + 1) : value; // ODBC keeps its braces
                sp.part.braced = braces;
                const qsizetype after = s.indexOf(QLatin1Char(';'), c + 1);
                sp.end = after < 0 ? n : after;
                out.append(sp);
                i = sp.end + 1;
                continue;
            }
        }
        sp.end = semi < 0 ? n : semi;
        sp.part.value = s.mid(v, sp.end - v).trimmed();
        out.append(sp);
        i = sp.end + 1;
    }
    return out;
}

bool isPasswordKey(const QString &key)
{
    const QString k = key.trimmed();
    return k.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0 ||
           k.endsWith(QLatin1String("Password"), Qt::CaseInsensitive);
}

QString firstItem(const QString &cs, std::initializer_list<const char *> keys)
{
    for (const char *k : keys) {
        const QString v = ConnectionStringItem(cs, QString::fromLatin1(k));
        if (!v.isEmpty())
            return v;
    }
    return QString();
}

[[noreturn]] void fail(const QString &text)
{
    throw RunError(RunError::Database, text);
}

QString checkedSqliteFile(const QString &cs, const QString &provider)
{
    const QString file = ConnectionStringItem(cs, QStringLiteral("Data Source"));
    if (file.isEmpty())
        fail(QStringLiteral("連線字串缺少 Data Source (資料庫檔案): %1").arg(provider));
    const QFileInfo info(file);
    if (!info.exists() || !info.isFile())
        fail(QStringLiteral("找不到資料庫檔案: %1").arg(file));
    if (!IsSqliteFile(file))
        fail(QStringLiteral("不是可開啟的資料庫檔案 (只支援 SQLite 格式): %1").arg(file));
    return file;
}

// "host,port" and "host:port" name the port along with the server.
void splitHostPort(const QString &server, QString &host, int &port)
{
    host = server;
    for (QChar sep : {QLatin1Char(','), QLatin1Char(':')}) {
        const qsizetype at = server.lastIndexOf(sep);
        if (at > 0) {
            bool ok = false;
            const int p = server.mid(at + 1).trimmed().toInt(&ok);
            if (ok) {
                host = server.left(at).trimmed();
                port = p;
                return;
            }
        }
    }
}

// ADO's item names for the ODBC ones, so that a password completed the ADO way reaches
// the driver.
QString odbcKey(const QString &key)
{
    if (key.compare(QLatin1String("User ID"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("UID");
    if (key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("PWD");
    if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("DSN");
    return key;
}

} // namespace

QList<ConnectionStringPart> ParseConnectionString(const QString &connectionString)
{
    QList<ConnectionStringPart> out;
    for (const Span &sp : spans(connectionString))
        if (sp.valueBegin >= 0)
            out.append(sp.part);
    return out;
}

QString ConnectionStringItem(const QString &connectionString, const QString &key)
{
    for (const ConnectionStringPart &p : ParseConnectionString(connectionString))
        if (p.key.compare(key, Qt::CaseInsensitive) == 0)
            return p.value;
    return QString();
}

QString QuoteConnectionStringValue(const QString &value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && value.trimmed() == value &&
                       !value.startsWith(QLatin1Char('\'')) &&
                       !value.startsWith(QLatin1Char('"')) && !value.startsWith(QLatin1Char('{'));
    if (plain)
        return value;
    if (!value.contains(QLatin1Char('"')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    if (!value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString MaskPassword(const QString &connectionString)
{
    QString out = connectionString;
    const QList<Span> all = spans(connectionString);
    // From the end, so that earlier positions stay valid. Stray text without "=" right
    // after a password item is the rest of a password that held a semicolon unquoted.
    qsizetype maskEnd = -1;
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (it->valueBegin < 0) {
            if (maskEnd < 0)
                maskEnd = it->end;
            continue;
        }
        if (isPasswordKey(it->part.key)) {
            const qsizetype end = maskEnd < 0 ? it->end : maskEnd;
            out.replace(it->valueBegin, end - it->valueBegin, QStringLiteral("****"));
        }
        maskEnd = -1;
    }
    return out;
}

bool IsSqliteFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    if (f.size() == 0)
        return true;
    static const QByteArray header("SQLite format 3\0", 16);
    return f.read(16) == header;
}

DriverSettings ResolveDriver(const QString &cs)
{
    DriverSettings d;
    if (cs.trimmed().isEmpty())
        fail(QStringLiteral("連線字串是空的"));
    const QString lockWait = ConnectionStringItem(cs, QStringLiteral("Lock Wait"));
    if (!lockWait.isEmpty()) {
        bool ok = false;
        const double seconds = lockWait.toDouble(&ok);
        if (!ok || seconds < 0.1 || seconds > 3600)
            fail(QStringLiteral("連線字串的 Lock Wait 必須是 0.1 到 3600 之間的秒數: %1")
                     .arg(lockWait));
        d.lockWaitMs = qRound(seconds * 1000);
    }
    const QString busyTimeout =
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(d.lockWaitMs);
    d.provider = ConnectionStringItem(cs, QStringLiteral("Provider"));
    if (d.provider.isEmpty())
        d.provider = QStringLiteral("MSDASQL"); // ADO's default provider
    const QString prov = d.provider.toUpper();

    if (prov == QLatin1String("SQLITE")) {
        d.driver = QStringLiteral("QSQLITE");
        d.databaseName = d.dataSource = checkedSqliteFile(cs, d.provider);
        d.connectOptions = busyTimeout;
        return d;
    }
    if (prov.startsWith(QLatin1String("MICROSOFT.JET.OLEDB"))) {
        d.driver = QStringLiteral("QSQLITE");
        d.databaseName = d.dataSource = checkedSqliteFile(cs, d.provider);
        d.connectOptions = busyTimeout;
        return d;
    }
    if (prov == QLatin1String("MSDASQL") || prov.startsWith(QLatin1String("MSDASQL."))) {
        QStringList items;
        for (const ConnectionStringPart &p : ParseConnectionString(cs)) {
            if (p.key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0 ||
                p.key.compare(QLatin1String("Lock Wait"), Qt::CaseInsensitive) == 0)
                continue;
            if (p.key.compare(QLatin1String("Extended Properties"), Qt::CaseInsensitive) == 0) {
                items.append(p.value);
                continue;
            }
            // A value that ODBC would cut or trim goes in braces (a closing brace doubled).
            QString v = p.value;
            const bool odbcNeedsBraces =
                v.contains(QLatin1Char(';')) || v.trimmed() != v || v.startsWith(QLatin1Char('{'));
            if (!p.braced && odbcNeedsBraces)
                v = QLatin1Char('{') + v.replace(QLatin1Char('}'), QStringLiteral("}}")) +
                    QLatin1Char('}');
            items.append(odbcKey(p.key) + QLatin1Char('=') + v);
        }
        d.driver = QStringLiteral("QODBC");
        d.databaseName = items.join(QLatin1Char(';'));
        d.dataSource = firstItem(cs, {"Data Source", "DSN", "Server", "Servername"});
        d.connectOptions =
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=10;SQL_ATTR_CONNECTION_TIMEOUT=0");
        return d;
    }
    if (cs.indexOf(QLatin1String("PostgreSQL"), 0, Qt::CaseInsensitive) > 0) {
        d.driver = QStringLiteral("QPSQL");
        d.dataSource = firstItem(cs, {"Data Source", "Server", "Host"});
        splitHostPort(d.dataSource, d.host, d.port);
        const QString port = ConnectionStringItem(cs, QStringLiteral("Port"));
        if (!port.isEmpty())
            d.port = port.toInt();
        d.databaseName = firstItem(cs, {"Location", "Initial Catalog", "Database"});
        d.user = firstItem(cs, {"User ID", "UID", "User", "User Name"});
        d.password = firstItem(cs, {"Password", "PWD"});
        d.connectOptions = QStringLiteral("connect_timeout=10");
        return d;
    }
    if (prov == QLatin1String("SQLOLEDB") || prov.startsWith(QLatin1String("SQLOLEDB."))) {
        d.dataSource = firstItem(cs, {"Data Source", "Server", "Address"});
        QString host;
        int port = 1433;
        splitHostPort(d.dataSource, host, port);
        QStringList items{QStringLiteral("DRIVER={FreeTDS}"), QStringLiteral("SERVER=") + host,
                          QStringLiteral("PORT=") + QString::number(port)};
        const QString db = firstItem(cs, {"Initial Catalog", "Database"});
        if (!db.isEmpty())
            items.append(QStringLiteral("DATABASE=") + db);
        const QString user = firstItem(cs, {"User ID", "UID"});
        if (!user.isEmpty())
            items.append(QStringLiteral("UID=") + user);
        const QString pwd = firstItem(cs, {"Password", "PWD"});
        items.append(QStringLiteral("PWD={") +
                     QString(pwd).replace(QLatin1Char('}'), QStringLiteral("}}")) +
                     QLatin1Char('}'));
        items.append(QStringLiteral("TDS_Version=7.4"));
        items.append(QStringLiteral("ClientCharset=UTF-8"));
        d.driver = QStringLiteral("QODBC");
        d.databaseName = items.join(QLatin1Char(';'));
        d.connectOptions =
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=10;SQL_ATTR_CONNECTION_TIMEOUT=0");
        return d;
    }
    fail(QStringLiteral("不支援的資料庫提供者 (Provider): %1").arg(d.provider));
}

} // namespace Ado
