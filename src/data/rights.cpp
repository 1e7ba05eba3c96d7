#include "data/rights.h"

#include "common/errorreport.h"
#include "common/presenter.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"
#include "data/messages.h"
#include "platform/settingsstore.h"

#include <QObject>

namespace {

QString handOver(const QString &key)
{
    return GetSetting(QStringLiteral("SYS"), QStringLiteral("JX"), key);
}

// Through the widget's "visible" property: this layer knows objects, not widgets.
void hideButton(QObject *form, const char *name, const QString &flag)
{
    if (flag == QLatin1String("Y"))
        return;
    if (QObject *button = form->findChild<QObject *>(QLatin1String(name)))
        button->setProperty("visible", false);
}

} // namespace

bool SetRight(const QString &progID, QString &errMsg, QObject *form)
{
    try {
        errMsg.clear();
        EditUser().gsMenuCntStr = handOver(QStringLiteral("JXMENUCNTSTR"));
        if (ChkDevIDE()) {
            EditUser().gsGrpID = QStringLiteral("VURUD");
            EditUser().gsUserID = QStringLiteral("VURUD");
            return true;
        }
        EditUser().gsGrpID = handOver(QStringLiteral("GrpID"));
        EditUser().gsUserID = handOver(QStringLiteral("UserID"));
        // The hand-over is used up: a later start needs a fresh one from the menu.
        for (const char *key : {"JXMENUCNTSTR", "GrpID", "UserID"})
            SaveSetting(QStringLiteral("SYS"), QStringLiteral("JX"), QLatin1String(key), QString());

        Ado::ConnectionPtr menu;
        if (!ConnectADO(User().gsMenuCntStr, menu)) {
            gvMsg = JXMSG(QStringLiteral("Connect_JXMENU_Fail")) + QStringLiteral("\r\n") +
                    Ado::MaskPassword(User().gsMenuCntStr);
            ShowMessage(gvMsg, MessageIcon::Critical);
            return false;
        }

        Ado::Recordset rs =
            menu->execute(QStringLiteral("Select * from JX_User ") +
                          QStringLiteral(" Where UserID = ") + QuotStr(User().gsUserID));
        if (rs.eof()) {
            errMsg = LocalMsg(QStringLiteral("ErrorNoUserRec"));
            return false;
        }
        rs.close();

        const QString sql = QStringLiteral("Select * from JX_Right ") +
                            QStringLiteral(" Where GrpID = ") + QuotStr(User().gsGrpID) +
                            QStringLiteral(" And ProgID = ") + QuotStr(progID);
        rs = menu->execute(sql);
        if (rs.eof()) {
            errMsg = sql;
            return false;
        }
        if (rs.text(QStringLiteral("RFlag")) == QLatin1String("N")) {
            errMsg = LocalMsg(QStringLiteral("ErrorNoRunRight"));
            return false;
        }
        const QString aFlag = rs.text(QStringLiteral("AFlag"));
        const QString dFlag = rs.text(QStringLiteral("DFlag"));
        const QString uFlag = rs.text(QStringLiteral("UFlag"));
        const QString qFlag = rs.text(QStringLiteral("QFlag"));
        const QString pFlag = rs.text(QStringLiteral("PFlag"));
        rs.close();

        if (form) {
            hideButton(form, "cmdAddnew", aFlag);
            hideButton(form, "cmdQuery", qFlag);
            hideButton(form, "cmdBrowse", qFlag);
            hideButton(form, "cmdUpdate", uFlag);
            hideButton(form, "cmdDelete", dFlag);
            hideButton(form, "cmdPrint", pFlag);
        }
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("SetRight"), ToRunError(e));
    }
    return false;
}
