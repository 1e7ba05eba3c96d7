#pragma once

#include <QString>

class QLineEdit;

// The printer on which the suite's separate slip-printing program prints its slips. This
// program only keeps the choice in the settings store; none of its printouts uses it.

// The slip printer button (index 0): lists the installed printers, lets the user pick one
// and puts the pick (empty text when the list is left without one) into the text box and
// the settings store.
void cmdListPrinter_Click(int index, QLineEdit *txtKXPrinter);

// The stored slip printer, empty when none was chosen.
QString SavedSlipPrinter();
