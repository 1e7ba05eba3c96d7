// The data layer sits below the windows: the stock window's header is refused.
#include "stockwindow/fmtovran.h"

int probeDataStockWindow()
{
    return 0;
}
