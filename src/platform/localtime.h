#pragma once

// Pins the local time zone for the run, once at start-up: the C library then stops checking
// the zone file again at every local date-time conversion (the database drivers make one
// for every date value they read; a month's load reads two per record). The zone stays the
// system's; a change of it while the program runs is seen at its next start. Does nothing
// where TZ is already set.
void PinLocalTimeZone();
