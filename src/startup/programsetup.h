#pragma once

// Application-wide set-up before start-up: name and version, font substitutes for the
// suite's Windows faces, the presenter of error reports and messages.
void SetupApplication();
