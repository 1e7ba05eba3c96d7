#include "startup/programsetup.h"

#include "forms/errorboxes.h"
#include "platform/localtime.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QStringList ScreenFaces()
{
    return {QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Serif CJK TC"),
            QStringLiteral("AR PL UMing TW")};
}

void SetupApplication()
{
    Q_INIT_RESOURCE(resources); // the resources live in the program's library
    PinLocalTimeZone();
    InstallBoxPresenter();
    QApplication::setApplicationName(QStringLiteral("TOVRAN"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(TOVRAN_VERSION_MAJOR)
                                            .arg(TOVRAN_VERSION_MINOR)
                                            .arg(TOVRAN_VERSION_PATCH));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tovran/tovran.png")));
    // Nothing outside Windows maps the suite's Kai and Ming faces.
    const QStringList kai = {QStringLiteral("AR PL UKai TW"), QStringLiteral("Noto Serif CJK TC")};
    const QStringList ming = {QStringLiteral("AR PL UMing TW"),
                              QStringLiteral("Noto Serif CJK TC")};
    QFont::insertSubstitutions(QStringLiteral("標楷體"), kai);
    QFont::insertSubstitutions(QStringLiteral("DFKai-SB"), kai);
    QFont::insertSubstitutions(QStringLiteral("新細明體"), ming);
    QFont::insertSubstitutions(QStringLiteral("PMingLiU"), ming);
    QFont::insertSubstitutions(QStringLiteral("細明體"), ming);
    QFont::insertSubstitutions(QStringLiteral("MingLiU"), ming);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans")});

    // The windows' own face: a scalable CJK face, which stays legible at the small sizes
    // where the Ming faces fall back on thin bitmap strikes. Printing names its faces
    // itself and keeps the substitutes above.
    QFont screen = QApplication::font();
    screen.setFamilies(ScreenFaces());
    QApplication::setFont(screen);

    // Qt's own dialogs (file, print) speak Traditional Chinese like the rest of the program.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::Taiwan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}
