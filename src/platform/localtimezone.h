#pragma once

// Names the system's zone file in TZ when TZ is unset. The C library otherwise checks the
// zone file again on every local-time conversion (a file-system call each time: two per
// row of a month read from PostgreSQL, whose driver makes local date-times). Call before
// the first conversion; the program then keeps the zone it started with.
void SettleLocalTimeZone();
