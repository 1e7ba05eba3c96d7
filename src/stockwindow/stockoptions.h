#pragma once

#include <QString>

// The stock window's per-user options, stored as "0"/"1" under the program's name in the
// section "Stock" of the settings store.
bool StockOption(const QString &name, const QString &defaultText = QStringLiteral("0"));
void SaveStockOption(const QString &name, bool on);
