#include "data/globalsettings.h"
#include "startup/programsetup.h"
#include "startup/submain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Only the development switch is read from the command line.
    SetDevMode(QApplication::arguments().contains(QStringLiteral("--dev")));
    SetupApplication();
    if (!sub_Main())
        return 0;
    return QApplication::exec();
}
