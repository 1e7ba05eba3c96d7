#pragma once

#include <QString>

// Suite-wide values shared by the programs of the suite: the average price rule and the
// department prefix the user is limited to (Suite().gvAvgPriceMethod, Suite().gvDeptPrefix).
void InitNORV();

// The display name of a department (short name followed by its code); false when the
// department does not exist.
bool GetDeptName(const QString &deptNo, QString &name);
