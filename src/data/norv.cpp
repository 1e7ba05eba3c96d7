#include "data/norv.h"

#include "common/errorreport.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "platform/settingsstore.h"

void InitNORV()
{
    try {
        QString method;
        EditSuite().gvAvgPriceMethod =
            getParamValue(QStringLiteral("AvgPriceMethod"), method) ? method.toUpper() : QString();
        const QString defDept =
            GetSetting(QStringLiteral("STK"), QStringLiteral("A1"), QStringLiteral("DEFDEPTNO"));
        EditSuite().gvDeptPrefix =
            !defDept.isEmpty() && User().gsUserID != QLatin1String("VURUD") ? defDept : QString();
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("bmNORV_InitNORV"), ToRunError(e));
    }
}

bool GetDeptName(const QString &deptNo, QString &name)
{
    try {
        QString sql = QStringLiteral(" Select * From Corp ");
        if (Dialect().gsDBType != QLatin1String("PG_SQL"))
            sql += QStringLiteral(" Where CompNo  = ") + QuotStr(deptNo);
        else
            sql += QStringLiteral(" Where upper(CompNO) = ") + QuotStr(deptNo.toUpper());
        if (!Conn().gCNT)
            throw RunError(91, QStringLiteral("沒有設定物件變數或 With 區塊變數"));
        Ado::Recordset rs = Conn().gCNT->execute(sql);
        if (rs.eof()) {
            name.clear();
            return false;
        }
        name = rs.text(QStringLiteral("CompSName")) + rs.text(QStringLiteral("DeptNo"));
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("GetDeptName"), ToRunError(e));
    }
    return false;
}
