#include "data/adodb.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/inifile.h"
#include "common/presenter.h"
#include "common/state.h"
#include "common/validtext.h"
#include "data/globalsettings.h"
#include "platform/programend.h"
#include "platform/settingsstore.h"

namespace {

BusinessConnection g_connection;

const QString kCrLf = QStringLiteral("\r\n");

// Blanks only, as the quoting rules trim: line breaks and tabs inside a value stay.
QString trimBlanks(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && s[end - 1] == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

struct DialectRow
{
    const char *key;
    const char *dbDate;
    const char *dateQuot;
    const char *newRNoSQL;
    const char *dbType;
    const char *concatOp;
    const char *leftFunc;
};

// The first row whose key matches; the last row serves every other key.
const DialectRow kDialects[] = {
    {"SQLOLED", "getDate()", "'", " SELECT @@IDENTITY AS 'NewRNo' ", "MS_SQL", "+", "left"},
    {"MSDAORA", "SYSDATE", "TO_DATE", " SELECT @@IDENTITY AS 'NewRNo' ", "ORACLE", "||", "substr"},
    {"MSDASQL", "now()", "'", " SELECT lastval() AS NewRNo ", "PG_SQL", "||", "left"},
    {"MICROSO", "now()", "#", " SELECT @@IDENTITY AS 'NewRNo' ", "ACCESS", "+", "left"},
    {"POSTGRE", "now()", "'", " SELECT lastval() AS NewRNo ", "PG_SQL", "||", "left"},
    {"SQLITE", "strftime('%Y/%m/%d %H:%M:%S','now','localtime')", "'",
     " SELECT last_insert_rowid() AS NewRNo ", "SQLITE", "||", "substr"},
    {nullptr, "getDate()", "'", " SELECT @@IDENTITY AS 'NewRNo' ", "SQL_DB", "+", "left"},
};

// The dialect row of a key: the first row whose key matches, else the last row.
const DialectRow *dialectOf(const QString &key)
{
    const DialectRow *d = kDialects;
    while (d->key && key != QLatin1String(d->key))
        ++d;
    return d;
}

// The password completion of a stored connection string; a password with a semicolon,
// outer blanks or a leading quote goes in quotes so that it arrives whole.
QString withPassword(const QString &cntStr, const QString &password)
{
    if (cntStr.contains(QLatin1String("Password="), Qt::CaseInsensitive))
        return cntStr;
    const QString value = Ado::QuoteConnectionStringValue(password);
    if (cntStr.indexOf(QLatin1String(".Jet."), 0, Qt::CaseInsensitive) > 0)
        return cntStr + QStringLiteral(";Jet OLEDB:Database Password=") + value + QLatin1Char(';');
    return cntStr + QStringLiteral(";Password=") + value + QLatin1Char(';');
}

} // namespace

const BusinessConnection &Conn()
{
    return g_connection;
}

BusinessConnection &EditConn()
{
    return g_connection;
}

bool ConnectADO(const QString &cntStr, Ado::ConnectionPtr &conn)
{
    conn.reset();
    try {
        conn = Ado::Connection::open(cntStr);
        return true;
    } catch (const std::exception &e) {
        LogErr(QStringLiteral("ConnectADO"), ToRunError(e));
    }
    return false;
}

bool InitGCNT(const QString &apid)
{
    try {
        if (ChkDevIDE()) {
            EditConn().gsCntStr =
                ReadINI(Ini().gsIniFile, QStringLiteral("PARAM"), QStringLiteral("GCNT"));
            if (!ConnectADO(Conn().gsCntStr, EditConn().gCNT)) {
                // The password never shows on screen, unlike the connection string.
                ShowMessage(QStringLiteral("連線失敗!") + kCrLf +
                            Ado::MaskPassword(Conn().gsCntStr));
                EndProgram();
            }
            SetDBType();
            return true;
        }

        const QString appId =
            apid.isEmpty()
                ? GetSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QStringLiteral("APID"))
                : apid;
        EditConn().gsCntStr =
            GetSetting(QStringLiteral("JX_KIT"), QStringLiteral("ADOCntStr"), appId);
        EditConn().gsDBPwd =
            Encrypt(GetSetting(QStringLiteral("JX_KIT"), QStringLiteral("DBPWD"), appId),
                    QStringLiteral("QB_RUM"));
        if (Conn().gsCntStr.isEmpty()) {
            gvMsg = QStringLiteral("未設定連線字串!") + kCrLf +
                    QStringLiteral("請系統管理人員檢查主選單系統設定");
            ShowMessage(gvMsg, MessageIcon::Critical);
            EndProgram();
        }
        EditConn().gsCntStr = withPassword(Conn().gsCntStr, Conn().gsDBPwd);
        if (!ConnectADO(Conn().gsCntStr, EditConn().gCNT)) {
            gvMsg =
                QStringLiteral("連線失敗!") + kCrLf + Ado::MaskPassword(Conn().gsCntStr) + kCrLf;
            ShowMessage(gvMsg, MessageIcon::Critical);
            EndProgram();
        }
        SetDBType();
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("basADODB_InitGCNT"), ToRunError(e));
    }
    return false;
}

