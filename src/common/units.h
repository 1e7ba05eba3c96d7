#pragma once

// Measures on screen and paper are twips (1440 to the inch).
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
