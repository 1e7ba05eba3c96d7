#pragma once

#include <QString>

class QWidget;
class QLineEdit;
class ElasticPanel;

// Small helpers that give every window the same feel.

// Enter and Down move the focus to the next control in tab order, Up to the previous one,
// by posting a real Tab or Shift+Tab key to the focused control. Returns true when the
// key was one of those three.
bool KeyToTab(QWidget *from, int key);

// Selects the whole text of a text box.
void SelText(QLineEdit *box);

// Text boxes without a tab stop are locked on grey, the others unlocked on light yellow;
// combo boxes and option buttons are enabled.
void LockCtl(QWidget *form);

// Whether a text box is a tab stop (an input box) or a display box.
void SetTabStop(QWidget *control, bool tabStop);
bool HasTabStop(const QWidget *control);

// Empties every control whose name begins with "txt" or "cbo".
void ClearCtl(QWidget *form);

// Window placement on the screen, keeping 375 twips free at the bottom for the taskbar.
void FormCenter(QWidget *form);
void FormRightBottom(QWidget *form);

bool FileExist(const QString &path);
bool DirExist(const QString &path);
QString AddSep(const QString &path, const QString &sep);

// Shows a message on a panel: caption, full flood, beeps, a 0.2 s pause, flood off.
void DispElaMsg(ElasticPanel *panel, const QString &msg, int beeps = 2);

// Sleeps for the given seconds (fractions of a millisecond dropped).
void WaitSec(double seconds);

// Colours of the locking rule (Windows colour values).
constexpr unsigned int LockedBackColor = 0xE0E0E0;
constexpr unsigned int InputBackColor = 0xC0FFFF;
