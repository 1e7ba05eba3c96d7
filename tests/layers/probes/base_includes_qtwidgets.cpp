// Spelled with its module folder, a widget header is found on disk; the check refuses it.
#include <QtWidgets/QWidget>

int probeBaseQtWidgets()
{
    return sizeof(QWidget);
}
