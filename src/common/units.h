#pragma once

#include <QColor>

// Measures on screen and paper are twips (1440 to the inch); colours are Windows colour
// values with red in the low byte (0x00BBGGRR).
constexpr int TwipsPerInch = 1440;

// Twips to device pixels at the given resolution (dots per inch), and back.
inline int TwipsToPixels(double twips, double dpi)
{
    return static_cast<int>(twips * dpi / TwipsPerInch + (twips >= 0 ? 0.5 : -0.5));
}
inline double PixelsToTwips(double pixels, double dpi)
{
    return pixels * TwipsPerInch / dpi;
}

// Twips on the screen (logical resolution of the primary screen).
int ScreenTwipsToPixels(double twips);
double ScreenPixelsToTwips(double pixels);

inline QColor FromWinColor(unsigned int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
