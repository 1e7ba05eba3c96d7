#pragma once

#include <QString>

// How the error reports and the start-up procedures' own messages (connection set-up,
// messages database, rights check) reach the user. The layers below the windows cannot
// show a box themselves: they hand the text to the presenter that the windows layer
// installs at start-up. Without one nothing is shown; error reports still reach the error
// file. Window handlers report through ReportErrors (common/errorreport.h).

enum class MessageIcon { None, Critical, Warning, Information };

class Presenter
{
public:
    virtual ~Presenter() = default;

    virtual void beep() = 0;
    // A box with an OK button, the application's title as caption.
    virtual void showMessage(const QString &text, MessageIcon icon) = 0;
    // A box with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const QString &text, MessageIcon icon) = 0;
    // After an error box: busy cursors are undone, the pointer is an arrow again.
    virtual void endBusy() = 0;
};

// The installed presenter (not owned; nullptr removes it).
void InstallPresenter(Presenter *presenter);
Presenter *InstalledPresenter();

// A message with an OK button through the installed presenter.
void ShowMessage(const QString &text, MessageIcon icon = MessageIcon::None);
