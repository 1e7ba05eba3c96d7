#pragma once

#include <QStringList>

// Application-wide set-up before start-up: name and version, the windows' face and font
// substitutes for the suite's Windows faces.
// Application-wide set-up before start-up: name and version, font substitutes for the
// suite's Windows faces, the presenter of error reports and messages.
void SetupApplication();

// The faces the windows are drawn in, the preferred one first.
QStringList ScreenFaces();
