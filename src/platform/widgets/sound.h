#pragma once

// The program's beep. The count of beeps sounded lets tests tell a report that beeps
// from one that does not.
void Beep();
int BeepsSounded();
