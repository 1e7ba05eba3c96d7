#include "platform/widgets/screenunits.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
double screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}
} // namespace

int ScreenTwipsToPixels(double twips)
{
    return TwipsToPixels(twips, screenDpi());
}

double ScreenPixelsToTwips(double pixels)
{
    return PixelsToTwips(pixels, screenDpi());
}
