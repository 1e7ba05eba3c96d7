#include "startup/submain.h"

#include "common/errorreport.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"
#include "data/messages.h"
#include "data/rights.h"
#include "forms/runwindows.h"
#include "platform/instancelock.h"
#include "platform/systeminfo.h"
#include "platform/widgets/messagebox.h"
#include "stockwindow/fmtovran.h"

#include <QDir>

QPointer<fmTOVRAN> gMainForm;

namespace {
// Held for the whole run; released by the operating system when the process ends.
InstanceLock *g_instanceLock = nullptr;
} // namespace

void ReleaseInstanceLock()
{
    delete g_instanceLock;
    g_instanceLock = nullptr;
}

bool sub_Main()
{
    try {
        g_instanceLock = new InstanceLock(SystemInfo::programFile(), SystemInfo::loginName());
        if (!g_instanceLock->tryLock())
            return false; // another instance runs: end silently

        gMainForm = OwnedForRun(new fmTOVRAN());
        QDir::setCurrent(ProgramDir());
        InitGlobal(QStringLiteral("JXPARAM.INI"));
        InitMsgDB();
        InitGCNT();

        const QString programName = ProgramName();
        if (!SetRight(programName, gvMsg, gMainForm)) {
            gvMsg = gvMsg + QStringLiteral("\r\n") + LocalMsg(QStringLiteral("ProgStopRun"));
            MsgBox::show(gvMsg, MsgBox::Icon::Critical);
            return false;
        }
        gMainForm->showWindow();
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("sub_Main"), ToRunError(e));
        return false;
    }
}