void SetDBType(const Ado::ConnectionPtr &conn, const QString &dbType)
{
    try {
        const Ado::ConnectionPtr c = conn ? conn : Conn().gCNT;
        if (!c)
            throw RunError(91, QStringLiteral("沒有設定物件變數或 With 區塊變數"));
        // The provider decides, as it decides the driver; only a provider of no dialect of
        // its own is taken as PostgreSQL when the string names it (an SQLite file under a
        // folder called PostgreSQL stays SQLite).
        QString key = c->provider().left(7).toUpper();
        if (!dialectOf(key)->key &&
            c->connectionString().indexOf(QLatin1String("PostgreSQL"), 0, Qt::CaseInsensitive) > 0)
            key = QStringLiteral("POSTGRE");
        if (!dbType.isEmpty())
            key = dbType;

        const DialectRow *d = dialectOf(key);
        EditDialect().gsDBDate = QString::fromLatin1(d->dbDate);
        EditDialect().gsLikeChar = QStringLiteral("%");
        EditDialect().gsDateQuot = QString::fromLatin1(d->dateQuot);
        EditDialect().gsNewRNoSQL = QString::fromLatin1(d->newRNoSQL);
        EditDialect().gsDBType = QString::fromLatin1(d->dbType);
        EditDialect().gsConcatOp = QString::fromLatin1(d->concatOp);
        EditDialect().gsLeftFunc = QString::fromLatin1(d->leftFunc);
    } catch (const RunError &e) {
        ShowErr(QStringLiteral("basADODB_SetDBType"), e);
    }
}

QString QuotDate(const QVariant &value, const QString &provider)
{
    const std::optional<QDateTime> dt = ParseDateTime(value);
    if (!dt)
        return QStringLiteral("NULL");
    const QString f = dt->toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (Dialect().gsDateQuot == QLatin1String("TO_DATE") || provider == QLatin1String("MSDAORA"))
        return QStringLiteral("TO_DATE('") + f + QStringLiteral("','YYYY/MM/DD HH24:MI:SS')");
    return Dialect().gsDateQuot + f + Dialect().gsDateQuot;
}

QString QuotStr(const QString &value)
{
    QString v = ValidText(value);
    v.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + trimBlanks(v) + QLatin1Char('\'');
}

QString FieldText(const QString &value)
{
    QString v = ValidText(value);
    v.remove(QStringLiteral("\r\n"));
    v.remove(QLatin1Char('\r'));
    v.remove(QLatin1Char('\n'));
    v.replace(QLatin1Char(','), QLatin1Char(' '));
    return trimBlanks(v);
}

namespace {

QString quoted(QString text)
{
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// The first text after every text that begins with prefix, in code point order; empty
// when there is none that can be written (the prefix ends in the last character or half
// of a surrogate pair).
QString prefixSuccessor(QString prefix)
{
    while (!prefix.isEmpty()) {
        const char16_t last = prefix.back().unicode();
        prefix.chop(1);
        if (QChar::isSurrogate(last))
            return QString();
        if (last != 0xFFFF) {
            const char16_t next = last + 1 == 0xD800 ? 0xE000 : char16_t(last + 1);
            return prefix + QChar(next);
        }
    }
    return QString();
}

} // namespace

QString QuotField(const QString &value)
{
    return quoted(FieldText(value));
}

QString PrefixCondition(const QString &column, const QString &code)
{
    const QString text = FieldText(code);
    const QString same = LeftExpr(column, int(code.size())) + QStringLiteral(" = ") + quoted(text);
    if (text.size() != code.size())
        // The left part is as long as the code: a shorter text is only ever the whole value.
        return column + QStringLiteral(" = ") + quoted(text) + QStringLiteral(" And ") + same;
    // The range serves the column's index; the left test keeps the meaning exact. PostgreSQL
    // compares in code point order only under the "C" collation.
    const QString collate = Dialect().gsDBType == QLatin1String("PG_SQL")
                                ? QStringLiteral(" COLLATE \"C\"")
                                : QString();
    QString sql = column + collate + QStringLiteral(" >= ") + quoted(text);
    const QString next = prefixSuccessor(text);
    if (!next.isEmpty())
        sql += QStringLiteral(" And ") + column + collate + QStringLiteral(" < ") + quoted(next);
    return sql + QStringLiteral(" And ") + same;
}

QString LeftExpr(const QString &expr, int length)
{
    if (Dialect().gsLeftFunc == QLatin1String("substr"))
        return QStringLiteral("substr(%1, 1, %2)").arg(expr).arg(length);
    return QStringLiteral("left(%1, %2)").arg(expr).arg(length);
}
