#include "common/clock.h"

namespace {
QDateTime g_fixedNow;
}

namespace Clock {

QDateTime now()
{
    return g_fixedNow.isValid() ? g_fixedNow : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setNow(const QDateTime &fixed)
{
    g_fixedNow = fixed;
}

} // namespace Clock
