#include "stockwindow/stockoptions.h"

#include "common/numtext.h"
#include "data/globalsettings.h"
#include "platform/settingsstore.h"

namespace {
const QString Section = QStringLiteral("Stock");
}

bool StockOption(const QString &name, const QString &defaultText)
{
    return Val(GetSetting(ProgramName(), Section, name, defaultText)) != 0;
}

void SaveStockOption(const QString &name, bool on)
{
    SaveSetting(ProgramName(), Section, name, on ? QStringLiteral("1") : QStringLiteral("0"));
}
