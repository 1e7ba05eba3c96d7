#include "platform/widgets/sound.h"

#include <QApplication>

namespace {
int g_beeps = 0;
}

void Beep()
{
    ++g_beeps;
    QApplication::beep();
}

int BeepsSounded()
{
    return g_beeps;
}
