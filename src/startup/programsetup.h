#pragma once

#include <QStringList>

// Application-wide set-up before start-up: name and version, the windows' face and font
// substitutes for the suite's Windows faces.
void SetupApplication();

// The faces the windows are drawn in, the preferred one first.
QStringList ScreenFaces();
