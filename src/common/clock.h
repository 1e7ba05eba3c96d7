#pragma once

#include <QDate>
#include <QDateTime>

// The program's idea of "now". Tests fix it so that date rules (the edit deadline, the
// proposed period) do not depend on the day they run.
namespace Clock {
QDateTime now();
QDate today();
void setNow(const QDateTime &fixed); // an invalid value returns to the real clock
} // namespace Clock
