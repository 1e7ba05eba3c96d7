#include "platform/programend.h"

#include <cstdlib>
#include <utility>

namespace {
std::function<void()> g_handler;
}

void EndProgram()
{
    if (g_handler)
        g_handler();
    std::exit(0);
}

void SetEndProgramHandler(std::function<void()> handler)
{
    g_handler = std::move(handler);
}
