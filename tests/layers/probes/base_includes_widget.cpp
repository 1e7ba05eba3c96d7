// The base layer links Qt Core only: a widget header is not found.
#include <QWidget>

int probeBaseWidget()
{
    return sizeof(QWidget);
}
