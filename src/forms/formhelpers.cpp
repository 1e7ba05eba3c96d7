#include "forms/formhelpers.h"

#include "common/errorreport.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/screenunits.h"
#include "platform/widgets/sound.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QThread>

bool KeyToTab(QWidget *from, int key)
{
    int tabKey = 0;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down)
        tabKey = Qt::Key_Tab;
    else if (key == Qt::Key_Up)
        tabKey = Qt::Key_Backtab;
    if (!tabKey)
        return false;
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : from;
    if (target) {
        const auto mods = tabKey == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
        QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, tabKey, mods));
        QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, tabKey, mods));
    }
    return true;
}

void SelText(QLineEdit *box)
{
    if (box)
        box->selectAll();
}

void SetTabStop(QWidget *control, bool tabStop)
{
    control->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool HasTabStop(const QWidget *control)
{
    return (control->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

namespace {
void setBackColor(QWidget *w, unsigned int winColor)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, FromWinColor(winColor));
    w->setPalette(pal);
}
} // namespace

void LockCtl(QWidget *form)
{
    if (!form)
        return;
    for (QLineEdit *box : form->findChildren<QLineEdit *>()) {
        // The editors inside combo and spin boxes belong to those controls.
        QWidget *owner = box->parentWidget();
        if (qobject_cast<QComboBox *>(owner) || qobject_cast<QAbstractSpinBox *>(owner))
            continue;
        const bool locked = !HasTabStop(box);
        box->setReadOnly(locked);
        setBackColor(box, locked ? LockedBackColor : InputBackColor);
    }
    for (QComboBox *combo : form->findChildren<QComboBox *>()) {
        combo->setEnabled(true);
        setBackColor(combo, InputBackColor);
    }
    for (QRadioButton *option : form->findChildren<QRadioButton *>())
        option->setEnabled(true);
}

void ClearCtl(QWidget *form)
{
    if (!form)
        return;
    for (QWidget *w : form->findChildren<QWidget *>()) {
        const QString prefix = w->objectName().left(3);
        if (prefix != QLatin1String("txt") && prefix != QLatin1String("cbo"))
            continue;
        if (auto *box = qobject_cast<QLineEdit *>(w))
            box->clear();
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentText(QString());
    }
}

namespace {
QRect screenRect(QWidget *form)
{
    QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
} // namespace

void FormCenter(QWidget *form)
{
    const QRect s = screenRect(form);
    const QSize size = form->frameGeometry().size();
    form->move(s.left() + (s.width() - size.width()) / 2,
               s.top() + (s.height() - size.height() - ScreenTwipsToPixels(375)) / 2);
}

void FormRightBottom(QWidget *form)
{
    const QRect s = screenRect(form);
    const QSize size = form->frameGeometry().size();
    form->move(s.left() + s.width() - size.width(),
               s.top() + s.height() - size.height() - ScreenTwipsToPixels(375));
}

bool FileExist(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

bool DirExist(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString AddSep(const QString &path, const QString &sep)
{
    if (path.isEmpty())
        return QString();
    return path.endsWith(sep) ? path : path + sep;
}

void DispElaMsg(ElasticPanel *panel, const QString &msg, int beeps)
{
    ReportErrors(QStringLiteral("DispElaMsg"), [&] {
        if (!panel)
            return;
        panel->setCaption(msg);
        panel->setFloodPercent(100);
        panel->repaint();
        QApplication::processEvents();
        for (int i = 0; i < beeps; ++i)
            Beep();
        WaitSec(0.2);
        panel->setFloodPercent(0);
    });
}

void WaitSec(double seconds)
{
    if (seconds > 0)
        QThread::msleep(static_cast<unsigned long>(seconds * 1000));
}
