#pragma once

#include "stockwindow/fmtovran.h"

#include <QPointer>

// The one stock window of the run, owned for the run (forms/runwindows.h).
extern QPointer<fmTOVRAN> gMainForm;

// Start-up: previous-instance test, settings, messages database, connection, rights,
// then the stock window. Returns false when the program is to end without a window.
bool sub_Main();

// Gives up the previous-instance lock that sub_Main took (tests that start twice in one
// process).
void ReleaseInstanceLock();
