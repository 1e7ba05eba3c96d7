#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

// A private X server (Xvfb on a display number it picks itself) with the openbox window
// manager, and the user's hands on it: keys, typing and window activation through xdotool,
// screenshots through ImageMagick's import.
class XSession
{
public:
    explicit XSession(const QString &artifactDir);
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // False with the reason when the X server or the window manager cannot be started.
    bool start(QString *why);
    QString display() const { return m_display; }
    // The environment for a program on this display (not the offscreen platform).
    QProcessEnvironment environment(QProcessEnvironment base) const;

    // Visible windows whose title matches the regular expression.
    QStringList windows(const QString &titleRegex) const;
    // The first visible matching window that is not in `known`; empty after the timeout.
    QString waitWindow(const QString &titleRegex, const QStringList &known = {},
                       int timeoutMs = 20000) const;
    bool waitGone(const QString &window, int timeoutMs = 20000) const;
    QSize windowSize(const QString &window) const;
    void activate(const QString &window) const;

    void key(const QStringList &keys) const; // xdotool key names: "Tab", "alt+q", ...
    // Typed character by character, `delayMs` between keys.
    void type(const QString &text, int delayMs = 60) const;
    // The same sent to one window without activating it (the active window keeps the focus
    // and any editor open in it stays open): what another user types at their own screen.
    void keyTo(const QString &window, const QString &key) const;
    void typeTo(const QString &window, const QString &text, int delayMs = 60) const;
    void shot(const QString &name) const; // <artifactDir>/<name>.png

    QString xdotool(const QStringList &args, int *exitCode = nullptr) const;

private:
    QString m_artifactDir;
    QString m_display;
    QProcess m_xvfb;
    QProcess m_wm;
};

// Waits while events are processed, so that QProcess signals of the driver keep flowing.
void Pause(int ms);
