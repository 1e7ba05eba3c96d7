#pragma once

#include <functional>

// Ends the program at once, as the fatal start-up checks and the confirmed exit do:
// no window is unloaded in order, nothing is closed explicitly.
[[noreturn]] void EndProgram();

// Tests replace the ending (the handler must not return, for example it throws).
void SetEndProgramHandler(std::function<void()> handler);
