#pragma once

#include <QWidget>

// Windows made once and kept for the whole run (the stock window, the pickers, the
// confirmation window, the preview windows) belong to the application, not to a parent
// window: they are deleted together when the application is about to quit or the program
// ends, while QApplication still stands. Their ...Window() functions hold them by QPointer
// and make them again when asked after that.
void OwnForRun(QWidget *window);
template <typename Window> Window *OwnedForRun(Window *window)
{
    OwnForRun(window);
    return window;
}

// Deletes every window owned for the run (at quit, at the program's end, and in the test
// programs before their QApplication goes).
void DeleteRunWindows();
