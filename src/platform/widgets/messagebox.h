#pragma once

#include <QString>

// Every message box of the program goes through here: the application's title as
// caption, the icon and buttons the caller names, the active window as parent.
namespace MsgBox {

enum class Icon { None, Critical, Warning, Information, Question };

// A box with an OK button.
void show(const QString &text, Icon icon = Icon::None, const QString &title = QString());

// A box with Yes and No buttons; true for Yes.
bool askYesNo(const QString &text, Icon icon = Icon::Question, const QString &title = QString());

// The caption every box carries unless the caller names one: the application's title.
QString applicationTitle();

} // namespace MsgBox
