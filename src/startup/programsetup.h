#pragma once

// Application-wide set-up before start-up: name and version, font substitutes for the
// suite's Windows faces.
void SetupApplication();
