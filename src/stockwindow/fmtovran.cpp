#include "stockwindow/fmtovran.h"

fmTOVRAN::fmTOVRAN(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmTOVRAN"));
}

fmTOVRAN::~fmTOVRAN() = default;

void fmTOVRAN::showWindow()
{
    m_loaded = true;
    showMaximized();
}
