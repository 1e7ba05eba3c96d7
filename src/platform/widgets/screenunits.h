#pragma once

#include "common/units.h"

#include <QColor>

// Twips on the screen (logical resolution of the primary screen).
int ScreenTwipsToPixels(double twips);
double ScreenPixelsToTwips(double pixels);

// Colours are Windows colour values with red in the low byte (0x00BBGGRR).
inline QColor FromWinColor(unsigned int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
