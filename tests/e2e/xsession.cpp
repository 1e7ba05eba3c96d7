#include "xsession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

void Pause(int ms)
{
    QTest::qWait(ms);
}

XSession::XSession(const QString &artifactDir) : m_artifactDir(artifactDir)
{
    QDir().mkpath(artifactDir);
}

XSession::~XSession()
{
    for (QProcess *p : {&m_wm, &m_xvfb}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }
}

bool XSession::start(QString *why)
{
    // -displayfd: the server takes the first free display number and writes it to stdout,
    // so that runs side by side never collide.
    m_xvfb.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    if (!m_xvfb.waitForStarted(10000)) {
        *why = QStringLiteral("cannot start Xvfb (install xvfb): ") + m_xvfb.errorString();
        return false;
    }
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (!out.contains('\n') && t.elapsed() < 20000 && m_xvfb.state() == QProcess::Running) {
        m_xvfb.waitForReadyRead(500);
        out += m_xvfb.readAllStandardOutput();
    }
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok) {
        *why = QStringLiteral("Xvfb did not report its display: ") +
               QString::fromLocal8Bit(m_xvfb.readAllStandardError());
        return false;
    }
    m_display = QStringLiteral(":%1").arg(number);

    // A window manager: window activation (and with it the keyboard focus of new windows)
    // behaves as on a desktop.
    m_wm.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    m_wm.start(QStringLiteral("openbox"), {});
    if (!m_wm.waitForStarted(10000)) {
        *why = QStringLiteral("cannot start openbox (install openbox): ") + m_wm.errorString();
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        int rc = -1;
        xdotool({QStringLiteral("get_desktop")}, &rc); // answers once the manager runs
        if (rc == 0)
            return true;
        Pause(100);
    }
    *why = QStringLiteral("openbox did not come up on ") + m_display;
    return false;
}

QProcessEnvironment XSession::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), m_display);
    base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    base.remove(QStringLiteral("XAUTHORITY"));
    base.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return base;
}

QString XSession::xdotool(const QStringList &args, int *exitCode) const
{
    QProcess p;
    p.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(20000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QStringList XSession::windows(const QString &titleRegex) const
{
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), titleRegex})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString XSession::waitWindow(const QString &titleRegex, const QStringList &known,
                             int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        for (const QString &w : windows(titleRegex)) {
            if (!known.contains(w) && windowSize(w).width() > 0)
                return w;
        }
        Pause(150);
    } while (!deadline.hasExpired());
    return QString();
}

bool XSession::waitGone(const QString &window, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (!windows(QStringLiteral(".*")).contains(window))
            return true;
        Pause(150);
    } while (!deadline.hasExpired());
    return false;
}

QSize XSession::windowSize(const QString &window) const
{
    const QString out = xdotool({QStringLiteral("getwindowgeometry"), window});
    static const QRegularExpression re(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    const auto m = re.match(out);
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
}

void XSession::activate(const QString &window) const
{
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    Pause(400);
}

void XSession::key(const QStringList &keys) const
{
    for (const QString &k : keys) {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), k});
        Pause(150);
    }
    Pause(250);
}

void XSession::type(const QString &text, int delayMs) const
{
    // "--" ends the options: a text such as "-3" is typed, not taken for one.
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs),
             QStringLiteral("--"), text});
    Pause(250);
}

void XSession::keyTo(const QString &window, const QString &key) const
{
    xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, key});
    Pause(250);
}

void XSession::typeTo(const QString &window, const QString &text, int delayMs) const
{
    xdotool({QStringLiteral("type"), QStringLiteral("--window"), window, QStringLiteral("--delay"),
             QString::number(delayMs), QStringLiteral("--"), text});
    Pause(250);
}

void XSession::shot(const QString &name) const
{
    QProcess p;
    p.start(QStringLiteral("import"),
            {QStringLiteral("-display"), m_display, QStringLiteral("-window"),
             QStringLiteral("root"), QDir(m_artifactDir).filePath(name + QStringLiteral(".png"))});
    p.waitForFinished(30000);
}
