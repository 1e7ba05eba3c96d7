#include "support/freshstate.h"

#include "common/state.h"
#include "data/adodb.h"
#include "data/globalsettings.h"

void FreshState()
{
    ResetStartupState();
    EditConn() = {};
    SetLoginName(QString());
}
