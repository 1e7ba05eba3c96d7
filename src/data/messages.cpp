#include "data/messages.h"

#include "common/errorreport.h"
#include "common/inifile.h"
#include "common/presenter.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"

#include <QFileInfo>
#include <optional>

namespace {

// The messages database, kept open for the whole run once InitMsgDB succeeded.
Ado::ConnectionPtr gMsgCN;
std::optional<Ado::Command> gMsgCmd;
Ado::Recordset gMsgRS;

QString lookUp(const QString &msgID, const std::optional<QString> &p1,
               const std::optional<QString> &p2, const std::optional<QString> &p3)
{
    if (!gMsgCmd)
        throw RunError(91, QStringLiteral("訊息資料庫未開啟"));
    // The parameter holds at most 30 characters, as the MsgID column does.
    gMsgRS = gMsgCmd->execute(msgID.left(30));
    if (gMsgRS.eof())
        return msgID;
    QString m = gMsgRS.text(QStringLiteral("MsgText"));
    if (p1) {
        m.replace(QStringLiteral("%%1"), *p1);
        if (p2) {
            m.replace(QStringLiteral("%%2"), *p2);
            if (p3)
                m.replace(QStringLiteral("%%3"), *p3);
        }
    }
    return m;
}

QString lookUpLogged(const QString &label, const QString &msgID, const std::optional<QString> &p1,
                     const std::optional<QString> &p2, const std::optional<QString> &p3)
{
    try {
        return lookUp(msgID, p1, p2, p3);
    } catch (const std::exception &e) {
        LogErr(label, ToRunError(e));
    }
    return QString();
}

} // namespace

bool InitMsgDB()
{
    try {
        gMsgRS.close();
        gMsgCmd.reset();
        gMsgCN.reset();
        QString name = ReadINI(Ini().gsIniFile, QStringLiteral("PARAM"), QStringLiteral("JXMSG"));
        if (name.isEmpty())
            name = QStringLiteral("JXMSG.MDB");
        const QString path = ProgramDir() + QLatin1Char('/') + name;
        if (!QFileInfo(path).isFile()) {
            ShowMessage(QStringLiteral("Error Open MSGDB") + QLatin1Char(':') + path,
                        MessageIcon::Information);
            return false;
        }
        gMsgCN =
            Ado::Connection::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;data source=") +
                                  path + QLatin1Char(';'));
        gMsgCmd.emplace(gMsgCN->prepare(QStringLiteral("Select * From Msg Where MsgID = ?")));
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("InitMsgDB"), ToRunError(e));
    }
    gMsgCmd.reset();
    gMsgCN.reset();
    return false;
}

QString LocalMsg(const QString &msgID, const std::optional<QString> &p1,
                 const std::optional<QString> &p2, const std::optional<QString> &p3)
{
    return lookUpLogged(QStringLiteral("LocalMsg"), msgID, p1, p2, p3);
}

QString JXMSG(const QString &msgID, const std::optional<QString> &p1,
              const std::optional<QString> &p2, const std::optional<QString> &p3)
{
    return lookUpLogged(QStringLiteral("JXMSG"), msgID, p1, p2, p3);
}

bool getParamValue(const QString &paramID, QString &value)
{
    Ado::Recordset rs;
    try {
        gvSQL = QStringLiteral("Select * ") + QStringLiteral(" from xxPARAM") +
                QStringLiteral(" WHERE ParamID = ") + QuotField(paramID);
        if (Dialect().gsDBType == QLatin1String("PG_SQL"))
            gvSQL += QStringLiteral(" or upper(ParamID) = ") + QuotField(paramID.toUpper());
        if (!Conn().gCNT)
            throw RunError(91, QStringLiteral("沒有設定物件變數或 With 區塊變數"));
        rs = Conn().gCNT->execute(gvSQL);
        bool found = false;
        if (!rs.eof()) {
            value = rs.text(QStringLiteral("ParamValue"));
            found = !value.isEmpty();
        }
        rs.close();
        return found;
    } catch (const std::exception &e) {
        LogErr(QStringLiteral("getParamValue"), ToRunError(e));
    }
    rs.close();
    return false;
}
