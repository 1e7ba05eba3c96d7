#pragma once

// Installs the presenter that shows error reports and the lower layers' messages as
// message boxes with the program's beep. Called once at start-up (and by test mains).
void InstallBoxPresenter();
