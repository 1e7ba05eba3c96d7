#include "data/globalsettings.h"
#include "forms/runwindows.h"
#include "platform/programend.h"
#include "startup/programsetup.h"
#include "startup/submain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Only the development switch is read from the command line.
    SetDevMode(QApplication::arguments().contains(QStringLiteral("--dev")));
    SetupApplication();
    // The program ends from inside a handler too: its windows go first, while the
    // application still stands.
    SetEndProgramHandler(&DeleteRunWindows);
    if (!sub_Main())
        return 0;
    return QApplication::exec();
}
